// An INI document held in memory: section headers in square brackets,
// key=value lines, names compared without regard to case. Reading follows the
// old platform's profile functions: the first of duplicate keys wins, a value
// that is not an integer yields the caller's default.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace orv {

class IniFile {
 public:
  // Settings files larger than this are not settings files; they load as empty.
  static constexpr size_t kMaxBytes = 4 * 1024 * 1024;

  IniFile();
  ~IniFile();
  IniFile(IniFile&&) noexcept;
  IniFile& operator=(IniFile&&) noexcept;

  // Never fails: bytes that are not an INI document give an empty or partial
  // document. Text that is not UTF-8 is read as Windows-1252.
  static IniFile Parse(std::string_view bytes);
  std::string Serialize() const;

  // Whether Parse understood every line: false for a file that was too
  // large, held a NUL, or had lines that are neither a section, a key=value
  // pair, a comment nor blank. Writing such a file back would lose those.
  bool Complete() const;

  bool HasKey(const std::string& section, const std::string& key) const;
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& fallback) const;
  int ReadInteger(const std::string& section, const std::string& key, int fallback) const;
  // Any integer other than 0 is true.
  bool ReadBool(const std::string& section, const std::string& key, bool fallback) const;

  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int value);
  void WriteBool(const std::string& section, const std::string& key, bool value);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace orv
