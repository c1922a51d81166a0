#include "platform/data_folders.h"

#include <filesystem>
#include <system_error>

namespace orv {

namespace fs = std::filesystem;

void CreateDataFolders(const std::string& data_dir) {
  std::error_code ec;
  fs::create_directories(fs::path(data_dir) / kOrvindelFolder, ec);
  fs::create_directories(fs::path(data_dir) / kTempFolder, ec);
}

bool MigrateListFile(const std::string& program_dir, const std::string& orvindel_dir,
                     const std::string& name) {
  std::error_code ec;
  const fs::path from = fs::path(program_dir) / name;
  const fs::path to = fs::path(orvindel_dir) / name;
  if (!fs::is_regular_file(from, ec) || fs::exists(fs::symlink_status(to, ec))) return false;
  // A hard link claims the target name atomically and fails if it is taken,
  // so a file that appears meanwhile is never replaced.
  fs::create_hard_link(from, to, ec);
  if (!ec) {
    fs::remove(from, ec);
    return true;
  }
  // Across file systems: copy without overwriting, then remove the original
  // only when the copy is complete.
  if (!fs::copy_file(from, to, fs::copy_options::none, ec) || ec) return false;
  fs::remove(from, ec);
  return true;
}

}  // namespace orv
