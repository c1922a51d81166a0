// Opening and closing many tabs with the real engine: orvindel against the
// floor of GTK + WebKit, in one run.
//
// The floor is `minimal_browser --tabs N URL` (a notebook of bare
// WebKitWebViews), run first as a child process. Then the real program is
// built in this process the way src/app/main.cpp builds it, and its main
// window opens N tabs on the same page one after the other, each waited for
// until the page has loaded, and closes them again, newest first. Both are
// measured by the code in tab_figures.h: the time of each open and close,
// the resident memory of the window process (VmRSS), and the proportional
// memory of the window process with everything WebKit started for it.
//
// The page comes from a server on 127.0.0.1 that runs on a thread of its own,
// so serving it costs neither browser's main loop anything. A tab counts as
// loaded once the page's load handler has reached the server and the engine
// reports nothing loading any more.
//
// Every run uses fresh temporary HOME and XDG folders and a private D-Bus
// session bus. Every wait has a deadline, and a watchdog ends the whole
// bench if it overruns; child processes die with it.
//
// usage: xvfb-run -a build/tabs_bench [--tabs N] [--minimal PATH]
// Exit status: 0 when both browsers opened and closed every tab, 1 otherwise.

#include <glib-unix.h>
#include <gtkmm.h>
#include <libsoup/soup.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <future>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/app.h"
#include "ui/dialogs.h"
#include "ui/services.h"
#include "engine/web_browser.h"
#include "engine/webkit_backend.h"
#include "platform/main_loop.h"
#include "shell/main_window.h"
#include "tab_figures.h"

namespace {

using orv::bench::NowMs;
using orv::bench::Step;

constexpr int kDefaultTabs = 50;
constexpr int kTabLoadDeadlineMs = 30000;
constexpr int kSettleMs = 2000;
constexpr int kBusDeadlineMs = 10000;

// The same page for every tab of both browsers. Its load handler reports to
// the server with a synchronous request, so the load is not over before the
// server has counted it.
constexpr char kPage[] = R"(<!doctype html>
<html><head><meta charset="utf-8"><title>Orvindel tabs bench</title>
<style>body{font:16px sans-serif;margin:2em} li{margin:.2em 0}</style></head>
<body><h1>Tabs bench</h1>
<p>One of many tabs opened and closed in a row.</p>
<ul><li>first</li><li>second</li><li>third</li></ul>
<script>
addEventListener('load', function () {
  try {
    var xhr = new XMLHttpRequest();
    xhr.open('GET', '/loaded', false);
    xhr.send();
  } catch (e) {
    navigator.sendBeacon('/loaded');
  }
});
</script></body></html>
)";

// ---- clean-up that holds on every path -------------------------------------

// Kills, by pid, every child process still left (WebKit's helpers, a bus a
// library started for itself) and reaps them.
void SweepChildren() {
  const pid_t me = getpid();
  for (int round = 0; round < 50; ++round) {
    std::vector<pid_t> left;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
      const pid_t pid = static_cast<pid_t>(std::atol(entry.path().filename().c_str()));
      if (pid <= 0) continue;
      FILE* f = std::fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "r");
      if (!f) continue;
      char buffer[1024] = {};
      const size_t n = std::fread(buffer, 1, sizeof buffer - 1, f);
      std::fclose(f);
      const char* close = std::strrchr(buffer, ')');
      if (!n || !close) continue;
      char state = 0;
      int parent = 0;
      if (std::sscanf(close + 1, " %c %d", &state, &parent) == 2 && parent == me)
        left.push_back(pid);
    }
    if (left.empty()) return;
    for (pid_t pid : left) kill(pid, SIGKILL);
    for (pid_t pid : left) waitpid(pid, nullptr, WNOHANG);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

// Ends the bench if it overruns, whatever it is blocked in (a nested dialog
// loop has no deadline of ours). Direct children die with us through their
// parent-death signal; WebKit's processes end when their connection closes.
class Watchdog {
 public:
  explicit Watchdog(int seconds) {
    thread_ = std::thread([this, seconds] {
      auto stop = stop_.get_future();
      if (stop.wait_for(std::chrono::seconds(seconds)) == std::future_status::timeout) {
        std::fprintf(stderr, "tabs_bench: still running after %d s; giving up\n", seconds);
        _exit(1);
      }
    });
  }
  ~Watchdog() {
    stop_.set_value();
    thread_.join();
  }

