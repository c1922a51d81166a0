// Tfoptions: the Options window. It gathers settings that live elsewhere,
// written back when it closes, and owns the user agents: the built-in one
// and the optional list kept in uas.cfg.
#pragma once

#include <string>
#include <vector>

#include "ui/secondary_window.h"

namespace orv {

class Tfoptions : public SecondaryWindow {
 public:
  Tfoptions(App& app, Services& services);

  // The quick menu's "Options": shows the window modally and writes its
  // values back when it closes.
  void Execute();
  void FormActivate();
  void FormClose();

  void sbhomepageClick();
  void sbcClick();
  void SpeedButton1Click();
  // "Language": the installed languages, to choose one.
  void sbjezikClick();
  // Toggles ClearCacheOnRefresh at each click, with the menu's check.
  void cb4Click();
  // "Set default ": the built-in agent becomes the current one.
  void sbsetClick();
  // The lower "Set default ": the selected list entry becomes the current one.
  void sbset2Click();
  // Add, remove and edit a list entry.
  void SpeedButton4Click();
  void sbminusClick();
  void sbeditClick();

  // The items of the optional user-agent list `cbx`, sorted.
  const std::vector<std::string>& UserAgents() const { return user_agents_; }
  // Writes the list to uas.cfg in the Orvindel folder. Throws on failure.
  void SaveUserAgents();

  Gtk::Button sbhomepage, sbc, SpeedButton1, sbjezik;
  Gtk::Frame brg;
  Gtk::RadioButton brg1, brg2, brg3, brg4;
  Gtk::Label LabelResults;
  Gtk::RadioButton rbsa, rbsb;
  Gtk::CheckButton bcustavi, cb4, cb5;
  Gtk::Frame GroupBox1;
  Gtk::Label LabelExplain, LabelDefault, LabelCurrent, LabelOptional;
  Gtk::Entry e_ua;
  Gtk::Button sbset;
  Gtk::Entry L5;
  Gtk::Button SpeedButton4, sbminus, sbedit, sbset2;
  Gtk::ComboBoxText cbx;
  Gtk::Button BitBtn1;  // Close
  // Never shown: enabled while the program is not the default browser.
  Gtk::Button sbdeffaultbrowser;
  void sbdeffaultbrowserClick();

 private:
  void BeforeShow() override { FormActivate(); }
  // Makes `agent` the current user agent of the program and of the current
  // tab, and says so.
  void UseAgent(const std::string& agent);
  // Fills `cbx` from the list, sorted, and selects the first entry.
  void FillList();

  std::vector<std::string> user_agents_;
  // Set while the window's own code sets a check box.
  bool filling_ = false;
  Gtk::Box box_;
};

}  // namespace orv
