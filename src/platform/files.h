// Reading and writing the program's files.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "common/ini_file.h"

namespace orv {

struct FileError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A damaged file could not be kept, so it must not be replaced.
struct DamagedCopyError : FileError {
  using FileError::FileError;
};

bool FileExists(const std::string& path);

// The file's bytes, or nullopt when it cannot be read or is larger than
// `max_bytes` (a hostile or damaged file must not make us allocate freely).
// A file that exists but is not read is marked damaged (below).
std::optional<std::string> ReadFileBytes(const std::string& path, size_t max_bytes);

// An INI settings file, or nullopt when there is none or it cannot be read.
// One that could not be read whole (IniFile::Complete) is marked damaged.
std::optional<IniFile> ReadSettingsFile(const std::string& path);

// Writes a temporary file in the same folder, flushes it to disk and renames
// it over `path`: a crash or a full disk leaves the old file or the new one,
// never half of one. A file marked damaged is kept first (KeepDamagedCopy).
// Throws FileError on failure, DamagedCopyError when the damaged file could
// not be kept (it is then left as it is).
void WriteFileAtomic(const std::string& path, const std::string& bytes);

// A file that could not be read completely (too large, unreadable, or found
// damaged by its reader) is marked, so that its first overwrite in this run
// keeps it as a copy: what we could not read may still matter to the user.
void MarkDamaged(const std::string& path);
bool IsMarkedDamaged(const std::string& path);

// Keeps the file at `path` beside it as "<path>.bad1", or the first of
// ".bad2", ".bad3", ... not taken: an earlier copy is never replaced, and a
// file already kept under one of those names is not kept twice. Answers the
// copy's path, or empty when there is no file at `path`. Throws
// DamagedCopyError when no copy can be made.
std::string KeepDamagedCopy(const std::string& path);

// Why nothing can be written into `folder` (a file in its place, no
// permission, a full disk), as the system says it; empty when a file can be
// created and written there.
std::string FolderWriteProblem(const std::string& folder);

// Removes the temporaries of atomic writes ("<name>.<ext>.XXXXXX") in
// `folder` that are older than `min_age_s`: a write cut short by a kill
// leaves one behind. Answers how many were removed.
int RemoveStaleTemporaries(const std::string& folder, int64_t min_age_s = 60);

}  // namespace orv
