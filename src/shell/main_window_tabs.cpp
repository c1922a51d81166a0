// The tabs: each page with its browser, the toolbar that moves onto the
// active page, and the tab commands.
#include "shell/main_window.h"

#include "common/text.h"
#include "platform/error_report.h"
#include "platform/main_loop.h"
#include "ui/services.h"

namespace orv {

TWebBrowser* TMainForm::BrowserOf(const TTabExtSheet& page) {
  if (&page == &tsmain) return first_browser_.get();
  for (auto& p : pages_) {
    if (p.sheet.get() == &page) return p.browser.get();
  }
  return nullptr;
}

TTabExtSheet* TMainForm::PageOf(const TWebBrowser& browser) {
  if (&browser == first_browser_.get()) return &tsmain;
  for (auto& p : pages_) {
    if (p.browser.get() == &browser) return p.sheet.get();
  }
  return nullptr;
}

TWebBrowser* TMainForm::GetCurrentWB() {
  TTabExtSheet* page = nbook.ActivePage();
  if (!page) return nullptr;
  // The first tab shows the toolbar before its browser; the fallback
  // answers for it, as for any page whose browser is not known.
  if (page == &tsmain) return fallback_browser_;
  if (TWebBrowser* browser = BrowserOf(*page)) return browser;
  return fallback_browser_;
}

bool TMainForm::IsCurrent(const TWebBrowser& browser) { return GetCurrentWB() == &browser; }

void TMainForm::ReHome() {
  TTabExtSheet* page = nbook.ActivePage();
  if (!page) return;
  int position = 0;
  for (Gtk::Widget* panel : {static_cast<Gtk::Widget*>(&jsand), static_cast<Gtk::Widget*>(&topline)}) {
    if (panel->get_parent() != page) {
      if (Gtk::Container* parent = panel->get_parent()) parent->remove(*panel);
      page->pack_start(*panel, Gtk::PACK_SHRINK);
    }
    page->reorder_child(*panel, position++);
  }
}

void TMainForm::DestroyPage(TTabExtSheet* page) {
  if (!page || page == &tsmain) return;
  for (auto it = pages_.begin(); it != pages_.end(); ++it) {
    if (it->sheet.get() != page) continue;
    for (Gtk::Widget* panel :
         {static_cast<Gtk::Widget*>(&jsand), static_cast<Gtk::Widget*>(&topline)}) {
      if (panel->get_parent() == page) {
        page->remove(*panel);
        tsmain.pack_start(*panel, Gtk::PACK_SHRINK);
      }
    }
    destroying_page_ = true;
    if (nbook.IndexOf(*page) >= 0) nbook.RemovePage(*page);
    destroying_page_ = false;
    it->browser.reset();
    pages_.erase(it);
    return;
  }
}

TTabExtSheet* TMainForm::OpenTab(const std::string& address, const std::string& caption) {
  pages_.push_back({std::make_unique<TTabExtSheet>(), nullptr});
  TabPage& tab = pages_.back();
  TTabExtSheet* page = tab.sheet.get();
  const bool made = RunGuarded([&] {
    SetSecureLook(false);
    nbook.AddPage(*page, nbook.ActivePageIndex() + 1);
    page->SetCaption(caption);
    // The strip answers every colour with its own fixed scheme.
    page->Colors().SetActiveFill1(0xF1F8F8);
    page->Colors().SetActiveFill2(0xF1F8F8);
    page->Colors().SetInActivefill1(0xFFFFFF);
    page->Colors().SetInActivefill2(0xFEDBC8);
    page->Colors().SetActiveFontColor(0);
    page->Colors().SetInActiveFontColor(0);
    tab.browser = std::make_unique<TWebBrowser>(services_.engine->NewBackend());
    page->pack_start(*Glib::wrap(tab.browser->Widget()), Gtk::PACK_EXPAND_WIDGET);
    tab.browser->SetSilent(true);
    tab.browser->SetVisible(true);
    page->show();
    nbook.SetActivePage(page);
    page->SetCaption(tab.browser->LocationURL());
    WireBrowser(*tab.browser);
    tab.browser->SetUserAgent(CurrentUserAgent);
    if (!TrimBlanks(address).empty()) tab.browser->Navigate(address);
  });
  if (!made) {
    DestroyPage(page);
    page = nullptr;
  }
  ReHome();
  return page;
}

void TMainForm::NewTab20Click() {
  OpenTab(" ", "Blank Page");
  if (Settings.NewTabOpensHome) {
    if (TWebBrowser* wb = GetCurrentWB()) wb->Navigate(Settings.HomePage);
  }
  ReHome();
  // What the user types next goes to the new tab's address bar.
  FocusAddressBar();
}

void TMainForm::nbookChange() {
  TWebBrowser* browser = nullptr;
  RunGuarded([&] {
    TTabExtSheet* page = nbook.ActivePage();
    if (page && page != &tsmain) browser = BrowserOf(*page);
    if (page == &tsmain) browser = first_browser_.get();
    if (browser) ReHome();
    e3.SetPosition(0);
    gpt.hide();
    htttpsClick();
  });
  if (!browser) return;
  CurrentPageTitle = browser->TabTitle;
  // An agent chosen while another tab was active reaches this one too.
  browser->SetUserAgent(CurrentUserAgent);
  ProcessPendingEvents();
  // Another tab's address replaces whatever was typed for this one.
  address_typed_ = false;
  e3.set_text(browser->LocationURL());
  ProcessPendingEvents();
}

void TMainForm::CloseTabs1Click() {
  const int p = nbook.ActivePageIndex();
  if (p <= 0) return;
  RunGuarded([&] {
    ProcessPendingEvents();
    TTabExtSheet* page = nbook.Pages(p);
    nbook.SetActivePage(&tsmain);
    if (first_browser_) e3.set_text(first_browser_->LocationURL());
    ReHome();
    DestroyPage(page);
    htttpsClick();
  });
}

void TMainForm::nbookTabClose(int, bool& can_close) {
  can_close = nbook.ActivePageIndex() != 0;
}

void TMainForm::CloseAllTabs1Click() {
  RunGuarded([&] {
    nbook.SetActivePage(&tsmain);
    ReHome();
    for (int i = nbook.PageCount() - 1; i >= 1; --i) DestroyPage(nbook.Pages(i));
    if (first_browser_) e3.set_text(first_browser_->LocationURL());
    if (TWebBrowser* wb = GetCurrentWB()) wb->Navigate(Settings.HomePage);
  });
}

void TMainForm::CloseOtherTabs1Click() {
  TWebBrowser* current = GetCurrentWB();
  if (!current || !first_browser_) return;
  const std::string address = current->LocationURL();
  // The page is loaded again in the first tab, not moved there.
  first_browser_->Navigate(address);
  ReHome();
  for (int i = nbook.PageCount() - 1; i >= 0; --i) {
    nbook.SetActivePageIndex(i);
    CloseTabs1Click();
  }
  nbook.SetActivePage(&tsmain);
  e3.set_text(address);
  ReHome();
}

TWebBrowser& TMainForm::StagingBrowser() {
  if (!wb666_) {
    // Off screen and never shown: only its document is used.
    wb666_window_ = std::make_unique<Gtk::OffscreenWindow>();
    wb666_window_->set_default_size(800, 600);
    wb666_ = std::make_unique<TWebBrowser>(services_.engine->NewBackend());
    wb666_->SetSilent(true);
    wb666_->SetUserAgent(CurrentUserAgent);
    wb666_window_->add(*Glib::wrap(wb666_->Widget()));
    wb666_window_->show_all();
  }
  return *wb666_;
}

void TMainForm::DuplicateTab1Click() {
  // No guard: a page without a document stops the command with a message.
  TWebBrowser* current = GetCurrentWB();
  if (!current) return;
  TWebBrowser& staging = StagingBrowser();
  staging.Navigate(current->LocationURL());
  staging.WaitUntilComplete();
  // The copy carries the page as it looks now, script changes included.
  staging.SetBodyHtml(current->BodyHtml());
  ReHome();
  e3.set_text(current->LocationURL());
  OpenTab(" ", "Blank Page");
  TWebBrowser* copy = GetCurrentWB();
  if (!copy || copy == current) return;
  copy->Navigate(staging.LocationURL());
  copy->WaitUntilComplete();
  copy->SetBodyHtml(staging.BodyHtml());
  copy->GrabFocus();
}

void TMainForm::op1Click() {
  Settings.TabPosition = 0;
  nbook.SetTabPosition(TabPosition::tpTop);
  barontopClick();
}

void TMainForm::Bottom1Click() {
  Settings.TabPosition = 3;
  nbook.SetTabPosition(TabPosition::tpBottom);
  barontopClick();
}

void TMainForm::NewSession1Click() {
  // Exactly one new instance, started as the first one was: no arguments.
  services_.launcher->Start(services_.folders.program_path, {});
}

}  // namespace orv
