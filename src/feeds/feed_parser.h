// Reading a news feed: RSS 2.0, RSS 1.0 and Atom, fed piece by piece as it
// arrives, into the items the reader and the ticker show.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

// One item (an Atom entry) as the reader shows it. Fields a feed leaves out
// are empty.
struct FeedItem {
  std::string title;
  std::string link;
  std::string description;
  std::string pub_date;
  std::string category;
  bool operator==(const FeedItem&) const = default;
};

// A feed that cannot be read; what() is the text the user is shown.
struct FeedError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// No feed comes near this; a larger one is refused before it is read.
inline constexpr size_t kMaxFeedBytes = 32u * 1024 * 1024;

inline constexpr char kNotSingleTextNode[] = "Element does not contain a single text node";

// Parses a feed as its bytes arrive. The parser trusts nothing: it never
// goes to the network, loads no DTD and no external entity, and keeps the
// XML library's limits on entity expansion and nesting.
//
// Which items a feed has: when the document element's first child element
// holds an "item", that item and every element after it (RSS 2.0); else the
// document element's own "item" children (RSS 1.0) or "entry" children
// (Atom), from the first one on. Comments and other nodes that are not
// elements are passed over. A field's text is its element's only child,
// text or CDATA; an element with nothing in it is empty, and an element
// holding anything else is an error (kNotSingleTextNode). Atom's link is
// the href of its "link" (the alternate one when there are several), its
// description the summary or else the content (XHTML content is taken as
// its markup), its date "updated" or else "published", its category the
// term of its "category".
class FeedParser {
 public:
  FeedParser();
  ~FeedParser();
  FeedParser(const FeedParser&) = delete;
  FeedParser& operator=(const FeedParser&) = delete;

  // Takes the next piece. Throws FeedError once the feed exceeds
  // kMaxFeedBytes or is found not to be well-formed.
  void Feed(std::string_view chunk);
  // Ends the document and answers its items in document order. Throws
  // FeedError for a document that is not well-formed or a field that is
  // not a single text. `pace`, when given, is called after every few
  // hundred items, so a caller can let its window breathe during a long
  // feed.
  std::vector<FeedItem> Finish(const std::function<void()>& pace = {});

  size_t BytesSeen() const { return bytes_; }

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  size_t bytes_ = 0;
};

// The whole feed at once.
std::vector<FeedItem> ParseFeed(std::string_view bytes);

}  // namespace orv
