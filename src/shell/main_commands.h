// The main window's commands: one row for each item of the quick menu and
// the tab menu. The menus, their order, the shortcuts (those of hidden items
// too), the check marks and the translated captions all come from here; the
// window only binds each item to its member and its handler.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "common/ini_file.h"

namespace orv {

enum class CommandMenu { kQuickMenu, kTabMenu };

// What an item's check mark shows, set each time its menu opens.
enum class CheckState {
  kNone,
  kQuickPanelShown,
  kSocialBarShown,
  kAddressBarShown,
  kFloatingMode,
  kSiteIconsOff,
  kClearCacheOnRefresh,
  // The two Tabs Position items, drawn as radio items.
  kTabsOnTop,
  kTabsAtBottom,
};

struct CommandRow {
  // The item's name, which is also the name of its member in the window.
  std::string_view item;
  CommandMenu menu;
  // The item whose submenu holds this one; empty for the menu itself.
  std::string_view parent;
  // The caption shown when no language file gives another.
  std::string_view caption;
  // The key of the caption in a language file's "poptool" section; empty
  // for items that are never translated. Spelled as language files spell
  // it, which is not always the caption.
  std::string_view language_key;
  // "Ctrl+T", "Ctrl+Shift+X", "F2"; empty when the item has none.
  std::string_view shortcut;
  // Never listed, but its shortcut still runs its command.
  bool hidden = false;
  CheckState check = CheckState::kNone;
  // Listed only while floating mode is on.
  bool floating_only = false;
};

// Every row, each menu's rows in menu order, submenus after their parent.
std::span<const CommandRow> MainCommands();

// The row of `item`, or null.
const CommandRow* FindCommand(std::string_view item);

// The caption `row` shows with `language` (section "poptool"): the file's
// text for the row's key, or the row's caption.
std::string CommandCaption(const CommandRow& row, const IniFile& language);

// A key with its modifiers. Letters are kept in upper case, other keys by
// their key names ("F2", "BackSpace").
struct Shortcut {
  bool ctrl = false;
  bool shift = false;
  bool alt = false;
  std::string key;
  bool operator==(const Shortcut&) const = default;
};

// "Ctrl+Shift+X" → {ctrl, shift, "X"}. Empty or malformed text answers none.
std::optional<Shortcut> ParseShortcut(std::string_view text);

// The first row whose shortcut is `pressed`, hidden rows included, or null.
const CommandRow* CommandForShortcut(const Shortcut& pressed);

// Keys that put the keyboard into the address bar, as in every browser.
bool IsAddressBarKey(const Shortcut& pressed);

// Keys a text field uses for its own editing. While a text field has the
// keyboard it gets them first; the window's commands for the same keys act
// on the page only otherwise.
bool IsTextEditingKey(const Shortcut& pressed);

}  // namespace orv
