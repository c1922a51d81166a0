#include "widgets/scrolling_text.h"

#include <cstdlib>

namespace orv {

namespace {

constexpr RgbColor kGreen{0, 128, 0};
constexpr RgbColor kRed{255, 0, 0};

// a * b / c rounded to the nearest integer, halves away from zero.
int MulDivRound(int a, int b, int c) {
  const long long product = static_cast<long long>(a) * b;
  const long long magnitude = (2 * std::llabs(product) + c) / (2LL * c);
  return static_cast<int>(product < 0 ? -magnitude : magnitude);
}

uint8_t Channel(uint8_t from, uint8_t to, int k, int n) {
  if (n == 1) return from;
  return static_cast<uint8_t>(from + MulDivRound(to - from, k - 1, n - 1));
}

}  // namespace

RgbColor KeyColor(RgbColor font, RgbColor background) {
  return font == kGreen || background == kGreen ? kRed : kGreen;
}

RgbColor FadeColor(int k, int n, RgbColor from, RgbColor to) {
  if (k < 1 || k > n) {
    throw std::out_of_range("ColorIndex can't be less than 1 or greater than " + std::to_string(n));
  }
  return {Channel(from.r, to.r, k, n), Channel(from.g, to.g, k, n), Channel(from.b, to.b, k, n)};
}

std::vector<RgbColor> FadeColumns(int width, int fade, RgbColor background, RgbColor font) {
  std::vector<RgbColor> columns(static_cast<size_t>(width > 0 ? width : 0), font);
  for (int i = 0; i < fade; ++i) {
    const RgbColor c = FadeColor(i + 1, fade, background, font);
    if (i < width) columns[static_cast<size_t>(i)] = c;
    if (width - 1 - i >= 0) columns[static_cast<size_t>(width - 1 - i)] = c;
  }
  return columns;
}

void ScrollingTextModel::SetSize(int width, int height) {
  width_ = width > 0 ? width : 0;
  height_ = height > 0 ? height : 0;
}

void ScrollingTextModel::SetTextExtent(int width, int height) {
  text_width_ = width > 0 ? width : 0;
  text_height_ = height > 0 ? height : 0;
}

void ScrollingTextModel::SetDirection(TextDirection direction) {
  direction_ = direction;
  Restart();
}

void ScrollingTextModel::Restart() {
  offset_ = direction_ == TextDirection::kRightToLeft ? 0 : width_ - StripWidth();
}

int ScrollingTextModel::TextY(TextLayout layout) const {
  switch (layout) {
    case TextLayout::kTop:
      return 0;
    case TextLayout::kCenter:
      return height_ / 2 - text_height_ / 2;
    case TextLayout::kBottom:
      return height_ - text_height_;
  }
  return 0;
}

void ScrollingTextModel::Tick(int jump) {
  if (direction_ == TextDirection::kRightToLeft) {
    offset_ -= jump;
    if (offset_ <= width_ - StripWidth()) offset_ = 0;
  } else {
    offset_ += jump;
    if (offset_ >= 0) offset_ = width_ - StripWidth();
  }
}

double PixelsPerSecond(int speed, int jump) {
  return speed > 0 ? 1000.0 * jump / speed : 0.0;
}

}  // namespace orv
