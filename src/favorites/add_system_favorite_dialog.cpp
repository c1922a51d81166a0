#include "favorites/add_system_favorite_dialog.h"

#include <glib.h>

#include <algorithm>
#include <filesystem>

#include "favorites/favorites_menu.h"
#include "platform/files.h"

namespace orv {

namespace fs = std::filesystem;

namespace {
constexpr int kMaxFolderDepth = 4;
constexpr size_t kMaxFolders = 300;
}  // namespace

std::string WriteInternetShortcut(const std::string& folder, const std::string& name,
                                  const std::string& url) {
  const std::string text = InternetShortcutText(url);
  if (text.empty() || url.empty()) throw FileError("This address cannot be kept in a shortcut.");
  if (g_mkdir_with_parents(folder.c_str(), 0700) != 0) {
    throw FileError("The folder \"" + folder + "\" cannot be created.");
  }
  const std::string file = InternetShortcutFileName(name);
  const std::string stem = file.substr(0, file.size() - 4);
  std::string path = (fs::path(folder) / file).string();
  for (int n = 2; FileExists(path); ++n) {
    if (n > 1000) throw FileError("There are too many shortcuts named \"" + stem + "\".");
    path = (fs::path(folder) / (stem + " (" + std::to_string(n) + ").url")).string();
  }
  WriteFileAtomic(path, text);
  return path;
}

std::vector<std::string> ShortcutFolders(const std::string& root) {
  std::vector<std::string> out = {root};
  std::error_code ec;
  fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, ec);
  for (; !ec && it != fs::recursive_directory_iterator() && out.size() < kMaxFolders;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!name.empty() && name[0] == '.') {
      it.disable_recursion_pending();
      continue;
    }
    // Symbolic links are not followed: a link to a parent would never end.
    if (it->is_directory(ec) && !it->is_symlink(ec)) {
      out.push_back(it->path().string());
      if (it.depth() + 1 >= kMaxFolderDepth) it.disable_recursion_pending();
    }
  }
  std::sort(out.begin() + 1, out.end());
  return out;
}

AddSystemFavoriteDialog::AddSystemFavoriteDialog(Gtk::Window* parent, const std::string& root,
                                                 const std::string& name, const std::string& url)
    : Gtk::Dialog("Add to Favorites", true),
      root_(root),
      url_(url),
      folders_(ShortcutFolders(root)),
      name_label_("Name:", Gtk::ALIGN_START),
      folder_label_("Create in:", Gtk::ALIGN_START) {
  if (parent) set_transient_for(*parent);
  set_resizable(false);
  set_keep_above(true);
  add_button("_Cancel", Gtk::RESPONSE_CANCEL);
  add_button("_OK", Gtk::RESPONSE_OK);
  set_default_response(Gtk::RESPONSE_OK);
  name_edit.set_text(name);
  name_edit.set_width_chars(40);
  name_edit.set_activates_default(true);
  for (const std::string& f : folders_) {
    const std::string relative = fs::path(f).lexically_relative(root).string();
    folder_choice.append(relative == "." ? fs::path(root).filename().string() : relative);
  }
  folder_choice.set_active(0);
  grid_.set_row_spacing(6);
  grid_.set_column_spacing(8);
  grid_.set_border_width(12);
  grid_.attach(name_label_, 0, 0);
  grid_.attach(name_edit, 1, 0);
  grid_.attach(folder_label_, 0, 1);
  grid_.attach(folder_choice, 1, 1);
  get_content_area()->pack_start(grid_, true, true);
  grid_.show_all();
}

std::string AddSystemFavoriteDialog::Run() {
  if (run() != Gtk::RESPONSE_OK) return "";
  const int chosen = folder_choice.get_active_row_number();
  const std::string folder =
      chosen >= 0 && chosen < static_cast<int>(folders_.size()) ? folders_[chosen] : root_;
  return WriteInternetShortcut(folder, name_edit.get_text(), url_);
}

}  // namespace orv
