// What the Quick Web Search window computes without a display: where it
// stands on the screen and what its caption says.
#pragma once

#include <string>
#include <string_view>

#include "common/screen_size.h"

namespace orv {

inline constexpr int kQuickSearchWidth = 828;

struct WindowPlacement {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// A tall column along the right edge of `screen`: 30 pixels in from the
// edge, 10 from the top, 60 short of the screen's height. On a screen too
// small for that it stays on the screen and keeps a usable height.
WindowPlacement QuickSearchPlacement(ScreenSize screen);

// "Quick Web Search [ text ] - address", the caption once a result is there.
std::string QuickSearchCaption(std::string_view text, std::string_view address);

}  // namespace orv
