// Tfdl: the languages a language server offers. Every opening fetches the
// list; a double click installs one. Closing refreshes the installed list.
#pragma once

#include <string>
#include <vector>

#include "ui/secondary_window.h"
#include "widgets/name_list_widget.h"

namespace orv {

class Tfdl : public SecondaryWindow {
 public:
  Tfdl(App& app, Services& services);

  // Shows the dialog modally over `parent`, fetching the list first.
  void Execute(Gtk::Window* parent);
  void FormActivate();
  // Downloads the language `name` into the Orvindel folder, then closes.
  void lbDblClick(const std::string& name);

  TNameList lb;
  Gtk::Button bb1;  // Close
  std::vector<std::string> Items() const;

 private:
  void BeforeShow() override { FormActivate(); }
  // Where language files come from: the setting, or the shipped folder.
  std::string ServerBase();
  void ShowList();
  void DownloadFailed();

  Gtk::Box box_;
};

}  // namespace orv
