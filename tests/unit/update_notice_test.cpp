#include "prefs/update_notice.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(UpdateNotice, TwoGoodLinesSayWhetherAnUpdateIsThere) {
  struct Case {
    const char* file;
    const char* first;  // null: no notice
    const char* second;
  } cases[] = {
      {"12\r\n1.3.0.0\r\n", "An update to Orvindel 1.3.0.0 is now avilable.",
       "Visit the website to download the latest version of Orvindel"},
      {"11\n2.0\n", "An update to Orvindel 2.0 is now avilable.",
       "Visit the website to download the latest version of Orvindel"},
      {"10\r\n1.2.0.0", "You are currently running the latest version of Orvindel", ""},
      {"12\r\n", nullptr, nullptr},
      {"", nullptr, nullptr},
      {"twelve\r\n1.3\r\n", nullptr, nullptr},
      {"99999999999\r\n1.3\r\n", nullptr, nullptr},
  };
  for (const auto& c : cases) {
    const auto notice = ReadUpdateNotice(c.file);
    if (!c.first) {
      EXPECT_FALSE(notice.has_value()) << c.file;
      continue;
    }
    ASSERT_TRUE(notice.has_value()) << c.file;
    EXPECT_EQ(notice->first, c.first);
    EXPECT_EQ(notice->second, c.second);
  }
}

}  // namespace
}  // namespace orv
