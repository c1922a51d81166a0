// The Quick Web Search window, the search hint and the social bar over the
// fake engine.
#include <gtest/gtest.h>

#include <algorithm>

#include "pagetools/quick_search_window.h"
#include "pagetools/search_engines.h"
#include "pagetools/search_hint_window.h"
#include "pagetools/social_bar_widget.h"
#include "pagetools/social_links.h"
#include "shell/main_window.h"
#include "window_fixture.h"

namespace orv::test {
namespace {

class QuickSearchTest : public WindowTest {
 protected:
  TMainForm& Main() { return app_->MainForm(); }
  Tfgoogle& Window() { return app_->fgoogle(); }
  FakeBackend& WindowEngine() { return static_cast<FakeBackend&>(Window().wbweb().Backend()); }

  void Start() {
    StartApp({"http://first.test/"});
    ASSERT_TRUE(Settle());
  }
  // What the main window's Quick Web Search does in window mode.
  void Search(const std::string& text) {
    Main().QuickSearchText = text;
    Window().ShowResults(BuildSearchAddress(Main().Settings.SearchEngine, text));
    ASSERT_TRUE(Settle());
  }
  void PressEscape(Gtk::Window& window) {
    GdkEventKey event{};
    event.type = GDK_KEY_PRESS;
    event.window = window.get_window() ? window.get_window()->gobj() : nullptr;
    event.keyval = GDK_KEY_Escape;
    gboolean handled = FALSE;
    g_signal_emit_by_name(window.gobj(), "key-press-event", &event, &handled);
  }
};

TEST_F(QuickSearchTest, StandsInARightColumnOfTheScreenOverTheMainWindow) {
  Start();
  Main().Settings.SearchEngine = 1;
  Search("placement");
  ASSERT_TRUE(Window().get_visible());
  int left = 0, top = 0, width = 0, height = 0;
  ASSERT_TRUE(Pump([&] {
    Window().get_position(left, top);
    Window().get_size(width, height);
    return left == 422 && top == 10 && width == 828 && height == 964;
  }, 2000)) << left << "," << top << " " << width << "x" << height;
  EXPECT_TRUE(Window().get_modal());
  EXPECT_EQ(Window().get_transient_for(), &Main());
}

TEST_F(QuickSearchTest, SearchesWithTheEngineWhileTheListShowsItsOwnChoice) {
  // "SEARCH" 2 and no "SPEEDSEARCH": Yahoo searches, the list opens on Google.
  Start();
  Main().Settings.SearchEngine = 3;
  Main().Settings.SearchListEngine = 1;
  Main().CurrentUserAgent = "Agent/7";
  Window().SelectEngine(3);
  const std::string yahoo = BuildSearchAddress(3, "orvindel");
  const size_t log_start = web_.log.size();
  Search("orvindel");
  EXPECT_EQ(Window().cb.get_active_text(), "Google");
  EXPECT_EQ(Window().wbweb().LocationURL(), yahoo);
  EXPECT_EQ(Window().get_title(), "Quick Web Search [ orvindel ] - " + yahoo);
  EXPECT_EQ(Loads(BuildSearchAddress(1, "orvindel")), 0) << "selecting the list searches nothing";
  // The search itself goes out with the current agent, not only later pages.
  const auto agent = std::find(web_.log.begin() + log_start, web_.log.end(), "agent Agent/7");
  const auto load = std::find(web_.log.begin() + log_start, web_.log.end(), "load " + yahoo);
  ASSERT_NE(load, web_.log.end());
  EXPECT_LT(agent, load);
  EXPECT_EQ(WindowEngine().user_agent(), "Agent/7");
}

TEST_F(QuickSearchTest, ListChangeReRunsTheLastQueryAndKeepsTheEngine) {
  Start();
  Main().Settings.SearchEngine = 3;
  Search("two words");
  Window().cb.set_active(3);  // as the user picks "Wikipedia"
  ASSERT_TRUE(Settle());
  EXPECT_EQ(Window().wbweb().LocationURL(), "http://en.wikipedia.org/wiki/two%20words");
  EXPECT_EQ(Main().Settings.SearchEngine, 3);
  EXPECT_EQ(Window().get_title(),
            "Quick Web Search [ two words ] - " + Window().wbweb().LocationURL());
  // The options' engine choice moves the list without searching.
  const size_t log_size = web_.log.size();
  for (int engine = 1; engine <= 4; ++engine) {
    Window().SelectEngine(engine);
    EXPECT_EQ(Window().cb.get_active_row_number(), engine - 1);
  }
  PumpIdle();
  EXPECT_EQ(web_.log.size(), log_size);
  // SearchListEngine 0 leaves the list where the options put it.
  Main().Settings.SearchListEngine = 0;
  Window().SelectEngine(2);
  Search("again");
  EXPECT_EQ(Window().cb.get_active_text(), "Bing");
}

TEST_F(QuickSearchTest, OpenInBrowserMovesThePageIntoANewTab) {
  Start();
  Main().Settings.SearchEngine = 1;
  Search("moved");
  const std::string results = Window().wbweb().LocationURL();
  Window().sb1Click();
  ASSERT_TRUE(Settle());
  EXPECT_EQ(Main().nbook.PageCount(), 2);
  EXPECT_EQ(Main().nbook.ActivePageIndex(), 1);
  EXPECT_EQ(Main().GetCurrentWB()->LocationURL(), results);
  EXPECT_EQ(Main().FirstBrowser()->LocationURL(), "http://first.test/");
  EXPECT_FALSE(Window().get_visible());
  EXPECT_EQ(Window().wbweb().LocationURL(), "about:blank");
}

TEST_F(QuickSearchTest, EveryWayOfClosingLeavesABlankPage) {
  Start();
  Main().Settings.SearchEngine = 2;
  const std::pair<const char*, std::function<void()>> ways[] = {
      {"Close button", [&] { Window().closeButton.clicked(); }},
      {"Escape", [&] { PressEscape(Window()); }},
      {"close box", [&] { Window().close(); }},
  };
  for (const auto& [name, close] : ways) {
    Search(name);
    ASSERT_TRUE(Window().get_visible()) << name;
    close();
    ASSERT_TRUE(Pump([&] { return !Window().get_visible(); }, 2000)) << name;
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Window().wbweb().LocationURL(), "about:blank") << name;
    EXPECT_EQ(Window().get_title(), "Orvindel - Quick Web Search") << name;
  }
}

TEST_F(QuickSearchTest, ProgressBarFollowsTheLoadAndTheTimerHidesIt) {
  Start();
  Tfgoogle& w = Window();
  // Each step: the event, then whether the bar shows and where it stands.
  // The bar judges by the position the previous event left.
  struct Step {
    int progress, maximum;
    bool visible;
    int position;
  } steps[] = {
      {10, 100, false, 10}, {60, 100, true, 60}, {0, 100, true, 0}, {0, 100, false, 0},
      {30, 50, false, 30},
  };
  for (const auto& s : steps) {
    w.wbwebProgressChange(w.wbweb(), s.progress, s.maximum);
    EXPECT_EQ(w.ProgressBar.get_visible(), s.visible) << s.progress;
    EXPECT_EQ(w.ProgressPosition(), s.position) << s.progress;
  }
  EXPECT_EQ(w.ProgressMax(), 50);
  w.Timer1Timer();
  EXPECT_FALSE(w.ProgressBar.get_visible());

  // The end of the load arrives while a step lets events run: the bar ends
  // at zero, not at the older step's position.
  Glib::signal_idle().connect_once([&] { w.wbwebProgressChange(w.wbweb(), 0, 100); });
  w.wbwebProgressChange(w.wbweb(), 50, 100);
  EXPECT_EQ(w.ProgressPosition(), 0);
  w.Timer1Timer();
  EXPECT_FALSE(w.ProgressBar.get_visible());

  // A real search: the bar shows during the load; the running timer hides it
  // within a second or so once the load is over.
  Main().Settings.SearchEngine = 1;
  Search("progress");
  EXPECT_EQ(w.ProgressPosition(), 0);
  EXPECT_TRUE(w.ProgressBar.get_visible());
  EXPECT_TRUE(Pump([&] { return !w.ProgressBar.get_visible(); }, 2500));
}

TEST_F(QuickSearchTest, StatusTextTransparencyAndTheLabelKeepsMarkupAsText) {
  Start();
  Main().Settings.SearchEngine = 1;
  Search("status");
  EXPECT_EQ(Window().labeltext.get_text(), "---");
  WindowEngine().HoverLink("http://x.test/<b>bold</b>&amp;");
  EXPECT_EQ(Window().labeltext.get_text(), "http://x.test/<b>bold</b>&amp;");
  Window().bct.set_active(true);
  EXPECT_NEAR(Window().get_opacity(), 200.0 / 255.0, 0.01);
  Window().bct.set_active(false);
  EXPECT_NEAR(Window().get_opacity(), 1.0, 0.01);
}

TEST_F(QuickSearchTest, HintDialogShowsTheFourLinesAndOkClosesIt) {
  Start();
  Tfinfo1& hint = app_->finfo1();
  hint.ShowHint();
  PumpIdle();
  EXPECT_TRUE(hint.get_visible());
  EXPECT_TRUE(hint.get_modal());
  EXPECT_EQ(hint.get_title(), "Orvindel Web Search");
  EXPECT_EQ(hint.Label1.get_text(), "1. Select text");
  EXPECT_EQ(hint.Label2.get_text(), "2. Click the button \"Web Search\" ");
  EXPECT_EQ(hint.Label3.get_text(), "or");
  EXPECT_EQ(hint.Label4.get_text(), "press F4 key");
  EXPECT_EQ(hint.Image1.get_storage_type(), Gtk::IMAGE_ICON_NAME);
  hint.OK.clicked();
  EXPECT_FALSE(hint.get_visible());
  hint.ShowHint();
  PressEscape(hint);
  EXPECT_FALSE(hint.get_visible());
}

TEST_F(QuickSearchTest, SocialBarShowsItsLinksAndReportsItsClose) {
  InitToolkit();
  TSocialBar bar;
  int closes = 0;
  bar.OnClose = [&] { ++closes; };
  Gtk::Button* buttons[] = {&bar.s1, &bar.s2, &bar.s3, &bar.s4, &bar.s5};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(buttons[i]->get_tooltip_text(), SocialLinkHint(i + 1));
  EXPECT_EQ(bar.xzapri.get_tooltip_text(), "Close");
  bar.xzapri.clicked();
  EXPECT_EQ(closes, 1);
  // It fits its strip: 26 pixels high with the buttons inside.
  Gtk::Window holder;
  holder.add(bar);
  holder.show_all();
  PumpIdle();
  int minimum = 0, natural = 0;
  bar.get_preferred_height(minimum, natural);
  EXPECT_EQ(minimum, TSocialBar::kHeight);
  EXPECT_EQ(bar.get_allocated_height(), TSocialBar::kHeight);
  holder.remove();
}

}  // namespace
}  // namespace orv::test
