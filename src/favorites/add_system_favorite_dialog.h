// "Add to Favorites" of the Favorites-folder menu: a small dialog that asks
// for a name and a folder and stores the current page there as an Internet
// Shortcut, so that the menu lists it from its next build on.
#pragma once

#include <gtkmm.h>

#include <string>
#include <vector>

namespace orv {

// Writes "<folder>/<name>.url" for `url` (" (2)", " (3)", ... before the
// extension when that file exists) and answers its path. Creates the folder
// when it is missing. Throws FileError when it cannot.
std::string WriteInternetShortcut(const std::string& folder, const std::string& name,
                                  const std::string& url);

// The folders a shortcut can go to: `root` first, then its visible
// subfolders, depth first, at most a few levels and a few hundred.
std::vector<std::string> ShortcutFolders(const std::string& root);

class AddSystemFavoriteDialog : public Gtk::Dialog {
 public:
  AddSystemFavoriteDialog(Gtk::Window* parent, const std::string& root, const std::string& name,
                          const std::string& url);
  // Runs the dialog; on OK writes the shortcut. Answers its path, or empty
  // when the user cancelled. Throws FileError when it cannot be written.
  std::string Run();

  Gtk::Entry name_edit;
  Gtk::ComboBoxText folder_choice;

 private:
  std::string root_;
  std::string url_;
  std::vector<std::string> folders_;
  Gtk::Grid grid_;
  Gtk::Label name_label_;
  Gtk::Label folder_label_;
};

}  // namespace orv
