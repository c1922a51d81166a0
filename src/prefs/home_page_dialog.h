// Tfhomepage: sets the home page. The edit holds the home page from start-up
// on; Cancel puts back what it held.
#pragma once

#include "ui/secondary_window.h"

namespace orv {

class Tfhomepage : public SecondaryWindow {
 public:
  Tfhomepage(App& app, Services& services);

  // "Home Page" of the Options window: shows the dialog over `parent`; OK
  // makes the edit's text, as typed, the home page.
  void Execute(Gtk::Window* parent);
  // "Add Current": the current tab's address into the edit.
  void BitBtn3Click();

  Gtk::Label Label1;
  Gtk::Entry ehomepage;
  Gtk::Button BitBtn1;  // OK
  Gtk::Button BitBtn2;  // Cancel
  Gtk::Button BitBtn3;  // Add Current

 private:

  Gtk::Box box_;
  Gtk::Box top_;
  Gtk::Box buttons_;
};

}  // namespace orv