 private:
  std::promise<void> stop_;
  std::thread thread_;
};

void DieWithParent(gpointer) { prctl(PR_SET_PDEATHSIG, SIGKILL); }

struct TempRoot {
  TempRoot() {
    gchar* dir = g_dir_make_tmp("orvindel-tabs-bench-XXXXXX", nullptr);
    if (dir) path = dir;
    g_free(dir);
  }
  ~TempRoot() {
    std::error_code ec;
    if (!path.empty()) std::filesystem::remove_all(path, ec);
  }
  std::string path;
};

// HOME and the XDG folders of one browser, under `home`.
std::vector<std::pair<std::string, std::string>> FolderEnvironment(const std::string& home) {
  std::vector<std::pair<std::string, std::string>> env{{"HOME", home}};
  for (auto [name, sub] : {std::pair{"XDG_DATA_HOME", "data"}, {"XDG_CONFIG_HOME", "config"},
                           {"XDG_CACHE_HOME", "cache"}, {"XDG_RUNTIME_DIR", "runtime"}}) {
    const std::string path = home + "/" + sub;
    std::filesystem::create_directories(path);
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    env.emplace_back(name, path);
  }
  return env;
}

// ---- the page server --------------------------------------------------------

class PageServer {
 public:
  PageServer() {
    std::promise<int> ready;
    auto port = ready.get_future();
    thread_ = std::thread([this, &ready] { Run(ready); });
    port_ = port.get();
  }
  ~PageServer() {
    if (loop_) {
      g_main_context_invoke(
          context_,
          [](gpointer loop) -> gboolean {
            g_main_loop_quit(static_cast<GMainLoop*>(loop));
            return G_SOURCE_REMOVE;
          },
          loop_);
    }
    thread_.join();
  }

  bool ok() const { return port_ > 0; }
  std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/page"; }
  int Loaded() const { return loaded_.load(); }

 private:
  void Run(std::promise<int>& ready) {
    context_ = g_main_context_new();
    g_main_context_push_thread_default(context_);
    SoupServer* server = soup_server_new(nullptr, nullptr);
    soup_server_add_handler(server, nullptr, Handle, this, nullptr);
    GError* error = nullptr;
    int port = 0;
    if (soup_server_listen_local(server, 0, SOUP_SERVER_LISTEN_IPV4_ONLY, &error)) {
      GSList* uris = soup_server_get_uris(server);
      port = g_uri_get_port(static_cast<GUri*>(uris->data));
      g_slist_free_full(uris, reinterpret_cast<GDestroyNotify>(g_uri_unref));
      loop_ = g_main_loop_new(context_, FALSE);
    } else {
      std::fprintf(stderr, "tabs_bench: cannot listen on 127.0.0.1: %s\n",
                   error ? error->message : "?");
      g_clear_error(&error);
    }
    ready.set_value(port);
    if (loop_) g_main_loop_run(loop_);
    g_object_unref(server);
    if (loop_) g_main_loop_unref(loop_);
    g_main_context_pop_thread_default(context_);
    g_main_context_unref(context_);
  }

  static void Handle(SoupServer*, SoupServerMessage* message, const char* path, GHashTable*,
                     gpointer data) {
    auto* self = static_cast<PageServer*>(data);
    SoupMessageHeaders* headers = soup_server_message_get_response_headers(message);
    soup_message_headers_replace(headers, "Cache-Control", "no-store");
    if (std::strcmp(path, "/page") == 0) {
      soup_server_message_set_status(message, SOUP_STATUS_OK, nullptr);
      soup_server_message_set_response(message, "text/html; charset=utf-8", SOUP_MEMORY_STATIC,
                                       kPage, sizeof kPage - 1);
    } else if (std::strcmp(path, "/loaded") == 0) {
      soup_server_message_set_status(message, SOUP_STATUS_NO_CONTENT, nullptr);
      ++self->loaded_;
      // The browser's waiting loop blocks in the main thread's context.
      g_main_context_wakeup(nullptr);
    } else {
      soup_server_message_set_status(message, SOUP_STATUS_NOT_FOUND, nullptr);
    }
  }

  std::thread thread_;
  GMainContext* context_ = nullptr;
  GMainLoop* loop_ = nullptr;
  int port_ = 0;
  std::atomic<int> loaded_{0};
};

