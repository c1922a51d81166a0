#include "widgets/scrolling_text_widget.h"

namespace orv {

namespace {

// Cairo's limit on an image surface's side.
constexpr int kMaxSurfaceSide = 32767;

void SetColor(const Cairo::RefPtr<Cairo::Context>& cr, RgbColor c) {
  cr->set_source_rgb(c.r / 255.0, c.g / 255.0, c.b / 255.0);
}

}  // namespace

TALScrollingText::TALScrollingText() {
  set_name("TALScrollingText");
  set_size_request(50, 18);
  add_events(Gdk::BUTTON_PRESS_MASK | Gdk::BUTTON_RELEASE_MASK);
  font_ = get_style_context()->get_font();
  model_.SetSize(50, 18);
  Rebuild();
  model_.Restart();
}

TALScrollingText::~TALScrollingText() { timer_.disconnect(); }

void TALScrollingText::SetText(const std::string& text) {
  text_ = text;
  Rebuild();
}

void TALScrollingText::SetSpeed(int speed) {
  speed_ = speed > 0 ? speed : 1;
  timer_.disconnect();
  UpdateTimer();
}

void TALScrollingText::SetBackgroundColor(RgbColor color) {
  background_ = color;
  Rebuild();
}

void TALScrollingText::SetFontColor(RgbColor color) {
  font_color_ = color;
  Rebuild();
}

void TALScrollingText::SetFont(const Pango::FontDescription& font) {
  font_ = font;
  Rebuild();
}

void TALScrollingText::SetEdgeFadeWidth(int width) {
  edge_fade_width_ = width;
  Rebuild();
}

void TALScrollingText::SetLayout(TextLayout layout) {
  layout_ = layout;
  Rebuild();
}

void TALScrollingText::SetTextDirection(TextDirection direction) {
  model_.SetDirection(direction);
  Rebuild();
}

void TALScrollingText::SetEnabled(bool enabled) {
  enabled_ = enabled;
  UpdateTimer();
}

void TALScrollingText::SetScrollVisible(bool visible) {
  SetEnabled(visible);
  set_visible(visible);
}

void TALScrollingText::UpdateTimer() {
  // The timer runs only while the text can be seen to move: a hidden or
  // disabled ticker costs nothing.
  const bool wanted = enabled_ && get_mapped();
  if (wanted && !timer_.connected()) {
    timer_ = Glib::signal_timeout().connect(
        [this] {
          Step();
          return true;
        },
        static_cast<unsigned>(speed_));
  } else if (!wanted) {
    timer_.disconnect();
  }
}

void TALScrollingText::Rebuild() {
  const int width = model_.Width();
  const int height = model_.Height();
  pango_ = create_pango_layout(text_);
  pango_->set_font_description(font_);
  int text_width = 0;
  int text_height = 0;
  pango_->get_pixel_size(text_width, text_height);
  model_.SetTextExtent(text_width, text_height);

  // The strip: the background with the letters cut out of it, so the fade
  // layer shows through exactly where the text is. Cutting the letters out
  // with their antialiased coverage does what a key colour does, without
  // fringes of the key colour around the letters.
  const int strip_width = model_.StripWidth();
  strip_.clear();
  if (strip_width > 0 && strip_width <= kMaxSurfaceSide && height > 0) {
    strip_ = Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, strip_width, height);
    auto cr = Cairo::Context::create(strip_);
    SetColor(cr, background_);
    cr->paint();
    cr->set_operator(Cairo::OPERATOR_DEST_OUT);
    cr->move_to(model_.TextX(), model_.TextY(layout_));
    pango_->show_in_cairo_context(cr);
  }

  // The fade layer: the font colour, fading to the background at the edges.
  fade_ = Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, std::max(width, 1), std::max(height, 1));
  {
    auto cr = Cairo::Context::create(fade_);
    SetColor(cr, font_color_);
    cr->paint();
    const std::vector<RgbColor> columns = FadeColumns(width, edge_fade_width_, background_, font_color_);
    for (int x = 0; x < width; ++x) {
      if (columns[static_cast<size_t>(x)] == font_color_) continue;
      SetColor(cr, columns[static_cast<size_t>(x)]);
      cr->rectangle(x, 0, 1, height);
      cr->fill();
    }
  }
  composite_ = Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, std::max(width, 1),
                                           std::max(height, 1));
  Compose();
}

void TALScrollingText::Compose() {
  if (!composite_) return;
  auto cr = Cairo::Context::create(composite_);
  cr->set_operator(Cairo::OPERATOR_SOURCE);
  cr->set_source(fade_, 0, 0);
  cr->paint();
  cr->set_operator(Cairo::OPERATOR_OVER);
  if (strip_) {
    cr->set_source(strip_, model_.Offset(), 0);
    cr->paint();
    return;
  }
  // A strip too wide for one surface: the visible part, drawn the same way.
  auto part = Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, composite_->get_width(),
                                          composite_->get_height());
  auto pc = Cairo::Context::create(part);
  SetColor(pc, background_);
  pc->paint();
  pc->set_operator(Cairo::OPERATOR_DEST_OUT);
  pc->move_to(model_.Offset() + model_.TextX(), model_.TextY(layout_));
  pango_->show_in_cairo_context(pc);
  cr->set_source(part, 0, 0);
  cr->paint();
}

void TALScrollingText::Step() {
  if (!enabled_) return;
  model_.Tick(pixel_jump_);
  // Composed when the screen wants it: steps faster than the display's
  // frames cost nothing but the move.
  stale_ = true;
  queue_draw();
}

bool TALScrollingText::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
  if (stale_) {
    stale_ = false;
    Compose();
  }
  if (composite_) {
    cr->set_source(composite_, 0, 0);
    cr->paint();
  }
  return true;
}

void TALScrollingText::on_size_allocate(Gtk::Allocation& allocation) {
  Gtk::DrawingArea::on_size_allocate(allocation);
  if (allocation.get_width() == model_.Width() && allocation.get_height() == model_.Height()) {
    return;
  }
  model_.SetSize(allocation.get_width(), allocation.get_height());
  Rebuild();
}

void TALScrollingText::on_realize() {
  Gtk::DrawingArea::on_realize();
  get_window()->set_cursor(Gdk::Cursor::create(get_display(), "pointer"));
}

void TALScrollingText::on_map() {
  Gtk::DrawingArea::on_map();
  UpdateTimer();
}

void TALScrollingText::on_unmap() {
  Gtk::DrawingArea::on_unmap();
  UpdateTimer();
}

bool TALScrollingText::on_button_press_event(GdkEventButton* event) {
  if (event->button == 1 && event->type == GDK_BUTTON_PRESS) pressed_ = true;
  return true;
}

bool TALScrollingText::on_button_release_event(GdkEventButton* event) {
  const bool click = pressed_ && event->button == 1 && event->x >= 0 && event->y >= 0 &&
                     event->x < get_allocated_width() && event->y < get_allocated_height();
  pressed_ = false;
  if (click && OnClick) OnClick();
  return true;
}

}  // namespace orv
