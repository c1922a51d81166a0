#include "common/ini_file.h"

// Debian builds SimpleIni with ICU as its converter.
#define SI_CONVERT_ICU
#include <SimpleIni.h>

#include "common/text.h"

namespace orv {

struct IniFile::Impl {
  // Multi-key mode keeps every duplicate as loaded, so that GetValue can
  // answer the first one, as the old profile functions did.
  CSimpleIniA ini{/*is_utf8=*/true, /*multi_key=*/true, /*multi_line=*/false};
  // key=value, as the old platform wrote it.
  Impl() { ini.SetSpaces(false); }
  bool complete = true;
};

namespace {

bool EveryLineUnderstood(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string line = TrimBlanks(text.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[' && line.find(']') != std::string::npos) continue;
    if (line[0] != '[' && line.find('=') != std::string::npos) continue;
    return false;
  }
  return true;
}

}  // namespace

IniFile::IniFile() : impl_(std::make_unique<Impl>()) {}
IniFile::~IniFile() = default;
IniFile::IniFile(IniFile&&) noexcept = default;
IniFile& IniFile::operator=(IniFile&&) noexcept = default;

IniFile IniFile::Parse(std::string_view bytes) {
  IniFile file;
  if (bytes.size() > kMaxBytes) {
    file.impl_->complete = false;
    return file;
  }
  std::string text = DecodeFileText(bytes);
  // A NUL ends the text the way it ended it for the old platform's reader.
  if (const size_t nul = text.find('\0'); nul != std::string::npos) {
    text.resize(nul);
    file.impl_->complete = false;
  }
  if (file.impl_->ini.LoadData(text.data(), text.size()) < 0) {
    file.impl_->ini.Reset();
    file.impl_->complete = false;
  }
  if (file.impl_->complete) file.impl_->complete = EveryLineUnderstood(text);
  return file;
}

bool IniFile::Complete() const { return impl_->complete;
}

std::string IniFile::Serialize() const {
  std::string out;
  impl_->ini.Save(out, /*add_signature=*/false);
  return out;
}

bool IniFile::HasKey(const std::string& section, const std::string& key) const {
  return impl_->ini.GetValue(section.c_str(), key.c_str(), nullptr) != nullptr;
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& fallback) const {
  const char* v = impl_->ini.GetValue(section.c_str(), key.c_str(), nullptr);
  return v ? std::string(v) : fallback;
}

int IniFile::ReadInteger(const std::string& section, const std::string& key, int fallback) const {
  const char* v = impl_->ini.GetValue(section.c_str(), key.c_str(), nullptr);
  if (!v) return fallback;
  return ParseInteger(TrimBlanks(v)).value_or(fallback);
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
  // A line break inside a value would start a new key when read back.
  std::string clean = value;
  for (char& c : clean) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  impl_->ini.SetValue(section.c_str(), key.c_str(), clean.c_str(), nullptr,
                      /*force_replace=*/true);
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

}  // namespace orv
