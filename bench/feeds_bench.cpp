// The feed reader's path measured with a large feed, and the ticker's cost.
//
//   1. A feed of 10,000 items (about 4 MB) from an in-process server on
//      127.0.0.1, downloaded and read as it arrives, turned into the digest
//      and written, as the reader does it; next to a bare libxml2 parse of
//      the same file from disk. The ratio of the medians is the figure.
//   2. While that runs, a 2 ms timer records when it fires; the largest gap
//      between two ticks is the longest time the window would have been
//      frozen.
//   3. The ticker (TALScrollingText, 1280 x 16, the program's settings) with
//      a long line scrolling for ten seconds: the process CPU time over that
//      span, as a share of one core.
//   4. The digest shown by WebKitGTK: from the start of the download to the
//      engine's document complete.
//
// Needs an X display: xvfb-run -a build/feeds_bench [items]. Exit status 0 when the
// measurements ran; the figures are for reading.

#include <gtkmm.h>
#include <libsoup/soup.h>
#include <libxml/parser.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "engine/web_browser.h"
#include "engine/webkit_backend.h"
#include "feeds/feed_digest.h"
#include "feeds/feed_parser.h"
#include "feeds/rss_window.h"
#include "platform/files.h"
#include "platform/http_service.h"
#include "platform/main_loop.h"
#include "widgets/scrolling_text_widget.h"

