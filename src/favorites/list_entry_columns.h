// The table of a window that shows a list file's entries (favorites, feeds):
// its columns, the moves between a row and an entry, the selected row, and
// the editing of a row's name and URL.
#pragma once

#include <gtkmm.h>

#include <string>
#include <vector>

#include "favorites/list_file.h"

namespace orv {

class FavoriteEntryDialog;

class ListEntryColumns : public Gtk::TreeModelColumnRecord {
 public:
  // In this order: a fast fill sets the first four by their numbers.
  ListEntryColumns();
  Gtk::TreeModelColumn<Glib::ustring> caption;
  Gtk::TreeModelColumn<Glib::ustring> url;
  // What the file holds beyond name and URL, carried through unchanged.
  Gtk::TreeModelColumn<int> image_index;
  Gtk::TreeModelColumn<bool> has_url;
  Gtk::TreeModelColumn<std::vector<std::string>> more;

  // Fills `row` from `entry`, showing `url` in the URL column.
  void Fill(const Gtk::TreeModel::Row& row, const ListEntry& entry, const std::string& url) const;
  ListEntry EntryOf(const Gtk::TreeModel::Row& row) const;
  ListEntries Entries(const Glib::RefPtr<Gtk::ListStore>& store) const;
};

// The number of the selected row of `view`, -1 when none is.
int SelectedRow(const Gtk::TreeView& view);
// Selects row `index` of `view`; an index out of range selects nothing.
void SelectRow(Gtk::TreeView& view, int index);
// Opens `dialog` over `parent` on the selected row of `view` (the first one
// when none is selected) and writes the name and URL back on OK, to the
// same row even if others were added or removed meanwhile. An empty list
// does nothing.
void EditSelectedEntry(Gtk::TreeView& view, const Glib::RefPtr<Gtk::ListStore>& store,
                       const ListEntryColumns& columns, FavoriteEntryDialog& dialog,
                       Gtk::Window& parent);

}  // namespace orv
