#include "favorites/favorites_sort.h"

#include <algorithm>
#include <numeric>

#include "common/text.h"

namespace orv {

std::string_view FavoriteUrl(const ListEntry& entry) {
  return entry.sub_items.empty() ? std::string_view() : std::string_view(entry.sub_items[0]);
}

void SortFavorites(ListEntries& list, FavoritesColumn column, bool descending,
                   const CollationKey& name_key) {
  // Keys are made once per entry: collation keys are costly, and a list may
  // hold tens of thousands of entries.
  struct Keys {
    bool no_url;
    std::string name;
    std::string url;
  };
  std::vector<Keys> keys;
  keys.reserve(list.size());
  for (const ListEntry& e : list) {
    const std::string_view url = FavoriteUrl(e);
    keys.push_back({url.empty(), name_key(e.caption),
                    column == FavoritesColumn::kUrl ? AsciiLower(url) : std::string()});
  }
  std::vector<size_t> order(list.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    const Keys& ka = keys[a];
    const Keys& kb = keys[b];
    if (ka.no_url != kb.no_url) return ka.no_url;
    int c = 0;
    if (column == FavoritesColumn::kUrl) c = ka.url.compare(kb.url);
    if (c == 0) c = ka.name.compare(kb.name);
    return descending ? c > 0 : c < 0;
  });
  ListEntries sorted;
  sorted.reserve(list.size());
  for (size_t i : order) sorted.push_back(std::move(list[i]));
  list = std::move(sorted);
}

}  // namespace orv
