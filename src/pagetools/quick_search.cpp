#include "pagetools/quick_search.h"

#include <algorithm>

namespace orv {

namespace {
// Below this the top bar, a few result lines and the bottom bar no longer fit.
constexpr int kMinHeight = 240;
constexpr int kRightGap = 30;
constexpr int kTop = 10;
constexpr int kHeightGap = 60;
}  // namespace

WindowPlacement QuickSearchPlacement(ScreenSize screen) {
  WindowPlacement p;
  p.width = std::min(kQuickSearchWidth, std::max(1, screen.width));
  p.left = std::max(0, screen.width - p.width - kRightGap);
  p.top = kTop;
  p.height = std::max(kMinHeight, screen.height - kHeightGap);
  return p;
}

std::string QuickSearchCaption(std::string_view text, std::string_view address) {
  std::string caption = "Quick Web Search [ ";
  caption += text;
  caption += " ] - ";
  caption += address;
  return caption;
}

}  // namespace orv
