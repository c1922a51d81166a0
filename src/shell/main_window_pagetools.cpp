// Tools that act on the current page: find, Quick Web Search, translation,
// the social bar's links, print, save, source, the clipboard, and mail.
#include "shell/main_window.h"

#include "app/app.h"
#include "common/text.h"
#include "engine/document_commands.h"
#include "pagetools/page_commands.h"
#include "pagetools/quick_search_window.h"
#include "pagetools/search_engines.h"
#include "pagetools/search_hint_window.h"
#include "pagetools/social_links.h"
#include "platform/error_report.h"
#include "platform/main_loop.h"
#include "ui/services.h"

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

namespace {

// The open dialog's rows, in this order.
const std::vector<FileFilter>& OpenFileFilters() {
  static const std::vector<FileFilter> filters = {
      {"HTML File (*.htm, *.html)", {"*.htm", "*.html"}},
      {"Web Archive (*.mht)", {"*.mht"}},
      // Every file: many names here have no dot at all.
      {"All Files ", {"*"}},
  };
  return filters;
}

// Save As: the complete page as one web archive, or the HTML alone.
const std::vector<FileFilter>& SaveAsFilters() {
  static const std::vector<FileFilter> filters = {
      {"Web Archive, single file (*.mht)", {"*.mht"}},
      {"Web Page, HTML only (*.htm, *.html)", {"*.htm", "*.html"}},
  };
  return filters;
}

// The format of the chosen filter; without one, the name's extension says.
SaveFormat FormatOf(const FileChoice& choice) {
  if (choice.filter == 0) return SaveFormat::kWebArchive;
  if (choice.filter == 1) return SaveFormat::kHtmlOnly;
  const std::string name = AsciiLower(Glib::path_get_basename(choice.path));
  const bool html = name.ends_with(".htm") || name.ends_with(".html");
  return html ? SaveFormat::kHtmlOnly : SaveFormat::kWebArchive;
}

}  // namespace

void TMainForm::SpeedButton20Click() {
  TWebBrowser* wb = GetCurrentWB();
  if (!wb || !wb->HoldsHtmlDocument()) return;
  PrintJob job;
  job.parent = gobj();
  wb->Print(job, [this](PrintOutcome outcome, const std::string&) {
    if (outcome == PrintOutcome::kPrinted) return;
    const char* text =
        outcome == PrintOutcome::kCancelled ? "Canceled by User" : "Error While Printing";
    services_.dialogs->MessageBox(this, text, kApplicationTitle, MsgButtons::kOk, MsgIcon::kNone,
                                  MsgResult::kOk);
  });
}

void TMainForm::SpeedButton21Click() {
  TWebBrowser* wb = GetCurrentWB();
  if (!wb || !services_.engine) return;
  RunGuarded([&] {
    if (wb->HoldsHtmlDocument()) wb->PrintPreview(*services_.engine);
  });
}

void TMainForm::SaveAs1Click() {
  TWebBrowser* wb = GetCurrentWB();
  if (!wb || !wb->CanSave()) return;
  const FileChoice choice = services_.dialogs->SaveFile(
      this, "Save As", SuggestedSaveName(wb->LocationURL(), ".mht"), SaveAsFilters());
  if (choice.path.empty()) return;
  // The chooser has asked before replacing a file; the name is used as
  // chosen, since another name would be a file nobody was asked about.
  // A failure reaches the application-wide report.
  wb->SaveAs(choice.path, FormatOf(choice));
}

void TMainForm::OpenFile1Click() {
  const FileChoice choice = services_.dialogs->OpenFile(this, "Open", OpenFileFilters());
  if (choice.path.empty()) return;
  OpenTab(choice.path, Glib::path_get_basename(choice.path));
}

void TMainForm::Viewsource1Click() {
  RunDocumentCommand(GetCurrentWB(), CommandGroup::kWebBrowser, kCmdViewSource);
}

GtkEditable* TMainForm::FocusedTextField() {
  Gtk::Widget* focus = get_focus();
  return focus && GTK_IS_EDITABLE(focus->gobj()) ? GTK_EDITABLE(focus->gobj()) : nullptr;
}

bool TMainForm::FocusIsTextField() {
  Gtk::Widget* focus = get_focus();
  return focus && (GTK_IS_EDITABLE(focus->gobj()) || GTK_IS_TEXT_VIEW(focus->gobj()) ||
                   dynamic_cast<TGaugeEdit*>(focus));
}

void TMainForm::Cut2Click() {
  if (e3.is_focus()) return e3.CutClipboard();
  if (GtkEditable* field = FocusedTextField()) return gtk_editable_cut_clipboard(field);
  RunDocumentCommand(GetCurrentWB(), CommandGroup::kNone, kCmdCut);
}

void TMainForm::Copy2Click() {
  if (e3.is_focus()) return e3.CopyClipboard();
  if (GtkEditable* field = FocusedTextField()) return gtk_editable_copy_clipboard(field);
  RunDocumentCommand(GetCurrentWB(), CommandGroup::kNone, kCmdCopy);
}

void TMainForm::Paste2Click() {
  if (e3.is_focus()) return e3.PasteClipboard();
  if (GtkEditable* field = FocusedTextField()) return gtk_editable_paste_clipboard(field);
  RunDocumentCommand(GetCurrentWB(), CommandGroup::kNone, kCmdPaste);
}

void TMainForm::Sellectall2Click() {
  if (e3.is_focus()) return e3.SelectAll();
  if (GtkEditable* field = FocusedTextField()) return gtk_editable_select_region(field, 0, -1);
  RunDocumentCommand(GetCurrentWB(), CommandGroup::kNone, kCmdSelectAll);
}

void TMainForm::Maillinktothispage1Click() {
  const std::string address = e3.get_text();
  SendMailRequest({{"subject", address}, {"body", address}});
}

void TMainForm::SendMailRequest(const MailRequest& request) {
  if (!services_.mail) return;
  // The mail program is a process of its own and xdg-email answers later;
  // the answer is dropped if this window is gone by then.
  sigc::slot<void(MailStatus)> answer = sigc::track_obj(
      [this](MailStatus status) {
        if (status != MailStatus::kNoMailProgram) return;
        services_.dialogs->MessageBox(this, "Error while trying to send email", "Error",
                                      MsgButtons::kOk, MsgIcon::kError, MsgResult::kOk);
      },
      *this);
  services_.mail->Compose(XdgEmailArguments(request),
                          [answer](MailStatus status) { answer(status); });
}

void TMainForm::ReadMail1Click() {
  if (services_.mail) services_.mail->OpenMailClient();
}

}  // namespace orv
