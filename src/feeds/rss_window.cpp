#include "feeds/rss_window.h"

#include <fcntl.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/app.h"
#include "engine/document_commands.h"
#include "feeds/feed_list.h"
#include "feeds/manage_feeds_window.h"
#include "platform/error_report.h"
#include "platform/files.h"
#include "platform/http_service.h"
#include "platform/main_loop.h"
#include "shell/main_window.h"

namespace orv {

namespace {

// Takes a scratch file away when the step that made it ends, however it ends.
class ScratchFile {
 public:
  explicit ScratchFile(std::string path) : path_(std::move(path)) {}
  ~ScratchFile() { g_unlink(path_.c_str()); }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The busy pointer over a window while a step runs.
class BusyCursor {
 public:
  explicit BusyCursor(Gtk::Window& window) : window_(window) {
    if (auto w = window_.get_window()) w->set_cursor(Gdk::Cursor::create(window_.get_display(), "wait"));
  }
  ~BusyCursor() {
    if (auto w = window_.get_window()) w->set_cursor();
  }

 private:
  Gtk::Window& window_;
};

}  // namespace

std::string ReserveNumberedFile(const std::string& folder, const std::string& prefix,
                                const std::string& extension) {
  g_mkdir_with_parents(folder.c_str(), 0700);
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const std::string path =
        folder + prefix + std::to_string(g_random_int_range(0, 100000)) + extension;
    const int fd = g_open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
      close(fd);
      return path;
    }
    if (errno != EEXIST) break;
  }
  throw FileError("No file \"" + prefix + "N" + extension + "\" can be made in \"" + folder + "\".");
}

std::vector<FeedItem> Tfrss::FetchFeed(HttpService& http, const std::string& url,
                                       const std::string& destination) {
  FeedParser parser;
  std::optional<FeedError> error;
  DownloadOptions options;
  // The parser refuses a feed that is too large, with its own message.
  options.max_bytes = kMaxFeedBytes + kMaxFeedBytes / 2;
  options.durable = false;
  options.on_chunk = [&](std::string_view chunk) {
    try {
      parser.Feed(chunk);
      return true;
    } catch (const FeedError& e) {
      error = e;
      return false;
    }
  };
  const bool downloaded = http.DownloadToFile(url, destination, options);
  if (error) throw *error;
  if (!downloaded) throw FeedDownloadError("The feed \"" + url + "\" could not be downloaded.");
  // A long feed's items are taken out with the window still answering.
  return parser.Finish([] { ProcessPendingEvents(); });
}

Tfrss::Tfrss(App& app, Services& services)
    : SecondaryWindow(app, services, "Tfrss", "Orvindel - RSS Reader"),
      root(Gtk::ORIENTATION_VERTICAL),
      top(Gtk::ORIENTATION_HORIZONTAL),
      cbfeeds(true),
      wbarea(Gtk::ORIENTATION_VERTICAL),
      bottom(Gtk::ORIENTATION_HORIZONTAL) {
  set_default_size(889, 623);
  set_position(Gtk::WIN_POS_CENTER);

  cbfeeds.set_size_request(220, -1);
  top.pack_start(cbfeeds, Gtk::PACK_SHRINK);
  const std::pair<Gtk::Button*, const char*> labels[] = {{&SpeedButton4, "Download All"},
                                                         {&SpeedButton3, "Feeds"},
                                                         {&SpeedButton2, "Manage Feeds"},
                                                         {&sb1, "Open in Browser"},
                                                         {&SpeedButton13, "Find"}};
  for (const auto& [button, label] : labels) {
    button->set_label(label);
    button->set_relief(Gtk::RELIEF_NONE);
    top.pack_start(*button, Gtk::PACK_SHRINK);
  }
  SpeedButton13.set_tooltip_text("Search and Highlights");
  top.set_spacing(4);
  top.set_border_width(4);

  pb.set_size_request(150, -1);
  pb.set_valign(Gtk::ALIGN_CENTER);
  BitBtn1.set_label("Close");
  bottom.pack_start(pb, Gtk::PACK_SHRINK);
  bottom.pack_end(BitBtn1, Gtk::PACK_SHRINK);
  bottom.set_border_width(4);

  root.pack_start(top, Gtk::PACK_SHRINK);
  root.pack_start(wbarea, Gtk::PACK_EXPAND_WIDGET);
  root.pack_start(bottom, Gtk::PACK_SHRINK);
  add(root);
  root.show_all();
  pb.hide();

  cbfeeds.signal_changed().connect([this] {
    if (!filling_) RunReported([&] { cbfeedsChange(); });
  });
  SpeedButton4.signal_clicked().connect([this] { RunReported([&] { SpeedButton4Click(); }); });
  SpeedButton3.signal_clicked().connect([this] { RunReported([&] { SpeedButton3Click(); }); });
  SpeedButton2.signal_clicked().connect([this] { RunReported([&] { SpeedButton2Click(); }); });
  sb1.signal_clicked().connect([this] { RunReported([&] { sb1Click(); }); });
  SpeedButton13.signal_clicked().connect([this] { RunReported([&] { SpeedButton13Click(); }); });
  BitBtn1.signal_clicked().connect([this] { RunReported([&] { BitBtn1Click(); }); });
}

