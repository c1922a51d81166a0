// The feeds over the fake engine and a local feed server: the download
// routine, Manage Feeds and Add RSS, the reader's digests and the ticker.
#include <glib.h>
#include <glib/gstdio.h>
#include <gtest/gtest.h>
#include <libsoup/soup.h>

#include <filesystem>
#include <functional>
#include <map>
#include <vector>

#include "favorites/list_file.h"
#include "feeds/add_rss_dialog.h"
#include "feeds/manage_feeds_window.h"
#include "feeds/rss_window.h"
#include "local_server.h"
#include "platform/http_download.h"
#include "platform/main_loop.h"
#include "shell/main_window.h"
#include "window_fixture.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;

std::string Rss(const std::string& items) {
  return "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>T</title>" + items +
         "</channel></rss>";
}

std::string Item(const std::string& title, const std::string& date = "") {
  return "<item><title>" + title + "</title><link>http://example.test/" + title +
         "</link><pubDate>" + date + "</pubDate><description>About " + title +
         "</description></item>";
}

// Serves bodies by path, counts requests, and can hold a request unanswered.
class FeedServer {
 public:
  FeedServer()
      : server_([this](SoupServerMessage* msg, const std::string& path) {
          ++requests[path];
          agents[path] = LocalServer::Header(msg, "User-Agent");
          if (path == "/stall") {
            // Headers and a first piece, then nothing more.
            soup_server_message_set_status(msg, 200, nullptr);
            soup_message_headers_set_encoding(soup_server_message_get_response_headers(msg),
                                              SOUP_ENCODING_CHUNKED);
            soup_message_body_append(soup_server_message_get_response_body(msg), SOUP_MEMORY_STATIC,
                                     "<rss>", 5);
            return;
          }
          const auto it = bodies.find(path);
          const int status = statuses.count(path) ? statuses[path] : (it == bodies.end() ? 404 : 200);
          soup_server_message_set_status(msg, status, nullptr);
          const std::string body = it == bodies.end() ? "<html>not here</html>" : it->second;
          soup_server_message_set_response(msg, "application/xml", SOUP_MEMORY_COPY, body.data(),
                                           body.size());
        }) {}
  std::string Url(const std::string& path) const { return server_.Url(path); }

  std::map<std::string, std::string> bodies;
  std::map<std::string, int> statuses;
  std::map<std::string, int> requests;
  std::map<std::string, std::string> agents;

 private:
  LocalServer server_;
};

// Runs each step once its condition holds, in order, on a short timer: the
// hand of a user working through modal windows.
class Autopilot {
 public:
  struct Step {
    std::function<bool()> ready;
    std::function<void()> act;
  };
  explicit Autopilot(std::vector<Step> steps) : steps_(std::move(steps)) {
    id_ = g_timeout_add(20, Fire, this);
  }
  ~Autopilot() { g_source_remove(id_); }
  bool Done() const { return next_ == steps_.size(); }

 private:
  static gboolean Fire(gpointer data) {
    auto* self = static_cast<Autopilot*>(data);
    if (self->next_ < self->steps_.size() && self->steps_[self->next_].ready()) {
      auto act = self->steps_[self->next_++].act;
      act();
    }
    return G_SOURCE_CONTINUE;
  }
  std::vector<Step> steps_;
  size_t next_ = 0;
  guint id_;
};

std::vector<std::string> FilesIn(const std::string& folder, const std::string& extension) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder, ec)) {
    if (extension.empty() || e.path().extension() == extension) {
      names.push_back(e.path().filename().string());
    }
  }
  return names;
}

class FeedsTest : public WindowTest {
 protected:
  void WriteFeeds(const ListEntries& feeds) {
    WriteFile(OrvindelDir() + "2rss.ovf", SerializeListFile(feeds));
  }
  Tfrss& Reader() { return app_->frss(); }
  Tfmanage& Manage() { return app_->fmanage(); }
  TMainForm& Main() { return app_->MainForm(); }

  // Opens the reader, lets `while_open` run once the first feed is on show
  // (or was reported), and closes it.
  void WithReader(std::function<void()> while_open = {}) {
    Autopilot pilot({{[&] {
                        return Reader().Showing() &&
                               (Manage().Empty() || !Reader().DigestPath().empty() ||
                                !dialogs_.shown.empty());
                      },
                      [&] {
                        if (while_open) while_open();
                        Reader().BitBtn1Click();
                      }}});
    Main().RSSReader1Click();
    EXPECT_TRUE(pilot.Done());
  }

