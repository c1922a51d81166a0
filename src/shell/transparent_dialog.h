// Tftransparent: chooses the main window's opacity with a track bar. The
// main window previews every movement while it is open.
#pragma once

#include <functional>

#include "ui/secondary_window.h"

namespace orv {

class Tftransparent : public SecondaryWindow {
 public:
  Tftransparent(App& app, Services& services);

  // Shows the dialog modally with the track bar at `position`; `changed`
  // runs with every new position while it is open.
  ModalResult Execute(int position, std::function<void(int position)> changed);

  Gtk::Label Label1;
  Gtk::Scale TrackBar1;
  Gtk::Button BitBtn1;  // OK
  Gtk::Button BitBtn2;  // Cancel

 private:

  Gtk::Box box_;
  Gtk::ButtonBox buttons_;
  std::function<void(int)> changed_;
};

}  // namespace orv
