// TRGPanel: a panel whose surface drags a window. A left press on the panel
// itself (not on a control on it) hands the drag to the window system, which
// moves the window until the button is released.
#pragma once

#include <gtkmm.h>

namespace orv {

enum class TFloatingPanel {
  fpSelf,    // dragging moves the panel's own window
  fpNone,    // no dragging
  fpParent,  // dragging moves the window the panel sits in
};

class TRGPanel : public Gtk::EventBox {
 public:
  TRGPanel();

  TFloatingPanel FloatingPanel = TFloatingPanel::fpParent;

 protected:
  bool on_button_press_event(GdkEventButton* event) override;
};

}  // namespace orv
