#include "pagetools/search_hint_window.h"

#include "app/app.h"
#include "shell/main_window.h"

namespace orv {

Tfinfo1::Tfinfo1(App& app, Services& services)
    : SecondaryWindow(app, services, "Tfinfo1", "Orvindel Web Search"),
      root(Gtk::ORIENTATION_VERTICAL, 8),
      Label1("1. Select text"),
      line2(Gtk::ORIENTATION_HORIZONTAL, 4),
      Label2("2. Click the button \"Web Search\" "),
      Label3("or"),
      Label4("press F4 key"),
      buttons(Gtk::ORIENTATION_HORIZONTAL),
      OK("OK") {
  set_resizable(false);
  set_position(Gtk::WIN_POS_CENTER);
  set_type_hint(Gdk::WINDOW_TYPE_HINT_DIALOG);
  set_modal(true);
  set_transient_for(app.MainForm());
  set_skip_taskbar_hint(true);

  Image1.set_from_icon_name("system-search-symbolic", Gtk::ICON_SIZE_BUTTON);
  for (Gtk::Label* label : {&Label1, &Label2, &Label3, &Label4}) label->set_xalign(0);
  line2.pack_start(Label2, Gtk::PACK_SHRINK);
  line2.pack_start(Image1, Gtk::PACK_SHRINK);

  OK.signal_clicked().connect([this] { OKClick(); });
  OK.set_can_default(true);
  buttons.set_layout(Gtk::BUTTONBOX_CENTER);
  buttons.pack_start(OK, Gtk::PACK_SHRINK);

  root.set_border_width(16);
  root.pack_start(Label1, Gtk::PACK_SHRINK);
  root.pack_start(line2, Gtk::PACK_SHRINK);
  root.pack_start(Label3, Gtk::PACK_SHRINK);
  root.pack_start(Label4, Gtk::PACK_SHRINK);
  root.pack_start(buttons, Gtk::PACK_SHRINK, 4);
  add(root);
  root.show_all();
  set_default(OK);
}

void Tfinfo1::ShowHint() {
  present();
  OK.grab_focus();
}

void Tfinfo1::OKClick() { hide(); }

bool Tfinfo1::on_delete_event(GdkEventAny*) {
  hide();
  return true;
}

bool Tfinfo1::on_key_press_event(GdkEventKey* event) {
  if (event->keyval == GDK_KEY_Escape) {
    hide();
    return true;
  }
  return SecondaryWindow::on_key_press_event(event);
}

}  // namespace orv