Tfrss::~Tfrss() {
  timer_.disconnect();
  ++generation_;
  wbrss_.reset();
}

void Tfrss::ShowModal() {
  if (showing_) return;
  showing_ = true;
  set_transient_for(app().MainForm());
  set_modal(true);
  present();
  timer_ = Glib::signal_timeout().connect(
      [this] {
        TimerTimer();
        return true;
      },
      125);
  RunReported([&] { FormActivate(); });
  WaitUntil([this] { return !showing_; });
  // Handlers that ran inside this wait are done now: a browser they used
  // can go.
  retired_.clear();
}

void Tfrss::ApplyTransparency() { set_opacity(AlphaBlend ? AlphaBlendValue / 255.0 : 1.0); }

void Tfrss::FormActivate() {
  TMainForm& main = app().MainForm();
  // 1-2.
  AlphaBlend = false;
  ApplyTransparency();
  ReaderClosing = false;
  Tfmanage& manage = app().fmanage();
  manage.SetEntries({});
  sb1.set_sensitive(false);
  // 3. A browser of its own for this opening.
  if (wbrss_) {
    wbarea.remove(*Glib::wrap(wbrss_->Widget()));
    retired_.push_back(std::move(wbrss_));
  }
  wbrss_ = std::make_unique<TWebBrowser>(services().engine->NewBackend());
  wbrss_->SetSilent(true);
  // A feed is someone else's markup: shown, never run.
  wbrss_->SetPassiveContent(true);
  wbrss_->SetUserAgent(main.CurrentUserAgent);
  wbrss_->OnProgressChange = [this](TWebBrowser&, int progress, int maximum) {
    wbrsssProgressChange(progress, maximum);
  };
  wbrss_->OnDocumentComplete = [this](TWebBrowser&) { sb1.set_sensitive(true); };
  wbarea.pack_start(*Glib::wrap(wbrss_->Widget()), Gtk::PACK_EXPAND_WIDGET);
  Glib::wrap(wbrss_->Widget())->show();
  // 4-5. The feed list as the file has it.
  RunGuarded([&] { manage.ReloadFromFile(this); });
  // 6.
  ProcessPendingEvents();
  FillSelector();
  // 7. The first feed. A feed that cannot be read is reported, and the
  // opening goes on: an Add RSS request still reaches Manage Feeds.
  if (!manage.Empty()) {
    filling_ = true;
    cbfeeds.set_active(0);
    filling_ = false;
    RunReported([&] { SpeedButton3Click(); });
  }
  if (!showing_ && !get_visible()) return;
  // 8.
  AlphaBlendValue = main.Settings.Transparency;
  // 9.
  if (main.AddFeedRequested) {
    SpeedButton2Click();
    main.AddFeedRequested = false;
  }
}

