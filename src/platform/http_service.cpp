#include "platform/http_service.h"

#include "platform/http_download.h"
#include "platform/http_probe.h"

namespace orv {

namespace {

// What the program calls itself when it fetches something of its own.
constexpr char kAgent[] = "orvindel";

}  // namespace

bool SoupHttpService::Probe(const std::string& text) { return ProbeAddress(text); }

void SoupHttpService::Fetch(const std::string& url, const FetchLimits& limits,
                            std::function<void(std::optional<std::string> body)> done) {
  FetchBytes(url, kAgent, limits, std::move(done));
}

bool SoupHttpService::DownloadToFile(const std::string& url, const std::string& destination,
                                     const DownloadOptions& options) {
  return DownloadUrlToFile(url, destination, options);
}

}  // namespace orv