namespace {

int kItems = 10000;
constexpr int kRuns = 7;

double NowMs() { return static_cast<double>(g_get_monotonic_time()) / 1000.0; }

double CpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

std::string BigFeed() {
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss version=\"2.0\"><channel>"
                    "<title>Bench</title>\n";
  for (int i = 0; i < kItems; ++i) {
    const std::string n = std::to_string(i);
    xml += "<item>\n  <title>Headline number " + n + " of the bench feed</title>\n"
           "  <link>http://example.test/articles/" + n + "</link>\n"
           "  <description><![CDATA[<p>Paragraph <b>" + n + "</b> with some markup, a link "
           "<a href=\"http://example.test/" + n + "\">here</a> and enough words to look like a "
           "real summary of a real article.</p>]]></description>\n"
           "  <pubDate>Mon, 01 Jan 2024 12:00:00 GMT</pubDate>\n"
           "  <category>Bench</category>\n</item>\n";
  }
  return xml + "</channel></rss>\n";
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The largest gap between ticks of a 2 ms timer while it lives.
class StallMeter {
 public:
  StallMeter() : last_(NowMs()) { id_ = g_timeout_add(2, Tick, this); }
  ~StallMeter() { g_source_remove(id_); }
  double Worst() {
    Tick(this);
    return worst_;
  }

 private:
  static gboolean Tick(gpointer data) {
    auto* self = static_cast<StallMeter*>(data);
    const double now = NowMs();
    self->worst_ = std::max(self->worst_, now - self->last_);
    self->last_ = now;
    return G_SOURCE_CONTINUE;
  }
  double last_;
  double worst_ = 0;
  guint id_;
};

}  // namespace

int main(int argc, char** argv) {
  // feeds_bench [items]: another feed size.
  if (argc > 1) kItems = std::max(1, std::atoi(argv[1]));
  argc = 1;
  auto app = Gtk::Application::create(argc, argv, "org.orvindel.FeedsBench",
                                      Gio::APPLICATION_NON_UNIQUE);
  (void)app;
  const std::string feed = BigFeed();
  gchar* tmp = g_dir_make_tmp("orvindel-feeds-bench-XXXXXX", nullptr);
  const std::string folder = std::string(tmp) + "/";
  g_free(tmp);
  const std::string feed_path = folder + "feed.xml";
  std::ofstream(feed_path, std::ios::binary) << feed;

  SoupServer* server = soup_server_new(nullptr, nullptr);
  soup_server_add_handler(
      server, nullptr,
      [](SoupServer*, SoupServerMessage* msg, const char*, GHashTable*, gpointer data) {
        const auto* body = static_cast<const std::string*>(data);
        soup_server_message_set_status(msg, 200, nullptr);
        soup_server_message_set_response(msg, "application/rss+xml", SOUP_MEMORY_STATIC,
                                         body->data(), body->size());
      },
      const_cast<std::string*>(&feed), nullptr);
  if (!soup_server_listen_local(server, 0, SOUP_SERVER_LISTEN_IPV4_ONLY, nullptr)) {
    std::fprintf(stderr, "cannot listen on 127.0.0.1\n");
    return 1;
  }
  GSList* uris = soup_server_get_uris(server);
  const std::string url = "http://127.0.0.1:" +
                          std::to_string(g_uri_get_port(static_cast<GUri*>(uris->data))) +
                          "/feed.xml";
  g_slist_free_full(uris, reinterpret_cast<GDestroyNotify>(g_uri_unref));

  orv::SoupHttpService http;
  std::vector<double> bare, push, ours, stalls;
  size_t items_read = 0;
  for (int run = 0; run < kRuns; ++run) {
    double t0 = NowMs();
    xmlDoc* doc = xmlReadFile(feed_path.c_str(), nullptr, XML_PARSE_NONET);
    bare.push_back(NowMs() - t0);
    if (!doc) return 1;
    xmlFreeDoc(doc);

    t0 = NowMs();
    {
      orv::FeedParser parser;
      for (size_t at = 0; at < feed.size(); at += 65536) {
        parser.Feed(std::string_view(feed).substr(at, 65536));
      }
      parser.Finish();
    }
    push.push_back(NowMs() - t0);

    StallMeter meter;
    t0 = NowMs();
    const auto items = orv::Tfrss::FetchFeed(http, url, folder + "ovrss.xml");
    orv::DigestLines lines;
    orv::AddDigestHeader(lines);
    orv::AddDigestItems(lines, items, "Bench", [] { orv::ProcessPendingEvents(); });
    orv::AddDigestFooter(lines);
    const std::string bytes = orv::JoinDigestLines(lines);
    std::ofstream(folder + "rsss.html", std::ios::binary) << bytes;
    ours.push_back(NowMs() - t0);
    stalls.push_back(meter.Worst());
    items_read = items.size();
  }
  std::printf("feed: %d items, %.1f MB, read %zu items\n", kItems, feed.size() / 1e6, items_read);
  std::printf("bare libxml2 parse of the file:           median %7.1f ms\n", Median(bare));
  std::printf("push parser alone, 64 KiB pieces, items:  median %7.1f ms\n", Median(push));
  std::printf("download + read as it arrives + digest:   median %7.1f ms\n", Median(ours));
  std::printf("ratio (ours / bare):                             %7.2f  (aim <= 1.5)\n",
              Median(ours) / Median(bare));
  std::printf("longest main-loop stall during a refresh: worst  %7.1f ms, median %.1f ms "
              "(aim <= 16)\n",
              *std::max_element(stalls.begin(), stalls.end()), Median(stalls));

  // The ticker.
  Gtk::Window strip;
  strip.set_default_size(1280, 16);
  orv::TALScrollingText ticker;
  ticker.SetSpeed(10);
  ticker.SetBackgroundColor({0, 128, 192});
  ticker.SetFontColor({255, 255, 255});
  Pango::FontDescription font("Sans Bold");
  font.set_absolute_size(13 * PANGO_SCALE);
  ticker.SetFont(font);
  ticker.SetTextDirection(orv::TextDirection::kRightToLeft);
  std::string text = "   Bench ::: ";
  for (int i = 0; i < 40; ++i) text += "Mon, 01 Jan 2024:  Headline number " + std::to_string(i) + " :::    ";
  ticker.SetText(text);
  strip.add(ticker);
  strip.show_all();
  orv::WaitUntil([] { return false; }, 1000);
  const int start_offset = ticker.Model().Offset();
  const double cpu0 = CpuMs();
  const double wall0 = NowMs();
  orv::WaitUntil([] { return false; }, 10000);
  const double cpu = CpuMs() - cpu0;
  const double wall = NowMs() - wall0;
  std::printf("ticker 1280 x 16, Speed 10, %d px strip: CPU %.1f ms over %.0f ms = %.2f %% of one "
              "core (aim <= 3); moved %d px\n",
              ticker.Model().StripWidth(), cpu, wall, 100.0 * cpu / wall,
              start_offset - ticker.Model().Offset());
  // The digest on show in WebKitGTK.
  orv::ConfigureWebEngine("");
  Gtk::Window window;
  window.set_default_size(1000, 700);
  orv::TWebBrowser browser(orv::WebKitEngine().NewBackend());
  browser.SetPassiveContent(true);
  gtk_container_add(GTK_CONTAINER(window.gobj()), browser.Widget());
  window.show_all();
  bool complete = false;
  browser.OnDocumentComplete = [&](orv::TWebBrowser&) { complete = true; };
  {
    StallMeter meter;
    const double t0 = NowMs();
    const auto items = orv::Tfrss::FetchFeed(http, url, folder + "ovrss.xml");
    orv::DigestLines lines;
    orv::AddDigestHeader(lines);
    orv::AddDigestItems(lines, items, "Bench", [] { orv::ProcessPendingEvents(); });
    orv::AddDigestFooter(lines);
    const std::string bytes = orv::JoinDigestLines(lines);
    std::ofstream(folder + "rsss2.html", std::ios::binary) << bytes;
    browser.Navigate(folder + "rsss2.html");
    orv::WaitUntil([&] { return complete; }, 120000);
    std::printf("download to digest shown (document complete): %7.1f ms%s; longest stall %.1f ms\n",
                NowMs() - t0, complete ? "" : " (not complete)", meter.Worst());
  }

  g_object_unref(server);
  return 0;
}
