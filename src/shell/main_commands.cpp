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
    CommandRow{"snb", M::kQuickMenu, "", "Social Networks Bar", "Social networks bar", "F7", false,
               C::kSocialBarShown},
    CommandRow{"Files1", M::kQuickMenu, "", "Files", "Files", ""},
    CommandRow{"NewSession1", M::kQuickMenu, "Files1", "New Session", "New Session", "Ctrl+N"},
    CommandRow{"Find1", M::kQuickMenu, "", "Find", "Find", "F3"},
    CommandRow{"ools2", M::kQuickMenu, "", "Tools", "Tools", ""},
    CommandRow{"QuickWebSearch3", M::kQuickMenu, "ools2", "Web Search", "Web Search", "F4"},
    CommandRow{"SetQuickWebSearch1", M::kQuickMenu, "ools2", "Set Quick Web Search", "", "", true},
    CommandRow{"gt1", M::kQuickMenu, "SetQuickWebSearch1", "Google", "", ""},
    CommandRow{"gt2", M::kQuickMenu, "SetQuickWebSearch1", "Bing", "", ""},
    CommandRow{"gt3", M::kQuickMenu, "SetQuickWebSearch1", "Yahoo", "", ""},
    CommandRow{"gt4", M::kQuickMenu, "SetQuickWebSearch1", "Wikipedia", "", ""},
    CommandRow{"RSSReader1", M::kQuickMenu, "", "RSS Reader", "RSS Reader", "F9"},
    CommandRow{"AddRSS2", M::kQuickMenu, "", "Add RSS", "Add RSS", "F8"},
    CommandRow{"ScrollingRSS1", M::kQuickMenu, "", "Scrolling RSS", "Scrolling RSS", ""},
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
