#include "shell/window_geometry.h"

#include <algorithm>

namespace orv {

namespace {
constexpr char kSection[] = "Velikost";
constexpr int kMinSize = 200;
constexpr int kMaxSize = 32767;
}  // namespace

WindowGeometry ReadWindowGeometry(const IniFile& f, const WindowGeometry& current) {
  WindowGeometry g;
  g.width = std::clamp(f.ReadInteger(kSection, "Sirina", current.width), kMinSize, kMaxSize);
  g.height = std::clamp(f.ReadInteger(kSection, "Visina", current.height), kMinSize, kMaxSize);
  g.left = std::clamp(f.ReadInteger(kSection, "Levo", current.left), -kMaxSize, kMaxSize);
  g.top = std::clamp(f.ReadInteger(kSection, "Gor", current.top), -kMaxSize, kMaxSize);
  const int status = f.ReadInteger(kSection, "Status", 0);
  g.status = (status == kStatusMinimized || status == kStatusMaximized) ? status : kStatusNormal;
  return g;
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
