// The smaller settings files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

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
  bool complete = true;
  const WindowGeometry g = ReadWindowGeometry(
      IniFile::Parse("[Velikost]\nSirina=abc\nVisina=-5\nStatus=9\nGor=77\n"), current, &complete);
  EXPECT_FALSE(complete) << "values were replaced: the file is kept before it is rewritten";
  EXPECT_EQ(g.width, 1024);
  EXPECT_EQ(g.height, 200) << "a size that would hide the window is raised";
  EXPECT_EQ(g.left, 3);
  EXPECT_EQ(g.top, 77);
  EXPECT_EQ(g.status, kStatusNormal);
  for (const char* damaged : {"Sirina=abc", "Visina=-5", "Levo=-40000", "Gor=99999999999",
                              "Status=9"}) {
    ReadWindowGeometry(IniFile::Parse("[Velikost]\n" + std::string(damaged) + "\n"), current,
                       &complete);
    EXPECT_FALSE(complete) << damaged;
  }
  ReadWindowGeometry(IniFile::Parse("[Velikost]\nSirina=800\nLevo=-300\nStatus=2\n"), current,
                     &complete);
  EXPECT_TRUE(complete);
}

TEST(WindowGeometry, AWindowOffEveryMonitorIsCentredOnThePrimaryOne) {
  const std::vector<ScreenRect> monitors = {{0, 0, 1280, 1024}, {1280, 0, 1920, 1080}};
  struct Case {
    const char* what;
    WindowGeometry stored;
    WindowGeometry placed;
  } cases[] = {
      {"fully on the primary", {800, 600, 10, 20}, {800, 600, 10, 20}},
      {"on the second monitor", {800, 600, 1500, 100}, {800, 600, 1500, 100}},
      {"exactly 100 x 50 showing", {800, 600, -700, -550}, {800, 600, -700, -550}},
      {"99 pixels wide showing", {800, 600, -701, 0}, {800, 600, 240, 212}},
      {"49 pixels high showing", {800, 600, 0, 975}, {800, 600, 240, 212}},
      {"far off to the left and up", {800, 600, -32767, -32767}, {800, 600, 240, 212}},
      {"below every monitor", {800, 600, 100, 5000}, {800, 600, 240, 212}},
      {"off-screen and larger than the primary", {32767, 32767, 32767, 32767}, {1280, 1024, 0, 0}},
  };
  for (const auto& c : cases) {
    const WindowGeometry g = PlaceOnMonitors(c.stored, monitors);
    EXPECT_EQ(std::vector<int>({g.width, g.height, g.left, g.top}),
              std::vector<int>({c.placed.width, c.placed.height, c.placed.left, c.placed.top}))
        << c.what;
  }
  // With no monitor known there is nothing to place it on.
  const WindowGeometry far{800, 600, -32767, -32767};
  EXPECT_EQ(PlaceOnMonitors(far, {}).left, -32767);
}

TEST(IniFile, CompleteOnlyWhenEveryLineWasUnderstood) {
  struct Case {
    std::string bytes;
    bool complete;
  } cases[] = {
      {"", true},
      {"[Config]\nHomepage=x\n\n; note\n# note\nkam=1", true},
      {"\xEF\xBB\xBF[Config]\r\nkam=1\r\n", true},
      {"[Config]\nHomepage=caf\xE9\n", true},  // Windows-1252 text is still text
      {"[Config]\nkam=1\ngarbage line\n", false},
      {std::string("[Config]\nkam=1\n\0rest=2\n", 20), false},
      {"\x7F\x45\x4C\x46\x02\x01", false},
      {"[Config]\nHomepage=" + std::string(IniFile::kMaxBytes, 'x'), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IniFile::Parse(c.bytes).Complete(), c.complete) << c.bytes.substr(0, 40);
  }
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
