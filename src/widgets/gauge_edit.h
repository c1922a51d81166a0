// The model of TGaugeEdit, the one-line edit that paints load progress behind
// its text: the progress values and their gradient, and every editing rule
// (caret, selection, scrolling, keys, mouse, clipboard, undo). It works in
// characters (Unicode code points) and never splits one; text goes in and out
// as UTF-8. Widths come from the widget's font through a measuring callback,
// so the rules are tested here with a fixed-width stand-in.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "widgets/page_ext_control.h"

namespace orv {

// The gradient from `start` (entry 0) to `end` (entry 255). Each channel runs
// in fixed point with four decimals: it starts at start × 10000 and loses
// round((start − end) / 255 × 10000) per entry; an entry takes the running
// value / 10000, truncated.
std::array<TColor, 256> GaugeGradient(TColor start, TColor end);

// One vertical band of the progress fill, over the field's full height.
struct GaugeBand {
  int x = 0;
  int width = 0;
  TColor color = 0;
};

// The progress fill of a field `width` pixels wide: 256 bands, band i in
// gradient colour i, then a one-pixel line at x = Position × width / Max in
// the last colour (the 257th element). Empty when `position` is 0 or less.
std::vector<GaugeBand> GaugeBands(int position, int max, int width,
                                  const std::array<TColor, 256>& gradient);

// Where the clipboard lives; the widget puts it on the display's clipboard.
class GaugeClipboard {
 public:
  virtual ~GaugeClipboard() = default;
  virtual bool HasText() = 0;
  // Calls `done` with the clipboard's text, now or later; not at all when
  // the clipboard holds no text.
  virtual void RequestText(std::function<void(const std::string&)> done) = 0;
  virtual void SetText(const std::string& text) = 0;
};

enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

enum class GaugeKey { kLeft, kRight, kHome, kEnd, kDelete, kInsert, kBackspace, kC, kV, kX, kA };

struct GaugeModifiers {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

// The built-in context menu's items and whether each may be chosen.
struct GaugeMenuState {
  bool undo = false;
  bool cut = false;
  bool copy = false;
  bool paste = false;
  bool del = false;
  bool select_all = false;
};

class GaugeEdit {
 public:
  enum class SelectionState { kNone, kLeft, kRight };

  // The gap that keeps the caret off the field's right edge, and the text's
  // inset from the left edge.
  static constexpr int kCaretMargin = 8;
  static constexpr int kTextLeft = 4;

  // `measure` answers the width in pixels of a UTF-8 text in the field's font.
  explicit GaugeEdit(std::function<int(std::string_view)> measure);

  // Progress ---------------------------------------------------------------
  int Position() const { return position_; }
  // Values below 0 or above Max are ignored.
  void SetPosition(int position);
  int Max() const { return max_; }
  // Values of 0 or less are ignored. A Position above the new Max is brought
  // down to it, so the fill never runs past the field.
  void SetMax(int max);
  TColor EndColor() const { return end_color_; }
  void SetEndColor(TColor color);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  const std::array<TColor, 256>& Gradient() const { return gradient_; }
  std::vector<GaugeBand> Bands() const { return GaugeBands(position_, max_, width_, gradient_); }

  // Properties -------------------------------------------------------------
  TEditCharCase CharCase() const { return char_case_; }
  // Converts the current text too.
  void SetCharCase(TEditCharCase value);
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool value) { read_only_ = value; }
  bool AutoSelect() const { return auto_select_; }
  void SetAutoSelect(bool value) { auto_select_ = value; }

  // The field's inner width in pixels, which scrolling keeps the caret in.
  int Width() const { return width_; }
  void SetWidth(int width);

  // Text -------------------------------------------------------------------
  std::string Text() const;
  int Length() const { return static_cast<int>(text_.size()); }
  // The program sets the text: the selection goes, the caret stays where it
  // was as far as the new text allows, and the view returns to the start.
  // Setting the text it already has changes nothing and raises nothing.
  void SetText(std::string_view utf8);
  const std::u32string& UndoText() const { return undo_text_; }

  // Raised after every change of the text.
  std::function<void()> OnChange;
  // Raised when the caret, the selection or the scroll position moved.
  std::function<void()> OnCaretMoved;

