// Process entry: initialise the toolkit, create every window, run the main
// loop until the main window has closed.
#include <glib-unix.h>
#include <gtkmm.h>

#include <csignal>
#include <string>
#include <vector>

#include "app/app.h"
#include "engine/webkit_backend.h"
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
  std::vector<std::string> arguments(argv + 1, argv + argc);

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
  orv::Services services;
  services.folders = orv::Folders::FromSystem();
  services.dialogs = &dialogs;
  services.launcher = &launcher;
  services.screen = orv::PrimaryScreenSize;
  orv::ConfigureWebEngine(services.folders.OrvindelDir());
  services.engine = orv::WebKitBackendFactory();

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
