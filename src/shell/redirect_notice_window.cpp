#include "shell/redirect_notice_window.h"

#include "app/app.h"
#include "platform/main_loop.h"
#include "shell/main_window.h"

namespace orv {

Tfred::Tfred(App& app, Services& services)
    : SecondaryWindow(app, services, "Tfred", ""), Panel1(kOnText) {
  set_decorated(false);
  set_keep_above(true);
  set_resizable(false);
  set_skip_taskbar_hint(true);
  set_type_hint(Gdk::WINDOW_TYPE_HINT_NOTIFICATION);
  set_default_size(292, 37);
  set_size_request(292, 37);
  Panel1.set_name("Panel1");
  auto css = Gtk::CssProvider::create();
  css->load_from_data("#Panel1 { color: red; font-weight: bold; font-size: 24px; }");
  Panel1.get_style_context()->add_provider(css, GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  add(Panel1);
  Panel1.show();
}

void Tfred::FormActivate() {
  if (app().MainForm().RedirectMode) Panel1.set_text(kOnText);
  counter_ = 0;
  SetAlpha(255);
  timer_.disconnect();
  timer_ = Glib::signal_timeout().connect(
      [this] {
        Timer1Timer();
        return timer_.connected();
      },
      150);
}

void Tfred::ShowNotice() {
  TMainForm& main = app().MainForm();
  set_transient_for(main);
  int x = 0, y = 0, w = 0, h = 0;
  main.get_position(x, y);
  main.get_size(w, h);
  move(x + (w - 292) / 2, y + (h - 37) / 2);
  FormActivate();
  show();
}

void Tfred::ShowModalNotice() {
  set_modal(true);
  ShowNotice();
  WaitUntil([this] { return !get_visible(); });
  set_modal(false);
}

void Tfred::Timer1Timer() {
  ++counter_;
  SetAlpha(alpha_ - 50);
  if (counter_ >= 4) {
    SetAlpha(255);
    timer_.disconnect();
    counter_ = 0;
    hide();
  }
}

void Tfred::SetAlpha(int alpha) {
  alpha_ = alpha;
  set_opacity(alpha / 255.0);
}

}  // namespace orv
