// The main window's start-up and close over the fake engine.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "common/ini_file.h"
#include "platform/files.h"
#include "platform/main_loop.h"
#include "platform/startup_steps.h"
#include "favorites/favorites_window.h"
#include "prefs/options_window.h"
#include "shell/main_window.h"
#include "window_fixture.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

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
      "\0\xFF\xFE garbage \x01\x02"s,
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

TEST_F(MainWindowTest, AnUnusableDataFolderIsToldOnceAndTheProgramGoesOn) {
  // The data folder's place is taken by a file: nothing can be created there.
  WriteFile(root_ + "/blocked", "not a folder");
  services_.folders.data_dir = root_ + "/blocked/";
  StartApp({"http://page.test/"});
  EXPECT_TRUE(Main().StartupFinished);
  EXPECT_EQ(Main().Settings.Transparency, 155);
  EXPECT_TRUE(dialogs_.shown.empty()) << "not in the middle of start-up";
  ASSERT_TRUE(Pump([&] { return Main().GetCurrentWB()->ReadyState() == 4; }));
  PumpIdle();
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].text,
            "Your settings cannot be saved: the folder \"" + root_ +
                "/blocked/Orvindel\" cannot be written (Not a directory).\r\rOrvindel goes on, "
                "but what you change in this session will not be kept.");
  EXPECT_EQ(dialogs_.shown[0].icon, MsgIcon::kWarning);
  EXPECT_TRUE(Close());
  EXPECT_EQ(dialogs_.shown.size(), 1u) << "once per run, not again at close";
  EXPECT_EQ(ReadFile(root_ + "/blocked"), "not a folder");
}

TEST_F(MainWindowTest, AFolderThatBreaksDuringTheRunIsToldAtClose) {
  StartApp();
  PumpIdle();
  EXPECT_TRUE(dialogs_.shown.empty());
  fs::remove_all(OrvindelDir());
  WriteFile(root_ + "/data/Orvindel", "a file now");
  EXPECT_TRUE(Close());
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_NE(dialogs_.shown[0].text.find("/data/Orvindel\" cannot be written (Not a directory)"),
            std::string::npos)
      << dialogs_.shown[0].text;
}

