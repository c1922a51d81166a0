// The quick menu and the tab menu built from the command table, the
// window's shortcuts, the check marks and the translated captions.
#include "shell/main_window.h"

#include <map>

#include "common/ini_file.h"
#include "common/text.h"
#include "platform/error_report.h"
#include "platform/files.h"
#include "shell/main_commands.h"

namespace orv {

namespace {

// Each item of the command table bound to its member and its handler. A
// row without a binding has no item: the window tests hold the two tables
// together.
struct Binding {
  std::string_view item;
  Gtk::MenuItem& (*member)(TMainForm&);
  void (TMainForm::*handler)();
};

template <auto Member>
Gtk::MenuItem& ItemOf(TMainForm& form) {
  return form.*Member;
}

constexpr Binding kBindings[] = {
    {"em1", &ItemOf<&TMainForm::em1>, &TMainForm::em1Click},
    {"pm2", &ItemOf<&TMainForm::pm2>, &TMainForm::pm2Click},
    {"fgm", &ItemOf<&TMainForm::fgm>, &TMainForm::fgmClick},
    {"snb", &ItemOf<&TMainForm::snb>, &TMainForm::snbClick},
    {"Files1", &ItemOf<&TMainForm::Files1>, nullptr},
    {"OpenFile1", &ItemOf<&TMainForm::OpenFile1>, &TMainForm::OpenFile1Click},
    {"NewSession1", &ItemOf<&TMainForm::NewSession1>, &TMainForm::NewSession1Click},
    {"SaveAs1", &ItemOf<&TMainForm::SaveAs1>, &TMainForm::SaveAs1Click},
    {"Print2", &ItemOf<&TMainForm::Print2>, &TMainForm::SpeedButton20Click},
    {"PrintPreview2", &ItemOf<&TMainForm::PrintPreview2>, &TMainForm::SpeedButton21Click},
    {"FindOnThisPage2", &ItemOf<&TMainForm::FindOnThisPage2>, &TMainForm::FindOnThisPage2Click},
    {"Find1", &ItemOf<&TMainForm::Find1>, &TMainForm::Find1Click},
    {"Edit2", &ItemOf<&TMainForm::Edit2>, nullptr},
    {"Cut2", &ItemOf<&TMainForm::Cut2>, &TMainForm::Cut2Click},
    {"Copy2", &ItemOf<&TMainForm::Copy2>, &TMainForm::Copy2Click},
    {"Paste2", &ItemOf<&TMainForm::Paste2>, &TMainForm::Paste2Click},
    {"Sellectall2", &ItemOf<&TMainForm::Sellectall2>, &TMainForm::Sellectall2Click},
    {"SetTransparent1", &ItemOf<&TMainForm::SetTransparent1>, &TMainForm::SetTransparent1Click},
    {"ransparent1", &ItemOf<&TMainForm::ransparent1>, &TMainForm::ransparent1Click},
    {"ools2", &ItemOf<&TMainForm::ools2>, nullptr},
    {"DeleteTemporaryInternetFiles2", &ItemOf<&TMainForm::DeleteTemporaryInternetFiles2>,
     &TMainForm::DeleteTemporaryInternetFiles2Click},
    {"DeleteTemporaryInternetFilesOnRefresh1",
     &ItemOf<&TMainForm::DeleteTemporaryInternetFilesOnRefresh1>, &TMainForm::deleterefreshClick},
    {"ViewSource2", &ItemOf<&TMainForm::ViewSource2>, &TMainForm::Viewsource1Click},
    {"WYSIWYGDesignerdevelopmentversion1",
     &ItemOf<&TMainForm::WYSIWYGDesignerdevelopmentversion1>,
     &TMainForm::WYSIWYGDesignerdevelopmentversion1Click},
    {"QuickWebSearch3", &ItemOf<&TMainForm::QuickWebSearch3>, &TMainForm::sb16Click},
    {"SetQuickWebSearch1", &ItemOf<&TMainForm::SetQuickWebSearch1>, nullptr},
    {"gt1", &ItemOf<&TMainForm::gt1>, &TMainForm::gt1Click},
    {"gt2", &ItemOf<&TMainForm::gt2>, &TMainForm::gt2Click},
    {"gt3", &ItemOf<&TMainForm::gt3>, &TMainForm::gt3Click},
    {"gt4", &ItemOf<&TMainForm::gt4>, &TMainForm::gt4Click},
    {"dISABLE1", &ItemOf<&TMainForm::dISABLE1>, &TMainForm::dISABLE1Click},
    {"ProgressBarEndColor1", &ItemOf<&TMainForm::ProgressBarEndColor1>,
     &TMainForm::ProgressBarEndColor1Click},
    {"RSSReader1", &ItemOf<&TMainForm::RSSReader1>, &TMainForm::RSSReader1Click},
    {"AddRSS2", &ItemOf<&TMainForm::AddRSS2>, &TMainForm::AddRSS2Click},
    {"ScrollingRSS1", &ItemOf<&TMainForm::ScrollingRSS1>, &TMainForm::ScrollingRSS1Click},
    {"ReadMail1", &ItemOf<&TMainForm::ReadMail1>, &TMainForm::ReadMail1Click},
    {"MailLinkToThisPage2", &ItemOf<&TMainForm::MailLinkToThisPage2>,
     &TMainForm::Maillinktothispage1Click},
    {"FullScreen1", &ItemOf<&TMainForm::FullScreen1>, &TMainForm::FullScreen1Click},
    {"Options1", &ItemOf<&TMainForm::Options1>, &TMainForm::Options1Click},
    {"AboutOrvindel1", &ItemOf<&TMainForm::AboutOrvindel1>, &TMainForm::AboutOrvindel1Click},
    {"Exit2", &ItemOf<&TMainForm::Exit2>, &TMainForm::Exit2Click},
    {"NewTab20", &ItemOf<&TMainForm::NewTab20>, &TMainForm::NewTab20Click},
    {"CloseTabs1", &ItemOf<&TMainForm::CloseTabs1>, &TMainForm::CloseTabs1Click},
    {"CloseAllTabs1", &ItemOf<&TMainForm::CloseAllTabs1>, &TMainForm::CloseAllTabs1Click},
    {"CloseOtherTabs1", &ItemOf<&TMainForm::CloseOtherTabs1>, &TMainForm::CloseOtherTabs1Click},
    {"DuplicateTab1", &ItemOf<&TMainForm::DuplicateTab1>, &TMainForm::DuplicateTab1Click},
    {"RedirecttoNewWindow1", &ItemOf<&TMainForm::RedirecttoNewWindow1>,
     &TMainForm::RedirecttoNewWindow1Click},
    {"AddressBar1", &ItemOf<&TMainForm::AddressBar1>, &TMainForm::pm2Click},
    {"TabsPosition1", &ItemOf<&TMainForm::TabsPosition1>, nullptr},
    {"op1", &ItemOf<&TMainForm::op1>, &TMainForm::op1Click},
    {"Bottom1", &ItemOf<&TMainForm::Bottom1>, &TMainForm::Bottom1Click},
    {"AlignWindows1", &ItemOf<&TMainForm::AlignWindows1>, nullptr},
};

const Binding* BindingOf(std::string_view item) {
  for (const Binding& b : kBindings) {
    if (b.item == item) return &b;
  }
  return nullptr;
}

// The key and modifiers of a toolkit shortcut text such as "Ctrl+Shift+X".
bool AcceleratorOf(std::string_view text, guint& key, Gdk::ModifierType& mods) {
  const auto shortcut = ParseShortcut(text);
  if (!shortcut) return false;
  const std::string name = shortcut->key.size() == 1 ? AsciiLower(shortcut->key) : shortcut->key;
  key = gdk_keyval_from_name(name.c_str());
  if (key == GDK_KEY_VoidSymbol) return false;
  mods = Gdk::ModifierType(0);
  if (shortcut->ctrl) mods |= Gdk::CONTROL_MASK;
  if (shortcut->shift) mods |= Gdk::SHIFT_MASK;
  if (shortcut->alt) mods |= Gdk::MOD1_MASK;
  return true;
}

Shortcut ShortcutOfEvent(const GdkEventKey& event) {
  Shortcut s;
  s.ctrl = event.state & GDK_CONTROL_MASK;
  s.shift = event.state & GDK_SHIFT_MASK;
  s.alt = event.state & GDK_MOD1_MASK;
  // Shift+Tab and the like arrive as their own key; letters in either case
  // are the same key.
  guint key = event.keyval == GDK_KEY_ISO_Left_Tab ? GDK_KEY_Tab : gdk_keyval_to_upper(event.keyval);
  if (const char* name = gdk_keyval_name(key)) s.key = name;
  return s;
}

}  // namespace

Gtk::MenuItem* TMainForm::MenuItemOf(std::string_view item) {
  const Binding* b = BindingOf(item);
  return b ? &b->member(*this) : nullptr;
}

bool TMainForm::RunCommand(std::string_view item) {
  const Binding* b = BindingOf(item);
  if (!b || !b->handler) return false;
  (this->*b->handler)();
  return true;
}

void TMainForm::BuildMenus() {
  std::map<std::string_view, Gtk::Menu*> submenus;
  for (const CommandRow& row : MainCommands()) {
    Gtk::MenuItem* item = MenuItemOf(row.item);
    if (!item) continue;
    Gtk::Menu* menu = row.menu == CommandMenu::kQuickMenu ? &poptool : &tabpop;
    if (!row.parent.empty()) {
      Gtk::Menu*& sub = submenus[row.parent];
      if (!sub) {
        Gtk::MenuItem* parent = MenuItemOf(row.parent);
        if (!parent) continue;
        sub = Gtk::manage(new Gtk::Menu());
        parent->set_submenu(*sub);
        // A submenu sets its check marks as it opens, as the menus do.
        sub->signal_show().connect([this] { poptoolPopup(); });
      }
      menu = sub;
    }
    item->set_label(std::string(row.caption));
    item->set_use_underline(false);
    // Shown beside the item for the user; the window itself takes the keys.
    guint key = 0;
    Gdk::ModifierType mods;
    if (AcceleratorOf(row.shortcut, key, mods)) {
      if (auto* label = dynamic_cast<Gtk::AccelLabel*>(item->get_child())) {
        label->set_accel(key, mods);
      }
    }
    if (row.check == CheckState::kTabsOnTop || row.check == CheckState::kTabsAtBottom) {
      if (auto* check = dynamic_cast<Gtk::CheckMenuItem*>(item)) check->set_draw_as_radio(true);
    }
    const std::string_view name = row.item;
    if (BindingOf(name)->handler) {
      item->signal_activate().connect([this, name] {
        // Setting a check from code activates its item too; only the user's
        // choice runs the command.
        if (setting_checks_) return;
        RunReported([&] { RunCommand(name); });
      });
    }
    menu->append(*item);
    item->show();
    if (row.hidden) {
      item->hide();
      item->set_no_show_all(true);
    }
  }
  poptool.signal_show().connect([this] { poptoolPopup(); });
  tabpop.signal_show().connect([this] { poptoolPopup(); });
}

void TMainForm::poptoolPopup() {
  setting_checks_ = true;
  for (const CommandRow& row : MainCommands()) {
    if (row.floating_only) {
      if (Gtk::MenuItem* item = MenuItemOf(row.item)) item->set_visible(Settings.FloatingMode);
    }
    if (row.check == CheckState::kNone) continue;
    auto* item = dynamic_cast<Gtk::CheckMenuItem*>(MenuItemOf(row.item));
    if (!item) continue;
    bool on = false;
    switch (row.check) {
      case CheckState::kQuickPanelShown:
        on = p2.get_visible();
        break;
      case CheckState::kSocialBarShown:
        on = socialbar.get_visible();
        break;
      case CheckState::kAddressBarShown:
        on = jsand.get_visible();
        break;
      case CheckState::kFloatingMode:
        on = Settings.FloatingMode;
        break;
      case CheckState::kSiteIconsOff:
        on = Settings.SiteIconsOff;
        break;
      case CheckState::kClearCacheOnRefresh:
        on = Settings.ClearCacheOnRefresh;
        break;
      case CheckState::kTabsOnTop:
        on = Settings.TabPosition == 0;
        break;
      case CheckState::kTabsAtBottom:
        on = Settings.TabPosition == 3;
        break;
      case CheckState::kNone:
        break;
    }
    item->set_active(on);
  }
  setting_checks_ = false;
}

void TMainForm::barontopClick() { poptoolPopup(); }

void TMainForm::mainjezik() {
  IniFile language;
  if (!CurrentLanguageFile.empty()) {
    if (auto bytes = ReadFileBytes(CurrentLanguageFile, IniFile::kMaxBytes)) {
      language = IniFile::Parse(*bytes);
    }
  }
  for (const CommandRow& row : MainCommands()) {
    if (row.language_key.empty()) continue;
    if (Gtk::MenuItem* item = MenuItemOf(row.item)) item->set_label(CommandCaption(row, language));
  }
}

bool TMainForm::on_key_press_event(GdkEventKey* event) {
  const Shortcut pressed = ShortcutOfEvent(*event);
  // A text field that has the keyboard edits with its own keys first; the
  // window's commands for them act on the page otherwise.
  if (IsTextEditingKey(pressed) && FocusIsTextField() && Gtk::Window::on_key_press_event(event)) {
    return true;
  }
  if (const CommandRow* row = CommandForShortcut(pressed)) {
    if (RunCommand(row->item)) return true;
  }
  if (IsAddressBarKey(pressed)) {
    FocusAddressBar();
    return true;
  }
  return Gtk::Window::on_key_press_event(event);
}

}  // namespace orv
