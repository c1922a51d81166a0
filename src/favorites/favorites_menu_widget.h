// TFavoritesMenu: the Favorites folder (~/Favorites) as a drop-down menu in
// a window's menu bar. Subfolders become submenus, filled the first time they
// open; choosing an entry resolves it to a URL: an Internet Shortcut (.url)
// or a desktop link entry by its "URL" key, a symbolic link by its target.
#pragma once

#include <gtkmm.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

class TWebBrowser;

class TFavoritesMenu {
 public:
  enum Option : unsigned {
    AddFavorites = 1,
    OrganizeFavorites = 2,
    ImportFavorites = 4,
    ExportFavorites = 8,
  };
  enum class ResolveUrlMode { IntShCut, IniFile };
  struct LocalizationTexts {
    std::string AddFavorites = "Add to Favorites";
    std::string OrganizeFavorites;
    std::string ImportFavorites;
    std::string ExportFavorites = "Export Favorites";
  };

  // `folder` is the Favorites folder; empty means ~/Favorites.
  explicit TFavoritesMenu(Gtk::Window* owner, std::string folder = "");
  ~TFavoritesMenu();
  TFavoritesMenu(const TFavoritesMenu&) = delete;
  TFavoritesMenu& operator=(const TFavoritesMenu&) = delete;

  static std::string DefaultFolder();

  // Published properties.
  TWebBrowser* Webbrowser = nullptr;
  LocalizationTexts Localization;
  unsigned Options = AddFavorites | OrganizeFavorites;
  Gtk::MenuShell* MainMenu = nullptr;
  int Menupos = 1;
  int MaxWidth = 50;
  // The top item's caption; the folder's own name unless set.
  std::string Caption;
  // Both read the shortcut file's "URL" key: this platform has no shell
  // object for Internet Shortcuts.
  ResolveUrlMode ResolveUrl = ResolveUrlMode::IntShCut;
  // This platform has no channel shortcuts; kept for those who set it.
  bool Channels = false;
  std::function<void(Gtk::MenuItem& sender, const std::string& url)> OnURLSelected;
  // Runs "Add to Favorites".
  std::function<void()> OnAddFavorites;

  // Puts the top item into MainMenu and fills it. Call once, after the
  // properties are set.
  void Build();

  Gtk::MenuItem* TopItem() { return top_.get(); }
  const std::string& Folder() const { return folder_; }
  // How many folders have been read, the top one included.
  int FillCount() const { return fills_; }

  // Opening a submenu counts as choosing its item: a folder is filled on its
  // first opening, any other entry hands its URL on.
  void Choose(int tag);

 private:
  enum class Kind { kFolder, kShortcut, kDesktopLink, kSymlink, kFile };
  struct Record {
    std::string path;
    Kind kind;
    bool expanded = false;
    Gtk::MenuItem* item = nullptr;
  };

  void AddFixedItems();
  void Fill(Gtk::MenuItem& item, const std::string& folder);
  std::string ResolveEntry(const Record& record) const;

  Gtk::Window* owner_;
  std::string folder_;
  std::unique_ptr<Gtk::MenuItem> top_;
  std::vector<Record> records_;
  int fills_ = 0;
};

// A menu item's caption, whether its child is a label or an icon and label.
std::string MenuItemCaption(const Gtk::MenuItem& item);

// A key whose byte order is the user's locale collation, ignoring case.
std::string LocaleCollationKey(std::string_view text);

}  // namespace orv
