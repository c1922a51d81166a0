#include "pagetools/quick_search.h"

#include <gtest/gtest.h>

#include "pagetools/social_links.h"

namespace orv {
namespace {

TEST(QuickSearchPlacement, RightColumnOfTheScreen) {
  struct Case {
    ScreenSize screen;
    int left, top, width, height;
  } cases[] = {
      {{1280, 1024}, 422, 10, 828, 964},
      {{1920, 1080}, 1062, 10, 828, 1020},
      // Too narrow for the gap: it stays on the screen.
      {{840, 600}, 0, 10, 828, 540},
      {{640, 480}, 0, 10, 640, 420},
      // Too low for the gap: a usable height all the same.
      {{1280, 200}, 422, 10, 828, 240},
  };
  for (const auto& c : cases) {
    const WindowPlacement p = QuickSearchPlacement(c.screen);
    EXPECT_EQ(p.left, c.left) << c.screen.width << "x" << c.screen.height;
    EXPECT_EQ(p.top, c.top) << c.screen.width << "x" << c.screen.height;
    EXPECT_EQ(p.width, c.width) << c.screen.width << "x" << c.screen.height;
    EXPECT_EQ(p.height, c.height) << c.screen.width << "x" << c.screen.height;
  }
}

TEST(QuickSearchCaption, TextAndAddressAsGiven) {
  EXPECT_EQ(QuickSearchCaption("two words", "http://x.test/?q=two%20words"),
            "Quick Web Search [ two words ] - http://x.test/?q=two%20words");
  EXPECT_EQ(QuickSearchCaption("", ""), "Quick Web Search [  ] - ");
}

TEST(SocialLinks, TargetsAndHints) {
  struct Case {
    int button;
    const char* hint;
    const char* address;
  } cases[] = {
      {1, "Twitter", "http://twitter.com/"},
      {2, "facebook", "http://www.facebook.com/"},
      {3, "myspace", "http://www.myspace.com/"},
      {4, "GMail", "orvindel.user@gmail.com?subject=LOL"},
      {5, "YouTube", "http://www.youtube.com/"},
      {0, "", ""},
      {6, "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SocialLinkHint(c.button), c.hint) << c.button;
    EXPECT_EQ(SocialLinkAddress(c.button), c.address) << c.button;
  }
}

}  // namespace
}  // namespace orv
