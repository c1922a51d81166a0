#include "shell/main_window.h"

#include <algorithm>
#include <tuple>
#include <filesystem>

#include "app/app.h"
#include "app/services.h"
#include "platform/deferred.h"
#include "platform/error_report.h"
#include "platform/files.h"
#include "platform/main_loop.h"
#include "platform/startup_steps.h"
#include "prefs/options_window.h"
#include "common/navigate_address.h"
#include "common/text.h"
#include "engine/document_commands.h"
#include "favorites/favorites_window.h"
#include "pagetools/quick_search_window.h"
#include "pagetools/search_hint_window.h"
#include "shell/redirect_notice_window.h"
#include "pagetools/search_engines.h"
#include "platform/http_probe.h"
#include "platform/launcher.h"
#include "shell/data_folders.h"
#include "shell/page_captions.h"

namespace orv {

namespace {

constexpr char kCss[] = R"(
#topstrip { background-color: rgb(149,185,253); min-height: 3px; }
#jsand { background-color: rgb(248,248,241); min-height: 30px; }
#e3panel { padding: 2px 7px 2px 4px; }
#e3panel.insecure { background-color: rgb(222,234,254); }
#e3panel.secure { background-color: rgb(128,255,128); }
#jpleft button { padding: 2px; min-height: 0; }
#p2 { background-color: rgb(149,185,253); }
#p2 button { padding: 2px 0; min-height: 0; min-width: 0; }
#topline { background-color: rgb(248,248,241); min-height: 5px; }
#topline.redirect { background-color: rgb(255,249,196); }
#e3.redirect { background-color: rgb(255,249,196); }
)";

}  // namespace

TMainForm::TMainForm(App& app, Services& services)
    : root(Gtk::ORIENTATION_VERTICAL),
      jsand(Gtk::ORIENTATION_HORIZONTAL),
      jpleft(Gtk::ORIENTATION_HORIZONTAL),
      jp3(Gtk::ORIENTATION_HORIZONTAL),
      e3panel(Gtk::ORIENTATION_HORIZONTAL),
      topline(Gtk::ORIENTATION_HORIZONTAL),
      NewTab20("New Tab"),
      CloseTabs1("Close Tab"),
      CloseAllTabs1("Close All Tabs"),
      CloseOtherTabs1("Close Other Tabs"),
      DuplicateTab1("Duplicate Tab"),
      TabsPosition1("Tabs Position"),
      AlignWindows1("Align Windows on Desktop"),
      op1("Top"),
      Bottom1("Bottom"),
      RedirecttoNewWindow1("Redirect to New Window"),
      spliter(Gtk::ORIENTATION_HORIZONTAL),
      middle(Gtk::ORIENTATION_HORIZONTAL),
      p2(Gtk::ORIENTATION_VERTICAL),
      jpd(Gtk::ORIENTATION_HORIZONTAL),
      QuickMenu1("Quick Menu"),
      snb("Social Networks Bar"),
      Files1("Files"),
      NewSession1("New Session"),
      Find1("Find"),
      Tools1("Tools"),
      QuickWebSearch3("Web Search"),
      Exit2("Exit"),
      dxpanel(Gtk::ORIENTATION_VERTICAL),
      dxbuttons(Gtk::ORIENTATION_HORIZONTAL),
      app_(app),
      services_(services) {
  set_name("TMainForm");
  set_title("Orvindel");
  set_default_size(1024, 700);

  topstrip.set_name("topstrip");
  nbook.set_name("nbook");
  tsmain.set_name("tsmain");
  BuildToolbar();
  BuildTabMenu();

  // The main window's strip: close buttons, flat, several rows, gradients.
  nbook.SetCloseBtn(true);
  nbook.SetFlat(true);
  nbook.SetMultiLine(true);
  nbook.SetTabFillGradient(true);
  nbook.SetTabHeight(22);
  nbook.SetImages(TabImages());
  nbook.AddPage(tsmain);
  tsmain.SetCaption("     ");
  tsmain.SetImageIndex(2);
  nbook.OnChange = [this] { nbookChange(); };
  nbook.OnTabClose = [this](int index, bool& can_close) { nbookTabClose(index, can_close); };
  nbook.OnTabDelete = [this](int index) {
    // A page the close button took away is destroyed once the strip is done
    // with it; pages our own commands remove are destroyed by them.
    if (destroying_page_) return;
    TTabExtSheet* page = nbook.Pages(index);
    // Dropped if the window goes first.
    RunWhenUnwound(this, [this, page] {
      for (auto& p : pages_) {
        if (p.sheet.get() == page && nbook.IndexOf(*page) < 0) {
          DestroyPage(page);
          return;
        }
      }
    });
  };
  signal_button_press_event().connect(
      [this](GdkEventButton* event) {
        // A right click where nothing has a menu of its own opens the quick menu.
        if (event->type != GDK_BUTTON_PRESS || event->button != 3) return false;
        poptoolPopup();
        poptool.popup_at_pointer(reinterpret_cast<GdkEvent*>(event));
        return true;
      },
      /*after=*/true);
  nbook.OnContextPopup = [this](GdkEventButton* event) {
    barontopClick();
    tabpop.popup_at_pointer(reinterpret_cast<GdkEvent*>(event));
  };

  tsmain.pack_start(jsand, Gtk::PACK_SHRINK);
  tsmain.pack_start(topline, Gtk::PACK_SHRINK);
  root.pack_start(topstrip, Gtk::PACK_SHRINK);
  BuildSidePanel();
  spliter.pack1(nbook, /*resize=*/true, /*shrink=*/false);
  spliter.pack2(dxpanel, /*resize=*/false, /*shrink=*/false);
  BuildQuickPanel();
  BuildQuickMenu();
  middle.pack_start(spliter, Gtk::PACK_EXPAND_WIDGET);
  middle.pack_start(p2, Gtk::PACK_SHRINK);
  root.pack_start(middle, Gtk::PACK_EXPAND_WIDGET);
  root.pack_end(socialbar, Gtk::PACK_SHRINK);
  socialbar.OnOpen = [this](const std::string& address) { SocialLinkClick(address); };
  socialbar.OnClose = [this] { xzapriClick(); };
  add(root);
  root.show_all();
  dxpanel.hide();
  topline.hide();
  sbstop.hide();
  gpt.hide();

  restored_ = {1024, 700, 0, 0, kStatusNormal};
}

