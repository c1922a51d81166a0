// Preferences and the program's place in the system: the Options and About
// windows, the engine's cache, and the page designer.
#include "shell/main_window.h"

#include "app/app.h"
#include "designer/designer_window.h"
#include "prefs/about_window.h"
#include "prefs/options_window.h"
#include "ui/services.h"

namespace orv {

void TMainForm::Options1Click() { app_.fOptions().Execute(); }

void TMainForm::AboutOrvindel1Click() { app_.fabout().Execute(); }

void TMainForm::WYSIWYGDesignerdevelopmentversion1Click() { app_.fdesigner().Open(e3.get_text()); }

void TMainForm::xdesignerClick() {
  x108Click();
  WYSIWYGDesignerdevelopmentversion1Click();
}

void TMainForm::ClearTemporaryInternetFiles() { services_.engine->ClearCache(); }

void TMainForm::DeleteTemporaryInternetFiles2Click() { ClearTemporaryInternetFiles(); }

void TMainForm::SetEngineEmulationLevel() {
  // WebKit has no document-mode emulation levels: there is nothing to set.
}

void TMainForm::deleterefreshClick() {
  Settings.ClearCacheOnRefresh = !Settings.ClearCacheOnRefresh;
  poptoolPopup();
}

}  // namespace orv
