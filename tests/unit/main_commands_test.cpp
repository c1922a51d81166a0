#include "shell/main_commands.h"

#include <gtest/gtest.h>

#include <vector>

namespace orv {
namespace {

TEST(MainCommands, TheMenusHoldTheirRowsInOrder) {
  struct Row {
    const char* item;
    CommandMenu menu;
    const char* parent;
    const char* caption;
    const char* key;
    const char* shortcut;
    bool hidden;
  };
  const CommandMenu Q = CommandMenu::kQuickMenu, T = CommandMenu::kTabMenu;
  const std::vector<Row> expected = {
      {"em1", Q, "", "Quick Menu", "Quick menu", "F2", false},
      {"pm2", Q, "", "Address Bar", "Adress bar", "Ctrl+B", false},
      {"fgm", Q, "", "Floating Navigation Bar", "Floating navigation bar", "Ctrl+M", false},
      {"snb", Q, "", "Social Networks Bar", "Social networks bar", "F7", false},
      {"Files1", Q, "", "Files", "Files", "", false},
      {"OpenFile1", Q, "Files1", "Open File", "Open File", "", false},
      {"NewSession1", Q, "Files1", "New Session", "New Session", "Ctrl+N", false},
      {"SaveAs1", Q, "Files1", "Save As", "Save As", "", false},
      {"Print2", Q, "Files1", "Print", "Print", "Ctrl+P", false},
      {"PrintPreview2", Q, "Files1", "Print Preview...", "Print Preview", "", false},
      {"FindOnThisPage2", Q, "", "Find On This Page...", "Find On This Page", "Ctrl+F3", true},
      {"Find1", Q, "", "Find", "Find", "F3", false},
      {"Edit2", Q, "", "Edit", "Edit", "", false},
      {"Cut2", Q, "Edit2", "Cut", "Cut", "Ctrl+X", false},
      {"Copy2", Q, "Edit2", "Copy", "Copy", "Ctrl+C", false},
      {"Paste2", Q, "Edit2", "Paste", "Paste", "Ctrl+V", false},
      {"Sellectall2", Q, "Edit2", "Sellect all", "", "Ctrl+A", false},
      {"SetTransparent1", Q, "", "Set Transparent", "", "", true},
      {"ransparent1", Q, "", "Transparent", "Transparent", "F10", false},
      {"ools2", Q, "", "Tools", "Tools", "", false},
      {"DeleteTemporaryInternetFiles2", Q, "ools2", "Delete Temporary Internet Files",
       "DeleteTemporary Internet Files", "", false},
      {"DeleteTemporaryInternetFilesOnRefresh1", Q, "ools2",
       "Delete Temporary Internet Files On Refresh", "", "", true},
      {"ViewSource2", Q, "ools2", "View Source", "View Source", "", false},
      {"WYSIWYGDesignerdevelopmentversion1", Q, "ools2", "WYSIWYG Designer", "WYSIWYG Designer",
       "", false},
      {"QuickWebSearch3", Q, "ools2", "Web Search", "Web Search", "F4", false},
      {"SetQuickWebSearch1", Q, "ools2", "Set Quick Web Search", "", "", true},
      {"gt1", Q, "SetQuickWebSearch1", "Google", "", "", false},
      {"gt2", Q, "SetQuickWebSearch1", "Bing", "", "", false},
      {"gt3", Q, "SetQuickWebSearch1", "Yahoo", "", "", false},
      {"gt4", Q, "SetQuickWebSearch1", "Wikipedia", "", "", false},
      {"dISABLE1", Q, "ools2", "Disable Fav Icons", "", "", true},
      {"ProgressBarEndColor1", Q, "ools2", "Progress Bar End Color", "", "", true},
      {"RSSReader1", Q, "", "RSS Reader", "RSS Reader", "F9", false},
      {"AddRSS2", Q, "", "Add RSS", "Add RSS", "F8", false},
      {"ScrollingRSS1", Q, "", "Scrolling RSS", "Scrolling RSS", "", false},
      {"ReadMail1", Q, "", "Read Mail", "Read Mail", "", false},
      {"MailLinkToThisPage2", Q, "", "Mail Link To This Page", "Mail Link To This Page", "Ctrl+I",
       false},
      {"FullScreen1", Q, "", "Full Screen", "", "F11", true},
      {"Options1", Q, "", "Options", "Options", "", false},
      {"AboutOrvindel1", Q, "", "About Orvindel Web Browser", "About Orvindel Web Browser", "",
       false},
      {"Exit2", Q, "", "Exit", "Exit", "", false},
      {"NewTab20", T, "", "New Tab", "", "Ctrl+T", false},
      {"CloseTabs1", T, "", "Close Tab", "", "Ctrl+W", false},
      {"CloseAllTabs1", T, "", "Close All Tabs", "", "Ctrl+F1", false},
      {"CloseOtherTabs1", T, "", "Close Other Tabs", "", "", true},
      {"DuplicateTab1", T, "", "Duplicate Tab", "", "Ctrl+K", false},
      {"RedirecttoNewWindow1", T, "", "Redirect to New Window", "", "Ctrl+Shift+X", false},
      {"AddressBar1", T, "", "Address Bar", "", "", false},
      {"TabsPosition1", T, "", "Tabs Position", "", "", true},
      {"op1", T, "TabsPosition1", "Top", "", "", false},
      {"Bottom1", T, "TabsPosition1", "Bottom", "", "", false},
      {"AlignWindows1", T, "", "Align Windows on Desktop", "", "", true},
  };
  const auto rows = MainCommands();
  ASSERT_EQ(rows.size(), expected.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    const Row& e = expected[i];
    const CommandRow& r = rows[i];
    EXPECT_EQ(r.item, e.item) << i;
    EXPECT_EQ(r.menu, e.menu) << e.item;
    EXPECT_EQ(r.parent, e.parent) << e.item;
    EXPECT_EQ(r.caption, e.caption) << e.item;
    EXPECT_EQ(r.language_key, e.key) << e.item;
    EXPECT_EQ(r.shortcut, e.shortcut) << e.item;
    EXPECT_EQ(r.hidden, e.hidden) << e.item;
    EXPECT_EQ(FindCommand(e.item), &r);
    // A parent comes before the rows of its submenu.
    if (!r.parent.empty()) {
      EXPECT_LT(FindCommand(r.parent), &r) << e.item;
    }
  }
  EXPECT_EQ(FindCommand("QuickMenu1"), nullptr);
  // The Address Bar items are listed only in floating mode.
  EXPECT_TRUE(FindCommand("pm2")->floating_only);
  EXPECT_TRUE(FindCommand("AddressBar1")->floating_only);
  EXPECT_FALSE(FindCommand("fgm")->floating_only);
}

TEST(MainCommands, ShortcutsParseAndFindTheirRow) {
  EXPECT_EQ(ParseShortcut("Ctrl+Shift+X"), (Shortcut{true, true, false, "X"}));
  EXPECT_EQ(ParseShortcut("ctrl+t"), (Shortcut{true, false, false, "T"}));
  EXPECT_EQ(ParseShortcut("F2"), (Shortcut{false, false, false, "F2"}));
  EXPECT_EQ(ParseShortcut("Ctrl++"), (Shortcut{true, false, false, "+"}));
  EXPECT_EQ(ParseShortcut(""), std::nullopt);
  EXPECT_EQ(ParseShortcut("Ctrl+"), std::nullopt);
  EXPECT_EQ(ParseShortcut("Meta+A"), std::nullopt);

  struct Case {
    Shortcut pressed;
    const char* item;  // null: no command
  } cases[] = {
      {{true, false, false, "T"}, "NewTab20"},
      {{true, false, false, "N"}, "NewSession1"},
      {{false, false, false, "F2"}, "em1"},
      {{false, false, false, "F4"}, "QuickWebSearch3"},
      {{true, false, false, "F3"}, "FindOnThisPage2"},
      {{false, false, false, "F11"}, "FullScreen1"},
      {{true, false, false, "B"}, "pm2"},
      {{true, true, false, "X"}, "RedirecttoNewWindow1"},
      {{true, false, false, "X"}, "Cut2"},
      {{true, false, false, "A"}, "Sellectall2"},
      {{true, false, false, "P"}, "Print2"},
      {{true, false, false, "I"}, "MailLinkToThisPage2"},
      {{true, true, false, "T"}, nullptr},
      {{false, false, false, "T"}, nullptr},
  };
  for (const auto& c : cases) {
    const CommandRow* row = CommandForShortcut(c.pressed);
    if (c.item) {
      ASSERT_NE(row, nullptr) << c.item;
      EXPECT_EQ(row->item, c.item);
    } else {
      EXPECT_EQ(row, nullptr) << c.pressed.key;
    }
  }
}

TEST(MainCommands, EditingKeysAreTheTextFieldsAndAddressBarKeysAreTheBrowsers) {
  for (const char* key : {"Ctrl+C", "Ctrl+X", "Ctrl+V", "Ctrl+A", "BackSpace"}) {
    EXPECT_TRUE(IsTextEditingKey(*ParseShortcut(key))) << key;
  }
  for (const char* key : {"Ctrl+T", "Ctrl+N", "F3", "Ctrl+Shift+X", "A"}) {
    EXPECT_FALSE(IsTextEditingKey(*ParseShortcut(key))) << key;
  }
  for (const char* key : {"Ctrl+L", "Alt+D", "F6"}) EXPECT_TRUE(IsAddressBarKey(*ParseShortcut(key)));
  EXPECT_FALSE(IsAddressBarKey(*ParseShortcut("Ctrl+D")));
}

TEST(MainCommands, CaptionsComeFromThePoptoolSectionByTheirOwnKeys) {
  const IniFile none;
  for (const CommandRow& row : MainCommands()) EXPECT_EQ(CommandCaption(row, none), row.caption);
  // Keys match without regard to case; other sections are not read.
  const IniFile language = IniFile::Parse(
      "[POPTOOL]\nexit=Izhod\nQuick Menu=Hitri meni\n[Other]\nFind=Poisci\n");
  EXPECT_EQ(CommandCaption(*FindCommand("Exit2"), language), "Izhod");
  EXPECT_EQ(CommandCaption(*FindCommand("em1"), language), "Hitri meni");
  EXPECT_EQ(CommandCaption(*FindCommand("Find1"), language), "Find") << "another section";
  EXPECT_EQ(CommandCaption(*FindCommand("NewTab20"), language), "New Tab");
}

}  // namespace
}  // namespace orv
