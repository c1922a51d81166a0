// TSocialBar: the strip of social-site links along the bottom of the main
// window. It only reports what was asked for; the main window opens the tab
// and hides the bar.
#pragma once

#include <gtkmm.h>

#include <functional>
#include <string>

namespace orv {

class TSocialBar : public Gtk::Box {
 public:
  static constexpr int kHeight = 26;

  TSocialBar();

  // Button 1..5 was clicked: its address, as SocialLinkAddress gives it.
  std::function<void(const std::string& address)> OnOpen;
  // The bar's own close button.
  std::function<void()> OnClose;

  // Controls, left to right at the bar's right end.
  Gtk::Button s1, s2, s3, s4, s5;
  Gtk::Button xzapri;

 private:
  void LinkClick(int button);
};

}  // namespace orv
