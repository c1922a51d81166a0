#include "prefs/add_string_dialog.h"

namespace orv {

Tfaddstring::Tfaddstring(App& app, Services& services)
    : SecondaryWindow(app, services, "Tfaddstring", "Orvindel"),
      L1("", Gtk::ALIGN_START),
      BitBtn1("_OK", true),
      BitBtn2("_Cancel", true),
      box_(Gtk::ORIENTATION_VERTICAL, 8) {
  FixedDialog();
  set_border_width(12);
  eadd.set_width_chars(60);
  eadd.set_activates_default(true);
  buttons_.set_layout(Gtk::BUTTONBOX_END);
  buttons_.set_spacing(6);
  buttons_.pack_start(BitBtn1);
  buttons_.pack_start(BitBtn2);
  box_.pack_start(L1, Gtk::PACK_SHRINK);
  box_.pack_start(eadd, Gtk::PACK_SHRINK);
  box_.pack_start(buttons_, Gtk::PACK_SHRINK);
  add(box_);
  box_.show_all();
  BitBtn1.set_can_default(true);
  BitBtn1.signal_clicked().connect([this] { EndModal(ModalResult::kOk); });
  BitBtn2.signal_clicked().connect([this] { EndModal(ModalResult::kCancel); });
}

std::optional<std::string> Tfaddstring::Execute(Gtk::Window* parent, const std::string& label,
                                                const std::string& text) {
  L1.set_text(label);
  eadd.set_text(text);
  BitBtn1.grab_default();
  eadd.grab_focus();
  if (ShowModal(parent) != ModalResult::kOk) return std::nullopt;
  return std::string(eadd.get_text());
}

}  // namespace orv
