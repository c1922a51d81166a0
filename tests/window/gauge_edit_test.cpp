// The address edit in a real window under Xvfb, driven by key and pointer
// events as the toolkit delivers them: typing through the input method,
// Enter, the clipboard keys, Tab, the context menu and what it paints.
#include <gtest/gtest.h>

#include <string>

#include "platform/main_loop.h"
#include "widgets/gauge_edit_widget.h"
#include "window_fixture.h"

namespace orv::test {
namespace {

struct ToolkitFirst {
  ToolkitFirst() { InitToolkit(); }
};

class GaugeEditWidgetTest : public ::testing::Test, private ToolkitFirst {
 protected:
  void SetUp() override {
    window_.set_default_size(400, 60);
    box_.pack_start(edit_, Gtk::PACK_SHRINK);
    box_.pack_start(other_, Gtk::PACK_SHRINK);
    window_.add(box_);
    edit_.set_name("e3");
    edit_.signal_changed().connect([this] { ++changes_; });
    edit_.signal_activate().connect([this] { ++activations_; });
    window_.show_all();
    window_.present();
    ASSERT_TRUE(WaitUntil(
        [&] { return edit_.get_allocated_width() > 300 && window_.has_toplevel_focus(); }, 3000));
    edit_.grab_focus();
    ASSERT_TRUE(WaitUntil([&] { return edit_.has_focus(); }, 3000));
  }

  // A key as the window gets it from the X server: pressed and released.
  bool Key(guint keyval, int mods = 0) {
    const bool handled = SendKey(window_, GDK_KEY_PRESS, keyval, mods);
    SendKey(window_, GDK_KEY_RELEASE, keyval, mods);
    return handled;
  }

  void Type(const std::string& ascii) {
    for (char c : ascii) Key(gdk_unicode_to_keyval(static_cast<unsigned char>(c)));
  }

  void Press(int x, int button = 1, GdkEventType type = GDK_BUTTON_PRESS) {
    GdkEventButton event{};
    event.type = type;
    event.window = edit_.get_window()->gobj();
    event.x = x;
    event.y = edit_.get_allocated_height() / 2;
    event.button = button;
    event.device = gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default()));
    gboolean done = FALSE;
    g_signal_emit_by_name(edit_.gobj(), "button-press-event", &event, &done);
    if (type == GDK_BUTTON_PRESS && button == 1) {
      event.type = GDK_BUTTON_RELEASE;
      g_signal_emit_by_name(edit_.gobj(), "button-release-event", &event, &done);
    }
  }

  std::string Text() { return edit_.get_text(); }

  std::string Selected() {
    int start = 0, end = 0;
    if (!edit_.get_selection_bounds(start, end)) return "";
    return Glib::ustring(edit_.get_text()).substr(start, end - start);
  }

  // The colour of one pixel as the field paints itself.
  TColor PixelOf(int x, int y) {
    ProcessPendingEvents();
    auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, edit_.get_allocated_width(),
                                               edit_.get_allocated_height());
    auto cr = Cairo::Context::create(surface);
    gtk_widget_draw(GTK_WIDGET(edit_.gobj()), cr->cobj());
    surface->flush();
    const unsigned char* p = surface->get_data() + y * surface->get_stride() + x * 4;
    return Rgb(p[2], p[1], p[0]);
  }

  Gtk::Window window_;
  Gtk::Box box_{Gtk::ORIENTATION_VERTICAL};
  TGaugeEdit edit_;
  Gtk::Entry other_;
  int changes_ = 0;
  int activations_ = 0;
};

TEST_F(GaugeEditWidgetTest, TypingGoesThroughTheInputMethodAndEnterActivates) {
  Type("ab.c");
  EXPECT_EQ(Text(), "ab.c");
  EXPECT_EQ(changes_, 4);
  // A dead key composes with the next letter, as the input method has it.
  Key(GDK_KEY_dead_acute);
  EXPECT_EQ(Text(), "ab.c") << "nothing yet";
  Key(GDK_KEY_e);
  EXPECT_EQ(Text(), "ab.c\xC3\xA9");
  Key(GDK_KEY_BackSpace);
  Key(GDK_KEY_Left);
  Key(GDK_KEY_Left);
  Key(GDK_KEY_Left, GDK_SHIFT_MASK);
  EXPECT_EQ(Selected(), "b");
  Key(GDK_KEY_X, GDK_SHIFT_MASK);
  EXPECT_EQ(Text(), "aX.c");
  EXPECT_EQ(activations_, 0);
  EXPECT_TRUE(Key(GDK_KEY_Return));
  EXPECT_EQ(activations_, 1);
  EXPECT_TRUE(Key(GDK_KEY_KP_Enter));
  EXPECT_EQ(activations_, 2);
}

