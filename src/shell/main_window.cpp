#include "shell/main_window.h"

#include <algorithm>
#include <filesystem>

#include "app/app.h"
#include "favorites/favorites_window.h"
#include "platform/data_folders.h"
#include "platform/deferred.h"
#include "platform/error_report.h"
#include "platform/files.h"
#include "platform/main_loop.h"
#include "platform/startup_steps.h"
#include "prefs/languages.h"
#include "prefs/options_window.h"
#include "shell/floating_bar_window.h"
#include "ui/services.h"

namespace orv {

TMainForm::TMainForm(App& app, Services& services)
    : root(Gtk::ORIENTATION_VERTICAL),
      jsand(Gtk::ORIENTATION_HORIZONTAL),
      jpleft(Gtk::ORIENTATION_HORIZONTAL),
      jp3(Gtk::ORIENTATION_HORIZONTAL),
      e3panel(Gtk::ORIENTATION_HORIZONTAL),
      spliter(Gtk::ORIENTATION_HORIZONTAL),
      dxpanel(Gtk::ORIENTATION_VERTICAL),
      dxbuttons(Gtk::ORIENTATION_HORIZONTAL),
      middle(Gtk::ORIENTATION_HORIZONTAL),
      p2(Gtk::ORIENTATION_VERTICAL),
      jpd(Gtk::ORIENTATION_HORIZONTAL),
      app_(app),
      services_(services) {
  set_name("TMainForm");
  set_title("Orvindel");
  set_default_size(1024, 700);

  topstrip.set_name("topstrip");
  nbook.set_name("nbook");
  tsmain.set_name("tsmain");
  BuildToolbar();

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
        poptool.popup_at_pointer(reinterpret_cast<GdkEvent*>(event));
        return true;
      },
      /*after=*/true);
  nbook.OnContextPopup = [this](GdkEventButton* event) {
    tabpop.popup_at_pointer(reinterpret_cast<GdkEvent*>(event));
  };

  tsmain.pack_start(jsand, Gtk::PACK_SHRINK);
  tsmain.pack_start(topline, Gtk::PACK_SHRINK);
  root.pack_start(topstrip, Gtk::PACK_SHRINK);
  BuildSidePanel();
  // The tabs give way to the side panel: the window never grows for it.
  spliter.pack1(nbook, /*resize=*/true, /*shrink=*/true);
  spliter.pack2(dxpanel, /*resize=*/false, /*shrink=*/false);
  BuildQuickPanel();
  BuildMenus();
  middle.pack_start(spliter, Gtk::PACK_EXPAND_WIDGET);
  middle.pack_start(p2, Gtk::PACK_SHRINK);
  root.pack_start(middle, Gtk::PACK_EXPAND_WIDGET);
  root.pack_end(socialbar, Gtk::PACK_SHRINK);
  socialbar.OnClose = [this] { xzapriClick(); };
  BuildTicker();
  socialbar.s1.signal_clicked().connect([this] { s1Click(); });
  socialbar.s2.signal_clicked().connect([this] { s2Click(); });
  socialbar.s3.signal_clicked().connect([this] { s3Click(); });
  socialbar.s4.signal_clicked().connect([this] { s4Click(); });
  socialbar.s5.signal_clicked().connect([this] { s5Click(); });
  add(root);
  root.show_all();
  dxpanel.hide();
  topline.hide();
  sbstop.hide();
  gpt.hide();

  restored_ = {1024, 700, 0, 0, kStatusNormal};
}

