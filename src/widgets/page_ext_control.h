// The model of the tab strip TPageExtControl: colours of a tab, gradient
// bands, fill and text placement, close areas and the layout of tabs in rows.
// Everything here is decided without a display; the GTK widget in
// page_ext_control_widget.h measures the captions and draws what it answers.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

// A colour as 0x00BBGGRR: red in the lowest byte.
using TColor = std::uint32_t;

constexpr TColor Rgb(int red, int green, int blue) {
  return static_cast<TColor>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int RedOf(TColor c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(TColor c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(TColor c) { return static_cast<int>((c >> 16) & 0xFF); }

// The control's own colour, painted behind the tabs.
inline constexpr TColor kPageExtControlColor = Rgb(149, 185, 253);

// A rectangle of whole pixels; right and bottom are exclusive, so a point on
// the right or bottom edge lies outside.
struct TRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  bool operator==(const TRect&) const = default;
};

enum class TabPosition { tpTop, tpBottom, tpLeft, tpRight };

inline bool IsVertical(TabPosition p) {
  return p == TabPosition::tpLeft || p == TabPosition::tpRight;
}

// The colours of one page's tab. Every change of a colour to a value other
// than its current one stores that colour's fixed value instead of the value
// given, so every page whose colours were ever set shows the same scheme.
// Not copyable: it belongs to one page, and a copy would bypass that rule.
class TTabColors {
 public:
  // The fixed values every change stores.
  static constexpr TColor kFixedColor = Rgb(248, 248, 241);
  static constexpr TColor kFixedActiveFontColor = Rgb(0, 0, 0);
  static constexpr TColor kFixedInActiveFontColor = Rgb(0, 0, 0);
  static constexpr TColor kFixedActiveFill1 = Rgb(248, 248, 241);
  static constexpr TColor kFixedActiveFill2 = Rgb(248, 248, 241);
  static constexpr TColor kFixedInActivefill1 = Rgb(255, 255, 255);
  static constexpr TColor kFixedInActivefill2 = Rgb(200, 219, 254);

  TTabColors() = default;
  TTabColors(const TTabColors&) = delete;
  TTabColors& operator=(const TTabColors&) = delete;

  TColor Color() const { return color_; }
  TColor ActiveFontColor() const { return active_font_; }
  TColor InActiveFontColor() const { return inactive_font_; }
  TColor ActiveFill1() const { return active_fill1_; }
  TColor ActiveFill2() const { return active_fill2_; }
  TColor InActivefill1() const { return inactive_fill1_; }
  TColor InActivefill2() const { return inactive_fill2_; }

  void SetColor(TColor value) { Store(color_, value, kFixedColor); }
  void SetActiveFontColor(TColor value) { Store(active_font_, value, kFixedActiveFontColor); }
  void SetInActiveFontColor(TColor value) { Store(inactive_font_, value, kFixedInActiveFontColor); }
  void SetActiveFill1(TColor value) { Store(active_fill1_, value, kFixedActiveFill1); }
  void SetActiveFill2(TColor value) { Store(active_fill2_, value, kFixedActiveFill2); }
  void SetInActivefill1(TColor value) { Store(inactive_fill1_, value, kFixedInActivefill1); }
  void SetInActivefill2(TColor value) { Store(inactive_fill2_, value, kFixedInActivefill2); }

  // Runs after a stored colour changed; the page uses it to repaint the strip.
  std::function<void()> OnChanged;

 private:
  void Store(TColor& slot, TColor value, TColor fixed);

  // Before any change the colours are the desktop's own look: a light face,
  // dark text, blue fills for the active tab and grey-blue ones otherwise.
  TColor color_ = Rgb(239, 239, 239);
  TColor active_font_ = Rgb(0, 0, 0);
  TColor inactive_font_ = Rgb(60, 60, 60);
  TColor active_fill1_ = Rgb(164, 196, 240);
  TColor active_fill2_ = Rgb(208, 224, 248);
  TColor inactive_fill1_ = Rgb(214, 219, 226);
  TColor inactive_fill2_ = Rgb(236, 239, 243);
};

// One band of a gradient fill.
struct ColorBand {
  TRect rect;
  TColor color;
};

enum class GradientDirection { kLeftToRight, kTopToBottom };

// The 256 bands that fill `rect` from `start` to `end`. Band k spans
// k * size / 256 to (k + 1) * size / 256 along the direction, and each channel
// is start + k * (end - start) / 255, truncated towards zero. Bands of a
// rectangle narrower than 256 pixels may be empty; they are kept, so band k
// is always element k.
std::vector<ColorBand> GradientBands(const TRect& rect, TColor start, TColor end,
                                     GradientDirection direction);

// How one tab is filled.
struct TabFill {
  TRect rect;
  bool gradient = false;  // false: a flat fill of `start`
  TColor start = 0;
  TColor end = 0;
  GradientDirection direction = GradientDirection::kLeftToRight;
};

// Without `tab_fill_gradient`, or with `hot_track`, the tab rectangle is filled
// flatly with the tab's brush (ActiveFill1 or InActivefill1). Otherwise an
// inactive tab's rectangle is shifted by its position and filled top to bottom
// from InActivefill1 to InActivefill2, and an active tab's rectangle narrowed
// by 1 on each side and filled from ActiveFill2 to ActiveFill1 along the tab.
TabFill PlanTabFill(const TRect& tab, TabPosition position, bool active, bool tab_fill_gradient,
                    bool hot_track, const TTabColors& colors);

// The caption a tab shows and keeps: trimmed, and with `close_btn` five blanks
// appended, which leave room for the close button.
std::string TabCaption(std::string_view caption, bool close_btn);

// Where a tab's caption and image go.
struct TabTextPlacement {
  TRect text_area;  // the caption is clipped to it
  int text_x = 0;   // for left and right tabs the origin of the rotated text
  int text_y = 0;
  double rotation_degrees = 0;  // 90 for left tabs (reading upwards), 270 for right
  int image_x = 0;
  int image_y = 0;
};

// `has_images`: the strip has images; the image size makes room for them even
// when this page's image index is out of range, so captions stay aligned.
TabTextPlacement PlaceTabText(const TRect& tab, TabPosition position, bool active, bool has_images,
                              int image_width, int image_height, int text_width, int text_height);

// The area of a tab that closes it. The tab is first extended to `tab_height`
// when it is lower. Top and bottom tabs: from max(right - 20, left) to the
// right edge over the full height, or with `small_close_btn` the 12-by-12
// square 4 pixels right of that start, centred vertically. Left tabs: the top
// 20 pixels; right tabs: the bottom 20 pixels; with `small_close_btn` a square
// 4 pixels from the left and 4 from the bottom of that part.
TRect CloseArea(const TRect& tab, TabPosition position, int tab_height, bool small_close_btn);

// Thrown by SetMultiLine(false) while the tabs are on the left or right.
inline constexpr char kMultiLineError[] =
    "MultiLine must be True when TabPosition is tpLeft or tpRight";

// The properties that constrain each other: MultiLine, TabPosition and
// ScrollOpposite.
class TabArrangement {
 public:
  bool MultiLine() const { return multi_line_; }
  bool ScrollOpposite() const { return scroll_opposite_; }
  TabPosition Position() const { return position_; }

  // Throws std::runtime_error(kMultiLineError) when turning MultiLine off
  // while the tabs are on the left or right. Turning it off also turns
  // ScrollOpposite off.
  void SetMultiLine(bool value);
  // ScrollOpposite only makes sense with several rows, so it turns MultiLine on.
  void SetScrollOpposite(bool value);
  // Tabs on the left or right need several rows, so moving them there turns
  // MultiLine on rather than leaving the two properties in conflict.
  void SetPosition(TabPosition value);

 private:
  bool multi_line_ = false;
  bool scroll_opposite_ = false;
  TabPosition position_ = TabPosition::tpTop;
};

// Spacing inside a tab: the caption's ends are this far from the tab's ends.
inline constexpr int kTabPadding = 6;
// The room between the last row of tabs and the page.
inline constexpr int kStripGap = 2;

struct TabLayoutInput {
  // The measured width of each page's caption; a negative width marks a page
  // whose tab is not visible: it gets an empty rectangle.
  std::vector<int> caption_widths;
  // The image size along the tab (the width for top and bottom tabs, the
  // height for left and right ones); 0 when the strip has no images.
  int image_extent = 0;
  int tab_height = 22;
  // The strip's length along the tabs: its width for top and bottom tabs.
  int strip_length = 0;
  bool multi_line = false;
  TabPosition position = TabPosition::tpTop;
  // The active page: a single row is scrolled so that it shows.
  int active = -1;
};

struct TabLayout {
  std::vector<TRect> tabs;  // one per page, in strip coordinates
  int rows = 0;
  // The strip's size across the tabs: rows * tab_height + kStripGap, or 0
  // without a visible tab.
  int depth = 0;
};

// The length of a tab along the strip for a caption of `caption_width`.
int TabLength(int caption_width, int image_extent);

// Places the tabs one after another. With `multi_line` a tab that does not fit
// the rest of a row starts a new one (a tab longer than the strip gets a row
// of its own); without it they share one row, shifted so that the active tab
// is in view. Top tabs stack their rows downwards towards the page, bottom
// tabs from the page downwards; left and right tabs run down the strip in
// columns of tab_height.
TabLayout LayoutTabs(const TabLayoutInput& input);

// The page whose tab contains the point, or -1.
int TabAt(const std::vector<TRect>& tabs, int x, int y);

}  // namespace orv