TMainForm::~TMainForm() {
  ForgetDeferred(this);
  timer_.disconnect();
  nbook.OnChange = nullptr;
  nbook.OnTabDelete = nullptr;
  // The toolbar panels are ours, not the pages': take them out first.
  for (Gtk::Widget* panel : {static_cast<Gtk::Widget*>(&jsand), static_cast<Gtk::Widget*>(&topline)}) {
    if (Gtk::Container* parent = panel->get_parent()) parent->remove(*panel);
  }
  while (!pages_.empty()) DestroyPage(pages_.back().sheet.get());
  wb666_.reset();
  first_browser_.reset();
}

namespace {

void SetGlyph(Gtk::Button& button, const char* icon, const char* tooltip, int width) {
  button.set_image_from_icon_name(icon, Gtk::ICON_SIZE_SMALL_TOOLBAR);
  button.set_relief(Gtk::RELIEF_NONE);
  button.set_tooltip_text(tooltip);
  button.set_size_request(width, -1);
  button.set_can_focus(false);
}

}  // namespace

std::vector<Glib::RefPtr<Gdk::Pixbuf>> TMainForm::TabImages() {
  // Index 0 is a page without its own icon, 2 the first tab's; site icons
  // are added after them.
  std::vector<Glib::RefPtr<Gdk::Pixbuf>> images;
  auto theme = Gtk::IconTheme::get_default();
  for (const char* name : {"text-html", "text-html", "user-home"}) {
    Glib::RefPtr<Gdk::Pixbuf> icon;
    RunGuarded([&] { icon = theme->load_icon(name, 16, Gtk::ICON_LOOKUP_FORCE_SIZE); });
    if (!icon) icon = Gdk::Pixbuf::create(Gdk::COLORSPACE_RGB, true, 8, 16, 16);
    if (!theme->has_icon(name)) icon->fill(0x00000000);
    images.push_back(icon);
  }
  return images;
}

