// The WebKitGTK engine behind TWebBrowser.
#pragma once

#include <functional>
#include <string>

#include "engine/browser_backend.h"
#include "engine/engine_service.h"

namespace orv {

// Prepares the one web context every view shares, before the first view
// exists: web content runs in WebKit's sandbox, cookies persist in
// `cookie_folder`. Safe to call more than once; only the first call counts.
void ConfigureWebEngine(const std::string& cookie_folder);

// Asks where a file a page offers should be saved: the full path, or empty
// to cancel. Without a chooser nothing is ever downloaded.
using DownloadChooser = std::function<std::string(const std::string& suggested_name)>;
void SetDownloadChooser(DownloadChooser chooser);

// Whether web content runs in WebKit's sandbox.
bool WebEngineSandboxed();

// The program's engine: WebKitGTK views over the shared web context.
class WebKitEngine final : public EngineService {
 public:
  std::unique_ptr<BrowserBackend> NewBackend() override;
  // The version of the WebKitGTK library the program runs with.
  std::string Version() const override;
  void ClearCache() override;
};

}  // namespace orv
