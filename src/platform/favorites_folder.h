// The system Favorites folder (~/Favorites) as the file system holds it:
// its entries, the desktop link entries in it and where its links point.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace orv {

struct FolderEntry {
  enum class Type { kFolder, kSymlink, kFile };
  Type type = Type::kFile;
  std::string path;
  std::string file_name;
  std::string display_name;
  // The file's own icon in GIcon's text form; empty for folders.
  std::string icon;
};

// ~/Favorites.
std::string DefaultFavoritesFolder();

// The entries of `folder` in the order the file system gives them, hidden
// and backup files left out, at most `limit` of them. A folder that cannot
// be read has none.
std::vector<FolderEntry> ListFolder(const std::string& folder, size_t limit);

// A desktop entry of type Link: its name in the user's language (left as it
// was when the entry has none) and its "URL". Anything else answers false.
// Either out-pointer may be null.
bool ReadDesktopLink(const std::string& path, std::string* name, std::string* url);

// Where the symbolic link `path` points, made absolute; empty when it
// cannot be read.
std::string SymlinkTarget(const std::string& path);

}  // namespace orv
