#include "favorites/favorite_entry_dialog.h"

namespace orv {

FavoriteEntryDialog::FavoriteEntryDialog(App& app, Services& services, const std::string& name,
                                         const std::string& caption, const std::string& name_label)
    : SecondaryWindow(app, services, name, caption),
      BitBtnOk("_OK", true),
      BitBtnCancel("_Cancel", true),
      name_label_(name_label, Gtk::ALIGN_START),
      url_label_("URL:", Gtk::ALIGN_START) {
  set_resizable(false);
  set_type_hint(Gdk::WINDOW_TYPE_HINT_DIALOG);
  set_skip_taskbar_hint(true);
  set_border_width(12);
  grid_.set_row_spacing(6);
  grid_.set_column_spacing(8);
  ename.set_width_chars(40);
  eurl.set_width_chars(40);
  // Enter in either edit is "OK".
  ename.set_activates_default(true);
  eurl.set_activates_default(true);
  grid_.attach(name_label_, 0, 0);
  grid_.attach(ename, 1, 0);
  grid_.attach(url_label_, 0, 1);
  grid_.attach(eurl, 1, 1);
  buttons_.set_layout(Gtk::BUTTONBOX_END);
  buttons_.set_spacing(6);
  buttons_.pack_start(BitBtnOk);
  buttons_.pack_start(BitBtnCancel);
  grid_.attach(buttons_, 0, 2, 2, 1);
  buttons_.set_margin_top(6);
  add(grid_);
  BitBtnOk.set_can_default(true);
  BitBtnOk.signal_clicked().connect([this] { OkClick(); });
  BitBtnCancel.signal_clicked().connect([this] { EndModal(ModalResult::kCancel); });
  grid_.show_all();
}

void FavoriteEntryDialog::BeforeShow() {
  // The favorites window stays on top; its dialogs must not go under it.
  set_keep_above(true);
  BeforeShowing();
  BitBtnOk.grab_default();
  ename.grab_focus();
}

}  // namespace orv
