// The order the favorites window gives its list when a column header is
// clicked.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "favorites/list_file.h"

namespace orv {

enum class FavoritesColumn { kBookmarks = 0, kUrl = 1 };

// Maps a name to a key whose byte order is the user's collation, without
// regard to case. The window passes the locale's; tests a simple one.
using CollationKey = std::function<std::string(std::string_view)>;

// The URL of a favorite is its first sub-item; an entry without one has none.
std::string_view FavoriteUrl(const ListEntry& entry);

// Entries without a URL come first in either direction. The others are
// ordered by name ("Bookmarks") or by URL without regard to case, ties broken
// by name ("URL"); `descending` reverses that order. Equal entries keep their
// relative order.
void SortFavorites(ListEntries& list, FavoritesColumn column, bool descending,
                   const CollationKey& name_key);

}  // namespace orv