void TMainForm::BuildToolbar() {
  jsand.set_name("jsand");
  jpleft.set_name("jpleft");
  jp3.set_name("jp3");
  e3panel.set_name("e3panel");
  topline.set_name("topline");
  e3.set_name("e3");
  gpt.set_name("gpt");

  SetGlyph(pda, "go-previous-symbolic", "Back", 50);
  SetGlyph(pdb, "go-next-symbolic", "Forward", 39);
  SetGlyph(sbrefresh, "view-refresh-symbolic", "Refresh", 30);
  SetGlyph(sbstop, "process-stop-symbolic", "Stop", 30);
  SetGlyph(pdc, "go-home-symbolic", "Home", 30);
  SetGlyph(pde, "starred-symbolic", "Favorites", 30);
  SetGlyph(go3, "go-jump-symbolic", "Go", 20);
  for (Gtk::Button* b : {&pda, &pdb, &sbrefresh, &sbstop, &pdc, &pde}) {
    jpleft.pack_start(*b, Gtk::PACK_SHRINK);
  }
  jpleft.set_size_request(190, -1);
  ImageType.set_from_icon_name("web-browser-symbolic", Gtk::ICON_SIZE_MENU);
  e3panel.pack_start(ImageType, Gtk::PACK_SHRINK, 4);
  e3panel.pack_start(e3, Gtk::PACK_EXPAND_WIDGET);
  e3panel.pack_start(go3, Gtk::PACK_SHRINK);
  jp3.pack_start(e3panel, Gtk::PACK_EXPAND_WIDGET);
  jsand.pack_start(jpleft, Gtk::PACK_SHRINK);
  jsand.pack_start(jp3, Gtk::PACK_EXPAND_WIDGET);
  jpd.set_name("jpd");
  SetGlyph(CustomizeButton, "open-menu-symbolic", "Customize and Control", 31);
  jpd.pack_start(CustomizeButton, Gtk::PACK_SHRINK);
  jsand.pack_start(jpd, Gtk::PACK_SHRINK);
  CustomizeButton.signal_clicked().connect([this] {
    poptoolPopup();
    poptool.popup_at_widget(&CustomizeButton, Gdk::GRAVITY_SOUTH_EAST, Gdk::GRAVITY_NORTH_EAST,
                            nullptr);
  });
  topline.pack_start(gpt, Gtk::PACK_EXPAND_WIDGET);
  SetSecureLook(false);

  pda.signal_clicked().connect([this] { pda2Click(); });
  pdb.signal_clicked().connect([this] { pdb3Click(); });
  sbrefresh.signal_clicked().connect([this] { sbrefreshClick(); });
  sbstop.signal_clicked().connect([this] { mtstopClick(); });
  pdc.signal_clicked().connect([this] { pdc3Click(); });
  pde.signal_clicked().connect([this] { app_.ffavorit().SpeedButton9Click(); });
  go3.signal_clicked().connect([this] { Go(/*from_enter=*/false); });
  e3.signal_activate().connect([this] { Go(/*from_enter=*/true); });
  // Any change of the text, typed or set, starts the progress afresh.
  e3.signal_changed().connect([this] { ResetProgress(); });
}

void TMainForm::BuildQuickPanel() {
  p2.set_name("p2");
  p2.set_size_request(23, -1);
  const std::tuple<Gtk::Button*, const char*, const char*> buttons[] = {
      {&XNEWB, "tab-new-symbolic", "New Tab"},
      {&xtranslate, "preferences-desktop-locale-symbolic", "Google Translate"},
      {&xisci, "edit-find-symbolic", "Find"},
      {&xquick, "folder-saved-search-symbolic", "Web Search"},
      {&xredirect, "view-dual-symbolic", "Redirect to new browser"}};
  for (const auto& [button, icon, hint] : buttons) {
    SetGlyph(*button, icon, hint, 23);
    p2.pack_start(*button, Gtk::PACK_SHRINK);
  }
  XNEWB.signal_clicked().connect([this] { XNEWBClick(); });
  xtranslate.signal_clicked().connect([this] { xtranslateClick(); });
  xisci.signal_clicked().connect([this] { xisciClick(); });
  xquick.signal_clicked().connect([this] { xquickClick(); });
  xredirect.signal_clicked().connect([this] { RedirecttoNewWindow1Click(); });
}

