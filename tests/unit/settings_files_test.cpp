// The smaller settings files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "prefs/user_agents.h"
#include "common/color_dialog_state.h"
#include "shell/window_geometry.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

TEST(WindowGeometry, StatusAndRestoredRectangleRoundTrip) {
  struct Case {
    WindowGeometry stored;
  } cases[] = {{{800, 600, 10, 20, kStatusNormal}},
               {{900, 700, 5, 6, kStatusMinimized}},
               {{1000, 650, 30, 40, kStatusMaximized}}};
  for (const auto& c : cases) {
    const IniFile f = WriteWindowGeometry(c.stored);
    const WindowGeometry back = ReadWindowGeometry(IniFile::Parse(f.Serialize()), {});
    EXPECT_EQ(back.width, c.stored.width);
    EXPECT_EQ(back.height, c.stored.height);
    EXPECT_EQ(back.left, c.stored.left);
    EXPECT_EQ(back.top, c.stored.top);
    EXPECT_EQ(back.status, c.stored.status);
  }
  const std::string text = WriteWindowGeometry({800, 600, 10, 20, 1}).Serialize();
  EXPECT_NE(text.find("[Velikost]"), std::string::npos);
  EXPECT_NE(text.find("Status=1"), std::string::npos);
}

TEST(WindowGeometry, MissingAndDamagedValuesKeepTheCurrentOnes) {
  const WindowGeometry current{1024, 700, 3, 4, kStatusNormal};
  const WindowGeometry g = ReadWindowGeometry(
      IniFile::Parse("[Velikost]\nSirina=abc\nVisina=-5\nStatus=9\nGor=77\n"), current);
  EXPECT_EQ(g.width, 1024);
  EXPECT_EQ(g.height, 200) << "a size that would hide the window is raised";
  EXPECT_EQ(g.left, 3);
  EXPECT_EQ(g.top, 77);
  EXPECT_EQ(g.status, kStatusNormal);
}

TEST(ColorDialogState, RoundTripAndDamage) {
  ColorDialogState s;
  s.color = 0x00FF8040;
  s.full_open = false;
  s.custom_colors[3] = 0x123456;
  EXPECT_EQ(ParseColorDialogState(SerializeColorDialogState(s), {}), s);
  const ColorDialogState base;
  EXPECT_EQ(ParseColorDialogState("\x01\x02garbage", base), base);
  const ColorDialogState partly =
      ParseColorDialogState("[ColorDialog]\nColor=99999999\nColorB=255\n", base);
  EXPECT_EQ(partly.color, base.color);
  EXPECT_EQ(partly.custom_colors[1], 255u);
}

TEST(UserAgents, FileFormat) {
  const auto initial = InitialUserAgents();
  ASSERT_EQ(initial.size(), 6u);
  EXPECT_EQ(initial.front(), "Mozilla/5.0 (compatible; MSIE 10.0; Windows NT 6.1; Trident/6.0)");
  EXPECT_EQ(initial[4], "My Browser");
  EXPECT_EQ(initial.back(), "X was here");
  const std::string file = SerializeUserAgentFile({"b", "A"});
  EXPECT_EQ(file, "b\r\nA\r\n");

  struct Case {
    const char* bytes;
    std::vector<std::string> agents;
  } cases[] = {
      {"b\r\na\r\n", {"a", "b"}},
      {"b\na\rc", {"a", "b", "c"}},
      {"x\r\n\r\ny\r\n", {"", "x", "y"}},
      {"", {}},
      {"Zed\r\nalpha\r\n", {"alpha", "Zed"}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseUserAgentFile(c.bytes), c.agents) << c.bytes;
}

}  // namespace
}  // namespace orv
