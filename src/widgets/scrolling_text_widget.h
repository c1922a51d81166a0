// TALScrollingText: one line of text scrolling through the control's area
// on a timer, fading into the background at both edges. The news ticker is
// one. The movement and the colours come from scrolling_text.h; this file
// draws through three surfaces (the text strip, the fade layer and the
// composite), so each step is one copy to the screen.
#pragma once

#include <gtkmm.h>

#include <functional>
#include <string>

#include "widgets/scrolling_text.h"

namespace orv {

class TALScrollingText : public Gtk::DrawingArea {
 public:
  TALScrollingText();
  ~TALScrollingText() override;

  const std::string& Text() const { return text_; }
  // Keeps the current offset.
  void SetText(const std::string& text);
  // Interval of the scroll timer, in milliseconds.
  int Speed() const { return speed_; }
  void SetSpeed(int speed);
  int PixelJump() const { return pixel_jump_; }
  void SetPixelJump(int jump) { pixel_jump_ = jump; }
  RgbColor BackgroundColor() const { return background_; }
  void SetBackgroundColor(RgbColor color);
  RgbColor FontColor() const { return font_color_; }
  void SetFontColor(RgbColor color);
  void SetFont(const Pango::FontDescription& font);
  int EdgeFadeWidth() const { return edge_fade_width_; }
  void SetEdgeFadeWidth(int width);
  void SetLayout(TextLayout layout);
  TextDirection Direction() const { return model_.Direction(); }
  void SetTextDirection(TextDirection direction);
  // Enabled: scrolls while shown. Setting "Visible" sets both it and the
  // control's visibility, so a hidden ticker stops moving.
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  void SetScrollVisible(bool visible);

  // Whether the scroll timer runs now.
  bool Scrolling() const { return timer_.connected(); }
  const ScrollingTextModel& Model() const { return model_; }
  // One timer step: move, and compose at the next drawing.
  void Step();

  std::function<void()> OnClick;

 protected:
  bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;
  void on_size_allocate(Gtk::Allocation& allocation) override;
  void on_realize() override;
  void on_map() override;
  void on_unmap() override;
  bool on_button_press_event(GdkEventButton* event) override;
  bool on_button_release_event(GdkEventButton* event) override;

 private:
  void Rebuild();
  void Compose();
  void UpdateTimer();

  ScrollingTextModel model_;
  std::string text_ = "Text";
  int speed_ = 50;
  int pixel_jump_ = 1;
  RgbColor background_{240, 240, 240};
  RgbColor font_color_{0, 0, 0};
  int edge_fade_width_ = 15;
  TextLayout layout_ = TextLayout::kCenter;
  bool enabled_ = true;
  bool pressed_ = false;
  // The strip moved since the composite was made.
  bool stale_ = false;
  Pango::FontDescription font_;
  Glib::RefPtr<Pango::Layout> pango_;
  // Null while the strip is wider than a surface may be; the visible part
  // of the text is then drawn at each step instead.
  Cairo::RefPtr<Cairo::ImageSurface> strip_;
  Cairo::RefPtr<Cairo::ImageSurface> fade_;
  Cairo::RefPtr<Cairo::ImageSurface> composite_;
  sigc::connection timer_;
};

}  // namespace orv
