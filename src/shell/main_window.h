// TMainForm: the main window. Its creation brings the program up; its close
// writes everything back.
#pragma once

#include <gtkmm.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/web_browser.h"
#include "shell/color_dialog_state.h"
#include "shell/main_config.h"
#include "shell/window_geometry.h"

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

  // The active tab's browser, falling back to the first browser.
  TWebBrowser* GetCurrentWB();
  TWebBrowser* FirstBrowser() { return first_browser_.get(); }

  // Navigates the current tab to the address bar's text.
  void sbrefreshClick();

  // Program-wide settings and the chrome values read from Orvindel.cfg.
  MainConfig Settings;
  std::string CurrentUserAgent;
  std::string CurrentPageTitle;
  bool StartupFinished = false;
  bool RedirectMode = false;
  int RedirectPanelFirstWidth = 0;
  ColorDialogState ColorDialog;

  // Controls.
  // Declared before the notebook: a tab page must go before its label.
  Gtk::Label tsmainCaption;
  Gtk::Box root;
  Gtk::EventBox topstrip;
  Gtk::Notebook nbook;
  Gtk::Box tsmain;
  Gtk::Box jsand;
  Gtk::Box e3panel;
  Gtk::Entry e3;
  Gtk::Box topline;

  WindowStatus Status() const { return static_cast<WindowStatus>(status_); }

 private:
  void WireBrowser(TWebBrowser& browser);
  void PaintOwnBackgrounds();
  void ApplyViewState();
  void SetEngineEmulationLevel();
  void ApplyLanguageCaptions();
  void CloseRedirectPanel();
  void WriteMainConfigFile();
  std::string OrvindelDir() const;
  bool IsCurrent(const TWebBrowser& browser);

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
  void e3Activate();

  bool on_delete_event(GdkEventAny* event) override;
  bool on_configure_event(GdkEventConfigure* event) override;
  bool on_window_state_event(GdkEventWindowState* event) override;

  App& app_;
  Services& services_;
  std::unique_ptr<TWebBrowser> first_browser_;
  TWebBrowser* fallback_browser_ = nullptr;
  std::string program_dir_;
  std::string data_dir_;
  // Orvindel.cfg existed but could not be read: keep it before writing.
  bool config_unreadable_ = false;
  bool closed_ = false;
  int status_ = kStatusNormal;
  WindowGeometry restored_;
};

}  // namespace orv
