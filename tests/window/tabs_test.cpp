// Tabs, navigation and the address bar over the fake engine.
#include <gtest/gtest.h>

#include "common/text.h"
#include "local_server.h"
#include "platform/main_loop.h"
#include "shell/main_window.h"
#include "window_fixture.h"

namespace orv::test {
namespace {

class TabsTest : public WindowTest {
 protected:
  TMainForm& Main() { return app_->MainForm(); }
  TPageExtControl& Strip() { return Main().nbook; }

  void Start() {
    StartApp({"http://first.test/"});
    ASSERT_TRUE(Settle());
  }
  // Opens tabs at the given addresses, each after the active one.
  void OpenTabs(const std::vector<std::string>& addresses) {
    for (const auto& a : addresses) ASSERT_NE(Main().OpenTab(a, "Blank Page"), nullptr);
    ASSERT_TRUE(Settle());
  }
  std::string AddressOf(int index) {
    TWebBrowser* wb = Main().BrowserOf(*Strip().Pages(index));
    return wb ? wb->LocationURL() : "<none>";
  }
  bool Key(guint keyval, GdkModifierType mods) {
    GdkEventKey event{};
    event.type = GDK_KEY_PRESS;
    event.window = Main().get_window() ? Main().get_window()->gobj() : nullptr;
    event.keyval = keyval;
    event.state = mods;
    gboolean handled = FALSE;
    g_signal_emit_by_name(Main().gobj(), "key-press-event", &event, &handled);
    return handled;
  }
};

TEST_F(TabsTest, CloseTabKeepsTheFirstAndActivatesIt) {
  Start();
  Main().CloseTabs1Click();
  EXPECT_EQ(Strip().PageCount(), 1) << "the first tab never closes";
  OpenTabs({"http://2.test/", "http://3.test/", "http://4.test/", "http://5.test/"});
  ASSERT_EQ(Strip().PageCount(), 5);
  Strip().SetActivePageIndex(2);
  Main().CloseTabs1Click();
  PumpIdle();
  EXPECT_EQ(Strip().PageCount(), 4);
  EXPECT_EQ(Strip().ActivePageIndex(), 0);
  EXPECT_EQ(Main().e3.get_text(), "http://first.test/");
  EXPECT_EQ(AddressOf(1), "http://2.test/");
  EXPECT_EQ(AddressOf(2), "http://4.test/");
  EXPECT_EQ(Main().jsand.get_parent(), Strip().Pages(0)) << "the toolbar follows the active tab";
}

TEST_F(TabsTest, NewTabsOpenDirectlyAfterTheActiveOne) {
  Start();
  OpenTabs({"http://a.test/", "http://b.test/"});
  Strip().SetActivePageIndex(1);
  Main().Settings.NewTabOpensHome = false;
  const size_t log_size = web_.log.size();
  Main().NewTab20Click();
  ASSERT_TRUE(Settle());
  EXPECT_EQ(Strip().PageCount(), 4);
  EXPECT_EQ(Strip().ActivePageIndex(), 2);
  EXPECT_EQ(AddressOf(2), "");
  EXPECT_EQ(AddressOf(3), "http://b.test/");
  EXPECT_EQ(TrimBlanks(Strip().Pages(2)->Caption()), "") << "no caption text until a title";
  for (size_t i = log_size; i < web_.log.size(); ++i) {
    EXPECT_NE(web_.log[i].rfind("load ", 0), 0u) << web_.log[i];
  }
  EXPECT_EQ(Main().jsand.get_parent(), Strip().Pages(2));
  EXPECT_EQ(Main().GetCurrentWB(), Main().BrowserOf(*Strip().Pages(2)));
  EXPECT_EQ(web_.backends.back()->user_agent(), kDefaultUserAgent);

  Main().Settings.NewTabOpensHome = true;
  Main().Settings.HomePage = "http://home.test/";
  Main().NewTab20Click();
  ASSERT_TRUE(Settle());
  EXPECT_EQ(AddressOf(3), "http://home.test/");
}

TEST_F(TabsTest, AHalfMadeTabIsTakenAwaySilently) {
  Start();
  struct NoEngine final : EngineService {
    std::unique_ptr<BrowserBackend> NewBackend() override { throw std::runtime_error("no engine"); }
    std::string Version() const override { return ""; }
    void ClearCache() override {}
  } no_engine;
  services_.engine = &no_engine;
  EXPECT_EQ(Main().OpenTab("http://x.test/", "Blank Page"), nullptr);
  EXPECT_EQ(Strip().PageCount(), 1);
  EXPECT_EQ(Main().jsand.get_parent(), Strip().Pages(0));
  EXPECT_TRUE(dialogs_.shown.empty());
  services_.engine = &web_;
}

TEST_F(TabsTest, SwitchingTabsShowsTheAddressAndResetsTheProgress) {
  web_.pages["http://a.test/"] = {"Page A", ""};
  Start();
  OpenTabs({"http://a.test/"});
  Strip().SetActivePageIndex(0);
  Main().e3.SetPosition(60);
  Strip().SetActivePageIndex(1);
  PumpIdle();
  EXPECT_EQ(Main().e3.get_text(), "http://a.test/");
  EXPECT_EQ(Main().e3.Position(), 0);
  EXPECT_EQ(Main().CurrentPageTitle, "Page A");
  EXPECT_EQ(Main().jsand.get_parent(), Strip().Pages(1));
}

TEST_F(TabsTest, CloseOtherTabsLoadsTheCurrentPageInTheFirstTab) {
  Start();
  OpenTabs({"http://2.test/", "http://3.test/", "http://4.test/"});
  Strip().SetActivePageIndex(2);
  const int loads_before = Loads("http://3.test/");
  Main().CloseOtherTabs1Click();
  ASSERT_TRUE(Settle());
  EXPECT_EQ(Strip().PageCount(), 1);
  EXPECT_EQ(AddressOf(0), "http://3.test/");
  EXPECT_EQ(Loads("http://3.test/"), loads_before + 1) << "loaded again, not moved";
  EXPECT_EQ(Main().e3.get_text(), "http://3.test/");
}

TEST_F(TabsTest, CloseAllTabsReturnsHome) {
  Start();
  Main().Settings.HomePage = "http://home.test/";
  OpenTabs({"http://2.test/", "http://3.test/"});
  Main().CloseAllTabs1Click();
  ASSERT_TRUE(Settle());
  EXPECT_EQ(Strip().PageCount(), 1);
  EXPECT_EQ(AddressOf(0), "http://home.test/");
}

TEST_F(TabsTest, DuplicateTabCarriesTheMarkupAsItIsNow) {
  web_.pages["http://dup.test/"] = {"Dup", "<p>as served</p>"};
  Start();
  OpenTabs({"http://dup.test/"});
  Main().GetCurrentWB()->SetBodyHtml("<p>changed by a script</p>");
  Main().DuplicateTab1Click();
  ASSERT_TRUE(Settle());
  EXPECT_EQ(Strip().PageCount(), 3);
  EXPECT_EQ(Strip().ActivePageIndex(), 2);
  TWebBrowser* copy = Main().GetCurrentWB();
  EXPECT_EQ(copy->LocationURL(), "http://dup.test/");
  EXPECT_EQ(copy->BodyHtml(), "<p>changed by a script</p>");
}

TEST_F(TabsTest, DuplicateOfAPageWithoutDocumentReportsTheError) {
  StartApp();
  EXPECT_THROW(Main().DuplicateTab1Click(), EngineError);
  // From the keyboard the error reaches the application-wide report.
  Key(GDK_KEY_k, GDK_CONTROL_MASK);
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(Strip().PageCount(), 1);
}

TEST_F(TabsTest, CloseButtonAsksTheWindow) {
  Start();
  const size_t browsers = web_.backends.size();
  OpenTabs({"http://2.test/"});
  bool can_close = true;
  Strip().SetActivePageIndex(0);
  Main().nbookTabClose(1, can_close);
  EXPECT_FALSE(can_close) << "nothing closes while the first tab is active";
  Strip().SetActivePageIndex(1);
  can_close = false;
  Main().nbookTabClose(1, can_close);
  EXPECT_TRUE(can_close);
  // Through the strip itself: a press in the active tab's close area.
  const TRect area = Strip().CloseArea(1);
  Strip().HandlePress(area.left + 2, area.top + 2, 1);
  Strip().HandleRelease(area.left + 2, area.top + 2, 1);
  PumpIdle();
  EXPECT_EQ(Strip().PageCount(), 1);
  ASSERT_TRUE(Pump([&] { return Main().jsand.get_parent() == Strip().Pages(0); }, 2000));
  EXPECT_EQ(web_.backends.size(), browsers) << "the closed page's browser is gone";
}

TEST_F(TabsTest, BackgroundTabsLabelOnlyThemselves) {
  web_.pages["http://slow.test/"] = {"Background title", ""};
  Start();
  Main().tsmain.SetCaption("First");
  OpenTabs({"http://other.test/"});
  // Load in the first tab while the second is active.
  Main().FirstBrowser()->Navigate("http://slow.test/");
  ASSERT_TRUE(Settle());
  EXPECT_EQ(Strip().Pages(0)->Caption(), "Background title     ");
  EXPECT_EQ(Main().e3.get_text(), "http://other.test/");
  EXPECT_NE(Main().CurrentPageTitle, "Background title");
}

TEST_F(TabsTest, TabsPositionIsKeptForTheClose) {
  Start();
  Main().Bottom1Click();
  EXPECT_EQ(Strip().GetTabPosition(), TabPosition::tpBottom);
  EXPECT_TRUE(Main().Bottom1.get_active());
  EXPECT_FALSE(Main().op1.get_active());
  ASSERT_TRUE(Main().RequestClose());
  EXPECT_NE(ReadFile(OrvindelDir() + "Orvindel.cfg").find("TABS=3"), std::string::npos);
}

TEST_F(TabsTest, KeysReachTheirCommands) {
  Start();
  EXPECT_TRUE(Key(GDK_KEY_t, GDK_CONTROL_MASK));
  EXPECT_EQ(Strip().PageCount(), 2);
  EXPECT_TRUE(Key(GDK_KEY_w, GDK_CONTROL_MASK));
  EXPECT_EQ(Strip().PageCount(), 1);
  EXPECT_TRUE(Key(GDK_KEY_N, GdkModifierType(GDK_CONTROL_MASK | GDK_LOCK_MASK)));
  ASSERT_EQ(launcher_.started.size(), 1u) << "one press, one new instance";
  EXPECT_EQ(launcher_.started[0].first, root_ + "/prog/orvindel");
  EXPECT_TRUE(launcher_.started[0].second.empty());
  Main().e3.set_text("typed");
  EXPECT_TRUE(Key(GDK_KEY_l, GDK_CONTROL_MASK));
  int start = 0, end = 0;
  EXPECT_TRUE(Main().e3.get_selection_bounds(start, end));
  EXPECT_EQ(end - start, 5);
}

// The address bar against a real local server: the probe decides between
// opening the text and searching it.
class GoTest : public TabsTest {
 protected:
  LocalServer server_{[](SoupServerMessage* msg, const std::string& path) {
    if (path == "/ok") {
      soup_server_message_set_status(msg, 200, nullptr);
    } else if (path == "/moved") {
      soup_server_message_set_redirect(msg, 302, "/ok");
    } else {
      soup_server_message_set_status(msg, 404, nullptr);
    }
  }};
  void Type(const std::string& text) {
    Main().e3.set_text(text);
    Main().e3.activate();
    ASSERT_TRUE(Settle());
  }
};

TEST_F(GoTest, ReachableAddressesOpenAsTypedAndOthersAreSearched) {
  Start();
  const std::string ok = server_.Url("/ok");
  const std::string moved = server_.Url("/moved");
  const std::string host_only = ok.substr(std::string("http://").size());
  struct Case {
    std::string typed;
    std::string loaded;
    std::string shown;
  } cases[] = {
      {ok, "load " + ok, ok},
      {moved, "load " + moved, moved},
      {host_only, "load http://" + host_only, "http://" + host_only},
      {server_.Url("/missing"),
       "load http://www.google.com/search?ie=ISO-8859-1&hl=us&q=" + server_.Url("/missing"),
       "http://www.google.com/search?ie=ISO-8859-1&hl=us&q=" + server_.Url("/missing")},
      {"two words", "load http://www.google.com/search?ie=ISO-8859-1&hl=us&q=two%20words",
       "http://www.google.com/search?ie=ISO-8859-1&hl=us&q=two words"},
      {"http://127.0.0.1:1/", "load http://www.google.com/search?ie=ISO-8859-1&hl=us&q=http://127.0.0.1:1/",
       "http://www.google.com/search?ie=ISO-8859-1&hl=us&q=http://127.0.0.1:1/"},
  };
  for (const auto& c : cases) {
    web_.log.clear();
    Type(c.typed);
    EXPECT_NE(std::find(web_.log.begin(), web_.log.end(), c.loaded), web_.log.end())
        << c.typed << " should give " << c.loaded;
    EXPECT_EQ(std::string(Main().e3.get_text()), c.shown) << c.typed;
  }
}

TEST_F(GoTest, LocalFilesOpenWithoutAProbe) {
  Start();
  const std::string path = root_ + "/page.html";
  WriteFile(path, "<p>local</p>");
  Type(path);
  EXPECT_EQ(Main().GetCurrentWB()->LocationURL(), "file://" + path);
}

TEST_F(GoTest, SearchUsesTheSelectedEngine) {
  Start();
  Main().Settings.SearchEngine = 4;
  Type("a&b");
  EXPECT_EQ(Main().LastSearchAddress, "http://en.wikipedia.org/wiki/a%26b");
  EXPECT_EQ(Main().GetCurrentWB()->LocationURL(), "http://en.wikipedia.org/wiki/a%26b");
}

TEST_F(GoTest, ButtonsDriveTheCurrentBrowser) {
  Start();
  Main().Settings.HomePage = "http://home.test/";
  Main().e3.set_text("http://typed.test/");
  Main().sbrefreshClick();
  ASSERT_TRUE(Settle());
  EXPECT_EQ(Main().GetCurrentWB()->LocationURL(), "http://typed.test/");
  Main().pda2Click();
  ASSERT_TRUE(Settle());
  EXPECT_EQ(Main().GetCurrentWB()->LocationURL(), "http://first.test/");
  Main().pdb3Click();
  ASSERT_TRUE(Settle());
  EXPECT_EQ(Main().GetCurrentWB()->LocationURL(), "http://typed.test/");
  Main().pdb3Click();  // no history ahead: swallowed
  Main().pdc3Click();
  ASSERT_TRUE(Settle());
  EXPECT_EQ(Main().GetCurrentWB()->LocationURL(), "http://home.test/");
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(GoTest, SecureLookFollowsTheCurrentPage) {
  Start();
  OpenTabs({"https://secure.test/"});
  EXPECT_TRUE(Main().e3panel.get_style_context()->has_class("secure"));
  Strip().SetActivePageIndex(0);
  PumpIdle();
  EXPECT_TRUE(Main().e3panel.get_style_context()->has_class("insecure"));
}

}  // namespace
}  // namespace orv::test
