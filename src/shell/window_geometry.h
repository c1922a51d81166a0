// Progset.cfg: the main window's restored rectangle and its state.
#pragma once

#include <vector>

#include "common/ini_file.h"
#include "common/screen_size.h"

namespace orv {

inline constexpr char kGeometryFile[] = "Progset.cfg";

enum WindowStatus : int { kStatusNormal = 0, kStatusMinimized = 1, kStatusMaximized = 2 };

struct WindowGeometry {
  int width = 0;
  int height = 0;
  int left = 0;
  int top = 0;
  int status = kStatusNormal;
};

// Reads the stored geometry; every missing or non-integer value keeps the
// one in `current`. Sizes below a usable minimum are raised to it, so a
// damaged file cannot make the window vanish. `complete`, when given, tells
// whether every value present was used as it stands.
WindowGeometry ReadWindowGeometry(const IniFile& file, const WindowGeometry& current,
                                  bool* complete = nullptr);

// How much of a window must lie on one monitor for the user to reach it.
inline constexpr int kMinVisibleWidth = 100;
inline constexpr int kMinVisibleHeight = 50;

// Keeps `geometry` where it is when at least kMinVisibleWidth by
// kMinVisibleHeight pixels of it lie on one of `monitors`; otherwise centres
// it on the first (primary) monitor, no larger than that monitor. With no
// monitors known it is kept.
WindowGeometry PlaceOnMonitors(const WindowGeometry& geometry, const std::vector<ScreenRect>& monitors);

// The whole file, rewritten from `geometry`.
IniFile WriteWindowGeometry(const WindowGeometry& geometry);

}  // namespace orv