  // The digest that was last written, read back as the browser got it.
  std::string digest_;
  void KeepDigest() {
    if (!Reader().DigestPath().empty()) digest_ = ReadFile(Reader().DigestPath());
  }

  FeedServer server_;
};

TEST_F(FeedsTest, DownloadToFileWritesTheBodyAsReceived) {
  server_.bodies["/ok"] = "body bytes";
  server_.bodies["/empty"] = "";
  server_.bodies["/gone"] = "<html>gone</html>";
  server_.statuses["/gone"] = 410;
  const std::string dest = root_ + "/data/out.bin";
  struct Case {
    const char* what;
    std::string url;
    bool ok;
    std::string file;
  };
  gchar* file_uri = g_filename_to_uri((root_ + "/data/source.txt").c_str(), nullptr, nullptr);
  WriteFile(root_ + "/data/source.txt", "from disk");
  const Case cases[] = {
      {"a body replaces the old file", server_.Url("/ok"), true, "body bytes"},
      {"an empty body makes an empty file", server_.Url("/empty"), true, ""},
      {"an error page counts as success", server_.Url("/gone"), true, "<html>gone</html>"},
      {"a file address is copied", file_uri, true, "from disk"},
      {"a refused connection fails and keeps the old file", "http://127.0.0.1:1/x", false, "old"},
      {"an address of another kind fails", "ftp://127.0.0.1/x", false, "old"},
      {"a missing file fails", "file:///nonexistent/feed.xml", false, "old"},
  };
  g_free(file_uri);
  for (const Case& c : cases) {
    WriteFile(dest, "old");
    EXPECT_EQ(http_.DownloadToFile(c.url, dest), c.ok) << c.what;
    EXPECT_EQ(ReadFile(dest), c.file) << c.what;
    EXPECT_EQ(FilesIn(root_ + "/data", "").size(), 2u) << c.what << ": a temporary file is left";
  }
  EXPECT_EQ(server_.agents["/ok"], DownloadUserAgent());
  EXPECT_EQ(DownloadUserAgent(), "window_tests");
}

TEST_F(FeedsTest, DownloadToFileGivesUpOnAStallAndOnTooMuch) {
  const std::string dest = root_ + "/data/out.bin";
  WriteFile(dest, "good");
  // The window keeps running while the server stalls.
  int ticks = 0;
  const guint ticker = g_timeout_add(50, [](gpointer n) -> gboolean {
    ++*static_cast<int*>(n);
    return G_SOURCE_CONTINUE;
  }, &ticks);
  DownloadOptions stall;
  stall.stall_timeout_ms = 1000;
  const gint64 start = g_get_monotonic_time();
  EXPECT_FALSE(http_.DownloadToFile(server_.Url("/stall"), dest, stall));
  const gint64 waited_ms = (g_get_monotonic_time() - start) / 1000;
  g_source_remove(ticker);
  EXPECT_GE(waited_ms, 900);
  EXPECT_LT(waited_ms, 5000);
  EXPECT_GE(ticks, 10);
  EXPECT_EQ(ReadFile(dest), "good");

  server_.bodies["/big"] = std::string(300000, 'x');
  DownloadOptions small;
  small.max_bytes = 100000;
  EXPECT_FALSE(http_.DownloadToFile(server_.Url("/big"), dest, small));
  DownloadOptions refuse;
  refuse.on_chunk = [](std::string_view) { return false; };
  EXPECT_FALSE(http_.DownloadToFile(server_.Url("/big"), dest, refuse));
  EXPECT_EQ(ReadFile(dest), "good");
  EXPECT_EQ(FilesIn(root_ + "/data", "").size(), 1u);
}

TEST_F(FeedsTest, ObsoleteFeedFileGoesAtStartUpAndTheListIsRead) {
  WriteFile(OrvindelDir() + "rss.ovf", "old format");
  WriteFeeds({{"News", 0, {"http://n"}}});
  StartApp();
  EXPECT_FALSE(fs::exists(OrvindelDir() + "rss.ovf"));
  EXPECT_EQ(Manage().Entries(), (ListEntries{{"News", 0, {"http://n"}}}));
  EXPECT_TRUE(ListFileLoaded());
}

