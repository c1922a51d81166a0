// TMainForm: the main window. Its creation brings the program up; its close
// writes everything back. It holds the tabs, each with its browser, the
// navigation toolbar that follows the active tab, and the page events.
#pragma once

#include <gtkmm.h>

#include <list>
#include <map>
#include <set>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/web_browser.h"
#include "common/color_dialog_state.h"
#include "platform/mail.h"
#include "shell/data_folder_dialog.h"
#include "shell/main_config.h"
#include "shell/window_geometry.h"
#include "pagetools/social_bar_widget.h"
#include "widgets/gauge_edit_widget.h"
#include "widgets/page_ext_control_widget.h"
#include "widgets/scrolling_text_widget.h"

namespace orv {

class App;
struct Services;

inline constexpr char kApplicationTitle[] = "Quenmar Orvindel Web Browser";

class TMainForm : public Gtk::Window {
 public:
  TMainForm(App& app, Services& services);
  ~TMainForm() override;

  // The start-up sequence; `arguments` is the command line without the
  // program name.
  void FormCreate(const std::vector<std::string>& arguments);
  void LoadSettings();
  void SaveSettings();
  void FormCloseQuery(bool& CanClose);
  void FormDestroy();

  // The pop-up menu's "Exit"; also what SIGTERM, SIGINT and SIGHUP do.
  void Exit2Click();
  // Asks the window to close, as its close box does. Answers whether it closed.
  bool RequestClose();
  bool Closed() const { return closed_; }

  // --- Tabs ---------------------------------------------------------------
  // The active tab's browser; the first browser stands in for a page that
  // shows the toolbar before its browser (the first tab). Null when the
  // strip has no active page.
  TWebBrowser* GetCurrentWB();
  TWebBrowser* FirstBrowser() { return first_browser_.get(); }
  // Opens a tab directly after the active one and makes it active. An
  // address of blanks loads nothing. Answers the new page, or null when the
  // page could not be made (it is then taken away again, silently).
  TTabExtSheet* OpenTab(const std::string& address, const std::string& caption);
  // The browser shown on `page`, or null.
  TWebBrowser* BrowserOf(const TTabExtSheet& page);

  void NewTab20Click();
  void CloseTabs1Click();
  void CloseAllTabs1Click();
  void CloseOtherTabs1Click();
  void DuplicateTab1Click();
  void op1Click();
  void Bottom1Click();
  void NewSession1Click();
  void nbookChange();
  void nbookTabClose(int index, bool& can_close);

  // --- Pop-ups and redirect mode -----------------------------------------
  void WBBeforeNavigate2(TWebBrowser& sender, const std::string& uri, bool& cancel);
  // Flips redirect mode (tab menu "Redirect to New Window").
  void RedirecttoNewWindow1Click();
  // Switches redirect mode off and hides the side panel ("Close").
  void x108Click();
  void x105Click();
  void x107Click();
  void x110Click();
  void x111Click();
  void x113Click();
  TWebBrowser* SideBrowser() { return wbr_.get(); }
  TWebBrowser* PopupCatcher() { return catcher_.get(); }
  const std::string& RedirectAddress() const { return redirect_address_; }

  // --- Quick web search, translation, social bar -------------------------
  // Quick Web Search of the page's selected text (F4).
  void sb16Click();
  void xquickClick();
  void xtranslateClick();
  void gt1Click();
  void gt2Click();
  void gt3Click();
  void gt4Click();
  void snbClick();
  void xzapriClick();
  // The social bar's five site buttons.
  void s1Click();
  void s2Click();
  void s3Click();
  void s4Click();
  void s5Click();
  // The quick panel's New Tab: redirect mode off first.
  void XNEWBClick();
  // "Quick Menu" (F2): shows or hides the quick panel.
  void em1Click();

