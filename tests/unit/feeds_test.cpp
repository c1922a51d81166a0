// Feeds as the reader and the ticker read them: the parser, the digest, the
// ticker line and the feed list's own rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "feeds/feed_digest.h"
#include "feeds/feed_list.h"
#include "feeds/feed_parser.h"

namespace orv {
namespace {

constexpr char kTwoItems[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<rss version="2.0">
  <channel>
    <title>World</title>
    <item>
      <title>First</title>
      <link>http://example.test/1</link>
      <description>One &amp; only</description>
      <pubDate>Mon</pubDate>
      <category>Politics</category>
    </item>
    <item>
      <title>Second</title>
      <link>http://example.test/2</link>
      <description>
        <![CDATA[<b>bold</b> & <i>raw</i>]]>
      </description>
    </item>
  </channel>
</rss>)";

std::string Digest(const std::vector<FeedItem>& items, const std::string& name) {
  DigestLines lines;
  AddDigestHeader(lines);
  for (const FeedItem& item : items) AddDigestItem(lines, item, name);
  AddDigestFooter(lines);
  return JoinDigestLines(lines);
}

TEST(FeedDigest, TwoItemFeedGivesTheTwentySixLinesByteForByte) {
  const std::string expected =
      "<HTML>\r\n<HEAD>\r\n</HEAD>\r\n<BODY>\r\n"
      "<hr size=\"1\" noshade>\r\n"
      "<p><font size=\"4\">\r\n"
      "<p><a href=\"http://example.test/1\">First</a></p>\r\n"
      "</font></p>\r\n"
      "<p><font size=\"2\">\r\n"
      "<font size=\"3\" color=\"#FF0000\">Mon </font> <font size=\"3\" color=\"#0080FF\"> "
      "Politics </font>\r\n"
      "<font color=\"#008040\" size=\"4\"><strong>World</strong></font></font>\r\n"
      "<p><font size=\"3\">\r\n"
      "One & only\r\n"
      "</font></p>\r\n"
      "<hr size=\"1\" noshade>\r\n"
      "<p><font size=\"4\">\r\n"
      "<p><a href=\"http://example.test/2\">Second</a></p>\r\n"
      "</font></p>\r\n"
      "<p><font size=\"2\">\r\n"
      // No date and no category: the fixed pieces with two blanks between.
      "<font size=\"3\" color=\"#FF0000\"> </font> <font size=\"3\" color=\"#0080FF\">  "
      "</font>\r\n"
      "<font color=\"#008040\" size=\"4\"><strong>World</strong></font></font>\r\n"
      "<p><font size=\"3\">\r\n"
      // CDATA goes in unescaped, so its markup renders.
      "<b>bold</b> & <i>raw</i>\r\n"
      "</font></p>\r\n"
      "</BODY>\r\n</HTML>\r\n";
  const std::string digest = Digest(ParseFeed(kTwoItems), "World");
  EXPECT_EQ(digest, expected);
  size_t lines = 0;
  for (size_t at = digest.find("\r\n"); at != std::string::npos; at = digest.find("\r\n", at + 2)) {
    ++lines;
  }
  EXPECT_EQ(lines, 26u);
}

TEST(FeedDigest, TextKeepsItsOwnScriptAndNonLatinCharacters) {
  const auto items = ParseFeed(
      "<rss><channel><item><title>Новости 新闻</title></item></channel></rss>");
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].title, "Новости 新闻");
  EXPECT_NE(Digest(items, "Лента").find(">Новости 新闻</a>"), std::string::npos);
}

TEST(TickerText, WorldMonTueExample) {
  const auto items = ParseFeed(
      "<rss><channel><item><pubDate>Mon</pubDate><title>A</title></item>"
      "<item><title>B</title><pubDate>Tue</pubDate></item>"
      "<item><title>C</title></item></channel></rss>");
  EXPECT_EQ(TickerText("World", items),
            "   World ::: Mon:  A :::    Tue:  B :::    :  C :::    ");
  EXPECT_EQ(TickerText("Empty", {}), "   Empty ::: ");
}

