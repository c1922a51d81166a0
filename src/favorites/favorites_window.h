// Tffavorit: the favorites window. It shows the favorites list (kept in
// 2favlist.ovf in the Orvindel folder), opens an entry in the current tab,
// and adds, edits, removes and sorts entries. Its menu bar carries the menu
// of the Favorites folder, rebuilt at every activation.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/secondary_window.h"
#include "favorites/favorites_sort.h"
#include "favorites/list_entry_columns.h"
#include "favorites/list_file.h"

namespace orv {

class TFavoritesMenu;

class Tffavorit : public SecondaryWindow {
 public:
  Tffavorit(App& app, Services& services);
  ~Tffavorit() override;

  // "Open favorites": reloads the list from the file (unsaved changes of an
  // open window go), then shows the window. The main window's favorites
  // button and the floating bar call it.
  void SpeedButton9Click();
  // Writes the list to 2favlist.ovf when this run has loaded it: the window
  // calls it as it closes, the main window as it closes. A list the file
  // format cannot hold is refused with a message; other write errors are
  // ignored, as the old file stays whole.
  void SaveList();
  // Appends an entry and writes the list at once (the add dialog's OK).
  void AddFavorite(const std::string& name, const std::string& url);

  // Handlers.
  void FormActivate();
  void FormCloseQuery();
  void OnURLSelected(const std::string& url);
  void tabelaDblClick();
  void BitBtn3Click();  // Remove
  void BitBtn4Click();  // Edit
  void BitBtn2Click();  // Add to Bookmarks
  void BitBtn1Click();  // Close
  void tabelaColumnClick(FavoritesColumn column);
  // Add to Favorites of the Favorites-folder menu: the current page as an
  // Internet Shortcut in that folder.
  void AddToSystemFavorites();

  // The list as shown, in order.
  ListEntries Entries() const;
  void SetEntries(const ListEntries& entries);
  std::string FilePath() const;
  // Index of the selected row, or -1.
  int SelectedIndex() const;
  void Select(int index);

  // The menu of the last activation; null while none is built.
  TFavoritesMenu* FavoritesMenu() { return menu_.get(); }
  Gtk::MenuBar* MainMenu() { return main_menu_.get(); }
  // The Favorites folder the menu shows; ~/Favorites unless a test moves it.
  std::string FavoritesFolder;

  // Shared by both columns; inverted at every header click.
  bool SortDescending = false;
  // The transparency value, taken from the settings at each activation.
  int AlphaBlendValue = 255;

  ListEntryColumns columns;
  Glib::RefPtr<Gtk::ListStore> store;

  Gtk::Box root;
  Gtk::ScrolledWindow scroll;
  Gtk::TreeView tabela;
  Gtk::ButtonBox bottom;
  Gtk::Button BitBtn3, BitBtn4, BitBtn2, BitBtn1;

 private:
  // Takes the menu bar and its menu out of the window. They are freed on a
  // later turn: the close may come from one of their own items.
  void RetireMenu();
  void Close();
  bool on_delete_event(GdkEventAny* event) override;
  bool on_key_press_event(GdkEventKey* event) override;
  bool TabelaButtonPress(GdkEventButton* event);

  std::unique_ptr<Gtk::MenuBar> main_menu_;
  std::unique_ptr<TFavoritesMenu> menu_;
  std::vector<std::unique_ptr<TFavoritesMenu>> retired_menus_;
  std::vector<std::unique_ptr<Gtk::MenuBar>> retired_bars_;
  bool free_retired_queued_ = false;
  // Set once this run has read (or found no) 2favlist.ovf: before that the
  // window holds nothing the file lacks, and writing would empty the file.
  bool loaded_ = false;
  Gdk::RGBA even_row_;
  Gdk::RGBA odd_row_;
};

}  // namespace orv
