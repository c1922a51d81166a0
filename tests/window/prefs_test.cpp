// The Options window with the user agents, the home page dialog and the
// about window, over the fake engine and the scripted dialogs.
#include <gtest/gtest.h>

#include "common/ini_file.h"
#include "local_server.h"
#include "prefs/about_window.h"
#include "prefs/download_languages_window.h"
#include "prefs/language_dialog.h"
#include "prefs/add_string_dialog.h"
#include "prefs/home_page_dialog.h"
#include "prefs/options_window.h"
#include "shell/main_window.h"
#include "window_fixture.h"

namespace orv::test {
namespace {

class PrefsTest : public WindowTest {
 protected:
  TMainForm& Main() { return app_->MainForm(); }
  Tfoptions& Options() { return app_->fOptions(); }
  void Start() {
    StartApp({"http://start.test/"});
    ASSERT_TRUE(Settle());
  }
  // Runs `while_open` once the modal window is up, then the command.
  void WhileOpen(std::function<void()> while_open, std::function<void()> command) {
    Glib::signal_idle().connect_once(std::move(while_open));
    command();
  }
  std::vector<std::string> ListItems() {
    std::vector<std::string> items;
    auto model = Options().cbx.get_model();
    for (auto it = model->children().begin(); it != model->children().end(); ++it) {
      Glib::ustring text;
      it->get_value(0, text);
      items.push_back(text);
    }
    return items;
  }
  std::string SelectedAgent() { return Options().cbx.get_active_text(); }
};

TEST_F(PrefsTest, AFirstRunListsTheSixAgentsSortedAndWritesThemWithCrLf) {
  Start();
  const std::vector<std::string> expected = {
      "Mozilla/5.0 (compatible; MSIE 10.0; Windows NT 6.1; Trident/6.0)",
      "Mozilla/5.0 (iPhone; U; CPU like Mac OS X; en) AppleWebKit/420+ (KHTML, like Gecko) "
      "Version/3.0 Mobile/1A543a Safari/419.3",
      "Mozilla/5.0 (Windows NT 5.1) AppleWebKit/535.2 (KHTML, like Gecko) Chrome/15.0.860.0 "
      "Safari/535.2",
      "Mozilla/5.0 (Windows NT 6.1; WOW64; rv:6.0a2) Gecko/20110613 Firefox/6.0a2",
      "My Browser",
      "X was here"};
  EXPECT_EQ(ListItems(), expected);
  ASSERT_TRUE(Main().RequestClose());
  PumpIdle();
  std::string file;
  for (const auto& agent : expected) file += agent + "\r\n";
  EXPECT_EQ(ReadFile(OrvindelDir() + "uas.cfg"), file);
}

TEST_F(PrefsTest, AChosenAgentReachesThisTabAndEveryLaterOneButNotTheNextRun) {
  Start();
  WhileOpen([&] {
    EXPECT_EQ(std::string(Options().e_ua.get_text()), kDefaultUserAgent);
    EXPECT_EQ(std::string(Options().L5.get_text()), kDefaultUserAgent);
    Options().cbx.set_active_text("My Browser");
    Options().sbset2.clicked();
    Options().BitBtn1.clicked();
  }, [&] { Main().Options1Click(); });
  ASSERT_FALSE(dialogs_.shown.empty());
  EXPECT_EQ(dialogs_.shown.back().text, "Current user agent: My Browser");
  EXPECT_EQ(Main().CurrentUserAgent, "My Browser");
  EXPECT_EQ(Main().GetCurrentWB()->UserAgent(), "My Browser");
  Main().NewTab20Click();
  EXPECT_EQ(Main().GetCurrentWB()->UserAgent(), "My Browser");
  // "Set default " brings the built-in one back.
  Options().sbsetClick();
  EXPECT_EQ(dialogs_.shown.back().text, std::string("Current user agent: ") + kDefaultUserAgent);
  Options().cbx.set_active_text("My Browser");
  Options().sbset2Click();
  ASSERT_TRUE(Main().RequestClose());
  app_.reset();
  PumpIdle();
  Start();
  EXPECT_EQ(Main().CurrentUserAgent, kDefaultUserAgent);
}

TEST_F(PrefsTest, AddRemoveAndEditTheList) {
  Start();
  auto answer = [&](const char* text, bool ok) {
    Glib::signal_idle().connect_once([this, text, ok] {
      Tfaddstring& dialog = app_->faddstring();
      dialog.eadd.set_text(text);
      (ok ? dialog.BitBtn1 : dialog.BitBtn2).clicked();
    });
  };
  answer("Zeta agent", true);
  Options().SpeedButton4Click();
  EXPECT_EQ(app_->faddstring().L1.get_text(), "Add new user agent string");
  EXPECT_EQ(ListItems().size(), 7u);
  EXPECT_EQ(ListItems().back(), "Zeta agent");
  EXPECT_EQ(Options().cbx.get_active_row_number(), 0) << "the first entry, not the new one";
  // Edit the selected one into a text already there: two equal entries.
  Options().cbx.set_active_text("X was here");
  answer("My Browser", true);
  Options().sbeditClick();
  EXPECT_EQ(app_->faddstring().L1.get_text(), "Edit user agent string");
  const auto items = ListItems();
  EXPECT_EQ(std::count(items.begin(), items.end(), "My Browser"), 2);
  EXPECT_EQ(std::count(items.begin(), items.end(), "X was here"), 0);
  // Cancel changes nothing.
  answer("ignored", false);
  Options().SpeedButton4Click();
  EXPECT_EQ(ListItems(), items);
  // No to the removal keeps the entry; Yes removes it.
  Options().cbx.set_active_text("Zeta agent");
  dialogs_.answers.push_back(MsgResult::kNo);
  Options().sbminusClick();
  EXPECT_EQ(dialogs_.shown.back().text, "Remove \"Zeta agent\" from user agent list ?");
  EXPECT_EQ(dialogs_.shown.back().icon, MsgIcon::kStop);
  EXPECT_EQ(dialogs_.beeps, 1);
  EXPECT_EQ(ListItems(), items);
  Options().cbx.set_active_text("Zeta agent");
  dialogs_.answers.push_back(MsgResult::kYes);
  Options().sbminusClick();
  EXPECT_EQ(ListItems().size(), items.size() - 1);
}

TEST_F(PrefsTest, ClosingWritesTheWindowsValuesBackOverTheQuickMenus) {
  Start();
  ASSERT_EQ(Main().Settings.SearchEngine, 1);
  // The quick menu changes the engine and site icons meanwhile.
  Main().gt3Click();
  Main().dISABLE1Click();
  Main().Settings.SearchResultsInTab = false;
  WhileOpen([&] {
    EXPECT_TRUE(Options().rbsb.get_active()) << "the placement is refreshed at each opening";
    Options().BitBtn1.clicked();
  }, [&] { Main().Options1Click(); });
  EXPECT_EQ(Main().Settings.SearchEngine, 1);
  EXPECT_FALSE(Main().Settings.SiteIconsOff);
  EXPECT_FALSE(Main().Settings.SearchResultsInTab);
  // cb4 acts at each click, with the menu's check.
  Options().cb4.set_active(true);
  EXPECT_TRUE(Main().Settings.ClearCacheOnRefresh);
  Main().poptoolPopup();
  EXPECT_TRUE(Main().DeleteTemporaryInternetFilesOnRefresh1.get_active());
  Options().cb4.set_active(false);
  EXPECT_FALSE(Main().Settings.ClearCacheOnRefresh);
}

TEST_F(PrefsTest, TheHomePageDialogCancelsAndAddsTheCurrentPage) {
  Start();
  Tfhomepage& dialog = app_->fhomepage();
  EXPECT_EQ(std::string(dialog.ehomepage.get_text()), "");
  WhileOpen([&] {
    dialog.ehomepage.set_text("http://typed.test/");
    dialog.BitBtn2.clicked();
  }, [&] { dialog.Execute(&Options()); });
  EXPECT_EQ(Main().Settings.HomePage, "");
  EXPECT_EQ(std::string(dialog.ehomepage.get_text()), "") << "the next opening shows the old one";
  WhileOpen([&] {
    dialog.BitBtn3.clicked();
    dialog.BitBtn1.clicked();
  }, [&] { dialog.Execute(&Options()); });
  EXPECT_EQ(Main().Settings.HomePage, "http://start.test/");
  Main().NewTab20Click();
  Main().pdc3Click();
  ASSERT_TRUE(Settle());
  EXPECT_EQ(Main().GetCurrentWB()->LocationURL(), "http://start.test/");
  ASSERT_TRUE(Main().RequestClose());
  PumpIdle();
  EXPECT_EQ(IniFile::Parse(ReadFile(OrvindelDir() + "Orvindel.cfg"))
                .ReadString("Config", "Homepage", "?"),
            "http://start.test/");
}

TEST_F(PrefsTest, AboutShowsTheVersionAndItsLinkOpensTheMakersSite) {
  Start();
  Tfabout& about = app_->fabout();
  for (int i = 0; i < 2; ++i) {
    WhileOpen([&] {
      EXPECT_EQ(std::string(about.Version.get_text()), std::string("Version ") + ORV_VERSION);
      EXPECT_FALSE(about.Status1.get_visible()) << "no notice without the file";
      about.BitBtn1.clicked();
    }, [&] { Main().AboutOrvindel1Click(); });
  }
  EXPECT_EQ(std::string(ORV_VERSION), "1.2.0.0");
  // A notice file of two good lines shows; the link opens a new tab.
  WriteFile(OrvindelDir() + "checkupdate.upd", "12\r\n1.3.0.0\r\n");
  Main().RedirectMode = true;
  const int pages = Main().nbook.PageCount();
  WhileOpen([&] {
    EXPECT_TRUE(about.Status1.get_visible());
    EXPECT_EQ(about.Status1.get_text(), "An update to Orvindel 1.3.0.0 is now avilable.");
    about.Label3Click();
  }, [&] { Main().AboutOrvindel1Click(); });
  EXPECT_FALSE(about.get_visible());
  EXPECT_FALSE(Main().RedirectMode);
  EXPECT_EQ(Main().nbook.PageCount(), pages + 1);
  EXPECT_EQ(std::string(Main().e3.get_text()), ORV_MAKER_URL);
}

TEST_F(PrefsTest, TemporaryInternetFilesAreDeletedOnDemandAndOnRefreshWhenAsked) {
  Start();
  auto clears = [&] { return std::count(web_.log.begin(), web_.log.end(), "clear cache"); };
  Main().DeleteTemporaryInternetFiles2Click();
  EXPECT_EQ(clears(), 1);
  Main().sbrefreshClick();
  EXPECT_EQ(clears(), 1) << "off: a refresh keeps the cache";
  Main().deleterefreshClick();
  Main().sbrefreshClick();
  EXPECT_EQ(clears(), 2);
  ASSERT_TRUE(Main().RequestClose());
  PumpIdle();
  EXPECT_EQ(IniFile::Parse(ReadFile(OrvindelDir() + "Orvindel.cfg"))
                .ReadInteger("Config", "Brisitemp", -1),
            1);
}

class LanguagesTest : public PrefsTest {
 protected:
  // A language server in a folder: Language/languages.lng and the files.
  std::string MakeServerFolder() {
    const std::string folder = root_ + "/server";
    WriteFile(folder + "/Language/languages.lng", "Slovenian\r\nGerman\r\n../escape\r\n");
    WriteFile(folder + "/Language/Slovenian.jez", "[poptool]\nExit=Izhod\nOptions=Moznosti\n");
    WriteFile(folder + "/Language/German.jez", "[poptool]\nExit=Beenden\n");
    return "file://" + folder;
  }
};

TEST_F(LanguagesTest, TheDialogListsTheInstalledLanguages) {
  Start();
  Tfjezik& dialog = app_->fjezik();
  dialog.ListInstalledLanguages();
  EXPECT_TRUE(dialog.Items().empty());
  WriteFile(OrvindelDir() + "Zulu.jez", "");
  WriteFile(OrvindelDir() + "afrikaans.jez", "");
  WriteFile(OrvindelDir() + "readme.txt", "");
  dialog.ListInstalledLanguages();
  EXPECT_EQ(dialog.Items(), (std::vector<std::string>{"afrikaans", "Zulu"}));
}

TEST_F(LanguagesTest, ADownloadThatFailsSaysSoAndKeepsTheList) {
  Start();
  Main().Settings.LanguageServer = MakeServerFolder();
  Tfdl& download = app_->fdl();
  download.FormActivate();
  EXPECT_EQ(download.Items(), (std::vector<std::string>{"German", "Slovenian"}))
      << "a name that would leave the folder is not offered";
  Main().Settings.LanguageServer = "file://" + root_ + "/nowhere";
  download.FormActivate();
  ASSERT_FALSE(dialogs_.shown.empty());
  EXPECT_EQ(dialogs_.shown.back().text, "Error in file download.");
  EXPECT_EQ(download.Items(), (std::vector<std::string>{"German", "Slovenian"}));
}

TEST_F(LanguagesTest, AChosenLanguageRenamesTheMenuAtOnceAndAfterARestart) {
  Start();
  Main().Settings.LanguageServer = MakeServerFolder();
  // Options > Language > Download Languages > double click "Slovenian".
  WhileOpen([&] {
    Glib::signal_idle().connect_once([&] { app_->fdl().lbDblClick("Slovenian"); });
    app_->fjezik().bb2Click();
    EXPECT_EQ(app_->fjezik().Items(), (std::vector<std::string>{"Slovenian"}));
    app_->fjezik().Choose("Slovenian");
  }, [&] { app_->fjezik().Execute(&Main()); });
  EXPECT_EQ(std::string(Main().Exit2.get_label()), "Izhod");
  EXPECT_EQ(std::string(Main().Options1.get_label()), "Moznosti");
  EXPECT_EQ(std::string(Main().Find1.get_label()), "Find");
  ASSERT_TRUE(Main().RequestClose());
  app_.reset();
  PumpIdle();
  Start();
  EXPECT_EQ(std::string(Main().Exit2.get_label()), "Izhod");
  // "English" goes back to the built-in captions.
  app_->fjezik().Choose("");
  EXPECT_EQ(std::string(Main().Exit2.get_label()), "Exit");
}

TEST_F(LanguagesTest, AnHttpServerServesTheLanguagesToo) {
  LocalServer server([](SoupServerMessage* msg, const std::string& path) {
    static const char kList[] = "German\r\n";
    static const char kGerman[] = "[poptool]\nExit=Beenden\n";
    const char* body = path == "/Language/languages.lng" ? kList
                       : path == "/Language/German.jez"  ? kGerman
                                                         : nullptr;
    if (!body) {
      soup_server_message_set_status(msg, 404, nullptr);
      return;
    }
    soup_server_message_set_status(msg, 200, nullptr);
    soup_server_message_set_response(msg, "text/plain", SOUP_MEMORY_STATIC, body, strlen(body));
  });
  Start();
  Main().Settings.LanguageServer = server.Url("/");
  app_->fdl().FormActivate();
  EXPECT_EQ(app_->fdl().Items(), (std::vector<std::string>{"German"}));
  app_->fdl().lbDblClick("German");
  EXPECT_EQ(ReadFile(OrvindelDir() + "German.jez"), "[poptool]\nExit=Beenden\n");
}

}  // namespace
}  // namespace orv::test
