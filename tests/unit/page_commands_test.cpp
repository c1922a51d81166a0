#include "pagetools/page_commands.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(SuggestedSaveName, IsABaseNameFromTheAddressNeverAPath) {
  struct Case {
    const char* uri;
    const char* name;
  } cases[] = {
      {"http://example.test/docs/report.html", "report.mht"},
      {"http://example.test/docs/report.html?page=2#top", "report.mht"},
      {"http://example.test/a/b/", "example.test.mht"},
      {"http://user@example.test:8080", "example.test.mht"},
      {"http://[::1]:8080/", "[::1].mht"},
      {"http://example.test/my%20notes.txt", "my notes.mht"},
      // Encoded separators and dots never leave the chosen folder.
      {"http://example.test/x/..%2F..%2F.bashrc", "bashrc.mht"},
      {"http://example.test/%2E%2E", "example.test.mht"},
      {"http://example.test/a%5Cb.html", "b.mht"},
      {"http://example.test/bad%0Aname", "badname.mht"},
      {"file:///home/user/page.htm", "page.mht"},
      {"", "page.mht"},
  };
  for (const Case& c : cases) EXPECT_EQ(SuggestedSaveName(c.uri, ".mht"), c.name) << c.uri;
}

}  // namespace
}  // namespace orv
