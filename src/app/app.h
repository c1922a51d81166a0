// App owns the main window and every secondary window. It creates them once,
// in the fixed start-up order, and destroys them at exit.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/services.h"

namespace Gtk {
class Window;
}

namespace orv {

class TMainForm;
class Tffavorit;
class Tfaddfav;
class Tfabout;
class Tftransparent;
class Tfrss;
class Tfmanage;
class Tfslide;
class Tfgoogle;
class Tfinfo1;
class Tfslike;
class Tfdesigner;
class Tfeditfavorites;
class Tfhint;
class Tfoptions;
class Tfred;
class Tfaddstring;
class Tfjezik;
class Tfdl;
class Tfhomepage;

class App {
 public:
  App(Services& services, std::vector<std::string> arguments);
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // Creates the main window (its creation runs start-up), then the other
  // windows, hidden, and shows the main window.
  void Start();

  // True once Start has made every window.
  bool Started() const { return started_; }

  // What a termination signal does: the main window's Exit. Asked for while
  // start-up is still running, it is remembered and carried out on the
  // first turn of the main loop after start-up, when every window exists
  // and everything has been read that the close writes back.
  void RequestExit();

  // Called by the main window once its close was allowed: saves what the
  // destruction saves, hides every window and tells the process to end.
  void MainFormClosed();
  std::function<void()> OnQuit;

  // Every window, in creation order.
  const std::vector<Gtk::Window*>& Windows() const { return windows_; }

  TMainForm& MainForm() { return *main_form_; }
  Tffavorit& ffavorit() { return *ffavorit_; }
  Tfaddfav& faddfav() { return *faddfav_; }
  Tfabout& fabout() { return *fabout_; }
  Tftransparent& ftransparent() { return *ftransparent_; }
  Tfrss& frss() { return *frss_; }
  Tfmanage& fmanage() { return *fmanage_; }
  Tfslide& fslide() { return *fslide_; }
  Tfgoogle& fgoogle() { return *fgoogle_; }
  Tfinfo1& finfo1() { return *finfo1_; }
  Tfslike& fslike() { return *fslike_; }
  Tfdesigner& fdesigner() { return *fdesigner_; }
  Tfeditfavorites& feditfavorites() { return *feditfavorites_; }
  Tfhint& fhint() { return *fhint_; }
  // Null until start-up has made it: page events arrive before.
  Tfhint* fhintIfMade() { return fhint_.get(); }
  Tfoptions& fOptions() { return *foptions_; }
  Tfred& fred() { return *fred_; }
  Tfaddstring& faddstring() { return *faddstring_; }
  Tfjezik& fjezik() { return *fjezik_; }
  Tfdl& fdl() { return *fdl_; }
  Tfhomepage& fhomepage() { return *fhomepage_; }

  Services& services() { return services_; }

 private:
  template <typename W>
  std::unique_ptr<W> Create();

  Services& services_;
  std::vector<std::string> arguments_;
  std::vector<Gtk::Window*> windows_;
  bool closed_ = false;
  bool started_ = false;
  bool exit_pending_ = false;

  std::unique_ptr<TMainForm> main_form_;
  std::unique_ptr<Tffavorit> ffavorit_;
  std::unique_ptr<Tfaddfav> faddfav_;
  std::unique_ptr<Tfabout> fabout_;
  std::unique_ptr<Tftransparent> ftransparent_;
  std::unique_ptr<Tfrss> frss_;
  std::unique_ptr<Tfmanage> fmanage_;
  std::unique_ptr<Tfslide> fslide_;
  std::unique_ptr<Tfgoogle> fgoogle_;
  std::unique_ptr<Tfinfo1> finfo1_;
  std::unique_ptr<Tfslike> fslike_;
  std::unique_ptr<Tfdesigner> fdesigner_;
  std::unique_ptr<Tfeditfavorites> feditfavorites_;
  std::unique_ptr<Tfhint> fhint_;
  std::unique_ptr<Tfoptions> foptions_;
  std::unique_ptr<Tfred> fred_;
  std::unique_ptr<Tfaddstring> faddstring_;
  std::unique_ptr<Tfjezik> fjezik_;
  std::unique_ptr<Tfdl> fdl_;
  std::unique_ptr<Tfhomepage> fhomepage_;
};

// Shows whatever escapes a handler in a modal message box and goes on.
// Installs itself for gtkmm's signal handlers and for raw engine callbacks.
void InstallErrorReport(Dialogs& dialogs, std::function<Gtk::Window*()> parent);

}  // namespace orv