void Tfrss::FillSelector() {
  filling_ = true;
  cbfeeds.remove_all();
  for (const ListEntry& feed : app().fmanage().Entries()) cbfeeds.append(feed.caption);
  filling_ = false;
}

std::vector<std::string> Tfrss::FeedNames() const {
  std::vector<std::string> names;
  auto model = const_cast<Gtk::ComboBoxText&>(cbfeeds).get_model();
  for (const auto& row : model->children()) {
    Glib::ustring text;
    row.get_value(0, text);
    names.push_back(text);
  }
  return names;
}

void Tfrss::cbfeedsChange() {
  if (CurrentFeedUrl == kDownloadAllMarker) {
    nalozivse();
    return;
  }
  CurrentFeedUrl.clear();
  const ListEntries feeds = app().fmanage().Entries();
  const int index = FindFeedByName(feeds, cbfeeds.get_entry_text());
  if (index >= 0) {
    CurrentFeedUrl = FeedUrl(feeds[static_cast<size_t>(index)]);
    CurrentFeedName = feeds[static_cast<size_t>(index)].caption;
  }
  bbrefreshClick();
}

void Tfrss::SpeedButton3Click() {
  sb1.set_sensitive(false);
  cbfeedsChange();
}

void Tfrss::SpeedButton4Click() {
  CurrentFeedUrl = kDownloadAllMarker;
  cbfeedsChange();
}

void Tfrss::SpeedButton2Click() {
  app().fmanage().ShowModal(this);
  FillSelector();
}

void Tfrss::bbrefreshClick() {
  if (CurrentFeedUrl.empty() || !wbrss_) return;
  const unsigned generation = ++generation_;
  wbrss_->Navigate(" ");
  const std::string name = CurrentFeedName;
  std::vector<FeedItem> items;
  {
    // The feed file goes as soon as it has been read.
    ScratchFile feed_file(ReserveNumberedFile(services().folders.TempDir(), "ovrss", ".xml"));
    if (cbfeeds.get_entry_text().empty()) return;
    if (!FetchCurrentFeed(generation, feed_file.path(), items)) return;
  }
  DigestLines lines;
  AddDigestHeader(lines);
  AddDigestItems(lines, items, name, [] { ProcessPendingEvents(); });
  if (generation != generation_ || !wbrss_) return;
  AddDigestFooter(lines);
  ShowDigest(lines);
}

bool Tfrss::FetchCurrentFeed(unsigned generation, const std::string& path,
                             std::vector<FeedItem>& items) {
  {
    BusyCursor busy(*this);
    try {
      items = FetchFeed(*services().http, CurrentFeedUrl, path);
    } catch (const FeedError&) {
      // A refresh that was overtaken meanwhile has nothing more to say.
      if (generation != generation_) return false;
      throw;
    }
  }
  return generation == generation_ && wbrss_;
}

void Tfrss::nalozivse() {
  if (!wbrss_) return;
  const unsigned generation = ++generation_;
  g_unlink((services().folders.OrvindelDir() + "rsss.html").c_str());
  DigestLines lines;
  AddDigestHeader(lines);
  wbrss_->Navigate(" ");
  ScratchFile feed_file(ReserveNumberedFile(services().folders.TempDir(), "ovrss", ".xml"));
  CurrentFeedUrl.clear();
  // The list as it is now: Manage Feeds may change it while we wait.
  const ListEntries feeds = app().fmanage().Entries();
  for (const ListEntry& feed : feeds) {
    CurrentFeedUrl = FeedUrl(feed);
    CurrentFeedName = feed.caption;
    std::vector<FeedItem> items;
    if (!FetchCurrentFeed(generation, feed_file.path(), items)) return;
    AddDigestItems(lines, items, feed.caption, [] { ProcessPendingEvents(); });
    if (generation != generation_ || !wbrss_) return;
    g_unlink(feed_file.path().c_str());
  }
  g_unlink(feed_file.path().c_str());
  AddDigestFooter(lines);
  ShowDigest(lines);
}

