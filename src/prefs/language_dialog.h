// Tfjezik: the installed languages. A double click on one makes it the
// language of the quick menu; "English" goes back to the built-in captions.
#pragma once

#include <string>

#include "ui/secondary_window.h"
#include "widgets/name_list_widget.h"

namespace orv {

class Tfjezik : public SecondaryWindow {
 public:
  Tfjezik(App& app, Services& services);

  // Fills the list with the languages installed in the Orvindel folder.
  void ListInstalledLanguages();
  // Shows the dialog modally over `parent`.
  void Execute(Gtk::Window* parent);
  // Makes `name` the current language ("" for English), applies it to the
  // quick menu at once and closes.
  void Choose(const std::string& name);
  void bb2Click();

  TNameList lb;
  Gtk::Button bb2;      // Download Languages
  Gtk::Button English;
  Gtk::Button bb1;      // Cancel
  // The names in the list, in their order.
  std::vector<std::string> Items() const;

 private:
  Gtk::Box box_;
  Gtk::ButtonBox buttons_;
};

}  // namespace orv
