// Pop-ups, redirect mode and find, over the fake engine and scripted dialogs.
#include <gtest/gtest.h>

#include "engine/find_dialog.h"
#include "pagetools/quick_search_window.h"
#include "pagetools/search_hint_window.h"
#include "platform/main_loop.h"
#include "pagetools/social_links.h"
#include "shell/main_window.h"
#include "shell/redirect_notice_window.h"
#include "window_fixture.h"

namespace orv::test {
namespace {

class PopupsTest : public WindowTest {
 protected:
  TMainForm& Main() { return app_->MainForm(); }
  void Start() {
    StartApp({"http://opener.test/"});
    ASSERT_TRUE(Settle());
  }
  FakeBackend& FirstEngine() { return *web_.backends[0]; }
};

TEST_F(PopupsTest, BlockerAsksAndYesOpensOneTab) {
  Start();
  dialogs_.answers = {MsgResult::kYes};
  EXPECT_TRUE(FirstEngine().OpenWindow("http://popup.test/"));
  ASSERT_TRUE(Settle());
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].text, "Pop-up blocked\r\r\rAllow Pop-up?");
  EXPECT_EQ(dialogs_.shown[0].caption, "Orvindel");
  EXPECT_EQ(dialogs_.shown[0].buttons, MsgButtons::kYesNo);
  EXPECT_EQ(dialogs_.shown[0].icon, MsgIcon::kStop);
  EXPECT_EQ(dialogs_.beeps, 1);
  EXPECT_TRUE(Main().Settings.PopupsAllowed);
  EXPECT_EQ(Main().nbook.PageCount(), 2);
  EXPECT_EQ(Main().GetCurrentWB()->LocationURL(), "http://popup.test/");
  EXPECT_EQ(Loads("http://popup.test/"), 2) << "the catcher's load and the new tab's";
  EXPECT_EQ(std::count(web_.log.begin(), web_.log.end(), "cancelled http://popup.test/"), 1);
  ASSERT_TRUE(Main().RequestClose());
  EXPECT_NE(ReadFile(OrvindelDir() + "Orvindel.cfg").find("popblock=1"), std::string::npos);
}

TEST_F(PopupsTest, NoOpensNothingAndLeavesNothingLoading) {
  Start();
  const size_t browsers = web_.backends.size();
  dialogs_.answers = {MsgResult::kNo};
  FirstEngine().OpenWindow("http://popup.test/");
  ASSERT_TRUE(Settle());
  EXPECT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_FALSE(Main().Settings.PopupsAllowed);
  EXPECT_EQ(Main().nbook.PageCount(), 1);
  EXPECT_EQ(Main().PopupCatcher(), nullptr) << "the refused pop-up is gone";
  PumpIdle();
  EXPECT_EQ(web_.backends.size(), browsers);
}

TEST_F(PopupsTest, BlockerOffOpensATabOnlyForALoadedOpener) {
  Start();
  Main().Settings.PopupsAllowed = true;
  EXPECT_TRUE(FirstEngine().OpenWindow("http://linked.test/"));
  ASSERT_TRUE(Settle());
  EXPECT_TRUE(dialogs_.shown.empty());
  ASSERT_EQ(Main().nbook.PageCount(), 2);
  EXPECT_EQ(Main().GetCurrentWB()->LocationURL(), "http://linked.test/");
  // While the opener is still loading, its windows are dropped.
  Main().FirstBrowser()->Navigate("http://again.test/");
  ASSERT_TRUE(Pump([&] { return FirstEngine().IsLoading(); }));
  EXPECT_FALSE(FirstEngine().OpenWindow("http://dropped.test/"));
  ASSERT_TRUE(Settle());
  EXPECT_EQ(Main().nbook.PageCount(), 2);
  EXPECT_EQ(Loads("http://dropped.test/"), 0);
}

