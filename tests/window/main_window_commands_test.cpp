// The menus and keys of the main window, built from the command table, and
// the layout faults a new user met first.
#include <gtest/gtest.h>

#include <set>

#include "common/ini_file.h"
#include "engine/find_dialog.h"
#include "platform/main_loop.h"
#include "shell/main_commands.h"
#include "shell/main_window.h"
#include "window_fixture.h"

namespace orv::test {
namespace {

// Answers every probe as the test says, without a network.
class AnsweringHttp final : public HttpService {
 public:
  bool Probe(const std::string&) override { return reachable; }
  void Fetch(const std::string&, const FetchLimits&,
             std::function<void(std::optional<std::string>)> done) override {
    done(std::nullopt);
  }
  bool reachable = true;
};

class MainCommandsTest : public WindowTest {
 protected:
  TMainForm& Main() { return app_->MainForm(); }
  void Start() {
    services_.http = &http_;
    StartApp({"http://opener.test/"});
    ASSERT_TRUE(Settle());
  }
  bool Key(guint keyval, int mods = 0) { return PressKey(Main(), keyval, mods); }
  std::string AddressBar() { return Main().e3.get_text(); }

  AnsweringHttp http_;
};

TEST_F(MainCommandsTest, BothMenusAreBuiltFromTheTable) {
  Start();
  std::vector<std::string> top_quick, top_tab;
  for (const CommandRow& row : MainCommands()) {
    Gtk::MenuItem* item = Main().MenuItemOf(row.item);
    ASSERT_NE(item, nullptr) << row.item << " has no item";
    EXPECT_EQ(std::string(item->get_label()), row.caption) << row.item;
    EXPECT_EQ(item->get_visible(), !row.hidden) << row.item;
    Gtk::Widget* menu = item->get_parent();
    if (row.parent.empty()) {
      EXPECT_EQ(menu, row.menu == CommandMenu::kQuickMenu ? static_cast<Gtk::Widget*>(&Main().poptool)
                                                          : static_cast<Gtk::Widget*>(&Main().tabpop))
          << row.item;
      (row.menu == CommandMenu::kQuickMenu ? top_quick : top_tab).push_back(std::string(row.item));
    } else {
      EXPECT_EQ(menu, Main().MenuItemOf(row.parent)->get_submenu()) << row.item;
    }
    // The shortcut is shown beside the item.
    if (!row.shortcut.empty()) {
      auto* label = dynamic_cast<Gtk::AccelLabel*>(item->get_child());
      ASSERT_NE(label, nullptr) << row.item;
      guint key = 0;
      Gdk::ModifierType mods;
      label->get_accel(key, mods);
      EXPECT_NE(key, 0u) << row.item;
    }
  }
  // The menus hold their items in the table's order.
  auto names = [&](Gtk::Menu& menu) {
    std::vector<std::string> out;
    for (Gtk::Widget* child : menu.get_children()) {
      for (const CommandRow& row : MainCommands()) {
        if (Main().MenuItemOf(row.item) == child) out.push_back(std::string(row.item));
      }
    }
    return out;
  };
  EXPECT_EQ(names(Main().poptool), top_quick);
  EXPECT_EQ(names(Main().tabpop), top_tab);
}

TEST_F(MainCommandsTest, AShortcutRunsItsCommandThoughTheItemIsNotListed) {
  Start();
  const int pages = Main().nbook.PageCount();
  Main().DuplicateTab1.hide();
  EXPECT_TRUE(Key(GDK_KEY_k, GDK_CONTROL_MASK));
  ASSERT_TRUE(Settle());
  EXPECT_EQ(Main().nbook.PageCount(), pages + 1);
  // Hidden rows of the table itself: their items are never listed, and
  // choosing a search engine from the hidden submenu still works.
  EXPECT_FALSE(Main().SetQuickWebSearch1.get_visible());
  Main().gt3.activate();
  EXPECT_EQ(Main().Settings.SearchEngine, 3);
  const bool panel = Main().p2.get_visible();
  EXPECT_TRUE(Key(GDK_KEY_F2));
  EXPECT_NE(Main().p2.get_visible(), panel);
}

TEST_F(MainCommandsTest, ATextFieldKeepsItsEditingKeys) {
  Start();
  Main().FocusAddressBar();
  ASSERT_TRUE(Main().e3.is_focus());
  Main().e3.set_text("http://typed.test/");
  Main().e3.set_position(-1);
  EXPECT_TRUE(Key(GDK_KEY_a, GDK_CONTROL_MASK));
  int start = 0, end = 0;
  ASSERT_TRUE(Main().e3.get_selection_bounds(start, end));
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, 18);
  EXPECT_TRUE(Key(GDK_KEY_x, GDK_CONTROL_MASK));
  EXPECT_EQ(AddressBar(), "");
  // Other tests share the display's clipboard: paste only needs to reach
  // the field.
  EXPECT_TRUE(Key(GDK_KEY_v, GDK_CONTROL_MASK));
  Main().e3.set_text("http://typed.test/");
  Main().e3.set_position(-1);
  EXPECT_TRUE(Key(GDK_KEY_BackSpace));
  EXPECT_EQ(AddressBar(), "http://typed.test");
  // The window's own commands still work from the address bar.
  const int pages = Main().nbook.PageCount();
  EXPECT_TRUE(Key(GDK_KEY_t, GDK_CONTROL_MASK));
  EXPECT_EQ(Main().nbook.PageCount(), pages + 1);
}

TEST_F(MainCommandsTest, ANewTabPutsTheKeyboardIntoTheAddressBar) {
  Start();
  Main().FirstBrowser()->GrabFocus();
  ASSERT_FALSE(Main().e3.is_focus());
  EXPECT_TRUE(Key(GDK_KEY_t, GDK_CONTROL_MASK));
  ASSERT_TRUE(Settle());
  EXPECT_TRUE(Main().e3.is_focus());
  Main().FirstBrowser()->GrabFocus();
  Main().XNEWB.clicked();
  ASSERT_TRUE(Settle());
  EXPECT_TRUE(Main().e3.is_focus());
}

TEST_F(MainCommandsTest, APageLoadingWhileAnAddressIsTypedLeavesTheTextAndTheKeyboard) {
  web_.pages["http://home.test/"] = {"Home", "home"};
  Start();
  Main().Settings.NewTabOpensHome = true;
  Main().Settings.HomePage = "http://home.test/";
  // The new tab's home page loads while the user types, and another
  // program's window takes the keyboard for a moment.
  Main().NewTab20Click();
  for (guint key : {GDK_KEY_a, GDK_KEY_b}) Key(key);
  for (bool in : {false, true}) {
    GdkEventFocus focus{GDK_FOCUS_CHANGE, Main().get_window()->gobj(), TRUE,
                        static_cast<gint16>(in)};
    gboolean handled = FALSE;
    g_signal_emit_by_name(Main().gobj(), in ? "focus-in-event" : "focus-out-event", &focus,
                          &handled);
    if (!in) {
      ASSERT_TRUE(Settle());
    }
  }
  ASSERT_TRUE(Settle());
  EXPECT_EQ(Main().GetCurrentWB()->LocationURL(), "http://home.test/");
  EXPECT_EQ(AddressBar(), "ab");
  EXPECT_TRUE(Main().e3.is_focus());
  // Once the keyboard has gone to the page, the page's address shows again.
  Main().GetCurrentWB()->GrabFocus();
  Main().GetCurrentWB()->Refresh();
  ASSERT_TRUE(Settle());
  EXPECT_EQ(AddressBar(), "http://home.test/");
}

TEST_F(MainCommandsTest, CaptionsFollowTheLanguageFile) {
  Start();
  WriteFile(OrvindelDir() + "Slovenscina.jez", "[poptool]\nExit=Izhod\nWeb Search=Iskanje\n");
  Main().CurrentLanguageFile = OrvindelDir() + "Slovenscina.jez";
  Main().mainjezik();
  EXPECT_EQ(Main().Exit2.get_label(), "Izhod");
  EXPECT_EQ(Main().QuickWebSearch3.get_label(), "Iskanje");
  EXPECT_EQ(Main().Find1.get_label(), "Find");
  EXPECT_EQ(Main().gt1.get_label(), "Google") << "not translated";
  Main().CurrentLanguageFile.clear();
  Main().mainjezik();
  EXPECT_EQ(Main().Exit2.get_label(), "Exit");
}

TEST_F(MainCommandsTest, TheSidePanelNeverMakesTheWindowGrow) {
  WriteFile(OrvindelDir() + "Progset.cfg",
            "[Velikost]\nSirina=900\nVisina=600\nLevo=10\nGor=10\nStatus=0\n");
  Start();
  ASSERT_TRUE(Pump([&] { return Main().get_allocated_width() == 900; }, 3000));
  Main().RedirectMode = true;
  Main().FirstBrowser()->Navigate("http://clicked.test/");
  ASSERT_TRUE(Pump([&] { return Main().SideBrowser() != nullptr; }));
  EXPECT_TRUE(Pump([&] {
    return Main().spliter.get_allocated_width() - Main().spliter.get_position() == 480;
  }, 3000)) << Main().spliter.get_allocated_width() << " - " << Main().spliter.get_position();
  Pump([] { return false; }, 300);
  int width = 0, height = 0;
  Main().get_size(width, height);
  EXPECT_EQ(width, 900);
  EXPECT_EQ(Main().get_allocated_width(), 900);
  ASSERT_TRUE(Main().RequestClose());
  EXPECT_EQ(IniFile::Parse(ReadFile(OrvindelDir() + "Progset.cfg")).ReadInteger("Velikost", "Sirina", 0),
            900);
}

TEST_F(MainCommandsTest, AnAddressTypedInRedirectModeLeavesTheTabAsItWas) {
  Start();
  Main().RedirectMode = true;
  Main().FocusAddressBar();
  Main().e3.set_text("http://typed.test/");
  Main().e3KeyPress();
  ASSERT_TRUE(Settle());
  ASSERT_NE(Main().SideBrowser(), nullptr);
  EXPECT_EQ(Main().SideBrowser()->LocationURL(), "http://typed.test/");
  Main().Timer1Timer();
  EXPECT_EQ(AddressBar(), "http://opener.test/");
  EXPECT_EQ(Main().e3.Position(), 0);
  EXPECT_TRUE(Main().sbrefresh.get_visible());
  EXPECT_FALSE(Main().sbstop.get_visible());
}

TEST_F(MainCommandsTest, TheFindDialogOpensCentredOnItsWindow) {
  WriteFile(OrvindelDir() + "Progset.cfg",
            "[Velikost]\nSirina=900\nVisina=600\nLevo=100\nGor=80\nStatus=0\n");
  Start();
  Main().Find1Click();
  FindDialog* dialog = Main().GetCurrentWB()->FindDialogIfAny();
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(Pump([&] { return gtk_widget_get_mapped(dialog->window()); }, 3000));
  int left = 0, top = 0, width = 0, height = 0;
  gtk_window_get_position(GTK_WINDOW(dialog->window()), &left, &top);
  gtk_window_get_size(GTK_WINDOW(dialog->window()), &width, &height);
  int main_left = 0, main_top = 0;
  Main().get_position(main_left, main_top);
  EXPECT_NEAR(left + width / 2, main_left + 450, 2);
  EXPECT_NEAR(top + height / 2, main_top + 300, 2);
  dialog->Close();
}

TEST_F(MainCommandsTest, EveryQuickPanelButtonHasAGlyphOfItsOwn) {
  Start();
  std::set<std::string> glyphs;
  int buttons = 0;
  for (Gtk::Widget* child : Main().p2.get_children()) {
    auto* button = dynamic_cast<Gtk::Button*>(child);
    if (!button) continue;
    ++buttons;
    auto* image = dynamic_cast<Gtk::Image*>(button->get_image());
    ASSERT_NE(image, nullptr);
    const gchar* name = nullptr;
    gtk_image_get_icon_name(image->gobj(), &name, nullptr);
    ASSERT_NE(name, nullptr);
    glyphs.insert(name);
  }
  EXPECT_EQ(static_cast<int>(glyphs.size()), buttons);
}

}  // namespace
}  // namespace orv::test
