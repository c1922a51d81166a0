// Progset.cfg: the main window's restored rectangle and its state.
#pragma once

#include "common/ini_file.h"

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
// damaged file cannot make the window vanish.
WindowGeometry ReadWindowGeometry(const IniFile& file, const WindowGeometry& current);

// The whole file, rewritten from `geometry`.
IniFile WriteWindowGeometry(const WindowGeometry& geometry);

}  // namespace orv
