#include "shell/site_icons.h"

#include "common/text.h"

namespace orv {

std::string SiteIconAddress(std::string_view page) {
  // Only a page whose own scheme is http asks for an icon; an https page
  // that merely mentions "http://" further on does not.
  if (!AsciiLower(page.substr(0, 7)).starts_with("http://")) return "";
  const std::string_view rest = page.substr(7);
  // The host alone; an address without a path still has its root.
  const std::string_view host = rest.substr(0, rest.find_first_of("/?#"));
  if (host.empty()) return "";
  return "http://" + std::string(host) + "/favicon.ico";
}

}  // namespace orv
