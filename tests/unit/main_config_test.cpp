#include "shell/main_config.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

constexpr ScreenSize kScreen{1280, 1024};

MainConfig Read(const std::string& text, const std::string& start_page = "") {
  return ReadMainConfig(IniFile::Parse(text), kScreen, start_page);
}

TEST(MainConfig, MissingFileTakesEveryDefault) {
  const MainConfig c = Read("", "http://start/");
  EXPECT_EQ(c.HomePage, "http://start/");
  EXPECT_EQ(c.TabPosition, 0);
  EXPECT_TRUE(c.SearchResultsInTab);
  EXPECT_TRUE(c.QuickPanelShown);
  EXPECT_TRUE(c.SocialBarShown);
  EXPECT_EQ(c.ProgressEndColor, 16764831u);
  EXPECT_EQ(c.BackButton, kBoth);
  EXPECT_FALSE(c.SiteIconsOff);
  EXPECT_FALSE(c.ClearCacheOnRefresh);
  EXPECT_TRUE(c.FloatingMode);
  EXPECT_TRUE(c.AddressBarKept);
  EXPECT_TRUE(c.NewTabOpensHome);
  EXPECT_FALSE(c.DMenu);
  EXPECT_EQ(c.SearchListEngine, 1);
  EXPECT_EQ(c.SearchEngine, 1);
  EXPECT_EQ(c.Transparency, 155);
  EXPECT_FALSE(c.PopupsAllowed);
  EXPECT_EQ(c.FloatingBarX, 1280 - 300);
  EXPECT_EQ(c.FloatingBarY, 120);
}

TEST(MainConfig, StoredValuesAndTheirOddValueRules) {
  struct Case {
    const char* file;
    std::function<bool(const MainConfig&)> holds;
    const char* what;
  } cases[] = {
      {"[Config]\nTABS=3", [](auto& c) { return c.TabPosition == 0; }, "TABS is discarded"},
      {"[Config]\nBrskaja=0", [](auto& c) { return !c.SearchResultsInTab; }, "Brskaja 0"},
      {"[Config]\nBrskaja=5", [](auto& c) { return c.SearchResultsInTab; }, "Brskaja odd"},
      {"[Qmenu]\nHide=0", [](auto& c) { return !c.QuickPanelShown; }, "Qmenu 0"},
      {"[Qmenu]\nHide=7", [](auto& c) { return c.QuickPanelShown; }, "Qmenu odd"},
      {"[Config]\nSocialbar=0", [](auto& c) { return !c.SocialBarShown; }, "Socialbar 0"},
      {"[Config]\nForBack=2", [](auto& c) { return c.BackButton == 2; }, "ForBack 2"},
      {"[Config]\nForBack=9", [](auto& c) { return c.BackButton == kNone; }, "ForBack odd"},
      {"[Config]\nFavicons=1", [](auto& c) { return c.SiteIconsOff; }, "Favicons 1"},
      {"[Config]\nBrisitemp=1", [](auto& c) { return c.ClearCacheOnRefresh; }, "Brisitemp 1"},
      {"[hmenu]\nhide=0", [](auto& c) { return !c.FloatingMode; }, "hmenu hide 0"},
      {"[hmenu]\nhide=5", [](auto& c) { return c.FloatingMode; }, "boolean nonzero"},
      {"[Config]\nurlviden=4", [](auto& c) { return !c.AddressBarKept; }, "urlviden odd"},
      {"[Config]\nkam=0", [](auto& c) { return !c.NewTabOpensHome; }, "kam 0"},
      {"[Config]\nSPEEDSEARCH=3", [](auto& c) { return c.SearchListEngine == 4; }, "speed 3"},
      {"[Config]\nSPEEDSEARCH=4", [](auto& c) { return c.SearchListEngine == 0; }, "speed odd"},
      {"[Config]\nSEARCH=2", [](auto& c) { return c.SearchEngine == 3; }, "SEARCH 2"},
      {"[Config]\nSEARCH=7", [](auto& c) { return c.SearchEngine == 0; }, "SEARCH 7"},
      {"[Config]\nSEARCH=abc", [](auto& c) { return c.SearchEngine == 1; }, "not an integer"},
      {"[Config]\ntransparent=999", [](auto& c) { return c.Transparency == 255; }, "alpha"},
      {"[Config]\npopblock=1", [](auto& c) { return c.PopupsAllowed; }, "popblock 1"},
      {"[hmenu]\nx=1221", [](auto& c) { return c.FloatingBarX == 980; }, "x above w-60"},
      {"[hmenu]\nx=1220", [](auto& c) { return c.FloatingBarX == 1220; }, "x at w-60"},
      {"[hmenu]\ny=965", [](auto& c) { return c.FloatingBarY == 120; }, "y above h-60"},
      {"[hmenu]\ny=964", [](auto& c) { return c.FloatingBarY == 964; }, "y at h-60"},
      {"[Config]\nHomepage=http://h/", [](auto& c) { return c.HomePage == "http://h/"; }, "home"},
  };
  for (const auto& c : cases) EXPECT_TRUE(c.holds(Read(c.file))) << c.what;
}

