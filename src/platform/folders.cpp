#include "platform/folders.h"

#include <glib.h>

#include <filesystem>
#include <system_error>

#include "platform/data_folders.h"

namespace orv {

namespace {
std::string WithSlash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}
}  // namespace

std::string Folders::OrvindelDir() const { return data_dir + kOrvindelFolder + "/"; }
std::string Folders::TempDir() const { return data_dir + kTempFolder + "/"; }

Folders Folders::FromSystem() {
  Folders f;
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  f.program_dir = ec ? std::string("./") : WithSlash(exe.parent_path().string());
  f.program_path = ec ? std::string("orvindel") : exe.string();
  const char* data = g_get_user_data_dir();
  f.data_dir = (data && *data) ? WithSlash(data) : std::string("/");
  return f;
}

std::string SystemStartPage() { return {}; }

}  // namespace orv
