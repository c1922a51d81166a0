// A scripted engine: pages come from a table, navigations complete on later
// main-loop turns with the events in WebKit's order, every command is logged.
#pragma once

#include <map>
#include <set>
#include <memory>
#include <string>
#include <vector>

#include "engine/browser_backend.h"
#include "engine/engine_service.h"

namespace orv::test {

struct FakePage {
  std::string title;
  std::string body;
  std::string protocol = "http:";
  // Not an HTML document (the engine shows something else).
  bool html = true;
  // Nothing arrived that could be saved.
  bool savable = true;
};

class FakeBackend;

// The scripted web every fake backend of a test shares.
struct FakeWeb final : EngineService {
  std::map<std::string, FakePage> pages;
  std::vector<std::string> log;  // "load <uri>", "agent <text>", "stop", ...
  std::vector<FakeBackend*> backends;
  // How the next prints end; "print <pdf file, or dialog>" goes to the log.
  PrintOutcome print_outcome = PrintOutcome::kPrinted;
  std::string print_error;
  // What the next web archive save answers; "" succeeds.
  std::string save_error;
  // Editing commands the documents refuse.
  std::set<std::string> rejected_commands;

  std::unique_ptr<BrowserBackend> NewBackend() override;
  std::string Version() const override { return "0.0.0"; }
  void ClearCache() override { log.push_back("clear cache"); }
};

class FakeBackend final : public BrowserBackend {
 public:
  explicit FakeBackend(FakeWeb& web);
  ~FakeBackend() override;

  GtkWidget* Widget() override { return widget_; }
  void LoadUri(const std::string& uri) override;
  bool CanGoBack() const override { return index_ > 0; }
  bool CanGoForward() const override { return index_ + 1 < static_cast<int>(history_.size()); }
  void GoBack() override;
  void GoForward() override;
  void Stop() override;
  void Reload() override;
  std::string Uri() const override { return uri_; }
  bool IsLoading() const override { return loading_; }
  bool HasDocument() const override { return committed_; }
  void SetUserAgent(const std::string& agent) override;
  void SetPassiveContent(bool passive) override {
    passive_ = passive;
    web_.log.push_back(passive ? "passive on" : "passive off");
  }
  bool passive() const { return passive_; }
  void RunDocumentOp(DocumentOp op, const std::string& argument, DocumentCallback done) override;
  void ExecuteEditingCommand(const std::string& command) override;
  void RunEditCommand(const std::string& name, const std::string& value,
                      DocumentCallback done) override;
  void InsertElement(const std::string& markup, DocumentCallback done) override;
  bool design_mode() const { return design_mode_; }
  GtkWidget* RecreateRelatedTo(BrowserBackend& opener) override;
  void FindText(const FindRequest& request, std::function<void(bool found)> done) override;
  void FindFinish() override { web_.log.push_back("find finish"); }
  bool HasMainResource() const override { return committed_ && !loading_ && savable_; }
  void MainResourceData(std::function<void(bool ok, const std::string& data)> done) override;
  void SaveWebArchive(const std::string& path,
                      std::function<void(const std::string& error)> done) override;
  void Print(const PrintJob& job, PrintCallback done) override;

  const std::string& user_agent() const { return user_agent_; }
  const std::string& body() const { return body_; }
  std::string selection;
  // Fires a status text change as the engine does when the pointer is on a link.
  void HoverLink(const std::string& uri);
  // The page runs window.open(uri): the window, if one is given, loads it.
  // Answers whether a window was given.
  bool OpenWindow(const std::string& uri);

 private:
  void Start(const std::string& uri, bool add_to_history);
  void Finish(unsigned generation, const std::string& uri);

  FakeWeb& web_;
  GtkWidget* widget_;
  std::string uri_;
  std::string body_;
  std::string protocol_;
  bool html_ = true;
  bool savable_ = true;
  std::string user_agent_;
  std::vector<std::string> history_;
  int index_ = -1;
  bool loading_ = false;
  bool passive_ = false;
  bool design_mode_ = false;
  bool committed_ = false;
  unsigned generation_ = 0;
  std::shared_ptr<bool> alive_;
};

}  // namespace orv::test
