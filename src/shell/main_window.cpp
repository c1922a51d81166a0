#include "shell/main_window.h"

#include <filesystem>

#include "app/app.h"
#include "app/services.h"
#include "platform/error_report.h"
#include "platform/files.h"
#include "platform/main_loop.h"
#include "prefs/options_window.h"
#include "shell/data_folders.h"
#include "shell/page_captions.h"

namespace orv {

namespace {

constexpr char kCss[] = R"(
#topstrip { background-color: rgb(149,185,253); min-height: 3px; }
#jsand { background-color: rgb(248,248,241); min-height: 30px; }
#e3panel { background-color: rgb(222,234,254); padding: 2px 7px 2px 22px; }
#topline { background-color: rgb(248,248,241); min-height: 5px; }
)";

// Far above any real settings file.
constexpr size_t kMaxSettingsFile = IniFile::kMaxBytes;

}  // namespace

TMainForm::TMainForm(App& app, Services& services)
    : tsmainCaption("     "),
      root(Gtk::ORIENTATION_VERTICAL),
      tsmain(Gtk::ORIENTATION_VERTICAL),
      jsand(Gtk::ORIENTATION_HORIZONTAL),
      e3panel(Gtk::ORIENTATION_HORIZONTAL),
      topline(Gtk::ORIENTATION_HORIZONTAL),
      app_(app),
      services_(services) {
  set_name("TMainForm");
  set_title("Orvindel");
  set_default_size(1024, 700);

  topstrip.set_name("topstrip");
  jsand.set_name("jsand");
  e3panel.set_name("e3panel");
  topline.set_name("topline");
  e3.set_name("e3");
  nbook.set_name("nbook");
  tsmain.set_name("tsmain");

  e3panel.pack_start(e3, Gtk::PACK_EXPAND_WIDGET);
  jsand.pack_start(e3panel, Gtk::PACK_EXPAND_WIDGET);
  tsmain.pack_start(jsand, Gtk::PACK_SHRINK);
  tsmain.pack_start(topline, Gtk::PACK_SHRINK);
  nbook.append_page(tsmain, tsmainCaption);
  root.pack_start(topstrip, Gtk::PACK_SHRINK);
  root.pack_start(nbook, Gtk::PACK_EXPAND_WIDGET);
  add(root);
  root.show_all();
  topline.hide();

  e3.signal_activate().connect(sigc::mem_fun(*this, &TMainForm::e3Activate));

  restored_ = {1024, 700, 0, 0, kStatusNormal};
}

TMainForm::~TMainForm() = default;

std::string TMainForm::OrvindelDir() const { return data_dir_ + kOrvindelFolder + "/"; }

void TMainForm::FormCreate(const std::vector<std::string>& arguments) {
  // One guard over the whole sequence: a failing step ends start-up there,
  // silently, and the window opens in whatever state was reached.
  RunGuarded([&] {
    // 1.
    CurrentUserAgent = kDefaultUserAgent;
    // 2. The first tab's browser.
    first_browser_ = std::make_unique<TWebBrowser>(services_.engine());
    gtk_box_pack_start(GTK_BOX(tsmain.gobj()), first_browser_->Widget(), TRUE, TRUE, 0);
    ProcessPendingEvents();
    WireBrowser(*first_browser_);
    first_browser_->SetUserAgent(CurrentUserAgent);
    // 3.
    const std::string start_page = SystemStartPage();
    // 4.
    PaintOwnBackgrounds();
    // 5.
    first_browser_->SetSilent(true);
    // 6.
    program_dir_ = services_.folders.program_dir;
    data_dir_ = services_.folders.data_dir;
    // 7.
    RunGuarded([&] {
      CreateDataFolders(data_dir_);
      ProcessPendingEvents();
    });
    // 8.
    MigrateListFile(program_dir_, OrvindelDir(), "2rss.ovf");
    MigrateListFile(program_dir_, OrvindelDir(), "2favlist.ovf");
    // 9.
    LoadSettings();
    // 10.
    fallback_browser_ = first_browser_.get();
    // 11.
    RunGuarded([&] {
      if (auto bytes = ReadFileBytes(OrvindelDir() + kColorDialogFile, kMaxSettingsFile)) {
        ColorDialog = ParseColorDialogState(*bytes, ColorDialog);
      }
    });
    // 12.
    const std::string config_path = OrvindelDir() + kMainConfigFile;
    const auto config_bytes = ReadFileBytes(config_path, kMaxSettingsFile);
    config_unreadable_ = !config_bytes && FileExists(config_path);
    Settings = ReadMainConfig(IniFile::Parse(config_bytes.value_or("")), services_.screen(),
                              start_page);
    ApplyViewState();
    // 13.
    GetCurrentWB()->Navigate(Settings.HomePage);
    // 14.
    SetEngineEmulationLevel();
    // 15.
    fallback_browser_ = first_browser_.get();
    first_browser_->TabTitle.clear();
    // 16.
    for (const auto& argument : arguments) {
      if (argument.empty()) continue;
      e3.set_text(argument);
      GetCurrentWB()->Navigate(e3.get_text());
    }
    // 17.
    RedirectPanelFirstWidth = restored_.width / 2;
    // 18.
    ApplyLanguageCaptions();
    ProcessPendingEvents();
    StartupFinished = true;
  });
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
}

