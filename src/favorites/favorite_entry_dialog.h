// Common ground of the two small favorites dialogs: a name and a URL edit,
// "OK" and "Cancel", shown modally over the window that asks.
#pragma once

#include <optional>
#include <string>

#include "ui/secondary_window.h"

namespace orv {

enum class ModalResult { kOk, kCancel };

class FavoriteEntryDialog : public SecondaryWindow {
 public:
  FavoriteEntryDialog(App& app, Services& services, const std::string& name,
                      const std::string& caption, const std::string& name_label);

  // Shows the dialog over `parent` and waits, with the window's events still
  // running, until it closes. The close box and Escape count as Cancel, and
  // so does the end of the program. A dialog already showing answers Cancel.
  ModalResult ShowModal(Gtk::Window* parent);
  // Closes a showing dialog with `result`.
  void EndModal(ModalResult result);
  bool Showing() const { return showing_; }

  Gtk::Entry ename;
  Gtk::Entry eurl;
  Gtk::Button BitBtnOk;
  Gtk::Button BitBtnCancel;

 protected:
  // "OK": by default it just closes with OK.
  virtual void OkClick() { EndModal(ModalResult::kOk); }
  // Runs just before the dialog shows.
  virtual void BeforeShow() {}

 private:
  bool on_delete_event(GdkEventAny* event) override;
  bool on_key_press_event(GdkEventKey* event) override;

  Gtk::Grid grid_;
  Gtk::Label name_label_;
  Gtk::Label url_label_;
  Gtk::ButtonBox buttons_;
  bool showing_ = false;
  std::optional<ModalResult> result_;
};

}  // namespace orv
