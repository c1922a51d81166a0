#include "ui/secondary_window.h"

#include "platform/main_loop.h"

namespace orv {

ModalResult SecondaryWindow::ShowModal(Gtk::Window* parent) {
  if (showing_) return ModalResult::kCancel;
  showing_ = true;
  result_.reset();
  if (parent) set_transient_for(*parent);
  set_modal(true);
  BeforeShow();
  present();
  AfterShow();
  WaitUntil([this] { return result_.has_value(); });
  hide();
  set_modal(false);
  showing_ = false;
  return result_.value_or(ModalResult::kCancel);
}

void SecondaryWindow::FixedDialog() {
  set_resizable(false);
  set_type_hint(Gdk::WINDOW_TYPE_HINT_DIALOG);
  set_skip_taskbar_hint(true);
  set_position(Gtk::WIN_POS_CENTER);
}

void SecondaryWindow::EndModal(ModalResult result) {
  if (showing_) result_ = result;
}

bool SecondaryWindow::on_delete_event(GdkEventAny* event) {
  if (!showing_) return Gtk::Window::on_delete_event(event);
  EndModal(ModalResult::kCancel);
  return true;
}

bool SecondaryWindow::on_key_press_event(GdkEventKey* event) {
  if (showing_ && event->keyval == GDK_KEY_Escape) {
    EndModal(ModalResult::kCancel);
    return true;
  }
  return Gtk::Window::on_key_press_event(event);
}

}  // namespace orv