// ---- child processes ---------------------------------------------------------

class Child {
 public:
  Child(const std::vector<std::string>& argv,
        const std::vector<std::pair<std::string, std::string>>& env, GSubprocessFlags flags) {
    GSubprocessLauncher* launcher = g_subprocess_launcher_new(flags);
    g_subprocess_launcher_set_child_setup(launcher, DieWithParent, nullptr, nullptr);
    for (const auto& [name, value] : env)
      g_subprocess_launcher_setenv(launcher, name.c_str(), value.c_str(), TRUE);
    std::vector<const char*> args;
    for (const auto& a : argv) args.push_back(a.c_str());
    args.push_back(nullptr);
    GError* error = nullptr;
    process_ = g_subprocess_launcher_spawnv(launcher, args.data(), &error);
    if (!process_) {
      std::fprintf(stderr, "tabs_bench: cannot start %s: %s\n", argv[0].c_str(),
                   error ? error->message : "?");
      g_clear_error(&error);
    }
    g_object_unref(launcher);
  }
  ~Child() {
    if (!process_) return;
    g_subprocess_force_exit(process_);
    g_subprocess_wait(process_, nullptr, nullptr);
    g_object_unref(process_);
  }

  GSubprocess* get() const { return process_; }
  pid_t pid() const {
    const char* id = process_ ? g_subprocess_get_identifier(process_) : nullptr;
    return id ? static_cast<pid_t>(std::atol(id)) : 0;
  }

  // Everything the child writes to stdout until it exits, or nullopt when it
  // has not exited within `timeout_ms` (it is then killed).
  std::optional<std::string> Output(int timeout_ms) {
    struct Result {
      bool done = false;
      std::string out;
    };
    // Shared with the callback, which may come after we stopped waiting.
    auto result = std::make_shared<Result>();
    g_subprocess_communicate_utf8_async(
        process_, nullptr, nullptr,
        [](GObject* source, GAsyncResult* res, gpointer data) {
          std::unique_ptr<std::shared_ptr<Result>> r(static_cast<std::shared_ptr<Result>*>(data));
          char* out = nullptr;
          g_subprocess_communicate_utf8_finish(G_SUBPROCESS(source), res, &out, nullptr, nullptr);
          if (out) (*r)->out = out;
          g_free(out);
          (*r)->done = true;
        },
        new std::shared_ptr<Result>(result));
    if (!orv::WaitUntil([&] { return result->done; }, timeout_ms)) {
      g_subprocess_force_exit(process_);
      return std::nullopt;
    }
    g_subprocess_wait(process_, nullptr, nullptr);
    return result->out;
  }

 private:
  GSubprocess* process_ = nullptr;
};

// A private session bus, as a desktop has one. Without it GLib would start a
// bus of its own for the X display that outlives the bench.
std::string StartSessionBus(std::unique_ptr<Child>& bus, const std::string& folder) {
  bus = std::make_unique<Child>(
      std::vector<std::string>{"dbus-daemon", "--session", "--nofork", "--print-address=1",
                               "--address=unix:path=" + folder + "/bus"},
      std::vector<std::pair<std::string, std::string>>{},
      static_cast<GSubprocessFlags>(G_SUBPROCESS_FLAGS_STDOUT_PIPE |
                                    G_SUBPROCESS_FLAGS_STDERR_SILENCE));
  if (!bus->get()) return {};
  struct Line {
    bool done = false;
    std::string text;
  };
  // Shared with the callback, which may come after we stopped waiting.
  auto line = std::make_shared<Line>();
  GDataInputStream* lines = g_data_input_stream_new(g_subprocess_get_stdout_pipe(bus->get()));
  g_data_input_stream_read_line_async(
      lines, G_PRIORITY_DEFAULT, nullptr,
      [](GObject* source, GAsyncResult* res, gpointer data) {
        std::unique_ptr<std::shared_ptr<Line>> l(static_cast<std::shared_ptr<Line>*>(data));
        char* text =
            g_data_input_stream_read_line_finish(G_DATA_INPUT_STREAM(source), res, nullptr, nullptr);
        if (text) (*l)->text = text;
        g_free(text);
        (*l)->done = true;
      },
      new std::shared_ptr<Line>(line));
  const bool read = orv::WaitUntil([&] { return line->done; }, kBusDeadlineMs);
  g_object_unref(lines);
  if (!read) {
    bus.reset();
    return {};
  }
  return line->text;
}

