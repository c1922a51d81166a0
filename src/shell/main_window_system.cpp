// Preferences and the program's place in the system: the Options and About
// windows, and the engine's cache.
#include "shell/main_window.h"

#include "app/app.h"
#include "prefs/about_window.h"
#include "prefs/options_window.h"

namespace orv {

void TMainForm::Options1Click() { app_.fOptions().Execute(); }

void TMainForm::AboutOrvindel1Click() { app_.fabout().Execute(); }

void TMainForm::deleterefreshClick() {
  Settings.ClearCacheOnRefresh = !Settings.ClearCacheOnRefresh;
  poptoolPopup();
}

}  // namespace orv
