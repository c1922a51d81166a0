#include "shell/main_commands.h"

#include <array>

#include "common/text.h"

namespace orv {

namespace {

using M = CommandMenu;
using C = CheckState;

constexpr std::array kRows = {
    // The quick menu.
    CommandRow{"em1", M::kQuickMenu, "", "Quick Menu", "Quick menu", "F2", false,
               C::kQuickPanelShown},
    CommandRow{"pm2", M::kQuickMenu, "", "Address Bar", "Adress bar", "Ctrl+B", false,
               C::kAddressBarShown, true},
    CommandRow{"fgm", M::kQuickMenu, "", "Floating Navigation Bar", "Floating navigation bar",
               "Ctrl+M", false, C::kFloatingMode},
    CommandRow{"snb", M::kQuickMenu, "", "Social Networks Bar", "Social networks bar", "F7", false,
               C::kSocialBarShown},
    CommandRow{"Files1", M::kQuickMenu, "", "Files", "Files", ""},
    CommandRow{"OpenFile1", M::kQuickMenu, "Files1", "Open File", "Open File", ""},
    CommandRow{"NewSession1", M::kQuickMenu, "Files1", "New Session", "New Session", "Ctrl+N"},
    CommandRow{"SaveAs1", M::kQuickMenu, "Files1", "Save As", "Save As", ""},
    CommandRow{"Print2", M::kQuickMenu, "Files1", "Print", "Print", "Ctrl+P"},
    CommandRow{"PrintPreview2", M::kQuickMenu, "Files1", "Print Preview...", "Print Preview", ""},
    // Listed nowhere and doing nothing: Ctrl+F3 is simply taken.
    CommandRow{"FindOnThisPage2", M::kQuickMenu, "", "Find On This Page...", "Find On This Page",
               "Ctrl+F3", true},
    CommandRow{"Find1", M::kQuickMenu, "", "Find", "Find", "F3"},
    // A text field that has the keyboard gets these keys first; the rows
    // act on the page otherwise.
    CommandRow{"Edit2", M::kQuickMenu, "", "Edit", "Edit", ""},
    CommandRow{"Cut2", M::kQuickMenu, "Edit2", "Cut", "Cut", "Ctrl+X"},
    CommandRow{"Copy2", M::kQuickMenu, "Edit2", "Copy", "Copy", "Ctrl+C"},
    CommandRow{"Paste2", M::kQuickMenu, "Edit2", "Paste", "Paste", "Ctrl+V"},
    CommandRow{"Sellectall2", M::kQuickMenu, "Edit2", "Sellect all", "", "Ctrl+A"},
    CommandRow{"SetTransparent1", M::kQuickMenu, "", "Set Transparent", "", "", true},
    CommandRow{"ransparent1", M::kQuickMenu, "", "Transparent", "Transparent", "F10"},
    CommandRow{"ools2", M::kQuickMenu, "", "Tools", "Tools", ""},
    CommandRow{"DeleteTemporaryInternetFiles2", M::kQuickMenu, "ools2",
               "Delete Temporary Internet Files", "DeleteTemporary Internet Files", ""},
    CommandRow{"DeleteTemporaryInternetFilesOnRefresh1", M::kQuickMenu, "ools2",
               "Delete Temporary Internet Files On Refresh", "", "", true,
               C::kClearCacheOnRefresh},
    CommandRow{"ViewSource2", M::kQuickMenu, "ools2", "View Source", "View Source", ""},
    CommandRow{"WYSIWYGDesignerdevelopmentversion1", M::kQuickMenu, "ools2", "WYSIWYG Designer",
               "WYSIWYG Designer", ""},
    CommandRow{"QuickWebSearch3", M::kQuickMenu, "ools2", "Web Search", "Web Search", "F4"},
    CommandRow{"SetQuickWebSearch1", M::kQuickMenu, "ools2", "Set Quick Web Search", "", "", true},
    CommandRow{"gt1", M::kQuickMenu, "SetQuickWebSearch1", "Google", "", ""},
    CommandRow{"gt2", M::kQuickMenu, "SetQuickWebSearch1", "Bing", "", ""},
    CommandRow{"gt3", M::kQuickMenu, "SetQuickWebSearch1", "Yahoo", "", ""},
    CommandRow{"gt4", M::kQuickMenu, "SetQuickWebSearch1", "Wikipedia", "", ""},
    CommandRow{"dISABLE1", M::kQuickMenu, "ools2", "Disable Fav Icons", "", "", true,
               C::kSiteIconsOff},
    CommandRow{"ProgressBarEndColor1", M::kQuickMenu, "ools2", "Progress Bar End Color", "", "",
               true},
    CommandRow{"RSSReader1", M::kQuickMenu, "", "RSS Reader", "RSS Reader", "F9"},
    CommandRow{"AddRSS2", M::kQuickMenu, "", "Add RSS", "Add RSS", "F8"},
    CommandRow{"ScrollingRSS1", M::kQuickMenu, "", "Scrolling RSS", "Scrolling RSS", ""},
    CommandRow{"ReadMail1", M::kQuickMenu, "", "Read Mail", "Read Mail", ""},
    CommandRow{"MailLinkToThisPage2", M::kQuickMenu, "", "Mail Link To This Page",
               "Mail Link To This Page", "Ctrl+I"},
    CommandRow{"FullScreen1", M::kQuickMenu, "", "Full Screen", "", "F11", true},
    CommandRow{"Options1", M::kQuickMenu, "", "Options", "Options", ""},
    CommandRow{"AboutOrvindel1", M::kQuickMenu, "", "About Orvindel Web Browser",
               "About Orvindel Web Browser", ""},
    CommandRow{"Exit2", M::kQuickMenu, "", "Exit", "Exit", ""},

    // The tab strip's menu.
    CommandRow{"NewTab20", M::kTabMenu, "", "New Tab", "", "Ctrl+T"},
    CommandRow{"CloseTabs1", M::kTabMenu, "", "Close Tab", "", "Ctrl+W"},
    CommandRow{"CloseAllTabs1", M::kTabMenu, "", "Close All Tabs", "", "Ctrl+F1"},
    CommandRow{"CloseOtherTabs1", M::kTabMenu, "", "Close Other Tabs", "", "", true},
    CommandRow{"DuplicateTab1", M::kTabMenu, "", "Duplicate Tab", "", "Ctrl+K"},
    // Ctrl+X cuts text wherever text can be cut, so the mode takes
    // Ctrl+Shift+X instead.
    CommandRow{"RedirecttoNewWindow1", M::kTabMenu, "", "Redirect to New Window", "",
               "Ctrl+Shift+X"},
    CommandRow{"AddressBar1", M::kTabMenu, "", "Address Bar", "", "", false, C::kAddressBarShown,
               true},
    CommandRow{"TabsPosition1", M::kTabMenu, "", "Tabs Position", "", "", true},
    CommandRow{"op1", M::kTabMenu, "TabsPosition1", "Top", "", "", false, C::kTabsOnTop},
    CommandRow{"Bottom1", M::kTabMenu, "TabsPosition1", "Bottom", "", "", false, C::kTabsAtBottom},
    CommandRow{"AlignWindows1", M::kTabMenu, "", "Align Windows on Desktop", "", "", true},
};

}  // namespace

std::span<const CommandRow> MainCommands() { return kRows; }

const CommandRow* FindCommand(std::string_view item) {
  for (const CommandRow& row : kRows) {
    if (row.item == item) return &row;
  }
  return nullptr;
}

std::string CommandCaption(const CommandRow& row, const IniFile& language) {
  if (row.language_key.empty()) return std::string(row.caption);
  return language.ReadString("poptool", std::string(row.language_key), std::string(row.caption));
}

std::optional<Shortcut> ParseShortcut(std::string_view text) {
  if (text.empty()) return std::nullopt;
  Shortcut s;
  while (true) {
    const size_t plus = text.find('+');
    // A lone "+" at the end is the key itself.
    if (plus == std::string_view::npos || plus + 1 == text.size()) break;
    const std::string mod = AsciiLower(text.substr(0, plus));
    if (mod == "ctrl") {
      s.ctrl = true;
    } else if (mod == "shift") {
      s.shift = true;
    } else if (mod == "alt") {
      s.alt = true;
    } else {
      return std::nullopt;
    }
    text.remove_prefix(plus + 1);
  }
  if (text.empty() || (text.size() > 1 && text.find('+') != std::string_view::npos)) {
    return std::nullopt;
  }
  s.key = text.size() == 1 ? AsciiUpper(text) : std::string(text);
  return s;
}

const CommandRow* CommandForShortcut(const Shortcut& pressed) {
  for (const CommandRow& row : kRows) {
    if (auto s = ParseShortcut(row.shortcut); s && *s == pressed) return &row;
  }
  return nullptr;
}

bool IsAddressBarKey(const Shortcut& pressed) {
  for (const char* text : {"Ctrl+L", "Alt+D", "F6"}) {
    if (ParseShortcut(text) == pressed) return true;
  }
  return false;
}

bool IsTextEditingKey(const Shortcut& pressed) {
  static const char* const kKeys[] = {
      "Ctrl+C",    "Ctrl+X",       "Ctrl+V",        "Ctrl+A",        "Ctrl+Z",
      "Ctrl+Shift+Z", "BackSpace", "Delete",       "Shift+Delete",  "Ctrl+Insert",
      "Shift+Insert", "Ctrl+BackSpace", "Ctrl+Delete"};
  for (const char* text : kKeys) {
    if (ParseShortcut(text) == pressed) return true;
  }
  return false;
}

}  // namespace orv
