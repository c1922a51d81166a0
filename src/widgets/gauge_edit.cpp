#include "widgets/gauge_edit.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace orv {

namespace {

// Decodes UTF-8; a byte that does not start a valid sequence becomes U+FFFD,
// so text from anywhere shows instead of breaking the field.
std::u32string Decode(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    int extra = 0;
    char32_t c = 0;
    char32_t min = 0;
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    } else if ((b & 0xE0) == 0xC0) {
      extra = 1;
      c = b & 0x1F;
      min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      extra = 2;
      c = b & 0x0F;
      min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      extra = 3;
      c = b & 0x07;
      min = 0x10000;
    } else {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    bool ok = i + static_cast<size_t>(extra) < s.size();
    for (int k = 1; ok && k <= extra; ++k) {
      const auto n = static_cast<unsigned char>(s[i + k]);
      if ((n & 0xC0) != 0x80) {
        ok = false;
      } else {
        c = (c << 6) | (n & 0x3F);
      }
    }
    if (!ok || c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    out.push_back(c);
    i += extra + 1;
  }
  return out;
}

void Encode(char32_t c, std::string& out) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

bool IsWordLetter(char32_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Control characters have no place in a one-line field: a pasted line break
// or a tab from an input method would otherwise end up inside an address.
bool IsControl(char32_t c) { return c < 0x20 || c == 0x7F; }

// One channel of the gradient, in fixed point with four decimals.
std::array<int, 256> Channel(int from, int to) {
  std::array<int, 256> out{};
  out[0] = from;
  out[255] = to;
  const long step = std::lround((from - to) / 255.0 * 10000.0);
  long running = static_cast<long>(from) * 10000;
  for (int i = 1; i < 255; ++i) {
    running -= step;
    out[i] = static_cast<int>(running / 10000);
  }
  return out;
}

}  // namespace

std::array<TColor, 256> GaugeGradient(TColor start, TColor end) {
  const auto r = Channel(RedOf(start), RedOf(end));
  const auto g = Channel(GreenOf(start), GreenOf(end));
  const auto b = Channel(BlueOf(start), BlueOf(end));
  std::array<TColor, 256> out{};
  for (int i = 0; i < 256; ++i) out[i] = Rgb(r[i], g[i], b[i]);
  return out;
}

std::vector<GaugeBand> GaugeBands(int position, int max, int width,
                                  const std::array<TColor, 256>& gradient) {
  std::vector<GaugeBand> bands;
  if (position <= 0 || max <= 0 || width <= 0) return bands;
  // 64 bits: a large Max and a wide field must not overflow the product.
  const int w = static_cast<int>(static_cast<int64_t>(position) * width / max);
  const double step = w / 255.0;
  const int band_width = static_cast<int>(step + 1);
  bands.reserve(257);
  for (int i = 0; i < 256; ++i) {
    const int x = i == 0 ? 0 : static_cast<int>((i - 1) * step);
    bands.push_back({x, band_width, gradient[i]});
  }
  bands.push_back({w, 1, gradient[255]});
  return bands;
}

GaugeEdit::GaugeEdit(std::function<int(std::string_view)> measure) : measure_(std::move(measure)) {
  gradient_ = GaugeGradient(color_, end_color_);
}

// Progress -------------------------------------------------------------------

void GaugeEdit::SetPosition(int position) {
  if (position < 0 || position > max_) return;
  position_ = position;
}

void GaugeEdit::SetMax(int max) {
  if (max <= 0) return;
  max_ = max;
  position_ = std::min(position_, max_);
}

void GaugeEdit::SetEndColor(TColor color) {
  end_color_ = color & 0xFFFFFF;
  gradient_ = GaugeGradient(color_, end_color_);
}

void GaugeEdit::SetColor(TColor color) {
  color_ = color & 0xFFFFFF;
  gradient_ = GaugeGradient(color_, end_color_);
}

// Properties -----------------------------------------------------------------

void GaugeEdit::SetCharCase(TEditCharCase value) {
  char_case_ = value;
  std::u32string t = text_;
  for (char32_t& c : t) c = ApplyCase(c);
  if (t != text_) Change(std::move(t));
}

void GaugeEdit::SetWidth(int width) {
  width_ = std::max(0, width);
  if (focused_) KeepCaretVisible();
}

char32_t GaugeEdit::ApplyCase(char32_t c) const {
  if (char_case_ == TEditCharCase::ecUpperCase && c >= 'a' && c <= 'z') return c - 'a' + 'A';
  if (char_case_ == TEditCharCase::ecLowerCase && c >= 'A' && c <= 'Z') return c - 'A' + 'a';
  return c;
}

// Text -----------------------------------------------------------------------

std::string GaugeEdit::Text() const { return Utf8(0, Length()); }

std::string GaugeEdit::Utf8(int from, int to) const {
  from = std::clamp(from, 0, Length());
  to = std::clamp(to, from, Length());
  std::string out;
  out.reserve(to - from);
  for (int i = from; i < to; ++i) Encode(text_[i], out);
  return out;
}

int GaugeEdit::Measure(int from, int to) const {
  if (to <= from) return 0;
  return measure_ ? measure_(Utf8(from, to)) : 0;
}

void GaugeEdit::SetText(std::string_view utf8) {
  std::u32string t = Decode(utf8);
  if (t == text_) return;
  sel_ = SelectionState::kNone;
  dragging_ = false;
  Change(std::move(t));
}

void GaugeEdit::Change(std::u32string text) {
  text_ = std::move(text);
  if (!undo_set_) {
    undo_text_ = text_;
    undo_set_ = true;
  }
  // The caret never stands beyond the text's end.
  caret_ = std::min(caret_, Length());
  if (HasSelection() && sel_last_ > Length()) sel_ = SelectionState::kNone;
  scroll_ = 0;
  KeepCaretVisible();
  if (OnChange) OnChange();
  Moved();
}

void GaugeEdit::Edit(std::u32string text, int caret) {
  if (!read_only_ && text != text_) {
    // Edits keep the view where the user works rather than jumping back to
    // the start: the caret is placed before the change is announced.
    const int keep_scroll = scroll_;
    text_ = std::move(text);
    if (!undo_set_) {
      undo_text_ = text_;
      undo_set_ = true;
    }
    caret_ = std::clamp(caret, 0, Length());
    scroll_ = std::min(keep_scroll, caret_);
    KeepCaretVisible();
    if (OnChange) OnChange();
    Moved();
    return;
  }
  caret_ = std::clamp(caret, 0, Length());
  KeepCaretVisible();
  Moved();
}

// Caret, selection, scrolling --------------------------------------------------

void GaugeEdit::Moved() {
  if (OnCaretMoved) OnCaretMoved();
}

void GaugeEdit::Select(int anchor, int caret) {
  anchor = std::clamp(anchor, 0, Length());
  caret = std::clamp(caret, 0, Length());
  caret_ = caret;
  if (anchor == caret) {
    sel_ = SelectionState::kNone;
  } else if (caret < anchor) {
    sel_ = SelectionState::kLeft;
    sel_first_ = caret + 1;
    sel_last_ = anchor;
  } else {
    sel_ = SelectionState::kRight;
    sel_first_ = anchor + 1;
    sel_last_ = caret;
  }
}

int GaugeEdit::Anchor() const {
  switch (sel_) {
    case SelectionState::kLeft:
      return sel_last_;
    case SelectionState::kRight:
      return sel_first_ - 1;
    case SelectionState::kNone:
      break;
  }
  return caret_;
}

std::string GaugeEdit::SelectedText() const {
  return HasSelection() ? Utf8(sel_first_ - 1, sel_last_) : std::string();
}

void GaugeEdit::ClearSelection() {
  if (!HasSelection()) return;
  sel_ = SelectionState::kNone;
  Moved();
}

void GaugeEdit::SetCaret(int caret) {
  if (caret < 0 || caret > Length()) caret = Length();
  sel_ = SelectionState::kNone;
  caret_ = caret;
  if (caret_ == Length()) {
    ScrollEndIntoView();
  } else {
    KeepCaretVisible();
  }
  Moved();
}

void GaugeEdit::SelectRegion(int start, int end) {
  if (start < 0 || start > Length()) start = Length();
  if (end < 0 || end > Length()) end = Length();
  Select(start, end);
  if (caret_ == Length()) {
    ScrollEndIntoView();
  } else {
    KeepCaretVisible();
  }
  Moved();
}

void GaugeEdit::SelectAll() {
  Select(0, Length());
  ScrollEndIntoView();
  Moved();
}

void GaugeEdit::KeepCaretVisible() {
  while (caret_ < scroll_) scroll_ = std::max(0, scroll_ - 10);
  if (scroll_ >= caret_ || Measure(scroll_, caret_) + kCaretMargin <= width_) return;
  // Forward in steps of ten characters until the caret fits. Widths only
  // shrink as the start moves right, so the first start that fits is found
  // by halving, not by measuring every step of a very long text.
  int lo = scroll_ + 1;
  int hi = caret_;
  while (lo < hi) {
    const int mid = lo + (hi - lo) / 2;
    if (Measure(mid, caret_) + kCaretMargin > width_) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  scroll_ = std::min(caret_, scroll_ + (lo - scroll_ + 9) / 10 * 10);
}

void GaugeEdit::ScrollEndIntoView() {
  // The first character from which the rest of the text fits: widths only
  // shrink as the start moves right, so a binary search finds it.
  int lo = 0;
  int hi = Length();
  while (lo < hi) {
    const int mid = (lo + hi) / 2;
    if (Measure(mid, Length()) + kCaretMargin > width_) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  scroll_ = lo;
}

int GaugeEdit::CaretX() const { return kTextLeft + Measure(scroll_, caret_); }

int GaugeEdit::CharAt(int x) const {
  const int rel = x - kTextLeft;
  int left = 0;
  for (int k = scroll_; k < Length(); ++k) {
    const int right = Measure(scroll_, k + 1);
    if (left + (right - left) / 2 > rel) return k;
    left = right;
  }
  return Length();
}

// Focus --------------------------------------------------------------------------

void GaugeEdit::FocusIn(bool by_mouse) {
  focused_ = true;
  if (auto_select_ && !by_mouse) {
    SelectAll();
  } else {
    Moved();
  }
}

void GaugeEdit::FocusOut() {
  focused_ = false;
  dragging_ = false;
  sel_ = SelectionState::kNone;
  caret_ = 0;
  scroll_ = 0;
  Moved();
}

// Keyboard -------------------------------------------------------------------------

int GaugeEdit::WordLeft(int from) const {
  int i = from;
  while (i > 0 && !IsWordLetter(text_[i - 1])) --i;
  while (i > 0 && IsWordLetter(text_[i - 1])) --i;
  return i;
}

int GaugeEdit::WordRight(int from) const {
  int i = from;
  while (i < Length() && IsWordLetter(text_[i])) ++i;
  while (i < Length() && !IsWordLetter(text_[i])) ++i;
  return i;
}

void GaugeEdit::MoveCaret(int to, bool extend) {
  to = std::clamp(to, 0, Length());
  if (extend) {
    Select(Anchor(), to);
  } else {
    sel_ = SelectionState::kNone;
    caret_ = to;
  }
  KeepCaretVisible();
  Moved();
}

bool GaugeEdit::Key(GaugeKey key, GaugeModifiers mods) {
  const bool shift_only = mods.shift && !mods.ctrl && !mods.alt;
  const bool ctrl_only = mods.ctrl && !mods.shift && !mods.alt;
  const bool alt_only = mods.alt && !mods.shift && !mods.ctrl;
  const bool plain = !mods.shift && !mods.ctrl && !mods.alt;
  switch (key) {
    case GaugeKey::kLeft:
    case GaugeKey::kRight: {
      if (mods.alt) return false;
      const bool left = key == GaugeKey::kLeft;
      const int old = caret_;
      int to;
      if (mods.ctrl) {
        to = left ? WordLeft(old) : WordRight(old);
      } else {
        to = left ? old - 1 : old + 1;
      }
      if (mods.ctrl && mods.shift && !HasSelection()) {
        // A selection started by words takes in the whole word the caret
        // stood in: to its end going left, from its start going right.
        int anchor = old;
        if (left) {
          while (anchor < Length() && IsWordLetter(text_[anchor])) ++anchor;
        } else {
          while (anchor > 0 && IsWordLetter(text_[anchor - 1])) --anchor;
        }
        Select(anchor, std::clamp(to, 0, Length()));
        KeepCaretVisible();
        Moved();
        return true;
      }
      MoveCaret(to, mods.shift);
      return true;
    }
    case GaugeKey::kHome: {
      if (mods.alt) return false;
      const int old = caret_;
      if (mods.shift) {
        Select(old, 0);
      } else {
        sel_ = SelectionState::kNone;
        caret_ = 0;
      }
      scroll_ = 0;
      Moved();
      return true;
    }
    case GaugeKey::kEnd: {
      if (mods.alt) return false;
      const int old = caret_;
      if (mods.shift) {
        Select(old, Length());
      } else {
        sel_ = SelectionState::kNone;
        caret_ = Length();
      }
      ScrollEndIntoView();
      Moved();
      return true;
    }
    case GaugeKey::kDelete:
      if (!plain && !shift_only) return false;
      if (HasSelection()) {
        if (shift_only) {
          Cut();
        } else {
          DeleteSelection();
        }
      } else if (caret_ < Length()) {
        std::u32string t = text_;
        t.erase(caret_, 1);
        Edit(std::move(t), caret_);
      }
      return true;
    case GaugeKey::kInsert:
      if (shift_only) {
        Paste();
        return true;
      }
      if (ctrl_only) {
        Copy();
        return true;
      }
      return false;
    case GaugeKey::kBackspace:
      if (alt_only) {
        Undo();
        return true;
      }
      if (plain || shift_only) {
        Backspace();
        return true;
      }
      return false;
    case GaugeKey::kC:
    case GaugeKey::kV:
    case GaugeKey::kX:
    case GaugeKey::kA:
      if (!ctrl_only) return false;
      if (key == GaugeKey::kC) Copy();
      if (key == GaugeKey::kV) Paste();
      if (key == GaugeKey::kX) Cut();
      if (key == GaugeKey::kA) SelectAll();
      return true;
  }
  return false;
}

void GaugeEdit::Type(std::string_view utf8, GaugeModifiers mods) {
  if (mods.ctrl || mods.alt) return;
  std::u32string typed;
  for (char32_t c : Decode(utf8)) {
    if (c == 8) {
      if (!typed.empty()) {
        typed.pop_back();
      } else {
        Backspace();
      }
      continue;
    }
    if (IsControl(c)) continue;  // Escape among them: ignored
    typed.push_back(ApplyCase(c));
  }
  if (typed.empty()) return;
  std::u32string t = text_;
  int caret = caret_;
  if (HasSelection()) {
    caret = sel_first_ - 1;
    t.erase(caret, sel_last_ - caret);
    sel_ = SelectionState::kNone;
  }
  t.insert(static_cast<size_t>(caret), typed);
  Edit(std::move(t), caret + static_cast<int>(typed.size()));
}

void GaugeEdit::Backspace() {
  // With a selection, Backspace removes it wherever the caret stands: a
  // selection made with Shift+Home leaves the caret at 0, and the key must
  // not then do nothing.
  if (HasSelection()) {
    DeleteSelection();
    return;
  }
  if (caret_ == 0) return;
  std::u32string t = text_;
  t.erase(caret_ - 1, 1);
  Edit(std::move(t), caret_ - 1);
}

void GaugeEdit::DeleteSurrounding(int offset, int count) {
  const int from = std::clamp(caret_ + offset, 0, Length());
  const int to = std::clamp(from + std::max(0, count), 0, Length());
  if (to <= from) return;
  std::u32string t = text_;
  t.erase(from, to - from);
  sel_ = SelectionState::kNone;
  Edit(std::move(t), caret_ <= from ? caret_ : std::max(from, caret_ - (to - from)));
}

// Editing commands --------------------------------------------------------------------

void GaugeEdit::Copy() {
  if (HasSelection() && clipboard_ != nullptr) clipboard_->SetText(SelectedText());
}

void GaugeEdit::Cut() {
  if (!HasSelection()) return;
  Copy();
  DeleteSelection();
}

void GaugeEdit::Paste() {
  if (clipboard_ == nullptr) return;
  clipboard_->RequestText([this](const std::string& text) { PasteText(text); });
}

void GaugeEdit::PasteText(std::string_view utf8) {
  std::u32string pasted;
  for (char32_t c : Decode(utf8)) {
    if (!IsControl(c)) pasted.push_back(c);
  }
  std::u32string t = text_;
  int caret = caret_;
  if (HasSelection()) {
    caret = sel_first_ - 1;
    t.replace(caret, sel_last_ - caret, pasted);
  } else {
    t.insert(static_cast<size_t>(caret), pasted);
  }
  sel_ = SelectionState::kNone;
  Edit(std::move(t), caret + static_cast<int>(pasted.size()));
}

void GaugeEdit::DeleteSelection() {
  if (!HasSelection()) return;
  const int first = sel_first_ - 1;
  std::u32string t = text_;
  t.erase(first, sel_last_ - first);
  sel_ = SelectionState::kNone;
  Edit(std::move(t), first);
}

void GaugeEdit::Undo() {
  sel_ = SelectionState::kNone;
  if (undo_text_ != text_) {
    Change(undo_text_);
  } else {
    Moved();
  }
}

GaugeMenuState GaugeEdit::MenuState() {
  GaugeMenuState s;
  s.undo = text_ != undo_text_;
  s.cut = s.del = HasSelection() && !read_only_;
  s.copy = HasSelection();
  s.paste = !read_only_ && clipboard_ != nullptr && clipboard_->HasText();
  // Select All is offered whenever some text is not yet selected.
  s.select_all = !text_.empty() && !(HasSelection() && sel_first_ == 1 && sel_last_ == Length());
  return s;
}

// Mouse ----------------------------------------------------------------------------

void GaugeEdit::MousePress(int x) {
  sel_ = SelectionState::kNone;
  caret_ = CharAt(x);
  dragging_ = true;
  drag_anchor_ = caret_;
  Moved();
}

void GaugeEdit::MouseMove(int x) {
  if (!dragging_) return;
  if (x < 0 && scroll_ > 0) {
    scroll_ = std::max(0, scroll_ - 4);
  } else if (x > width_ && Measure(scroll_, caret_) > width_ - kCaretMargin) {
    scroll_ = std::min(Length(), scroll_ + 4);
  }
  Select(drag_anchor_, CharAt(x));
  Moved();
}

void GaugeEdit::MouseRelease() { dragging_ = false; }

void GaugeEdit::DoubleClick() {
  dragging_ = false;
  SelectAll();
}

void GaugeEdit::ContextMenuOpening(bool had_focus) {
  dragging_ = false;
  if (!had_focus) SelectAll();
}

}  // namespace orv
