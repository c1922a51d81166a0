// The main window's start-up and close over the fake engine.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/ini_file.h"
#include "platform/files.h"
#include "platform/main_loop.h"
#include "favorites/favorites_window.h"
#include "prefs/options_window.h"
#include "shell/main_window.h"
#include "window_fixture.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;

class MainWindowTest : public WindowTest {
 protected:
  TMainForm& Main() { return app_->MainForm(); }
  IniFile ReadIni(const std::string& name) { return IniFile::Parse(ReadFile(OrvindelDir() + name)); }
  bool Close() {
    const bool closed = Main().RequestClose();
    PumpIdle();
    return closed;
  }
};

TEST_F(MainWindowTest, FirstRunCreatesFoldersMaximizesAndTakesDefaults) {
  StartApp();
  EXPECT_TRUE(fs::is_directory(root_ + "/data/Orvindel"));
  EXPECT_TRUE(fs::is_directory(root_ + "/data/ovTemp"));
  EXPECT_EQ(Main().Status(), kStatusMaximized);
  EXPECT_TRUE(Main().StartupFinished);
  EXPECT_EQ(Main().CurrentUserAgent, kDefaultUserAgent);
  EXPECT_EQ(Main().Settings.HomePage, "");
  EXPECT_TRUE(Main().Settings.NewTabOpensHome);
  EXPECT_EQ(Main().Settings.FloatingBarX, 1280 - 300);
  ASSERT_NE(Main().GetCurrentWB(), nullptr);
  EXPECT_EQ(Main().GetCurrentWB(), Main().FirstBrowser());
  EXPECT_EQ(Main().FirstBrowser()->UserAgent(), kDefaultUserAgent);
  EXPECT_TRUE(Main().FirstBrowser()->Silent());
  // The system has no start page to offer: the first tab loads nothing.
  for (const auto& line : web_.log) EXPECT_NE(line.rfind("load ", 0), 0u) << line;
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(MainWindowTest, WindowsAreCreatedInTheStartUpOrder) {
  StartApp();
  std::vector<std::string> names;
  for (Gtk::Window* w : app_->Windows()) names.push_back(w->get_name());
  const std::vector<std::string> expected = {
      "TMainForm", "Tffavorit", "Tfaddfav",  "Tfabout",  "Tftransparent",   "Tfrss",   "Tfmanage",
      "Tfslide",   "Tfgoogle",  "Tfinfo1",   "Tfslike",  "Tfdesigner",      "Tfeditfavorites",
      "Tfhint",    "Tfoptions", "Tfred",     "Tfaddstring", "Tfjezik",      "Tfdl",    "Tfhomepage"};
  EXPECT_EQ(names, expected);
  // Hidden, all but the floating bar, which shows in floating mode, the
  // mode of a first run.
  for (size_t i = 1; i < app_->Windows().size(); ++i) {
    EXPECT_EQ(app_->Windows()[i]->get_visible(), names[i] == "Tfhint") << names[i];
  }
  EXPECT_TRUE(Main().get_visible());
}

TEST_F(MainWindowTest, HomePageIsOpenedAndTheLastArgumentWins) {
  WriteFile(OrvindelDir() + "Orvindel.cfg", "[Config]\nHomepage=http://home.test/\n");
  web_.pages["http://second.test/"] = {"Second page", "<p>2</p>"};
  StartApp({"http://first.test/", "", "second.test/"});
  ASSERT_TRUE(Pump([&] { return Main().GetCurrentWB()->LocationURL() == "http://second.test/" &&
                                Main().GetCurrentWB()->ReadyState() == 4; }));
  PumpIdle();
  EXPECT_EQ(web_.log[0], "agent " + std::string(kDefaultUserAgent));
  EXPECT_EQ(std::count(web_.log.begin(), web_.log.end(), "load http://home.test/"), 1);
  EXPECT_EQ(std::count(web_.log.begin(), web_.log.end(), "load http://first.test/"), 1);
  EXPECT_EQ(Main().e3.get_text(), "http://second.test/");
  EXPECT_EQ(Main().tsmain.Caption(), "Second page     ");
  EXPECT_EQ(Main().CurrentPageTitle, "Second page");
}

TEST_F(MainWindowTest, LongTitlesAreCutInTheTabButKeptWhole) {
  const std::string title(45, 'T');
  web_.pages["http://long.test/"] = {title, ""};
  StartApp({"http://long.test/"});
  ASSERT_TRUE(Pump([&] { return Main().CurrentPageTitle == title; }));
  EXPECT_EQ(Main().tsmain.Caption(), std::string(40, 'T') + "...     ");
  EXPECT_EQ(Main().FirstBrowser()->TabTitle, std::string(40, 'T') + "...");
}

TEST_F(MainWindowTest, CloseBeforeStartUpFinishedIsRefusedAndWritesNothing) {
  StartApp();
  Main().StartupFinished = false;
  EXPECT_FALSE(Close());
  EXPECT_FALSE(Main().Closed());
  EXPECT_FALSE(fs::exists(OrvindelDir() + "Orvindel.cfg"));
  EXPECT_FALSE(fs::exists(OrvindelDir() + "uas.cfg"));
  EXPECT_FALSE(fs::exists(OrvindelDir() + "Progset.cfg"));
  // "Exit" closes all the same.
  Main().Exit2Click();
  PumpIdle();
  EXPECT_TRUE(Main().Closed());
  EXPECT_TRUE(fs::exists(OrvindelDir() + "Orvindel.cfg"));
}

TEST_F(MainWindowTest, CloseWritesEverySettingsFile) {
  WriteFile(OrvindelDir() + "Orvindel.cfg",
            "[Config]\nTABS=3\nSEARCH=7\nSPEEDSEARCH=1\nbacktext=4\nkam=0\n[Other]\nmine=1\n");
  StartApp();
  ASSERT_TRUE(Close());
  EXPECT_FALSE(Main().get_visible());
  EXPECT_EQ(Main().FirstBrowser(), nullptr) << "the first browser is released";

  const IniFile cfg = ReadIni("Orvindel.cfg");
  EXPECT_EQ(cfg.ReadString("Config", "TABS", ""), "0");
  EXPECT_EQ(cfg.ReadString("Config", "SEARCH", ""), "7") << "not written for engine 0";
  EXPECT_EQ(cfg.ReadString("Config", "SPEEDSEARCH", ""), "1") << "never written";
  EXPECT_EQ(cfg.ReadString("Config", "backtext", ""), "0");
  EXPECT_EQ(cfg.ReadString("Config", "kam", ""), "0");
  EXPECT_EQ(cfg.ReadString("Config", "transparent", ""), "155");
  EXPECT_EQ(cfg.ReadString("hmenu", "x", ""), "980");
  EXPECT_EQ(cfg.ReadString("Qmenu", "Hide", ""), "1");
  EXPECT_EQ(cfg.ReadString("Other", "mine", ""), "1");

  const std::string uas = ReadFile(OrvindelDir() + "uas.cfg");
  EXPECT_EQ(std::count(uas.begin(), uas.end(), '\n'), 6);
  EXPECT_EQ(uas.rfind("Mozilla/5.0 (compatible; MSIE 10.0; Windows NT 6.1; Trident/6.0)\r\n", 0),
            0u);
  EXPECT_EQ(uas.substr(uas.size() - 12), "X was here\r\n");

  const IniFile geometry = ReadIni("Progset.cfg");
  EXPECT_EQ(geometry.ReadInteger("Velikost", "Status", -1), kStatusMaximized);
  EXPECT_TRUE(fs::exists(OrvindelDir() + "color.cld"));
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(MainWindowTest, GeometryStatusSurvivesARestart) {
  struct Case {
    const char* stored;
    int status;
  } cases[] = {
      {"[Velikost]\nSirina=800\nVisina=600\nLevo=10\nGor=20\nStatus=1\n", kStatusMinimized},
      {"[Velikost]\nSirina=810\nVisina=610\nLevo=11\nGor=21\nStatus=2\n", kStatusMaximized},
  };
  for (const auto& c : cases) {
    WriteFile(OrvindelDir() + "Progset.cfg", c.stored);
    StartApp();
    EXPECT_EQ(Main().Status(), c.status);
    ASSERT_TRUE(Close());
    const IniFile written = ReadIni("Progset.cfg");
    const IniFile stored = IniFile::Parse(c.stored);
    // Minimized or maximized, the restored rectangle is what is kept.
    for (const char* key : {"Sirina", "Visina", "Levo", "Gor", "Status"}) {
      EXPECT_EQ(written.ReadInteger("Velikost", key, -1), stored.ReadInteger("Velikost", key, -2))
          << key << " of " << c.stored;
    }
    app_.reset();
    SetTerminating(false);
  }
}

TEST_F(MainWindowTest, CloseDuringAWaitHappensOnceTheWaitIsOver) {
  StartApp();
  g_idle_add(
      [](gpointer main) -> gboolean {
        static_cast<TMainForm*>(main)->Exit2Click();
        return G_SOURCE_REMOVE;
      },
      &Main());
  // A handler waiting for a page, as the address-bar search does.
  const gint64 start = g_get_monotonic_time();
  WaitUntil([] { return false; }, 5000);
  EXPECT_LT(g_get_monotonic_time() - start, 1'000'000) << "the close ends the wait";
  EXPECT_FALSE(Main().Closed());
  EXPECT_NE(Main().FirstBrowser(), nullptr) << "nothing is destroyed under the waiting handler";
  PumpIdle();
  EXPECT_TRUE(Main().Closed());
  EXPECT_TRUE(fs::exists(OrvindelDir() + "Orvindel.cfg"));
}

TEST_F(MainWindowTest, FavoritesButtonOpensTheListAndCloseWritesIt) {
  StartApp();
  Main().pde.clicked();
  PumpIdle();
  EXPECT_TRUE(app_->ffavorit().get_visible());
  EXPECT_FALSE(fs::exists(OrvindelDir() + "2favlist.ovf"));
  ASSERT_TRUE(Main().RequestClose());
  EXPECT_EQ(ReadFile(OrvindelDir() + "2favlist.ovf").substr(0, 3), "LVF");
}

TEST_F(MainWindowTest, AQuestionOpenWhenTheProgramClosesIsAnsweredNo) {
  GtkDialogs real;
  g_timeout_add(
      100,
      [](gpointer) -> gboolean {
        SetTerminating(true);
        return G_SOURCE_REMOVE;
      },
      nullptr);
  const MsgResult answer = real.MessageBox(nullptr, "Pop-up blocked\r\r\rAllow Pop-up?", "Orvindel",
                                           MsgButtons::kYesNo, MsgIcon::kStop, MsgResult::kYes);
  EXPECT_EQ(answer, MsgResult::kNo);
}

TEST_F(MainWindowTest, OldListFilesMoveIntoTheOrvindelFolder) {
  WriteFile(root_ + "/prog/2favlist.ovf", "favorites");
  WriteFile(root_ + "/prog/2rss.ovf", "feeds, program copy");
  WriteFile(OrvindelDir() + "2rss.ovf", "feeds, user copy");
  StartApp();
  EXPECT_EQ(ReadFile(OrvindelDir() + "2favlist.ovf"), "favorites");
  EXPECT_FALSE(fs::exists(root_ + "/prog/2favlist.ovf"));
  EXPECT_EQ(ReadFile(root_ + "/prog/2rss.ovf"), "feeds, program copy");
  EXPECT_EQ(ReadFile(OrvindelDir() + "2rss.ovf"), "feeds, user copy");
}

TEST_F(MainWindowTest, BadSettingsFilesStartWithDefaultsSilently) {
  const std::string cases[] = {
      std::string("\0\xFF\xFE garbage \x01\x02", 16),
      "[Config]\n[Config]\nTABS=1\nTABS=x\n" + std::string(300000, 'z') + "\n",
      "[Config]\nHomepage=caf\xE9.test\n",  // Windows-1252
  };
  for (const auto& bytes : cases) {
    WriteFile(OrvindelDir() + "Orvindel.cfg", bytes);
    WriteFile(OrvindelDir() + "Progset.cfg", bytes);
    WriteFile(OrvindelDir() + "color.cld", bytes);
    WriteFile(OrvindelDir() + "uas.cfg", bytes);
    StartApp();
    EXPECT_TRUE(Main().StartupFinished);
    EXPECT_TRUE(dialogs_.shown.empty());
    EXPECT_FALSE(app_->fOptions().UserAgents().empty());
    ASSERT_TRUE(Close());
    app_.reset();
    SetTerminating(false);
  }
  // The Windows-1252 home page was read as text, and written back as UTF-8.
  EXPECT_EQ(ReadIni("Orvindel.cfg").ReadString("Config", "Homepage", ""), "caf\xC3\xA9.test");
}

TEST_F(MainWindowTest, UnusableDataFolderStartsWithDefaultsAndClosesQuietly) {
  // The data folder's place is taken by a file: nothing can be created there.
  WriteFile(root_ + "/blocked", "not a folder");
  services_.folders.data_dir = root_ + "/blocked/";
  StartApp({"http://page.test/"});
  EXPECT_TRUE(Main().StartupFinished);
  EXPECT_EQ(Main().Settings.Transparency, 155);
  ASSERT_TRUE(Pump([&] { return Main().GetCurrentWB()->ReadyState() == 4; }));
  EXPECT_TRUE(Close());
  EXPECT_TRUE(dialogs_.shown.empty());
  EXPECT_EQ(ReadFile(root_ + "/blocked"), "not a folder");
}

TEST_F(MainWindowTest, UnreadableConfigurationIsKeptBeforeItIsReplaced) {
  const std::string huge = "[Config]\nHomepage=x\n" + std::string(IniFile::kMaxBytes + 10, ' ');
  WriteFile(OrvindelDir() + "Orvindel.cfg", huge);
  StartApp();
  ASSERT_TRUE(Close());
  EXPECT_EQ(ReadFile(OrvindelDir() + "Orvindel.cfg.bak").size(), huge.size());
  EXPECT_TRUE(ReadIni("Orvindel.cfg").HasKey("Config", "backtext"));
}

TEST_F(MainWindowTest, ExceptionsEscapingHandlersReachTheMessageBox) {
  StartApp();
  // A gtkmm signal handler.
  Main().e3.signal_activate().connect([] { throw std::runtime_error("from a toolkit handler"); });
  Main().e3.activate();
  // An engine event handler, called back from engine code.
  Main().FirstBrowser()->OnTitleChange = [](TWebBrowser&, const std::string&) {
    throw std::runtime_error("from an engine handler");
  };
  Main().FirstBrowser()->Navigate("http://boom.test/");
  ASSERT_TRUE(Pump([&] { return dialogs_.shown.size() >= 2; }));
  EXPECT_EQ(dialogs_.shown[0].text, "from a toolkit handler");
  EXPECT_EQ(dialogs_.shown[0].caption, kApplicationTitle);
  EXPECT_EQ(dialogs_.shown[0].icon, MsgIcon::kError);
  EXPECT_EQ(dialogs_.shown[1].text, "from an engine handler");
  // The program goes on: the page still completes.
  EXPECT_TRUE(Pump([&] { return Main().FirstBrowser()->ReadyState() == 4 &&
                                Main().e3.get_text() == "http://boom.test/"; }));
}

TEST_F(MainWindowTest, StatusTextShowsInTheWindowCaption) {
  StartApp({"http://page.test/"});
  ASSERT_TRUE(Pump([&] { return Main().GetCurrentWB()->ReadyState() == 4 &&
                                !web_.backends.empty(); }));
  web_.backends[0]->HoverLink("http://link.test/a");
  EXPECT_EQ(Main().get_title(), "Orvindel - [ http://link.test/a ]");
  web_.backends[0]->HoverLink("");
  EXPECT_EQ(Main().get_title(), "Orvindel");
}

}  // namespace
}  // namespace orv::test
