// The scrolling text's behaviour without drawing: where the text strip
// stands, how it moves, and the colours of its edges. TALScrollingText
// (scrolling_text_widget.h) draws it.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace orv {

struct RgbColor {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const RgbColor&) const = default;
};

enum class TextLayout { kTop, kCenter, kBottom };
enum class TextDirection { kLeftToRight, kRightToLeft };

// The colour a letter is written in on the strip so that it can be keyed
// out: green (0, 128, 0) unless the font or the background is that green,
// then red (255, 0, 0).
RgbColor KeyColor(RgbColor font, RgbColor background);

// Colour number k of n, from `from` (k = 1) to `to` (k = n), each channel
// rounded to the nearest integer. Throws std::out_of_range for k outside
// 1..n. With n = 1 the one colour is `from`: a fade one column wide is the
// edge column in the background colour.
RgbColor FadeColor(int k, int n, RgbColor from, RgbColor to);

// The fade layer's columns, left to right: the font colour, except the
// `fade` outermost columns at each edge, which go from the background at
// the edge towards the font colour. A fade of 0 or less has none.
std::vector<RgbColor> FadeColumns(int width, int fade, RgbColor background, RgbColor font);

class ScrollingTextModel {
 public:
  // Size of the control, in pixels.
  void SetSize(int width, int height);
  // Size of the text as drawn; the strip is this wide plus twice the
  // control's width. Keeps the offset.
  void SetTextExtent(int width, int height);
  // Changing the direction puts the strip at its start offset.
  void SetDirection(TextDirection direction);
  TextDirection Direction() const { return direction_; }
  // Puts the strip at its start offset: 0 when the text moves right to
  // left (it enters at the right edge), width - strip width otherwise.
  void Restart();

  int Width() const { return width_; }
  int Height() const { return height_; }
  int StripWidth() const { return text_width_ + 2 * width_; }
  // Where the text stands on the strip.
  int TextX() const { return width_; }
  int TextY(TextLayout layout) const;
  int Offset() const { return offset_; }

  // One step of `jump` pixels, wrapping at the end of the strip.
  void Tick(int jump);

 private:
  int width_ = 50;
  int height_ = 18;
  int text_width_ = 0;
  int text_height_ = 0;
  int offset_ = -50;
  TextDirection direction_ = TextDirection::kLeftToRight;
};

// How far the text moves in a second with a step of `jump` pixels every
// `speed` milliseconds.
double PixelsPerSecond(int speed, int jump);

}  // namespace orv
