// Tfmanage: the feed list, with Add, Remove, Move Up, Move Down and Edit.
// The list it shows is the program's feed list: the reader and the ticker
// read it from here. "Close" writes it to 2rss.ovf; the close box does not,
// and the reader's next opening reads the file again.
#pragma once

#include <string>

#include "favorites/list_entry_columns.h"
#include "favorites/list_file.h"
#include "ui/secondary_window.h"

namespace orv {

class Tfmanage : public SecondaryWindow {
 public:
  Tfmanage(App& app, Services& services);

  // At start-up: the obsolete rss.ovf goes, 2rss.ovf is read.
  void FormCreate();
  // Shows the window over `parent` and waits, the other windows still
  // answering, until it closes.
  void ShowModal(Gtk::Window* parent);
  bool Showing() const { return showing_; }

  // Handlers.
  void FormActivate();
  void sb1Click();     // Add
  void SB2Click();     // Remove
  void SB3Click();     // Move Up
  void sb4Click();     // Move Down
  void SB5Click();     // Edit
  void BitBtn1Click();  // Close

  // The feed list, in the user's order.
  ListEntries Entries() const;
  void SetEntries(const ListEntries& entries);
  bool Empty() const { return store->children().empty(); }
  // Deletes rss.ovf and, when 2rss.ovf exists, reads it into the list; a
  // failed read is told to the user and leaves the list empty.
  void ReloadFromFile(Gtk::Window* owner);
  std::string FilePath() const;
  int SelectedIndex() const;
  void Select(int index);

  ListEntryColumns columns;
  Glib::RefPtr<Gtk::ListStore> store;

  Gtk::Box root;
  Gtk::ScrolledWindow scroll;
  Gtk::TreeView tabela;
  Gtk::Box buttons;
  Gtk::Button sb1, SB2, SB3, sb4, SB5, BitBtn1;

 private:
  void Move(int to_offset);
  void Close();
  bool on_delete_event(GdkEventAny* event) override;
  bool on_key_press_event(GdkEventKey* event) override;

  bool showing_ = false;
  // The last read of 2rss.ovf failed: keep a copy before replacing it.
  bool keep_damaged_ = false;
};

}  // namespace orv
