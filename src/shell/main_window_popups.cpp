// Windows that pages open: the pop-up blocker's question, new windows as
// tabs, and redirect mode with its side panel.
#include "shell/main_window.h"

#include <algorithm>

#include "app/app.h"
#include "engine/document_commands.h"
#include "platform/deferred.h"
#include "platform/error_report.h"
#include "prefs/options_window.h"
#include "shell/redirect_notice_window.h"
#include "ui/dialogs.h"
#include "ui/services.h"

namespace orv {

void TMainForm::CloseRedirectPanel() { x108Click(); }

void TMainForm::wbNewWindow2(TWebBrowser& sender, const std::string&, TWebBrowser*& window,
                             bool& cancel) {
  const bool allowed = Settings.PopupsAllowed;
  // Redirect mode blocks every window; its address goes to the side panel.
  if (RedirectMode) Settings.PopupsAllowed = false;
  if (!Settings.PopupsAllowed) {
    ForgetCatcher();
    catcher_window_ = std::make_unique<Gtk::OffscreenWindow>();
    catcher_ = std::make_unique<TWebBrowser>(services_.engine->NewBackend());
    catcher_->SetSilent(true);
    catcher_->SetUserAgent(CurrentUserAgent);
    catcher_->OnBeforeNavigate = [this](TWebBrowser& s, const std::string& u, bool& c) {
      WBBeforeNavigate2(s, u, c);
    };
    catcher_window_->add(*Glib::wrap(catcher_->Widget()));
    window = catcher_.get();
  } else if (sender.ReadyState() == TWebBrowser::kReadyStateComplete) {
    TTabExtSheet* page = OpenTab("", "New Browser");
    TWebBrowser* browser = page ? BrowserOf(*page) : nullptr;
    if (browser) {
      browser->WaitUntilComplete();
      window = browser;
    } else {
      cancel = true;
    }
    ReHome();
  } else {
    // Windows a page opens while it loads are dropped without a question.
    window = nullptr;
    cancel = true;
  }
  Settings.PopupsAllowed = allowed;
}

void TMainForm::ForgetCatcher() {
  // Never destroyed from inside its own events: once they have returned.
  if (!catcher_) return;
  DeleteWhenUnwound(std::move(catcher_));
  DeleteWhenUnwound(std::move(catcher_window_));
}

void TMainForm::WBBeforeNavigate2(TWebBrowser& sender, const std::string& uri, bool& cancel) {
  if (RedirectMode && &sender != catcher_.get()) {
    cancel = true;
    RedirectSteps(uri);
    // The tab stays where it was, and so does its look: its own address,
    // Refresh showing, no progress.
    if (IsCurrent(sender)) {
      e3.set_text(sender.LocationURL());
      ResetProgress();
      ShowStop(false);
    }
    return;
  }
  if (&sender != catcher_.get()) return;
  // Whatever the answer, the hidden catcher loads nothing out of sight.
  cancel = true;
  if (RedirectMode) {
    ForgetCatcher();
    RedirectSteps(uri);
    return;
  }
  if (Settings.PopupsAllowed) {
    ForgetCatcher();
    return;
  }
  services_.dialogs->QuestionBeep();
  const MsgResult answer =
      services_.dialogs->MessageBox(this, "Pop-up blocked\r\r\rAllow Pop-up?", "Orvindel",
                                    MsgButtons::kYesNo, MsgIcon::kStop, MsgResult::kYes);
  ForgetCatcher();
  if (answer != MsgResult::kYes) return;
  Settings.PopupsAllowed = true;
  CheckTurnOffPopupBlocker();
  OpenTab("about:blank", " ");
  e3.set_text(uri);
  sbrefreshClick();
}

void TMainForm::CheckTurnOffPopupBlocker() {
  // The Options window's box follows the setting.
  app_.fOptions().cb5.set_active(Settings.PopupsAllowed);
}

void TMainForm::BuildSidePanel() {
  dxpanel.set_name("dxpanel");
  pcaption.set_name("pcaption");
  pcaption.set_editable(false);
  pcaption.set_can_focus(false);
  const std::pair<Gtk::Button*, const char*> buttons[] = {
      {&x105, "Open in Browser"}, {&x107, "Refresh"}, {&x110, "Back"},
      {&x111, "Forward"},         {&x113, "Find"},    {&x108, "Close"}};
  for (const auto& [button, caption] : buttons) {
    button->set_label(caption);
    button->set_relief(Gtk::RELIEF_NONE);
    button->set_can_focus(false);
    dxbuttons.pack_start(*button, Gtk::PACK_SHRINK);
  }
  x105.signal_clicked().connect([this] { x105Click(); });
  x107.signal_clicked().connect([this] { x107Click(); });
  x110.signal_clicked().connect([this] { x110Click(); });
  x111.signal_clicked().connect([this] { x111Click(); });
  x113.signal_clicked().connect([this] { x113Click(); });
  x108.signal_clicked().connect([this] { x108Click(); });
  dxpanel.pack_start(pcaption, Gtk::PACK_SHRINK);
  dxpanel.pack_start(dxbuttons, Gtk::PACK_SHRINK);
}

TWebBrowser& TMainForm::MakeSideBrowser() {
  if (!wbr_) {
    wbr_ = std::make_unique<TWebBrowser>(services_.engine->NewBackend());
    wbr_->SetSilent(true);
    dxpanel.pack_start(*Glib::wrap(wbr_->Widget()), Gtk::PACK_EXPAND_WIDGET);
    wbr_->OnNewWindow = [this](TWebBrowser& s, const std::string&, TWebBrowser*& w, bool& c) {
      w = nullptr;
      c = true;
      s.Navigate(s.LocationURL());
    };
    wbr_->OnProgressChange = [this](TWebBrowser&, int p, int m) {
      pcaption.SetMax(m);
      pcaption.SetPosition(p);
    };
    wbr_->OnTitleChange = [this](TWebBrowser& s, const std::string&) {
      pcaption.set_text(s.LocationURL());
    };
    wbr_->OnDocumentComplete = [this](TWebBrowser&) { pcaption.SetPosition(0); };
  }
  return *wbr_;
}

void TMainForm::RedirectSteps(const std::string& uri) {
  redirect_address_ = uri;
  app_.fred().ShowNotice();
  TWebBrowser& side = MakeSideBrowser();
  dxpanel.show();
  if (side_panel_first_showing_) {
    side_panel_first_showing_ = false;
    // The splitter's width is known once the window has laid itself out:
    // place the panel at its first allocation from now on.
    auto placed = std::make_shared<sigc::connection>();
    *placed = spliter.signal_size_allocate().connect(
        [this, placed](Gtk::Allocation& allocation) {
          if (allocation.get_width() <= 1) return;
          placed->disconnect();
          spliter.set_position(
              std::max(0, allocation.get_width() - (RedirectPanelFirstWidth + 30)));
        });
    spliter.queue_resize();
  }
  pcaption.set_text("Redirect from " + uri);
  side.Navigate(uri);
  side.SetUserAgent(CurrentUserAgent);
}

void TMainForm::RedirecttoNewWindow1Click() {
  RedirectMode = !RedirectMode;
  if (RedirectMode) app_.fred().ShowModalNotice();
}

void TMainForm::x108Click() {
  RedirectMode = false;
  dxpanel.hide();
}

void TMainForm::x105Click() {
  RunGuarded([&] {
    x108Click();
    ReHome();
    TWebBrowser* side = wbr_.get();
    if (!side) return;
    e3.set_text(side->LocationURL());
    OpenTab(" ", "Blank Page");
    TWebBrowser* copy = GetCurrentWB();
    if (!copy) return;
    copy->Navigate(side->LocationURL());
    copy->WaitUntilComplete();
    copy->SetBodyHtml(side->BodyHtml());
  });
}

void TMainForm::x107Click() {
  if (wbr_) wbr_->Refresh();
}

void TMainForm::x110Click() {
  if (wbr_) wbr_->GoBack();
}

void TMainForm::x111Click() {
  if (wbr_) wbr_->GoForward();
}

void TMainForm::x113Click() { RunDocumentCommand(wbr_.get(), CommandGroup::kWebBrowser, kCmdFind); }

void TMainForm::ApplyRedirectLook(bool redirect) {
  for (Gtk::Widget* w : {static_cast<Gtk::Widget*>(&e3), static_cast<Gtk::Widget*>(&topline)}) {
    auto style = w->get_style_context();
    if (redirect) {
      style->add_class("redirect");
    } else {
      style->remove_class("redirect");
    }
  }
  redirect_look_ = redirect;
}

}  // namespace orv
