// TGaugeEdit: the address bar. A one-line edit that paints the page's load
// progress behind its text, from the left edge up to Position / Max of its
// width, fading into EndColor.
#pragma once

#include <gtkmm.h>

#include <cstdint>

namespace orv {

class TGaugeEdit : public Gtk::Entry {
 public:
  TGaugeEdit();

  int Position() const { return position_; }
  void SetPosition(int position);
  int Max() const { return max_; }
  void SetMax(int max);
  // 0x00BBGGRR, red in the lowest byte.
  uint32_t EndColor() const { return end_color_; }
  void SetEndColor(uint32_t color);

 private:
  void UpdateFill();

  int position_ = 0;
  int max_ = 100;
  uint32_t end_color_ = 16764831;
  Glib::RefPtr<Gtk::CssProvider> css_;
};

}  // namespace orv
