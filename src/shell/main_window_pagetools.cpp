// Tools that act on the current page: find, Quick Web Search, translation,
// and the social bar's links.
#include "shell/main_window.h"

#include "app/app.h"
#include "engine/document_commands.h"
#include "pagetools/quick_search_window.h"
#include "pagetools/search_engines.h"
#include "pagetools/search_hint_window.h"
#include "pagetools/social_links.h"
#include "platform/error_report.h"
#include "platform/main_loop.h"

namespace orv {

int TMainForm::SearchEngineInUse() const {
  // With no engine chosen (a damaged "SEARCH"), a text is still searched,
  // with the first engine, instead of going nowhere.
  return Settings.SearchEngine >= 1 && Settings.SearchEngine <= kEngineCount ? Settings.SearchEngine
                                                                              : 1;
}

void TMainForm::sb16Click() {
  QuickSearchText.clear();
  std::string text;
  if (TWebBrowser* wb = GetCurrentWB(); wb && wb->HasDocument()) {
    // A page whose selection cannot be read searches nothing, like one
    // with nothing selected.
    RunGuarded([&] { text = wb->SelectionText(); });
  }
  const std::string address = BuildSearchAddress(SearchEngineInUse(), text);
  if (text.empty()) {
    app_.finfo1().ShowHint();
    return;
  }
  if (Settings.SearchResultsInTab) {
    OpenTab(" ", "Blank Page");
    if (TWebBrowser* wb = GetCurrentWB()) {
      wb->Navigate(address);
      wb->GrabFocus();
    }
    return;
  }
  QuickSearchText = text;
  app_.fgoogle().ShowResults(address);
}

void TMainForm::xquickClick() {
  x108Click();
  sb16Click();
}

void TMainForm::xtranslateClick() {
  x108Click();
  const std::string address = BuildTranslateAddress(std::string(e3.get_text()));
  OpenTab(" ", "Blank Page");
  if (TWebBrowser* wb = GetCurrentWB()) {
    wb->Navigate(address);
    wb->GrabFocus();
  }
}

void TMainForm::ChooseEngine(int engine) {
  Settings.SearchEngine = engine;
  app_.fgoogle().SelectEngine(engine);
}

void TMainForm::gt1Click() { ChooseEngine(1); }

void TMainForm::gt2Click() { ChooseEngine(2); }

void TMainForm::gt3Click() { ChooseEngine(3); }

void TMainForm::gt4Click() { ChooseEngine(4); }

void TMainForm::snbClick() {
  socialbar.set_visible(!socialbar.get_visible());
}

void TMainForm::xzapriClick() { socialbar.hide(); }

void TMainForm::OpenSocialLink(int button) {
  const std::string address = SocialLinkAddress(button);
  // Redirect mode stays as it is: in it, the page goes to the side panel.
  OpenTab(" ", "Blank Page");
  e3.set_text(address);
  ProcessPendingEvents();
  e3.set_text(address);
  sbrefreshClick();
}

void TMainForm::s1Click() { OpenSocialLink(1); }

void TMainForm::s2Click() { OpenSocialLink(2); }

void TMainForm::s3Click() { OpenSocialLink(3); }

void TMainForm::s4Click() { OpenSocialLink(4); }

void TMainForm::s5Click() { OpenSocialLink(5); }

void TMainForm::Find1Click() {
  RunDocumentCommand(GetCurrentWB(), CommandGroup::kWebBrowser, kCmdFind);
}

void TMainForm::xisciClick() { Find1Click(); }

}  // namespace orv
