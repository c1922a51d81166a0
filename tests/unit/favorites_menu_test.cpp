// Captions, placement and shortcut files of the Favorites folder menu.
#include "favorites/favorites_menu.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(FavoritesMenuTest, LongNamesAreCutByCharactersNotBytes) {
  const std::string fifty(50, 'n');
  struct Case {
    std::string name;
    int max_width;
    std::string caption;
  };
  const Case cases[] = {
      {fifty, 50, fifty},
      {fifty + "x", 50, fifty + "..."},
      {"", 50, ""},
      {"äöü", 2, "äö..."},
      {"日本語", 3, "日本語"},
      {"abc", 0, "..."},
  };
  for (const Case& c : cases) EXPECT_EQ(MenuCaption(c.name, c.max_width), c.caption) << c.name;
}

TEST(FavoritesMenuTest, MenuposIsClampedToTheMenuBar) {
  struct Case {
    int menupos, top_items, position;
  };
  const Case cases[] = {{0, 0, 0}, {-3, 2, 0}, {1, 2, 0}, {3, 2, 2}, {9, 2, 2}, {2, 0, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(TopItemPosition(c.menupos, c.top_items), c.position) << c.menupos << " " << c.top_items;
  }
}

TEST(FavoritesMenuTest, InternetShortcutsReadAndWrite) {
  EXPECT_EQ(InternetShortcutUrl("[{000214A0-0000-0000-C000-000000000046}]\r\nProp3=19,2\r\n"
                                "[InternetShortcut]\r\nurl= http://a.test/x?y=1 \r\nIconIndex=0\r\n"),
            "http://a.test/x?y=1");
  EXPECT_EQ(InternetShortcutUrl("garbage\0\xff"), "");
  EXPECT_EQ(InternetShortcutUrl(InternetShortcutText("http://b.test/")), "http://b.test/");
  EXPECT_EQ(InternetShortcutText("http://x/\r\nIconFile=/etc/passwd"), "");
}

TEST(FavoritesMenuTest, ShortcutFileNamesAreSafe) {
  EXPECT_EQ(InternetShortcutFileName("News / Today"), "News _ Today.url");
  EXPECT_EQ(InternetShortcutFileName(".hidden"), "_hidden.url");
  EXPECT_EQ(InternetShortcutFileName("  "), "Untitled.url");
  EXPECT_EQ(InternetShortcutFileName("a\nb"), "a_b.url");
  EXPECT_LE(InternetShortcutFileName(std::string(300, 'z')).size(), 204u);
  EXPECT_EQ(MenuEntryName("Debian.URL"), "Debian");
  EXPECT_EQ(MenuEntryName("Site.desktop"), "Site");
  EXPECT_EQ(MenuEntryName(".url"), ".url");
  EXPECT_EQ(MenuEntryName("notes.txt"), "notes.txt");
}

}  // namespace
}  // namespace orv