  // --- Chrome: the floating bar, transparency, site icons -----------------
  // "Address Bar" (Ctrl+B): in floating mode shows or hides the navigation
  // bar; in either mode records whether it shows ("urlviden").
  void pm2Click();
  // "Floating Navigation Bar" (Ctrl+M): floating mode on or off.
  void fgmClick();
  // Shows the floating bar `bar` or the main bar's own buttons, as floating
  // mode says; the bar runs it as it is made.
  void ApplyFloatingMode(Gtk::Window& bar);
  // "Transparent" (F10): the window's opacity at the stored value, or none.
  void ransparent1Click();
  void SetTransparent1Click();
  void ProgressBarEndColor1Click();
  // "Disable Fav Icons": site icons off or on.
  void dISABLE1Click();
  // "Full Screen" (F11).
  void FullScreen1Click();
  // The hidden "Find On This Page..." has no action; its key is taken all
  // the same.
  void FindOnThisPage2Click() {}
  // Whether the window is see-through now; every run starts opaque.
  bool Transparent() const { return transparent_; }
  bool FullScreen() const { return full_screen_; }
  // --- Page commands and mail --------------------------------------------
  // Print (Ctrl+P, the quick panel's xprint) and Print Preview.
  void SpeedButton20Click();
  void SpeedButton21Click();
  void SaveAs1Click();
  void OpenFile1Click();
  void Viewsource1Click();
  // The page designer, modal, on the address bar's text; the quick panel's
  // button switches the redirect mode off first.
  void WYSIWYGDesignerdevelopmentversion1Click();
  void xdesignerClick();
  // Edit: on the text field that has the keyboard, on the page otherwise.
  void Cut2Click();
  void Copy2Click();
  void Paste2Click();
  void Sellectall2Click();
  void Maillinktothispage1Click();
  void ReadMail1Click();
  // Hands `request` to the mail program; no mail program shows the error.
  void SendMailRequest(const MailRequest& request);

  // --- Preferences --------------------------------------------------------
  // "Options" and "About Orvindel Web Browser", both modal.
  void Options1Click();
  void AboutOrvindel1Click();
  // Deleting temporary internet files on every refresh, on or off.
  void deleterefreshClick();
  // Empties the engine's caches now.
  void DeleteTemporaryInternetFiles2Click();

  // --- Feeds --------------------------------------------------------------
  // Opens the reader and waits until it closes.
  void SpeedButton19Click();
  void RSSReader1Click();
  void AddRSS2Click();
  // The quick panel's RSS Reader: redirect mode off first.
  void xq1Click();
  // Shows or hides the ticker strip.
  void ScrollingRSS1Click();
  void alsClick();
  void alsrefreshClick();
  void alszapriClick();
  void rsstimerTimer();
  // The ticker's refresh: the first feed's headlines.
  void rssClick();
  bool TickerTimerRunning() const { return rsstimer_.connected(); }

  // --- Find ---------------------------------------------------------------
  void Find1Click();
  void xisciClick();

  // --- Navigation ---------------------------------------------------------
  // Go: probe the address bar's text, then open it or search it. Enter in
  // the address bar first gives the page the keyboard; the Go button does not.
  void e3KeyPress();
  void go3Click();
  // The address-bar search: the text with the selected engine, waited for.
  void runClick();
  // Navigates the current tab to the address bar's text.
  void sbrefreshClick();
  // The Refresh button.
  void mtf5Click();
  void mtstopClick();
  void pda2Click();
  void pdb3Click();
  void pdc3Click();
  void htttpsClick();
  // Puts the keyboard into the address bar with its text selected.
  void FocusAddressBar();
  // Shows `uri` in the address bar, unless the user is typing there: what
  // a page reports then must not replace what is being typed.
  void ShowAddress(const std::string& uri);
  bool TypingAddress() const { return address_typed_ && e3.is_focus(); }
  // The 125 ms periodic check.
  void Timer1Timer();

  // --- Commands -----------------------------------------------------------
  // Sets the quick menu's captions from the current language file.
  void mainjezik();
  // Sets the check marks of both menus from what they show; runs when a
  // menu or submenu opens.
  void poptoolPopup();
  void barontopClick();
  // Runs the command of the menu item `item`; answers whether it has one.
  bool RunCommand(std::string_view item);
  // The menu item of `item`, or null.
  Gtk::MenuItem* MenuItemOf(std::string_view item);