TEST_F(PopupsTest, RedirectModeSendsNavigationsToTheSidePanel) {
  Start();
  Main().RedirectPanelFirstWidth = 400;
  Main().RedirectMode = true;
  Main().Timer1Timer();
  Main().FirstBrowser()->Navigate("http://clicked.test/");
  ASSERT_TRUE(Pump([&] { return Main().SideBrowser() != nullptr; }));
  EXPECT_EQ(std::string(Main().pcaption.get_text()), "Redirect from http://clicked.test/");
  ASSERT_TRUE(Settle());
  EXPECT_EQ(Main().FirstBrowser()->LocationURL(), "http://opener.test/") << "the tab stays";
  EXPECT_EQ(Main().SideBrowser()->LocationURL(), "http://clicked.test/");
  EXPECT_TRUE(Main().dxpanel.get_visible());
  // The panel is placed when the window lays itself out again.
  EXPECT_TRUE(Pump([&] {
    return Main().spliter.get_allocated_width() - Main().spliter.get_position() == 430;
  }, 3000)) << "first width + 30: " << Main().spliter.get_allocated_width() << " - "
            << Main().spliter.get_position();
  EXPECT_TRUE(app_->fred().get_visible());

  // A page's window goes to the side panel too, without a question.
  FirstEngine().OpenWindow("http://window.test/");
  ASSERT_TRUE(Settle());
  EXPECT_TRUE(dialogs_.shown.empty());
  EXPECT_EQ(Main().SideBrowser()->LocationURL(), "http://window.test/");

  // Off: the notice says so once.
  Main().x108Click();
  EXPECT_FALSE(Main().RedirectMode);
  EXPECT_FALSE(Main().dxpanel.get_visible());
  app_->fred().hide();
  Main().Timer1Timer();
  EXPECT_EQ(std::string(app_->fred().Panel1.get_text()), Tfred::kOffText);
  EXPECT_TRUE(app_->fred().get_visible());
  app_->fred().hide();
  Main().Timer1Timer();
  EXPECT_FALSE(app_->fred().get_visible());
}

TEST_F(PopupsTest, NoticeFadesAndClosesAtTheFourthTick) {
  StartApp();
  Tfred& notice = app_->fred();
  notice.ShowNotice();
  std::vector<int> alphas = {notice.Alpha()};
  for (int i = 0; i < 4; ++i) {
    notice.Timer1Timer();
    alphas.push_back(notice.Alpha());
  }
  EXPECT_EQ(alphas, (std::vector<int>{255, 205, 155, 105, 255}));
  EXPECT_FALSE(notice.get_visible());
  EXPECT_FALSE(notice.Fading());
  // Switching the mode on waits for the notice to fade by itself.
  const gint64 start = g_get_monotonic_time();
  Main().RedirecttoNewWindow1Click();
  EXPECT_TRUE(Main().RedirectMode);
  EXPECT_EQ(std::string(notice.Panel1.get_text()), Tfred::kOnText);
  EXPECT_FALSE(notice.get_visible());
  EXPECT_GE(g_get_monotonic_time() - start, 400'000) << "at least three ticks of 150 ms";
}

TEST_F(PopupsTest, FindOpensTheDialogOfTheCurrentBrowser) {
  web_.pages["http://opener.test/"] = {"Opener", "<p>Some Words here</p>"};
  Start();
  Main().Find1Click();
  FindDialog* dialog = Main().FirstBrowser()->FindDialogIfAny();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->Visible());
  gtk_entry_set_text(dialog->find_what(), "words");
  dialog->FindNext();
  ASSERT_TRUE(Pump([&] { return dialog->Status() == "Found"; }));
  gtk_toggle_button_set_active(dialog->match_case(), TRUE);
  dialog->FindNext();
  ASSERT_TRUE(Pump([&] { return dialog->Status() == "Cannot find \"words\""; }));
  EXPECT_EQ(web_.log.back(), "find words case");
  dialog->Close();
  EXPECT_FALSE(dialog->Visible());
  EXPECT_EQ(web_.log.back(), "find finish");
}