TEST_F(FeedsTest, CloseWritesTheListTheCloseBoxDoesNot) {
  StartApp();
  const std::string path = OrvindelDir() + "2rss.ovf";
  Tfslide& slide = app_->fslide();
  {
    Autopilot pilot({{[&] { return Manage().Showing(); }, [&] { Manage().sb1Click(); }}});
    Autopilot dialog({{[&] { return slide.Showing(); },
                       [&] {
                         slide.ename.set_text("Added");
                         slide.eurl.set_text("http://added/");
                         slide.EndModal(ModalResult::kOk);
                       }},
                      {[&] { return !slide.Showing(); }, [&] { Manage().close(); }}});
    Manage().ShowModal(&Main());
    EXPECT_TRUE(dialog.Done());
  }
  EXPECT_FALSE(fs::exists(path));
  EXPECT_EQ(Manage().Entries().size(), 1u);
  {
    Autopilot pilot({{[&] { return Manage().Showing(); }, [&] { Manage().BitBtn1Click(); }}});
    Manage().ShowModal(&Main());
  }
  EXPECT_EQ(ParseListFile(ReadFile(path)).entries, (ListEntries{{"Added", 0, {"http://added/"}}}));
}

TEST_F(FeedsTest, RemoveMoveAndEditActOnTheSelection) {
  WriteFeeds({{"A", 0, {"a"}}, {"B", 0, {"b"}}, {"C", 0, {"c"}}});
  StartApp();
  auto names = [&] {
    std::string out;
    for (const auto& e : Manage().Entries()) out += e.caption;
    return out;
  };
  Manage().SB2Click();
  EXPECT_EQ(names(), "ABC");
  Manage().Select(0);
  Manage().SB3Click();
  EXPECT_EQ(names(), "BCA");
  EXPECT_EQ(Manage().SelectedIndex(), 2);
  Manage().sb4Click();
  EXPECT_EQ(names(), "BCA");
  Manage().SB2Click();
  EXPECT_EQ(names(), "BC");
  // Edit with nothing selected takes the first entry; Cancel keeps it.
  Manage().Select(-1);
  Tfslide& slide = app_->fslide();
  Autopilot pilot({{[&] { return slide.Showing(); },
                    [&] {
                      EXPECT_EQ(slide.ename.get_text(), "B");
                      slide.ename.set_text("B2");
                      slide.EndModal(ModalResult::kOk);
                    }}});
  Manage().SB5Click();
  EXPECT_EQ(Manage().Entries().front(), (ListEntry{"B2", 0, {"b"}}));
}

TEST_F(FeedsTest, AddRssFromAnRssAddressChainsReaderManageFeedsAndAdd) {
  StartApp();
  Main().e3.set_text("http://example.test/Feed.RsS");
  Main().CurrentPageTitle = "Example feed";
  Tfslide& slide = app_->fslide();
  std::string name, url;
  Autopilot pilot({{[&] { return slide.Showing(); },
                    [&] {
                      name = slide.ename.get_text();
                      url = slide.eurl.get_text();
                      slide.EndModal(ModalResult::kOk);
                    }},
                   {[&] { return !slide.Showing() && Manage().Showing(); },
                    [&] { Manage().BitBtn1Click(); }},
                   {[&] { return !Manage().Showing(); }, [&] { Reader().BitBtn1Click(); }}});
  Main().RunCommand("AddRSS2");
  EXPECT_TRUE(pilot.Done());
  EXPECT_EQ(name, "Example feed");
  EXPECT_EQ(url, "http://example.test/Feed.RsS");
  EXPECT_FALSE(Main().AddFeedRequested);
  EXPECT_EQ(ParseListFile(ReadFile(OrvindelDir() + "2rss.ovf")).entries,
            (ListEntries{{"Example feed", 0, {"http://example.test/Feed.RsS"}}}));
}

