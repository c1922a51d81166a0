// The tab strip's model: colours, gradients, placement, close areas, layout.
#include "widgets/page_ext_control.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace orv {
namespace {

TEST(PageExtColors, EveryChangeStoresTheFixedScheme) {
  using Setter = void (TTabColors::*)(TColor);
  using Getter = TColor (TTabColors::*)() const;
  struct Case {
    const char* name;
    Setter set;
    Getter get;
    TColor fixed;
  } cases[] = {
      {"Color", &TTabColors::SetColor, &TTabColors::Color, Rgb(248, 248, 241)},
      {"ActiveFontColor", &TTabColors::SetActiveFontColor, &TTabColors::ActiveFontColor, 0},
      {"InActiveFontColor", &TTabColors::SetInActiveFontColor, &TTabColors::InActiveFontColor, 0},
      {"ActiveFill1", &TTabColors::SetActiveFill1, &TTabColors::ActiveFill1, Rgb(248, 248, 241)},
      {"ActiveFill2", &TTabColors::SetActiveFill2, &TTabColors::ActiveFill2, Rgb(248, 248, 241)},
      {"InActivefill1", &TTabColors::SetInActivefill1, &TTabColors::InActivefill1,
       Rgb(255, 255, 255)},
      {"InActivefill2", &TTabColors::SetInActivefill2, &TTabColors::InActivefill2,
       Rgb(200, 219, 254)},
  };
  for (const Case& c : cases) {
    TTabColors colors;
    int changes = 0;
    colors.OnChanged = [&] { ++changes; };
    const TColor initial = (colors.*c.get)();
    // The value it already has changes nothing.
    (colors.*c.set)(initial);
    EXPECT_EQ((colors.*c.get)(), initial) << c.name;
    EXPECT_EQ(changes, 0) << c.name;
    // Pure red, and then a second colour: both store the fixed value.
    (colors.*c.set)(Rgb(255, 0, 0));
    EXPECT_EQ((colors.*c.get)(), c.fixed) << c.name;
    (colors.*c.set)(Rgb(1, 2, 3));
    EXPECT_EQ((colors.*c.get)(), c.fixed) << c.name;
    EXPECT_EQ(changes, initial == c.fixed ? 0 : 1) << c.name;
  }
  // The byte order: red lowest.
  EXPECT_EQ(TTabColors::kFixedInActivefill2, 16702408u);
  EXPECT_EQ(TTabColors::kFixedActiveFill1, 15857912u);
}

TEST(PageExtGradient, BandsSplitTheSizeAndStepEachChannel) {
  // 512 wide, black to a colour with one rising, one falling, one fixed channel.
  const TRect r{10, 5, 522, 25};
  const auto bands =
      GradientBands(r, Rgb(0, 200, 7), Rgb(255, 0, 7), GradientDirection::kLeftToRight);
  ASSERT_EQ(bands.size(), 256u);
  EXPECT_EQ(bands[0].rect, (TRect{10, 5, 12, 25}));
  EXPECT_EQ(bands[255].rect, (TRect{520, 5, 522, 25}));
  EXPECT_EQ(bands[0].color, Rgb(0, 200, 7));
  EXPECT_EQ(bands[255].color, Rgb(255, 0, 7));
  // 200 + 1 * (-200) / 255 truncates towards zero: 200, not 199.
  EXPECT_EQ(GreenOf(bands[1].color), 200);
  EXPECT_EQ(GreenOf(bands[128].color), 200 - 128 * 200 / 255);
  EXPECT_EQ(RedOf(bands[128].color), 128);

  // Narrower than 256: some bands are empty, together they cover it exactly.
  const auto narrow =
      GradientBands({0, 0, 4, 100}, 0, Rgb(255, 255, 255), GradientDirection::kTopToBottom);
  ASSERT_EQ(narrow.size(), 256u);
  int covered = 0;
  for (int k = 0; k < 256; ++k) {
    EXPECT_EQ(narrow[k].rect.top, k * 100 / 256);
    EXPECT_EQ(narrow[k].rect.bottom, (k + 1) * 100 / 256);
    EXPECT_EQ(narrow[k].rect.Width(), 4);
    covered += narrow[k].rect.Height();
  }
  EXPECT_EQ(covered, 100);
  EXPECT_TRUE(narrow[0].rect.Empty());
  // An inverted rectangle yields only empty bands instead of negative ones.
  for (const auto& band : GradientBands({5, 0, 0, 5}, 0, 0, GradientDirection::kLeftToRight)) {
    EXPECT_TRUE(band.rect.Empty());
  }
}

TEST(PageExtFill, RectangleAndColoursByPositionAndState) {
  TTabColors colors;
  colors.SetActiveFill1(1);
  colors.SetInActivefill1(1);
  colors.SetInActivefill2(1);
  const TRect tab{10, 0, 60, 22};
  struct Case {
    TabPosition position;
    bool active;
    TRect rect;
    GradientDirection direction;
  } cases[] = {
      {TabPosition::tpTop, false, {10, 0, 62, 22}, GradientDirection::kTopToBottom},
      {TabPosition::tpBottom, false, {11, -2, 59, 22}, GradientDirection::kTopToBottom},
      {TabPosition::tpLeft, false, {10, 0, 62, 22}, GradientDirection::kTopToBottom},
      {TabPosition::tpRight, false, {8, 0, 60, 22}, GradientDirection::kTopToBottom},
      {TabPosition::tpTop, true, {11, 0, 59, 22}, GradientDirection::kLeftToRight},
      {TabPosition::tpBottom, true, {11, 0, 59, 22}, GradientDirection::kLeftToRight},
      {TabPosition::tpLeft, true, {11, 0, 59, 22}, GradientDirection::kTopToBottom},
      {TabPosition::tpRight, true, {11, 0, 59, 22}, GradientDirection::kTopToBottom},
  };
  for (const Case& c : cases) {
    const TabFill f = PlanTabFill(tab, c.position, c.active, true, false, colors);
    SCOPED_TRACE(static_cast<int>(c.position) * 2 + c.active);
    EXPECT_TRUE(f.gradient);
    EXPECT_EQ(f.rect, c.rect);
    EXPECT_EQ(f.direction, c.direction);
    // Inactive: fill1 to fill2; active: fill2 to fill1.
    EXPECT_EQ(f.start, c.active ? colors.ActiveFill2() : colors.InActivefill1());
    EXPECT_EQ(f.end, c.active ? colors.ActiveFill1() : colors.InActivefill2());
  }
  // Without gradients, or with hot tracking, the plain rectangle in the brush.
  for (const bool hot_track : {false, true}) {
    const TabFill flat = PlanTabFill(tab, TabPosition::tpTop, false, hot_track, hot_track, colors);
    EXPECT_FALSE(flat.gradient);
    EXPECT_EQ(flat.rect, tab);
    EXPECT_EQ(flat.start, colors.InActivefill1());
  }
}

TEST(PageExtCaption, TrimmedAndFiveBlanksWithTheCloseButton) {
  EXPECT_EQ(TabCaption("News", true), "News     ");
  EXPECT_EQ(TabCaption("  News \t", true), "News     ");
  // Kept as shown: applying it again changes nothing.
  EXPECT_EQ(TabCaption(TabCaption("News", true), true), "News     ");
  EXPECT_EQ(TabCaption(" News     ", false), "News");
  EXPECT_EQ(TabCaption("     ", true), "     ");
  EXPECT_EQ(TabCaption("", false), "");
}

TEST(PageExtPlacement, TextCentredImageBeforeItAndRotatedSides) {
  const TRect tab{0, 0, 100, 22};
  // Top, active, 16-pixel images: the text area starts after image + 5.
  TabTextPlacement p = PlaceTabText(tab, TabPosition::tpTop, true, true, 16, 16, 40, 14);
  EXPECT_EQ(p.text_area, (TRect{21, 0, 100, 22}));
  EXPECT_EQ(p.text_x, 21 + (79 - 40) / 2);
  EXPECT_EQ(p.text_y, 4);
  EXPECT_EQ(p.image_x, p.text_x - 16 - 5);
  EXPECT_EQ(p.image_y, p.text_y - 2);
  EXPECT_EQ(p.rotation_degrees, 0);
  // Inactive top tabs sit 2 lower, inactive bottom tabs 2 higher.
  EXPECT_EQ(PlaceTabText(tab, TabPosition::tpTop, false, true, 16, 16, 40, 14).text_y, 6);
  EXPECT_EQ(PlaceTabText(tab, TabPosition::tpBottom, false, true, 16, 16, 40, 14).text_y, 2);
  // Without images the caption has the whole tab.
  EXPECT_EQ(PlaceTabText(tab, TabPosition::tpTop, true, false, 16, 16, 40, 14).text_x, 30);

  const TRect side{0, 0, 22, 100};
  p = PlaceTabText(side, TabPosition::tpLeft, false, true, 16, 16, 40, 14);
  EXPECT_EQ(p.text_area, (TRect{0, 0, 22, 79}));
  EXPECT_EQ(p.rotation_degrees, 90);
  EXPECT_EQ(p.text_x, (22 - 14) / 2);
  EXPECT_EQ(p.text_y, (79 - 40) / 2 + 40);
  EXPECT_EQ(p.image_x, p.text_x + 2);
  EXPECT_EQ(p.image_y, p.text_y + 5);
  p = PlaceTabText(side, TabPosition::tpRight, true, true, 16, 16, 40, 14);
  EXPECT_EQ(p.text_area, (TRect{0, 21, 22, 100}));
  EXPECT_EQ(p.rotation_degrees, 270);
  EXPECT_EQ(p.text_x, (22 - 14) / 2 + 14);
  EXPECT_EQ(p.text_y, 21 + (79 - 40) / 2);
  // The image stays inside the tab, in the text's column, above the text.
  EXPECT_GE(p.image_x, 0);
  EXPECT_LE(p.image_x + 16, 22);
  EXPECT_EQ(p.image_y, p.text_y - 16 - 5);
}

TEST(PageExtCloseArea, TopAndBottomTabs) {
  struct Case {
    TRect tab;
    bool small;
    TRect area;
  } cases[] = {
      // The last 20 pixels over the full height.
      {{100, 0, 180, 22}, false, {160, 0, 180, 22}},
      // Narrower than 20: from its own left edge.
      {{100, 0, 115, 22}, false, {100, 0, 115, 22}},
      {{100, 0, 115, 22}, true, {104, 5, 116, 17}},
      // Lower than TabHeight: extended to it first.
      {{100, 4, 180, 18}, false, {160, 4, 180, 26}},
      {{100, 4, 180, 18}, true, {164, 9, 176, 21}},
      // (height - 12) / 2 rounds towards zero: 23 high puts the square 5 down.
      {{0, 0, 50, 23}, true, {34, 5, 46, 17}},
  };
  for (const Case& c : cases) {
    for (const TabPosition pos : {TabPosition::tpTop, TabPosition::tpBottom}) {
      EXPECT_EQ(CloseArea(c.tab, pos, 22, c.small), c.area)
          << c.tab.left << "," << c.tab.right << " small " << c.small;
    }
  }
}

TEST(PageExtCloseArea, LeftTabsAtTheTopRightTabsAtTheBottomInsideTheTab) {
  const TRect tab{0, 50, 22, 150};
  EXPECT_EQ(CloseArea(tab, TabPosition::tpLeft, 22, false), (TRect{0, 50, 22, 70}));
  EXPECT_EQ(CloseArea(tab, TabPosition::tpLeft, 22, true), (TRect{4, 54, 16, 66}));
  EXPECT_EQ(CloseArea(tab, TabPosition::tpRight, 22, false), (TRect{0, 130, 22, 150}));
  EXPECT_EQ(CloseArea(tab, TabPosition::tpRight, 22, true), (TRect{4, 134, 16, 146}));
  // A tab shorter than 20 pixels is all close area.
  EXPECT_EQ(CloseArea({0, 0, 22, 12}, TabPosition::tpRight, 22, false), (TRect{0, 0, 22, 12}));
}

TEST(PageExtArrangement, MultiLineIsRequiredBesideThePage) {
  TabArrangement a;
  a.SetScrollOpposite(true);
  EXPECT_TRUE(a.MultiLine());
  a.SetMultiLine(false);
  EXPECT_FALSE(a.ScrollOpposite());

  for (const TabPosition side : {TabPosition::tpLeft, TabPosition::tpRight}) {
    TabArrangement b;
    b.SetPosition(side);
    EXPECT_TRUE(b.MultiLine());
    try {
      b.SetMultiLine(false);
      ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "MultiLine must be True when TabPosition is tpLeft or tpRight");
    }
    EXPECT_TRUE(b.MultiLine());
    b.SetPosition(TabPosition::tpBottom);
    EXPECT_NO_THROW(b.SetMultiLine(false));
  }
}

