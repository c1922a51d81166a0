// Process entry: initialise the toolkit, create every window, run the main
// loop until the main window has closed.
#include <glib-unix.h>
#include <gtkmm.h>

#include <csignal>
#include <string>
#include <vector>

#include "app/app.h"
#include "engine/webkit_backend.h"
#include "platform/desktop_integration.h"
#include "platform/error_report.h"
#include "shell/main_window.h"

namespace {

// The App once it exists, and whether a signal came before it did.
struct SignalTarget {
  orv::App* app = nullptr;
  bool exit_requested = false;
};

gboolean OnTerminationSignal(gpointer data) {
  // A session logout or kill closes the browser the way "Exit" does, so the
  // settings are saved; during start-up, once start-up has finished.
  auto* target = static_cast<SignalTarget*>(data);
  if (!target->app) {
    target->exit_requested = true;
  } else {
    orv::RunReported([&] { target->app->RequestExit(); });
  }
  return G_SOURCE_CONTINUE;
}

}  // namespace

int main(int argc, char** argv) {
  // Arguments that start with "--" are options, never addresses.
  std::vector<std::string> arguments;
  bool set_default_browser = false;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--set-default-browser") {
      set_default_browser = true;
    } else if (!argument.starts_with("--")) {
      arguments.push_back(argument);
    }
  }
  if (set_default_browser) {
    // Registers the program with the desktop and ends, opening no window.
    return orv::RegisterAsDefaultBrowser(orv::Folders::FromSystem().program_path) ? 0 : 1;
  }

  // Caught from the first moment: a signal during start-up must close the
  // program cleanly, not kill it halfway.
  static SignalTarget signal_target;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    g_unix_signal_add(signal, OnTerminationSignal, &signal_target);
  }

  // The command line is ours: the toolkit sees only the program name, and
  // every instance runs on its own (New Session starts a second one).
  int toolkit_argc = 1;
  char* toolkit_argv[] = {argv[0], nullptr};
  char** toolkit_argv_ptr = toolkit_argv;
  Glib::set_prgname("orvindel");
  auto application = Gtk::Application::create(toolkit_argc, toolkit_argv_ptr, "org.orvindel.Browser",
                                               Gio::APPLICATION_NON_UNIQUE);
  Glib::set_application_name(orv::kApplicationTitle);

  orv::GtkDialogs dialogs;
  orv::SubprocessLauncher launcher;
  orv::XdgMailService mail;
  orv::Services services;
  services.folders = orv::Folders::FromSystem();
  services.dialogs = &dialogs;
  services.launcher = &launcher;
  services.mail = &mail;
  services.screen = orv::PrimaryScreenSize;
  orv::ConfigureWebEngine(services.folders.OrvindelDir());
  orv::WebKitEngine engine;
  services.engine = &engine;
  orv::SoupHttpService http;
  services.http = &http;

  orv::App app(services, std::move(arguments));
  signal_target.app = &app;
  if (signal_target.exit_requested) app.RequestExit();
  orv::InstallErrorReport(dialogs, [&app]() -> Gtk::Window* { return &app.MainForm(); });
  app.OnQuit = [&application] { application->quit(); };
  orv::SetDownloadChooser([&dialogs, &app](const std::string& suggested) {
    return dialogs.SaveFileName(&app.MainForm(), "Save File", suggested);
  });

  // Windows are made before the loop runs; activation has nothing to add.
  application->signal_activate().connect([] {});
  app.Start();
  application->hold();
  const int status = application->run();
  signal_target.app = nullptr;
  return status;
}
