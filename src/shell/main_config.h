// The main configuration file Orvindel.cfg: what start-up reads from it and
// what closing writes back.
#pragma once

#include <cstdint>
#include <string>

#include "common/ini_file.h"
#include "common/screen_size.h"

namespace orv {

inline constexpr char kMainConfigFile[] = "Orvindel.cfg";
inline constexpr char kDefaultUserAgent[] =
    "Orvindel/1.2.0.0(Compatible; Windows; U; en-US)Version/1.2.0.0";

// Back-button modes; kNone when the stored value checks none of the items.
enum BackButtonMode : int { kOnlyLeft = 0, kBoth = 1, kBothWithDoubleBack = 2, kNone = -1 };

// Everything the main window holds from Orvindel.cfg. The initial values are
// those before the file is read; ReadMainConfig applies the file's defaults.
struct MainConfig {
  // Program-wide settings.
  std::string HomePage;
  int TabPosition = 0;  // 0 top, 3 bottom
  bool SearchResultsInTab = true;
  bool SiteIconsOff = false;
  bool ClearCacheOnRefresh = false;
  bool NewTabOpensHome = false;
  bool PopupsAllowed = false;
  int SearchEngine = 0;      // 0 none, 1..4 Google, Bing, Yahoo, Wikipedia
  int SearchListEngine = 0;  // the Quick Web Search window's first choice

  // Window chrome.
  bool QuickPanelShown = true;
  bool SocialBarShown = true;
  uint32_t ProgressEndColor = 16764831;
  int BackButton = kBoth;
  bool FloatingMode = true;
  bool AddressBarKept = true;  // "urlviden"
  bool DMenu = false;
  int Transparency = 155;
  int FloatingBarX = 0;
  int FloatingBarY = 120;

  // Languages: the chosen one ("" is English) and where language files are
  // downloaded from ("" is the folder the program ships them in).
  std::string Language;
  std::string LanguageServer;
};

// Reads every key in the file's documented order. `start_page` is the
// system browser's start page, the default home page.
MainConfig ReadMainConfig(const IniFile& file, ScreenSize screen, const std::string& start_page);

// Writes the keys closing writes, in their order, into `file`; keys the
// program does not own (and "SPEEDSEARCH") are left as they were.
void WriteMainConfig(IniFile& file, const MainConfig& config);

}  // namespace orv