void TMainForm::BuildQuickMenu() {
  auto item = [](Gtk::Menu& menu, Gtk::MenuItem& entry, guint key, Gdk::ModifierType mods,
                 std::function<void()> handler) {
    menu.append(entry);
    // Shown for the user; the keys themselves are taken by the window.
    if (key) {
      if (auto* label = dynamic_cast<Gtk::AccelLabel*>(entry.get_child())) {
        label->set_accel(key, mods);
      }
    }
    if (handler) entry.signal_activate().connect(handler);
  };
  const auto none = Gdk::ModifierType(0);
  item(poptool, QuickMenu1, GDK_KEY_F2, none, [this] {
    if (QuickMenu1.get_active() != p2.get_visible()) QuickMenu1Click();
  });
  item(poptool, snb, GDK_KEY_F7, none, [this] {
    if (snb.get_active() != socialbar.get_visible()) snbClick();
  });
  item(poptool, Files1, 0, none, nullptr);
  item(FilesMenu, NewSession1, GDK_KEY_n, Gdk::CONTROL_MASK, [this] { NewSession1Click(); });
  Files1.set_submenu(FilesMenu);
  item(poptool, Find1, GDK_KEY_F3, none, [this] { Find1Click(); });
  item(poptool, Tools1, 0, none, nullptr);
  item(ToolsMenu, QuickWebSearch3, GDK_KEY_F4, none, [this] { sb16Click(); });
  Tools1.set_submenu(ToolsMenu);
  item(poptool, Exit2, 0, none, [this] { Exit2Click(); });
  poptool.show_all();
}

void TMainForm::poptoolPopup() {
  // The check marks say what is showing now.
  QuickMenu1.set_active(p2.get_visible());
  snb.set_active(socialbar.get_visible());
}

void TMainForm::BuildTabMenu() {
  auto add = [this](Gtk::MenuItem& item, guint key, Gdk::ModifierType mods, auto handler) {
    tabpop.append(item);
    if (key) {
      // Shown for the user; the keys themselves are taken by the window.
      if (auto* label = dynamic_cast<Gtk::AccelLabel*>(item.get_child())) {
        label->set_accel(key, mods);
      }
    }
    item.signal_activate().connect(handler);
  };
  add(NewTab20, GDK_KEY_t, Gdk::CONTROL_MASK, [this] { NewTab20Click(); });
  add(CloseTabs1, GDK_KEY_w, Gdk::CONTROL_MASK, [this] { CloseTabs1Click(); });
  add(CloseAllTabs1, GDK_KEY_F1, Gdk::CONTROL_MASK, [this] { CloseAllTabs1Click(); });
  add(CloseOtherTabs1, 0, Gdk::ModifierType(0), [this] { CloseOtherTabs1Click(); });
  add(DuplicateTab1, GDK_KEY_k, Gdk::CONTROL_MASK, [this] { DuplicateTab1Click(); });
  // Ctrl+X belongs to Cut wherever text can be cut; the mode has Ctrl+Shift+X.
  add(RedirecttoNewWindow1, GDK_KEY_x, Gdk::CONTROL_MASK | Gdk::SHIFT_MASK,
      [this] { RedirecttoNewWindow1Click(); });
  add(TabsPosition1, 0, Gdk::ModifierType(0), [] {});
  add(AlignWindows1, 0, Gdk::ModifierType(0), [] {});
  TabsPositionMenu.append(op1);
  TabsPositionMenu.append(Bottom1);
  op1.set_draw_as_radio(true);
  Bottom1.set_draw_as_radio(true);
  // Setting a check from code activates the item too; only the user's
  // choice runs the command.
  op1.signal_activate().connect([this] {
    if (!setting_checks_ && op1.get_active()) op1Click();
  });
  Bottom1.signal_activate().connect([this] {
    if (!setting_checks_ && Bottom1.get_active()) Bottom1Click();
  });
  TabsPosition1.set_submenu(TabsPositionMenu);
  tabpop.show_all();
  // Never shown: Close Other Tabs, Tabs Position and Align Windows.
  CloseOtherTabs1.hide();
  TabsPosition1.hide();
  AlignWindows1.hide();
}

std::string TMainForm::OrvindelDir() const { return data_dir_ + kOrvindelFolder + "/"; }

void TMainForm::BeginStartupStep(int step) {
  startup_step_ = step;
  StartupStepReached(step);
}

