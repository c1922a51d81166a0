// Reading and writing a list file for the window that shows the list: the
// reader's failures are told to the user in a message box that window owns.
#pragma once

#include <gtkmm.h>

#include <string>

#include "ui/dialogs.h"
#include "favorites/list_file.h"

namespace orv {

// Reads the list file at `path` into `list`. A complete read replaces the
// list and sets ListFileLoaded. A file that ends early gives the complete
// entries and the not-a-list-file message. A missing, foreign or unreadable
// file leaves the list as it was and says so ("I/O Error", error icon).
ListFileStatus LoadListViewToFile(ListEntries& list, const std::string& path, Dialogs& dialogs,
                                  Gtk::Window* owner);

// Writes the list atomically. Throws FileError when the file cannot be
// written and ListFileLimitError for a list the format cannot hold.
void SaveListViewToFile(const ListEntries& list, const std::string& path);

// Before a file that failed to load is replaced, its bytes are kept beside
// it as "<name>.bak" (or ".bak2", ".bak3", ... when that is taken by an
// earlier copy). Answers the copy's path, or empty when no copy could be
// made. A path with no file needs no copy: answers `path` itself.
std::string KeepDamagedCopy(const std::string& path);

}  // namespace orv
