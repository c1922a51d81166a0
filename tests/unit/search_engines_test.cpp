#include "pagetools/search_engines.h"

#include <gtest/gtest.h>

#include "shell/page_captions.h"

namespace orv {
namespace {

TEST(SearchEngines, AddressesForEveryEngine) {
  struct Case {
    int engine;
    const char* text;
    const char* address;
  } cases[] = {
      {1, "two words", "http://www.google.com/search?ie=ISO-8859-1&hl=us&q=two words"},
      {2, "x", "http://www.bing.com/search?ie=ISO-8859-1&hl=us&q=x"},
      {3, " padded ", "http://search.yahoo.com/bin/search?p= padded "},
      {4, "Ljubljana", "http://en.wikipedia.org/wiki/Ljubljana"},
      {1, "C++ & 100% #1", "http://www.google.com/search?ie=ISO-8859-1&hl=us&q=C%2B%2B %26 100%25 %231"},
      {0, "anything", ""},
      {5, "anything", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BuildSearchAddress(c.engine, c.text), c.address) << c.engine << " " << c.text;
  }
  EXPECT_EQ(EngineName(3), "Yahoo");
  EXPECT_EQ(BuildTranslateAddress(""), "http://translate.google.com/translate?u=");
}

TEST(PageCaptions, TitlesAreCutAtForty) {
  EXPECT_EQ(TabCaptionForTitle(std::string(39, 'a')), std::string(39, 'a'));
  EXPECT_EQ(TabCaptionForTitle(std::string(40, 'a')), std::string(40, 'a') + "...");
  // Characters, not bytes: 39 two-byte letters stay whole.
  std::string wide;
  for (int i = 0; i < 39; ++i) wide += "\xC5\xBE";
  EXPECT_EQ(TabCaptionForTitle(wide), wide);
  EXPECT_EQ(MainCaptionForStatus(""), "Orvindel");
  EXPECT_EQ(MainCaptionForStatus("http://x/"), "Orvindel - [ http://x/ ]");
}

}  // namespace
}  // namespace orv
