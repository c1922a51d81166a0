// The list file byte for byte, its reader on damaged files, and the sort of
// the favorites window.
#include "favorites/list_file.h"

#include <gtest/gtest.h>

#include "common/text.h"
#include "favorites/favorites_sort.h"

namespace orv {
namespace {

using namespace std::string_literals;

ListEntry Fav(std::string name, std::string url) { return {std::move(name), 0, {std::move(url)}}; }

std::string Hex(const std::string& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    if (!out.empty()) out += ' ';
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

TEST(ListFileTest, WritesTheFormatByteForByte) {
  struct Case {
    const char* what;
    ListEntries list;
    std::string hex;
  };
  const Case cases[] = {
      {"empty list", {}, "4C 56 46 00 00"},
      {"one entry", {Fav("A", "u")}, "4C 56 46 01 00 01 00 00 00 00 00 01 00 41 01 00 75"},
      {"no sub-items, negative image", {{"B", -2, {}}}, "4C 56 46 01 00 00 00 FE FF FF FF 01 00 42"},
      {"two sub-items, empty caption",
       {{"", 258, {"x", ""}}},
       "4C 56 46 01 00 02 00 02 01 00 00 00 00 01 00 78 00 00"},
  };
  for (const Case& c : cases) {
    const std::string bytes = SerializeListFile(c.list);
    EXPECT_EQ(Hex(bytes), c.hex) << c.what;
    const ListFileRead back = ParseListFile(bytes);
    EXPECT_EQ(back.status, ListFileStatus::kLoaded) << c.what;
    EXPECT_EQ(back.entries, c.list) << c.what;
  }
}

TEST(ListFileTest, RoundTripKeepsOrderImagesAndNonAsciiText) {
  const ListEntries list = {Fav("Zürich — Stadt", "http://zh.example/ä"), {"B", 7, {"b", "2nd", "3rd"}},
                            Fav("日本語", ""), Fav("A", "http://a/")};
  const ListFileRead back = ParseListFile(SerializeListFile(list));
  EXPECT_EQ(back.status, ListFileStatus::kLoaded);
  EXPECT_EQ(back.entries, list);
  // Lengths are byte counts of the UTF-8 text.
  EXPECT_EQ(SerializeListFile({Fav("ü", "")}).substr(11, 2), "\x02\x00"s);
}

TEST(ListFileTest, WrongSignatureIsNotAListFile) {
  for (const std::string& bytes : {"lvf\x00\x00"s, "LV"s, ""s, "LVX\x01\x00"s}) {
    const ListFileRead r = ParseListFile(bytes);
    EXPECT_EQ(r.status, ListFileStatus::kNotListFile) << Hex(bytes);
    EXPECT_TRUE(r.entries.empty());
  }
  EXPECT_EQ(ListFileMessage(ListFileStatus::kNotListFile, "2favlist.ovf"),
            "\"2favlist.ovf\" is not a ListView file!");
  EXPECT_EQ(ListFileMessage(ListFileStatus::kMissing, "2rss.ovf"), "File \"2rss.ovf\" does not exist!");
  EXPECT_EQ(ListFileMessage(ListFileStatus::kLoaded, "x"), "");
}

TEST(ListFileTest, NulCutsTheTextButTheNextRecordStillReads) {
  // Caption "A\0B" (length 3) and URL "u\0\0v" (length 4), then a second entry.
  const std::string bytes = "LVF\x02\x00"
                            "\x01\x00\x00\x00\x00\x00\x03\x00" "A\0B" "\x04\x00" "u\0\0v"
                            "\x01\x00\x05\x00\x00\x00\x01\x00" "C" "\x01\x00" "w"s;
  const ListFileRead r = ParseListFile(bytes);
  ASSERT_EQ(r.status, ListFileStatus::kLoaded);
  const ListEntries expected = {Fav("A", "u"), {"C", 5, {"w"}}};
  EXPECT_EQ(r.entries, expected);
}

TEST(ListFileTest, TextThatIsNotUtf8IsReadAsWindows1252) {
  const std::string bytes = "LVF\x01\x00\x01\x00\x00\x00\x00\x00\x04\x00" "Caf\xE9" "\x01\x00" "u"s;
  const ListFileRead r = ParseListFile(bytes);
  ASSERT_EQ(r.entries.size(), 1u);
  EXPECT_EQ(r.entries[0].caption, "Café");
  // A longest text that grows in decoding is cut at a character, so the list
  // that was read can still be written.
  const std::string wide = "LVF\x01\x00\x00\x00\x00\x00\x00\x00\xFF\xFF"s + std::string(65535, '\xE9');
  const ListFileRead w = ParseListFile(wide);
  ASSERT_EQ(w.entries.size(), 1u);
  EXPECT_EQ(w.entries[0].caption.size(), 65534u);
  EXPECT_EQ(ParseListFile(SerializeListFile(w.entries)).entries, w.entries);
}

TEST(ListFileTest, EveryTruncationKeepsTheCompleteEntriesAndReports) {
  const ListEntries list = {Fav("First", "http://1/"), {"Second", 3, {}}, Fav("Third", "http://3/")};
  const std::string bytes = SerializeListFile(list);
  // Where each record ends: 5 + (8 + 5 + 2 + 9), + (8 + 6), + (8 + 5 + 2 + 9).
  const size_t ends[] = {29, 43, 67};
  ASSERT_EQ(bytes.size(), ends[2]);
  for (size_t cut = 3; cut < bytes.size(); ++cut) {
    const ListFileRead r = ParseListFile(std::string_view(bytes).substr(0, cut));
    size_t complete = 0;
    while (complete < 3 && ends[complete] <= cut) ++complete;
    EXPECT_EQ(r.status, ListFileStatus::kTruncated) << "cut at " << cut;
    ASSERT_EQ(r.entries.size(), complete) << "cut at " << cut;
    EXPECT_TRUE(std::equal(r.entries.begin(), r.entries.end(), list.begin())) << "cut at " << cut;
  }
  EXPECT_EQ(ListFileMessage(ListFileStatus::kTruncated, "2favlist.ovf"),
            "\"2favlist.ovf\" is not a ListView file!");
}

TEST(ListFileTest, HostileCountsAllocateNothingTheFileCannotHold) {
  // 65535 entries announced, each with 65535 sub-items, in a few bytes.
  const ListFileRead r = ParseListFile("LVF\xFF\xFF\xFF\xFF\x00\x00\x00\x00\x00\x00"s);
  EXPECT_EQ(r.status, ListFileStatus::kTruncated);
  EXPECT_TRUE(r.entries.empty());
  EXPECT_LE(r.entries.capacity(), 1u);
}

TEST(ListFileTest, ListsBeyondTheFormatAreRefusedNotCut) {
  const std::string long_text(kMaxListTextBytes + 1, 'x');
  const ListEntries too_long_name = {Fav(long_text, "u")};
  const ListEntries too_long_url = {Fav("a", long_text)};
  const ListEntries too_many(kMaxListEntries + 1, Fav("a", "u"));
  const ListEntries too_many_columns = {{"a", 0, std::vector<std::string>(kMaxListSubItems + 1)}};
  for (const ListEntries* list : {&too_long_name, &too_long_url, &too_many, &too_many_columns}) {
    EXPECT_THROW(SerializeListFile(*list), ListFileLimitError);
  }
  // The limits themselves still fit.
  const ListEntries at_limit = {Fav(std::string(kMaxListTextBytes, 'n'), "u")};
  EXPECT_EQ(ParseListFile(SerializeListFile(at_limit)).entries, at_limit);
  EXPECT_EQ(ParseListFile(SerializeListFile(ListEntries(kMaxListEntries))).entries.size(),
            kMaxListEntries);
}

std::vector<std::string> Names(const ListEntries& list) {
  std::vector<std::string> out;
  for (const ListEntry& e : list) out.push_back(e.caption);
  return out;
}

TEST(FavoritesSortTest, OrdersByColumnAndDirectionWithEmptyUrlsFirst) {
  const ListEntries list = {Fav("beta", "http://c.test/"), Fav("Alpha", "http://B.test/"),
                            Fav("no url 2", ""),           Fav("gamma", "http://a.test/"),
                            {"bare", 0, {}},               Fav("alpha", "http://b.test/")};
  const CollationKey key = [](std::string_view s) { return AsciiLower(s); };
  struct Case {
    FavoritesColumn column;
    bool descending;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {FavoritesColumn::kBookmarks, true, {"no url 2", "bare", "gamma", "beta", "Alpha", "alpha"}},
      {FavoritesColumn::kBookmarks, false, {"bare", "no url 2", "Alpha", "alpha", "beta", "gamma"}},
      {FavoritesColumn::kUrl, true, {"no url 2", "bare", "beta", "Alpha", "alpha", "gamma"}},
      {FavoritesColumn::kUrl, false, {"bare", "no url 2", "gamma", "Alpha", "alpha", "beta"}},
  };
  for (const Case& c : cases) {
    ListEntries sorted = list;
    SortFavorites(sorted, c.column, c.descending, key);
    EXPECT_EQ(Names(sorted), c.names) << static_cast<int>(c.column) << " " << c.descending;
  }
}

}  // namespace
}  // namespace orv
