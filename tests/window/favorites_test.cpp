// The favorites window, its dialogs and the Favorites-folder menu over the
// fake engine, with scripted answers and a temporary home.
#include <gtest/gtest.h>

#include <filesystem>

#include "favorites/add_favorite_dialog.h"
#include "favorites/add_system_favorite_dialog.h"
#include "favorites/edit_favorite_dialog.h"
#include "favorites/favorites_menu.h"
#include "favorites/favorites_menu_widget.h"
#include "favorites/favorites_window.h"
#include "favorites/list_file.h"
#include "platform/files.h"
#include "shell/main_window.h"
#include "window_fixture.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

ListEntry Fav(std::string name, std::string url) { return {std::move(name), 0, {std::move(url)}}; }

std::vector<std::string> Names(const ListEntries& list) {
  std::vector<std::string> out;
  for (const ListEntry& e : list) out.push_back(e.caption);
  return out;
}

class FavoritesTest : public WindowTest {
 protected:
  TMainForm& Main() { return app_->MainForm(); }
  Tffavorit& Window() { return app_->ffavorit(); }
  std::string ListPath() { return OrvindelDir() + "2favlist.ovf"; }
  void WriteList(const ListEntries& list) { WriteFile(ListPath(), SerializeListFile(list)); }
  ListEntries FileList() { return ParseListFile(ReadFile(ListPath())).entries; }
  int Loads(const std::string& address) {
    return static_cast<int>(std::count(web_.log.begin(), web_.log.end(), "load " + address));
  }
  // Starts the program and opens the favorites window over `list`.
  void Open(const ListEntries& list) {
    StartApp();
    WriteList(list);
    Window().SpeedButton9Click();
    PumpIdle();
  }
  // Runs `step` once the modal dialog the next call shows is up.
  void WhenShown(FavoriteEntryDialog& dialog, std::function<void()> step) {
    Glib::signal_timeout().connect_once(
        [&dialog, step] {
          ASSERT_TRUE(dialog.Showing());
          step();
        },
        10);
  }
};

