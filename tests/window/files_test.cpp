// Keeping damaged files and clearing what interrupted writes leave behind.
#include "platform/files.h"

#include <gtest/gtest.h>
#include <glib.h>
#include <utime.h>

#include <filesystem>
#include <fstream>

namespace orv {
namespace {

namespace fs = std::filesystem;

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gchar* dir = g_dir_make_tmp("orvindel-files-XXXXXX", nullptr);
    ASSERT_NE(dir, nullptr);
    dir_ = std::string(dir) + "/";
    g_free(dir);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir_ + name, std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) {
    std::ifstream in(dir_ + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void MakeOld(const std::string& name, int seconds) {
    const time_t then = time(nullptr) - seconds;
    const struct utimbuf times = {then, then};
    ASSERT_EQ(utime((dir_ + name).c_str(), &times), 0);
  }
  std::string dir_;
};

TEST_F(FilesTest, ADamagedFileIsKeptOnceUnderTheFirstFreeNumber) {
  EXPECT_EQ(KeepDamagedCopy(dir_ + "none.cfg"), "") << "no file, nothing to keep";

  Write("a.cfg", "older damage");
  Write("a.cfg.bad1", "an earlier copy");
  EXPECT_EQ(KeepDamagedCopy(dir_ + "a.cfg"), dir_ + "a.cfg.bad2");
  EXPECT_EQ(Read("a.cfg.bad1"), "an earlier copy") << "never replaced";
  EXPECT_EQ(Read("a.cfg.bad2"), "older damage");
  // A run cut short after keeping it, before writing: not kept again.
  EXPECT_EQ(KeepDamagedCopy(dir_ + "a.cfg"), dir_ + "a.cfg.bad2");
  EXPECT_FALSE(fs::exists(dir_ + "a.cfg.bad3"));

  // The write that replaces a marked file keeps it first, and only the first.
  MarkDamaged(dir_ + "a.cfg");
  WriteFileAtomic(dir_ + "a.cfg", "new");
  WriteFileAtomic(dir_ + "a.cfg", "newer");
  EXPECT_EQ(Read("a.cfg"), "newer");
  EXPECT_EQ(Read("a.cfg.bad2"), "older damage") << "the copy is not touched by the write";
  EXPECT_FALSE(fs::exists(dir_ + "a.cfg.bad3"));
}

TEST_F(FilesTest, AFileTooLargeOrUnreadableIsMarkedDamagedAMissingOneIsNot) {
  Write("big.cfg", std::string(100, 'x'));
  EXPECT_FALSE(ReadFileBytes(dir_ + "big.cfg", 99));
  EXPECT_TRUE(IsMarkedDamaged(dir_ + "big.cfg"));
  fs::create_directory(dir_ + "folder.cfg");
  EXPECT_FALSE(ReadFileBytes(dir_ + "folder.cfg", 99));
  EXPECT_TRUE(IsMarkedDamaged(dir_ + "folder.cfg"));
  EXPECT_FALSE(ReadFileBytes(dir_ + "missing.cfg", 99));
  EXPECT_FALSE(IsMarkedDamaged(dir_ + "missing.cfg"));
  Write("fine.cfg", "[a]\nb=1\n");
  EXPECT_TRUE(ReadSettingsFile(dir_ + "fine.cfg"));
  EXPECT_FALSE(IsMarkedDamaged(dir_ + "fine.cfg"));
  Write("torn.cfg", "[a]\n\x01\x02\x03\n");
  EXPECT_TRUE(ReadSettingsFile(dir_ + "torn.cfg"));
  EXPECT_TRUE(IsMarkedDamaged(dir_ + "torn.cfg"));
}

TEST_F(FilesTest, AFolderThatCannotBeWrittenSaysWhy) {
  EXPECT_EQ(FolderWriteProblem(dir_), "");
  Write("plain", "a file");
  EXPECT_EQ(FolderWriteProblem(dir_ + "plain/"), g_strerror(ENOTDIR));
  EXPECT_EQ(FolderWriteProblem(dir_ + "plain/Orvindel/"), g_strerror(ENOTDIR));
  EXPECT_EQ(FolderWriteProblem(dir_ + "absent/"), g_strerror(ENOENT));
  EXPECT_EQ(fs::directory_iterator(dir_)->path().filename(), "plain") << "the check leaves nothing";
}

TEST_F(FilesTest, OnlyStaleTemporariesOfAtomicWritesAreRemoved) {
  const char* stale[] = {"Orvindel.cfg.Ab12Cd", "color.cld.000000", "2favlist.ovf.zzZZ99"};
  const char* kept[] = {"Orvindel.cfg",     "Orvindel.cfg.bad1", "Orvindel.cfg.bad100",
                        "notes.abcdef",     "uas.cfg.Ab12C",     "uas.cfg.Ab12Cde",
                        "uas.cfg.Ab-2Cd"};
  for (const char* name : stale) {
    Write(name, "left by a kill");
    MakeOld(name, 120);
  }
  for (const char* name : kept) {
    Write(name, "ours");
    MakeOld(name, 120);
  }
  Write("Progset.cfg.Qw34Er", "being written right now");
  MakeOld("Progset.cfg.Qw34Er", 30);
  EXPECT_EQ(RemoveStaleTemporaries(dir_), 3);
  for (const char* name : stale) EXPECT_FALSE(fs::exists(dir_ + name)) << name;
  for (const char* name : kept) EXPECT_TRUE(fs::exists(dir_ + name)) << name;
  EXPECT_TRUE(fs::exists(dir_ + "Progset.cfg.Qw34Er")) << "younger than a minute";
}

}  // namespace
}  // namespace orv
