#include "prefs/home_page_dialog.h"

#include "app/app.h"
#include "engine/web_browser.h"
#include "shell/main_window.h"

namespace orv {

Tfhomepage::Tfhomepage(App& app, Services& services)
    : SecondaryWindow(app, services, "Tfhomepage", "Home Page"),
      Label1("   Home page", Gtk::ALIGN_START),
      BitBtn1("_OK", true),
      BitBtn2("_Cancel", true),
      BitBtn3("Add Current"),
      box_(Gtk::ORIENTATION_VERTICAL, 8),
      top_(Gtk::ORIENTATION_HORIZONTAL, 6),
      buttons_(Gtk::ORIENTATION_HORIZONTAL, 6) {
  FixedDialog();
  set_border_width(8);
  set_default_size(484, 70);
  ehomepage.set_size_request(401, -1);
  ehomepage.set_activates_default(true);
  top_.pack_start(Label1, Gtk::PACK_SHRINK);
  top_.pack_start(ehomepage, Gtk::PACK_EXPAND_WIDGET);
  // Right to left: OK, Cancel, Add Current.
  buttons_.pack_end(BitBtn1, Gtk::PACK_SHRINK);
  buttons_.pack_end(BitBtn2, Gtk::PACK_SHRINK);
  buttons_.pack_end(BitBtn3, Gtk::PACK_SHRINK);
  // Tab goes from the edit straight to OK.
  BitBtn2.set_can_focus(false);
  BitBtn3.set_can_focus(false);
  box_.pack_start(top_, Gtk::PACK_SHRINK);
  box_.pack_start(buttons_, Gtk::PACK_SHRINK);
  add(box_);
  box_.show_all();
  BitBtn1.set_can_default(true);
  BitBtn1.signal_clicked().connect([this] { EndModal(ModalResult::kOk); });
  BitBtn2.signal_clicked().connect([this] { EndModal(ModalResult::kCancel); });
  BitBtn3.signal_clicked().connect([this] { BitBtn3Click(); });
  // Made after the settings were read: the edit holds the home page.
  ehomepage.set_text(app.MainForm().Settings.HomePage);
}

void Tfhomepage::Execute(Gtk::Window* parent) {
  TMainForm& main = app().MainForm();
  const std::string before = ehomepage.get_text();
  BitBtn1.grab_default();
  ehomepage.grab_focus();
  if (ShowModal(parent) == ModalResult::kOk) {
    main.Settings.HomePage = ehomepage.get_text();
  } else {
    ehomepage.set_text(before);
  }
}

void Tfhomepage::BitBtn3Click() {
  if (TWebBrowser* wb = app().MainForm().GetCurrentWB()) ehomepage.set_text(wb->LocationURL());
}

}  // namespace orv
