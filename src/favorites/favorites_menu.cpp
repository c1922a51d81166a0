#include "favorites/favorites_menu.h"

#include "common/ini_file.h"
#include "common/text.h"

namespace orv {

namespace {

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
  return text.size() > suffix.size() &&
         AsciiLower(text.substr(text.size() - suffix.size())) == suffix;
}

// Longest name we make: file systems take 255 bytes, and ".url" needs four.
constexpr size_t kMaxFileNameBytes = 200;

}  // namespace

std::string MenuCaption(std::string_view name, int max_width) {
  if (max_width < 0) max_width = 0;
  size_t chars = 0;
  for (size_t i = 0; i < name.size(); ++i) {
    if ((static_cast<unsigned char>(name[i]) & 0xC0) == 0x80) continue;
    if (chars == static_cast<size_t>(max_width)) {
      return std::string(name.substr(0, i)) + "...";
    }
    ++chars;
  }
  return std::string(name);
}

int TopItemPosition(int menupos, int top_items) {
  if (menupos > top_items + 1) menupos = top_items + 1;
  if (menupos <= 0) menupos = 1;
  return menupos - 1;
}

std::string InternetShortcutUrl(std::string_view file_bytes) {
  return TrimBlanks(IniFile::Parse(file_bytes).ReadString("InternetShortcut", "URL", ""));
}

std::string InternetShortcutText(std::string_view url) {
  if (url.find_first_of("\r\n") != std::string_view::npos) return "";
  return "[InternetShortcut]\r\nURL=" + std::string(url) + "\r\n";
}

std::string InternetShortcutFileName(std::string_view name) {
  std::string out;
  for (char c : TrimBlanks(name)) {
    const auto u = static_cast<unsigned char>(c);
    out.push_back(u < 0x20 || c == '/' || c == '\\' || c == 0x7F ? '_' : c);
  }
  if (out.size() > kMaxFileNameBytes) {
    size_t end = kMaxFileNameBytes;
    while (end > 0 && (static_cast<unsigned char>(out[end]) & 0xC0) == 0x80) --end;
    out.resize(end);
  }
  if (!out.empty() && out[0] == '.') out[0] = '_';
  if (out.empty()) out = "Untitled";
  return out + ".url";
}

bool IsInternetShortcutName(std::string_view file_name) {
  return EndsWithNoCase(file_name, ".url");
}

bool IsDesktopEntryName(std::string_view file_name) {
  return EndsWithNoCase(file_name, ".desktop");
}

std::string MenuEntryName(std::string_view file_name) {
  if (IsInternetShortcutName(file_name)) return std::string(file_name.substr(0, file_name.size() - 4));
  if (IsDesktopEntryName(file_name)) return std::string(file_name.substr(0, file_name.size() - 8));
  return std::string(file_name);
}

}  // namespace orv