TEST_F(FeedsTest, ReaderShowsTheFirstFeedAndSelectsByNameIgnoringCase) {
  server_.bodies["/sport"] = Rss(Item("Goal"));
  server_.bodies["/news1"] = Rss(Item("Election") + Item("Weather"));
  server_.bodies["/news2"] = Rss(Item("Other"));
  WriteFeeds({{"Sport", 0, {server_.Url("/sport")}},
              {"News", 0, {server_.Url("/news1")}},
              {"News", 0, {server_.Url("/news2")}}});
  StartApp();
  std::string first;
  WithReader([&] {
    KeepDigest();
    first = digest_;
    EXPECT_EQ(Reader().FeedNames(), (std::vector<std::string>{"Sport", "News", "News"}));
    EXPECT_TRUE(Reader().Browser()->UserAgent() == Main().CurrentUserAgent);
    Reader().cbfeeds.get_entry()->set_text("news");
    KeepDigest();
    // Only one digest at a time, and no feed file left behind.
    EXPECT_EQ(FilesIn(OrvindelDir(), ".html").size(), 1u);
    EXPECT_EQ(FilesIn(services_.folders.TempDir(), ""), std::vector<std::string>{});
  });
  EXPECT_NE(first.find(">Goal</a>"), std::string::npos);
  EXPECT_NE(digest_.find(">Election</a>"), std::string::npos);
  EXPECT_NE(digest_.find(">Weather</a>"), std::string::npos);
  EXPECT_NE(digest_.find("<strong>News</strong>"), std::string::npos);
  EXPECT_EQ(digest_.find("Other"), std::string::npos);
  EXPECT_EQ(server_.requests["/news2"], 0);
  EXPECT_TRUE(FilesIn(OrvindelDir(), ".html").empty());
  EXPECT_TRUE(web_.log.end() != std::find(web_.log.begin(), web_.log.end(), "passive on"));
}

TEST_F(FeedsTest, DownloadAllOverTwoFeedsAndOverNone) {
  server_.bodies["/a"] = Rss(Item("A1") + Item("A2"));
  server_.bodies["/b"] = Rss(Item("B1"));
  WriteFeeds({{"Alpha", 0, {server_.Url("/a")}}, {"Beta", 0, {server_.Url("/b")}}});
  WriteFile(OrvindelDir() + "rsss.html", "old");
  StartApp();
  WithReader([&] {
    Reader().SpeedButton4Click();
    KeepDigest();
    EXPECT_FALSE(fs::exists(OrvindelDir() + "rsss.html"));
  });
  const size_t a1 = digest_.find(">A1</a>"), a2 = digest_.find(">A2</a>"), b1 = digest_.find(">B1</a>");
  ASSERT_NE(b1, std::string::npos);
  EXPECT_LT(a1, a2);
  EXPECT_LT(a2, b1);
  EXPECT_NE(digest_.find("<strong>Beta</strong>", b1), std::string::npos);
  EXPECT_EQ(digest_.find("<strong>Beta</strong>"), digest_.find("<strong>Beta</strong>", b1));

  WriteFeeds({});
  WithReader([&] {
    Reader().SpeedButton4Click();
    KeepDigest();
  });
  EXPECT_EQ(digest_, "<HTML>\r\n<HEAD>\r\n</HEAD>\r\n<BODY>\r\n</BODY>\r\n</HTML>\r\n");
  EXPECT_TRUE(FilesIn(services_.folders.TempDir(), "").empty());
}

TEST_F(FeedsTest, AFeedThatCannotBeReadIsReportedAndLeavesNoFile) {
  server_.bodies["/mixed"] = Rss("<item><title>a<b>b</b></title></item>");
  WriteFeeds({{"Mixed", 0, {server_.Url("/mixed")}}});
  StartApp();
  WithReader();
  ASSERT_FALSE(dialogs_.shown.empty());
  EXPECT_EQ(dialogs_.shown.back().text, "Element does not contain a single text node");
  EXPECT_TRUE(FilesIn(services_.folders.TempDir(), "").empty());
}

