#include "common/navigate_address.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(NavigateAddress, ForgivingNormalisation) {
  const PathExists exists = [](const std::string& p) { return p == "page.html"; };
  struct Case {
    const char* typed;
    const char* loaded;
  } cases[] = {
      {"", ""},
      {"   ", ""},
      {"  example.com  ", "http://example.com"},
      {"http://example.com/a b", "http://example.com/a%20b"},
      {"https://example.com/?q=a%20b&x=<y>", "https://example.com/?q=a%20b&x=%3Cy%3E"},
      {"localhost:8080/x", "http://localhost:8080/x"},
      {"127.0.0.1:8000/", "http://127.0.0.1:8000/"},
      {"about:blank", "about:blank"},
      {"mailto:a@b.test", "mailto:a@b.test"},
      {"/tmp/page.html", "file:///tmp/page.html"},
      {"/no/such/file", "file:///no/such/file"},
      {"page.htm", "http://page.htm"},
      {"file:///etc/hosts", "file:///etc/hosts"},
      {"caf\xC3\xA9.test/\xE2\x82\xAC", "http://caf%C3%A9.test/%E2%82%AC"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NormalizeNavigateAddress(c.typed, exists), c.loaded) << c.typed;
  }
  const std::string local = NormalizeNavigateAddress("page.html", exists);
  EXPECT_EQ(local.rfind("file:///", 0), 0u) << local;
  EXPECT_EQ(local.substr(local.size() - 10), "/page.html");
}

TEST(NavigateAddress, LocalFileAddresses) {
  const PathExists exists = [](const std::string& p) { return p == "/home/u/page.html"; };
  EXPECT_TRUE(IsLocalFileAddress("file:///etc/hosts", exists));
  EXPECT_TRUE(IsLocalFileAddress(" FILE:///x", exists));
  EXPECT_TRUE(IsLocalFileAddress("/home/u/page.html", exists));
  EXPECT_FALSE(IsLocalFileAddress("/home/u/missing.html", exists));
  EXPECT_FALSE(IsLocalFileAddress("page.html", exists));
  EXPECT_FALSE(IsLocalFileAddress("http://x/", exists));
}

}  // namespace
}  // namespace orv
