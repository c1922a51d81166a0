// Tfaddstring: asks for one line of text, such as a user agent.
#pragma once

#include <optional>
#include <string>

#include "ui/secondary_window.h"

namespace orv {

class Tfaddstring : public SecondaryWindow {
 public:
  Tfaddstring(App& app, Services& services);

  // Shows the dialog modally over `parent` with `label` above the edit and
  // `text` in it. Answers the text on OK, nothing on Cancel.
  std::optional<std::string> Execute(Gtk::Window* parent, const std::string& label,
                                     const std::string& text);

  Gtk::Label L1;
  Gtk::Entry eadd;
  Gtk::Button BitBtn1;  // OK
  Gtk::Button BitBtn2;  // Cancel

 private:

  Gtk::Box box_;
  Gtk::ButtonBox buttons_;
};

}  // namespace orv
