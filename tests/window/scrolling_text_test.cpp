// TALScrollingText on the screen: it moves only while it can be seen, and
// what it draws is the text in the font colour on the background.
#include "widgets/scrolling_text_widget.h"

#include <gtest/gtest.h>
#include <gtkmm.h>

#include "platform/main_loop.h"
#include "window_fixture.h"

namespace orv::test {
namespace {

// The colours the widget drew, counted from a rendering of it.
struct Drawn {
  int font = 0;
  int background = 0;
};

Drawn Render(TALScrollingText& widget, RgbColor font, RgbColor background) {
  const int w = widget.get_allocated_width();
  const int h = widget.get_allocated_height();
  auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, w, h);
  auto cr = Cairo::Context::create(surface);
  gtk_widget_draw(GTK_WIDGET(widget.gobj()), cr->cobj());
  surface->flush();
  Drawn drawn;
  const unsigned char* data = surface->get_data();
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const unsigned char* p = data + y * surface->get_stride() + x * 4;
      const RgbColor c{p[2], p[1], p[0]};
      if (c == font) ++drawn.font;
      if (c == background) ++drawn.background;
    }
  }
  return drawn;
}

TEST(ScrollingTextWidget, ScrollsWhileShownAndDrawsTheTextInTheFontColour) {
  InitToolkit();
  Gtk::Window window;
  window.set_default_size(300, 16);
  TALScrollingText ticker;
  const RgbColor background{0, 128, 192};
  const RgbColor font{255, 255, 255};
  ticker.SetBackgroundColor(background);
  ticker.SetFontColor(font);
  ticker.SetEdgeFadeWidth(0);
  ticker.SetSpeed(10);
  ticker.SetPixelJump(3);
  ticker.SetTextDirection(TextDirection::kRightToLeft);
  ticker.SetText("MMMM WWWW MMMM");
  window.add(ticker);
  EXPECT_FALSE(ticker.Scrolling());
  window.show_all();
  ASSERT_TRUE(WaitUntil([&] { return ticker.Scrolling() && ticker.get_allocated_width() == 300; },
                        5000));
  // The text enters at the right edge: a blank strip first.
  WaitUntil([&] { return ticker.Model().Offset() <= -150; }, 5000);
  const Drawn drawn = Render(ticker, font, background);
  EXPECT_GT(drawn.font, 20);
  EXPECT_GT(drawn.background, 300 * 16 / 3);
  // A new text keeps the place.
  const int before = ticker.Model().Offset();
  ticker.SetText("other");
  EXPECT_EQ(ticker.Model().Offset(), before);

  window.hide();
  EXPECT_FALSE(ticker.Scrolling());
  const int stopped = ticker.Model().Offset();
  WaitUntil([] { return false; }, 100);
  EXPECT_EQ(ticker.Model().Offset(), stopped);
  window.show();
  ticker.SetScrollVisible(false);
  EXPECT_FALSE(ticker.Scrolling());
  EXPECT_FALSE(ticker.get_visible());
}

TEST(ScrollingTextWidget, KeyGreenAsFontColourStillShowsTheText) {
  InitToolkit();
  Gtk::Window window;
  window.set_default_size(200, 16);
  TALScrollingText ticker;
  const RgbColor green{0, 128, 0};
  const RgbColor background{255, 255, 255};
  ticker.SetBackgroundColor(background);
  ticker.SetFontColor(green);
  ticker.SetEdgeFadeWidth(0);
  ticker.SetText("MMMMMMMM");
  ticker.SetEnabled(false);
  window.add(ticker);
  window.show_all();
  ASSERT_TRUE(WaitUntil([&] { return ticker.get_allocated_width() == 200; }, 5000));
  // Left to right starts with the text wholly off the left edge; ten steps
  // from the end it has come in from the left.
  ticker.SetEnabled(true);
  ticker.SetTextDirection(TextDirection::kLeftToRight);
  while (ticker.Model().Offset() < -200) ticker.Step();
  EXPECT_GT(Render(ticker, green, background).font, 20);
}

}  // namespace
}  // namespace orv::test
