// Tfabout: the program's name, its maker, the running version and a link to
// the maker's site.
#pragma once

#include "ui/secondary_window.h"

namespace orv {

class Tfabout : public SecondaryWindow {
 public:
  Tfabout(App& app, Services& services);

  // The quick menu's "About Orvindel Web Browser": shows the window modally,
  // then gives the keyboard back to the page.
  void Execute();
  // Every showing: the version line and the update notice.
  void FormActivate();
  // The link: redirect mode off, a new tab with the maker's site.
  void Label3Click();

  Gtk::Image Image1;
  Gtk::Label Label1;  // the maker
  Gtk::Label Label2;  // the product
  Gtk::Label Version;
  Gtk::Label Label3;  // the link
  Gtk::Label Status1, Status2;
  Gtk::Button BitBtn1;  // OK

 private:
  void BeforeShow() override { FormActivate(); }

  Gtk::EventBox background_;
  Gtk::EventBox link_;
  Gtk::Box box_;
  Gtk::Box names_;
};

}  // namespace orv
