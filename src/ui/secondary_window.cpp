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
  WaitUntil([this] { return result_.has_value(); });
  hide();
  set_modal(false);
  showing_ = false;
  return result_.value_or(ModalResult::kCancel);
}

void SecondaryWindow::EndModal(ModalResult result) {
  if (showing_) result_ = result;
}

}  // namespace orv