TEST_F(GaugeEditWidgetTest, ClipboardKeys) {
  edit_.set_text("http://copy.test/");
  edit_.set_position(-1);
  EXPECT_TRUE(Key(GDK_KEY_a, GDK_CONTROL_MASK));
  EXPECT_EQ(Selected(), "http://copy.test/");
  EXPECT_TRUE(Key(GDK_KEY_c, GDK_CONTROL_MASK));
  auto clipboard = Gtk::Clipboard::get(GDK_SELECTION_CLIPBOARD);
  EXPECT_EQ(clipboard->wait_for_text(), "http://copy.test/");
  EXPECT_TRUE(Key(GDK_KEY_x, GDK_CONTROL_MASK));
  EXPECT_EQ(Text(), "");
  clipboard->set_text("pasted");
  EXPECT_TRUE(Key(GDK_KEY_v, GDK_CONTROL_MASK));
  ASSERT_TRUE(WaitUntil([&] { return Text() == "pasted"; }, 3000)) << Text();
  Key(GDK_KEY_Home);
  EXPECT_TRUE(Key(GDK_KEY_Insert, GDK_SHIFT_MASK));
  ASSERT_TRUE(WaitUntil([&] { return Text() == "pastedpasted"; }, 3000)) << Text();
  EXPECT_EQ(edit_.get_position(), 6);

  // Selecting offers the text as the primary selection, and the middle
  // button pastes that where it is pressed.
  edit_.set_text("abc def");
  edit_.select_region(4, 7);
  EXPECT_EQ(Gtk::Clipboard::get(GDK_SELECTION_PRIMARY)->wait_for_text(), "def");
  Press(1, 2);
  ASSERT_TRUE(WaitUntil([&] { return Text() == "defabc def"; }, 3000)) << Text();
}

TEST_F(GaugeEditWidgetTest, TabMovesTheFocusAndSelectsButAClickDoesNot) {
  edit_.set_text("http://focus.test/");
  // Arrow keys stay in the field; Tab leaves it.
  for (guint key : {GDK_KEY_Down, GDK_KEY_Up, GDK_KEY_Left}) EXPECT_TRUE(Key(key));
  EXPECT_TRUE(edit_.has_focus());
  EXPECT_TRUE(Key(GDK_KEY_Tab));
  ASSERT_TRUE(WaitUntil([&] { return other_.has_focus(); }, 2000)) << "Tab leaves the field";
  Key(GDK_KEY_Tab, GDK_SHIFT_MASK);
  ASSERT_TRUE(WaitUntil([&] { return edit_.has_focus(); }, 2000));
  EXPECT_EQ(Selected(), "http://focus.test/");

  other_.grab_focus();
  ASSERT_TRUE(WaitUntil([&] { return other_.has_focus(); }, 2000));
  EXPECT_EQ(Selected(), "") << "leaving the field clears its selection";
  Press(30);
  EXPECT_TRUE(edit_.has_focus());
  EXPECT_EQ(Selected(), "");
  EXPECT_GT(edit_.get_position(), 0);
  Press(30, 1, GDK_2BUTTON_PRESS);
  EXPECT_EQ(Selected(), "http://focus.test/");
}

