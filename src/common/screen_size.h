// The screen the program's windows are placed on.
#pragma once

namespace orv {

struct ScreenSize {
  int width = 1024;
  int height = 768;
};

// A monitor's rectangle on the desktop.
struct ScreenRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

}  // namespace orv
