#include "platform/http_service.h"

#include "platform/http_download.h"
#include "platform/http_probe.h"

namespace orv {

bool SoupHttpService::Probe(const std::string& text) { return ProbeAddress(text); }

bool SoupHttpService::DownloadToFile(const std::string& url, const std::string& destination,
                                     const DownloadOptions& options) {
  return DownloadUrlToFile(url, destination, options);
}

}  // namespace orv
