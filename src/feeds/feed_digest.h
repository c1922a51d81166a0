// What a feed becomes: the reader's digest page, and the ticker's line.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "feeds/feed_parser.h"

namespace orv {

// The digest is built as lines and written with CR LF after every line.
using DigestLines = std::vector<std::string>;

void AddDigestHeader(DigestLines& lines);
// The ten lines of one item's block. Title, link and description go in as
// they stand, so a description's markup renders as markup.
void AddDigestItem(DigestLines& lines, const FeedItem& item, const std::string& feed_name);
// Every item's block; `pace`, when given, runs after every few hundred.
void AddDigestItems(DigestLines& lines, const std::vector<FeedItem>& items,
                    const std::string& feed_name, const std::function<void()>& pace = {});
void AddDigestFooter(DigestLines& lines);
std::string JoinDigestLines(const DigestLines& lines);

// The ticker's line for the feed `feed_name`.
std::string TickerText(const std::string& feed_name, const std::vector<FeedItem>& items);

}  // namespace orv
