// The reader over the real engine: a feed's markup renders, but nothing in
// it runs, and nothing in it reaches outside through the parser.
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>
#include <libsoup/soup.h>
#include <webkit2/webkit2.h>

#include <map>
#include <mutex>
#include <set>

#include "engine/webkit_backend.h"
#include "favorites/list_file.h"
#include "feeds/manage_feeds_window.h"
#include "feeds/rss_window.h"
#include "local_server.h"
#include "platform/main_loop.h"
#include "shell/main_window.h"
#include "window_fixture.h"

namespace orv::test {
namespace {

// Serves `bodies` and remembers every path that was asked for.
class RecordingServer {
 public:
  RecordingServer()
      : server_([this](SoupServerMessage* msg, const std::string& path) {
          seen.insert(path);
          const auto it = bodies.find(path);
          if (it == bodies.end()) {
            soup_server_message_set_status(msg, 404, nullptr);
            return;
          }
          soup_server_message_set_status(msg, 200, nullptr);
          soup_server_message_set_response(msg, it->second.first.c_str(), SOUP_MEMORY_COPY,
                                           it->second.second.data(), it->second.second.size());
        }) {}
  std::string Url(const std::string& path) const { return server_.Url(path); }
  std::map<std::string, std::pair<std::string, std::string>> bodies;  // path -> type, body
  std::set<std::string> seen;

 private:
  LocalServer server_;
};

std::string PngBytes() {
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 4, 4);
  gdk_pixbuf_fill(pixbuf, 0xff0000ff);
  gchar* buffer = nullptr;
  gsize size = 0;
  gdk_pixbuf_save_to_buffer(pixbuf, &buffer, &size, "png", nullptr, nullptr);
  std::string bytes(buffer, size);
  g_free(buffer);
  g_object_unref(pixbuf);
  return bytes;
}

// Calls `step` every `ms` on the main loop while it lives.
class Every {
 public:
  Every(int ms, std::function<void()> step) : step_(std::move(step)) {
    id_ = g_timeout_add(ms, Fire, this);
  }
  ~Every() { g_source_remove(id_); }

 private:
  static gboolean Fire(gpointer data) {
    static_cast<Every*>(data)->step_();
    return G_SOURCE_CONTINUE;
  }
  std::function<void()> step_;
  guint id_;
};

class FeedEngineTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ConfigureWebEngine("");
    services_.engine = &engine_;
  }

  // Opens the reader on the only feed and runs `while_open` once its digest
  // has loaded.
  void ReadFeed(const std::string& xml, const std::function<void(TWebBrowser&)>& while_open) {
    server_.bodies["/feed.xml"] = {"application/rss+xml", xml};
    WriteFile(OrvindelDir() + "2rss.ovf",
              SerializeListFile({{"Local", 0, {server_.Url("/feed.xml")}}}));
    StartApp();
    bool ran = false;
    Every check(50, [&] {
      Tfrss& reader = app_->frss();
      if (ran || !reader.Showing()) return;
      TWebBrowser* wb = reader.Browser();
      const bool shown = wb && !reader.DigestPath().empty() &&
                         wb->LocationURL().find("rsss") != std::string::npos &&
                         wb->ReadyState() == TWebBrowser::kReadyStateComplete;
      if (!shown && dialogs_.shown.empty()) return;
      ran = true;
      if (shown) while_open(*wb);
      reader.BitBtn1Click();
    });
    app_->MainForm().RSSReader1Click();
    EXPECT_TRUE(ran);
  }

  WebKitEngine engine_;
  RecordingServer server_;
};

TEST_F(FeedEngineTest, MarkupRendersButNothingInAFeedRuns) {
  const std::string local_png = root_ + "/data/local.png";
  WriteFile(local_png, PngBytes());
  server_.bodies["/image.png"] = {"image/png", PngBytes()};
  const std::string base = server_.Url("");
  const std::string description =
      "<img id=\"remote\" src=\"" + base + "/image.png\">"
      "<script>new Image().src = '" + base + "/script';</script>"
      "<img id=\"broken\" src=\"" + base + "/missing.png\" onerror=\"new Image().src = '" + base +
      "/onerror'\">"
      "<a id=\"link\" href=\"javascript:new Image().src = '" + base + "/javascript-link'\">go</a>"
      "<img id=\"local\" src=\"file://" + local_png + "\">"
      "<p id=\"text\">Новости 新闻</p>";
  std::string remote_width, local_width, text, title;
  ReadFeed("<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss><channel><item><title>Заголовок</title>"
           "<description><![CDATA[" + description + "]]></description></item></channel></rss>",
           [&](TWebBrowser& wb) {
             // The page's link is clicked; a javascript: link must not be followed.
             EvaluateInPage(wb, "document.getElementById('link').click(); ''");
             WaitUntil([&] { return server_.seen.count("/image.png") > 0; }, 10000);
             WaitUntil([] { return false; }, 1500);
             remote_width = EvaluateInPage(wb, "String(document.getElementById('remote').naturalWidth)");
             local_width = EvaluateInPage(wb, "String(document.getElementById('local').naturalWidth)");
             text = EvaluateInPage(wb, "document.getElementById('text').textContent");
             title = EvaluateInPage(wb, "document.querySelector('a').textContent");
           });
  ASSERT_TRUE(dialogs_.shown.empty()) << dialogs_.shown.front().text;
  EXPECT_EQ(server_.seen.count("/image.png"), 1u);
  EXPECT_EQ(remote_width, "4");
  EXPECT_EQ(server_.seen.count("/script"), 0u);
  EXPECT_EQ(server_.seen.count("/onerror"), 0u);
  EXPECT_EQ(server_.seen.count("/javascript-link"), 0u);
  EXPECT_EQ(local_width, "0") << "a local file was read into the digest";
  EXPECT_EQ(text, "Новости 新闻");
  EXPECT_EQ(title, "Заголовок");
}

TEST_F(FeedEngineTest, AnExternalEntityIsNeverFetched) {
  const std::string xml = "<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY remote SYSTEM \"" +
                          server_.Url("/entity") + "\"><!ENTITY % dtd SYSTEM \"" +
                          server_.Url("/dtd") + "\"> %dtd;]><rss><channel><item><title>&remote;"
                          "</title></item></channel></rss>";
  ReadFeed(xml, [](TWebBrowser&) {});
  WaitUntil([] { return false; }, 500);
  EXPECT_EQ(server_.seen.count("/entity"), 0u);
  EXPECT_EQ(server_.seen.count("/dtd"), 0u);
  EXPECT_EQ(server_.seen.count("/feed.xml"), 1u);
}

}  // namespace
}  // namespace orv::test