void TMainForm::FormCreate(const std::vector<std::string>& arguments) {
  // One guard over the whole sequence: a failing step ends start-up there,
  // silently, and the window opens in whatever state was reached.
  RunGuarded([&] {
    BeginStartupStep(1);
    CurrentUserAgent = kDefaultUserAgent;
    BeginStartupStep(2);  // The first tab's browser.
    first_browser_ = std::make_unique<TWebBrowser>(services_.engine());
    tsmain.pack_start(*Glib::wrap(first_browser_->Widget()), Gtk::PACK_EXPAND_WIDGET);
    ProcessPendingEvents();
    WireBrowser(*first_browser_);
    first_browser_->SetUserAgent(CurrentUserAgent);
    BeginStartupStep(3);
    const std::string start_page = SystemStartPage();
    BeginStartupStep(4);
    PaintOwnBackgrounds();
    BeginStartupStep(5);
    first_browser_->SetSilent(true);
    BeginStartupStep(6);
    program_dir_ = services_.folders.program_dir;
    data_dir_ = services_.folders.data_dir;
    BeginStartupStep(7);
    RunGuarded([&] {
      CreateDataFolders(data_dir_);
      ProcessPendingEvents();
    });
    RemoveStaleTemporaries(OrvindelDir());
    folder_notice_.Check(*services_.dialogs, this, OrvindelDir(), /*now=*/false);
    BeginStartupStep(8);
    MigrateListFile(program_dir_, OrvindelDir(), "2rss.ovf");
    MigrateListFile(program_dir_, OrvindelDir(), "2favlist.ovf");
    BeginStartupStep(9);
    LoadSettings();
    BeginStartupStep(10);
    fallback_browser_ = first_browser_.get();
    BeginStartupStep(11);
    RunGuarded([&] {
      if (auto file = ReadSettingsFile(OrvindelDir() + kColorDialogFile)) {
        ColorDialog = ReadColorDialogState(*file, ColorDialog);
      }
    });
    BeginStartupStep(12);
    Settings = ReadMainConfig(ReadSettingsFile(OrvindelDir() + kMainConfigFile).value_or(IniFile()),
                              services_.screen(), start_page);
    ApplyViewState();
    BeginStartupStep(13);
    GetCurrentWB()->Navigate(Settings.HomePage);
    BeginStartupStep(14);
    SetEngineEmulationLevel();
    BeginStartupStep(15);
    fallback_browser_ = first_browser_.get();
    first_browser_->TabTitle.clear();
    BeginStartupStep(16);
    for (const auto& argument : arguments) {
      if (argument.empty()) continue;
      e3.set_text(argument);
      GetCurrentWB()->Navigate(e3.get_text());
    }
    BeginStartupStep(17);
    RedirectPanelFirstWidth = restored_.width / 2;
    BeginStartupStep(18);
    ApplyLanguageCaptions();
    ProcessPendingEvents();
    StartupFinished = true;
  });
  timer_ = Glib::signal_timeout().connect(
      [this] {
        Timer1Timer();
        return true;
      },
      125);
}

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

