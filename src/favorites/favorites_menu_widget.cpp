#include "favorites/favorites_menu_widget.h"

#include <glib.h>

#include <algorithm>
#include <filesystem>

#include "engine/web_browser.h"
#include "favorites/favorites_menu.h"
#include "platform/error_report.h"
#include "platform/favorites_folder.h"
#include "platform/files.h"

namespace orv {

namespace {

// A shortcut is a few lines; a larger file is not one.
constexpr size_t kMaxShortcutBytes = 64 * 1024;
// A menu of more entries than this cannot be used anyway, and a folder of
// millions must not stall the window.
constexpr size_t kMaxFolderEntries = 4096;

Gtk::MenuItem* MakeItem(const std::string& caption, const Glib::RefPtr<Gio::Icon>& icon) {
  auto* item = Gtk::manage(new Gtk::MenuItem());
  auto* box = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 6));
  if (icon) box->pack_start(*Gtk::manage(new Gtk::Image(icon, Gtk::ICON_SIZE_MENU)), false, false);
  auto* label = Gtk::manage(new Gtk::Label(caption, Gtk::ALIGN_START));
  box->pack_start(*label, true, true);
  item->add(*box);
  item->show_all();
  return item;
}

Glib::RefPtr<Gio::Icon> LinkIcon() {
  return Gio::ThemedIcon::create(
      std::vector<Glib::ustring>{"web-browser", "applications-internet", "text-html"});
}

}  // namespace

std::string LocaleCollationKey(std::string_view text) {
  gchar* folded = g_utf8_casefold(text.data(), static_cast<gssize>(text.size()));
  gchar* key = g_utf8_collate_key(folded, -1);
  std::string out = key ? key : "";
  g_free(key);
  g_free(folded);
  return out;
}

std::string MenuItemCaption(const Gtk::MenuItem& item) {
  const Gtk::Widget* child = item.get_child();
  if (const auto* label = dynamic_cast<const Gtk::Label*>(child)) return label->get_text();
  if (const auto* box = dynamic_cast<const Gtk::Box*>(child)) {
    for (const Gtk::Widget* w : box->get_children()) {
      if (const auto* label = dynamic_cast<const Gtk::Label*>(w)) return label->get_text();
    }
  }
  return "";
}

std::string TFavoritesMenu::DefaultFolder() { return DefaultFavoritesFolder(); }

TFavoritesMenu::TFavoritesMenu(Gtk::Window* owner, std::string folder)
    : owner_(owner), folder_(folder.empty() ? DefaultFolder() : std::move(folder)) {
  Caption = std::filesystem::path(folder_).filename().string();
  if (Caption.empty()) Caption = "Favorites";
}

TFavoritesMenu::~TFavoritesMenu() {
  // The whole menu goes with the component, and so leaves the menu bar.
  if (top_ && top_->get_parent()) {
    if (auto* shell = dynamic_cast<Gtk::Container*>(top_->get_parent())) shell->remove(*top_);
  }
}

void TFavoritesMenu::Build() {
  records_.clear();
  top_ = std::make_unique<Gtk::MenuItem>(Caption);
  top_->set_submenu(*Gtk::manage(new Gtk::Menu()));
  if (MainMenu) {
    const int count = static_cast<int>(MainMenu->get_children().size());
    MainMenu->insert(*top_, TopItemPosition(Menupos, count));
  }
  top_->show();
  AddFixedItems();
  Fill(*top_, folder_);
}

void TFavoritesMenu::AddFixedItems() {
  Gtk::Menu* menu = top_->get_submenu();
  if (Options & AddFavorites) {
    auto* add = MakeItem(Localization.AddFavorites,
                         Gio::ThemedIcon::create("bookmark-new", true));
    add->signal_activate().connect([this] {
      RunReported([&] {
        if (OnAddFavorites) OnAddFavorites();
      });
    });
    menu->append(*add);
  }
  if (!menu->get_children().empty()) {
    auto* separator = Gtk::manage(new Gtk::SeparatorMenuItem());
    separator->show();
    menu->append(*separator);
  }
  // The import and export items belong to engines that bring a favorites
  // import and export wizard of their own; this one has none, so they never
  // show.
}