TEST_F(GaugeEditWidgetTest, ContextMenuOffersWhatApplies) {
  edit_.set_text("first");
  edit_.set_text("second");
  other_.grab_focus();
  ASSERT_TRUE(WaitUntil([&] { return other_.has_focus(); }, 2000));
  Gtk::Clipboard::get(GDK_SELECTION_CLIPBOARD)->set_text("x");
  Press(10, 3);
  // A right click into a field without the focus takes it and selects all.
  EXPECT_EQ(Selected(), "second");
  std::string enabled;
  for (Gtk::Widget* item : edit_.BuiltInMenu().get_children()) {
    auto* menu_item = dynamic_cast<Gtk::MenuItem*>(item);
    if (menu_item == nullptr || dynamic_cast<Gtk::SeparatorMenuItem*>(item)) continue;
    enabled += std::string(menu_item->get_label()) + (item->get_sensitive() ? "+ " : "- ");
  }
  EXPECT_EQ(enabled, "_Undo+ Cu_t+ _Copy+ _Paste+ _Delete+ Select _All- ");
  auto choose = [&](const std::string& label) {
    for (Gtk::Widget* item : edit_.BuiltInMenu().get_children()) {
      auto* menu_item = dynamic_cast<Gtk::MenuItem*>(item);
      if (menu_item != nullptr && menu_item->get_label() == label) {
        // As a click on the item does: the menu goes, then the item runs.
        edit_.BuiltInMenu().popdown();
        menu_item->activate();
      }
    }
    WaitUntil([] { return false; }, 200);
  };
  // The open menu holds the keyboard, yet its commands still find the
  // selection they were offered for.
  WaitUntil([] { return false; }, 200);
  choose("_Copy");
  EXPECT_EQ(Gtk::Clipboard::get(GDK_SELECTION_CLIPBOARD)->wait_for_text(), "second");
  // From the keyboard too.
  EXPECT_TRUE(Key(GDK_KEY_Menu));
  EXPECT_TRUE(edit_.BuiltInMenu().get_visible());
  choose("_Undo");
  EXPECT_EQ(Text(), "first");
}

TEST_F(GaugeEditWidgetTest, PaintsTheProgressBehindTheTextAndTheRedirectColour) {
  edit_.set_text("");
  const int w = edit_.get_allocated_width();
  const int h = edit_.get_allocated_height();
  const TColor field = edit_.Color();
  edit_.SetEndColor(Rgb(0, 0, 255));
  edit_.SetPosition(0);
  EXPECT_EQ(PixelOf(w / 2, h / 2), field);
  EXPECT_EQ(PixelOf(1, 1), Rgb(239, 239, 222)) << "the frame";
  edit_.SetPosition(50);
  EXPECT_EQ(PixelOf(w / 2, h / 2), Rgb(0, 0, 255)) << "the end of the fill";
  EXPECT_EQ(PixelOf(w / 2 + 3, h / 2), field) << "beyond it";
  EXPECT_NE(PixelOf(w / 4, h / 2), field);
  // A full load ends in EndColor at the right edge (seen without the frame).
  edit_.SetPosition(100);
  edit_.SetBorderSingle(false);
  EXPECT_EQ(PixelOf(w - 1, h / 2), Rgb(0, 0, 255));
  edit_.SetBorderSingle(true);

  // The main window's redirect look: a style class colours the field, and
  // the gradient starts from that colour.
  auto css = Gtk::CssProvider::create();
  css->load_from_data("#e3.redirect { background-color: rgb(255,249,196); }");
  edit_.get_style_context()->add_provider(css, GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  edit_.get_style_context()->add_class("redirect");
  edit_.SetPosition(0);
  EXPECT_TRUE(WaitUntil([&] { return PixelOf(w / 2, h / 2) == Rgb(255, 249, 196); }, 2000));
  edit_.get_style_context()->remove_class("redirect");
  EXPECT_TRUE(WaitUntil([&] { return PixelOf(w / 2, h / 2) == field; }, 2000));
}

TEST_F(GaugeEditWidgetTest, AssistiveTechnologiesSeeATextField) {
  auto accessible = edit_.get_accessible();
  EXPECT_EQ(accessible->get_role(), Atk::ROLE_ENTRY);
  accessible->set_name("Address");
  EXPECT_EQ(accessible->get_name(), "Address");
  ASSERT_TRUE(ATK_IS_TEXT(accessible->gobj()));
  AtkText* text = ATK_TEXT(accessible->gobj());
  edit_.set_text("http://\xC3\xA9.test/");
  gchar* all = atk_text_get_text(text, 0, -1);
  EXPECT_STREQ(all, "http://\xC3\xA9.test/");
  g_free(all);
  EXPECT_EQ(atk_text_get_character_count(text), 14);
  EXPECT_TRUE(atk_text_set_selection(text, 0, 7, 13));
  EXPECT_EQ(Selected(), "\xC3\xA9.test");
  EXPECT_EQ(atk_text_get_caret_offset(text), 13);
}

}  // namespace
}  // namespace orv::test
