#include "common/navigate_address.h"

#include <filesystem>
#include <system_error>

#include "common/text.h"

namespace orv {

namespace {

bool IsSchemeChar(char c, bool first) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
  return !first && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.');
}

// Schemes whose addresses have no "//" after the colon.
bool IsOpaqueScheme(std::string_view scheme) {
  const std::string s = AsciiLower(scheme);
  return s == "about" || s == "mailto" || s == "data" || s == "javascript" || s == "blob" ||
         s == "view-source" || s == "file" || s == "tel";
}

bool AllowedInUri(unsigned char c) {
  if (c >= 0x80 || c <= 0x20 || c == 0x7F) return false;
  switch (c) {
    case '"':
    case '<':
    case '>':
    case '\\':
    case '^':
    case '`':
    case '{':
    case '|':
    case '}':
      return false;
    default:
      return true;
  }
}

}  // namespace

bool HasUriScheme(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsSchemeChar(text[i], i == 0)) ++i;
  if (i == 0 || i >= text.size() || text[i] != ':') return false;
  const std::string_view rest = text.substr(i + 1);
  return rest.substr(0, 2) == "//" || IsOpaqueScheme(text.substr(0, i));
}

bool IsLocalFileAddress(std::string_view address, const PathExists& exists) {
  const std::string text = TrimBlanks(address);
  if (AsciiLower(text).rfind("file:", 0) == 0) return true;
  return !text.empty() && text[0] == '/' && exists && exists(text);
}

std::string EncodeUriText(std::string_view text) {
  static const char* kHex = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (AllowedInUri(c)) {
      out += ch;
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    }
  }
  return out;
}

std::string NormalizeNavigateAddress(std::string_view address, const PathExists& exists) {
  const std::string text = TrimBlanks(address);
  if (text.empty()) return {};
  if (HasUriScheme(text)) return EncodeUriText(text);
  // An absolute path is always local; a relative one when it names a file
  // here (the command line "orvindel page.html").
  if (text[0] == '/') return "file://" + EncodeUriText(text);
  if (exists && exists(text)) {
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(text, ec);
    if (!ec) return "file://" + EncodeUriText(absolute.lexically_normal().string());
  }
  return "http://" + EncodeUriText(text);
}

}  // namespace orv
