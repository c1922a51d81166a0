// TNameList: a scrolled list of names, one column, no header. A double
// click (or Enter) on a name reports it.
#pragma once

#include <gtkmm.h>

#include <functional>
#include <string>
#include <vector>

namespace orv {

class TNameList : public Gtk::ScrolledWindow {
 public:
  TNameList();

  // Replaces the names, in the order given.
  void SetItems(const std::vector<std::string>& names);
  std::vector<std::string> Items() const;

  std::function<void(const std::string& name)> OnActivate;

 private:
  struct Columns : Gtk::TreeModelColumnRecord {
    Columns() { add(name); }
    Gtk::TreeModelColumn<Glib::ustring> name;
  } columns_;
  Glib::RefPtr<Gtk::ListStore> store_;
  Gtk::TreeView view_;
};

}  // namespace orv
