// The address bar, the navigation buttons, the periodic check and what the
// tab browsers' page events show in the window.
#include "shell/main_window.h"

#include <algorithm>

#include "app/app.h"
#include "common/navigate_address.h"
#include "common/text.h"
#include "pagetools/search_engines.h"
#include "platform/error_report.h"
#include "platform/files.h"
#include "platform/main_loop.h"
#include "shell/floating_bar_window.h"
#include "shell/page_captions.h"
#include "shell/redirect_notice_window.h"
#include "ui/services.h"

namespace orv {

void TMainForm::WireBrowser(TWebBrowser& b) {
  b.OnDocumentComplete = [this](TWebBrowser& s) { wbDocumentComplete(s); };
  b.OnDownloadBegin = [this](TWebBrowser& s) { wbDownloadBegin(s); };
  b.OnDownloadComplete = [this](TWebBrowser& s) { wbDownloadComplete(s); };
  b.OnProgressChange = [this](TWebBrowser& s, int p, int m) { wbProgressChange(s, p, m); };
  b.OnStatusTextChange = [this](TWebBrowser& s, const std::string& t) { wbStatusTextChange(s, t); };
  b.OnTitleChange = [this](TWebBrowser& s, const std::string& t) { wbTitleChange(s, t); };
  b.OnBeforeNavigate = [this](TWebBrowser& s, const std::string& u, bool& c) {
    wbBeforeNavigate(s, u, c);
  };
  b.OnNewWindow = [this](TWebBrowser& s, const std::string& u, TWebBrowser*& w, bool& c) {
    wbNewWindow2(s, u, w, c);
  };
}

void TMainForm::FocusAddressBar() {
  e3.grab_focus();
  e3.select_region(0, -1);
}

void TMainForm::ShowAddress(const std::string& uri) {
  if (!TypingAddress()) e3.set_text(uri);
}

void TMainForm::e3KeyPress() {
  TWebBrowser* wb = GetCurrentWB();
  if (!wb) return;
  wb->GrabFocus();
  go3Click();
}

void TMainForm::go3Click() {
  address_typed_ = false;
  if (!GetCurrentWB()) return;
  const std::string text = e3.get_text();
  // A local file has no server to ask; searching the web for its path
  // would never be what the user meant.
  if (IsLocalFileAddress(text, FileExists) || services_.http->Probe(text)) {
    // The browser may have changed while the probe waited.
    if (TWebBrowser* now = GetCurrentWB()) now->Navigate(text);
    return;
  }
  runClick();
  e3.set_text(LastSearchAddress);
}

void TMainForm::runClick() {
  const std::string text = e3.get_text();
  LastSearchAddress.clear();
  LastSearchAddress = BuildSearchAddress(SearchEngineInUse(), text);
  TWebBrowser* wb = GetCurrentWB();
  if (!wb) return;
  wb->Navigate(LastSearchAddress);
  wb->WaitUntilComplete();
}

void TMainForm::sbrefreshClick() {
  TWebBrowser* wb = GetCurrentWB();
  if (!wb) return;
  if (Settings.ClearCacheOnRefresh) ClearTemporaryInternetFiles();
  wb->Navigate(e3.get_text());
  wb->SetUserAgent(CurrentUserAgent);
  wb->GrabFocus();
}

void TMainForm::mtf5Click() { sbrefreshClick(); }


void TMainForm::mtstopClick() {
  ShowStop(false);
  e3.SetPosition(0);
  gpt.hide();
  if (TWebBrowser* wb = GetCurrentWB()) wb->Stop();
}

void TMainForm::pda2Click() {
  TWebBrowser* wb = GetCurrentWB();
  if (!wb) return;
  wb->Stop();
  RunGuarded([&] { wb->GoBack(); });
}

void TMainForm::pdb3Click() {
  TWebBrowser* wb = GetCurrentWB();
  if (!wb) return;
  wb->Stop();
  RunGuarded([&] { wb->GoForward(); });
}

void TMainForm::pdc3Click() {
  if (TWebBrowser* wb = GetCurrentWB()) wb->Navigate(Settings.HomePage);
}

void TMainForm::SetSecureLook(bool secure) {
  ImageType.set_from_icon_name(secure ? "channel-secure-symbolic" : "web-browser-symbolic",
                               Gtk::ICON_SIZE_MENU);
  auto style = e3panel.get_style_context();
  style->remove_class(secure ? "insecure" : "secure");
  style->add_class(secure ? "secure" : "insecure");
}

void TMainForm::htttpsClick() {
  TWebBrowser* wb = GetCurrentWB();
  if (!wb || !wb->HasDocument()) return;
  SetSecureLook(AsciiLower(wb->LocationURL()).rfind("https:", 0) == 0);
}

void TMainForm::ShowStop(bool loading) {
  sbstop.set_visible(loading);
  sbrefresh.set_visible(!loading);
}

void TMainForm::ResetProgress() {
  e3.SetPosition(0);
  gpt.hide();
}

void TMainForm::Timer1Timer() {
  RunReported([&] {
    const std::string address = e3.get_text();
    topline.set_tooltip_text(address);
    gpt.set_tooltip_text(address);
    if (RedirectMode) {
      ApplyRedirectLook(true);
    } else if (redirect_look_) {
      // The first check after the mode went off announces it, once.
      app_.fred().Panel1.set_text(Tfred::kOffText);
      app_.fred().ShowNotice();
      ApplyRedirectLook(false);
    }
    if (e3.Position() <= 0) {
      ShowStop(false);
      gpt.hide();
    } else {
      ShowStop(true);
    }
    xDRESB.set_visible(Settings.FloatingMode);
    TTabExtSheet* page = nbook.ActivePage();
    if (!page) return;
    if (jsand.get_parent() != page || topline.get_parent() != page) {
      if (TWebBrowser* wb = GetCurrentWB()) ShowAddress(wb->LocationURL());
      ProcessPendingEvents();
      ReHome();
      htttpsClick();
    }
  });
}

void TMainForm::wbBeforeNavigate(TWebBrowser& sender, const std::string& uri, bool& cancel) {
  WBBeforeNavigate2(sender, uri, cancel);
}

void TMainForm::wbDownloadBegin(TWebBrowser& sender) {
  ProcessPendingEvents();
  // A background tab that starts loading must not take over the toolbar.
  if (!IsCurrent(sender)) return;
  ShowStop(true);
  ShowAddress(sender.LocationURL());
}

void TMainForm::wbDownloadComplete(TWebBrowser&) {
  StartupFinished = true;
  ProcessPendingEvents();
  // A page that finishes loading while the user types an address leaves
  // both the text and the keyboard where they are.
  if (TWebBrowser* wb = GetCurrentWB(); wb && !TypingAddress()) {
    e3.set_text(wb->LocationURL());
    RunGuarded([&] { wb->GrabFocus(); });
  }
  // The floating bar stays above the window it serves, even where no
  // window manager keeps it there.
  RunGuarded([&] {
    Tfhint* bar = app_.fhintIfMade();
    if (bar && bar->get_visible() && bar->get_window()) bar->get_window()->raise();
  });
}

void TMainForm::wbDocumentComplete(TWebBrowser& sender) {
  if (!IsCurrent(sender)) return;
  ShowStop(false);
  htttpsClick();
}

void TMainForm::wbProgressChange(TWebBrowser& sender, int progress, int maximum) {
  if (!IsCurrent(sender)) return;
  e3.SetMax(maximum);
  e3.SetPosition(progress);
  if (!jsand.get_visible()) {
    gpt.set_fraction(maximum > 0 && progress > 0 ? std::min(1.0, double(progress) / maximum) : 0);
    gpt.show();
  }
}

void TMainForm::wbTitleChange(TWebBrowser& sender, const std::string& title) {
  RunGuarded([&] {
    // Each browser labels its own tab; only the current one speaks for the
    // window.
    TTabExtSheet* page = PageOf(sender);
    if (page) page->SetImageIndex(0);
    const std::string caption = TabCaptionForTitle(title);
    if (IsCurrent(sender)) {
      CurrentPageTitle = title;
      ShowAddress(sender.LocationURL());
    }
    if (page) page->SetCaption(caption);
    sender.TabTitle = caption;
    LoadSiteIcon(sender);
  });
}

void TMainForm::wbStatusTextChange(TWebBrowser&, const std::string& text) {
  if (!GetCurrentWB()) return;
  // Silver View is the view at every start.
  set_title(MainCaptionForStatus(text));
}

}  // namespace orv
