// Tfhint: the floating navigation bar. A small borderless window that stays
// above the others, with the main bar's navigation buttons and its menu.
// It is translucent unless the pointer rests on it or on the main bar's
// navigation buttons, and it can be dragged by its surface.
#pragma once

#include "ui/secondary_window.h"
#include "widgets/rg_panel_widget.h"

namespace orv {

class Tfhint : public SecondaryWindow {
 public:
  static constexpr int kWidth = 252;
  static constexpr int kHeight = 40;
  // Its opacity, of 255, while the pointer is elsewhere.
  static constexpr int kRestingAlpha = 60;

  Tfhint(App& app, Services& services);
  ~Tfhint() override;

  // Whether the pointer rests on a control that brings the bar forward.
  void HintChanged(bool over);
  // The once-a-second swap of Refresh and Stop, after the main address bar.
  void Timer1Timer();
  // The bar's place becomes the stored one.
  void TakePosition();

  TRGPanel Panel1;
  Gtk::Button SpeedButton2, SpeedButton3, SpeedButton4, SpeedButton5, SpeedButton13,
      SpeedButton9, SpeedButton19;

 private:
  void Shape();
  void WatchHover(Gtk::Widget& widget);

  Gtk::Box row_;
  Gtk::Separator separator1_, separator2_;
  sigc::connection timer_;
};

}  // namespace orv
