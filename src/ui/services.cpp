#include "ui/services.h"

#include <gtkmm.h>

namespace orv {

ScreenSize PrimaryScreenSize() {
  ScreenSize size;
  auto display = Gdk::Display::get_default();
  if (!display) return size;
  auto monitor = display->get_primary_monitor();
  if (!monitor) monitor = display->get_monitor(0);
  if (!monitor) return size;
  Gdk::Rectangle r;
  monitor->get_geometry(r);
  if (r.get_width() > 0 && r.get_height() > 0) size = {r.get_width(), r.get_height()};
  return size;
}

}  // namespace orv

namespace orv {

std::vector<ScreenRect> MonitorRects() {
  std::vector<ScreenRect> rects;
  auto display = Gdk::Display::get_default();
  if (!display) return rects;
  auto primary = display->get_primary_monitor();
  for (int i = 0; i < display->get_n_monitors(); ++i) {
    auto monitor = display->get_monitor(i);
    if (!monitor) continue;
    Gdk::Rectangle r;
    monitor->get_geometry(r);
    if (r.get_width() <= 0 || r.get_height() <= 0) continue;
    const ScreenRect rect{r.get_x(), r.get_y(), r.get_width(), r.get_height()};
    if (monitor == primary) {
      rects.insert(rects.begin(), rect);
    } else {
      rects.push_back(rect);
    }
  }
  return rects;
}

}  // namespace orv