void TMainForm::SetEngineEmulationLevel() {
  // WebKit has no document-mode emulation levels: there is nothing to set.
}

void TMainForm::ApplyLanguageCaptions() {
  // The quick menu's captions come from the current language file once the
  // quick menu and language packs exist.
}

void TMainForm::CloseRedirectPanel() {
  // Redirect mode and its side panel come with the pop-up blocker.
  RedirectMode = false;
}

TWebBrowser* TMainForm::GetCurrentWB() {
  // Every tab page holds its browser; the first tab also holds the toolbar
  // panels, so the fallback answers for it.
  return fallback_browser_;
}

bool TMainForm::IsCurrent(const TWebBrowser& browser) { return GetCurrentWB() == &browser; }

void TMainForm::sbrefreshClick() {
  TWebBrowser* wb = GetCurrentWB();
  if (!wb) return;
  wb->Navigate(e3.get_text());
  wb->SetUserAgent(CurrentUserAgent);
  gtk_widget_grab_focus(wb->Widget());
}

void TMainForm::e3Activate() {
  TWebBrowser* wb = GetCurrentWB();
  if (!wb) return;
  gtk_widget_grab_focus(wb->Widget());
  wb->Navigate(e3.get_text());
}

// --- Page events -----------------------------------------------------------

void TMainForm::wbBeforeNavigate(TWebBrowser&, const std::string&, bool&) {}

void TMainForm::wbNewWindow2(TWebBrowser&, const std::string&, TWebBrowser*& window,
                             bool& cancel) {
  // Until the pop-up blocker can ask, no page opens a window by itself.
  window = nullptr;
  cancel = true;
}

void TMainForm::wbDownloadBegin(TWebBrowser& sender) {
  ProcessPendingEvents();
  // A background tab that starts loading must not take over the address bar.
  if (IsCurrent(sender)) e3.set_text(sender.LocationURL());
}

void TMainForm::wbDownloadComplete(TWebBrowser&) {
  StartupFinished = true;
  ProcessPendingEvents();
  if (TWebBrowser* wb = GetCurrentWB()) {
    e3.set_text(wb->LocationURL());
    RunGuarded([&] { gtk_widget_grab_focus(wb->Widget()); });
  }
}

void TMainForm::wbDocumentComplete(TWebBrowser&) {}

void TMainForm::wbProgressChange(TWebBrowser& sender, int progress, int maximum) {
  if (!IsCurrent(sender)) return;
  e3.set_progress_fraction(maximum > 0 && progress > 0 ? double(progress) / maximum : 0.0);
}

void TMainForm::wbTitleChange(TWebBrowser& sender, const std::string& title) {
  RunGuarded([&] {
    const std::string caption = TabCaptionForTitle(title);
    sender.TabTitle = caption;
    if (!IsCurrent(sender)) return;
    CurrentPageTitle = title;
    e3.set_text(sender.LocationURL());
    tsmainCaption.set_text(caption);
  });
}

void TMainForm::wbStatusTextChange(TWebBrowser&, const std::string& text) {
  if (!GetCurrentWB()) return;
  // Silver View is the view at every start.
  set_title(MainCaptionForStatus(text));
}

// --- Geometry ----------------------------------------------------------------

void TMainForm::LoadSettings() {
  const std::string path = OrvindelDir() + kGeometryFile;
  const auto bytes = ReadFileBytes(path, kMaxSettingsFile);
  if (!bytes) {
    maximize();
    status_ = kStatusMaximized;
    return;
  }
  WindowGeometry current = restored_;
  get_position(current.left, current.top);
  const WindowGeometry g = ReadWindowGeometry(IniFile::Parse(*bytes), current);
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
  RunGuarded([&] {
    WriteFileAtomic(OrvindelDir() + kColorDialogFile, SerializeColorDialogState(ColorDialog));
  });
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
  const std::string path = OrvindelDir() + kMainConfigFile;
  const auto bytes = ReadFileBytes(path, kMaxSettingsFile);
  if (config_unreadable_ && !bytes) {
    std::error_code ec;
    std::filesystem::rename(path, path + ".bak", ec);
  }
  // Keys the program does not own stay as they were in the file.
  IniFile file = IniFile::Parse(bytes.value_or(""));
  WriteMainConfig(file, Settings);
  WriteFileAtomic(path, file.Serialize());
}

void TMainForm::FormCloseQuery(bool& CanClose) {
  CanClose = false;
  ProcessPendingEvents();
  if (StartupFinished) CanClose = true;
  if (!CanClose) return;
  RunGuarded([&] {
    if (RedirectMode) CloseRedirectPanel();
    WriteMainConfigFile();
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
  StartupFinished = true;
  ProcessPendingEvents();
  RequestClose();
}

}  // namespace orv
