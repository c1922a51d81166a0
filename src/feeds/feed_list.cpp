#include "feeds/feed_list.h"

#include <cstdint>

#include "common/text.h"

namespace orv {

std::string FeedUrl(const ListEntry& feed) {
  return feed.sub_items.empty() ? std::string() : feed.sub_items[0];
}

int FindFeedByName(const ListEntries& feeds, const std::string& name) {
  const std::string wanted = AsciiUpper(name);
  for (size_t i = 0; i < feeds.size(); ++i) {
    if (AsciiUpper(feeds[i].caption) == wanted) return static_cast<int>(i);
  }
  return -1;
}

int MoveListEntry(ListEntries& list, int from, int to) {
  if (from < 0 || from >= static_cast<int>(list.size())) return -1;
  size_t slot = static_cast<uint16_t>(to);
  if (slot > list.size()) slot = list.size();
  ListEntry moved = list[static_cast<size_t>(from)];
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(slot), std::move(moved));
  const size_t old = slot <= static_cast<size_t>(from) ? static_cast<size_t>(from) + 1
                                                        : static_cast<size_t>(from);
  list.erase(list.begin() + static_cast<std::ptrdiff_t>(old));
  return static_cast<int>(slot <= static_cast<size_t>(from) ? slot : slot - 1);
}

}  // namespace orv
