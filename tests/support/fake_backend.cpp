#include "fake_backend.h"

#include <glib.h>

#include <algorithm>
#include <cstdio>
#include <cctype>
#include <functional>

namespace orv::test {

namespace {

// Runs `step` on a later main-loop turn unless the backend is gone.
void Later(const std::shared_ptr<bool>& alive, std::function<void()> step) {
  struct Pending {
    std::weak_ptr<bool> alive;
    std::function<void()> step;
  };
  auto* pending = new Pending{alive, std::move(step)};
  g_idle_add_full(
      G_PRIORITY_DEFAULT_IDLE,
      [](gpointer data) -> gboolean {
        auto* p = static_cast<Pending*>(data);
        if (auto alive = p->alive.lock(); alive && *alive) p->step();
        return G_SOURCE_REMOVE;
      },
      pending, [](gpointer data) { delete static_cast<Pending*>(data); });
}

}  // namespace

std::unique_ptr<BrowserBackend> FakeWeb::NewBackend() {
  return std::unique_ptr<BrowserBackend>(new FakeBackend(*this));
}

FakeBackend::FakeBackend(FakeWeb& web)
    : web_(web), widget_(gtk_drawing_area_new()), alive_(std::make_shared<bool>(true)) {
  g_object_ref_sink(widget_);
  // A page takes the keyboard, as the engine's view does.
  gtk_widget_set_can_focus(widget_, TRUE);
  web_.backends.push_back(this);
}

FakeBackend::~FakeBackend() {
  *alive_ = false;
  web_.backends.erase(std::remove(web_.backends.begin(), web_.backends.end(), this),
                      web_.backends.end());
  g_object_unref(widget_);
}

void FakeBackend::LoadUri(const std::string& uri) {
  web_.log.push_back("load " + uri);
  Start(uri, true);
}

void FakeBackend::GoBack() {
  web_.log.push_back("back");
  --index_;
  Start(history_[index_], false);
}

void FakeBackend::GoForward() {
  web_.log.push_back("forward");
  ++index_;
  Start(history_[index_], false);
}

void FakeBackend::Reload() {
  web_.log.push_back("reload");
  if (!uri_.empty()) Start(uri_, false);
}

void FakeBackend::Stop() {
  web_.log.push_back("stop");
  ++generation_;
  if (loading_) {
    loading_ = false;
    if (events()) {
      events()->ProgressChanged(0, 100);
      events()->DocumentComplete();
      events()->DownloadComplete();
    }
  }
}

void FakeBackend::Start(const std::string& uri, bool add_to_history) {
  const unsigned generation = ++generation_;
  Later(alive_, [this, uri, add_to_history, generation] {
    if (generation != generation_) return;
    bool cancel = false;
    if (events()) events()->BeforeNavigate(uri, cancel);
    if (cancel) {
      web_.log.push_back("cancelled " + uri);
      return;
    }
    if (add_to_history) {
      history_.resize(index_ + 1);
      history_.push_back(uri);
      index_ = static_cast<int>(history_.size()) - 1;
    }
    loading_ = true;
    if (events()) events()->DownloadBegin();
    if (events()) events()->ProgressChanged(10, 100);
    uri_ = uri;
    committed_ = true;
    design_mode_ = false;  // a new document is not editable
    if (events()) events()->NavigateComplete();
    Later(alive_, [this, generation, uri] { Finish(generation, uri); });
  });
}

void FakeBackend::Finish(unsigned generation, const std::string& uri) {
  if (generation != generation_) return;
  const auto page = web_.pages.find(uri);
  const FakePage shown = page != web_.pages.end() ? page->second : FakePage{};
  body_ = shown.body;
  protocol_ = shown.protocol;
  html_ = shown.html;
  savable_ = shown.savable;
  if (events()) events()->TitleChanged(shown.title);
  if (events()) events()->ProgressChanged(100, 100);
  loading_ = false;
  if (events()) events()->ProgressChanged(0, 100);
  if (events()) events()->DocumentComplete();
  if (events()) events()->DownloadComplete();
}

void FakeBackend::SetUserAgent(const std::string& agent) {
  user_agent_ = agent;
  web_.log.push_back("agent " + agent);
}

void FakeBackend::RunDocumentOp(DocumentOp op, const std::string& argument,
                                DocumentCallback done) {
  Later(alive_, [this, op, argument, done] {
    switch (op) {
      case DocumentOp::kGetBodyHtml:
        done(true, body_);
        break;
      case DocumentOp::kSetBodyHtml:
        body_ = argument;
        done(true, "");
        break;
      case DocumentOp::kGetSelectionText:
        done(true, selection);
        break;
      case DocumentOp::kGetLocationProtocol:
        done(true, protocol_);
        break;
      case DocumentOp::kIsHtmlDocument:
        done(true, html_ ? "1" : "");
        break;
      case DocumentOp::kSetDesignMode:
        design_mode_ = argument == "on";
        web_.log.push_back("design " + argument);
        done(true, argument);
        break;
      case DocumentOp::kGetEditedDocument:
        done(true, "<html><body>" + body_ + "</body></html>");
        break;
    }
  });
}

void FakeBackend::RunEditCommand(const std::string& name, const std::string& value,
                                 DocumentCallback done) {
  web_.log.push_back("command " + name + (value.empty() ? "" : " " + value));
  Later(alive_, [this, name, value, done] {
    if (web_.rejected_commands.contains(name)) {
      done(false, "");
      return;
    }
    // An editable document shows each command it ran.
    if (design_mode_) body_ += "{" + name + (value.empty() ? "" : ":" + value) + "}";
    done(true, "");
  });
}

void FakeBackend::ExecuteEditingCommand(const std::string& command) {
  web_.log.push_back("edit " + command);
}

void FakeBackend::InsertElement(const std::string& markup, DocumentCallback done) {
  web_.log.push_back("insert " + markup);
  Later(alive_, [this, markup, done] {
    if (design_mode_) body_ += markup;
    done(true, "");
  });
}

GtkWidget* FakeBackend::RecreateRelatedTo(BrowserBackend&) {
  web_.log.push_back("related");
  ++generation_;
  uri_.clear();
  committed_ = false;
  loading_ = false;
  g_object_unref(widget_);
  widget_ = gtk_drawing_area_new();
  g_object_ref_sink(widget_);
  gtk_widget_set_can_focus(widget_, TRUE);
  return widget_;
}

void FakeBackend::FindText(const FindRequest& request, std::function<void(bool found)> done) {
  web_.log.push_back(std::string("find ") + request.text + (request.match_case ? " case" : "") +
                     (request.whole_word ? " word" : "") + (request.backwards ? " up" : ""));
  auto lower = [](std::string t) {
    for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return t;
  };
  const bool found = request.match_case ? body_.find(request.text) != std::string::npos
                                        : lower(body_).find(lower(request.text)) != std::string::npos;
  Later(alive_, [done, found] { done(found); });
}

void FakeBackend::MainResourceData(std::function<void(bool ok, const std::string& data)> done) {
  const bool ok = HasMainResource();
  const std::string data = body_;
  Later(alive_, [done, ok, data] { done(ok, data); });
}

// The archive holds the body, so that a test can see what was saved.
void FakeBackend::SaveWebArchive(const std::string& path,
                                 std::function<void(const std::string& error)> done) {
  web_.log.push_back("save archive");
  const std::string error = web_.save_error;
  if (error.empty()) {
    if (FILE* f = fopen(path.c_str(), "wb")) {
      fwrite(body_.data(), 1, body_.size(), f);
      fclose(f);
    }
  }
  Later(alive_, [done, error] { done(error); });
}

void FakeBackend::Print(const PrintJob& job, PrintCallback done) {
  web_.log.push_back("print " + (job.pdf_path.empty() ? std::string("dialog") : job.pdf_path));
  const PrintOutcome outcome = web_.print_outcome;
  const std::string error = web_.print_error;
  const std::string pdf = job.pdf_path;
  Later(alive_, [done, outcome, error, pdf] {
    if (outcome == PrintOutcome::kPrinted && !pdf.empty()) {
      if (FILE* f = fopen(pdf.c_str(), "wb")) {
        fputs("%PDF-1.4\n", f);
        fclose(f);
      }
    }
    done(outcome, error);
  });
}

bool FakeBackend::OpenWindow(const std::string& uri) {
  BrowserBackend* target = events() ? events()->NewWindow(uri) : nullptr;
  if (!target) return false;
  target->LoadUri(uri);
  return true;
}

void FakeBackend::HoverLink(const std::string& uri) {
  if (events()) events()->StatusTextChanged(uri);
}

}  // namespace orv::test
