// Writes a PNG of the whole X screen of $DISPLAY to the path given.
// The end-to-end test keeps it as an artifact so that a failing run can be
// judged by what the window actually showed. Plain GTK 3 C API on purpose:
// the helper must not depend on anything the browser itself builds.

#include <gtk/gtk.h>

#include <cstdio>

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
    return 2;
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
  g_object_unref(shot);
  if (!saved) {
    std::fprintf(stderr, "x11_screenshot: cannot write %s: %s\n", argv[1], error ? error->message : "?");
    g_clear_error(&error);
    return 1;
  }
  return 0;
}