TEST(FeedParser, ItemsOfEachShape) {
  struct Case {
    const char* what;
    const char* xml;
    std::vector<FeedItem> items;
  };
  const Case cases[] = {
      {"RSS 1.0: items beside the channel, Dublin Core date and subject",
       R"(<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#"
            xmlns="http://purl.org/rss/1.0/" xmlns:dc="http://purl.org/dc/elements/1.1/">
          <channel rdf:about="x"><title>Chan</title><items/></channel>
          <item rdf:about="1"><title>One</title><link>http://a/1</link>
            <description>d1</description><dc:date>2024-01-01</dc:date><dc:subject>S</dc:subject></item>
          <!-- between items -->
          <item rdf:about="2"><title>Two</title><link>http://a/2</link></item>
        </rdf:RDF>)",
       {{"One", "http://a/1", "d1", "2024-01-01", "S"}, {"Two", "http://a/2", "", "", ""}}},
      {"Atom: alternate link, summary or content, updated or published, category term",
       R"(<feed xmlns="http://www.w3.org/2005/Atom"><title>F</title>
          <entry><title>E1</title><link rel="self" href="http://s"/>
            <link rel="alternate" href="http://e/1"/><summary>S1</summary>
            <updated>U1</updated><published>P1</published><category term="T1"/></entry>
          <entry><title type="html">E2</title><link href="http://e/2"/>
            <content type="xhtml"><div xmlns="http://www.w3.org/1999/xhtml"><p>Hi <b>there</b></p></div></content>
            <published>P2</published></entry>
        </feed>)",
       {{"E1", "http://e/1", "S1", "U1", "T1"}, {"E2", "http://e/2", "<p>Hi <b>there</b></p>", "P2", ""}}},
      {"RSS 2.0: comments among the items are passed over, prefixed fields are not ours",
       R"(<rss xmlns:media="m"><channel><title>C</title><item><title>A</title>
            <media:title>not this</media:title></item><!-- c --><?pi x?><item><title>B</title></item>
          </channel></rss>)",
       {{"A", "", "", "", ""}, {"B", "", "", "", ""}}},
      {"a channel without items", "<rss><channel><title>C</title></channel></rss>", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseFeed(c.xml), c.items) << c.what;
  }
}

TEST(FeedParser, RefusesWhatItCannotRead) {
  struct Case {
    const char* what;
    std::string xml;
    std::string message;  // a part of the message shown
  };
  const Case cases[] = {
      {"a field with an element in it",
       "<rss><channel><item><title>a<b>b</b></title></item></channel></rss>", kNotSingleTextNode},
      {"a field with text and CDATA side by side",
       "<rss><channel><item><description>a<![CDATA[b]]></description></item></channel></rss>",
       kNotSingleTextNode},
      {"not well-formed", "<rss><channel><item></channel></rss>", "line"},
      {"empty", "", ""},
  };
  for (const Case& c : cases) {
    try {
      ParseFeed(c.xml);
      ADD_FAILURE() << c.what << ": no error";
    } catch (const FeedError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.what << ": "
                                                                           << e.what();
    }
  }
}

TEST(FeedParser, EntitiesAreNeverExpandedFromOutside) {
  // An external entity is not loaded (the file exists on every system),
  // and a field that refers to one is not a single text.
  const std::string xxe =
      "<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY x SYSTEM \"file:///etc/hostname\">]>"
      "<rss><channel><item><title>&x;</title></item></channel></rss>";
  try {
    const auto items = ParseFeed(xxe);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].title, "");
  } catch (const FeedError& e) {
    SUCCEED() << e.what();
  }
  // Nested entities that would grow to gigabytes are stopped by the limits.
  std::string laughs = "<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY a \"aaaaaaaaaa\">";
  for (char c = 'b'; c <= 'k'; ++c) {
    laughs += std::string("<!ENTITY ") + c + " \"";
    for (int i = 0; i < 10; ++i) laughs += std::string("&") + static_cast<char>(c - 1) + ";";
    laughs += "\">";
  }
  laughs += "]><rss><channel><item><title>&k;</title></item></channel></rss>";
  try {
    ParseFeed(laughs);
  } catch (const FeedError&) {
  }
}

