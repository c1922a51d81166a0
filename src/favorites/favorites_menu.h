// What the menu of the Favorites folder decides without the toolkit: item
// captions, where its top item goes in a menu bar, and Internet Shortcut files.
#pragma once

#include <string>
#include <string_view>

namespace orv {

// A caption longer than `max_width` characters (code points, not bytes) is
// cut to its first `max_width` characters followed by "...".
std::string MenuCaption(std::string_view name, int max_width);

// The 0-based position at which the top item goes among `top_items` items,
// for the 1-based `menupos`: 0 or less means first, too large means last.
int TopItemPosition(int menupos, int top_items);

// The URL of an Internet Shortcut file: key "URL" of section
// "InternetShortcut". Empty when the file holds none.
std::string InternetShortcutUrl(std::string_view file_bytes);

// The text of an Internet Shortcut for `url`. A URL with a line break would
// add keys of its own to the file, so it is refused: answers empty.
std::string InternetShortcutText(std::string_view url);

// A file name (without folder) for a shortcut named `name`: characters a
// file name cannot hold become "_", a leading dot (which would hide it) too,
// and it ends in ".url". An empty name becomes "Untitled.url".
std::string InternetShortcutFileName(std::string_view name);

// The name a menu shows for a file of the folder: an Internet Shortcut or a
// desktop entry without its extension, anything else as it is.
std::string MenuEntryName(std::string_view file_name);

bool IsInternetShortcutName(std::string_view file_name);
bool IsDesktopEntryName(std::string_view file_name);

}  // namespace orv