TEST_F(FavoritesTest, AddingWithoutAFileCreatesItWithTheOneEntry) {
  StartApp();
  ASSERT_FALSE(fs::exists(ListPath()));
  Window().SpeedButton9Click();
  EXPECT_TRUE(Window().get_visible());
  Main().CurrentPageTitle = "Example page";
  Main().e3.set_text("http://example.test/");
  Tfaddfav& add = app_->faddfav();
  WhenShown(add, [&] {
    EXPECT_EQ(add.ename.get_text(), "Example page");
    EXPECT_EQ(add.eurl.get_text(), "http://example.test/");
    add.ename.set_text("Example");
    add.BitBtn2Click();
  });
  Window().BitBtn2Click();
  EXPECT_FALSE(add.get_visible());
  // Written at once, before the window closes.
  EXPECT_EQ(ReadFile(ListPath()), SerializeListFile({Fav("Example", "http://example.test/")}));
  EXPECT_EQ(Names(Window().Entries()), std::vector<std::string>{"Example"});
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(FavoritesTest, CancelAddsNothing) {
  Open({Fav("A", "http://a.test/")});
  const std::string before = ReadFile(ListPath());
  Tfaddfav& add = app_->faddfav();
  WhenShown(add, [&] { add.BitBtnCancel.clicked(); });
  Window().BitBtn2Click();
  EXPECT_EQ(Window().Entries().size(), 1u);
  EXPECT_EQ(ReadFile(ListPath()), before);
}

TEST_F(FavoritesTest, OpeningAnEntryNavigatesAndClosesTheWindow) {
  struct Case {
    const char* what;
    ListEntries list;
    int selected;
    const char* loads;  // null: nothing
  };
  const Case cases[] = {
      {"no selection opens the first", {Fav("One", "http://one.test/"), Fav("Two", "http://two.test/")}, -1, "http://one.test/"},
      {"the selected one", {Fav("One", "http://one.test/"), Fav("Two", "http://two.test/")}, 1, "http://two.test/"},
      {"an empty list opens nothing", {}, -1, nullptr},
      {"an entry without URL opens nothing", {{"Bare", 0, {}}}, -1, nullptr},
  };
  StartApp();
  for (const Case& c : cases) {
    WriteList(c.list);
    Window().SpeedButton9Click();
    Window().Select(c.selected);
    const size_t before = web_.log.size();
    Window().tabelaDblClick();
    EXPECT_FALSE(Window().get_visible()) << c.what;
    std::vector<std::string> loads;
    for (size_t i = before; i < web_.log.size(); ++i) {
      if (web_.log[i].rfind("load ", 0) == 0) loads.push_back(web_.log[i].substr(5));
    }
    if (c.loads) {
      EXPECT_EQ(loads, std::vector<std::string>{c.loads}) << c.what;
      EXPECT_EQ(Main().e3.get_text(), c.loads) << c.what;
    } else {
      EXPECT_TRUE(loads.empty()) << c.what;
    }
  }
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(FavoritesTest, ARealDoubleClickOnTheListOpens) {
  Open({Fav("One", "http://one.test/")});
  GdkEventButton event{};
  event.type = GDK_2BUTTON_PRESS;
  event.button = 1;
  event.window = Window().tabela.get_bin_window()->gobj();
  gboolean handled = FALSE;
  g_signal_emit_by_name(Window().tabela.gobj(), "button-press-event", &event, &handled);
  EXPECT_TRUE(handled);
  EXPECT_EQ(Loads("http://one.test/"), 1);
  EXPECT_FALSE(Window().get_visible());
}

TEST_F(FavoritesTest, RemoveAsksAndTheFileChangesOnlyAtClose) {
  Open({Fav("", "http://nameless.test/"), Fav("Alpha", "http://a.test/"), Fav("Beta", "http://b.test/")});
  const std::string before = ReadFile(ListPath());
  // Nothing selected, or an entry without a name: no question, nothing goes.
  Window().Select(-1);
  Window().BitBtn3Click();
  Window().Select(0);
  Window().BitBtn3Click();
  EXPECT_EQ(dialogs_.beeps, 0);
  EXPECT_TRUE(dialogs_.shown.empty());
  EXPECT_EQ(Window().Entries().size(), 3u);
  EXPECT_TRUE(ListFileLoaded());

  Window().Select(1);
  dialogs_.answers = {MsgResult::kNo, MsgResult::kYes};
  Window().BitBtn3Click();
  EXPECT_EQ(Window().Entries().size(), 3u) << "No keeps it";
  Window().BitBtn3Click();
  EXPECT_EQ(Names(Window().Entries()), (std::vector<std::string>{"", "Beta"}));
  ASSERT_EQ(dialogs_.shown.size(), 2u);
  EXPECT_EQ(dialogs_.beeps, 2);
  EXPECT_EQ(dialogs_.shown[0].text, "Remove \"Alpha\" from favorites ?");
  EXPECT_EQ(dialogs_.shown[0].caption, "Orvindel");
  EXPECT_EQ(dialogs_.shown[0].icon, MsgIcon::kStop);
  EXPECT_EQ(dialogs_.shown[0].buttons, MsgButtons::kYesNo);

  EXPECT_EQ(ReadFile(ListPath()), before);
  Window().BitBtn1Click();
  EXPECT_FALSE(Window().get_visible());
  EXPECT_EQ(Names(FileList()), (std::vector<std::string>{"", "Beta"}));
}

TEST_F(FavoritesTest, EditChangesTheChosenEntryOnOk) {
  Open({Fav("Alpha", "http://a.test/"), Fav("Beta", "http://b.test/")});
  Tfeditfavorites& edit = app_->feditfavorites();
  EXPECT_EQ(edit.get_title(), "Orvindel - Edid Favorites");
  // Without a selection the first entry is edited.
  WhenShown(edit, [&] {
    EXPECT_EQ(edit.ename.get_text(), "Alpha");
    EXPECT_EQ(edit.eurl.get_text(), "http://a.test/");
    edit.ename.set_text("Alpha 2");
    edit.eurl.set_text("http://a2.test/");
    edit.BitBtnOk.clicked();
  });
  Window().BitBtn4Click();
  Window().Select(1);
  WhenShown(edit, [&] {
    edit.ename.set_text("changed");
    edit.BitBtnCancel.clicked();
  });
  Window().BitBtn4Click();
  const ListEntries expected = {Fav("Alpha 2", "http://a2.test/"), Fav("Beta", "http://b.test/")};
  EXPECT_EQ(Window().Entries(), expected);
  EXPECT_NE(FileList(), expected) << "not written before the window closes";
  Window().BitBtn1Click();
  EXPECT_EQ(FileList(), expected);
}

TEST_F(FavoritesTest, HeaderClicksSortAndEscapeStoresTheOrder) {
  Open({Fav("beta", "http://z.test/"), Fav("Alpha", "http://y.test/"), Fav("no url", ""),
        Fav("Gamma", "http://x.test/")});
  Window().tabelaColumnClick(FavoritesColumn::kBookmarks);
  EXPECT_EQ(Names(Window().Entries()), (std::vector<std::string>{"no url", "Gamma", "beta", "Alpha"}));
  Window().tabelaColumnClick(FavoritesColumn::kBookmarks);
  EXPECT_EQ(Names(Window().Entries()), (std::vector<std::string>{"no url", "Alpha", "beta", "Gamma"}));
  // The direction is shared: the URL header now sorts descending.
  Window().tabelaColumnClick(FavoritesColumn::kUrl);
  EXPECT_EQ(Names(Window().Entries()), (std::vector<std::string>{"no url", "beta", "Alpha", "Gamma"}));

  PressKey(Window(), GDK_KEY_Escape);
  EXPECT_FALSE(Window().get_visible());
  EXPECT_EQ(Names(FileList()), (std::vector<std::string>{"no url", "beta", "Alpha", "Gamma"}));
}

TEST_F(FavoritesTest, TheMainWindowsCloseKeepsChangesButNeverEmptiesAnUnopenedList) {
  StartApp();
  WriteList({Fav("Alpha", "http://a.test/"), Fav("Beta", "http://b.test/")});
  const std::string before = ReadFile(ListPath());
  // Never opened in this run: the window holds nothing, the file stays.
  Window().SaveList();
  EXPECT_EQ(ReadFile(ListPath()), before);

  Window().SpeedButton9Click();
  Window().Select(0);
  dialogs_.answers = {MsgResult::kYes};
  Window().BitBtn3Click();
  Window().SaveList();
  EXPECT_EQ(Names(FileList()), std::vector<std::string>{"Beta"});
}

TEST_F(FavoritesTest, ADamagedFileIsKeptBeforeItIsReplaced) {
  const std::string complete = SerializeListFile({Fav("Kept", "http://k.test/")});
  struct Case {
    const char* what;
    std::string bytes;
    std::vector<std::string> shown;
  };
  const Case cases[] = {
      {"wrong signature", "lvf\x01\x00garbage"s, {}},
      // One entry announced more than the file holds.
      {"cut short", "LVF\x02"s + complete.substr(4) + "\x01\x00\x00\x00"s, {"Kept"}},
  };
  StartApp();
  for (const Case& c : cases) {
    const std::string& bytes = c.bytes;
    fs::remove(ListPath() + ".bad1");
    WriteFile(ListPath(), bytes);
    dialogs_.shown.clear();
    Window().SpeedButton9Click();
    ASSERT_EQ(dialogs_.shown.size(), 1u) << c.what;
    EXPECT_EQ(dialogs_.shown[0].text, "\"2favlist.ovf\" is not a ListView file!") << c.what;
    EXPECT_EQ(dialogs_.shown[0].caption, "I/O Error");
    EXPECT_EQ(dialogs_.shown[0].icon, MsgIcon::kError);
    EXPECT_EQ(Names(Window().Entries()), c.shown) << c.what;
    Window().BitBtn1Click();
    EXPECT_EQ(ReadFile(ListPath() + ".bad1"), bytes) << c.what;
    EXPECT_EQ(Names(FileList()), c.shown) << c.what;
    // Once kept, later writes need no further copy.
    Window().SpeedButton9Click();
    Window().BitBtn1Click();
    EXPECT_FALSE(fs::exists(ListPath() + ".bad2")) << c.what;
  }
}

TEST_F(FavoritesTest, AnEarlierCopyIsNotOverwritten) {
  StartApp();
  WriteFile(ListPath() + ".bad1", "older copy");
  WriteFile(ListPath(), "not a list");
  Window().SpeedButton9Click();
  Window().BitBtn1Click();
  EXPECT_EQ(ReadFile(ListPath() + ".bad1"), "older copy");
  EXPECT_EQ(ReadFile(ListPath() + ".bad2"), "not a list");
  EXPECT_EQ(ReadFile(ListPath()), "LVF\x00\x00"s);
}

// The Favorites folder menu over a folder of the test's home.
class FavoritesMenuTest : public FavoritesTest {
 protected:
  void SetUp() override {
    FavoritesTest::SetUp();
    folder_ = root_ + "/Favorites";
    Shortcut("Debian", "http://debian.test/");
    Shortcut(std::string(51, 'L'), "http://long.test/");
    Shortcut(std::string(50, 'F'), "http://fifty.test/");
    Shortcut(".hidden", "http://hidden.test/");
    Shortcut("Sub/Inner one", "http://inner1.test/");
    Shortcut("Sub/Inner two", "http://inner2.test/");
    fs::create_directories(folder_ + "/Empty");
    WriteFile(folder_ + "/Site.desktop",
              "[Desktop Entry]\nType=Link\nName=Desktop Site\nURL=http://desktop.test/\n");
    WriteFile(root_ + "/page.html", "<p>page</p>");
    fs::create_symlink("../page.html", folder_ + "/A page");
  }
  void Shortcut(const std::string& name, const std::string& url) {
    WriteFile(folder_ + "/" + name + ".url", "[InternetShortcut]\r\nURL=" + url + "\r\n");
  }
  std::unique_ptr<TFavoritesMenu> Build(Gtk::MenuBar& bar, int menupos) {
    auto menu = std::make_unique<TFavoritesMenu>(nullptr, folder_);
    menu->MainMenu = &bar;
    menu->Menupos = menupos;
    menu->OnURLSelected = [this](Gtk::MenuItem& sender, const std::string& url) {
      chosen_.push_back(MenuItemCaption(sender) + " -> " + url);
    };
    menu->Build();
    return menu;
  }
  static std::vector<Gtk::MenuItem*> Items(Gtk::MenuItem& parent) {
    std::vector<Gtk::MenuItem*> out;
    for (Gtk::Widget* w : parent.get_submenu()->get_children()) {
      if (auto* item = dynamic_cast<Gtk::MenuItem*>(w); item && item->get_visible()) out.push_back(item);
    }
    return out;
  }
  static std::vector<std::string> Captions(Gtk::MenuItem& parent) {
    std::vector<std::string> out;
    for (Gtk::MenuItem* item : Items(parent)) {
      out.push_back(dynamic_cast<Gtk::SeparatorMenuItem*>(item) ? "-" : MenuItemCaption(*item));
    }
    return out;
  }
  static Gtk::MenuItem* Find(Gtk::MenuItem& parent, const std::string& caption) {
    for (Gtk::MenuItem* item : Items(parent)) {
      if (MenuItemCaption(*item) == caption) return item;
    }
    return nullptr;
  }

  std::string folder_;
  std::vector<std::string> chosen_;
};

TEST_F(FavoritesMenuTest, ListsTheFolderSortedWithLongNamesCut) {
  InitToolkit();
  Gtk::MenuBar bar;
  auto menu = Build(bar, 0);
  EXPECT_EQ(menu->TopItem()->get_label(), "Favorites");
  EXPECT_EQ(Captions(*menu->TopItem()),
            (std::vector<std::string>{"Add to Favorites", "-", "Empty", "Sub", "A page", "Debian",
                                      "Desktop Site", std::string(50, 'F'),
                                      std::string(50, 'L') + "..."}));
  EXPECT_TRUE(Find(*menu->TopItem(), "Sub")->get_submenu()) << "a folder shows as a submenu";
  EXPECT_EQ(menu->FillCount(), 1) << "subfolders wait until they open";
}

TEST_F(FavoritesMenuTest, SubfoldersFillOnceAndAnEmptyOneSaysSo) {
  InitToolkit();
  Gtk::MenuBar bar;
  auto menu = Build(bar, 0);
  Gtk::MenuItem* sub = Find(*menu->TopItem(), "Sub");
  sub->activate();
  sub->select();
  sub->activate();
  EXPECT_EQ(Captions(*sub), (std::vector<std::string>{"Inner one", "Inner two"}));
  // Selected outside any window, the item would pop its submenu up later,
  // after this test has destroyed it.
  sub->deselect();
  EXPECT_EQ(menu->FillCount(), 2);
  Find(*sub, "Inner two")->activate();
  EXPECT_EQ(chosen_, std::vector<std::string>{"Inner two -> http://inner2.test/"});

  Gtk::MenuItem* empty = Find(*menu->TopItem(), "Empty");
  empty->activate();
  ASSERT_EQ(Captions(*empty), std::vector<std::string>{" (Empty) "});
  EXPECT_FALSE(Items(*empty)[0]->get_sensitive());
}

TEST_F(FavoritesMenuTest, ChoosingAnEntryHandsOnItsUrl) {
  InitToolkit();
  Gtk::MenuBar bar;
  auto menu = Build(bar, 0);
  for (const char* caption : {"Debian", "Desktop Site", "A page"}) {
    Find(*menu->TopItem(), caption)->activate();
  }
  EXPECT_EQ(chosen_, (std::vector<std::string>{"Debian -> http://debian.test/",
                                               "Desktop Site -> http://desktop.test/",
                                               "A page -> " + root_ + "/page.html"}));
}

TEST_F(FavoritesMenuTest, MenuposPlacesTheTopItem) {
  InitToolkit();
  Gtk::MenuBar empty_bar;
  auto first = Build(empty_bar, 0);
  EXPECT_EQ(empty_bar.get_children(), std::vector<Gtk::Widget*>{first->TopItem()});

  Gtk::MenuBar bar;
  Gtk::MenuItem file("File"), help("Help");
  bar.append(file);
  bar.append(help);
  auto second = Build(bar, 2);
  auto last = Build(bar, 99);
  EXPECT_EQ(bar.get_children(),
            (std::vector<Gtk::Widget*>{&file, second->TopItem(), &help, last->TopItem()}));
  // The component takes its menu with it.
  second.reset();
  EXPECT_EQ(bar.get_children(), (std::vector<Gtk::Widget*>{&file, &help, last->TopItem()}));
}

TEST_F(FavoritesMenuTest, TheWindowsMenuNavigatesTheCurrentTabAndCloses) {
  StartApp();
  Window().FavoritesFolder = folder_;
  Window().SpeedButton9Click();
  Window().FormActivate();
  Gtk::MenuBar* bar = Window().MainMenu();
  ASSERT_NE(bar, nullptr);
  ASSERT_FALSE(bar->get_children().empty());
  auto* top = dynamic_cast<Gtk::MenuItem*>(bar->get_children()[0]);
  EXPECT_EQ(top->get_label(), "Favorites from IE");
  Find(*top, "Debian")->activate();
  EXPECT_EQ(Loads("http://debian.test/"), 1);
  EXPECT_FALSE(Window().get_visible());
  // The menu that was chosen from goes on a later turn, not under its own feet.
  PumpIdle();
  EXPECT_EQ(Window().MainMenu(), nullptr);
}

TEST_F(FavoritesMenuTest, AddToFavoritesWithoutAPageSaysSo) {
  StartApp();
  Window().FavoritesFolder = folder_;
  Window().SpeedButton9Click();
  Window().FormActivate();
  auto* top = dynamic_cast<Gtk::MenuItem*>(Window().MainMenu()->get_children()[0]);
  Find(*top, "Add to Favorites")->activate();
  EXPECT_FALSE(Window().get_visible());
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].text, "There is no page to add to the favorites.");
}

TEST_F(FavoritesMenuTest, ShortcutsWrittenForTheMenuReadBack) {
  const std::string first = WriteInternetShortcut(folder_ + "/New", "Debian", "http://d.test/?a=1");
  const std::string second = WriteInternetShortcut(folder_ + "/New", "Debian", "http://d2.test/");
  EXPECT_EQ(first, folder_ + "/New/Debian.url");
  EXPECT_EQ(second, folder_ + "/New/Debian (2).url");
  EXPECT_EQ(InternetShortcutUrl(ReadFile(first)), "http://d.test/?a=1");
  EXPECT_THROW(WriteInternetShortcut(folder_, "x", "http://x/\nURL=http://evil/"), FileError);
  EXPECT_EQ(ShortcutFolders(folder_),
            (std::vector<std::string>{folder_, folder_ + "/Empty", folder_ + "/New", folder_ + "/Sub"}))
      << "the folder first, then its subfolders in order";
}

}  // namespace
}  // namespace orv::test