TEST_F(MainWindowTest, SettingsFilesNotReadWholeAreKeptBeforeTheirFirstOverwrite) {
  const std::string huge_config = "[Config]\nHomepage=x\n" + std::string(IniFile::kMaxBytes, ' ');
  const std::string garbage = "\x89PNG\r\n\x1A\n\0\0\0\rIHDR binary"s;
  const std::string long_agent = std::string(2 * 1024 * 1024, 'A') + "\r\n";
  struct Case {
    const char* file;
    std::string bytes;
  } cases[] = {
      {"Orvindel.cfg", huge_config},
      {"Orvindel.cfg", garbage},
      {"Orvindel.cfg", "[Config]\nHomepage=http://mine.test/\nthis line is not a setting\n"},
      {"uas.cfg", long_agent},
      {"Progset.cfg", garbage},
      {"color.cld", garbage},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string path = OrvindelDir() + c.file;
    fs::remove_all(OrvindelDir());
    WriteFile(path + ".bad1", "an earlier copy");
    WriteFile(path, c.bytes);
    StartApp();
    ASSERT_TRUE(Close());
    EXPECT_EQ(ReadFile(path + ".bad1"), "an earlier copy");
    EXPECT_EQ(ReadFile(path + ".bad2"), c.bytes);
    EXPECT_NE(ReadFile(path), c.bytes) << "replaced by what the program holds";
    app_.reset();
    SetTerminating(false);
    // The program's own file needs no copy at the next close.
    StartApp();
    ASSERT_TRUE(Close());
    EXPECT_FALSE(fs::exists(path + ".bad3"));
    app_.reset();
    SetTerminating(false);
  }
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(MainWindowTest, AWindowStoredOffScreenIsCentred) {
  WriteFile(OrvindelDir() + "Progset.cfg",
            "[Velikost]\nSirina=800\nVisina=600\nLevo=-32767\nGor=-32767\nStatus=0\n");
  StartApp();
  ASSERT_TRUE(Close());
  const IniFile g = ReadIni("Progset.cfg");
  EXPECT_EQ(g.ReadInteger("Velikost", "Levo", 0), (1280 - 800) / 2);
  EXPECT_EQ(g.ReadInteger("Velikost", "Gor", 0), (1024 - 600) / 2);
  EXPECT_EQ(g.ReadInteger("Velikost", "Sirina", 0), 800);
}

TEST_F(MainWindowTest, StaleTemporariesOfInterruptedWritesGoAtStartUp) {
  WriteFile(OrvindelDir() + "color.cld.k3Jx9Q", "left by a kill");
  WriteFile(OrvindelDir() + "Orvindel.cfg.P0o9I8", "another instance writing now");
  const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(5);
  fs::last_write_time(OrvindelDir() + "color.cld.k3Jx9Q", old);
  StartApp();
  EXPECT_FALSE(fs::exists(OrvindelDir() + "color.cld.k3Jx9Q"));
  EXPECT_TRUE(fs::exists(OrvindelDir() + "Orvindel.cfg.P0o9I8"));
}

// A termination signal at any step of start-up: the close waits for start-up
// to finish, then writes back exactly what was read.
TEST_F(MainWindowTest, ExitDuringAnyStartUpStepClosesAfterwardsAndKeepsTheSettings) {
  WriteFile(OrvindelDir() + "Orvindel.cfg",
            "[Config]\nHomepage=http://mine.test/\ntransparent=200\nkam=0\n");
  WriteFile(OrvindelDir() + "Progset.cfg",
            "[Velikost]\nSirina=800\nVisina=600\nLevo=10\nGor=20\nStatus=0\n");
  // The program's own form of these files, as one normal run leaves them.
  StartApp();
  ASSERT_TRUE(Close());
  app_.reset();
  SetTerminating(false);
  const std::string config = ReadFile(OrvindelDir() + "Orvindel.cfg");
  ASSERT_NE(config.find("Homepage=http://mine.test/"), std::string::npos);
  ASSERT_NE(config.find("transparent=200"), std::string::npos);
  const std::string geometry = ReadFile(OrvindelDir() + "Progset.cfg");

  for (int step = 1; step <= 18; ++step) {
    SCOPED_TRACE("step " + std::to_string(step));
    SetStartupStepObserver([&](int at) {
      if (at == step) app_->MainForm().Exit2Click();
    });
    StartApp();
    SetStartupStepObserver(nullptr);
    EXPECT_FALSE(Main().Closed()) << "not while start-up runs";
    PumpIdle();
    EXPECT_TRUE(Main().Closed());
    EXPECT_EQ(ReadFile(OrvindelDir() + "Orvindel.cfg"), config);
    EXPECT_EQ(ReadFile(OrvindelDir() + "Progset.cfg"), geometry);
    EXPECT_TRUE(fs::exists(OrvindelDir() + "uas.cfg"));
    app_.reset();
    SetTerminating(false);
  }
}

// A close asked for while a browser's own handler runs (here: the handler
// lets pending events run, and the close comes in meanwhile) must not destroy
// that browser under it.
TEST_F(MainWindowTest, ExitInsideABrowserHandlerWaitsForTheHandlerToReturn) {
  StartApp({"http://page.test/"});
  ASSERT_TRUE(Settle());
  bool browser_alive_in_handler = false;
  bool ran = false;
  Main().FirstBrowser()->OnTitleChange = [&](TWebBrowser& sender, const std::string&) {
    if (ran) return;
    ran = true;
    g_idle_add(
        [](gpointer main) -> gboolean {
          static_cast<TMainForm*>(main)->Exit2Click();
          return G_SOURCE_REMOVE;
        },
        &Main());
    PumpIdle();
    browser_alive_in_handler = Main().FirstBrowser() == &sender && !Main().Closed();
  };
  Main().FirstBrowser()->Navigate("http://again.test/");
  // Not the waiting loop: a close also waits for every wait to end.
  for (int i = 0; i < 100 && !ran; ++i) {
    PumpIdle();
    g_usleep(10'000);
  }
  ASSERT_TRUE(ran);
  EXPECT_TRUE(browser_alive_in_handler);
  PumpIdle();
  EXPECT_TRUE(Main().Closed()) << "closed once the handler returned";
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
