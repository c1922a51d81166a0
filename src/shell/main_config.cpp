#include "shell/main_config.h"

#include <algorithm>

namespace orv {

namespace {

constexpr char kConfig[] = "Config";
constexpr char kQmenu[] = "Qmenu";
constexpr char kHmenu[] = "hmenu";
constexpr char kLanguage[] = "Language";

// Integer keys that switch a setting: 1 on, 0 off, anything else leaves it.
void ReadSwitch(const IniFile& f, const char* key, int fallback, bool& setting) {
  const int v = f.ReadInteger(kConfig, key, fallback);
  if (v == 1) setting = true;
  if (v == 0) setting = false;
}

}  // namespace

MainConfig ReadMainConfig(const IniFile& f, ScreenSize screen, const std::string& start_page) {
  MainConfig c;
  // The tab strip always starts at the top; the stored position is read only
  // to keep the reading order of the file.
  (void)f.ReadInteger(kConfig, "TABS", 0);
  c.TabPosition = 0;
  c.HomePage = f.ReadString(kConfig, "Homepage", start_page);
  ReadSwitch(f, "Brskaja", 1, c.SearchResultsInTab);
  {
    const int v = f.ReadInteger(kQmenu, "Hide", 1);
    c.QuickPanelShown = v != 0;  // 1 shows, 0 hides, others leave it shown
  }
  c.SocialBarShown = f.ReadInteger(kConfig, "Socialbar", 1) == 1;
  c.ProgressEndColor = static_cast<uint32_t>(f.ReadInteger(kConfig, "Progresscolor", 16764831)) &
                       0xFFFFFFu;
  {
    const int v = f.ReadInteger(kConfig, "ForBack", 1);
    c.BackButton = (v >= 0 && v <= 2) ? v : kNone;
  }
  ReadSwitch(f, "Favicons", 0, c.SiteIconsOff);
  ReadSwitch(f, "Brisitemp", 0, c.ClearCacheOnRefresh);
  c.FloatingMode = f.ReadBool(kHmenu, "hide", true);
  c.AddressBarKept = f.ReadInteger(kConfig, "urlviden", 1) == 1;
  c.NewTabOpensHome = f.ReadBool(kConfig, "kam", true);
  c.DMenu = f.ReadInteger(kConfig, "dmenu", 0) == 1;
  {
    const int v = f.ReadInteger(kConfig, "SPEEDSEARCH", 0);
    c.SearchListEngine = (v >= 0 && v <= 3) ? v + 1 : 0;
  }
  {
    const int v = f.ReadInteger(kConfig, "SEARCH", 0);
    c.SearchEngine = (v >= 0 && v <= 3) ? v + 1 : 0;
  }
  // An alpha value outside 0..255 would wrap around in the window system;
  // it is held to the nearest valid value instead.
  c.Transparency = std::clamp(f.ReadInteger(kConfig, "transparent", 155), 0, 255);
  ReadSwitch(f, "popblock", 0, c.PopupsAllowed);
  c.FloatingBarX = f.ReadInteger(kHmenu, "x", screen.width - 300);
  if (c.FloatingBarX > screen.width - 60) c.FloatingBarX = screen.width - 300;
  c.FloatingBarY = f.ReadInteger(kHmenu, "y", 120);
  if (c.FloatingBarY > screen.height - 60) c.FloatingBarY = 120;
  c.Language = f.ReadString(kLanguage, "Current", "");
  c.LanguageServer = f.ReadString(kLanguage, "Server", "");
  return c;
}

void WriteMainConfig(IniFile& f, const MainConfig& c) {
  f.WriteString(kConfig, "Homepage", c.HomePage);
  f.WriteBool(kConfig, "Brskaja", c.SearchResultsInTab);
  f.WriteBool(kConfig, "Socialbar", c.SocialBarShown);
  f.WriteBool(kConfig, "Favicons", c.SiteIconsOff);
  f.WriteInteger(kConfig, "Progresscolor", static_cast<int>(c.ProgressEndColor));
  if (c.BackButton >= 0 && c.BackButton <= 2) f.WriteInteger(kConfig, "ForBack", c.BackButton);
  f.WriteBool(kConfig, "Brisitemp", c.ClearCacheOnRefresh);
  f.WriteBool(kQmenu, "Hide", c.QuickPanelShown);
  f.WriteBool(kHmenu, "hide", c.FloatingMode);
  f.WriteInteger(kHmenu, "x", c.FloatingBarX);
  f.WriteInteger(kHmenu, "y", c.FloatingBarY);
  f.WriteBool(kConfig, "kam", c.NewTabOpensHome);
  f.WriteBool(kConfig, "dmenu", c.DMenu);
  f.WriteBool(kConfig, "urlviden", c.AddressBarKept);
  if (c.SearchEngine >= 1 && c.SearchEngine <= 4) {
    f.WriteInteger(kConfig, "SEARCH", c.SearchEngine - 1);
  }
  f.WriteInteger(kConfig, "backtext", 0);
  f.WriteInteger(kConfig, "transparent", c.Transparency);
  f.WriteBool(kConfig, "popblock", c.PopupsAllowed);
  f.WriteInteger(kConfig, "TABS", c.TabPosition);
  // The server is the user's to set by hand; only the choice is written.
  f.WriteString(kLanguage, "Current", c.Language);
}

}  // namespace orv