TEST(FeedParser, ReadsPieceByPieceAndRefusesMoreThan32MiB) {
  const std::string xml = kTwoItems;
  FeedParser parser;
  for (size_t at = 0; at < xml.size(); at += 7) parser.Feed(std::string_view(xml).substr(at, 7));
  EXPECT_EQ(parser.Finish(), ParseFeed(xml));

  FeedParser big;
  big.Feed("<rss><channel><item><description>");
  const std::string block(1024 * 1024, 'x');
  EXPECT_THROW(
      {
        for (int i = 0; i < 33; ++i) big.Feed(block);
      },
      FeedError);
}

TEST(FeedParser, UndecodableTextIsRefusedWhereverThePiecesEnd) {
  // Read as UCS-4: "<", a name character, "<", then code points beyond
  // Unicode. Split after nine bytes, the parser once stopped at the bad
  // characters without an error and left a document with no element.
  const std::string xml("\0\0\0<\0\x0dY\x08\0\0\0<\0\x0dY\x8f\x8f\x8f\x73\x0d\x8f\x8f\x8f\x73\x0dg",
                        26);
  for (size_t piece : {size_t{1}, size_t{4}, size_t{9}, xml.size()}) {
    FeedParser parser;
    EXPECT_THROW(
        {
          for (size_t at = 0; at < xml.size(); at += piece) {
            parser.Feed(std::string_view(xml).substr(at, piece));
          }
          parser.Finish();
        },
        FeedError)
        << "pieces of " << piece;
  }
}

TEST(FeedList, MoveAsTheButtonsDo) {
  struct Case {
    const char* what;
    int from;
    int to;
    std::string order;
    int selected;
  };
  const Case cases[] = {
      {"up on the first goes to the end", 0, -1, "BCDA", 3},
      {"up on the second", 1, 0, "BACD", 0},
      {"down on the first", 0, 2, "BACD", 1},
      {"down on the third", 2, 4, "ABDC", 3},
      {"down on the last stays last", 3, 5, "ABCD", 3},
      {"nothing selected", -1, -2, "ABCD", -1},
  };
  for (const Case& c : cases) {
    ListEntries list;
    for (const char* name : {"A", "B", "C", "D"}) list.push_back({name, 0, {std::string("u") + name}});
    const int moved = MoveListEntry(list, c.from, c.to);
    std::string order;
    for (const ListEntry& e : list) {
      order += e.caption;
      EXPECT_EQ(e.sub_items, std::vector<std::string>{"u" + e.caption}) << c.what;
    }
    EXPECT_EQ(order, c.order) << c.what;
    EXPECT_EQ(moved, c.selected) << c.what;
  }
}

TEST(FeedList, NamesMatchIgnoringTheCaseOfLatinLettersOnly) {
  const ListEntries feeds = {{"Sport", 0, {"s"}}, {"News", 0, {"n1"}}, {"news", 0, {"n2"}},
                             {"Über", 0, {"u"}}};
  EXPECT_EQ(FindFeedByName(feeds, "news"), 1);
  EXPECT_EQ(FindFeedByName(feeds, "NEWS"), 1);
  EXPECT_EQ(FindFeedByName(feeds, "Über"), 3);
  EXPECT_EQ(FindFeedByName(feeds, "über"), -1);
  EXPECT_EQ(FindFeedByName(feeds, "new"), -1);
  EXPECT_EQ(FeedUrl({"no url", 0, {}}), "");
}

}  // namespace
}  // namespace orv
