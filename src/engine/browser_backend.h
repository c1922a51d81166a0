// What a browser engine instance must do for TWebBrowser. The program uses
// the WebKitGTK backend; tests use a scripted fake with the same contract.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <string>

namespace orv {

// Events a backend reports, in the engine's order.
class BackendEvents {
 public:
  virtual ~BackendEvents() = default;
  // A navigation of the main frame is about to start; set cancel to stop it.
  virtual void BeforeNavigate(const std::string& uri, bool& cancel) = 0;
  virtual void TitleChanged(const std::string& title) = 0;
  virtual void StatusTextChanged(const std::string& text) = 0;
  virtual void ProgressChanged(int progress, int maximum) = 0;
  virtual void DownloadBegin() = 0;
  virtual void NavigateComplete() = 0;
  virtual void DocumentComplete() = 0;
  virtual void DownloadComplete() = 0;
  // The page asks for a new window at `uri`. Answers the backend that will
  // show it, already made related to this one, or null to refuse.
  virtual class BrowserBackend* NewWindow(const std::string& uri) = 0;
};

// Operations on the page's document. They answer asynchronously: the page
// runs in another process.
// kIsHtmlDocument answers "1" for an HTML document (text and images shown
// by the engine are HTML documents too), "" otherwise.
// kSetDesignMode takes "on" or "off" and answers the mode the document is in.
// kGetEditedDocument answers the whole document as it is now, as a file: its
// doctype and markup, declared UTF-8 whatever the page declared.
enum class DocumentOp {
  kGetBodyHtml,
  kSetBodyHtml,
  kGetSelectionText,
  kGetLocationProtocol,
  kIsHtmlDocument,
  kSetDesignMode,
  kGetEditedDocument,
};

// ok is false when the page has no document (or no body) or the page
// refused; value holds the answer of a read.
using DocumentCallback = std::function<void(bool ok, const std::string& value)>;

// One request of the find dialog.
struct FindRequest {
  std::string text;
  bool match_case = false;
  bool whole_word = false;
  bool backwards = false;
};

// How a print ended.
enum class PrintOutcome { kPrinted, kCancelled, kFailed };

struct PrintJob {
  // The window the print dialog belongs to; may be null.
  GtkWindow* parent = nullptr;
  // Prints into this PDF file without asking anything; empty asks the user
  // with the print dialog.
  std::string pdf_path;
};

using PrintCallback = std::function<void(PrintOutcome outcome, const std::string& error)>;

class BrowserBackend {
 public:
  virtual ~BrowserBackend() = default;

  void SetEvents(BackendEvents* events) { events_ = events; }

  // The widget that shows the page.
  virtual GtkWidget* Widget() = 0;

  // `uri` is already normalised; never empty.
  virtual void LoadUri(const std::string& uri) = 0;
  virtual bool CanGoBack() const = 0;
  virtual bool CanGoForward() const = 0;
  virtual void GoBack() = 0;
  virtual void GoForward() = 0;
  virtual void Stop() = 0;
  virtual void Reload() = 0;
  virtual std::string Uri() const = 0;
  virtual bool IsLoading() const = 0;
  // A page has been committed at least once.
  virtual bool HasDocument() const = 0;
  // Empty restores the engine's own agent.
  virtual void SetUserAgent(const std::string& agent) = 0;
  // For pages made from untrusted markup (a feed's digest): no script in
  // them runs (no script element, no event handler, no javascript: link),
  // though the shell's own document operations still work; text that
  // declares no character set is read as UTF-8; and the page loads nothing
  // from local files besides itself.
  virtual void SetPassiveContent(bool passive) = 0;
  virtual void RunDocumentOp(DocumentOp op, const std::string& argument,
                             DocumentCallback done) = 0;
  // Cut, Copy, Paste, SelectAll and the other editing commands by name.
  virtual void ExecuteEditingCommand(const std::string& command) = 0;
  // Runs the document's own editing command `name` (execCommand) with
  // `value`. ok is false when there is no document or the document does not
  // know the command; whether the command changed anything is not told.
  virtual void RunEditCommand(const std::string& name, const std::string& value,
                              DocumentCallback done) = 0;
  // Puts the element `markup` describes where the caret is, replacing the
  // selection, or at the end of the body when the document has no caret;
  // the caret goes after it. A document that is not editable stays as it
  // is. ok is false when there is no body.
  virtual void InsertElement(const std::string& markup, DocumentCallback done) = 0;
  // A window a page opens must share its opener's engine process and
  // session: this backend drops its view and makes a new one related to
  // `opener`'s, keeping its settings. Answers the new view.
  virtual GtkWidget* RecreateRelatedTo(BrowserBackend& opener) = 0;
  // Finds and highlights the next match of `request` in the page, wrapping
  // around; `done` learns whether there was one.
  virtual void FindText(const FindRequest& request, std::function<void(bool found)> done) = 0;
  // Ends the search and takes its highlighting away.
  virtual void FindFinish() = 0;

  // The page's main resource has arrived and can be saved or shown.
  virtual bool HasMainResource() const = 0;
  // The main resource's bytes as the server sent them; ok is false when
  // there are none.
  virtual void MainResourceData(std::function<void(bool ok, const std::string& data)> done) = 0;
  // Writes the complete page, with its images and style sheets, as a web
  // archive (MHTML) into `path`. `done` gets the failure's text, or "".
  virtual void SaveWebArchive(const std::string& path,
                              std::function<void(const std::string& error)> done) = 0;
  // Prints the page as `job` says; `done` runs once, when the job has
  // been handed to the printer, was cancelled, or failed.
  virtual void Print(const PrintJob& job, PrintCallback done) = 0;

 protected:
  BackendEvents* events() const { return events_; }

 private:
  BackendEvents* events_ = nullptr;
};

}  // namespace orv
