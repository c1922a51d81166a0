#include "platform/launcher.h"

#include <gio/gio.h>

#include <stdexcept>

namespace orv {

void SubprocessLauncher::Start(const std::string& program,
                               const std::vector<std::string>& arguments) {
  std::vector<const char*> argv;
  argv.push_back(program.c_str());
  for (const auto& a : arguments) argv.push_back(a.c_str());
  argv.push_back(nullptr);
  GError* error = nullptr;
  GSubprocess* child = g_subprocess_newv(argv.data(), G_SUBPROCESS_FLAGS_NONE, &error);
  if (!child) {
    const std::string message = error ? error->message : "cannot start " + program;
    g_clear_error(&error);
    throw std::runtime_error(message);
  }
  // The child runs on its own; GIO reaps it when it ends.
  g_object_unref(child);
}

}  // namespace orv
