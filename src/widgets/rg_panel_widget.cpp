#include "widgets/rg_panel_widget.h"

namespace orv {

TRGPanel::TRGPanel() { add_events(Gdk::BUTTON_PRESS_MASK); }

bool TRGPanel::on_button_press_event(GdkEventButton* event) {
  // A press that a control on the panel did not take arrives here too; only
  // one on the panel's own surface drags.
  if (event->type != GDK_BUTTON_PRESS || event->button != 1 || event->window != get_window()->gobj() ||
      FloatingPanel == TFloatingPanel::fpNone) {
    return Gtk::EventBox::on_button_press_event(event);
  }
  // The panel has no window of its own to move: in both cases it is the
  // top-level window it sits in that the window system moves.
  auto* window = dynamic_cast<Gtk::Window*>(get_toplevel());
  if (!window) return false;
  window->begin_move_drag(static_cast<int>(event->button), static_cast<int>(event->x_root),
                          static_cast<int>(event->y_root), event->time);
  queue_draw();
  return true;
}

}  // namespace orv
