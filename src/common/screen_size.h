// The size of the screen the program's windows are placed on.
#pragma once

namespace orv {

struct ScreenSize {
  int width = 1024;
  int height = 768;
};

}  // namespace orv