TEST_F(PopupsTest, FindWithoutADocumentDoesNothing) {
  StartApp();
  Main().Find1Click();
  EXPECT_EQ(Main().FirstBrowser()->FindDialogIfAny(), nullptr);
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(PopupsTest, QuickWebSearchOfTheSelection) {
  Start();
  struct Case {
    int engine;
    bool in_tab;
    std::string selection;
    std::string address;  // as the engine is asked to load it
  } cases[] = {
      {1, true, "two words", "http://www.google.com/search?ie=ISO-8859-1&hl=us&q=two%20words"},
      {4, true, "Ljubljana", "http://en.wikipedia.org/wiki/Ljubljana"},
      {3, false, "in window", "http://search.yahoo.com/bin/search?p=in%20window"},
  };
  for (const auto& c : cases) {
    Main().Settings.SearchEngine = c.engine;
    Main().Settings.SearchResultsInTab = c.in_tab;
    FirstEngine().selection = c.selection;
    Main().nbook.SetActivePageIndex(0);
    const int pages = Main().nbook.PageCount();
    web_.log.clear();
    Main().sb16Click();
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Loads(c.address), 1) << c.selection;
    EXPECT_EQ(Main().nbook.PageCount(), pages + (c.in_tab ? 1 : 0)) << c.selection;
    EXPECT_EQ(Main().QuickSearchText, c.in_tab ? "" : c.selection);
    app_->fgoogle().hide();
  }
}

TEST_F(PopupsTest, NothingSelectedShowsTheHintAndSearchesNothing) {
  Start();
  FirstEngine().selection = "";
  web_.log.clear();
  Main().sb16Click();
  ASSERT_TRUE(Settle());
  EXPECT_TRUE(app_->finfo1().get_visible());
  for (const auto& line : web_.log) EXPECT_NE(line.rfind("load ", 0), 0u) << line;
}

TEST_F(PopupsTest, TranslateAndTheSocialBar) {
  Start();
  Main().e3.set_text("");
  Main().xtranslateClick();
  ASSERT_TRUE(Settle());
  EXPECT_EQ(Main().GetCurrentWB()->LocationURL(), "http://translate.google.com/translate?u=");
  Gtk::Button* links[] = {&Main().socialbar.s1, &Main().socialbar.s2, &Main().socialbar.s3,
                          &Main().socialbar.s4, &Main().socialbar.s5};
  for (int i = 0; i < 5; ++i) {
    links[i]->clicked();
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Main().nbook.PageCount(), 3 + i);
    // The mail link has no scheme of its own and is loaded as a web address.
    EXPECT_NE(Main().GetCurrentWB()->LocationURL().find(SocialLinkAddress(i + 1)), std::string::npos);
  }
  EXPECT_EQ(Main().GetCurrentWB()->LocationURL(), "http://www.youtube.com/");
  EXPECT_TRUE(Main().socialbar.get_visible());
  Main().snbClick();
  EXPECT_FALSE(Main().socialbar.get_visible());
  ASSERT_TRUE(Main().RequestClose());
  EXPECT_NE(ReadFile(OrvindelDir() + "Orvindel.cfg").find("Socialbar=0"), std::string::npos);
}

TEST_F(PopupsTest, QuickPanelAndMenuFollowTheirSettings) {
  WriteFile(OrvindelDir() + "Orvindel.cfg", "[Qmenu]\nHide=0\n[Config]\nSocialbar=1\n");
  Start();
  EXPECT_FALSE(Main().p2.get_visible());
  Main().em1Click();
  EXPECT_TRUE(Main().p2.get_visible());
  Main().xzapriClick();
  Main().CustomizeButton.clicked();
  EXPECT_TRUE(Main().em1.get_active());
  EXPECT_FALSE(Main().snb.get_active()) << "the check mark says the bar is hidden";
  Main().poptool.popdown();
  // The panel's New Tab switches redirect mode off before it opens a page.
  Main().RedirectMode = true;
  Main().XNEWB.clicked();
  ASSERT_TRUE(Settle());
  EXPECT_FALSE(Main().RedirectMode);
  EXPECT_EQ(Main().nbook.PageCount(), 2);
  ASSERT_TRUE(Main().RequestClose());
  const std::string cfg = ReadFile(OrvindelDir() + "Orvindel.cfg");
  EXPECT_NE(cfg.find("[Qmenu]\nHide=1"), std::string::npos) << cfg;
  EXPECT_NE(cfg.find("Socialbar=0"), std::string::npos);
}

}  // namespace
}  // namespace orv::test