  // Caret, selection and scroll ----------------------------------------------
  int Caret() const { return caret_; }
  // Places the caret (clamped to the text) and clears the selection.
  void SetCaret(int caret);
  SelectionState Selection() const { return sel_; }
  bool HasSelection() const { return sel_ != SelectionState::kNone; }
  // 1-based and inclusive, as the selection is kept; 0 without one.
  int SelFirst() const { return HasSelection() ? sel_first_ : 0; }
  int SelLast() const { return HasSelection() ? sel_last_ : 0; }
  std::string SelectedText() const;
  // Selects the characters from `start` to `end` (0-based offsets, `end`
  // exclusive, -1 for the text's end) and puts the caret at `end`.
  void SelectRegion(int start, int end);
  void SelectAll();
  void ClearSelection();
  int Scroll() const { return scroll_; }

  // Focus ---------------------------------------------------------------------
  bool Focused() const { return focused_; }
  // `by_mouse`: the focus came from a click, which must not select the text.
  void FocusIn(bool by_mouse);
  void FocusOut();

  // Keyboard --------------------------------------------------------------------
  // A key of the key table; answers whether the field used it.
  bool Key(GaugeKey key, GaugeModifiers mods);
  // Characters typed (from the input method): each is typed in turn.
  void Type(std::string_view utf8, GaugeModifiers mods = {});
  // Backspace as a typed character.
  void Backspace();
  // The input method deletes `count` characters from `offset` relative to the
  // caret, before it commits a replacement.
  void DeleteSurrounding(int offset, int count);

  // Editing commands (keys and the context menu) ---------------------------------
  void Copy();
  void Cut();
  void Paste();
  // Inserts `text` as a paste does: over the selection, or at the caret.
  void PasteText(std::string_view utf8);
  void DeleteSelection();
  void Undo();
  GaugeMenuState MenuState();

  void SetClipboard(GaugeClipboard* clipboard) { clipboard_ = clipboard; }

  // Mouse (x in field coordinates) -------------------------------------------------
  void MousePress(int x);
  void MouseMove(int x);
  void MouseRelease();
  void DoubleClick();
  // A right click or the menu key: a field without the focus takes it and
  // selects all. The widget gives it the focus; this only selects.
  void ContextMenuOpening(bool had_focus);
  bool Dragging() const { return dragging_; }

  // Painting geometry ----------------------------------------------------------------
  // The visible text, from character `Scroll()` on. No glyph is narrower
  // than a pixel, so a field `Width()` pixels wide never shows more than
  // that many characters; the rest of a very long text is not laid out.
  std::string VisibleText() const { return Utf8(scroll_, scroll_ + std::max(1, width_)); }
  // The characters [from, to) as UTF-8 (clamped).
  std::string Utf8(int from, int to) const;
  // x of the caret in field coordinates.
  int CaretX() const;
  // The character position under x (field coordinates), from the first
  // visible character on.
  int CharAt(int x) const;

 private:
  int Measure(int from, int to) const;
  // Applies an edited text when the field is not read-only and the text
  // differs; the caret goes to `caret` either way.
  void Edit(std::u32string text, int caret);
  void Change(std::u32string text);
  void Select(int anchor, int caret);
  int Anchor() const;
  // Scrolls back 10 characters when the caret passed the visible start, and
  // forward 10 at a time while the caret is too near the right edge.
  void KeepCaretVisible();
  void ScrollEndIntoView();
  void MoveCaret(int to, bool extend);
  int WordLeft(int from) const;
  int WordRight(int from) const;
  char32_t ApplyCase(char32_t c) const;
  void Moved();

  std::function<int(std::string_view)> measure_;
  GaugeClipboard* clipboard_ = nullptr;

  int position_ = 50;
  int max_ = 100;
  TColor end_color_ = 10079487;
  TColor color_ = Rgb(255, 255, 255);
  std::array<TColor, 256> gradient_{};
  TEditCharCase char_case_ = TEditCharCase::ecNormal;
  bool read_only_ = false;
  bool auto_select_ = true;
  int width_ = 121;

  std::u32string text_;
  std::u32string undo_text_;
  bool undo_set_ = false;
  int caret_ = 0;
  SelectionState sel_ = SelectionState::kNone;
  int sel_first_ = 0;
  int sel_last_ = 0;
  int scroll_ = 0;
  int drag_anchor_ = 0;
  bool dragging_ = false;
  bool focused_ = false;
};

}  // namespace orv