// ---- the two browsers ----------------------------------------------------------

struct Run {
  std::vector<Step> steps;
  bool complete = false;
  std::string why;  // when not complete
};

// The bench has nobody to answer a message box: each one is printed and
// answered with its default button, so a question cannot stall the run.
class PrintedDialogs final : public orv::Dialogs {
 public:
  orv::MsgResult MessageBox(Gtk::Window*, const std::string& text, const std::string& caption,
                            orv::MsgButtons, orv::MsgIcon, orv::MsgResult default_result) override {
    ++shown;
    std::fprintf(stderr, "tabs_bench: orvindel showed \"%s\": %s\n", caption.c_str(), text.c_str());
    return default_result;
  }
  void QuestionBeep() override {}
  std::string SaveFileName(Gtk::Window*, const std::string&, const std::string&) override {
    return {};
  }
  bool ChooseColor(Gtk::Window*, orv::ColorDialogState&) override { return false; }
  int shown = 0;
};

Step Measure(const char* kind, double ms, const std::set<pid_t>& skip) {
  return Step{kind, ms, orv::bench::SelfRssKb(), orv::bench::TreePssKb(getpid(), skip)};
}

Run RunMinimal(const std::string& binary, int tabs, const std::string& url,
               const std::vector<std::pair<std::string, std::string>>& env) {
  Run run;
  Child child({binary, "--tabs", std::to_string(tabs), url}, env, G_SUBPROCESS_FLAGS_STDOUT_PIPE);
  if (!child.get()) {
    run.why = "could not be started";
    return run;
  }
  const int budget_ms = tabs * kTabLoadDeadlineMs + 60000;
  auto out = child.Output(budget_ms);
  if (!out) {
    run.why = "did not finish within " + std::to_string(budget_ms / 1000) + " s";
    return run;
  }
  run.steps = orv::bench::ParseSteps(*out);
  const int status = g_subprocess_get_exit_status(child.get());
  const auto opened = std::count_if(run.steps.begin(), run.steps.end(),
                                    [](const Step& s) { return s.kind == "open"; });
  run.complete = status == 0 && opened == tabs && !run.steps.empty() &&
                 run.steps.back().kind == "settled";
  if (!run.complete) run.why = "exited with status " + std::to_string(status);
  return run;
}

Run RunOrvindel(int tabs, const PageServer& server, const std::set<pid_t>& skip) {
  Run run;
  int argc = 1;
  static char name[] = "tabs_bench";
  static char* argv_storage[] = {name, nullptr};
  char** argv = argv_storage;
  auto application = Gtk::Application::create(argc, argv, "org.orvindel.bench.Tabs",
                                              Gio::APPLICATION_NON_UNIQUE);
  PrintedDialogs dialogs;
  orv::Services services;
  services.folders = orv::Folders::FromSystem();
  services.dialogs = &dialogs;
  services.screen = orv::PrimaryScreenSize;
  orv::ConfigureWebEngine(services.folders.OrvindelDir());
  orv::WebKitEngine engine;
  services.engine = &engine;
  orv::SoupHttpService http;
  services.http = &http;

  auto app = std::make_unique<orv::App>(services, std::vector<std::string>{});
  orv::InstallErrorReport(dialogs, [&app]() -> Gtk::Window* { return &app->MainForm(); });
  app->OnQuit = [] {};
  app->Start();
  orv::TMainForm& form = app->MainForm();
  orv::WaitUntil([] { return false; }, 500);
  run.steps.push_back(Measure("start", 0, skip));

  const int first_pages = form.nbook.PageCount();
  for (int i = 0; i < tabs; ++i) {
    const orv::TWebBrowser* before = form.GetCurrentWB();
    const int loaded = server.Loaded() + 1;
    const double start = NowMs();
    form.OpenTab(server.Url(), "Blank Page");
    const bool done = orv::WaitUntil(
        [&] {
          const orv::TWebBrowser* wb = form.GetCurrentWB();
          return server.Loaded() >= loaded && wb && wb != before &&
                 wb->ReadyState() == orv::TWebBrowser::kReadyStateComplete;
        },
        kTabLoadDeadlineMs);
    const double ms = NowMs() - start;
    if (!done) {
      run.why = "tab " + std::to_string(i + 1) + " did not load within " +
                std::to_string(kTabLoadDeadlineMs / 1000) + " s";
      break;
    }
    run.steps.push_back(Measure("open", ms, skip));
  }

  while (run.why.empty() && form.nbook.PageCount() > first_pages) {
    const int pages = form.nbook.PageCount();
    form.nbook.SetActivePageIndex(pages - 1);
    orv::ProcessPendingEvents();
    const double start = NowMs();
    form.CloseTabs1Click();
    orv::ProcessPendingEvents();
    const double ms = NowMs() - start;
    if (form.nbook.PageCount() != pages - 1) {
      run.why = "Close Tab on tab " + std::to_string(pages) + " of " + std::to_string(pages) +
                " left " + std::to_string(form.nbook.PageCount()) + " tabs";
      break;
    }
    run.steps.push_back(Measure("close", ms, skip));
  }
  if (run.why.empty()) {
    orv::WaitUntil([] { return false; }, kSettleMs);
    run.steps.push_back(Measure("settled", 0, skip));
    run.complete = !orv::IsTerminating();
    if (!run.complete) run.why = "interrupted";
  }
  if (dialogs.shown) {
    std::fprintf(stderr, "tabs_bench: orvindel showed %d message box(es) during the run\n",
                 dialogs.shown);
  }
  app.reset();
  for (int i = 0; i < 20; ++i) orv::ProcessPendingEvents();
  return run;
}

