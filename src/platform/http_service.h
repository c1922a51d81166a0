// The shell's own HTTP, behind one interface so that tests can answer for
// the network.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/http_fetch.h"

namespace orv {

class HttpService {
 public:
  virtual ~HttpService() = default;
  // Whether the typed `text` is an address that answers over HTTP; see
  // ProbeAddress. Waits in the waiting loop, never throws.
  virtual bool Probe(const std::string& text) = 0;
  // Fetches `url` into memory without waiting; see FetchBytes.
  virtual void Fetch(const std::string& url, const FetchLimits& limits,
                     std::function<void(std::optional<std::string> body)> done) = 0;
};

// The real network through libsoup.
class SoupHttpService final : public HttpService {
 public:
  bool Probe(const std::string& text) override;
  void Fetch(const std::string& url, const FetchLimits& limits,
             std::function<void(std::optional<std::string> body)> done) override;
};

}  // namespace orv