void Tfrss::ShowDigest(const DigestLines& lines) {
  const std::string path = ReserveNumberedFile(services().folders.OrvindelDir(), "rsss", ".html");
  // A new file of its own: nothing to replace, and nothing worth flushing
  // to disk for a page that goes when the reader closes.
  const std::string bytes = JoinDigestLines(lines);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    g_unlink(path.c_str());
    throw FileError("The digest \"" + path + "\" cannot be written.");
  }
  // The last digest stays until the new one is on show: the engine reads a
  // page after it was asked to, not while.
  const std::string previous = digest_path_;
  digest_path_ = path;
  gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
  wbrss_->Navigate(uri ? uri : path);
  g_free(uri);
  ProcessPendingEvents();
  if (!previous.empty() && previous != digest_path_) g_unlink(previous.c_str());
}

void Tfrss::sb1Click() {
  RunGuarded([&] {
    AlphaBlendValue = 200;
    if (!wbrss_) return;
    const std::string address = wbrss_->LocationURL();
    if (!services().http->Probe(address)) return;
    AlphaBlend = true;
    ApplyTransparency();
    TMainForm& main = app().MainForm();
    main.e3.set_text(address);
    main.OpenTab(" ", "Blank Page");
    TWebBrowser* wb = main.GetCurrentWB();
    if (!wb) return;
    wb->Navigate(address);
    // The tab may go while we wait: then it is no longer the current one.
    bool gone = false;
    WaitUntil([&] {
      gone = ReaderClosing || main.GetCurrentWB() != wb;
      return gone || wb->ReadyState() == TWebBrowser::kReadyStateComplete;
    });
    if (gone || IsTerminating() || !wbrss_) return;
    wb->SetBodyHtml(wbrss_->BodyHtml());
    ProcessPendingEvents();
    BitBtn1Click();
  });
}

void Tfrss::SpeedButton13Click() {
  RunDocumentCommand(wbrss_.get(), CommandGroup::kWebBrowser, kCmdFind);
}

void Tfrss::BitBtn1Click() {
  ReaderClosing = true;
  FormCloseQuery();
  timer_.disconnect();
  set_modal(false);
  hide();
  showing_ = false;
}

void Tfrss::FormCloseQuery() {
  ++generation_;
  // Every digest goes with the reader.
  std::error_code ec;
  const std::filesystem::path folder = services().folders.OrvindelDir();
  for (auto it = std::filesystem::directory_iterator(folder, ec);
       !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    if (it->path().extension() == ".html") std::filesystem::remove(it->path(), ec);
  }
  digest_path_.clear();
  if (wbrss_) {
    wbarea.remove(*Glib::wrap(wbrss_->Widget()));
    // A handler further up may still be using it; it goes when the reader's
    // wait has ended.
    retired_.push_back(std::move(wbrss_));
  }
}

void Tfrss::wbrsssProgressChange(int progress, int maximum) {
  pb.set_visible(pb_position_ > 0);
  if (progress > 0 && maximum > 0) {
    pb_position_ = progress;
    pb.set_fraction(std::min(1.0, static_cast<double>(progress) / maximum));
  } else {
    pb_position_ = 0;
    pb.set_fraction(0);
  }
}

void Tfrss::TimerTimer() {
  if (pb_position_ <= 0) pb.hide();
}

bool Tfrss::on_delete_event(GdkEventAny*) {
  RunReported([&] { BitBtn1Click(); });
  return true;
}

bool Tfrss::on_key_press_event(GdkEventKey* event) {
  if (event->keyval == GDK_KEY_Escape) {
    RunReported([&] { BitBtn1Click(); });
    return true;
  }
  return Gtk::Window::on_key_press_event(event);
}

}  // namespace orv
