// Reading and writing the program's files.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

namespace orv {

struct FileError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

bool FileExists(const std::string& path);

// The file's bytes, or nullopt when it cannot be read or is larger than
// `max_bytes` (a hostile or damaged file must not make us allocate freely).
std::optional<std::string> ReadFileBytes(const std::string& path, size_t max_bytes);

// Writes a temporary file in the same folder, flushes it to disk and renames
// it over `path`: a crash or a full disk leaves the old file or the new one,
// never half of one. Throws FileError on failure.
void WriteFileAtomic(const std::string& path, const std::string& bytes);

}  // namespace orv
