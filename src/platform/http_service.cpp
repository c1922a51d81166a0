#include "platform/http_service.h"

#include "platform/http_probe.h"

namespace orv {

bool SoupHttpService::Probe(const std::string& text) { return ProbeAddress(text); }

}  // namespace orv
