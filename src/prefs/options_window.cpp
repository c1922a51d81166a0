#include "prefs/options_window.h"

#include "app/app.h"
#include "engine/web_browser.h"
#include "platform/desktop_integration.h"
#include "platform/files.h"
#include "prefs/add_string_dialog.h"
#include "prefs/home_page_dialog.h"
#include "prefs/language_dialog.h"
#include "prefs/user_agents.h"
#include "shell/main_config.h"
#include "shell/main_window.h"
#include "ui/services.h"

namespace orv {

namespace {
// Far above any real list; a larger file is not a user-agent list.
constexpr size_t kMaxUserAgentFile = 1024 * 1024;

void Small(Gtk::Button& button, const char* icon, const char* hint) {
  button.set_image_from_icon_name(icon, Gtk::ICON_SIZE_BUTTON);
  button.set_tooltip_text(hint);
}

Gtk::Box* Row(std::initializer_list<Gtk::Widget*> widgets) {
  auto* row = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 6));
  for (Gtk::Widget* w : widgets) row->pack_start(*w, Gtk::PACK_SHRINK);
  return row;
}
}  // namespace

Tfoptions::Tfoptions(App& app, Services& services)
    : SecondaryWindow(app, services, "Tfoptions", "Options"),
      sbhomepage("Home Page"),
      sbc("Progress bar color"),
      SpeedButton1("Set transparent"),
      sbjezik("Language"),
      brg("Quick Web search "),
      brg1("Google"),
      brg2("Bing"),
      brg3("Yahoo"),
      brg4("Wikipedia"),
      LabelResults("Show results "),
      rbsa("New Tab"),
      rbsb("Window"),
      bcustavi("Disable Fav icons"),
      cb4("Delete Temporary Internet files on refresh"),
      cb5("Turn Off Pop-up blocker"),
      GroupBox1(" User agent "),
      LabelExplain("The user agent is what the browser sends to visited servers to identify itself",
                   Gtk::ALIGN_START),
      LabelDefault("Orvindel default user agent string", Gtk::ALIGN_START),
      LabelCurrent("Current user agent", Gtk::ALIGN_START),
      LabelOptional("Optional user agent string", Gtk::ALIGN_START),
      sbset("Set default "),
      sbset2("Set default "),
      BitBtn1("Close"),
      sbdeffaultbrowser("Default Browser"),
      user_agents_(InitialUserAgents()),
      box_(Gtk::ORIENTATION_VERTICAL, 8) {
  FixedDialog();
  set_border_width(12);

  Gtk::RadioButton::Group engines = brg1.get_group();
  brg2.set_group(engines);
  brg3.set_group(engines);
  brg4.set_group(engines);
  auto* engine_box = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 8));
  for (Gtk::RadioButton* b : {&brg1, &brg2, &brg3, &brg4}) engine_box->pack_start(*b, Gtk::PACK_SHRINK);
  engine_box->set_border_width(6);
  brg.add(*engine_box);
  Gtk::RadioButton::Group places = rbsa.get_group();
  rbsb.set_group(places);

  e_ua.set_editable(false);
  L5.set_editable(false);
  e_ua.set_width_chars(60);
  L5.set_width_chars(60);
  Small(SpeedButton4, "list-add-symbolic", "Add user agent string");
  Small(sbminus, "list-remove-symbolic", "Remove user agent string");
  Small(sbedit, "document-edit-symbolic", "Edit");
  auto* agents = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_VERTICAL, 6));
  agents->set_border_width(8);
  agents->pack_start(LabelExplain, Gtk::PACK_SHRINK);
  agents->pack_start(LabelDefault, Gtk::PACK_SHRINK);
  agents->pack_start(*Row({&e_ua, &sbset}), Gtk::PACK_SHRINK);
  agents->pack_start(LabelCurrent, Gtk::PACK_SHRINK);
  agents->pack_start(*Row({&L5}), Gtk::PACK_SHRINK);
  agents->pack_start(*Row({&SpeedButton4, &sbminus, &sbedit, &sbset2}), Gtk::PACK_SHRINK);
  agents->pack_start(LabelOptional, Gtk::PACK_SHRINK);
  agents->pack_start(cbx, Gtk::PACK_SHRINK);
  GroupBox1.add(*agents);

  box_.pack_start(*Row({&sbhomepage, &sbc, &SpeedButton1, &sbjezik}), Gtk::PACK_SHRINK);
  box_.pack_start(brg, Gtk::PACK_SHRINK);
  box_.pack_start(*Row({&LabelResults, &rbsa, &rbsb}), Gtk::PACK_SHRINK);
  box_.pack_start(bcustavi, Gtk::PACK_SHRINK);
  box_.pack_start(cb4, Gtk::PACK_SHRINK);
  box_.pack_start(cb5, Gtk::PACK_SHRINK);
  box_.pack_start(GroupBox1, Gtk::PACK_SHRINK);
  BitBtn1.set_halign(Gtk::ALIGN_END);
  box_.pack_start(BitBtn1, Gtk::PACK_SHRINK);
  add(box_);
  box_.show_all();

  sbhomepage.signal_clicked().connect([this] { sbhomepageClick(); });
  sbc.signal_clicked().connect([this] { sbcClick(); });
  SpeedButton1.signal_clicked().connect([this] { SpeedButton1Click(); });
  sbjezik.signal_clicked().connect([this] { sbjezikClick(); });
  cb4.signal_toggled().connect([this] {
    if (!filling_) cb4Click();
  });
  sbset.signal_clicked().connect([this] { sbsetClick(); });
  sbset2.signal_clicked().connect([this] { sbset2Click(); });
  SpeedButton4.signal_clicked().connect([this] { SpeedButton4Click(); });
  sbminus.signal_clicked().connect([this] { sbminusClick(); });
  sbedit.signal_clicked().connect([this] { sbeditClick(); });
  BitBtn1.signal_clicked().connect([this] { EndModal(ModalResult::kCancel); });

  // Creation: the window's values come from the settings once; later
  // openings do not refresh them.
  const MainConfig& settings = app.MainForm().Settings;
  filling_ = true;
  bcustavi.set_active(settings.SiteIconsOff);
  Gtk::RadioButton* engine_buttons[] = {&brg1, &brg2, &brg3, &brg4};
  if (settings.SearchEngine >= 1 && settings.SearchEngine <= 4) {
    engine_buttons[settings.SearchEngine - 1]->set_active(true);
  }
  cb4.set_active(settings.ClearCacheOnRefresh);
  cb5.set_active(settings.PopupsAllowed);
  filling_ = false;

  const std::string path = services.folders.OrvindelDir() + kUserAgentFile;
  if (auto bytes = ReadFileBytes(path, kMaxUserAgentFile)) {
    user_agents_ = ParseUserAgentFile(*bytes);
  }
  FillList();
}

