// A window test: a temporary home for the program's files, the toolkit
// initialised once, the fake engine and the scripted dialogs.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "engine/web_browser.h"
#include "fake_backend.h"
#include "scripted_dialogs.h"

namespace orv::test {

// Initialises GTK and gtkmm once for the test process.
void InitToolkit();

// Records the programs it is asked to start instead of starting them.
class RecordingLauncher final : public Launcher {
 public:
  void Start(const std::string& program, const std::vector<std::string>& arguments) override {
    started.push_back({program, arguments});
  }
  std::vector<std::pair<std::string, std::vector<std::string>>> started;
};

// Records what xdg-email would be given, and answers as the test says.
class RecordingMail final : public MailService {
 public:
  void Compose(const std::vector<std::string>& arguments,
               std::function<void(MailStatus)> done) override {
    composed.push_back(arguments);
    if (done) done(status);
  }
  void OpenMailClient() override { ++clients_opened; }
  std::vector<std::vector<std::string>> composed;
  MailStatus status = MailStatus::kHandedOver;
  int clients_opened = 0;
};

// Runs `script` in a real engine's page through the engine's API, which
// works while the page's own scripts do not, and answers its result as a
// string ("" when there is none).
std::string EvaluateInPage(TWebBrowser& wb, const std::string& script);

// Gives `window` a key event of `keyval` with the modifiers `mods` as the
// X server would (text fields look keys up by their hardware code, so it is
// filled from the keymap); answers whether a handler took it.
bool SendKey(Gtk::Window& window, GdkEventType type, guint keyval, int mods = 0);
inline bool PressKey(Gtk::Window& window, guint keyval, int mods = 0) {
  return SendKey(window, GDK_KEY_PRESS, keyval, mods);
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates the App with `arguments` as the command line and starts it.
  App& StartApp(std::vector<std::string> arguments = {});
  // Runs the main loop until `done` or `timeout_ms`; answers done().
  bool Pump(const std::function<bool()>& done, int timeout_ms = 5000);
  void PumpIdle();
  // Runs the loop until no fake browser is loading any more.
  bool Settle();
  // How many times the engines were asked to load `address`.
  int Loads(const std::string& address) const;

  std::string OrvindelDir() const { return services_.folders.OrvindelDir(); }
  std::string ReadFile(const std::string& path) const;
  void WriteFile(const std::string& path, const std::string& bytes) const;

  std::string root_;
  FakeWeb web_;
  ScriptedDialogs dialogs_;
  RecordingLauncher launcher_;
  RecordingMail mail_;
  SoupHttpService http_;
  Services services_;
  std::unique_ptr<App> app_;
};

}  // namespace orv::test
