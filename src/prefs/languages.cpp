#include "prefs/languages.h"

#include <algorithm>

#include "common/text.h"

namespace orv {

namespace {

void SortWithoutCase(std::vector<std::string>& names) {
  std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return AsciiLower(a) < AsciiLower(b);
  });
}

}  // namespace

std::vector<std::string> ParseLanguageList(std::string_view file) {
  const std::string text = DecodeFileText(file);
  std::vector<std::string> lines;
  std::string line;
  bool pending = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.push_back(line);
      line.clear();
      pending = false;
    } else {
      line.push_back(c);
      pending = true;
    }
  }
  if (pending) lines.push_back(line);
  SortWithoutCase(lines);
  return lines;
}

std::vector<std::string> InstalledLanguages(const std::vector<std::string>& file_names) {
  std::vector<std::string> names;
  const std::string_view ext = kLanguageExtension;
  for (const std::string& file : file_names) {
    if (file.size() > ext.size() && AsciiLower(file.substr(file.size() - ext.size())) == ext) {
      names.push_back(file.substr(0, file.size() - ext.size()));
    }
  }
  SortWithoutCase(names);
  return names;
}

bool IsSafeLanguageName(std::string_view name) {
  if (name.empty() || name.front() == '.' || name.size() > 200) return false;
  for (char c : name) {
    if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
  }
  return true;
}

std::string LanguageAddress(std::string_view base, std::string_view path) {
  std::string address(base);
  if (!address.empty() && address.back() != '/') address += '/';
  return address + std::string(path);
}

}  // namespace orv