void TFavoritesMenu::Fill(Gtk::MenuItem& item, const std::string& folder) {
  ++fills_;
  Gtk::Menu* menu = item.get_submenu();
  if (!menu) {
    menu = Gtk::manage(new Gtk::Menu());
    item.set_submenu(*menu);
  }
  // The hidden placeholder that made the item a submenu has done its work.
  for (Gtk::Widget* child : menu->get_children()) {
    if (!child->get_visible()) menu->remove(*child);
  }

  struct Found {
    std::string name;
    std::string key;
    Record record;
    Glib::RefPtr<Gio::Icon> icon;
  };
  std::vector<Found> found;
  for (const FolderEntry& entry : ListFolder(folder, kMaxFolderEntries)) {
    Found f;
    f.record.path = entry.path;
    f.name = entry.display_name;
    Glib::RefPtr<Gio::Icon> own_icon;
    if (!entry.icon.empty()) RunGuarded([&] { own_icon = Gio::Icon::create(entry.icon); });
    if (entry.type == FolderEntry::Type::kFolder) {
      f.record.kind = Kind::kFolder;
      f.icon = Gio::ThemedIcon::create("folder", true);
    } else if (entry.type == FolderEntry::Type::kSymlink) {
      f.record.kind = Kind::kSymlink;
      f.icon = own_icon;
    } else if (IsInternetShortcutName(entry.file_name)) {
      f.record.kind = Kind::kShortcut;
      f.name = MenuEntryName(f.name);
      f.icon = LinkIcon();
    } else if (IsDesktopEntryName(entry.file_name) && ReadDesktopLink(entry.path, &f.name, nullptr)) {
      f.record.kind = Kind::kDesktopLink;
      if (f.name == entry.display_name) f.name = MenuEntryName(f.name);
      f.icon = LinkIcon();
    } else {
      f.record.kind = Kind::kFile;
      f.icon = own_icon;
    }
    f.key = LocaleCollationKey(f.name);
    found.push_back(std::move(f));
  }

  if (found.empty()) {
    auto* empty = Gtk::manage(new Gtk::MenuItem(" (Empty) "));
    empty->set_sensitive(false);
    empty->show();
    menu->append(*empty);
    return;
  }
  // Folders first, as a file manager shows them, then by name in the
  // user's collation.
  std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
    const bool fa = a.record.kind == Kind::kFolder;
    const bool fb = b.record.kind == Kind::kFolder;
    if (fa != fb) return fa;
    return a.key < b.key;
  });
  for (Found& f : found) {
    const int tag = static_cast<int>(records_.size());
    Gtk::MenuItem* entry = MakeItem(MenuCaption(f.name, MaxWidth), f.icon);
    f.record.item = entry;
    records_.push_back(std::move(f.record));
    if (records_.back().kind == Kind::kFolder) {
      auto* sub = Gtk::manage(new Gtk::Menu());
      auto* placeholder = Gtk::manage(new Gtk::MenuItem());
      placeholder->set_no_show_all(true);
      sub->append(*placeholder);
      entry->set_submenu(*sub);
      // The submenu opens when the pointer rests on the item or the keyboard
      // enters it; either way it is filled first.
      entry->signal_select().connect([this, tag] { Choose(tag); });
    }
    entry->signal_activate().connect([this, tag] { Choose(tag); });
    menu->append(*entry);
  }
}

std::string TFavoritesMenu::ResolveEntry(const Record& record) const {
  switch (record.kind) {
    case Kind::kShortcut:
      if (auto bytes = ReadFileBytes(record.path, kMaxShortcutBytes)) {
        return InternetShortcutUrl(*bytes);
      }
      return "";
    case Kind::kDesktopLink: {
      std::string url;
      ReadDesktopLink(record.path, nullptr, &url);
      return url;
    }
    case Kind::kSymlink:
      return SymlinkTarget(record.path);
    case Kind::kFile:
      // A page kept in the folder opens as itself.
      return record.path;
    case Kind::kFolder:
      break;
  }
  return "";
}

void TFavoritesMenu::Choose(int tag) {
  if (tag < 0 || tag >= static_cast<int>(records_.size())) return;
  if (records_[tag].kind == Kind::kFolder) {
    if (records_[tag].expanded) return;
    records_[tag].expanded = true;
    // Fill appends records: take what is needed before the vector moves.
    Gtk::MenuItem* item = records_[tag].item;
    const std::string path = records_[tag].path;
    Fill(*item, path);
    return;
  }
  const std::string url = ResolveEntry(records_[tag]);
  Gtk::MenuItem* item = records_[tag].item;
  if (OnURLSelected) {
    OnURLSelected(*item, url);
  } else if (Webbrowser) {
    Webbrowser->Navigate(url);
  }
}

}  // namespace orv
