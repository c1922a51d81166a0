#include "shell/window_geometry.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace orv {

namespace {
constexpr char kSection[] = "Velikost";
constexpr int kMinSize = 200;
constexpr int kMaxSize = 32767;
}  // namespace

WindowGeometry ReadWindowGeometry(const IniFile& f, const WindowGeometry& current,
                                  bool* complete) {
  bool all_used = true;
  auto read = [&](const char* key, int fallback, int low, int high) {
    if (!f.HasKey(kSection, key)) return std::clamp(fallback, low, high);
    // A value that is no integer reads as both fallbacks; one that is an
    // integer reads as itself whichever is given.
    const int a = f.ReadInteger(kSection, key, INT_MIN);
    const int b = f.ReadInteger(kSection, key, INT_MAX);
    const int value = a == b ? a : fallback;
    if (a != b || value < low || value > high) all_used = false;
    return std::clamp(value, low, high);
  };
  WindowGeometry g;
  g.width = read("Sirina", current.width, kMinSize, kMaxSize);
  g.height = read("Visina", current.height, kMinSize, kMaxSize);
  g.left = read("Levo", current.left, -kMaxSize, kMaxSize);
  g.top = read("Gor", current.top, -kMaxSize, kMaxSize);
  const int status = read("Status", 0, INT_MIN, INT_MAX);
  if (status != kStatusNormal && status != kStatusMinimized && status != kStatusMaximized) {
    all_used = false;
  }
  g.status = (status == kStatusMinimized || status == kStatusMaximized) ? status : kStatusNormal;
  if (complete) *complete = all_used;
  return g;
}

WindowGeometry PlaceOnMonitors(const WindowGeometry& g, const std::vector<ScreenRect>& monitors) {
  if (monitors.empty()) return g;
  // In 64 bits: a stored edge near the limit plus a size must not overflow.
  for (const ScreenRect& m : monitors) {
    const int64_t left = std::max<int64_t>(g.left, m.left);
    const int64_t right = std::min<int64_t>(int64_t{g.left} + g.width, int64_t{m.left} + m.width);
    const int64_t top = std::max<int64_t>(g.top, m.top);
    const int64_t bottom = std::min<int64_t>(int64_t{g.top} + g.height, int64_t{m.top} + m.height);
    if (right - left >= kMinVisibleWidth && bottom - top >= kMinVisibleHeight) return g;
  }
  const ScreenRect& primary = monitors.front();
  WindowGeometry placed = g;
  placed.width = std::min(g.width, std::max(primary.width, 1));
  placed.height = std::min(g.height, std::max(primary.height, 1));
  placed.left = primary.left + (primary.width - placed.width) / 2;
  placed.top = primary.top + (primary.height - placed.height) / 2;
  return placed;
}

IniFile WriteWindowGeometry(const WindowGeometry& g) {
  IniFile f;
  f.WriteInteger(kSection, "Sirina", g.width);
  f.WriteInteger(kSection, "Visina", g.height);
  f.WriteInteger(kSection, "Levo", g.left);
  f.WriteInteger(kSection, "Gor", g.top);
  f.WriteInteger(kSection, "Status", g.status);
  return f;
}

}  // namespace orv