void Tfoptions::FillList() {
  SortUserAgents(user_agents_);
  cbx.remove_all();
  for (const std::string& agent : user_agents_) cbx.append(agent);
  if (!user_agents_.empty()) cbx.set_active(0);
}

void Tfoptions::Execute() {
  TMainForm& main = app().MainForm();
  ShowModal(&main);
  FormClose();
}

void Tfoptions::FormActivate() {
  TMainForm& main = app().MainForm();
  e_ua.set_text(kDefaultUserAgent);
  TWebBrowser* wb = main.GetCurrentWB();
  L5.set_text(wb ? wb->UserAgent() : "");
  if (!user_agents_.empty()) cbx.set_active(0);
  (main.Settings.SearchResultsInTab ? rbsa : rbsb).set_active(true);
  sbdeffaultbrowser.set_sensitive(!IsDefaultBrowser());
}

void Tfoptions::sbdeffaultbrowserClick() {
  RegisterAsDefaultBrowser(services().folders.program_path);
}

void Tfoptions::FormClose() {
  TMainForm& main = app().MainForm();
  if (brg1.get_active()) main.gt1Click();
  if (brg2.get_active()) main.gt2Click();
  if (brg3.get_active()) main.gt3Click();
  if (brg4.get_active()) main.gt4Click();
  // The site-icon toggle flips the setting: set it to the opposite first.
  main.Settings.SiteIconsOff = !bcustavi.get_active();
  main.dISABLE1Click();
  main.Settings.PopupsAllowed = cb5.get_active();
  main.Settings.SearchResultsInTab = rbsa.get_active();
}