void TMainForm::PaintOwnBackgrounds() {
  auto css = Gtk::CssProvider::create();
  css->load_from_data(kCss);
  Gtk::StyleContext::add_provider_for_screen(get_screen(), css,
                                             GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

void TMainForm::ApplyViewState() {
  // The navigation bar is hidden only in floating mode without the address
  // bar; the thin progress strip stands in for it exactly then.
  const bool bar_visible = !(Settings.FloatingMode && !Settings.AddressBarKept);
  jsand.set_visible(bar_visible);
  topline.set_visible(!bar_visible);
  e3.SetEndColor(Settings.ProgressEndColor);
  socialbar.set_visible(Settings.SocialBarShown);
  p2.set_visible(Settings.QuickPanelShown);
}

void TMainForm::SetEngineEmulationLevel() {
  // WebKit has no document-mode emulation levels: there is nothing to set.
}

void TMainForm::ApplyLanguageCaptions() {
  // The quick menu's captions come from the current language file once the
  // quick menu and language packs exist.
}

void TMainForm::CloseRedirectPanel() { x108Click(); }

// --- Tabs ------------------------------------------------------------------

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
    tab.browser = std::make_unique<TWebBrowser>(services_.engine());
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
    wb666_ = std::make_unique<TWebBrowser>(services_.engine());
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
  gtk_widget_grab_focus(copy->Backend().Widget());
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

void TMainForm::barontopClick() {
  setting_checks_ = true;
  op1.set_active(Settings.TabPosition == 0);
  Bottom1.set_active(Settings.TabPosition == 3);
  setting_checks_ = false;
}

void TMainForm::NewSession1Click() {
  // Exactly one new instance, started as the first one was: no arguments.
  services_.launcher->Start(services_.folders.program_path, {});
}

bool TMainForm::on_key_press_event(GdkEventKey* event) {
  const auto mods = event->state & (GDK_CONTROL_MASK | GDK_SHIFT_MASK | GDK_MOD1_MASK);
  const guint key = gdk_keyval_to_lower(event->keyval);
  if (mods == GDK_CONTROL_MASK) {
    switch (key) {
      case GDK_KEY_n:
        // Taken before any control sees it.
        NewSession1Click();
        return true;
      case GDK_KEY_t:
        NewTab20Click();
        return true;
      case GDK_KEY_w:
        CloseTabs1Click();
        return true;
      case GDK_KEY_F1:
        CloseAllTabs1Click();
        return true;
      case GDK_KEY_k:
        DuplicateTab1Click();
        return true;
      case GDK_KEY_l:
        FocusAddressBar();
        return true;
      default:
        break;
    }
  }
  if (mods == (GDK_CONTROL_MASK | GDK_SHIFT_MASK) && key == GDK_KEY_x) {
    RedirecttoNewWindow1Click();
    return true;
  }
  if (mods == 0 && key == GDK_KEY_F3) {
    Find1Click();
    return true;
  }
  if (mods == 0 && key == GDK_KEY_F4) {
    sb16Click();
    return true;
  }
  if (mods == 0 && key == GDK_KEY_F2) {
    QuickMenu1Click();
    return true;
  }
  if (mods == 0 && key == GDK_KEY_F7) {
    snbClick();
    return true;
  }
  if ((mods == GDK_MOD1_MASK && key == GDK_KEY_d) || (mods == 0 && key == GDK_KEY_F6)) {
    FocusAddressBar();
    return true;
  }
  return Gtk::Window::on_key_press_event(event);
}

void TMainForm::FocusAddressBar() {
  e3.grab_focus();
  e3.select_region(0, -1);
}

// --- Navigation ------------------------------------------------------------

void TMainForm::Go(bool from_enter) {
  TWebBrowser* wb = GetCurrentWB();
  if (!wb) return;
  if (from_enter) gtk_widget_grab_focus(wb->Backend().Widget());
  const std::string text = e3.get_text();
  // A local file has no server to ask; searching the web for its path
  // would never be what the user meant.
  if (IsLocalFileAddress(text, FileExists) || ProbeAddress(text)) {
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

int TMainForm::SearchEngineInUse() const {
  // With no engine chosen (a damaged "SEARCH"), a text is still searched,
  // with the first engine, instead of going nowhere.
  return Settings.SearchEngine >= 1 && Settings.SearchEngine <= kEngineCount ? Settings.SearchEngine
                                                                              : 1;
}

void TMainForm::sbrefreshClick() {
  TWebBrowser* wb = GetCurrentWB();
  if (!wb) return;
  if (Settings.ClearCacheOnRefresh) ClearTemporaryInternetFiles();
  wb->Navigate(e3.get_text());
  wb->SetUserAgent(CurrentUserAgent);
  gtk_widget_grab_focus(wb->Backend().Widget());
}

void TMainForm::ClearTemporaryInternetFiles() {
  // The engine's cache clean-up comes with the engine integration.
}

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
    TTabExtSheet* page = nbook.ActivePage();
    if (!page) return;
    if (jsand.get_parent() != page || topline.get_parent() != page) {
      if (TWebBrowser* wb = GetCurrentWB()) e3.set_text(wb->LocationURL());
      ProcessPendingEvents();
      ReHome();
      htttpsClick();
    }
  });
}

// --- Page events -----------------------------------------------------------

void TMainForm::wbBeforeNavigate(TWebBrowser& sender, const std::string& uri, bool& cancel) {
  WBBeforeNavigate2(sender, uri, cancel);
}

// --- Pop-ups and redirect mode ---------------------------------------------

void TMainForm::wbNewWindow2(TWebBrowser& sender, const std::string&, TWebBrowser*& window,
                             bool& cancel) {
  const bool allowed = Settings.PopupsAllowed;
  // Redirect mode blocks every window; its address goes to the side panel.
  if (RedirectMode) Settings.PopupsAllowed = false;
  if (!Settings.PopupsAllowed) {
    ForgetCatcher();
    catcher_window_ = std::make_unique<Gtk::OffscreenWindow>();
    catcher_ = std::make_unique<TWebBrowser>(services_.engine());
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
  // The Options window's "Turn Off Pop-up blocker" box follows once it exists.
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
    wbr_ = std::make_unique<TWebBrowser>(services_.engine());
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
              std::max(100, allocation.get_width() - (RedirectPanelFirstWidth + 30)));
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

// --- Quick web search, translation, social bar ------------------------------

void TMainForm::sb16Click() {
  QuickSearchText.clear();
  std::string text;
  if (TWebBrowser* wb = GetCurrentWB(); wb && wb->HasDocument()) {
    // A page whose selection cannot be read searches nothing, like one
    // with nothing selected.
    RunGuarded([&] { text = wb->SelectionText(); });
  }
  const std::string address = BuildSearchAddress(SearchEngineInUse(), text);
  if (text.empty()) {
    app_.finfo1().ShowHint();
    return;
  }
  if (Settings.SearchResultsInTab) {
    OpenTab(" ", "Blank Page");
    if (TWebBrowser* wb = GetCurrentWB()) {
      wb->Navigate(address);
      gtk_widget_grab_focus(wb->Backend().Widget());
    }
    return;
  }
  QuickSearchText = text;
  app_.fgoogle().ShowResults(address);
}

void TMainForm::xquickClick() {
  x108Click();
  sb16Click();
}

void TMainForm::xtranslateClick() {
  x108Click();
  const std::string address = BuildTranslateAddress(std::string(e3.get_text()));
  OpenTab(" ", "Blank Page");
  if (TWebBrowser* wb = GetCurrentWB()) {
    wb->Navigate(address);
    gtk_widget_grab_focus(wb->Backend().Widget());
  }
}

void TMainForm::ChooseEngine(int engine) {
  Settings.SearchEngine = engine;
  app_.fgoogle().SelectEngine(engine);
}

void TMainForm::gt1Click() { ChooseEngine(1); }
void TMainForm::gt2Click() { ChooseEngine(2); }
void TMainForm::gt3Click() { ChooseEngine(3); }
void TMainForm::gt4Click() { ChooseEngine(4); }

void TMainForm::snbClick() {
  socialbar.set_visible(!socialbar.get_visible());
}

void TMainForm::xzapriClick() { socialbar.hide(); }

void TMainForm::XNEWBClick() {
  x108Click();
  NewTab20Click();
}

void TMainForm::QuickMenu1Click() { p2.set_visible(!p2.get_visible()); }

void TMainForm::SocialLinkClick(const std::string& address) {
  // Redirect mode stays as it is: in it, the page goes to the side panel.
  OpenTab(" ", "Blank Page");
  e3.set_text(address);
  ProcessPendingEvents();
  e3.set_text(address);
  sbrefreshClick();
}

// --- Find ------------------------------------------------------------------

void TMainForm::Find1Click() {
  RunDocumentCommand(GetCurrentWB(), CommandGroup::kWebBrowser, kCmdFind);
}

void TMainForm::xisciClick() { Find1Click(); }

void TMainForm::wbDownloadBegin(TWebBrowser& sender) {
  ProcessPendingEvents();
  // A background tab that starts loading must not take over the toolbar.
  if (!IsCurrent(sender)) return;
  ShowStop(true);
  e3.set_text(sender.LocationURL());
}

void TMainForm::wbDownloadComplete(TWebBrowser&) {
  StartupFinished = true;
  ProcessPendingEvents();
  if (TWebBrowser* wb = GetCurrentWB()) {
    e3.set_text(wb->LocationURL());
    RunGuarded([&] { gtk_widget_grab_focus(wb->Backend().Widget()); });
  }
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
      e3.set_text(sender.LocationURL());
    }
    if (page) page->SetCaption(caption);
    sender.TabTitle = caption;
    LoadSiteIcon(sender);
  });
}