TEST(PageExtLayout, TabsWrapIntoRowsWhenTheyDoNotFit) {
  TabLayoutInput in;
  in.caption_widths = {48, 48, 48};  // 60 pixels per tab with the padding
  in.tab_height = 22;
  in.strip_length = 150;
  in.multi_line = true;
  TabLayout l = LayoutTabs(in);
  EXPECT_EQ(l.rows, 2);
  EXPECT_EQ(l.depth, 2 * 22 + kStripGap);
  EXPECT_EQ(l.tabs[0], (TRect{0, 0, 60, 22}));
  EXPECT_EQ(l.tabs[1], (TRect{60, 0, 120, 22}));
  EXPECT_EQ(l.tabs[2], (TRect{0, 22, 60, 44}));

  // Exactly filling a row still fits; a tab longer than the strip gets a row
  // of its own instead of an empty row before it.
  in.strip_length = 120;
  EXPECT_EQ(LayoutTabs(in).rows, 2);
  in.caption_widths = {500, 10};
  l = LayoutTabs(in);
  EXPECT_EQ(l.rows, 2);
  EXPECT_EQ(l.tabs[0].top, 0);
  EXPECT_EQ(l.tabs[1], (TRect{0, 22, 22, 44}));

  // Images lengthen every tab by image + 5.
  in.caption_widths = {48};
  in.image_extent = 16;
  EXPECT_EQ(LayoutTabs(in).tabs[0].Width(), 60 + 21);
}

