// The address edit's model: progress values and gradient, and the editing
// rules, with a font whose every character is 10 pixels wide.
#include "widgets/gauge_edit.h"

#include <gtest/gtest.h>

#include <string>

namespace orv {
namespace {

int TenPixelsEach(std::string_view utf8) {
  int n = 0;
  for (char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return 10 * n;
}

class FakeClipboard : public GaugeClipboard {
 public:
  bool HasText() override { return has_text; }
  void RequestText(std::function<void(const std::string&)> done) override {
    if (has_text) done(text);
  }
  void SetText(const std::string& t) override {
    text = t;
    has_text = true;
  }
  std::string text;
  bool has_text = false;
};

constexpr GaugeModifiers kPlain{};
constexpr GaugeModifiers kShift{true, false, false};
constexpr GaugeModifiers kCtrl{false, true, false};
constexpr GaugeModifiers kCtrlShift{true, true, false};
constexpr GaugeModifiers kAlt{false, false, true};

class GaugeEditTest : public ::testing::Test {
 protected:
  GaugeEditTest() {
    edit.SetWidth(200);  // room for 19 characters before the caret margin
    edit.SetClipboard(&clipboard);
    edit.OnChange = [this] { ++changes; };
  }
  // Text shown with the keyboard in the field and the caret at `caret`.
  void Start(const std::string& text, int caret) {
    edit.SetText(text);
    edit.FocusIn(true);
    edit.SetCaret(caret);
    changes = 0;
  }

  GaugeEdit edit{TenPixelsEach};
  FakeClipboard clipboard;
  int changes = 0;
};

TEST(GaugeProgress, OutOfRangeValuesAreIgnored) {
  GaugeEdit edit{TenPixelsEach};
  EXPECT_EQ(edit.Position(), 50);
  EXPECT_EQ(edit.Max(), 100);
  EXPECT_EQ(edit.EndColor(), 10079487u);
  struct Step {
    const char* what;
    bool is_max;
    int value;
    int position;
    int max;
  } steps[] = {
      {"Position -1", false, -1, 50, 100},
      {"Position Max + 1", false, 101, 50, 100},
      {"Position Max", false, 100, 100, 100},
      {"Position 0", false, 0, 0, 100},
      {"Max 0", true, 0, 0, 100},
      {"Max -3", true, -3, 0, 100},
      {"Max 40", true, 40, 0, 40},
      {"Position 41", false, 41, 0, 40},
      {"Position 40", false, 40, 40, 40},
      // A lower Max brings Position down with it: the fill stays in the field.
      {"Max 10", true, 10, 10, 10},
  };
  for (const Step& s : steps) {
    if (s.is_max) {
      edit.SetMax(s.value);
    } else {
      edit.SetPosition(s.value);
    }
    EXPECT_EQ(edit.Position(), s.position) << s.what;
    EXPECT_EQ(edit.Max(), s.max) << s.what;
  }
}

TEST(GaugeProgress, GradientRunsFromColorToEndColorInFixedPoint) {
  // White to the default end colour, red 255, green 204, blue 153.
  auto g = GaugeGradient(Rgb(255, 255, 255), 10079487);
  EXPECT_EQ(g[0], Rgb(255, 255, 255));
  EXPECT_EQ(g[255], Rgb(255, 204, 153));
  EXPECT_EQ(g[128], Rgb(255, 229, 203));
  // Steps that do not divide evenly: the running value truncates, so the
  // entries sit a little above the exact line (blue: 255 - 128 × 248 / 255
  // is 130.5; green at 254 is 100.6).
  g = GaugeGradient(Rgb(255, 255, 255), Rgb(0, 100, 7));
  EXPECT_EQ(g[1], Rgb(254, 254, 254));
  EXPECT_EQ(g[128], Rgb(127, 177, 130));
  EXPECT_EQ(g[254], Rgb(1, 100, 7));
  EXPECT_EQ(g[255], Rgb(0, 100, 7));
  // Rising channels too.
  g = GaugeGradient(Rgb(0, 0, 0), Rgb(255, 10, 0));
  EXPECT_EQ(g[77], Rgb(77, 3, 0));
}

TEST(GaugeProgress, BandsFillUpToPositionOverMax) {
  GaugeEdit edit{TenPixelsEach};
  edit.SetWidth(510);
  edit.SetPosition(0);
  EXPECT_TRUE(edit.Bands().empty()) << "no progress, no fill";

  edit.SetPosition(100);
  auto bands = edit.Bands();
  ASSERT_EQ(bands.size(), 257u);
  // w = 510, step = 2: bands three pixels wide, band i from 2(i - 1).
  EXPECT_EQ(bands[0].x, 0);
  EXPECT_EQ(bands[0].width, 3);
  EXPECT_EQ(bands[0].color, edit.Color());
  EXPECT_EQ(bands[1].x, 0);
  EXPECT_EQ(bands[2].x, 2);
  EXPECT_EQ(bands[255].x, 508);
  EXPECT_EQ(bands[255].color, edit.EndColor());
  EXPECT_EQ(bands[256].x, 510);
  EXPECT_EQ(bands[256].color, edit.EndColor());

  edit.SetPosition(50);
  edit.SetEndColor(Rgb(0, 0, 255));
  bands = edit.Bands();
  EXPECT_EQ(bands[256].x, 255);
  EXPECT_EQ(bands[255].color, Rgb(0, 0, 255)) << "a new end colour shows at once";
  EXPECT_EQ(bands[255].x, 254);
}

TEST_F(GaugeEditTest, AClickDoesNotSelectButTheKeyboardDoes) {
  edit.SetText("http://a.test/");
  edit.FocusIn(/*by_mouse=*/true);
  edit.MousePress(34);  // between "htt" and "p"
  edit.MouseRelease();
  EXPECT_FALSE(edit.HasSelection());
  EXPECT_EQ(edit.Caret(), 3);
  edit.FocusOut();
  EXPECT_EQ(edit.Caret(), 0);
  edit.FocusIn(/*by_mouse=*/false);
  EXPECT_EQ(edit.SelectedText(), "http://a.test/");
  EXPECT_EQ(edit.Caret(), 14);
  edit.FocusOut();
  EXPECT_FALSE(edit.HasSelection());
  edit.SetAutoSelect(false);
  edit.FocusIn(false);
  EXPECT_FALSE(edit.HasSelection());
}

TEST_F(GaugeEditTest, ReadOnlyTypingMovesTheCaretButKeepsTheText) {
  Start("abc", 1);
  edit.SetReadOnly(true);
  edit.Type("xy");
  EXPECT_EQ(edit.Text(), "abc");
  EXPECT_EQ(edit.Caret(), 3);
  edit.Type("z");
  EXPECT_EQ(edit.Caret(), 3) << "never past the end";
  edit.SelectAll();
  clipboard.SetText("pasted");
  for (GaugeKey k : {GaugeKey::kX, GaugeKey::kV}) edit.Key(k, kCtrl);
  edit.SelectAll();
  edit.Key(GaugeKey::kDelete, kPlain);
  edit.Key(GaugeKey::kBackspace, kPlain);
  EXPECT_EQ(edit.Text(), "abc");
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(clipboard.text, "abc") << "cutting a read-only text still copies it";
}

TEST_F(GaugeEditTest, AltBackspaceRestoresTheFirstTextTheFieldShowed) {
  edit.SetText("http://first.test/");
  edit.SetText("http://second.test/");
  edit.FocusIn(false);
  edit.Type("typed");
  ASSERT_EQ(edit.Text(), "typed");
  EXPECT_FALSE(edit.Key(GaugeKey::kBackspace, kCtrlShift));
  EXPECT_TRUE(edit.Key(GaugeKey::kBackspace, kAlt));
  EXPECT_EQ(edit.Text(), "http://first.test/");
  EXPECT_FALSE(edit.HasSelection());
  EXPECT_LE(edit.Caret(), edit.Length());
}

TEST_F(GaugeEditTest, WordMovesStopAtRunsOfLatinLetters) {
  //        0123456789012345678
  Start("go to: www.ab2cd.x", 0);
  struct Case {
    int from;
    bool left;
    int to;
  } cases[] = {
      {0, false, 3},   {3, false, 7},   {7, false, 11},  {11, false, 14},
      {13, false, 14}, {16, false, 17}, {17, false, 18}, {18, false, 18},
      {18, true, 17},  {17, true, 14},  {14, true, 11},  {13, true, 11},
      {5, true, 3},    {4, true, 3},    {2, true, 0},    {0, true, 0},
  };
  for (const Case& c : cases) {
    edit.SetCaret(c.from);
    EXPECT_TRUE(edit.Key(c.left ? GaugeKey::kLeft : GaugeKey::kRight, kCtrl));
    EXPECT_EQ(edit.Caret(), c.to) << (c.left ? "left" : "right") << " from " << c.from;
    EXPECT_FALSE(edit.HasSelection());
  }
  // Words are Latin letters only: an accented letter separates.
  Start("caf\xC3\xA9 bar", 0);
  edit.Key(GaugeKey::kRight, kCtrl);
  EXPECT_EQ(edit.Caret(), 5);
}

TEST_F(GaugeEditTest, ShiftKeysSelectAndPlainKeysClear) {
  Start("hello world", 5);
  edit.Key(GaugeKey::kLeft, kShift);
  edit.Key(GaugeKey::kLeft, kShift);
  EXPECT_EQ(edit.Selection(), GaugeEdit::SelectionState::kLeft);
  EXPECT_EQ(edit.SelectedText(), "lo");
  EXPECT_EQ(edit.SelFirst(), 4);
  EXPECT_EQ(edit.SelLast(), 5);
  edit.Key(GaugeKey::kRight, kShift);
  EXPECT_EQ(edit.SelectedText(), "o") << "shrinks from the moving end";
  edit.Key(GaugeKey::kRight, kShift);
  edit.Key(GaugeKey::kRight, kShift);
  EXPECT_EQ(edit.Selection(), GaugeEdit::SelectionState::kRight);
  EXPECT_EQ(edit.SelectedText(), " ");
  edit.Key(GaugeKey::kRight, kPlain);
  EXPECT_FALSE(edit.HasSelection());
  EXPECT_EQ(edit.Caret(), 7);

  edit.Key(GaugeKey::kHome, kShift);
  EXPECT_EQ(edit.SelectedText(), "hello w");
  EXPECT_EQ(edit.Caret(), 0);
  edit.SetCaret(3);
  edit.Key(GaugeKey::kEnd, kShift);
  EXPECT_EQ(edit.SelectedText(), "lo world");
  EXPECT_EQ(edit.Caret(), 11);
  edit.Key(GaugeKey::kHome, kPlain);
  EXPECT_FALSE(edit.HasSelection());
  EXPECT_EQ(edit.Caret(), 0);

  // Started by words, a selection takes in the whole word the caret was in.
  edit.SetCaret(8);  // "hello wo|rld"
  edit.Key(GaugeKey::kLeft, kCtrlShift);
  EXPECT_EQ(edit.SelectedText(), "world");
  edit.SetCaret(2);  // "he|llo world"
  edit.Key(GaugeKey::kRight, kCtrlShift);
  EXPECT_EQ(edit.SelectedText(), "hello ");
  edit.Key(GaugeKey::kRight, kCtrlShift);
  EXPECT_EQ(edit.SelectedText(), "hello world") << "extending keeps its start";
}

TEST_F(GaugeEditTest, ClipboardKeys) {
  struct Case {
    const char* what;
    GaugeKey key;
    GaugeModifiers mods;
    const char* text;
    const char* clip;
    int caret;
  } cases[] = {
      // "abcdef" with "cd" selected, "XY" on the clipboard beforehand.
      {"Ctrl+C", GaugeKey::kC, kCtrl, "abcdef", "cd", 4},
      {"Ctrl+Insert", GaugeKey::kInsert, kCtrl, "abcdef", "cd", 4},
      {"Ctrl+X", GaugeKey::kX, kCtrl, "abef", "cd", 2},
      {"Shift+Delete", GaugeKey::kDelete, kShift, "abef", "cd", 2},
      {"Delete", GaugeKey::kDelete, kPlain, "abef", "XY", 2},
      {"Ctrl+V", GaugeKey::kV, kCtrl, "abXYef", "XY", 4},
      {"Shift+Insert", GaugeKey::kInsert, kShift, "abXYef", "XY", 4},
      {"Backspace", GaugeKey::kBackspace, kPlain, "abef", "XY", 2},
      {"Ctrl+Shift+C is no copy", GaugeKey::kC, kCtrlShift, "abcdef", "XY", 4},
  };
  for (const Case& c : cases) {
    Start("abcdef", 2);
    edit.Key(GaugeKey::kRight, kShift);
    edit.Key(GaugeKey::kRight, kShift);
    clipboard.SetText("XY");
    edit.Key(c.key, c.mods);
    EXPECT_EQ(edit.Text(), c.text) << c.what;
    EXPECT_EQ(clipboard.text, c.clip) << c.what;
    EXPECT_EQ(edit.Caret(), c.caret) << c.what;
  }
  // Without a selection: paste at the caret, Delete the character after it.
  Start("abcdef", 1);
  edit.Key(GaugeKey::kV, kCtrl);
  EXPECT_EQ(edit.Text(), "aXYbcdef");
  EXPECT_EQ(edit.Caret(), 3);
  edit.Key(GaugeKey::kDelete, kPlain);
  EXPECT_EQ(edit.Text(), "aXYcdef");
  // Line breaks of a pasted text do not end up in the one line.
  clipboard.SetText("http://a.test/\r\nmore\n");
  edit.Key(GaugeKey::kA, kCtrl);
  edit.Key(GaugeKey::kV, kCtrl);
  EXPECT_EQ(edit.Text(), "http://a.test/more");
}

TEST_F(GaugeEditTest, ContextMenuEnabling) {
  auto state = [&] {
    GaugeMenuState s = edit.MenuState();
    return std::string() + (s.undo ? 'U' : '-') + (s.cut ? 'T' : '-') + (s.copy ? 'C' : '-') +
           (s.paste ? 'P' : '-') + (s.del ? 'D' : '-') + (s.select_all ? 'A' : '-');
  };
  edit.SetText("first");
  edit.FocusIn(true);
  EXPECT_EQ(state(), "-----A");
  edit.SetText("second");
  EXPECT_EQ(state(), "U----A");
  clipboard.SetText("x");
  EXPECT_EQ(state(), "U--P-A");
  edit.SelectAll();
  EXPECT_EQ(state(), "UTCPD-") << "everything selected";
  edit.SelectRegion(1, 6);
  EXPECT_EQ(state(), "UTCPDA") << "a selection up to the end leaves the start out";
  edit.SetReadOnly(true);
  EXPECT_EQ(state(), "U-C--A");
  edit.Undo();
  EXPECT_EQ(edit.Text(), "first") << "Undo works on a read-only field too";
  edit.SetText("");
  EXPECT_EQ(state(), "U-----");
  // A right click into a field without the focus selects all.
  edit.SetReadOnly(false);
  edit.SetText("abc");
  edit.FocusOut();
  edit.FocusIn(true);
  edit.ContextMenuOpening(/*had_focus=*/false);
  EXPECT_EQ(edit.SelectedText(), "abc");
}

TEST_F(GaugeEditTest, TypingReplacesTheSelectionAppliesTheCaseAndRaisesOnChange) {
  Start("Hello", 5);
  edit.Key(GaugeKey::kLeft, kShift);
  edit.Type("P!");
  EXPECT_EQ(edit.Text(), "HellP!");
  EXPECT_EQ(changes, 1);
  edit.SetCharCase(TEditCharCase::ecUpperCase);
  EXPECT_EQ(edit.Text(), "HELLP!");
  edit.Type("ab");
  EXPECT_EQ(edit.Text(), "HELLP!AB");
  edit.SetCharCase(TEditCharCase::ecLowerCase);
  edit.Type("Q\x1B\t");
  EXPECT_EQ(edit.Text(), "hellp!abq") << "Escape and Tab type nothing";
  edit.Type("z", kCtrl);
  EXPECT_EQ(edit.Text(), "hellp!abq");
  changes = 0;
  edit.SetText("hellp!abq");
  EXPECT_EQ(changes, 0) << "the same text is no change";
}

TEST_F(GaugeEditTest, CharactersAreNeverSplit) {
  Start("a\xC3\xA9\xE2\x82\xAC", 3);  // a é €
  EXPECT_EQ(edit.Length(), 3);
  edit.Key(GaugeKey::kLeft, kShift);
  EXPECT_EQ(edit.SelectedText(), "\xE2\x82\xAC");
  edit.SetCaret(2);
  edit.Backspace();
  EXPECT_EQ(edit.Text(), "a\xE2\x82\xAC");
  edit.Type("\xF0\x9F\x98\x80");
  EXPECT_EQ(edit.Text(), "a\xF0\x9F\x98\x80\xE2\x82\xAC");
  // Broken UTF-8 shows as replacement characters, never as half a character.
  edit.SetText("x\xC3");
  EXPECT_EQ(edit.Text(), "x\xEF\xBF\xBD");
}

TEST_F(GaugeEditTest, TheCaretStaysInViewInALongText) {
  const std::string long_text(50, 'w');
  Start(long_text, 50);
  // 200 pixels: the caret and its 8-pixel margin fit after 19 characters.
  EXPECT_GE(edit.Scroll(), 31);
  EXPECT_LE(edit.CaretX() + GaugeEdit::kCaretMargin, 200 + GaugeEdit::kTextLeft);
  for (int i = 0; i < 30; ++i) edit.Type("x");
  EXPECT_EQ(edit.Caret(), 80);
  EXPECT_LE(edit.CaretX() + GaugeEdit::kCaretMargin, 200 + GaugeEdit::kTextLeft)
      << "typing at the end keeps the caret in view";
  EXPECT_GT(edit.CaretX(), 100);
  edit.Key(GaugeKey::kHome, kPlain);
  EXPECT_EQ(edit.Scroll(), 0);
  edit.Key(GaugeKey::kEnd, kPlain);
  EXPECT_EQ(edit.Scroll(), 80 - 19);
  // Back past the visible start scrolls back ten characters.
  edit.SetCaret(61);
  ASSERT_EQ(edit.Scroll(), 61);
  edit.Key(GaugeKey::kLeft, kPlain);
  EXPECT_EQ(edit.Scroll(), 51);
}

TEST(GaugeEditLongText, AHugeAddressCostsFewMeasurements) {
  // A pasted data: address can be megabytes; keeping the caret in view must
  // not measure the text once per ten characters.
  int measured = 0;
  GaugeEdit edit{[&](std::string_view text) {
    ++measured;
    return TenPixelsEach(text);
  }};
  edit.SetWidth(200);
  std::string huge;
  while (huge.size() < 200000) huge += "data ";
  edit.SetText(huge);
  edit.FocusIn(true);
  edit.SetCaret(0);
  measured = 0;
  edit.Key(GaugeKey::kEnd, kPlain);
  // The program changes the text under the caret: the view starts over and
  // finds the caret again.
  edit.SetText(huge + "x");
  edit.Key(GaugeKey::kEnd, kPlain);
  edit.Key(GaugeKey::kBackspace, kPlain);
  edit.Type("b");
  for (int i = 0; i < 5; ++i) edit.Key(GaugeKey::kLeft, kCtrl);
  edit.Key(GaugeKey::kRight, kPlain);
  EXPECT_LT(measured, 400);
  EXPECT_EQ(edit.Caret(), 199981) << "after the b, back five words, one right";
  EXPECT_GE(edit.Caret(), edit.Scroll());
  EXPECT_LE(edit.CaretX() + GaugeEdit::kCaretMargin, 200 + GaugeEdit::kTextLeft);
  edit.Key(GaugeKey::kHome, kPlain);
  EXPECT_EQ(edit.VisibleText().size(), 200u) << "only what can show is laid out";
}

TEST_F(GaugeEditTest, MouseDragSelectsAndScrollsByFourCharacters) {
  Start(std::string(40, 'm'), 0);
  edit.MousePress(4 + 50);  // before the sixth character
  EXPECT_EQ(edit.Caret(), 5);
  edit.MouseMove(4 + 56);
  EXPECT_EQ(edit.SelectedText(), "m") << "past the middle of the sixth";
  edit.MouseMove(4 + 54);
  EXPECT_FALSE(edit.HasSelection()) << "back at the anchor, nothing";
  edit.MouseMove(4 + 20);
  EXPECT_EQ(edit.Selection(), GaugeEdit::SelectionState::kLeft);
  EXPECT_EQ(edit.SelFirst(), 3);
  EXPECT_EQ(edit.SelLast(), 5);
  for (int i = 0; i < 3; ++i) edit.MouseMove(300);
  EXPECT_EQ(edit.Scroll(), 8) << "once the caret nears the right edge, four at a time";
  EXPECT_EQ(edit.SelFirst(), 6);
  edit.MouseMove(-5);
  EXPECT_EQ(edit.Scroll(), 4);
  EXPECT_EQ(edit.SelFirst(), 5);
  EXPECT_EQ(edit.SelLast(), 5);
  edit.MouseRelease();
  edit.MouseMove(300);
  EXPECT_EQ(edit.Scroll(), 4) << "no drag after the release";
  edit.DoubleClick();
  EXPECT_EQ(edit.SelFirst(), 1);
  EXPECT_EQ(edit.SelLast(), 40);
  EXPECT_FALSE(edit.Dragging());
}

}  // namespace
}  // namespace orv
