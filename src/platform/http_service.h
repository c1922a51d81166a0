// The shell's own HTTP, behind one interface so that tests can answer for
// the network.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/http_fetch.h"

namespace orv {

// How long a download may go without receiving a byte before it gives up.
inline constexpr int kDownloadStallTimeoutMs = 30000;
// Far above any feed or language file; a body larger than this is refused.
inline constexpr size_t kDownloadMaxBytes = 64u * 1024 * 1024;

struct DownloadOptions {
  int stall_timeout_ms = kDownloadStallTimeoutMs;
  size_t max_bytes = kDownloadMaxBytes;
  // Sees every piece of the body as it arrives, before it is written.
  // Answering false stops the download, which then fails.
  std::function<bool(std::string_view chunk)> on_chunk;
  // Flush the file to disk before it is put in place. A scratch file that
  // is read once and deleted needs no such care.
  bool durable = true;
};

class HttpService {
 public:
  virtual ~HttpService() = default;
  // Whether the typed `text` is an address that answers over HTTP; see
  // ProbeAddress. Waits in the waiting loop, never throws.
  virtual bool Probe(const std::string& text) = 0;
  // Fetches `url` into memory without waiting; see FetchBytes.
  virtual void Fetch(const std::string& url, const FetchLimits& limits,
                     std::function<void(std::optional<std::string> body)> done) = 0;
  // Fetches `url` (http, https or file) into the file `destination`: see
  // DownloadUrlToFile. Waits in the waiting loop, never throws. A service
  // without a network (a test's stand-in) downloads nothing.
  virtual bool DownloadToFile(const std::string& url, const std::string& destination,
                              const DownloadOptions& options) {
    return false;
  }
  bool DownloadToFile(const std::string& url, const std::string& destination) {
    return DownloadToFile(url, destination, DownloadOptions{});
  }
};

// The real network through libsoup.
class SoupHttpService final : public HttpService {
 public:
  using HttpService::DownloadToFile;
  bool Probe(const std::string& text) override;
  void Fetch(const std::string& url, const FetchLimits& limits,
             std::function<void(std::optional<std::string> body)> done) override;
  bool DownloadToFile(const std::string& url, const std::string& destination,
                      const DownloadOptions& options) override;
};

}  // namespace orv
