#include "widgets/page_ext_control.h"

#include <algorithm>
#include <stdexcept>

#include "common/text.h"

namespace orv {

void TTabColors::Store(TColor& slot, TColor value, TColor fixed) {
  if (value == slot) return;
  // Whatever was asked for, the scheme's own value is what the tab shows.
  if (slot == fixed) return;
  slot = fixed;
  if (OnChanged) OnChanged();
}

namespace {

int Channel(int start, int end, int k) { return start + k * (end - start) / 255; }

}  // namespace

std::vector<ColorBand> GradientBands(const TRect& rect, TColor start, TColor end,
                                     GradientDirection direction) {
  const bool across = direction == GradientDirection::kLeftToRight;
  const int size = std::max(0, across ? rect.Width() : rect.Height());
  std::vector<ColorBand> bands;
  bands.reserve(256);
  for (int k = 0; k < 256; ++k) {
    const TColor color =
        Rgb(Channel(RedOf(start), RedOf(end), k), Channel(GreenOf(start), GreenOf(end), k),
            Channel(BlueOf(start), BlueOf(end), k));
    TRect band = rect;
    const int from = k * size / 256;
    const int to = (k + 1) * size / 256;
    if (across) {
      band.left = rect.left + from;
      band.right = rect.left + to;
    } else {
      band.top = rect.top + from;
      band.bottom = rect.top + to;
    }
    bands.push_back({band, color});
  }
  return bands;
}

TabFill PlanTabFill(const TRect& tab, TabPosition position, bool active, bool tab_fill_gradient,
                    bool hot_track, const TTabColors& colors) {
  TabFill fill;
  fill.rect = tab;
  fill.start = active ? colors.ActiveFill1() : colors.InActivefill1();
  fill.end = fill.start;
  if (!tab_fill_gradient || hot_track) return fill;

  fill.gradient = true;
  TRect& r = fill.rect;
  if (!active) {
    switch (position) {
      case TabPosition::tpTop:
      case TabPosition::tpLeft:
        // Widened by 1 on each side, then shifted right by 1.
        r.right += 2;
        break;
      case TabPosition::tpBottom:
        // Narrowed by 1 on each side, grown by 1 at top and bottom, shifted up 1.
        r.left += 1;
        r.right -= 1;
        r.top -= 2;
        break;
      case TabPosition::tpRight:
        // Widened by 1 on each side, then shifted left by 1.
        r.left -= 2;
        break;
    }
    fill.start = colors.InActivefill1();
    fill.end = colors.InActivefill2();
    fill.direction = GradientDirection::kTopToBottom;
  } else {
    r.left += 1;
    r.right -= 1;
    fill.start = colors.ActiveFill2();
    fill.end = colors.ActiveFill1();
    fill.direction =
        IsVertical(position) ? GradientDirection::kTopToBottom : GradientDirection::kLeftToRight;
  }
  return fill;
}

std::string TabCaption(std::string_view caption, bool close_btn) {
  std::string text = TrimBlanks(caption);
  if (close_btn) text += "     ";
  return text;
}

TabTextPlacement PlaceTabText(const TRect& tab, TabPosition position, bool active, bool has_images,
                              int image_width, int image_height, int text_width, int text_height) {
  TabTextPlacement p;
  TRect& area = p.text_area;
  area = tab;
  if (has_images) {
    switch (position) {
      case TabPosition::tpTop:
      case TabPosition::tpBottom:
        area.left += image_width + 5;
        break;
      case TabPosition::tpLeft:
        area.bottom -= image_height + 5;
        break;
      case TabPosition::tpRight:
        area.top += image_height + 5;
        break;
    }
  }
  switch (position) {
    case TabPosition::tpTop:
    case TabPosition::tpBottom:
      p.text_x = area.left + (area.Width() - text_width) / 2;
      p.text_y = area.top + (area.Height() - text_height) / 2;
      if (!active) p.text_y += position == TabPosition::tpTop ? 2 : -2;
      p.image_x = p.text_x - image_width - 5;
      p.image_y = p.text_y - 2;
      break;
    case TabPosition::tpLeft:
      // Rotated through 90 degrees: the text starts at the bottom and reads up.
      p.rotation_degrees = 90;
      p.text_x = area.left + (area.Width() - text_height) / 2;
      p.text_y = area.top + (area.Height() - text_width) / 2 + text_width;
      p.image_x = p.text_x + (active ? 0 : 2);
      p.image_y = p.text_y + 5;
      break;
    case TabPosition::tpRight:
      // Rotated through 270 degrees: the text starts at the top and reads down.
      p.rotation_degrees = 270;
      p.text_x = area.left + (area.Width() - text_height) / 2 + text_height;
      p.text_y = area.top + (area.Height() - text_width) / 2;
      p.image_x = p.text_x - text_height - (active ? 0 : 2);
      p.image_y = p.text_y - image_height - 5;
      break;
  }
  return p;
}

TRect CloseArea(const TRect& tab, TabPosition position, int tab_height, bool small_close_btn) {
  TRect r = tab;
  if (!IsVertical(position)) {
    if (r.Height() < tab_height) r.bottom = r.top + tab_height;
    const int start = std::max(r.right - 20, r.left);
    if (!small_close_btn) return {start, r.top, r.right, r.bottom};
    const int top = r.top + (r.Height() - 12) / 2;
    return {start + 4, top, start + 16, top + 12};
  }
  // Left tabs read upwards, so their caption (and its five trailing blanks)
  // ends at the top; right tabs read downwards and end at the bottom.
  TRect part = r;
  if (position == TabPosition::tpLeft) {
    part.bottom = std::min(r.top + 20, r.bottom);
  } else {
    part.top = std::max(r.bottom - 20, r.top);
  }
  if (!small_close_btn) return part;
  // The square stays inside the tab on both sides, so it can be seen and hit.
  return {part.left + 4, part.bottom - 16, part.left + 16, part.bottom - 4};
}

void TabArrangement::SetMultiLine(bool value) {
  if (!value && IsVertical(position_)) throw std::runtime_error(kMultiLineError);
  multi_line_ = value;
  if (!value) scroll_opposite_ = false;
}

void TabArrangement::SetScrollOpposite(bool value) {
  scroll_opposite_ = value;
  if (value) multi_line_ = true;
}

void TabArrangement::SetPosition(TabPosition value) {
  position_ = value;
  if (IsVertical(value)) multi_line_ = true;
}

int TabLength(int caption_width, int image_extent) {
  const int image = image_extent > 0 ? image_extent + 5 : 0;
  return kTabPadding + image + std::max(0, caption_width) + kTabPadding;
}

TabLayout LayoutTabs(const TabLayoutInput& in) {
  TabLayout out;
  const int count = static_cast<int>(in.caption_widths.size());
  out.tabs.assign(count, TRect{});
  const int height = std::max(1, in.tab_height);
  const int strip = std::max(0, in.strip_length);

  // Along the strip: `pos` within the row `row`.
  struct Slot {
    int row, pos, length;
  };
  std::vector<Slot> slots(count, Slot{-1, 0, 0});
  int row = 0;
  int pos = 0;
  bool any = false;
  for (int i = 0; i < count; ++i) {
    if (in.caption_widths[i] < 0) continue;
    const int length = TabLength(in.caption_widths[i], in.image_extent);
    if (in.multi_line && pos > 0 && pos + length > strip) {
      ++row;
      pos = 0;
    }
    slots[i] = {row, pos, length};
    pos += length;
    any = true;
  }
  if (!any) return out;
  out.rows = row + 1;
  out.depth = out.rows * height + kStripGap;

  // A single row longer than the strip scrolls just far enough to show the
  // active tab whole (its start wins when it is longer than the strip).
  int shift = 0;
  if (!in.multi_line && in.active >= 0 && in.active < count && slots[in.active].row >= 0) {
    const Slot& a = slots[in.active];
    if (a.pos + a.length > strip) shift = a.pos + a.length - strip;
    shift = std::min(shift, a.pos);
  }

  for (int i = 0; i < count; ++i) {
    const Slot& s = slots[i];
    if (s.row < 0) continue;
    const int along = s.pos - shift;
    const int across = s.row * height;
    if (IsVertical(in.position)) {
      out.tabs[i] = {across, along, across + height, along + s.length};
    } else {
      out.tabs[i] = {along, across, along + s.length, across + height};
    }
  }
  // Top tabs sit above the page and bottom tabs below it; in both the gap
  // lies between the tabs and the page.
  if (in.position == TabPosition::tpBottom || in.position == TabPosition::tpRight) {
    for (TRect& r : out.tabs) {
      if (r.Empty()) continue;
      if (in.position == TabPosition::tpBottom) {
        r.top += kStripGap;
        r.bottom += kStripGap;
      } else {
        r.left += kStripGap;
        r.right += kStripGap;
      }
    }
  }
  return out;
}

int TabAt(const std::vector<TRect>& tabs, int x, int y) {
  for (size_t i = 0; i < tabs.size(); ++i) {
    if (tabs[i].Contains(x, y)) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace orv