  // Program-wide settings and the chrome values read from Orvindel.cfg.
  MainConfig Settings;
  std::string CurrentUserAgent;
  std::string CurrentPageTitle;
  std::string LastSearchAddress;
  // The text of the last Quick Web Search shown in the search window.
  std::string QuickSearchText;
  // The language file the captions are read from; empty reads none.
  std::string CurrentLanguageFile;
  bool StartupFinished = false;
  bool RedirectMode = false;
  // "Add RSS" asked the reader to go on to Manage Feeds and its Add dialog.
  bool AddFeedRequested = false;
  int RedirectPanelFirstWidth = 0;
  ColorDialogState ColorDialog;

  // Controls. Declared before the strip: a page must go before its label,
  // and the toolbar panels must outlive the pages that hold them.
  Gtk::Box root;
  Gtk::EventBox topstrip;
  Gtk::Box jsand;
  Gtk::Box jpleft;
  Gtk::Button pda, pdb, sbrefresh, sbstop, pdc, pde;
  Gtk::Box jp3;
  Gtk::Box e3panel;
  Gtk::Image ImageType;
  TGaugeEdit e3;
  Gtk::Button go3;
  Gtk::EventBox topline;
  Gtk::ProgressBar gpt;
  Gtk::Menu tabpop;
  Gtk::MenuItem NewTab20, CloseTabs1, CloseAllTabs1, CloseOtherTabs1, DuplicateTab1,
      TabsPosition1, AlignWindows1;
  Gtk::CheckMenuItem op1, Bottom1, AddressBar1;
  TPageExtControl nbook;
  TTabExtSheet tsmain;
  Gtk::MenuItem RedirecttoNewWindow1;
  // The side panel, right of the tabs behind the splitter.
  Gtk::Paned spliter;
  Gtk::Box dxpanel;
  TGaugeEdit pcaption;
  Gtk::Box dxbuttons;
  Gtk::Button x105, x107, x110, x111, x113, x108;
  TSocialBar socialbar;
  // The news ticker strip along the bottom.
  Gtk::Box ptop;
  TALScrollingText als;
  Gtk::Button alsrefresh, alszapri;
  // The quick panel at the right edge and the quick menu.
  Gtk::Box middle;
  Gtk::Box p2;
  Gtk::Button XNEWB, xtranslate, xisci, xquick, xredirect, xprint, xdesigner, xtransparent,
      xfloating, xDRESB, xduplirraj;
  Gtk::Box jpd;
  Gtk::Button CustomizeButton;
  Gtk::Menu poptool;
  Gtk::CheckMenuItem em1, pm2, fgm, snb, dISABLE1, DeleteTemporaryInternetFilesOnRefresh1;
  Gtk::MenuItem Files1, NewSession1, FindOnThisPage2, Find1, SetTransparent1, ransparent1, ools2,
      QuickWebSearch3, SetQuickWebSearch1, gt1, gt2, gt3, gt4, ProgressBarEndColor1, FullScreen1,
      Exit2;
  Gtk::MenuItem OpenFile1, SaveAs1, Print2, PrintPreview2, Edit2, Cut2, Copy2, Paste2, Sellectall2,
      ViewSource2, WYSIWYGDesignerdevelopmentversion1, ReadMail1, MailLinkToThisPage2, Options1,
      AboutOrvindel1, DeleteTemporaryInternetFiles2;
  Gtk::Button xq1;
  Gtk::MenuItem RSSReader1, AddRSS2, ScrollingRSS1;

  WindowStatus Status() const { return static_cast<WindowStatus>(status_); }

 private:
  struct TabPage {
    std::unique_ptr<TTabExtSheet> sheet;
    std::unique_ptr<TWebBrowser> browser;
  };

