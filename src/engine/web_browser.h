// TWebBrowser: the one browser class of the program. Every engine instance,
// tab, side panel, staging, feed, search and designer browser, is one.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "engine/browser_backend.h"
#include "engine/edit_commands.h"

namespace orv {

struct EngineError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class EngineService;
class FindDialog;
class PrintPreviewWindow;
class SourceWindow;

// What Save As writes: the complete page as a web archive (MHTML), or the
// main resource's bytes as the server sent them.
enum class SaveFormat { kWebArchive, kHtmlOnly };

class TWebBrowser : private BackendEvents {
 public:
  // Ready states as the shell knows them.
  static constexpr int kReadyStateLoading = 1;
  static constexpr int kReadyStateInteractive = 3;
  static constexpr int kReadyStateComplete = 4;
  // How long a document operation may take before it counts as refused.
  static constexpr int kDocumentTimeoutMs = 15000;

  explicit TWebBrowser(std::unique_ptr<BrowserBackend> backend);
  ~TWebBrowser() override;
  TWebBrowser(const TWebBrowser&) = delete;
  TWebBrowser& operator=(const TWebBrowser&) = delete;

  // The widget to place in a parent; it fills the area it is given.
  GtkWidget* Widget() const { return container_; }

  // Starts loading and returns at once. Blank text loads nothing.
  void Navigate(const std::string& address);
  // Throw EngineError when there is no history in that direction.
  void GoBack();
  void GoForward();
  void Stop();
  void Refresh();

  std::string LocationURL() const;
  int ReadyState() const;
  bool HasDocument() const;
  // Blocks in the waiting loop until the ready state is complete or the
  // application is terminating.
  void WaitUntilComplete() const;

  // Document access through the waiting loop; throw EngineError when the
  // page has no document or refuses.
  std::string BodyHtml();
  void SetBodyHtml(const std::string& html);
  std::string SelectionText();
  std::string LocationProtocol();
  void ExecuteEditingCommand(const std::string& command);
  // Makes the document editable in place, or not. Throws EngineError when
  // there is no document or it refuses.
  void SetDesignMode(bool on);
  // Runs the editing command `name` as the designer sends it (see
  // edit_commands.h), asking `host` for what the command needs. Does nothing
  // without a document or when the user cancels; throws EngineError when the
  // document refuses the command, FileError when a save cannot be written.
  void ExecCommand(const std::string& name, bool show_ui, const EditValue& value,
                   EditCommandHost& host);
  // The document as it is now, as a file (DocumentOp::kGetEditedDocument).
  std::string EditedDocument();
  // Opens this browser's find dialog (made on first use) and answers it.
  FindDialog& ShowFindDialog();
  FindDialog* FindDialogIfAny() const { return find_dialog_.get(); }

  // Print and print preview first ask whether the page is an HTML document
  // (the engine shows text and images as HTML documents too).
  bool HoldsHtmlDocument();
  // The page's main resource has arrived: there is something to save.
  bool CanSave() const;
  // Writes the page to `path`, replacing what is there only once the new
  // file is complete. Throws EngineError or FileError.
  void SaveAs(const std::string& path, SaveFormat format);
  // The main resource's bytes, and as text (UTF-8, or Windows-1252 when the
  // bytes are not UTF-8). Throw EngineError when there is none.
  std::string MainResourceBytes();
  std::string SourceText();
  // Opens this browser's source window (made on first use) with the page's
  // main resource. Throws EngineError when there is none.
  SourceWindow& ShowSource();
  SourceWindow* SourceWindowIfAny() const { return source_window_.get(); }
  // Prints as `job` says. `done` runs once the job has been handed over,
  // cancelled or failed, unless this browser is gone by then.
  void Print(const PrintJob& job, PrintCallback done);
  // Prints into a PDF file of its own and shows it in the preview window,
  // whose viewer comes from `engine`. Failures show nothing.
  void PrintPreview(EngineService& engine);
  PrintPreviewWindow* PrintPreviewIfAny() const { return preview_.get(); }

  // Refuses (answers false, keeps the old one) an agent with CR or LF, which
  // would let a header be smuggled into every request.
  bool SetUserAgent(const std::string& agent);
  const std::string& UserAgent() const { return user_agent_; }
  // See BrowserBackend::SetPassiveContent.
  void SetPassiveContent(bool passive) { backend_->SetPassiveContent(passive); }

  // Gives the page the keyboard focus.
  void GrabFocus();

  void SetSilent(bool silent) { silent_ = silent; }
  bool Silent() const { return silent_; }
  void SetVisible(bool visible);
  bool Visible() const;

  // The caption text of the tab this browser shows, kept by the shell.
  std::string TabTitle;

  BrowserBackend& Backend() { return *backend_; }

  // Handlers, set by the window that owns the browser.
  std::function<void(TWebBrowser&, const std::string& uri, bool& cancel)> OnBeforeNavigate;
  std::function<void(TWebBrowser&, const std::string&)> OnTitleChange;
  std::function<void(TWebBrowser&, const std::string&)> OnStatusTextChange;
  std::function<void(TWebBrowser&, int progress, int maximum)> OnProgressChange;
  std::function<void(TWebBrowser&)> OnDownloadBegin;
  std::function<void(TWebBrowser&)> OnNavigateComplete;
  std::function<void(TWebBrowser&)> OnDocumentComplete;
  std::function<void(TWebBrowser&)> OnDownloadComplete;
  // A page asks for a new window: set `window` to the browser that shows it
  // (the engine fills it), or leave it null or set cancel to refuse.
  std::function<void(TWebBrowser&, const std::string& uri, TWebBrowser*& window, bool& cancel)>
      OnNewWindow;

 private:
  void BeforeNavigate(const std::string& uri, bool& cancel) override;
  void TitleChanged(const std::string& title) override;
  void StatusTextChanged(const std::string& text) override;
  void ProgressChanged(int progress, int maximum) override;
  void DownloadBegin() override;
  void NavigateComplete() override;
  void DocumentComplete() override;
  void DownloadComplete() override;
  BrowserBackend* NewWindow(const std::string& uri) override;
  // Takes a new engine view related to `opener` in place of the current one.
  void BecomeRelatedTo(BrowserBackend& opener);

  std::string RunDocumentOp(DocumentOp op, const std::string& argument);
  // Starts a document request with `start` and waits for its answer; throws
  // EngineError(`refusal`) when the page refuses or does not answer in time.
  std::string AwaitDocument(const std::function<void(DocumentCallback)>& start,
                            const std::string& refusal);

  // Between Navigate and the engine's answer the page is not complete yet,
  // though the engine has not started loading: waiting loops must wait.
  // Dropped after kPendingLimitUs in case the engine never answers.
  static constexpr int64_t kPendingLimitUs = 30'000'000;
  bool NavigationPending() const;
  int64_t pending_since_ = 0;

  std::unique_ptr<BrowserBackend> backend_;
  GtkWidget* container_ = nullptr;
  std::unique_ptr<FindDialog> find_dialog_;
  std::unique_ptr<SourceWindow> source_window_;
  std::unique_ptr<PrintPreviewWindow> preview_;
  // Answers of the engine that arrive after this browser is gone find it
  // cleared.
  std::shared_ptr<TWebBrowser*> self_;
  std::string user_agent_;
  bool silent_ = false;
};

}  // namespace orv
