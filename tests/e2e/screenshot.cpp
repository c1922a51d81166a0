// Writes a PNG of the whole X screen of $DISPLAY to the path given.
// The end-to-end test keeps it as an artifact so that a failing run can be
// judged by what the window actually showed. Plain GTK 3 C API on purpose:
// the helper must not depend on anything the browser itself builds.
//
// Given a rectangle as well, it prints the colours found in it, from the same
// capture as the picture, one line each: "rrggbb count left top right bottom"
// (the box every pixel of that colour lies in, edges included). A test tells
// from that what the screen showed without decoding the PNG itself.

#include <gtk/gtk.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

struct Seen {
  long count = 0;
  int left = 0, top = 0, right = 0, bottom = 0;
};

bool ParseInt(const char* text, int& value) {
  char* end = nullptr;
  const long parsed = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || parsed < 0 || parsed > 1 << 16) return false;
  value = static_cast<int>(parsed);
  return true;
}

void PrintColours(GdkPixbuf* shot, int x, int y, int w, int h) {
  const int channels = gdk_pixbuf_get_n_channels(shot);
  const int stride = gdk_pixbuf_get_rowstride(shot);
  const guchar* pixels = gdk_pixbuf_read_pixels(shot);
  std::map<unsigned, Seen> seen;
  for (int row = y; row < y + h; ++row) {
    const guchar* p = pixels + static_cast<size_t>(row) * stride + static_cast<size_t>(x) * channels;
    for (int col = x; col < x + w; ++col, p += channels) {
      const unsigned rgb = (unsigned{p[0]} << 16) | (unsigned{p[1]} << 8) | p[2];
      Seen& s = seen[rgb];
      if (s.count++ == 0) {
        s.left = s.right = col;
        s.top = s.bottom = row;
      } else {
        s.left = std::min(s.left, col);
        s.right = std::max(s.right, col);
        s.bottom = row;  // rows only grow
      }
    }
  }
  for (const auto& [rgb, s] : seen) {
    std::printf("%06x %ld %d %d %d %d\n", rgb, s.count, s.left, s.top, s.right, s.bottom);
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2 && argc != 6) {
    std::fprintf(stderr, "usage: %s OUTPUT.png [X Y WIDTH HEIGHT]\n", argv[0]);
    return 2;
  }
  int rect[4] = {0, 0, 0, 0};
  if (argc == 6) {
    for (int i = 0; i < 4; ++i) {
      if (!ParseInt(argv[2 + i], rect[i])) {
        std::fprintf(stderr, "x11_screenshot: '%s' is not a pixel count\n", argv[2 + i]);
        return 2;
      }
    }
  }
  if (!gtk_init_check(&argc, &argv)) {
    std::fprintf(stderr, "x11_screenshot: cannot open display '%s'\n", g_getenv("DISPLAY") ? g_getenv("DISPLAY") : "");
    return 1;
  }

  GdkWindow* root = gdk_get_default_root_window();
  const int width = gdk_window_get_width(root);
  const int height = gdk_window_get_height(root);
  GdkPixbuf* shot = gdk_pixbuf_get_from_window(root, 0, 0, width, height);
  if (!shot) {
    std::fprintf(stderr, "x11_screenshot: could not read the root window (%dx%d)\n", width, height);
    return 1;
  }

  GError* error = nullptr;
  const gboolean saved = gdk_pixbuf_save(shot, argv[1], "png", &error, nullptr);
  if (!saved) {
    std::fprintf(stderr, "x11_screenshot: cannot write %s: %s\n", argv[1], error ? error->message : "?");
    g_clear_error(&error);
    g_object_unref(shot);
    return 1;
  }
  int status = 0;
  if (argc == 6) {
    const auto [x, y, w, h] = rect;
    if (w == 0 || h == 0 || x + w > width || y + h > height) {
      std::fprintf(stderr, "x11_screenshot: %dx%d at %d,%d is not inside the %dx%d screen\n", w, h, x, y,
                   width, height);
      status = 2;
    } else {
      PrintColours(shot, x, y, w, h);
    }
  }
  g_object_unref(shot);
  return status;
}
