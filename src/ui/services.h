// What every window is handed besides the App: the program's view of the
// system, replaceable in tests.
#pragma once

#include <functional>
#include <vector>

#include "ui/dialogs.h"
#include "engine/engine_service.h"
#include "platform/folders.h"
#include "platform/http_service.h"
#include "platform/launcher.h"
#include "platform/mail.h"
#include "common/screen_size.h"

namespace orv {

struct Services {
  Folders folders;
  Dialogs* dialogs = nullptr;
  Launcher* launcher = nullptr;
  MailService* mail = nullptr;
  EngineService* engine = nullptr;
  HttpService* http = nullptr;
  // Size of the primary monitor.
  std::function<ScreenSize()> screen;
};

// The primary monitor's size as GDK reports it.
ScreenSize PrimaryScreenSize();

// Every monitor's rectangle, the primary one first.
std::vector<ScreenRect> MonitorRects();

}  // namespace orv
