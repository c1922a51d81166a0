#include "prefs/languages.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "shell/main_commands.h"

namespace orv {
namespace {

TEST(Languages, TheCaptionTableRowsAreKeyedAsLanguageFilesSpellThem) {
  const std::map<std::string, std::pair<std::string, std::string>> expected = {
      {"em1", {"Quick menu", "Quick Menu"}},
      {"pm2", {"Adress bar", "Address Bar"}},
      {"fgm", {"Floating navigation bar", "Floating Navigation Bar"}},
      {"snb", {"Social networks bar", "Social Networks Bar"}},
      {"Files1", {"Files", "Files"}},
      {"OpenFile1", {"Open File", "Open File"}},
      {"NewSession1", {"New Session", "New Session"}},
      {"SaveAs1", {"Save As", "Save As"}},
      {"Print2", {"Print", "Print"}},
      {"PrintPreview2", {"Print Preview", "Print Preview..."}},
      {"FindOnThisPage2", {"Find On This Page", "Find On This Page..."}},
      {"Find1", {"Find", "Find"}},
      {"Edit2", {"Edit", "Edit"}},
      {"Cut2", {"Cut", "Cut"}},
      {"Copy2", {"Copy", "Copy"}},
      {"Paste2", {"Paste", "Paste"}},
      {"ransparent1", {"Transparent", "Transparent"}},
      {"ools2", {"Tools", "Tools"}},
      {"DeleteTemporaryInternetFiles2",
       {"DeleteTemporary Internet Files", "Delete Temporary Internet Files"}},
      {"ViewSource2", {"View Source", "View Source"}},
      {"WYSIWYGDesignerdevelopmentversion1", {"WYSIWYG Designer", "WYSIWYG Designer"}},
      {"QuickWebSearch3", {"Web Search", "Web Search"}},
      {"RSSReader1", {"RSS Reader", "RSS Reader"}},
      {"AddRSS2", {"Add RSS", "Add RSS"}},
      {"ScrollingRSS1", {"Scrolling RSS", "Scrolling RSS"}},
      {"ReadMail1", {"Read Mail", "Read Mail"}},
      {"MailLinkToThisPage2", {"Mail Link To This Page", "Mail Link To This Page"}},
      {"Options1", {"Options", "Options"}},
      {"AboutOrvindel1", {"About Orvindel Web Browser", "About Orvindel Web Browser"}},
      {"Exit2", {"Exit", "Exit"}},
  };
  std::map<std::string, std::pair<std::string, std::string>> table;
  for (const CommandRow& row : MainCommands()) {
    if (!row.language_key.empty()) {
      table[std::string(row.item)] = {std::string(row.language_key), std::string(row.caption)};
    }
  }
  EXPECT_EQ(table, expected);
}

TEST(Languages, ListsReadLikeTheUserAgentFile) {
  EXPECT_EQ(ParseLanguageList("Slovenian\r\nGerman\rfrench\n"),
            (std::vector<std::string>{"french", "German", "Slovenian"}));
  EXPECT_EQ(ParseLanguageList("A\r\n\r\nB\r\n"), (std::vector<std::string>{"", "A", "B"}));
  EXPECT_TRUE(ParseLanguageList("").empty());
  EXPECT_EQ(InstalledLanguages({"German.jez", ".jez", "notes.txt", "Slovenian.JEZ", "x.jez.bak"}),
            (std::vector<std::string>{"German", "Slovenian"}));
}

TEST(Languages, AServerNamesNoFileOutsideTheFolder) {
  for (const char* name : {"German", "Français", "Chinese (Simplified)"}) {
    EXPECT_TRUE(IsSafeLanguageName(name)) << name;
  }
  for (const char* name : {"", "../../.bashrc", "a/b", "a\\b", ".hidden", "line\nbreak"}) {
    EXPECT_FALSE(IsSafeLanguageName(name)) << name;
  }
  EXPECT_EQ(LanguageAddress("file:///usr/share/orvindel", "Language/languages.lng"),
            "file:///usr/share/orvindel/Language/languages.lng");
  EXPECT_EQ(LanguageAddress("http://h.test/", "Language/German.jez"),
            "http://h.test/Language/German.jez");
}

}  // namespace
}  // namespace orv