TEST(PageExtLayout, OneRowScrollsToTheActiveTabAndHiddenTabsTakeNoRoom) {
  TabLayoutInput in;
  in.caption_widths = {48, -1, 48, 48, 48};
  in.strip_length = 150;
  in.multi_line = false;
  in.active = 4;
  TabLayout l = LayoutTabs(in);
  EXPECT_EQ(l.rows, 1);
  EXPECT_TRUE(l.tabs[1].Empty());
  // Four visible tabs of 60: the last ends at 240, shifted to end at 150.
  EXPECT_EQ(l.tabs[4], (TRect{90, 0, 150, 22}));
  EXPECT_EQ(l.tabs[0].left, -90);
  in.active = 0;
  EXPECT_EQ(LayoutTabs(in).tabs[0].left, 0);

  in.caption_widths = {-1, -1};
  l = LayoutTabs(in);
  EXPECT_EQ(l.rows, 0);
  EXPECT_EQ(l.depth, 0);
}

TEST(PageExtLayout, PositionsAndHitTesting) {
  TabLayoutInput in;
  in.caption_widths = {48, 48};
  in.strip_length = 200;
  in.multi_line = true;
  in.position = TabPosition::tpBottom;
  TabLayout l = LayoutTabs(in);
  // Bottom tabs leave the gap towards the page above them.
  EXPECT_EQ(l.tabs[0], (TRect{0, kStripGap, 60, 22 + kStripGap}));
  in.position = TabPosition::tpLeft;
  l = LayoutTabs(in);
  EXPECT_EQ(l.tabs[1], (TRect{0, 60, 22, 120}));
  in.position = TabPosition::tpRight;
  EXPECT_EQ(LayoutTabs(in).tabs[1], (TRect{kStripGap, 60, 22 + kStripGap, 120}));

  // Right and bottom edges lie outside, so neighbours never both match.
  l = LayoutTabs({.caption_widths = {48, 48}, .strip_length = 200});
  EXPECT_EQ(TabAt(l.tabs, 0, 0), 0);
  EXPECT_EQ(TabAt(l.tabs, 59, 21), 0);
  EXPECT_EQ(TabAt(l.tabs, 60, 10), 1);
  EXPECT_EQ(TabAt(l.tabs, 60, 22), -1);
  EXPECT_EQ(TabAt(l.tabs, 130, 5), -1);
}

}  // namespace
}  // namespace orv
