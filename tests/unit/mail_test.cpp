// The real hand-off to the mail program: xdg-email started with an argument
// vector, its answer read, and the desktop's default mailto handler.
#include "platform/mail.h"

#include <gio/gio.h>
#include <glib/gstdio.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

namespace orv {
namespace {

class MailTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gchar* dir = g_dir_make_tmp("orvindel-mail-XXXXXX", nullptr);
    ASSERT_NE(dir, nullptr);
    root_ = dir;
    g_free(dir);
    std::filesystem::create_directories(root_ + "/bin");
    old_path_ = g_getenv("PATH") ? g_getenv("PATH") : "";
    // Only our stand-in of xdg-email is on the path, and the shell it needs.
    g_setenv("PATH", (root_ + "/bin:/usr/bin:/bin").c_str(), TRUE);
  }
  void TearDown() override {
    g_setenv("PATH", old_path_.c_str(), TRUE);
    std::filesystem::remove_all(root_);
  }
  // An xdg-email that writes each argument on a line of its own and exits
  // with `code`.
  void FakeXdgEmail(int code) {
    const std::string path = root_ + "/bin/xdg-email";
    std::ofstream(path) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" << root_
                        << "/args'\nexit " << code << "\n";
    g_chmod(path.c_str(), 0755);
  }
  std::optional<MailStatus> Compose(const std::vector<std::string>& arguments) {
    std::optional<MailStatus> status;
    XdgMailService().Compose(arguments, [&](MailStatus s) { status = s; });
    const gint64 end = g_get_monotonic_time() + 10 * G_TIME_SPAN_SECOND;
    while (!status && g_get_monotonic_time() < end) g_main_context_iteration(nullptr, FALSE);
    return status;
  }
  std::string Read(const std::string& name) {
    std::ifstream in(root_ + "/" + name);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::string root_;
  std::string old_path_;
};

TEST_F(MailTest, XdgEmailGetsTheArgumentsAsTheyAreAndItsAnswerCounts) {
  // Blanks, quotes and a leading dash stay one argument each: no shell
  // ever reads them.
  FakeXdgEmail(0);
  EXPECT_EQ(Compose({"--subject", "a 'b' \"c\" $(x)", "--body", "-n"}), MailStatus::kHandedOver);
  EXPECT_EQ(Read("args"), "--subject\na 'b' \"c\" $(x)\n--body\n-n\n");
  FakeXdgEmail(3);
  EXPECT_EQ(Compose({"--utf8"}), MailStatus::kNoMailProgram);
  FakeXdgEmail(4);
  EXPECT_EQ(Compose({"--utf8"}), MailStatus::kFailed);
  std::filesystem::remove(root_ + "/bin/xdg-email");
  g_setenv("PATH", (root_ + "/bin").c_str(), TRUE);
  EXPECT_EQ(Compose({"--utf8"}), MailStatus::kNoMailProgram);
}

TEST_F(MailTest, ReadMailStartsTheDefaultMailtoHandlerIfThereIsOne) {
  g_setenv("XDG_DATA_HOME", (root_ + "/data").c_str(), TRUE);
  g_setenv("XDG_DATA_DIRS", (root_ + "/none").c_str(), TRUE);
  g_setenv("XDG_CONFIG_HOME", (root_ + "/config").c_str(), TRUE);
  g_setenv("XDG_CONFIG_DIRS", (root_ + "/none").c_str(), TRUE);
  std::filesystem::create_directories(root_ + "/data/applications");
  std::filesystem::create_directories(root_ + "/config");
  // None registered: nothing happens.
  XdgMailService().OpenMailClient();

  const std::string marker = root_ + "/started";
  std::ofstream(root_ + "/data/applications/testmail.desktop")
      << "[Desktop Entry]\nType=Application\nName=Test Mail\nExec=/bin/sh -c 'echo $# > " << marker
      << "' x %u\nMimeType=x-scheme-handler/mailto;\n";
  std::ofstream(root_ + "/config/mimeapps.list")
      << "[Default Applications]\nx-scheme-handler/mailto=testmail.desktop\n";
  // GIO notices the new files through its monitors.
  const gint64 settle = g_get_monotonic_time() + 5 * G_TIME_SPAN_SECOND;
  GAppInfo* app = nullptr;
  while (!(app = g_app_info_get_default_for_uri_scheme("mailto")) &&
         g_get_monotonic_time() < settle) {
    g_main_context_iteration(nullptr, FALSE);
  }
  ASSERT_NE(app, nullptr);
  g_object_unref(app);
  XdgMailService().OpenMailClient();
  const gint64 end = g_get_monotonic_time() + 10 * G_TIME_SPAN_SECOND;
  while (Read("started").empty() && g_get_monotonic_time() < end) g_usleep(20000);
  // Started with no message: no address was given.
  EXPECT_EQ(Read("started"), "0\n");
}

}  // namespace
}  // namespace orv
