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
// A file that was not read completely is kept as a copy before the first
// save replaces it (KeepDamagedCopy).
ListFileStatus LoadListViewToFile(ListEntries& list, const std::string& path, Dialogs& dialogs,
                                  Gtk::Window* owner);

// Writes the list atomically. Throws FileError when the file cannot be
// written, DamagedCopyError when a damaged file in its place could not be
// kept, and ListFileLimitError for a list the format cannot hold.
void SaveListViewToFile(const ListEntries& list, const std::string& path);


}  // namespace orv