std::string Written(const std::string& stored) {
  const MainConfig c = Read(stored);
  IniFile f = IniFile::Parse(stored);
  WriteMainConfig(f, c);
  return f.Serialize();
}

TEST(MainConfig, CloseWritesEveryKeyInOrder) {
  const std::string out = Written("");
  const char* keys[] = {"Homepage", "Brskaja", "Socialbar", "Favicons", "Progresscolor",
                        "ForBack", "Brisitemp", "kam", "dmenu", "urlviden", "SEARCH",
                        "backtext", "transparent", "popblock", "TABS"};
  size_t at = 0;
  for (const char* key : keys) {
    const size_t found = out.find(std::string("\n") + key + "=");
    ASSERT_NE(found, std::string::npos) << key << " in\n" << out;
    EXPECT_GT(found, at) << key << " out of order";
    at = found;
  }
  const IniFile f = IniFile::Parse(out);
  EXPECT_EQ(f.ReadString("Qmenu", "Hide", ""), "1");
  EXPECT_EQ(f.ReadString("hmenu", "hide", ""), "1");
  EXPECT_EQ(f.ReadString("hmenu", "x", ""), "980");
  EXPECT_EQ(f.ReadString("hmenu", "y", ""), "120");
  EXPECT_EQ(f.ReadString("Config", "backtext", ""), "0");
  EXPECT_FALSE(f.HasKey("Config", "SPEEDSEARCH"));
}

TEST(MainConfig, CloseRulesForSpecialKeys) {
  const IniFile tabs = IniFile::Parse(Written("[Config]\nTABS=3\n"));
  EXPECT_EQ(tabs.ReadString("Config", "TABS", ""), "0");

  const IniFile search = IniFile::Parse(Written("[Config]\nSEARCH=7\n"));
  // Not written: the stored 7 stays as it was.
  EXPECT_EQ(search.ReadString("Config", "SEARCH", ""), "7");
  const std::string fresh_search = [] {
    MainConfig c;
    c.SearchEngine = 0;
    IniFile f;
    WriteMainConfig(f, c);
    return f.Serialize();
  }();
  EXPECT_EQ(fresh_search.find("SEARCH"), std::string::npos);

  const IniFile back = IniFile::Parse(Written("[Config]\nbacktext=5\nSPEEDSEARCH=2\n"));
  EXPECT_EQ(back.ReadString("Config", "backtext", ""), "0");
  EXPECT_EQ(back.ReadString("Config", "SPEEDSEARCH", ""), "2");

  const IniFile forback = IniFile::Parse(Written("[Config]\nForBack=9\n"));
  EXPECT_EQ(forback.ReadString("Config", "ForBack", ""), "9") << "no mode checked: not written";

  const IniFile other = IniFile::Parse(Written("[Mine]\nkeep=yes\n"));
  EXPECT_EQ(other.ReadString("Mine", "keep", ""), "yes");
}

TEST(MainConfig, RoundTripKeepsChangedSettings) {
  MainConfig c = Read("");
  c.HomePage = "http://example.test/p?a=1&b=2";
  c.SearchResultsInTab = false;
  c.SocialBarShown = false;
  c.ProgressEndColor = 0x123456;
  c.BackButton = kOnlyLeft;
  c.SiteIconsOff = true;
  c.ClearCacheOnRefresh = true;
  c.QuickPanelShown = false;
  c.FloatingMode = false;
  c.FloatingBarX = 10;
  c.FloatingBarY = 20;
  c.NewTabOpensHome = false;
  c.DMenu = true;
  c.AddressBarKept = false;
  c.SearchEngine = 4;
  c.Transparency = 90;
  c.PopupsAllowed = true;
  c.TabPosition = 3;
  IniFile f;
  WriteMainConfig(f, c);
  MainConfig back = Read(f.Serialize());
  back.TabPosition = 3;  // read and discarded by design
  back.SearchListEngine = c.SearchListEngine;
  EXPECT_EQ(back.HomePage, c.HomePage);
  EXPECT_EQ(back.SearchResultsInTab, c.SearchResultsInTab);
  EXPECT_EQ(back.SocialBarShown, c.SocialBarShown);
  EXPECT_EQ(back.ProgressEndColor, c.ProgressEndColor);
  EXPECT_EQ(back.BackButton, c.BackButton);
  EXPECT_EQ(back.SiteIconsOff, c.SiteIconsOff);
  EXPECT_EQ(back.ClearCacheOnRefresh, c.ClearCacheOnRefresh);
  EXPECT_EQ(back.QuickPanelShown, c.QuickPanelShown);
  EXPECT_EQ(back.FloatingMode, c.FloatingMode);
  EXPECT_EQ(back.FloatingBarX, c.FloatingBarX);
  EXPECT_EQ(back.FloatingBarY, c.FloatingBarY);
  EXPECT_EQ(back.NewTabOpensHome, c.NewTabOpensHome);
  EXPECT_EQ(back.DMenu, c.DMenu);
  EXPECT_EQ(back.AddressBarKept, c.AddressBarKept);
  EXPECT_EQ(back.SearchEngine, c.SearchEngine);
  EXPECT_EQ(back.Transparency, c.Transparency);
  EXPECT_EQ(back.PopupsAllowed, c.PopupsAllowed);
}

}  // namespace
}  // namespace orv
