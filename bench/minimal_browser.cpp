// The smallest browser this stack allows: one gtkmm window holding one
// WebKitWebView. It loads the address given on the command line and exits as
// soon as WebKit reports the load finished. bench/startup.py times it next to
// orvindel so that the start-up cost orvindel adds on top of GTK and WebKit
// can be told apart from what the toolkit itself costs.
//
// With `--tabs N URL` it is the floor for bench/tabs_bench instead: a window
// with a notebook holding one blank view, N more views opened one after the
// other, each loading URL until WebKit reports the load finished, then closed
// again, newest first. Every step is printed on stdout as a line of
// tab_figures.h, measured by the same code tabs_bench uses for orvindel.
//
// Exit status: 0 when the load finished (every load, with --tabs), 1 when it
// failed, 2 on bad usage, 3 when nothing happened within the safety deadline
// (so a bench run can never hang on this program).

#include <gtkmm.h>
#include <webkit2/webkit2.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tab_figures.h"

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

// Iterates the main loop, blocking, until `done` or `timeout_ms` passed.
template <typename Done>
bool RunUntil(Done done, int timeout_ms) {
  bool expired = false;
  const guint timer = g_timeout_add(static_cast<guint>(timeout_ms), [](gpointer flag) -> gboolean {
    *static_cast<bool*>(flag) = true;
    return G_SOURCE_REMOVE;
  }, &expired);
  while (!done() && !expired) g_main_context_iteration(nullptr, TRUE);
  if (!expired) g_source_remove(timer);
  return done();
}

void RunPending() {
  for (int i = 0; i < 1000 && g_main_context_pending(nullptr); ++i)
    g_main_context_iteration(nullptr, FALSE);
}

struct TabLoad {
  bool finished = false;
  bool failed = false;
};

void PrintStep(const char* kind, double ms) {
  orv::bench::Step step{kind, ms, orv::bench::SelfRssKb(), orv::bench::TreePssKb(getpid())};
  std::printf("%s\n", orv::bench::FormatStep(step).c_str());
  std::fflush(stdout);
}

constexpr int kTabLoadDeadlineMs = 30000;
constexpr int kSettleMs = 2000;

int RunTabs(int tabs, const std::string& url) {
  gtk_init(nullptr, nullptr);
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window), "minimal_browser tabs");
  gtk_window_set_default_size(GTK_WINDOW(window), 1024, 768);
  GtkWidget* notebook = gtk_notebook_new();
  gtk_notebook_set_scrollable(GTK_NOTEBOOK(notebook), TRUE);
  gtk_container_add(GTK_CONTAINER(window), notebook);
  // One blank view to start with, as a browser window has its first tab.
  gtk_notebook_append_page(GTK_NOTEBOOK(notebook), webkit_web_view_new(), nullptr);
  gtk_widget_show_all(window);
  RunUntil([] { return false; }, 500);
  PrintStep("start", 0);

  int status = 0;
  std::vector<TabLoad> loads(static_cast<size_t>(tabs));
  for (int i = 0; i < tabs && status == 0; ++i) {
    TabLoad* load = &loads[static_cast<size_t>(i)];
    const double start = orv::bench::NowMs();
    GtkWidget* view = webkit_web_view_new();
    g_signal_connect(view, "load-changed", G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent event,
                                                          gpointer data) {
                       if (event == WEBKIT_LOAD_FINISHED) static_cast<TabLoad*>(data)->finished = true;
                     }),
                     load);
    g_signal_connect(view, "load-failed", G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent,
                                                         gchar*, GError*, gpointer data) -> gboolean {
                       static_cast<TabLoad*>(data)->failed = true;
                       return FALSE;
                     }),
                     load);
    gtk_widget_show(view);
    const int page = gtk_notebook_append_page(GTK_NOTEBOOK(notebook), view, nullptr);
    gtk_notebook_set_current_page(GTK_NOTEBOOK(notebook), page);
    webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), url.c_str());
    if (!RunUntil([load] { return load->finished; }, kTabLoadDeadlineMs)) {
      std::fprintf(stderr, "minimal_browser: tab %d did not finish loading within %d ms\n", i + 1,
                   kTabLoadDeadlineMs);
      status = 3;
    } else if (load->failed) {
      std::fprintf(stderr, "minimal_browser: tab %d failed to load %s\n", i + 1, url.c_str());
      status = 1;
    }
    PrintStep("open", orv::bench::NowMs() - start);
  }

  while (gtk_notebook_get_n_pages(GTK_NOTEBOOK(notebook)) > 1) {
    const int last = gtk_notebook_get_n_pages(GTK_NOTEBOOK(notebook)) - 1;
    gtk_notebook_set_current_page(GTK_NOTEBOOK(notebook), last);
    RunPending();
    const double start = orv::bench::NowMs();
    gtk_widget_destroy(gtk_notebook_get_nth_page(GTK_NOTEBOOK(notebook), last));
    RunPending();
    PrintStep("close", orv::bench::NowMs() - start);
  }
  // WebKit ends a closed view's web process a little later.
  RunUntil([] { return false; }, kSettleMs);
  PrintStep("settled", 0);
  gtk_widget_destroy(window);
  RunPending();
  return status;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc == 4 && std::strcmp(argv[1], "--tabs") == 0) {
    const int tabs = std::atoi(argv[2]);
    if (tabs < 1 || argv[3][0] == '\0') {
      std::fprintf(stderr, "usage: %s --tabs N URL\n", argv[0]);
      return 2;
    }
    webkit_web_context_set_sandbox_enabled(webkit_web_context_get_default(), TRUE);
    return RunTabs(tabs, argv[3]);
  }
  if (argc < 2 || argv[1][0] == '\0') {
    std::fprintf(stderr, "usage: %s URL\n       %s --tabs N URL\n", argv[0], argv[0]);
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
