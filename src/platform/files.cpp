#include "platform/files.h"

#include <errno.h>
#include <fcntl.h>
#include <gio/gio.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <unistd.h>

#include <set>
#include <string_view>

namespace orv {

namespace {

// How many numbered copies of one file are looked at; far more than anyone
// keeps, and a bound for a folder full of them.
constexpr int kMaxDamagedCopies = 1000;

std::string Canonical(const std::string& path) {
  gchar* c = g_canonicalize_filename(path.c_str(), nullptr);
  std::string out = c;
  g_free(c);
  return out;
}

std::set<std::string>& Damaged() {
  static auto* damaged = new std::set<std::string>;
  return *damaged;
}

std::string ErrnoText(int error) { return g_strerror(error); }

// Copies `from` to a fresh temporary beside `to`, flushed, and links it to
// `to`, which must not exist. Answers errno, 0 on success.
int CopyWithoutReplacing(const std::string& from, const std::string& to) {
  gchar* data = nullptr;
  gsize length = 0;
  GError* error = nullptr;
  if (!g_file_get_contents(from.c_str(), &data, &length, &error)) {
    g_clear_error(&error);
    return EIO;
  }
  std::string temp = to + ".XXXXXX";
  const int fd = g_mkstemp_full(temp.data(), O_WRONLY, 0600);
  if (fd < 0) {
    const int code = errno;
    g_free(data);
    return code;
  }
  int code = 0;
  gsize written = 0;
  while (written < length) {
    const ssize_t n = write(fd, data + written, length - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      code = errno;
      break;
    }
    written += static_cast<gsize>(n);
  }
  g_free(data);
  if (!code && fsync(fd) != 0) code = errno;
  close(fd);
  if (!code && link(temp.c_str(), to.c_str()) != 0) code = errno;
  g_unlink(temp.c_str());
  return code;
}

bool IsTemporarySuffix(std::string_view suffix) {
  if (suffix.size() != 6) return false;
  for (char c : suffix) {
    if (!g_ascii_isalnum(c)) return false;
  }
  // ".bad100" is a kept copy, not a temporary.
  if (suffix.substr(0, 3) == "bad" && g_ascii_isdigit(suffix[3]) && g_ascii_isdigit(suffix[4]) &&
      g_ascii_isdigit(suffix[5])) {
    return false;
  }
  return true;
}

}  // namespace

bool FileExists(const std::string& path) { return g_file_test(path.c_str(), G_FILE_TEST_EXISTS); }

std::optional<std::string> ReadFileBytes(const std::string& path, size_t max_bytes) {
  GStatBuf st;
  if (g_stat(path.c_str(), &st) != 0) {
    // Present but not readable: a folder we may not enter, a broken link.
    const int error = errno;
    GStatBuf link;
    if (error != ENOENT || g_lstat(path.c_str(), &link) == 0) MarkDamaged(path);
    return std::nullopt;
  }
  if (!S_ISREG(st.st_mode) || static_cast<size_t>(st.st_size) > max_bytes) {
    MarkDamaged(path);
    return std::nullopt;
  }
  gchar* data = nullptr;
  gsize length = 0;
  if (!g_file_get_contents(path.c_str(), &data, &length, nullptr)) {
    MarkDamaged(path);
    return std::nullopt;
  }
  std::optional<std::string> out;
  if (length <= max_bytes) {
    out.emplace(data, length);
  } else {
    MarkDamaged(path);
  }
  g_free(data);
  return out;
}

std::optional<IniFile> ReadSettingsFile(const std::string& path) {
  const auto bytes = ReadFileBytes(path, IniFile::kMaxBytes);
  if (!bytes) return std::nullopt;
  IniFile file = IniFile::Parse(*bytes);
  if (!file.Complete()) MarkDamaged(path);
  return file;
}

void MarkDamaged(const std::string& path) { Damaged().insert(Canonical(path)); }

bool IsMarkedDamaged(const std::string& path) { return Damaged().count(Canonical(path)) > 0; }

std::string KeepDamagedCopy(const std::string& path) {
  GStatBuf st;
  if (g_lstat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return "";
    throw DamagedCopyError("cannot keep a copy of " + path + ": " + ErrnoText(errno));
  }
  // Already kept (a run that was cut short after keeping it, before writing).
  for (int n = 1; n <= kMaxDamagedCopies; ++n) {
    const std::string copy = path + ".bad" + std::to_string(n);
    GStatBuf kept;
    if (g_lstat(copy.c_str(), &kept) != 0) break;
    if (kept.st_dev == st.st_dev && kept.st_ino == st.st_ino) return copy;
  }
  int last_error = EEXIST;
  for (int n = 1; n <= kMaxDamagedCopies; ++n) {
    const std::string copy = path + ".bad" + std::to_string(n);
    // A second name for the same bytes: atomic, never replaces the copy's
    // name if it is taken, and costs nothing however large the file. The
    // file itself is only ever replaced by a rename, which leaves these
    // bytes alone.
    if (link(path.c_str(), copy.c_str()) == 0) return copy;
    last_error = errno;
    if (last_error == EEXIST) continue;
    // No hard links here (or not for this file): a real copy.
    last_error = CopyWithoutReplacing(path, copy);
    if (last_error == 0) return copy;
    if (last_error != EEXIST) break;
  }
  throw DamagedCopyError("cannot keep a copy of " + path + ": " + ErrnoText(last_error));
}

void WriteFileAtomic(const std::string& path, const std::string& bytes) {
  if (IsMarkedDamaged(path)) {
    KeepDamagedCopy(path);
    Damaged().erase(Canonical(path));
  }
  GError* error = nullptr;
  const auto flags =
      static_cast<GFileSetContentsFlags>(G_FILE_SET_CONTENTS_CONSISTENT | G_FILE_SET_CONTENTS_DURABLE);
  if (!g_file_set_contents_full(path.c_str(), bytes.data(), static_cast<gssize>(bytes.size()), flags,
                                0644, &error)) {
    std::string message = error ? error->message : "cannot write " + path;
    g_clear_error(&error);
    throw FileError(message);
  }
}

std::string FolderWriteProblem(const std::string& folder) {
  GStatBuf st;
  if (g_stat(folder.c_str(), &st) != 0) return ErrnoText(errno);
  if (!S_ISDIR(st.st_mode)) return ErrnoText(ENOTDIR);
  // A byte written and flushed: an empty file can often still be made on a
  // full disk.
  std::string probe = folder + (folder.back() == '/' ? "" : "/") + ".write-check.XXXXXX";
  const int fd = g_mkstemp_full(probe.data(), O_WRONLY, 0600);
  if (fd < 0) return ErrnoText(errno);
  int error = 0;
  if (write(fd, "x", 1) != 1) error = errno ? errno : ENOSPC;
  if (!error && fsync(fd) != 0) error = errno;
  if (close(fd) != 0 && !error) error = errno;
  g_unlink(probe.c_str());
  return error ? ErrnoText(error) : "";
}

int RemoveStaleTemporaries(const std::string& folder, int64_t min_age_s) {
  GDir* dir = g_dir_open(folder.c_str(), 0, nullptr);
  if (!dir) return 0;
  const gint64 now_s = g_get_real_time() / G_USEC_PER_SEC;
  int removed = 0;
  while (const char* name = g_dir_read_name(dir)) {
    const std::string_view n(name);
    // "<name>.<ext>.XXXXXX": every file the program writes has an extension.
    const size_t last = n.rfind('.');
    if (last == std::string_view::npos || last == 0 || !IsTemporarySuffix(n.substr(last + 1))) {
      continue;
    }
    if (n.substr(0, last).find('.') == std::string_view::npos) continue;
    const std::string path = folder + (folder.empty() || folder.back() == '/' ? "" : "/") + name;
    GStatBuf st;
    if (g_lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    if (now_s - static_cast<gint64>(st.st_mtime) < min_age_s) continue;
    if (g_unlink(path.c_str()) == 0) ++removed;
  }
  g_dir_close(dir);
  return removed;
}

}  // namespace orv
