#include "app/app.h"

#include <gtkmm.h>

#include "designer/designer_window.h"
#include "favorites/add_favorite_dialog.h"
#include "favorites/edit_favorite_dialog.h"
#include "favorites/favorites_window.h"
#include "feeds/add_rss_dialog.h"
#include "feeds/manage_feeds_window.h"
#include "feeds/rss_window.h"
#include "pagetools/quick_search_window.h"
#include "pagetools/search_hint_window.h"
#include "platform/deferred.h"
#include "platform/error_report.h"
#include "platform/main_loop.h"
#include "prefs/about_window.h"
#include "prefs/add_string_dialog.h"
#include "prefs/download_languages_window.h"
#include "prefs/home_page_dialog.h"
#include "prefs/language_dialog.h"
#include "prefs/options_window.h"
#include "shell/floating_bar_window.h"
#include "shell/icon_loader_window.h"
#include "shell/main_window.h"
#include "shell/redirect_notice_window.h"
#include "shell/transparent_dialog.h"

namespace orv {

App::App(Services& services, std::vector<std::string> arguments)
    : services_(services), arguments_(std::move(arguments)) {}

App::~App() {
  ForgetDeferred(this);
  // Secondary windows go first, in reverse order; the main window last.
  fhomepage_.reset();
  fdl_.reset();
  fjezik_.reset();
  faddstring_.reset();
  fred_.reset();
  foptions_.reset();
  fhint_.reset();
  feditfavorites_.reset();
  fdesigner_.reset();
  fslike_.reset();
  finfo1_.reset();
  fgoogle_.reset();
  fslide_.reset();
  fmanage_.reset();
  frss_.reset();
  ftransparent_.reset();
  fabout_.reset();
  faddfav_.reset();
  ffavorit_.reset();
  main_form_.reset();
  // What the windows left to be destroyed later goes now: nothing of theirs
  // is on the stack any more.
  FlushDeferred();
}

template <typename W>
std::unique_ptr<W> App::Create() {
  auto window = std::make_unique<W>(*this, services_);
  windows_.push_back(window.get());
  return window;
}

void App::Start() {
  // Start-up is on the stack until every window exists: what is deferred
  // meanwhile (a close asked for by a signal, a notice) waits for it.
  HandlerScope starting;
  main_form_ = std::make_unique<TMainForm>(*this, services_);
  windows_.push_back(main_form_.get());
  main_form_->FormCreate(arguments_);

  ffavorit_ = Create<Tffavorit>();
  faddfav_ = Create<Tfaddfav>();
  fabout_ = Create<Tfabout>();
  ftransparent_ = Create<Tftransparent>();
  frss_ = Create<Tfrss>();
  fmanage_ = Create<Tfmanage>();
  fslide_ = Create<Tfslide>();
  fgoogle_ = Create<Tfgoogle>();
  finfo1_ = Create<Tfinfo1>();
  fslike_ = Create<Tfslike>();
  fdesigner_ = Create<Tfdesigner>();
  feditfavorites_ = Create<Tfeditfavorites>();
  fhint_ = Create<Tfhint>();
  foptions_ = Create<Tfoptions>();
  fred_ = Create<Tfred>();
  faddstring_ = Create<Tfaddstring>();
  fjezik_ = Create<Tfjezik>();
  fdl_ = Create<Tfdl>();
  fhomepage_ = Create<Tfhomepage>();

  main_form_->show();
  started_ = true;
  if (exit_pending_) {
    exit_pending_ = false;
    RunWhenUnwound(this, [this] { RunReported([&] { main_form_->Exit2Click(); }); });
  }
}

void App::RequestExit() {
  // The session wants the program gone: no question or wait may hold it.
  SetTerminating(true);
  if (!started_) {
    exit_pending_ = true;
    return;
  }
  main_form_->Exit2Click();
}

void App::MainFormClosed() {
  if (closed_) return;
  closed_ = true;
  main_form_->FormDestroy();
  SetTerminating(true);
  for (Gtk::Window* w : windows_) w->hide();
  if (OnQuit) OnQuit();
}

void InstallErrorReport(Dialogs& dialogs, std::function<Gtk::Window*()> parent) {
  SetErrorReporter([&dialogs, parent](const std::string& text) {
    dialogs.MessageBox(parent ? parent() : nullptr, text, kApplicationTitle,
                       MsgButtons::kOk, MsgIcon::kError, MsgResult::kOk);
  });
  static bool glib_handler_installed = false;
  if (glib_handler_installed) return;
  glib_handler_installed = true;
  Glib::add_exception_handler([] {
    std::string text;
    try {
      throw;
    } catch (const Glib::Exception& e) {
      text = e.what();
    } catch (...) {
      text = CurrentExceptionText();
    }
    ReportErrorText(text);
  });
}

}  // namespace orv
