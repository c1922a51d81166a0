// libFuzzer target: the feed parser on arbitrary bytes, fed in pieces whose
// sizes come from the input, then the digest and the ticker line of what it
// read. Build and run with scripts/fuzz.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "feeds/feed_digest.h"
#include "feeds/feed_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte chooses the piece size, so the same document is also
  // read split at every kind of place.
  const size_t piece = 1 + data[0] % 64;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  std::vector<orv::FeedItem> items;
  try {
    orv::FeedParser parser;
    for (size_t at = 0; at < bytes.size(); at += piece) parser.Feed(bytes.substr(at, piece));
    items = parser.Finish();
  } catch (const orv::FeedError&) {
    return 0;
  }
  // Read whole, the same bytes give the same items.
  try {
    if (orv::ParseFeed(bytes) != items) std::abort();
  } catch (const orv::FeedError&) {
    std::abort();
  }
  orv::DigestLines lines;
  orv::AddDigestHeader(lines);
  for (const orv::FeedItem& item : items) orv::AddDigestItem(lines, item, "Feed");
  orv::AddDigestFooter(lines);
  if (lines.size() != 6 + 10 * items.size()) std::abort();
  const std::string digest = orv::JoinDigestLines(lines);
  const std::string ticker = orv::TickerText("Feed", items);
  if (ticker.compare(0, 12, "   Feed ::: ") != 0) std::abort();
  (void)digest;
  return 0;
}
