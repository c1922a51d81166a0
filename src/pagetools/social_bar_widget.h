// TSocialBar: the strip of social-site links along the bottom of the main
// window. It only draws the buttons; the main window handles their clicks.
#pragma once

#include <gtkmm.h>

#include <functional>
#include <string>

namespace orv {

class TSocialBar : public Gtk::Box {
 public:
  static constexpr int kHeight = 26;

  TSocialBar();

  // The bar's own close button.
  std::function<void()> OnClose;

  // Controls, left to right at the bar's right end.
  Gtk::Button s1, s2, s3, s4, s5;
  Gtk::Button xzapri;
};

}  // namespace orv
