#include "platform/favorites_folder.h"

#include <gio/gio.h>

#include <filesystem>

#include "platform/files.h"

namespace orv {

namespace {

// A desktop entry is a few lines; a larger file is not one.
constexpr size_t kMaxDesktopEntryBytes = 64 * 1024;

std::string TakeString(gchar* value) {
  std::string out = value ? value : "";
  g_free(value);
  return out;
}

}  // namespace

std::string DefaultFavoritesFolder() {
  return (std::filesystem::path(g_get_home_dir()) / "Favorites").string();
}

std::vector<FolderEntry> ListFolder(const std::string& folder, size_t limit) {
  std::vector<FolderEntry> entries;
  GFile* dir = g_file_new_for_path(folder.c_str());
  GFileEnumerator* children = g_file_enumerate_children(
      dir,
      G_FILE_ATTRIBUTE_STANDARD_NAME "," G_FILE_ATTRIBUTE_STANDARD_DISPLAY_NAME
      "," G_FILE_ATTRIBUTE_STANDARD_TYPE "," G_FILE_ATTRIBUTE_STANDARD_IS_HIDDEN
      "," G_FILE_ATTRIBUTE_STANDARD_IS_BACKUP "," G_FILE_ATTRIBUTE_STANDARD_IS_SYMLINK
      "," G_FILE_ATTRIBUTE_STANDARD_ICON,
      G_FILE_QUERY_INFO_NONE, nullptr, nullptr);
  g_object_unref(dir);
  if (!children) return entries;
  while (entries.size() < limit) {
    GFileInfo* info = g_file_enumerator_next_file(children, nullptr, nullptr);
    if (!info) break;
    if (!g_file_info_get_is_hidden(info) && !g_file_info_get_is_backup(info)) {
      FolderEntry e;
      e.file_name = g_file_info_get_name(info);
      e.display_name = g_file_info_get_display_name(info);
      e.path = (std::filesystem::path(folder) / e.file_name).string();
      if (g_file_info_get_file_type(info) == G_FILE_TYPE_DIRECTORY) {
        e.type = FolderEntry::Type::kFolder;
      } else {
        e.type = g_file_info_get_is_symlink(info) ? FolderEntry::Type::kSymlink
                                                  : FolderEntry::Type::kFile;
        if (GIcon* icon = g_file_info_get_icon(info)) e.icon = TakeString(g_icon_to_string(icon));
      }
      entries.push_back(std::move(e));
    }
    g_object_unref(info);
  }
  g_object_unref(children);
  return entries;
}

bool ReadDesktopLink(const std::string& path, std::string* name, std::string* url) {
  const auto bytes = ReadFileBytes(path, kMaxDesktopEntryBytes);
  if (!bytes) return false;
  GKeyFile* file = g_key_file_new();
  bool link = false;
  if (g_key_file_load_from_data(file, bytes->data(), bytes->size(), G_KEY_FILE_NONE, nullptr)) {
    link = TakeString(g_key_file_get_string(file, G_KEY_FILE_DESKTOP_GROUP,
                                            G_KEY_FILE_DESKTOP_KEY_TYPE, nullptr)) ==
           G_KEY_FILE_DESKTOP_TYPE_LINK;
    if (link && url) {
      *url = TakeString(
          g_key_file_get_string(file, G_KEY_FILE_DESKTOP_GROUP, G_KEY_FILE_DESKTOP_KEY_URL, nullptr));
    }
    if (link && name) {
      std::string value = TakeString(g_key_file_get_locale_string(
          file, G_KEY_FILE_DESKTOP_GROUP, G_KEY_FILE_DESKTOP_KEY_NAME, nullptr, nullptr));
      if (!value.empty()) *name = value;
    }
  }
  g_key_file_free(file);
  return link;
}

std::string SymlinkTarget(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path target = std::filesystem::read_symlink(path, ec);
  if (ec) return "";
  if (target.is_absolute()) return target.string();
  return (std::filesystem::path(path).parent_path() / target).lexically_normal().string();
}

}  // namespace orv
