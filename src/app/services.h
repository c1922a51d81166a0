// What every window is handed besides the App: the program's view of the
// system, replaceable in tests.
#pragma once

#include <functional>
#include <vector>

#include "app/dialogs.h"
#include "engine/browser_backend.h"
#include "platform/folders.h"
#include "platform/launcher.h"
#include "shell/main_config.h"
#include "shell/window_geometry.h"

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

// Every monitor's rectangle, the primary one first.
std::vector<ScreenRect> MonitorRects();

}  // namespace orv
