// Rules of the window chrome that need no display.
#include <gtest/gtest.h>

#include "shell/site_icons.h"
#include "shell/transparency.h"

namespace orv {
namespace {

TEST(SiteIcons, OnlyPlainHttpPagesAskTheirHostsRoot) {
  struct Case {
    const char* page;
    const char* icon;
  } cases[] = {
      {"http://host.test/a/b.html", "http://host.test/favicon.ico"},
      {"HTTP://Host.test:8080/x?y=/z", "http://Host.test:8080/favicon.ico"},
      {"http://host.test", "http://host.test/favicon.ico"},
      {"http://host.test?q=1", "http://host.test/favicon.ico"},
      {"https://secure.test/", ""},
      {"https://secure.test/?u=http://other.test/", ""},
      {"file:///home/user/page.html", ""},
      {"about:blank", ""},
      {"http:///nohost", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(SiteIconAddress(c.page), c.icon) << c.page;
}

TEST(Transparency, TheTrackBarRunsAgainstTheValue) {
  EXPECT_EQ(TrackBarPositionForValue(155), 100);
  EXPECT_EQ(TrackBarPositionForValue(255), 0);
  EXPECT_EQ(TrackBarPositionForValue(0), 250) << "as far as the bar reaches";
  EXPECT_EQ(ValueForTrackBarPosition(200), 55);
  EXPECT_EQ(ValueForTrackBarPosition(TrackBarPositionForValue(100)), 100);
}

}  // namespace
}  // namespace orv
