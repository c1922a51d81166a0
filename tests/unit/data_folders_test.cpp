// The folders start-up prepares and the list files it moves into them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/data_folders.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

class FoldersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("orv-folders-" + std::to_string(::getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "prog");
    data_ = (root_ / "data").string() + "/";
    CreateDataFolders(data_);
  }
  void TearDown() override { fs::remove_all(root_); }
  static void Write(const fs::path& p, const std::string& text) { std::ofstream(p) << text; }
  static std::string Read(const fs::path& p) {
    std::ifstream in(p);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  fs::path root_;
  std::string data_;
};

TEST_F(FoldersTest, CreatesBothFolders) {
  EXPECT_TRUE(fs::is_directory(data_ + "Orvindel"));
  EXPECT_TRUE(fs::is_directory(data_ + "ovTemp"));
}

TEST_F(FoldersTest, MigrationMovesOnlyWhenTheTargetIsAbsent) {
  const std::string prog = (root_ / "prog").string() + "/";
  const std::string orvindel = data_ + "Orvindel/";
  Write(prog + "2favlist.ovf", "old favorites");
  EXPECT_TRUE(MigrateListFile(prog, orvindel, "2favlist.ovf"));
  EXPECT_FALSE(fs::exists(prog + "2favlist.ovf"));
  EXPECT_EQ(Read(orvindel + "2favlist.ovf"), "old favorites");

  Write(prog + "2rss.ovf", "program copy");
  Write(orvindel + "2rss.ovf", "user copy");
  EXPECT_FALSE(MigrateListFile(prog, orvindel, "2rss.ovf"));
  EXPECT_EQ(Read(prog + "2rss.ovf"), "program copy");
  EXPECT_EQ(Read(orvindel + "2rss.ovf"), "user copy");

  EXPECT_FALSE(MigrateListFile(prog, orvindel, "absent.ovf"));
}

}  // namespace
}  // namespace orv
