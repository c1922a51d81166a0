// The main window's side of the feeds: opening the reader, Add RSS, and the
// news ticker along the bottom edge with its five-minute refresh.
#include "shell/main_window.h"

#include "app/app.h"
#include "favorites/list_file.h"
#include "feeds/feed_digest.h"
#include "feeds/feed_list.h"
#include "feeds/manage_feeds_window.h"
#include "feeds/rss_window.h"
#include "platform/error_report.h"
#include "platform/main_loop.h"
#include "ui/services.h"

namespace orv {

namespace {

constexpr char kTickerFile[] = "temp.skrol.xml";
constexpr unsigned kTickerRefreshMs = 300000;

constexpr char kTickerCss[] = R"(
#ptop { background-color: rgb(149,185,253); min-height: 16px; }
#ptop button { padding: 0; min-height: 16px; min-width: 16px; border: none; }
)";

}  // namespace

void TMainForm::BuildTicker() {
  ptop.set_name("ptop");
  ptop.set_size_request(-1, 16);
  als.set_name("als");
  als.SetText("   ");
  als.SetSpeed(10);
  als.SetBackgroundColor({0, 128, 192});
  als.SetFontColor({255, 255, 255});
  Pango::FontDescription font("Sans Bold");
  font.set_absolute_size(13 * PANGO_SCALE);
  als.SetFont(font);
  als.SetTextDirection(TextDirection::kRightToLeft);
  als.OnClick = [this] { RunReported([&] { alsClick(); }); };
  const std::tuple<Gtk::Button*, const char*, const char*> buttons[] = {
      {&alsrefresh, "view-refresh-symbolic", "Refresh"},
      {&alszapri, "window-close-symbolic", "Close"}};
  for (const auto& [button, icon, hint] : buttons) {
    button->set_image_from_icon_name(icon, Gtk::ICON_SIZE_MENU);
    button->set_relief(Gtk::RELIEF_NONE);
    button->set_tooltip_text(hint);
    button->set_size_request(16, 16);
    button->set_can_focus(false);
  }
  alsrefresh.signal_clicked().connect([this] { RunReported([&] { alsrefreshClick(); }); });
  alszapri.signal_clicked().connect([this] { RunReported([&] { alszapriClick(); }); });
  ptop.pack_start(als, Gtk::PACK_EXPAND_WIDGET);
  ptop.pack_start(alsrefresh, Gtk::PACK_SHRINK);
  ptop.pack_start(alszapri, Gtk::PACK_SHRINK);
  ptop.show_all();
  // Hidden at start, and not shown with the rest of the window.
  ptop.hide();
  ptop.set_no_show_all(true);
  root.pack_end(ptop, Gtk::PACK_SHRINK);
  auto css = Gtk::CssProvider::create();
  css->load_from_data(kTickerCss);
  ptop.get_style_context()->add_provider(css, GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  for (Gtk::Widget* w : {static_cast<Gtk::Widget*>(&alsrefresh), static_cast<Gtk::Widget*>(&alszapri)}) {
    w->get_style_context()->add_provider(css, GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  }
}

void TMainForm::SpeedButton19Click() { app_.frss().ShowModal(); }

void TMainForm::RSSReader1Click() { SpeedButton19Click(); }

void TMainForm::AddRSS2Click() {
  AddFeedRequested = true;
  SpeedButton19Click();
}

void TMainForm::xq1Click() {
  x108Click();
  SpeedButton19Click();
}

void TMainForm::ScrollingRSS1Click() {
  if (app_.fmanage().Empty()) return;
  // The first child packed from the end sits lowest: the strip goes to the
  // very bottom, below the social bar.
  root.reorder_child(ptop, 0);
  ptop.set_visible(!ptop.get_visible());
  if (ptop.get_visible()) {
    if (!rsstimer_.connected()) {
      rsstimer_ = Glib::signal_timeout().connect(
          sigc::track_obj(
              [this] {
                RunReported([&] { rsstimerTimer(); });
                return true;
              },
              *this),
          kTickerRefreshMs);
    }
    rssClick();
  } else {
    rsstimer_.disconnect();
  }
}

void TMainForm::alsClick() { SpeedButton19Click(); }

void TMainForm::alsrefreshClick() { rssClick(); }

void TMainForm::alszapriClick() {
  rsstimer_.disconnect();
  ptop.hide();
}

void TMainForm::rsstimerTimer() {
  if (ptop.get_visible()) rssClick();
}

void TMainForm::rssClick() {
  // One refresh at a time: a tick or a click while one waits for its feed
  // has nothing to add.
  if (ticker_refreshing_) return;
  ticker_refreshing_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{ticker_refreshing_};

  als.SetText(" ");
  ProcessPendingEvents();
  std::string url;
  std::string name;
  // A list that has become empty shows the single space.
  if (ListFileLoaded()) {
    const ListEntries feeds = app_.fmanage().Entries();
    if (!feeds.empty()) {
      url = FeedUrl(feeds.front());
      name = feeds.front().caption;
    }
  }
  if (url.empty()) return;
  std::vector<FeedItem> items;
  try {
    items = Tfrss::FetchFeed(*services_.http, url, OrvindelDir() + kTickerFile);
  } catch (const FeedDownloadError&) {
    // A feed that cannot be fetched now leaves the ticker blank, silently.
    return;
  }
  if (closed_ || IsTerminating()) return;
  als.SetText(TickerText(name, items));
}

}  // namespace orv
