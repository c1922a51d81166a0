#include "pagetools/page_commands.h"

namespace orv {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecode(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      const int high = HexValue(text[i + 1]);
      const int low = HexValue(text[i + 2]);
      if (high >= 0 && low >= 0) {
        out += static_cast<char>(high * 16 + low);
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

// The part after the last folder separator, with control characters and
// leading dots taken away, so that the name is neither hidden nor "..".
std::string BaseName(std::string_view text) {
  const size_t slash = text.find_last_of("/\\");
  if (slash != std::string_view::npos) text.remove_prefix(slash + 1);
  std::string out;
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) continue;
    out += c;
  }
  const size_t first = out.find_first_not_of('.');
  return first == std::string::npos ? "" : out.substr(first);
}

}  // namespace

std::string SuggestedSaveName(std::string_view uri, std::string_view extension) {
  // Query and fragment are not part of the name.
  uri = uri.substr(0, uri.find_first_of("?#"));
  std::string_view host;
  const size_t scheme = uri.find("://");
  std::string_view path = uri;
  if (scheme != std::string_view::npos) {
    std::string_view rest = uri.substr(scheme + 3);
    const size_t slash = rest.find('/');
    host = rest.substr(0, slash);
    path = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
  }
  std::string name = BaseName(PercentDecode(path));
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  if (name.empty()) {
    // "user@host:port" is a host too; the name is the host alone.
    host = host.substr(host.find('@') == std::string_view::npos ? 0 : host.find('@') + 1);
    host = host.substr(0, host.starts_with('[') ? host.find(']') + 1 : host.find(':'));
    name = BaseName(host);
  }
  if (name.empty()) name = "page";
  return name + std::string(extension);
}

}  // namespace orv
