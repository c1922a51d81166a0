#include "pagetools/social_bar_widget.h"

#include "pagetools/social_links.h"
#include "platform/error_report.h"

namespace orv {

namespace {
// Light blue, red 149, green 185, blue 253; the buttons are made flat and
// low so that they fit the 26-pixel strip.
constexpr char kCss[] =
    "box.socialbar { background-color: rgb(149, 185, 253); }\n"
    "box.socialbar button { min-height: 0; min-width: 0; padding: 1px 6px; margin: 0; }\n"
    "box.socialbar button label { font-size: 9pt; }\n";
}  // namespace

TSocialBar::TSocialBar() : Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 2) {
  set_name("socialbar");
  set_size_request(-1, kHeight);
  get_style_context()->add_class("socialbar");
  // For the whole screen, so that it reaches the buttons' labels; every rule
  // is scoped to the bar.
  static const Glib::RefPtr<Gtk::CssProvider> css = [] {
    auto provider = Gtk::CssProvider::create();
    provider->load_from_data(kCss);
    Gtk::StyleContext::add_provider_for_screen(Gdk::Screen::get_default(), provider,
                                               GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    return provider;
  }();

  xzapri.set_image_from_icon_name("window-close-symbolic", Gtk::ICON_SIZE_MENU);
  xzapri.set_tooltip_text("Close");
  xzapri.set_relief(Gtk::RELIEF_NONE);
  xzapri.set_valign(Gtk::ALIGN_CENTER);
  xzapri.signal_clicked().connect([this] {
    if (OnClose) RunReported([this] { OnClose(); });
  });
  pack_end(xzapri, Gtk::PACK_SHRINK, 2);

  Gtk::Button* links[kSocialLinkCount] = {&s1, &s2, &s3, &s4, &s5};
  // Packed from the right, so the last one goes in first.
  for (int button = kSocialLinkCount; button >= 1; --button) {
    Gtk::Button& b = *links[button - 1];
    b.set_label(SocialLinkHint(button));
    b.set_tooltip_text(SocialLinkHint(button));
    b.set_relief(Gtk::RELIEF_NONE);
    b.set_valign(Gtk::ALIGN_CENTER);
    b.set_focus_on_click(false);
    pack_end(b, Gtk::PACK_SHRINK);
  }
  show_all();
}

}  // namespace orv