// ---- the report --------------------------------------------------------------

struct Figures {
  double open_median = 0, open_max = 0, close_median = 0, close_max = 0;
  double rss_start = 0, rss_per_tab = 0, rss_closed = 0;
  double tree_start = 0, tree_per_tab = 0, tree_closed = 0;
};

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t mid = v.size() / 2;
  return v.size() % 2 ? v[mid] : (v[mid - 1] + v[mid]) / 2;
}

Figures Summarise(const Run& run) {
  Figures f;
  std::vector<double> opens, closes;
  const Step* start = nullptr;
  const Step* last_open = nullptr;
  const Step* settled = nullptr;
  for (const Step& s : run.steps) {
    if (s.kind == "start") start = &s;
    if (s.kind == "open") opens.push_back(s.ms), last_open = &s;
    if (s.kind == "close") closes.push_back(s.ms);
    if (s.kind == "settled") settled = &s;
  }
  if (!start || !last_open || !settled) return f;
  const double n = static_cast<double>(opens.size());
  f.open_median = Median(opens);
  f.open_max = *std::max_element(opens.begin(), opens.end());
  f.close_median = Median(closes);
  f.close_max = closes.empty() ? 0 : *std::max_element(closes.begin(), closes.end());
  f.rss_start = start->rss_kb / 1024.0;
  f.rss_per_tab = (last_open->rss_kb - start->rss_kb) / n / 1024.0;
  f.rss_closed = settled->rss_kb / 1024.0;
  f.tree_start = start->tree_kb / 1024.0;
  f.tree_per_tab = (last_open->tree_kb - start->tree_kb) / n / 1024.0;
  f.tree_closed = settled->tree_kb / 1024.0;
  return f;
}

void PrintRow(const char* label, double orvindel, double minimal, int decimals) {
  char ratio[32] = "-";
  if (minimal > 0.0005) std::snprintf(ratio, sizeof ratio, "%.2fx", orvindel / minimal);
  std::printf("%-44s %10.*f %10.*f %8s\n", label, decimals, orvindel, decimals, minimal, ratio);
}

