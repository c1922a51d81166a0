// Tfinfo1: tells how Quick Web Search is used when it was asked for with no
// text selected on the page.
#pragma once

#include "ui/secondary_window.h"

namespace orv {

class Tfinfo1 : public SecondaryWindow {
 public:
  Tfinfo1(App& app, Services& services);

  // Shows the hint, modal over the main window, centred on the desktop.
  // Returns at once; "OK" or the close box hides it.
  void ShowHint();
  void OKClick();

  // Controls.
  Gtk::Box root;
  Gtk::Label Label1;
  Gtk::Box line2;
  Gtk::Label Label2;
  // The quick panel's "Web Search" button as it looks.
  Gtk::Image Image1;
  Gtk::Label Label3;
  Gtk::Label Label4;
  Gtk::ButtonBox buttons;
  Gtk::Button OK;

 private:
  bool on_delete_event(GdkEventAny* event) override;
  bool on_key_press_event(GdkEventKey* event) override;
};

}  // namespace orv
