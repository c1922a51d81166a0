// Tfred: the notice that redirect mode went on or off. A small borderless
// window on top of the others that fades out and closes itself.
#pragma once

#include <string>

#include "ui/secondary_window.h"

namespace orv {

class Tfred : public SecondaryWindow {
 public:
  static constexpr char kOnText[] = "R E D I R E C T";
  static constexpr char kOffText[] = "N O   R E D I R E C T";

  Tfred(App& app, Services& services);
  ~Tfred() override { timer_.disconnect(); }

  // Shows the notice over the main window and starts the fade.
  void ShowNotice();
  // Shows it and waits, letting events run, until it has closed itself.
  void ShowModalNotice();
  void Timer1Timer();

  Gtk::Label Panel1;
  int Alpha() const { return alpha_; }
  bool Fading() const { return timer_.connected(); }

 private:
  void FormActivate();
  void SetAlpha(int alpha);

  sigc::connection timer_;
  int counter_ = 0;
  int alpha_ = 255;
};

}  // namespace orv
