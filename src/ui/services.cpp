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