void TMainForm::LoadSiteIcon(TWebBrowser&) {
  // Site icons on the tabs come with their own feature.
}

void TMainForm::wbStatusTextChange(TWebBrowser&, const std::string& text) {
  if (!GetCurrentWB()) return;
  // Silver View is the view at every start.
  set_title(MainCaptionForStatus(text));
}

// --- Geometry ----------------------------------------------------------------

void TMainForm::LoadSettings() {
  const std::string path = OrvindelDir() + kGeometryFile;
  const auto file = ReadSettingsFile(path);
  if (!file) {
    maximize();
    status_ = kStatusMaximized;
    return;
  }
  WindowGeometry current = restored_;
  get_position(current.left, current.top);
  bool complete = true;
  const WindowGeometry g =
      PlaceOnMonitors(ReadWindowGeometry(*file, current, &complete), MonitorRects());
  if (!complete) MarkDamaged(path);
  resize(g.width, g.height);
  move(g.left, g.top);
  restored_ = g;
  restored_.status = kStatusNormal;
  if (g.status == kStatusMinimized) {
    show();
    iconify();
    status_ = kStatusMinimized;
  } else if (g.status == kStatusMaximized) {
    maximize();
    status_ = kStatusMaximized;
  } else {
    unmaximize();
    status_ = kStatusNormal;
  }
}

