#include "engine/web_browser.h"

#include <glib/gstdio.h>
#include <unistd.h>

#include <cerrno>

#include "common/navigate_address.h"
#include "common/text.h"
#include "engine/engine_service.h"
#include "engine/find_dialog.h"
#include "engine/print_preview.h"
#include "engine/source_window.h"
#include "platform/deferred.h"
#include "platform/error_report.h"
#include "platform/files.h"
#include "platform/main_loop.h"

namespace orv {

namespace {
void PackView(GtkWidget* container, GtkWidget* view) {
  gtk_widget_set_hexpand(view, TRUE);
  gtk_widget_set_vexpand(view, TRUE);
  gtk_box_pack_start(GTK_BOX(container), view, TRUE, TRUE, 0);
  gtk_widget_show_all(container);
}
}  // namespace

TWebBrowser::TWebBrowser(std::unique_ptr<BrowserBackend> backend)
    : backend_(std::move(backend)), self_(std::make_shared<TWebBrowser*>(this)) {
  // A box of our own around the engine's widget: the owner places this one,
  // and the engine may replace its view inside without the owner noticing.
  container_ = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  g_object_ref_sink(container_);
  PackView(container_, backend_->Widget());
  backend_->SetEvents(this);
}

TWebBrowser::~TWebBrowser() {
  *self_ = nullptr;
  find_dialog_.reset();
  source_window_.reset();
  preview_.reset();
  backend_->SetEvents(nullptr);
  if (GtkWidget* parent = gtk_widget_get_parent(container_)) {
    gtk_container_remove(GTK_CONTAINER(parent), container_);
  }
  backend_.reset();
  gtk_widget_destroy(container_);
  g_object_unref(container_);
}

void TWebBrowser::Navigate(const std::string& address) {
  const std::string uri = NormalizeNavigateAddress(address, FileExists);
  if (uri.empty()) return;
  pending_since_ = g_get_monotonic_time();
  backend_->LoadUri(uri);
}

void TWebBrowser::GoBack() {
  if (!backend_->CanGoBack()) throw EngineError("Unspecified error");
  backend_->GoBack();
}

void TWebBrowser::GoForward() {
  if (!backend_->CanGoForward()) throw EngineError("Unspecified error");
  backend_->GoForward();
}

void TWebBrowser::Stop() {
  pending_since_ = 0;
  backend_->Stop();
}

bool TWebBrowser::NavigationPending() const {
  return pending_since_ != 0 && g_get_monotonic_time() - pending_since_ < kPendingLimitUs;
}
void TWebBrowser::Refresh() { backend_->Reload(); }
std::string TWebBrowser::LocationURL() const { return backend_->Uri(); }

int TWebBrowser::ReadyState() const {
  if (!backend_->IsLoading() && !NavigationPending()) return kReadyStateComplete;
  return backend_->HasDocument() ? kReadyStateInteractive : kReadyStateLoading;
}

bool TWebBrowser::HasDocument() const { return backend_->HasDocument(); }

void TWebBrowser::WaitUntilComplete() const {
  WaitUntil([this] { return ReadyState() == kReadyStateComplete; });
}

std::string TWebBrowser::AwaitDocument(const std::function<void(DocumentCallback)>& start,
                                       const std::string& refusal) {
  struct Result {
    bool done = false;
    bool ok = false;
    std::string value;
  };
  auto result = std::make_shared<Result>();
  start([result](bool ok, const std::string& value) {
    result->done = true;
    result->ok = ok;
    result->value = value;
  });
  WaitUntil([&] { return result->done; }, kDocumentTimeoutMs);
  if (!result->done || !result->ok) throw EngineError(refusal);
  return result->value;
}

std::string TWebBrowser::RunDocumentOp(DocumentOp op, const std::string& argument) {
  if (!backend_->HasDocument()) throw EngineError("The page has no document");
  return AwaitDocument(
      [&](DocumentCallback done) { backend_->RunDocumentOp(op, argument, std::move(done)); },
      "The page has no document");
}

std::string TWebBrowser::BodyHtml() { return RunDocumentOp(DocumentOp::kGetBodyHtml, {}); }
void TWebBrowser::SetBodyHtml(const std::string& html) {
  RunDocumentOp(DocumentOp::kSetBodyHtml, html);
}
std::string TWebBrowser::SelectionText() {
  return RunDocumentOp(DocumentOp::kGetSelectionText, {});
}
std::string TWebBrowser::LocationProtocol() {
  return RunDocumentOp(DocumentOp::kGetLocationProtocol, {});
}

void TWebBrowser::ExecuteEditingCommand(const std::string& command) {
  if (!backend_->HasDocument()) return;
  backend_->ExecuteEditingCommand(command);
}

void TWebBrowser::SetDesignMode(bool on) {
  RunDocumentOp(DocumentOp::kSetDesignMode, on ? "on" : "off");
}

std::string TWebBrowser::EditedDocument() {
  return RunDocumentOp(DocumentOp::kGetEditedDocument, {});
}

void TWebBrowser::ExecCommand(const std::string& name, bool show_ui, const EditValue& value,
                              EditCommandHost& host) {
  if (!backend_->HasDocument()) return;
  EditPlan plan = PlanEditCommand(name, show_ui, value);
  switch (plan.action) {
    case EditAction::kSaveAs: {
      const std::string path = host.AskSavePath(LocationURL());
      if (!path.empty()) WriteFileAtomic(path, EditedDocument());
      return;
    }
    case EditAction::kPrint: {
      PrintJob job;
      job.parent = host.DialogParent();
      EditCommandHost* asked = &host;
      Print(job, [asked](PrintOutcome outcome, const std::string& error) {
        if (outcome == PrintOutcome::kFailed) asked->PrintFailed(error);
      });
      return;
    }
    case EditAction::kReload:
      Refresh();
      return;
    case EditAction::kClipboard:
      backend_->ExecuteEditingCommand(plan.name);
      return;
    case EditAction::kInsertElement:
    case EditAction::kDocumentCommand:
      break;
  }
  if (plan.asks_address) {
    const std::optional<std::string> address = host.AskAddress(name);
    if (!address || TrimBlanks(*address).empty()) return;
    plan.value = TrimBlanks(*address);
  }
  AwaitDocument(
      [&](DocumentCallback done) {
        if (plan.action == EditAction::kInsertElement) {
          backend_->InsertElement(plan.value, std::move(done));
        } else {
          backend_->RunEditCommand(plan.name, plan.value, std::move(done));
        }
      },
      "The page refused the command " + name);
}

FindDialog& TWebBrowser::ShowFindDialog() {
  if (!find_dialog_) find_dialog_ = std::make_unique<FindDialog>(*this);
  find_dialog_->Show();
  return *find_dialog_;
}

bool TWebBrowser::HoldsHtmlDocument() {
  if (!backend_->HasDocument()) return false;
  std::string answer;
  // A page that cannot answer holds no document we could print.
  try {
    answer = RunDocumentOp(DocumentOp::kIsHtmlDocument, {});
  } catch (const EngineError&) {
    return false;
  }
  return answer == "1";
}

bool TWebBrowser::CanSave() const { return backend_->HasDocument() && backend_->HasMainResource(); }

std::string TWebBrowser::MainResourceBytes() {
  if (!CanSave()) throw EngineError("The page has nothing to save");
  struct Result {
    bool done = false;
    bool ok = false;
    std::string data;
  };
  auto result = std::make_shared<Result>();
  backend_->MainResourceData([result](bool ok, const std::string& data) {
    result->done = true;
    result->ok = ok;
    result->data = data;
  });
  WaitUntil([&] { return result->done; }, kDocumentTimeoutMs);
  if (!result->done || !result->ok) throw EngineError("The page has nothing to save");
  return result->data;
}

std::string TWebBrowser::SourceText() { return DecodeFileText(MainResourceBytes()); }

void TWebBrowser::SaveAs(const std::string& path, SaveFormat format) {
  if (format == SaveFormat::kHtmlOnly) {
    WriteFileAtomic(path, MainResourceBytes());
    return;
  }
  if (!CanSave()) throw EngineError("The page has nothing to save");
  // The engine writes the archive into a new file beside the target, which
  // replaces the target only once it is complete.
  gchar* folder = g_path_get_dirname(path.c_str());
  gchar* base = g_path_get_basename(path.c_str());
  std::string temp = std::string(folder) + G_DIR_SEPARATOR_S "." + base + ".XXXXXX";
  g_free(folder);
  g_free(base);
  const int fd = g_mkstemp(temp.data());
  if (fd < 0) throw FileError("Cannot write " + path + ": " + g_strerror(errno));
  close(fd);
  struct Result {
    bool done = false;
    std::string error;
  };
  auto result = std::make_shared<Result>();
  backend_->SaveWebArchive(temp, [result](const std::string& error) {
    result->done = true;
    result->error = error;
  });
  WaitUntil([&] { return result->done; });
  if (!result->done || !result->error.empty()) {
    g_unlink(temp.c_str());
    throw EngineError("Cannot save " + path + (result->error.empty() ? "" : ": " + result->error));
  }
  g_chmod(temp.c_str(), 0644);
  if (g_rename(temp.c_str(), path.c_str()) != 0) {
    const std::string why = g_strerror(errno);
    g_unlink(temp.c_str());
    throw FileError("Cannot write " + path + ": " + why);
  }
}

SourceWindow& TWebBrowser::ShowSource() {
  const std::string text = SourceText();
  if (!source_window_) source_window_ = std::make_unique<SourceWindow>();
  GtkWidget* top = gtk_widget_get_toplevel(container_);
  source_window_->Show(GTK_IS_WINDOW(top) ? GTK_WINDOW(top) : nullptr, LocationURL(), text);
  return *source_window_;
}

void TWebBrowser::Print(const PrintJob& job, PrintCallback done) {
  std::weak_ptr<TWebBrowser*> weak = self_;
  backend_->Print(job, [weak, done](PrintOutcome outcome, const std::string& error) {
    auto alive = weak.lock();
    if (alive && *alive && done) RunReported([&] { done(outcome, error); });
  });
}

void TWebBrowser::PrintPreview(EngineService& engine) {
  const std::string folder = MakePreviewFolder();
  if (folder.empty()) return;
  const std::string pdf = folder + "/preview.pdf";
  PrintJob job;
  job.pdf_path = pdf;
  EngineService* viewer_engine = &engine;
  Print(job, [this, pdf, folder, viewer_engine](PrintOutcome outcome, const std::string&) {
    bool shown = false;
    if (outcome == PrintOutcome::kPrinted && FileExists(pdf)) {
      RunGuarded([&] {
        if (!preview_) preview_ = std::make_unique<PrintPreviewWindow>(viewer_engine->NewBackend());
        GtkWidget* top = gtk_widget_get_toplevel(container_);
        const std::string title = TabTitle.empty() ? LocationURL() : TabTitle;
        preview_->Show(GTK_IS_WINDOW(top) ? GTK_WINDOW(top) : nullptr, "Print Preview - " + title,
                       pdf);
        shown = true;
      });
    }
    if (!shown) {
      g_unlink(pdf.c_str());
      g_rmdir(folder.c_str());
    }
  });
}

bool TWebBrowser::SetUserAgent(const std::string& agent) {
  if (agent.find_first_of("\r\n") != std::string::npos) return false;
  user_agent_ = agent;
  backend_->SetUserAgent(agent);
  return true;
}

void TWebBrowser::SetVisible(bool visible) { gtk_widget_set_visible(container_, visible); }
bool TWebBrowser::Visible() const { return gtk_widget_get_visible(container_); }

// Every event runs its handler under the application-wide report: the
// backend calls us from engine callbacks that an exception must not cross.
// The handler scope keeps this browser and its engine alive until the
// handler and the engine code around it have returned, whatever the
// handler asks to destroy meanwhile.
void TWebBrowser::BeforeNavigate(const std::string& uri, bool& cancel) {
  HandlerScope scope;
  if (OnBeforeNavigate) RunReported([&] { OnBeforeNavigate(*this, uri, cancel); });
  if (cancel) pending_since_ = 0;
}
void TWebBrowser::TitleChanged(const std::string& title) {
  HandlerScope scope;
  if (OnTitleChange) RunReported([&] { OnTitleChange(*this, title); });
}
void TWebBrowser::StatusTextChanged(const std::string& text) {
  HandlerScope scope;
  if (OnStatusTextChange) RunReported([&] { OnStatusTextChange(*this, text); });
}
void TWebBrowser::ProgressChanged(int progress, int maximum) {
  HandlerScope scope;
  if (OnProgressChange) RunReported([&] { OnProgressChange(*this, progress, maximum); });
}
void TWebBrowser::DownloadBegin() {
  HandlerScope scope;
  pending_since_ = 0;
  if (OnDownloadBegin) RunReported([&] { OnDownloadBegin(*this); });
}
void TWebBrowser::NavigateComplete() {
  HandlerScope scope;
  if (OnNavigateComplete) RunReported([&] { OnNavigateComplete(*this); });
}
void TWebBrowser::DocumentComplete() {
  HandlerScope scope;
  if (OnDocumentComplete) RunReported([&] { OnDocumentComplete(*this); });
}
void TWebBrowser::DownloadComplete() {
  HandlerScope scope;
  pending_since_ = 0;
  if (OnDownloadComplete) RunReported([&] { OnDownloadComplete(*this); });
}

}  // namespace orv

namespace orv {

BrowserBackend* TWebBrowser::NewWindow(const std::string& uri) {
  HandlerScope scope;
  if (!OnNewWindow) return nullptr;
  TWebBrowser* window = nullptr;
  bool cancel = false;
  RunReported([&] { OnNewWindow(*this, uri, window, cancel); });
  if (cancel || !window || window == this) return nullptr;
  window->BecomeRelatedTo(*backend_);
  return &window->Backend();
}

void TWebBrowser::BecomeRelatedTo(BrowserBackend& opener) {
  GtkWidget* old_view = backend_->Widget();
  if (gtk_widget_get_parent(old_view) == container_) {
    gtk_container_remove(GTK_CONTAINER(container_), old_view);
  }
  PackView(container_, backend_->RecreateRelatedTo(opener));
}

void TWebBrowser::GrabFocus() { gtk_widget_grab_focus(backend_->Widget()); }

}  // namespace orv
