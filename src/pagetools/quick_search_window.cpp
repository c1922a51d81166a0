#include "pagetools/quick_search_window.h"

#include <algorithm>

#include "app/app.h"
#include "ui/services.h"
#include "pagetools/quick_search.h"
#include "pagetools/search_engines.h"
#include "platform/error_report.h"
#include "platform/main_loop.h"
#include "shell/main_window.h"

namespace orv {

namespace {
constexpr char kDesignCaption[] = "Orvindel - Quick Web Search";
// What a closed window leaves behind, so that the next search does not open
// on the last one's results. A blank address would load nothing at all.
constexpr char kBlankPage[] = "about:blank";
constexpr double kTransparentAlpha = 200.0 / 255.0;
constexpr int kTimer1IntervalMs = 1000;
}  // namespace

Tfgoogle::Tfgoogle(App& app, Services& services)
    : SecondaryWindow(app, services, "Tfgoogle", kDesignCaption),
      root(Gtk::ORIENTATION_VERTICAL),
      topbar(Gtk::ORIENTATION_HORIZONTAL, 6),
      labeltext("---"),
      sb1("Open in browser"),
      bottombar(Gtk::ORIENTATION_HORIZONTAL, 6),
      bct("Transparent"),
      closeButton("Close") {
  // FormCreate: a column along the right edge of the screen.
  const WindowPlacement place = QuickSearchPlacement(services.screen());
  set_default_size(place.width, place.height);
  move(place.left, place.top);
  set_type_hint(Gdk::WINDOW_TYPE_HINT_UTILITY);
  set_keep_above(true);
  set_modal(true);
  set_transient_for(app.MainForm());
  set_skip_taskbar_hint(true);

  labeltext.set_halign(Gtk::ALIGN_START);
  labeltext.set_xalign(0);
  labeltext.set_ellipsize(Pango::ELLIPSIZE_END);
  labeltext.set_single_line_mode(true);
  for (int engine = 1; engine <= kEngineCount; ++engine) cb.append(EngineName(engine));
  SelectIndex(0);
  cb.signal_changed().connect([this] {
    if (!selecting_) RunReported([this] { cbChange(); });
  });
  sb1.signal_clicked().connect([this] { sb1Click(); });
  topbar.set_border_width(4);
  topbar.pack_start(labeltext, Gtk::PACK_EXPAND_WIDGET);
  topbar.pack_end(sb1, Gtk::PACK_SHRINK);
  topbar.pack_end(cb, Gtk::PACK_SHRINK);

  bct.signal_toggled().connect([this] { bctClick(); });
  ProgressBar.set_size_request(150, -1);
  ProgressBar.set_valign(Gtk::ALIGN_CENTER);
  ProgressBar.set_no_show_all(true);
  closeButton.signal_clicked().connect([this] { Close(); });
  bottombar.set_border_width(4);
  bottombar.pack_start(bct, Gtk::PACK_SHRINK);
  bottombar.pack_start(ProgressBar, Gtk::PACK_SHRINK);
  bottombar.pack_end(closeButton, Gtk::PACK_SHRINK);

  root.pack_start(topbar, Gtk::PACK_SHRINK);
  root.pack_start(bottombar, Gtk::PACK_SHRINK);
  add(root);
  root.show_all();
}

TWebBrowser& Tfgoogle::wbweb() {
  // Made on first use: a browser nobody searched with costs the start-up
  // nothing.
  if (!wbweb_) {
    wbweb_ = std::make_unique<TWebBrowser>(services().engine->NewBackend());
    wbweb_->SetSilent(true);
    wbweb_->SetVisible(true);
    wbweb_->SetUserAgent(app().MainForm().CurrentUserAgent);
    wbweb_->OnDocumentComplete = [this](TWebBrowser& wb) { wbwebDocumentComplete(wb); };
    wbweb_->OnStatusTextChange = [this](TWebBrowser& wb, const std::string& text) {
      wbwebStatusTextChange(wb, text);
    };
    wbweb_->OnProgressChange = [this](TWebBrowser& wb, int progress, int maximum) {
      wbwebProgressChange(wb, progress, maximum);
    };
    Gtk::Widget* view = Glib::wrap(wbweb_->Widget());
    root.pack_start(*view, Gtk::PACK_EXPAND_WIDGET);
    root.reorder_child(*view, 1);
  }
  return *wbweb_;
}

Tfgoogle::~Tfgoogle() {
  timer1_.disconnect();
  // The browser takes its widget out of the box before it goes.
  wbweb_.reset();
}

void Tfgoogle::ShowResults(const std::string& search_address) {
  // The agent goes to the browser before the search starts, so that the
  // search itself is sent with it and not only the pages after it.
  wbweb().SetUserAgent(app().MainForm().CurrentUserAgent);
  wbweb().Navigate(search_address);
  present();
  FormActivate();
}

void Tfgoogle::SelectEngine(int engine) {
  if (engine >= 1 && engine <= kEngineCount) SelectIndex(engine - 1);
}

void Tfgoogle::SelectIndex(int index) {
  selecting_ = true;
  cb.set_active(index);
  selecting_ = false;
}

void Tfgoogle::FormActivate() {
  const int list_engine = app().MainForm().Settings.SearchListEngine;
  if (list_engine >= 1 && list_engine <= kEngineCount) SelectIndex(list_engine - 1);
  if (wbweb_) wbweb_->SetUserAgent(app().MainForm().CurrentUserAgent);
}

void Tfgoogle::FormCloseQuery(bool& CanClose) {
  CanClose = true;
  if (wbweb_) RunGuarded([this] { wbweb_->Navigate(kBlankPage); });
  set_title(kDesignCaption);
}

void Tfgoogle::Close() {
  bool can_close = true;
  FormCloseQuery(can_close);
  if (can_close) hide();
}

bool Tfgoogle::on_delete_event(GdkEventAny*) {
  // The window lives as long as the program: closing only hides it.
  RunReported([this] { Close(); });
  return true;
}

bool Tfgoogle::on_key_press_event(GdkEventKey* event) {
  // "Close" is the window's cancel button.
  if (event->keyval == GDK_KEY_Escape) {
    RunReported([this] { Close(); });
    return true;
  }
  return SecondaryWindow::on_key_press_event(event);
}

void Tfgoogle::on_show() {
  SecondaryWindow::on_show();
  // The timer only matters while the bar can be seen.
  if (!timer1_.connected()) {
    timer1_ = Glib::signal_timeout().connect(
        [this] {
          Timer1Timer();
          return true;
        },
        kTimer1IntervalMs);
  }
}

void Tfgoogle::on_hide() {
  timer1_.disconnect();
  SecondaryWindow::on_hide();
}

void Tfgoogle::cbChange() {
  const int index = cb.get_active_row_number();
  if (index < 0) return;
  // The list searches the same text elsewhere; the engine of later searches
  // stays as the options set it.
  wbweb().Navigate(BuildSearchAddress(index + 1, app().MainForm().QuickSearchText));
}

void Tfgoogle::sb1Click() {
  TMainForm& main = app().MainForm();
  const std::string address = wbweb().LocationURL();
  // Without its own tab the refresh would replace the page the user had.
  if (!main.OpenTab(" ", "Blank Page")) return;
  main.e3.set_text(address);
  main.sbrefreshClick();
  Close();
}

void Tfgoogle::bctClick() { set_opacity(bct.get_active() ? kTransparentAlpha : 1.0); }

void Tfgoogle::Timer1Timer() {
  RunGuarded([this] {
    if (progress_position_ == 0) ProgressBar.hide();
  });
}

void Tfgoogle::wbwebDocumentComplete(TWebBrowser& sender) {
  const std::string address = sender.LocationURL();
  // The page a closing leaves is no result to name.
  if (address == kBlankPage) return;
  set_title(QuickSearchCaption(app().MainForm().QuickSearchText, address));
}

void Tfgoogle::wbwebStatusTextChange(TWebBrowser&, const std::string& text) {
  labeltext.set_text(text);
}

void Tfgoogle::wbwebProgressChange(TWebBrowser&, int progress, int maximum) {
  // The bar shows from the second step of a load on, by the position the
  // previous step left, and stays until the timer finds it back at zero.
  ProgressBar.set_visible(progress_position_ >= 1);
  // Letting events run here can deliver the engine's next steps, the end of
  // the load among them, inside this one; this step is then stale and must
  // not put back a position the load has already left.
  const unsigned step = ++progress_step_;
  ProcessPendingEvents();
  if (step != progress_step_) return;
  if (progress > 0) {
    SetProgress(progress, maximum);
  } else {
    SetProgress(0, progress_max_);
  }
}

void Tfgoogle::SetProgress(int position, int maximum) {
  progress_position_ = position;
  progress_max_ = maximum;
  ProgressBar.set_fraction(maximum > 0 ? std::clamp(double(position) / maximum, 0.0, 1.0) : 0.0);
}

}  // namespace orv
