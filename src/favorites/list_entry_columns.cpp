#include "favorites/list_entry_columns.h"

#include "favorites/favorite_entry_dialog.h"

namespace orv {

ListEntryColumns::ListEntryColumns() {
  add(caption);
  add(url);
  add(image_index);
  add(has_url);
  add(more);
}

void ListEntryColumns::Fill(const Gtk::TreeModel::Row& row, const ListEntry& entry,
                            const std::string& shown_url) const {
  row.set_value(caption, Glib::ustring(entry.caption));
  row.set_value(url, Glib::ustring(shown_url));
  row.set_value(image_index, static_cast<int>(entry.image_index));
  row.set_value(has_url, !entry.sub_items.empty());
  if (entry.sub_items.size() > 1) {
    row.set_value(more,
                  std::vector<std::string>(entry.sub_items.begin() + 1, entry.sub_items.end()));
  }
}

ListEntry ListEntryColumns::EntryOf(const Gtk::TreeModel::Row& row) const {
  ListEntry entry;
  entry.caption = Glib::ustring(row[caption]);
  entry.image_index = row[image_index];
  if (row[has_url]) {
    entry.sub_items.push_back(Glib::ustring(row[url]));
    const std::vector<std::string> rest = row[more];
    entry.sub_items.insert(entry.sub_items.end(), rest.begin(), rest.end());
  }
  return entry;
}

ListEntries ListEntryColumns::Entries(const Glib::RefPtr<Gtk::ListStore>& store) const {
  ListEntries out;
  out.reserve(store->children().size());
  for (const auto& row : store->children()) out.push_back(EntryOf(row));
  return out;
}

int SelectedRow(const Gtk::TreeView& view) {
  auto& tree = const_cast<Gtk::TreeView&>(view);
  if (!tree.get_model()) return -1;
  auto it = tree.get_selection()->get_selected();
  return it ? tree.get_model()->get_path(it)[0] : -1;
}

void SelectRow(Gtk::TreeView& view, int index) {
  if (!view.get_model()) return;
  const auto rows = view.get_model()->children();
  if (index < 0 || index >= static_cast<int>(rows.size())) {
    view.get_selection()->unselect_all();
    return;
  }
  view.get_selection()->select(rows[index]);
}

void EditSelectedEntry(Gtk::TreeView& view, const Glib::RefPtr<Gtk::ListStore>& store,
                       const ListEntryColumns& columns, FavoriteEntryDialog& dialog,
                       Gtk::Window& parent) {
  if (store->children().empty()) return;
  int index = SelectedRow(view);
  if (index < 0) index = 0;
  const Gtk::TreeRowReference chosen(store, store->get_path(store->children()[index]));
  auto row = *store->get_iter(chosen.get_path());
  dialog.ename.set_text(row[columns.caption]);
  dialog.eurl.set_text(row[columns.url]);
  if (dialog.ShowModal(&parent) != ModalResult::kOk || !chosen.is_valid()) return;
  row = *store->get_iter(chosen.get_path());
  row[columns.caption] = dialog.ename.get_text();
  row[columns.url] = dialog.eurl.get_text();
  row[columns.has_url] = true;
}

}  // namespace orv
