// Tfgoogle: the Quick Web Search window. A tall tool window beside the main
// window with its own browser, where the selected text's results are shown;
// the engine list searches the same text elsewhere, and "Open in browser"
// moves the page into a tab.
#pragma once

#include <memory>
#include <string>

#include "ui/secondary_window.h"
#include "engine/web_browser.h"

namespace orv {

class Tfgoogle : public SecondaryWindow {
 public:
  Tfgoogle(App& app, Services& services);
  ~Tfgoogle() override;

  // Quick Web Search in window mode, after the main window has set
  // QuickSearchText: navigates the window's browser to `search_address` and
  // shows the window, modal over the main window. Returns at once; the
  // window stays until the user closes it.
  void ShowResults(const std::string& search_address);
  // What choosing engine 1..4 in the options does to the list: selects
  // index engine - 1 without searching.
  void SelectEngine(int engine);

  void FormActivate();
  void FormCloseQuery(bool& CanClose);
  // Closes as the "Close" button and the close box do.
  void Close();
  void cbChange();
  void sb1Click();
  void bctClick();
  void Timer1Timer();

  void wbwebDocumentComplete(TWebBrowser& sender);
  void wbwebStatusTextChange(TWebBrowser& sender, const std::string& text);
  void wbwebProgressChange(TWebBrowser& sender, int progress, int maximum);

  TWebBrowser& wbweb();
  // The progress bar's position and maximum, as the progress events set them.
  int ProgressPosition() const { return progress_position_; }
  int ProgressMax() const { return progress_max_; }

  // Controls.
  Gtk::Box root;
  Gtk::Box topbar;
  Gtk::Label labeltext;
  Gtk::ComboBoxText cb;
  Gtk::Button sb1;
  Gtk::Box bottombar;
  Gtk::CheckButton bct;
  Gtk::ProgressBar ProgressBar;
  Gtk::Button closeButton;

 private:
  // Selects a list index the way the program does, which is no user change.
  void SelectIndex(int index);
  void SetProgress(int position, int maximum);
  bool on_delete_event(GdkEventAny* event) override;
  bool on_key_press_event(GdkEventKey* event) override;
  void on_show() override;
  void on_hide() override;

  std::unique_ptr<TWebBrowser> wbweb_;
  sigc::connection timer1_;
  int progress_position_ = 0;
  int progress_max_ = 100;
  unsigned progress_step_ = 0;
  bool selecting_ = false;
};

}  // namespace orv
