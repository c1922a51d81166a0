// What every window is handed besides the App: the program's view of the
// system, replaceable in tests.
#pragma once

#include <functional>

#include "app/dialogs.h"
#include "engine/browser_backend.h"
#include "platform/folders.h"
#include "platform/launcher.h"
#include "shell/main_config.h"

namespace orv {

struct Services {
  Folders folders;
  Dialogs* dialogs = nullptr;
  Launcher* launcher = nullptr;
  BackendFactory engine;
  // Size of the primary monitor.
  std::function<ScreenSize()> screen;
};

// The primary monitor's size as GDK reports it.
ScreenSize PrimaryScreenSize();

}  // namespace orv
