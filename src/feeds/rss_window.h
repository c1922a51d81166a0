// Tfrss: the feed reader. It turns one feed, or all of them, into a local
// HTML digest page and shows it in a browser of its own, from which a page
// the user followed can move into a tab of the main window.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/web_browser.h"
#include "feeds/feed_digest.h"
#include "feeds/feed_parser.h"
#include "ui/secondary_window.h"

namespace orv {

class HttpService;

// A feed whose download failed, as opposed to one that came but cannot be
// read.
struct FeedDownloadError : FeedError {
  using FeedError::FeedError;
};

// "Download All" in CurrentFeedUrl while all feeds are being fetched.
inline constexpr char kDownloadAllMarker[] = " Downlaod All";

class Tfrss : public SecondaryWindow {
 public:
  Tfrss(App& app, Services& services);
  ~Tfrss() override;

  // Shows the reader over the main window and waits, the windows still
  // answering, until it closes. Every opening runs FormActivate.
  void ShowModal();
  bool Showing() const { return showing_; }

  // Downloads the feed at `url` into `destination` and reads it as it
  // arrives. Throws FeedError with the text the user is shown when the feed
  // cannot be read, FeedDownloadError when it cannot be fetched. The file
  // is left for the caller.
  static std::vector<FeedItem> FetchFeed(HttpService& http, const std::string& url,
                                         const std::string& destination);

  // Handlers.
  void FormActivate();
  void FormCloseQuery();
  void cbfeedsChange();
  void SpeedButton3Click();  // Feeds
  void SpeedButton4Click();  // Download All
  void SpeedButton2Click();  // Manage Feeds
  void sb1Click();           // Open in Browser
  void SpeedButton13Click();  // Find
  void BitBtn1Click();       // Close
  void bbrefreshClick();
  void nalozivse();
  void wbrsssProgressChange(int progress, int maximum);
  void TimerTimer();

  TWebBrowser* Browser() { return wbrss_.get(); }
  // The digest on show, empty when none.
  const std::string& DigestPath() const { return digest_path_; }
  std::vector<std::string> FeedNames() const;

  std::string CurrentFeedUrl;
  std::string CurrentFeedName;
  bool ReaderClosing = false;
  // The transparency value; applied only while transparency is on.
  int AlphaBlendValue = 255;
  bool AlphaBlend = false;

  Gtk::Box root;
  Gtk::Box top;
  Gtk::ComboBoxText cbfeeds;
  Gtk::Button SpeedButton4, SpeedButton3, SpeedButton2, sb1, SpeedButton13;
  Gtk::Box wbarea;
  Gtk::Box bottom;
  Gtk::ProgressBar pb;
  Gtk::Button BitBtn1;

 private:
  void FillSelector();
  void ApplyTransparency();
  // Writes `lines` as a new digest, shows it and lets the last one go.
  void ShowDigest(const DigestLines& lines);
  void DropDigest();
  bool on_delete_event(GdkEventAny* event) override;
  bool on_key_press_event(GdkEventKey* event) override;

  std::unique_ptr<TWebBrowser> wbrss_;
  // Browsers of earlier openings, freed once no handler can be using them.
  std::vector<std::unique_ptr<TWebBrowser>> retired_;
  int pb_position_ = 0;
  std::string digest_path_;
  sigc::connection timer_;
  bool showing_ = false;
  // Set while the selector is filled from code, which must not select.
  bool filling_ = false;
  // Grows with every refresh and every close: a refresh that finds it
  // changed after waiting for its download has been overtaken.
  unsigned generation_ = 0;
  // Downloads and reads the current feed (CurrentFeedUrl) through the file
  // at `path`, with the busy cursor. False when refresh `generation` has
  // been overtaken meanwhile, or the reader's browser is gone; a feed that
  // fails throws FeedError unless it was overtaken.
  bool FetchCurrentFeed(unsigned generation, const std::string& path,
                        std::vector<FeedItem>& items);
};

// Makes a new empty file `folder` + `prefix` + a number from 0 to 99999 +
// `extension` that did not exist before, and answers its path. Throws
// FileError when none can be made.
std::string ReserveNumberedFile(const std::string& folder, const std::string& prefix,
                                const std::string& extension);

}  // namespace orv