TMainForm::~TMainForm() {
  timer_.disconnect();
  ForgetDeferred(this);
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

std::string TMainForm::OrvindelDir() const { return data_dir_ + kOrvindelFolder + "/"; }

void TMainForm::BeginStartupStep(int step) {
  startup_step_ = step;
  StartupStepReached(step);
}

void TMainForm::FormCreate(const std::vector<std::string>& arguments) {
  // One guard over the whole sequence: a failing step ends start-up there,
  // silently, and the window opens in whatever state was reached.
  RunGuarded([&] {
    BeginStartupStep(1);  // The built-in user agent.
    CurrentUserAgent = kDefaultUserAgent;
    BeginStartupStep(2);  // The first tab's browser.
    first_browser_ = std::make_unique<TWebBrowser>(services_.engine->NewBackend());
    tsmain.pack_start(*Glib::wrap(first_browser_->Widget()), Gtk::PACK_EXPAND_WIDGET);
    ProcessPendingEvents();
    WireBrowser(*first_browser_);
    first_browser_->SetUserAgent(CurrentUserAgent);
    BeginStartupStep(3);  // The system's start page, the home page's default.
    const std::string start_page = SystemStartPage();
    BeginStartupStep(4);  // The window's own colours.
    PaintOwnBackgrounds();
    BeginStartupStep(5);  // The first browser shows no engine dialogs.
    first_browser_->SetSilent(true);
    BeginStartupStep(6);  // Where the program and its files are.
    program_dir_ = services_.folders.program_dir;
    data_dir_ = services_.folders.data_dir;
    BeginStartupStep(7);  // The Orvindel and ovTemp folders.
    RunGuarded([&] {
      CreateDataFolders(data_dir_);
      ProcessPendingEvents();
    });
    RemoveStaleTemporaries(OrvindelDir());
    folder_notice_.Check(*services_.dialogs, this, OrvindelDir(), /*now=*/false);
    BeginStartupStep(8);  // List files an older version kept beside the program.
    MigrateListFile(program_dir_, OrvindelDir(), "2rss.ovf");
    MigrateListFile(program_dir_, OrvindelDir(), "2favlist.ovf");
    BeginStartupStep(9);  // The window's size, place and state.
    LoadSettings();
    BeginStartupStep(10);  // The first browser stands in for pages without one.
    fallback_browser_ = first_browser_.get();
    BeginStartupStep(11);  // The colour dialog's state.
    RunGuarded([&] {
      if (auto file = ReadSettingsFile(OrvindelDir() + kColorDialogFile)) {
        ColorDialog = ReadColorDialogState(*file, ColorDialog);
      }
    });
    BeginStartupStep(12);  // The settings, and which bars show.
    Settings = ReadMainConfig(ReadSettingsFile(OrvindelDir() + kMainConfigFile).value_or(IniFile()),
                              services_.screen(), start_page);
    ApplyViewState();
    BeginStartupStep(13);  // The home page.
    GetCurrentWB()->Navigate(Settings.HomePage);
    BeginStartupStep(14);  // The engine's emulation level.
    SetEngineEmulationLevel();
    BeginStartupStep(15);  // The first tab has no title yet.
    fallback_browser_ = first_browser_.get();
    first_browser_->TabTitle.clear();
    BeginStartupStep(16);  // Addresses from the command line; the last one wins.
    for (const auto& argument : arguments) {
      if (argument.empty()) continue;
      e3.set_text(argument);
      GetCurrentWB()->Navigate(e3.get_text());
    }
    BeginStartupStep(17);  // The side panel's first width.
    RedirectPanelFirstWidth = restored_.width / 2;
    BeginStartupStep(18);  // The quick menu's captions, in the language chosen last.
    if (!Settings.Language.empty() && IsSafeLanguageName(Settings.Language)) {
      CurrentLanguageFile = OrvindelDir() + Settings.Language + kLanguageExtension;
    }
    mainjezik();
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
  if (event->changed_mask & GDK_WINDOW_STATE_FULLSCREEN) {
    full_screen_ = state & GDK_WINDOW_STATE_FULLSCREEN;
  }
  if (state & GDK_WINDOW_STATE_ICONIFIED) {
    status_ = kStatusMinimized;
  } else if (state & (GDK_WINDOW_STATE_MAXIMIZED | GDK_WINDOW_STATE_FULLSCREEN)) {
    status_ = kStatusMaximized;
  } else {
    status_ = kStatusNormal;
  }
  return Gtk::Window::on_window_state_event(event);
}

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
    if (app_.fhint().get_visible()) app_.fhint().TakePosition();
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