  void BuildToolbar();
  static std::vector<Glib::RefPtr<Gdk::Pixbuf>> TabImages();
  void BuildQuickPanel();
  void BuildTicker();
  // Both menus, in the command table's order.
  void BuildMenus();
  void OpenSocialLink(int button);
  // The editable field that has the keyboard, or null.
  GtkEditable* FocusedTextField();
  // Whether any text field has the keyboard: an editable, a text view or a
  // progress address edit. Such a field gets its editing keys first.
  bool FocusIsTextField();
  void WireBrowser(TWebBrowser& browser);
  void PaintOwnBackgrounds();
  void ApplyViewState();
  void SetEngineEmulationLevel();
  void CloseRedirectPanel();
  void LoadSiteIcon(TWebBrowser& browser);
  void ShowSiteIcon(const std::string& address, int image);
  void ApplyTransparency();
  void ClearTemporaryInternetFiles();
  void WriteMainConfigFile();
  void BeginStartupStep(int step);
  std::string OrvindelDir() const;
  bool IsCurrent(const TWebBrowser& browser);
  TTabExtSheet* PageOf(const TWebBrowser& browser);
  // Moves the toolbar and the progress strip onto the active page.
  void ReHome();
  // Takes `page` off the strip and destroys it with its browser.
  void DestroyPage(TTabExtSheet* page);
  void SetSecureLook(bool secure);
  void ShowStop(bool loading);
  void ResetProgress();
  TWebBrowser& StagingBrowser();
  bool on_key_press_event(GdkEventKey* event) override;

  // Handlers of every tab browser.
  void wbBeforeNavigate(TWebBrowser& sender, const std::string& uri, bool& cancel);
  void wbDownloadBegin(TWebBrowser& sender);
  void wbDownloadComplete(TWebBrowser& sender);
  void wbDocumentComplete(TWebBrowser& sender);
  void wbProgressChange(TWebBrowser& sender, int progress, int maximum);
  void wbTitleChange(TWebBrowser& sender, const std::string& title);
  void wbStatusTextChange(TWebBrowser& sender, const std::string& text);
  void wbNewWindow2(TWebBrowser& sender, const std::string& uri, TWebBrowser*& window,
                    bool& cancel);
  void RedirectSteps(const std::string& uri);
  TWebBrowser& MakeSideBrowser();
  void BuildSidePanel();
  void ForgetCatcher();
  void CheckTurnOffPopupBlocker();
  void ApplyRedirectLook(bool redirect);
  void ChooseEngine(int engine);
  int SearchEngineInUse() const;

  bool on_delete_event(GdkEventAny* event) override;
  bool on_configure_event(GdkEventConfigure* event) override;
  bool on_window_state_event(GdkEventWindowState* event) override;

  App& app_;
  Services& services_;
  std::unique_ptr<TWebBrowser> first_browser_;
  TWebBrowser* fallback_browser_ = nullptr;
  // Pages made by OpenTab; a list, so that references stay valid.
  std::list<TabPage> pages_;
  // The hidden staging browser of Duplicate Tab, made on first use.
  std::unique_ptr<Gtk::OffscreenWindow> wb666_window_;
  std::unique_ptr<TWebBrowser> wb666_;
  sigc::connection timer_;
  // The ticker's five-minute refresh; runs only while the ticker shows.
  sigc::connection rsstimer_;
  bool ticker_refreshing_ = false;
  // The hidden browser a blocked pop-up loads into until the user answers.
  std::unique_ptr<Gtk::OffscreenWindow> catcher_window_;
  std::unique_ptr<TWebBrowser> catcher_;
  std::unique_ptr<TWebBrowser> wbr_;
  std::string redirect_address_;
  bool side_panel_first_showing_ = true;
  bool redirect_look_ = false;
  // The address bar's text was typed by the user since it last took the
  // keyboard or sent the user somewhere.
  bool address_typed_ = false;
  std::string program_dir_;
  std::string data_dir_;
  // The start-up step reached: what was read by then may be written back.
  int startup_step_ = 0;
  DataFolderNotice folder_notice_;
  bool closed_ = false;
  bool destroying_page_ = false;
  // Set while the check marks are set from code, which activates the items.
  bool setting_checks_ = false;
  bool transparent_ = false;
  bool full_screen_ = false;
  // Site icons: the image each icon address got (0: none to be had), and
  // the addresses being fetched. Each address is asked for once a run.
  std::map<std::string, int> site_icons_;
  std::set<std::string> site_icons_fetching_;
  // Answers that arrive after the window is gone find this expired.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  int status_ = kStatusNormal;
  WindowGeometry restored_;
};

}  // namespace orv
