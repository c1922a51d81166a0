// The scrolling text's movement and colours, without drawing.
#include "widgets/scrolling_text.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

ScrollingTextModel Model(int width, int text_width, TextDirection direction) {
  ScrollingTextModel m;
  m.SetSize(width, 16);
  m.SetTextExtent(text_width, 10);
  m.SetDirection(direction);
  return m;
}

TEST(ScrollingText, StartOffsetsAndStripWidth) {
  const auto rtl = Model(100, 40, TextDirection::kRightToLeft);
  EXPECT_EQ(rtl.StripWidth(), 240);
  EXPECT_EQ(rtl.TextX(), 100);
  EXPECT_EQ(rtl.Offset(), 0);
  const auto ltr = Model(100, 40, TextDirection::kLeftToRight);
  EXPECT_EQ(ltr.Offset(), 100 - 240);
  // An empty text scrolls a blank strip twice the control's width.
  EXPECT_EQ(Model(100, 0, TextDirection::kRightToLeft).StripWidth(), 200);
}

TEST(ScrollingText, WrapsInBothDirections) {
  auto rtl = Model(100, 40, TextDirection::kRightToLeft);
  // Right to left: down to width - strip width, then back to 0.
  for (int i = 0; i < 139; ++i) rtl.Tick(1);
  EXPECT_EQ(rtl.Offset(), -139);
  rtl.Tick(1);
  EXPECT_EQ(rtl.Offset(), 0);
  auto ltr = Model(100, 40, TextDirection::kLeftToRight);
  for (int i = 0; i < 139; ++i) ltr.Tick(1);
  EXPECT_EQ(ltr.Offset(), -1);
  ltr.Tick(1);
  EXPECT_EQ(ltr.Offset(), -140);
  // A jump past the end wraps too.
  ltr.Tick(1000);
  EXPECT_EQ(ltr.Offset(), -140);
}

TEST(ScrollingText, NewTextKeepsTheOffsetANewDirectionRestarts) {
  auto m = Model(100, 40, TextDirection::kRightToLeft);
  for (int i = 0; i < 25; ++i) m.Tick(2);
  m.SetTextExtent(300, 10);
  EXPECT_EQ(m.Offset(), -50);
  m.SetDirection(TextDirection::kLeftToRight);
  EXPECT_EQ(m.Offset(), 100 - 500);
}

TEST(ScrollingText, LayoutPlacesTheTextVertically) {
  const auto m = Model(100, 40, TextDirection::kRightToLeft);
  EXPECT_EQ(m.TextY(TextLayout::kTop), 0);
  EXPECT_EQ(m.TextY(TextLayout::kCenter), 3);
  EXPECT_EQ(m.TextY(TextLayout::kBottom), 6);
}

TEST(ScrollingText, SpeedAndJumpGiveThePace) {
  EXPECT_DOUBLE_EQ(PixelsPerSecond(30, 3), 100.0);
  EXPECT_DOUBLE_EQ(PixelsPerSecond(10, 1), 100.0);
  EXPECT_DOUBLE_EQ(PixelsPerSecond(0, 1), 0.0);
}

TEST(ScrollingText, KeyColourAvoidsTheColoursInUse) {
  const RgbColor green{0, 128, 0};
  const RgbColor red{255, 0, 0};
  EXPECT_EQ(KeyColor({255, 255, 255}, {0, 128, 192}), green);
  EXPECT_EQ(KeyColor(green, {0, 128, 192}), red);
  EXPECT_EQ(KeyColor({255, 255, 255}, green), red);
}

TEST(ScrollingText, FadeGoesFromBackgroundToFontColour) {
  const RgbColor bg{0, 128, 192};
  const RgbColor font{255, 255, 255};
  EXPECT_EQ(FadeColor(1, 15, bg, font), bg);
  EXPECT_EQ(FadeColor(15, 15, bg, font), font);
  // (255 - 0) * 1 / 2 = 127.5 rounds up; (255 - 192) * 1 / 2 = 31.5 too.
  EXPECT_EQ(FadeColor(2, 3, bg, font), (RgbColor{128, 192, 224}));
  // Towards a darker colour the halves round away from zero as well.
  EXPECT_EQ(FadeColor(2, 3, font, bg), (RgbColor{127, 191, 223}));
  // A fade one column wide is the edge in the background colour.
  EXPECT_EQ(FadeColor(1, 1, bg, font), bg);
  try {
    FadeColor(0, 15, bg, font);
    ADD_FAILURE();
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "ColorIndex can't be less than 1 or greater than 15");
  }
  EXPECT_THROW(FadeColor(16, 15, bg, font), std::out_of_range);
}

TEST(ScrollingText, FadeColumnsAtBothEdges) {
  const RgbColor bg{0, 0, 0};
  const RgbColor font{90, 90, 90};
  const auto cols = FadeColumns(10, 3, bg, font);
  const std::vector<RgbColor> expected = {bg, {45, 45, 45}, font, font, font,
                                     font, font, font, {45, 45, 45}, bg};
  EXPECT_EQ(cols, expected);
  EXPECT_EQ(FadeColumns(4, 0, bg, font), std::vector<RgbColor>(4, font));
  // A fade wider than half the control overlaps itself and stays in bounds.
  EXPECT_EQ(FadeColumns(2, 5, bg, font).size(), 2u);
}

}  // namespace
}  // namespace orv
