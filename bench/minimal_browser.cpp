// The smallest browser this stack allows: one gtkmm window holding one
// WebKitWebView. It loads the address given on the command line and exits as
// soon as WebKit reports the load finished. bench/startup.py times it next to
// orvindel so that the start-up cost orvindel adds on top of GTK and WebKit
// can be told apart from what the toolkit itself costs.
//
// Exit status: 0 when the load finished, 1 when it failed, 2 on bad usage,
// 3 when nothing happened within the safety deadline (so a bench run can
// never hang on this program).

#include <gtkmm.h>
#include <webkit2/webkit2.h>

#include <cstdio>
#include <string>

namespace {

constexpr unsigned kSafetyDeadlineSeconds = 60;

int g_exit_status = 3;

void quit_with(int status) {
  g_exit_status = status;
  if (auto app = Gio::Application::get_default())
    app->quit();
}

void on_load_changed(WebKitWebView*, WebKitLoadEvent event, gpointer) {
  if (event == WEBKIT_LOAD_FINISHED && g_exit_status == 3)
    quit_with(0);
}

gboolean on_load_failed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error, gpointer) {
  std::fprintf(stderr, "minimal_browser: loading %s failed: %s\n", uri, error ? error->message : "?");
  quit_with(1);
  // WEBKIT_LOAD_FINISHED still follows a failure; the status is already set.
  return FALSE;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 2 || argv[1][0] == '\0') {
    std::fprintf(stderr, "usage: %s URL\n", argv[0]);
    return 2;
  }
  const std::string url = argv[1];

  // The real browser turns the sandbox on too; without it this process would
  // skip the bubblewrap start-up of the web process and look unfairly fast.
  // It must happen before the first view exists.
  webkit_web_context_set_sandbox_enabled(webkit_web_context_get_default(), TRUE);

  // NON_UNIQUE: several bench runs must never be merged into one instance.
  // The URL is not handed to Gtk::Application, which would try to open it as
  // a file.
  auto app = Gtk::Application::create("org.orvindel.bench.minimal", Gio::APPLICATION_NON_UNIQUE);

  std::unique_ptr<Gtk::Window> window;
  app->signal_activate().connect([&] {
    window = std::make_unique<Gtk::Window>();
    window->set_title("minimal_browser");
    window->set_default_size(1024, 768);

    GtkWidget* view = webkit_web_view_new();
    g_signal_connect(view, "load-changed", G_CALLBACK(on_load_changed), nullptr);
    g_signal_connect(view, "load-failed", G_CALLBACK(on_load_failed), nullptr);
    window->add(*Glib::wrap(view));
    window->show_all();
    app->add_window(*window);

    webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), url.c_str());

    Glib::signal_timeout().connect_seconds_once(
        [] {
          std::fprintf(stderr, "minimal_browser: no load finished within %u s\n", kSafetyDeadlineSeconds);
          quit_with(3);
        },
        kSafetyDeadlineSeconds);
  });

  app->run();
  return g_exit_status;
}
