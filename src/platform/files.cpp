#include "platform/files.h"

#include <gio/gio.h>
#include <glib.h>
#include <glib/gstdio.h>

namespace orv {

bool FileExists(const std::string& path) { return g_file_test(path.c_str(), G_FILE_TEST_EXISTS); }

std::optional<std::string> ReadFileBytes(const std::string& path, size_t max_bytes) {
  GStatBuf st;
  if (g_stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  if (static_cast<size_t>(st.st_size) > max_bytes) return std::nullopt;
  gchar* data = nullptr;
  gsize length = 0;
  if (!g_file_get_contents(path.c_str(), &data, &length, nullptr)) return std::nullopt;
  std::optional<std::string> out;
  if (length <= max_bytes) out.emplace(data, length);
  g_free(data);
  return out;
}

void WriteFileAtomic(const std::string& path, const std::string& bytes) {
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

}  // namespace orv
