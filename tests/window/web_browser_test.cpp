// TWebBrowser's contract, over the scripted engine.
#include "engine/web_browser.h"

#include <gtest/gtest.h>

#include "platform/deferred.h"
#include "platform/main_loop.h"
#include "window_fixture.h"

namespace orv::test {
namespace {

class WebBrowserTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    browser_ = std::make_unique<TWebBrowser>(web_.NewBackend());
    auto record = [this](const std::string& e) { events_.push_back(e); };
    browser_->OnBeforeNavigate = [=, this](TWebBrowser&, const std::string& uri, bool& cancel) {
      record("before " + uri);
      cancel = uri.find("blocked") != std::string::npos;
    };
    browser_->OnDownloadBegin = [=](TWebBrowser&) { record("begin"); };
    browser_->OnNavigateComplete = [=](TWebBrowser&) { record("navigated"); };
    browser_->OnTitleChange = [=](TWebBrowser&, const std::string& t) { record("title " + t); };
    browser_->OnDocumentComplete = [=](TWebBrowser&) { record("document"); };
    browser_->OnDownloadComplete = [=](TWebBrowser&) { record("complete"); };
  }
  void TearDown() override {
    browser_.reset();
    WindowTest::TearDown();
  }
  bool LoadAndWait(const std::string& address) {
    events_.clear();
    browser_->Navigate(address);
    return Pump([&] { return !events_.empty() && events_.back() == "complete"; });
  }
  std::unique_ptr<TWebBrowser> browser_;
  std::vector<std::string> events_;
};

// A handler may let pending events run; whatever was queued for deletion
// meanwhile, its own browser included, waits until the handler and the
// engine code around it have returned.
TEST_F(WebBrowserTest, ABrowserDeletedInsideItsOwnHandlerOutlivesTheHandler) {
  bool alive_in_handler = false;
  browser_->OnTitleChange = [&](TWebBrowser& self, const std::string&) {
    DeleteWhenUnwound(std::move(browser_));
    PumpIdle();
    alive_in_handler = web_.backends.size() == 1 && self.LocationURL() == "http://a.test/";
  };
  browser_->Navigate("http://a.test/");
  // Not the waiting loop: deletion also waits for every wait to end.
  for (int i = 0; i < 100 && !web_.backends.empty(); ++i) {
    PumpIdle();
    g_usleep(10'000);
  }
  EXPECT_TRUE(web_.backends.empty());
  EXPECT_TRUE(alive_in_handler);
}

TEST_F(WebBrowserTest, NavigationDeliversEventsInEngineOrder) {
  web_.pages["http://a.test/"] = {"A", "<b>a</b>"};
  EXPECT_EQ(browser_->ReadyState(), 4) << "complete before any navigation";
  EXPECT_EQ(browser_->LocationURL(), "");
  EXPECT_FALSE(browser_->HasDocument());
  browser_->Navigate("a.test/");
  ASSERT_TRUE(Pump([&] { return browser_->ReadyState() != 4; }));
  ASSERT_TRUE(Pump([&] { return !events_.empty() && events_.back() == "complete"; }));
  const std::vector<std::string> expected = {"before http://a.test/", "begin", "navigated",
                                             "title A", "document", "complete"};
  EXPECT_EQ(events_, expected);
  EXPECT_EQ(browser_->ReadyState(), 4);
  EXPECT_EQ(browser_->LocationURL(), "http://a.test/");
}

TEST_F(WebBrowserTest, BlankAddressLoadsNothingAndCancelStopsTheLoad) {
  browser_->Navigate(" ");
  PumpIdle();
  EXPECT_TRUE(events_.empty());
  browser_->Navigate("http://blocked.test/");
  PumpIdle();
  EXPECT_EQ(events_, std::vector<std::string>{"before http://blocked.test/"});
  EXPECT_EQ(browser_->LocationURL(), "");
}

TEST_F(WebBrowserTest, HistoryErrorsWhenThereIsNone) {
  EXPECT_THROW(browser_->GoBack(), EngineError);
  EXPECT_THROW(browser_->GoForward(), EngineError);
  ASSERT_TRUE(LoadAndWait("http://one.test/"));
  ASSERT_TRUE(LoadAndWait("http://two.test/"));
  browser_->GoBack();
  ASSERT_TRUE(Pump([&] { return browser_->LocationURL() == "http://one.test/"; }));
  ASSERT_TRUE(Pump([&] { return browser_->ReadyState() == 4; }));
  browser_->GoForward();
  ASSERT_TRUE(Pump([&] { return browser_->LocationURL() == "http://two.test/"; }));
}

TEST_F(WebBrowserTest, DocumentAccessWaitsForThePage) {
  EXPECT_THROW(browser_->BodyHtml(), EngineError) << "no document before a navigation";
  web_.pages["https://s.test/"] = {"S", "<p>secure</p>", "https:"};
  ASSERT_TRUE(LoadAndWait("https://s.test/"));
  EXPECT_EQ(browser_->BodyHtml(), "<p>secure</p>");
  browser_->SetBodyHtml("<i>changed</i>");
  EXPECT_EQ(browser_->BodyHtml(), "<i>changed</i>");
  EXPECT_EQ(browser_->LocationProtocol(), "https:");
  web_.backends[0]->selection = "picked";
  EXPECT_EQ(browser_->SelectionText(), "picked");
}

TEST_F(WebBrowserTest, UserAgentWithLineBreaksIsRefused) {
  EXPECT_TRUE(browser_->SetUserAgent("My Browser"));
  EXPECT_FALSE(browser_->SetUserAgent("Evil\r\nX-Injected: 1"));
  EXPECT_EQ(browser_->UserAgent(), "My Browser");
  EXPECT_EQ(web_.backends[0]->user_agent(), "My Browser");
}

TEST_F(WebBrowserTest, NewWindowIsShownByTheBrowserTheHandlerGives) {
  ASSERT_TRUE(LoadAndWait("http://opener.test/"));
  auto popup = std::make_unique<TWebBrowser>(web_.NewBackend());
  FakeBackend* opener = web_.backends[0];
  std::string asked;
  browser_->OnNewWindow = [&](TWebBrowser&, const std::string& uri, TWebBrowser*& window,
                              bool& cancel) {
    asked = uri;
    window = uri.find("refused") == std::string::npos ? popup.get() : nullptr;
  };
  EXPECT_FALSE(opener->OpenWindow("http://refused.test/"));
  EXPECT_EQ(asked, "http://refused.test/");
  EXPECT_TRUE(opener->OpenWindow("http://popup.test/"));
  ASSERT_TRUE(Pump([&] { return popup->LocationURL() == "http://popup.test/"; }));
  EXPECT_EQ(std::count(web_.log.begin(), web_.log.end(), "related"), 1);
  browser_->OnNewWindow = [](TWebBrowser&, const std::string&, TWebBrowser*&, bool& cancel) {
    cancel = true;
  };
  EXPECT_FALSE(opener->OpenWindow("http://cancelled.test/"));
}

TEST_F(WebBrowserTest, WaitingLoopEndsWhenTheApplicationTerminates) {
  g_timeout_add(50, [](gpointer) -> gboolean {
    SetTerminating(true);
    return G_SOURCE_REMOVE;
  }, nullptr);
  const auto start = g_get_monotonic_time();
  EXPECT_FALSE(WaitUntil([] { return false; }));
  EXPECT_LT(g_get_monotonic_time() - start, 2'000'000);
}

}  // namespace
}  // namespace orv::test
