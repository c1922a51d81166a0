#include "widgets/name_list_widget.h"

namespace orv {

TNameList::TNameList() : store_(Gtk::ListStore::create(columns_)) {
  view_.set_model(store_);
  view_.append_column("", columns_.name);
  view_.set_headers_visible(false);
  add(view_);
  set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
  view_.signal_row_activated().connect([this](const Gtk::TreePath& path, Gtk::TreeViewColumn*) {
    if (OnActivate) OnActivate(Glib::ustring((*store_->get_iter(path))[columns_.name]));
  });
}

void TNameList::SetItems(const std::vector<std::string>& names) {
  store_->clear();
  for (const std::string& name : names) (*store_->append())[columns_.name] = name;
}

std::vector<std::string> TNameList::Items() const {
  std::vector<std::string> items;
  for (const auto& row : store_->children()) items.push_back(Glib::ustring(row[columns_.name]));
  return items;
}

}  // namespace orv