void PrintReport(int tabs, const std::string& url, const Figures& o, const Figures& m) {
  std::printf("\n%d tabs opened one after the other on %s, then closed newest first\n", tabs,
              url.c_str());
  std::printf("%-44s %10s %10s %8s\n", "", "orvindel", "minimal", "ratio");
  PrintRow("open a tab until loaded, median (ms)", o.open_median, m.open_median, 1);
  PrintRow("open a tab until loaded, max (ms)", o.open_max, m.open_max, 1);
  PrintRow("close a tab, median (ms)", o.close_median, m.close_median, 2);
  PrintRow("close a tab, max (ms)", o.close_max, m.close_max, 2);
  std::printf("window process, VmRSS (MB)\n");
  PrintRow("  before the first tab", o.rss_start, m.rss_start, 1);
  PrintRow("  growth per open tab", o.rss_per_tab, m.rss_per_tab, 2);
  PrintRow("  after closing them all", o.rss_closed, m.rss_closed, 1);
  PrintRow("  after closing, above the start", o.rss_closed - o.rss_start,
           m.rss_closed - m.rss_start, 1);
  std::printf("with WebKit's processes, PSS (MB)\n");
  PrintRow("  before the first tab", o.tree_start, m.tree_start, 1);
  PrintRow("  growth per open tab", o.tree_per_tab, m.tree_per_tab, 2);
  PrintRow("  after closing them all", o.tree_closed, m.tree_closed, 1);
  PrintRow("  after closing, above the start", o.tree_closed - o.tree_start,
           m.tree_closed - m.tree_start, 1);
}

std::string DefaultMinimalPath() {
  std::error_code ec;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return (self.parent_path() / "minimal_browser").string();
}

}  // namespace

int main(int argc, char** argv) {
  int tabs = kDefaultTabs;
  std::string minimal = DefaultMinimalPath();
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--tabs" && i + 1 < argc) {
      tabs = std::atoi(argv[++i]);
    } else if (arg == "--minimal" && i + 1 < argc) {
      minimal = argv[++i];
    } else {
      std::fprintf(stderr, "usage: %s [--tabs N] [--minimal PATH]\n", argv[0]);
      return 2;
    }
  }
  if (tabs < 1) {
    std::fprintf(stderr, "tabs_bench: --tabs must be at least 1\n");
    return 2;
  }
  if (!g_getenv("DISPLAY")) {
    std::fprintf(stderr, "tabs_bench: no display; run it as: xvfb-run -a %s\n", argv[0]);
    return 2;
  }

  // Helpers WebKit or GLib leave behind are reparented to us, so the final
  // sweep finds them.
  prctl(PR_SET_CHILD_SUBREAPER, 1);
  Watchdog watchdog(tabs * 2 * kTabLoadDeadlineMs / 1000 + 300);
  int status = 1;
  {
    TempRoot root;
    if (root.path.empty()) {
      std::fprintf(stderr, "tabs_bench: cannot make a temporary folder\n");
      return 1;
    }
    // The folders are set before anything reads them: GLib remembers the
    // user folders from their first use.
    for (const auto& [name, value] : FolderEnvironment(root.path + "/orvindel"))
      g_setenv(name.c_str(), value.c_str(), TRUE);
    for (const char* name : {"http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY",
                             "HTTPS_PROXY", "ALL_PROXY"})
      g_unsetenv(name);
    g_setenv("no_proxy", "127.0.0.1,localhost", TRUE);
    g_setenv("NO_PROXY", "127.0.0.1,localhost", TRUE);

    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
      g_unix_signal_add(signal, [](gpointer) -> gboolean {
        orv::SetTerminating(true);
        return G_SOURCE_CONTINUE;
      }, nullptr);
    }

    std::unique_ptr<Child> bus;
    const std::string bus_address = StartSessionBus(bus, root.path);
    if (!bus_address.empty()) g_setenv("DBUS_SESSION_BUS_ADDRESS", bus_address.c_str(), TRUE);
    else std::fprintf(stderr, "tabs_bench: no private session bus; going on without one\n");
    std::set<pid_t> skip;
    if (bus && bus->pid()) skip.insert(bus->pid());

    Run floor, real;
    std::string url;
    {
      PageServer server;
      if (server.ok()) {
        url = server.Url();
        std::fprintf(stderr, "tabs_bench: minimal_browser, %d tabs...\n", tabs);
        floor = RunMinimal(minimal, tabs, url, FolderEnvironment(root.path + "/minimal"));
        if (!orv::IsTerminating()) {
          std::fprintf(stderr, "tabs_bench: orvindel, %d tabs...\n", tabs);
          real = RunOrvindel(tabs, server, skip);
        }
      }
    }
    bus.reset();
    SweepChildren();

    if (!url.empty()) {
      PrintReport(tabs, url, Summarise(real), Summarise(floor));
      status = floor.complete && real.complete ? 0 : 1;
      if (!floor.complete) std::printf("minimal_browser: %s\n", floor.why.c_str());
      if (!real.complete) std::printf("orvindel: %s\n", real.why.c_str());
    }
  }
  return status;
}
