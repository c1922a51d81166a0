// Common ground of the two small favorites dialogs: a name and a URL edit,
// "OK" and "Cancel", shown modally over the window that asks.
#pragma once

#include <string>

#include "ui/secondary_window.h"

namespace orv {

class FavoriteEntryDialog : public SecondaryWindow {
 public:
  FavoriteEntryDialog(App& app, Services& services, const std::string& name,
                      const std::string& caption, const std::string& name_label);

  // ShowModal shows it over the window that asks; the close box and Escape
  // count as Cancel.

  Gtk::Entry ename;
  Gtk::Entry eurl;
  Gtk::Button BitBtnOk;
  Gtk::Button BitBtnCancel;

 protected:
  // "OK": by default it just closes with OK.
  virtual void OkClick() { EndModal(ModalResult::kOk); }
  void BeforeShow() override;
  // Runs just before the dialog shows.
  virtual void BeforeShowing() {}

 private:
  Gtk::Grid grid_;
  Gtk::Label name_label_;
  Gtk::Label url_label_;
  Gtk::ButtonBox buttons_;
};

}  // namespace orv