void Tfoptions::sbhomepageClick() { app().fhomepage().Execute(this); }

void Tfoptions::sbcClick() { app().MainForm().ProgressBarEndColor1Click(); }

void Tfoptions::SpeedButton1Click() { app().MainForm().SetTransparent1Click(); }

void Tfoptions::sbjezikClick() {
  Tfjezik& languages = app().fjezik();
  languages.ListInstalledLanguages();
  languages.Execute(this);
}

void Tfoptions::cb4Click() { app().MainForm().deleterefreshClick(); }

void Tfoptions::UseAgent(const std::string& agent) {
  TMainForm& main = app().MainForm();
  TWebBrowser* wb = main.GetCurrentWB();
  // A line break would let the text add headers of its own to every
  // request: such an agent is refused.
  if (agent.find_first_of("\r\n") != std::string::npos) {
    services().dialogs->MessageBox(this,
                                   "A user agent cannot contain a line break; it was not set.",
                                   "Orvindel", MsgButtons::kOk, MsgIcon::kWarning, MsgResult::kOk);
    return;
  }
  main.CurrentUserAgent = agent;
  if (wb) wb->SetUserAgent(agent);
  L5.set_text(wb ? wb->UserAgent() : agent);
  services().dialogs->MessageBox(this, "Current user agent: " + std::string(L5.get_text()),
                                 "Orvindel", MsgButtons::kOk, MsgIcon::kNone, MsgResult::kOk);
}

void Tfoptions::sbsetClick() { UseAgent(e_ua.get_text()); }

void Tfoptions::sbset2Click() {
  const int selected = cbx.get_active_row_number();
  if (selected < 0 || selected >= static_cast<int>(user_agents_.size())) return;
  UseAgent(user_agents_[selected]);
}

void Tfoptions::SpeedButton4Click() {
  if (auto text = app().faddstring().Execute(this, "Add new user agent string", "")) {
    user_agents_.push_back(*text);
    FillList();
  }
}

void Tfoptions::sbminusClick() {
  const int selected = cbx.get_active_row_number();
  if (selected < 0 || selected >= static_cast<int>(user_agents_.size())) return;
  services().dialogs->QuestionBeep();
  const MsgResult answer = services().dialogs->MessageBox(
      this, "Remove \"" + user_agents_[selected] + "\" from user agent list ?", "Orvindel",
      MsgButtons::kYesNo, MsgIcon::kStop, MsgResult::kNo);
  if (answer != MsgResult::kYes) return;
  user_agents_.erase(user_agents_.begin() + selected);
  FillList();
}

void Tfoptions::sbeditClick() {
  const int selected = cbx.get_active_row_number();
  if (selected < 0 || selected >= static_cast<int>(user_agents_.size())) return;
  if (auto text =
          app().faddstring().Execute(this, "Edit user agent string", user_agents_[selected])) {
    user_agents_.erase(user_agents_.begin() + selected);
    user_agents_.push_back(*text);
    FillList();
  }
}

void Tfoptions::SaveUserAgents() {
  WriteFileAtomic(services().folders.OrvindelDir() + kUserAgentFile,
                  SerializeUserAgentFile(user_agents_));
}

}  // namespace orv
