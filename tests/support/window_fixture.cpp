#include "window_fixture.h"

#include <glib.h>
#include <gtkmm.h>
#include <webkit2/webkit2.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/main_loop.h"

namespace orv::test {

void InitToolkit() {
  static Glib::RefPtr<Gtk::Application> application = [] {
    // No session bus: a bus started on demand for one test (and the
    // accessibility bus it brings) would live in another test's folders,
    // which WebKit's sandbox then fails to bind.
    g_setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", TRUE);
    int argc = 1;
    static char name[] = "orvindel-tests";
    static char* argv_storage[] = {name, nullptr};
    char** argv = argv_storage;
    return Gtk::Application::create(argc, argv, "org.orvindel.Tests",
                                    Gio::APPLICATION_NON_UNIQUE);
  }();
  (void)application;
}

void WindowTest::SetUp() {
  InitToolkit();
  gchar* dir = g_dir_make_tmp("orvindel-test-XXXXXX", nullptr);
  ASSERT_NE(dir, nullptr);
  root_ = dir;
  g_free(dir);
  for (const char* sub : {"/data", "/config", "/cache", "/prog"}) {
    std::filesystem::create_directories(root_ + sub);
  }
  g_setenv("XDG_DATA_HOME", (root_ + "/data").c_str(), TRUE);
  g_setenv("XDG_CONFIG_HOME", (root_ + "/config").c_str(), TRUE);
  g_setenv("XDG_CACHE_HOME", (root_ + "/cache").c_str(), TRUE);
  g_setenv("HOME", root_.c_str(), TRUE);
  services_.folders = {root_ + "/prog/", root_ + "/prog/orvindel", root_ + "/data/"};
  services_.dialogs = &dialogs_;
  services_.launcher = &launcher_;
  services_.mail = &mail_;
  services_.engine = &web_;
  services_.http = &http_;
  services_.screen = [] { return ScreenSize{1280, 1024}; };
  InstallErrorReport(dialogs_, nullptr);
  SetTerminating(false);
}

void WindowTest::TearDown() {
  app_.reset();
  PumpIdle();
  SetTerminating(false);
  std::error_code ec;
  std::filesystem::remove_all(root_, ec);
}

bool SendKey(Gtk::Window& window, GdkEventType type, guint keyval, int mods) {
  GdkEventKey event{};
  event.type = type;
  event.window = window.get_window() ? window.get_window()->gobj() : nullptr;
  event.keyval = keyval;
  event.state = mods;
  GdkKeymapKey* keys = nullptr;
  gint n = 0;
  if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(gdk_display_get_default()),
                                        keyval, &keys, &n) &&
      n > 0) {
    event.hardware_keycode = static_cast<guint16>(keys[0].keycode);
    event.group = static_cast<guint8>(keys[0].group);
  }
  g_free(keys);
  gboolean handled = FALSE;
  g_signal_emit_by_name(window.gobj(),
                        type == GDK_KEY_PRESS ? "key-press-event" : "key-release-event", &event,
                        &handled);
  return handled;
}

std::string EvaluateInPage(TWebBrowser& wb, const std::string& script) {
  struct Answer {
    bool done = false;
    std::string value;
  };
  auto answer = std::make_shared<Answer>();
  webkit_web_view_evaluate_javascript(
      WEBKIT_WEB_VIEW(wb.Backend().Widget()), script.c_str(), -1, nullptr, nullptr, nullptr,
      [](GObject* source, GAsyncResult* result, gpointer data) {
        std::unique_ptr<std::shared_ptr<Answer>> a(static_cast<std::shared_ptr<Answer>*>(data));
        JSCValue* value =
            webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, nullptr);
        if (value) {
          gchar* text = jsc_value_to_string(value);
          (*a)->value = text ? text : "";
          g_free(text);
          g_object_unref(value);
        }
        (*a)->done = true;
      },
      new std::shared_ptr<Answer>(answer));
  WaitUntil([&] { return answer->done; }, 10000);
  return answer->value;
}

App& WindowTest::StartApp(std::vector<std::string> arguments) {
  app_ = std::make_unique<App>(services_, std::move(arguments));
  app_->Start();
  return *app_;
}

bool WindowTest::Pump(const std::function<bool()>& done, int timeout_ms) {
  return WaitUntil(done, timeout_ms);
}

void WindowTest::PumpIdle() {
  for (int i = 0; i < 20; ++i) ProcessPendingEvents();
}

bool WindowTest::Settle() {
  PumpIdle();
  return Pump([&] {
    return std::none_of(web_.backends.begin(), web_.backends.end(),
                        [](FakeBackend* b) { return b->IsLoading(); });
  });
}

int WindowTest::Loads(const std::string& address) const {
  return static_cast<int>(std::count(web_.log.begin(), web_.log.end(), "load " + address));
}

std::string WindowTest::ReadFile(const std::string& path) const {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WindowTest::WriteFile(const std::string& path, const std::string& bytes) const {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace orv::test