TEST_F(FeedsTest, ScrollingRssShowsTheFirstFeedAndRefreshesOnlyWhileShown) {
  StartApp();
  // An empty list: nothing happens.
  Main().RunCommand("ScrollingRSS1");
  EXPECT_FALSE(Main().ptop.get_visible());
  EXPECT_FALSE(Main().TickerTimerRunning());

  server_.bodies["/world"] = Rss(Item("A", "Mon") + Item("B", "Tue"));
  WriteFeeds({{"World", 0, {server_.Url("/world")}}});
  Manage().ReloadFromFile(&Main());
  Main().socialbar.show();
  Main().RunCommand("ScrollingRSS1");
  EXPECT_TRUE(Main().ptop.get_visible());
  EXPECT_TRUE(Main().TickerTimerRunning());
  EXPECT_EQ(Main().als.Text(), "   World ::: Mon:  A :::    Tue:  B :::    ");
  EXPECT_EQ(server_.requests["/world"], 1);
  // The strip lies below the social bar.
  PumpIdle();
  Pump([&] { return Main().ptop.get_allocated_height() > 1; }, 2000);
  int sx = 0, sy = 0, px = 0, py = 0;
  Main().socialbar.translate_coordinates(Main(), 0, 0, sx, sy);
  Main().ptop.translate_coordinates(Main(), 0, 0, px, py);
  EXPECT_GT(py, sy);

  Main().rsstimerTimer();
  EXPECT_EQ(server_.requests["/world"], 2);
  Main().RunCommand("ScrollingRSS1");
  EXPECT_FALSE(Main().ptop.get_visible());
  EXPECT_FALSE(Main().TickerTimerRunning());
  Main().rsstimerTimer();
  EXPECT_EQ(server_.requests["/world"], 2);

  // A list that became empty while shown: a single space.
  Main().RunCommand("ScrollingRSS1");
  Manage().SetEntries({});
  Main().alsrefreshClick();
  EXPECT_EQ(Main().als.Text(), " ");
  // A feed that cannot be fetched: a single space, silently.
  Manage().SetEntries({{"Down", 0, {"http://127.0.0.1:1/"}}});
  const size_t messages = dialogs_.shown.size();
  Main().alsrefreshClick();
  EXPECT_EQ(Main().als.Text(), " ");
  EXPECT_EQ(dialogs_.shown.size(), messages);
  Main().alszapriClick();
  EXPECT_FALSE(Main().ptop.get_visible());
  EXPECT_FALSE(Main().TickerTimerRunning());
}

TEST_F(FeedsTest, OpenInBrowserMovesAFollowedPageIntoANewTab) {
  server_.bodies["/feed"] = Rss(Item("One"));
  server_.bodies["/article"] = "<p>the article</p>";
  const std::string article = server_.Url("/article");
  web_.pages[article] = {"Article", "<p>as the reader shows it</p>"};
  WriteFeeds({{"Feed", 0, {server_.Url("/feed")}}});
  StartApp();
  const int tabs = Main().nbook.PageCount();
  bool closed_on_digest = true;
  WithReader([&] {
    // On the digest, a local page, the button does nothing.
    Settle();
    Reader().sb1Click();
    closed_on_digest = !Reader().Showing();
    Reader().Browser()->Navigate(article);
    Settle();
    Reader().sb1Click();
  });
  EXPECT_FALSE(closed_on_digest);
  EXPECT_FALSE(Reader().Showing());
  EXPECT_EQ(Main().nbook.PageCount(), tabs + 1);
  TWebBrowser* tab = Main().GetCurrentWB();
  ASSERT_NE(tab, nullptr);
  EXPECT_EQ(tab->LocationURL(), article);
  EXPECT_EQ(static_cast<FakeBackend&>(tab->Backend()).body(), "<p>as the reader shows it</p>");
  EXPECT_EQ(Main().e3.get_text(), article);
  EXPECT_EQ(Reader().AlphaBlendValue, 200);
}

TEST_F(FeedsTest, ClickOnTheTickerAndThePanelButtonOpenTheReader) {
  StartApp();
  int opened = 0;
  Autopilot pilot({{[&] { return Reader().Showing(); },
                    [&] {
                      ++opened;
                      Reader().BitBtn1Click();
                    }},
                   {[&] { return Reader().Showing(); },
                    [&] {
                      ++opened;
                      Reader().BitBtn1Click();
                    }}});
  Main().RedirectMode = true;
  Main().xq1.clicked();
  EXPECT_FALSE(Main().RedirectMode);
  Main().alsClick();
  EXPECT_EQ(opened, 2);
}

}  // namespace
}  // namespace orv::test
