// The feed list: named feed addresses, kept in a list file.
#pragma once

#include <string>

#include "favorites/list_file.h"

namespace orv {

inline constexpr char kFeedListFile[] = "2rss.ovf";
// An older version's feed file; deleted wherever it is found.
inline constexpr char kObsoleteFeedListFile[] = "rss.ovf";

// A feed's address: its first sub-item, empty when it has none.
std::string FeedUrl(const ListEntry& feed);

// The first feed whose name equals `name`, ignoring the case of A-Z only;
// -1 when none does.
int FindFeedByName(const ListEntries& feeds, const std::string& name);

// Moves entry `from` into the slot before index `to`, where `to` is taken
// as an unsigned 16-bit number and an index past the end means the end.
// Answers the moved entry's new index. So "up" (to = from - 1) on the first
// entry sends it to the end, and "down" (to = from + 2) on the last one
// leaves it last. An index `from` outside the list changes nothing: -1.
int MoveListEntry(ListEntries& list, int from, int to);

}  // namespace orv