void TMainForm::SaveSettings() {
  // What start-up never read is not written: a close during start-up must
  // not put defaults over the user's files.
  RunGuarded([&] {
    if (startup_step_ <= 11) return;
    WriteFileAtomic(OrvindelDir() + kColorDialogFile, SerializeColorDialogState(ColorDialog));
  });
  if (startup_step_ <= 9) return;
  WindowGeometry g = restored_;
  g.status = status_;
  WriteFileAtomic(OrvindelDir() + kGeometryFile, WriteWindowGeometry(g).Serialize());
}

bool TMainForm::on_configure_event(GdkEventConfigure* event) {
  const bool handled = Gtk::Window::on_configure_event(event);
  // Only a normal window tells its restored rectangle.
  if (status_ == kStatusNormal) {
    get_position(restored_.left, restored_.top);
    get_size(restored_.width, restored_.height);
  }
  return handled;
}

bool TMainForm::on_window_state_event(GdkEventWindowState* event) {
  const auto state = event->new_window_state;
  const auto watched = GDK_WINDOW_STATE_ICONIFIED | GDK_WINDOW_STATE_MAXIMIZED |
                       GDK_WINDOW_STATE_FULLSCREEN;
  // Mapping and focus changes say nothing about the state the user chose.
  if (!(event->changed_mask & watched)) return Gtk::Window::on_window_state_event(event);
  if (state & GDK_WINDOW_STATE_ICONIFIED) {
    status_ = kStatusMinimized;
  } else if (state & (GDK_WINDOW_STATE_MAXIMIZED | GDK_WINDOW_STATE_FULLSCREEN)) {
    status_ = kStatusMaximized;
  } else {
    status_ = kStatusNormal;
  }
  return Gtk::Window::on_window_state_event(event);
}

// --- Closing -----------------------------------------------------------------

void TMainForm::WriteMainConfigFile() {
  if (startup_step_ <= 12) return;  // never read: nothing to write back
  const std::string path = OrvindelDir() + kMainConfigFile;
  // Values whose controls exist are taken from them.
  Settings.ProgressEndColor = e3.EndColor();
  Settings.SocialBarShown = socialbar.get_visible();
  Settings.QuickPanelShown = p2.get_visible();
  // Keys the program does not own stay as they were in the file.
  IniFile file = ReadSettingsFile(path).value_or(IniFile());
  WriteMainConfig(file, Settings);
  WriteFileAtomic(path, file.Serialize());
}

void TMainForm::FormCloseQuery(bool& CanClose) {
  CanClose = false;
  ProcessPendingEvents();
  if (StartupFinished) CanClose = true;
  if (!CanClose) return;
  folder_notice_.Check(*services_.dialogs, this, OrvindelDir(), /*now=*/true);
  timer_.disconnect();
  RunGuarded([&] {
    if (dxpanel.get_visible()) CloseRedirectPanel();
    WriteMainConfigFile();
    // Edits made in an open favorites window are kept, not lost with it.
    app_.ffavorit().SaveList();
    fallback_browser_ = nullptr;
    first_browser_.reset();
    app_.fOptions().SaveUserAgents();
    ProcessPendingEvents();
  });
}

void TMainForm::FormDestroy() {
  RunGuarded([&] {
    SaveSettings();
    ProcessPendingEvents();
  });
}

bool TMainForm::RequestClose() {
  if (closed_) return true;
  if (!StackUnwound() && StartupFinished) {
    // A handler is waiting for a page, or a browser's handler is running,
    // further up the stack; closing now would destroy what it still uses.
    // End every wait, close afterwards.
    SetTerminating(true);
    RunWhenUnwound(this, [this] { RunReported([&] { RequestClose(); }); });
    return false;
  }
  bool can_close = false;
  FormCloseQuery(can_close);
  if (!can_close) return false;
  closed_ = true;
  app_.MainFormClosed();
  return true;
}

bool TMainForm::on_delete_event(GdkEventAny*) {
  RunReported([&] { RequestClose(); });
  // The App hides and destroys the window itself once it has closed.
  return true;
}

void TMainForm::Exit2Click() {
  // Asked for during start-up (a signal): carried out once it has finished.
  if (!app_.Started()) return app_.RequestExit();
  StartupFinished = true;
  ProcessPendingEvents();
  RequestClose();
}

}  // namespace orv
