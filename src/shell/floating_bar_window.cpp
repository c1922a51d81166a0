#include "shell/floating_bar_window.h"

#include <cmath>

#include "app/app.h"
#include "favorites/favorites_window.h"
#include "shell/main_window.h"

namespace orv {

namespace {

constexpr char kCss[] =
    "#Tfhint, #Tfhint .panel { background-color: rgb(248,248,241); }"
    "#Tfhint button { padding: 2px; min-height: 0; min-width: 0; }";

// The corners' ellipses are 13 pixels across.
constexpr double kCornerRadius = 6.5;

void Glyph(Gtk::Button& button, const char* icon, const char* tooltip, int width) {
  button.set_image_from_icon_name(icon, Gtk::ICON_SIZE_SMALL_TOOLBAR);
  button.set_relief(Gtk::RELIEF_NONE);
  button.set_tooltip_text(tooltip);
  button.set_size_request(width, -1);
  button.set_can_focus(false);
  button.set_focus_on_click(false);
}

}  // namespace

Tfhint::Tfhint(App& app, Services& services)
    : SecondaryWindow(app, services, "Tfhint", ""), row_(Gtk::ORIENTATION_HORIZONTAL) {
  set_decorated(false);
  set_resizable(false);
  set_keep_above(true);
  set_skip_taskbar_hint(true);
  set_skip_pager_hint(true);
  set_type_hint(Gdk::WINDOW_TYPE_HINT_UTILITY);
  // A toolbar: clicking it leaves the keyboard where it was.
  set_accept_focus(false);
  set_focus_on_map(false);
  set_default_size(kWidth, kHeight);
  set_size_request(kWidth, kHeight);
  auto css = Gtk::CssProvider::create();
  css->load_from_data(kCss);
  get_style_context()->add_provider_for_screen(get_screen(), css,
                                               GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  Panel1.get_style_context()->add_class("panel");
  Panel1.FloatingPanel = TFloatingPanel::fpParent;

  Glyph(SpeedButton2, "go-previous-symbolic", "Back", 54);
  Glyph(SpeedButton3, "go-next-symbolic", "Forward", 39);
  Glyph(SpeedButton4, "view-refresh-symbolic", "Refresh", 30);
  Glyph(SpeedButton5, "process-stop-symbolic", "Stop", 30);
  Glyph(SpeedButton13, "go-home-symbolic", "Home", 30);
  Glyph(SpeedButton9, "starred-symbolic", "Favorites", 30);
  Glyph(SpeedButton19, "open-menu-symbolic", "Customize and Control", 30);
  row_.pack_start(SpeedButton2, Gtk::PACK_SHRINK);
  row_.pack_start(SpeedButton3, Gtk::PACK_SHRINK);
  row_.pack_start(separator1_, Gtk::PACK_SHRINK, 2);
  // Refresh and Stop share one place.
  row_.pack_start(SpeedButton4, Gtk::PACK_SHRINK);
  row_.pack_start(SpeedButton5, Gtk::PACK_SHRINK);
  row_.pack_start(SpeedButton13, Gtk::PACK_SHRINK);
  row_.pack_start(SpeedButton9, Gtk::PACK_SHRINK);
  row_.pack_start(separator2_, Gtk::PACK_SHRINK, 2);
  row_.pack_start(SpeedButton19, Gtk::PACK_SHRINK);
  row_.set_valign(Gtk::ALIGN_CENTER);
  row_.set_margin_start(6);
  Panel1.add(row_);
  add(Panel1);
  Panel1.show_all();
  SpeedButton5.hide();

  TMainForm& main = app.MainForm();
  // Back, Forward and Home stop the page first, as the main bar's do.
  SpeedButton2.signal_clicked().connect([&main] { main.pda2Click(); });
  SpeedButton3.signal_clicked().connect([&main] { main.pdb3Click(); });
  SpeedButton4.signal_clicked().connect([&main] { main.mtf5Click(); });
  SpeedButton5.signal_clicked().connect([&main] { main.mtstopClick(); });
  SpeedButton13.signal_clicked().connect([&main] {
    main.mtstopClick();
    main.pdc3Click();
  });
  SpeedButton9.signal_clicked().connect([this] { this->app().ffavorit().SpeedButton9Click(); });
  SpeedButton19.signal_clicked().connect([this, &main] {
    main.poptool.popup_at_widget(&SpeedButton19, Gdk::GRAVITY_SOUTH_WEST, Gdk::GRAVITY_NORTH_WEST,
                                 nullptr);
  });

  // Every control of the bar and the main bar's six navigation buttons
  // bring the bar forward while the pointer rests on them.
  for (Gtk::Widget* w : std::initializer_list<Gtk::Widget*>{
           &Panel1, &SpeedButton2, &SpeedButton3, &SpeedButton4, &SpeedButton5, &SpeedButton13,
           &SpeedButton9, &SpeedButton19, &main.pda, &main.pdb, &main.sbrefresh, &main.sbstop,
           &main.pdc, &main.pde}) {
    WatchHover(*w);
  }
  signal_realize().connect([this] { Shape(); });
  HintChanged(false);
  move(main.Settings.FloatingBarX, main.Settings.FloatingBarY);
  timer_ = Glib::signal_timeout().connect_seconds(
      [this] {
        Timer1Timer();
        return true;
      },
      1);
  main.ApplyFloatingMode(*this);
}

Tfhint::~Tfhint() { timer_.disconnect(); }

void Tfhint::Shape() {
  // A rounded rectangle of the client size, row by row.
  auto region = Cairo::Region::create();
  for (int y = 0; y < kHeight; ++y) {
    double inset = 0;
    const double dy = y + 0.5 < kCornerRadius           ? kCornerRadius - (y + 0.5)
                      : y + 0.5 > kHeight - kCornerRadius ? (y + 0.5) - (kHeight - kCornerRadius)
                                                          : 0;
    if (dy > 0) inset = kCornerRadius - std::sqrt(std::max(0.0, kCornerRadius * kCornerRadius - dy * dy));
    const int left = static_cast<int>(std::lround(inset));
    region->do_union(Cairo::RectangleInt{left, y, kWidth - 2 * left, 1});
  }
  shape_combine_region(region);
}

void Tfhint::WatchHover(Gtk::Widget& widget) {
  widget.add_events(Gdk::ENTER_NOTIFY_MASK | Gdk::LEAVE_NOTIFY_MASK);
  // The main bar's buttons outlive the bar: the handlers go with it.
  widget.signal_enter_notify_event().connect(sigc::track_obj(
      [this](GdkEventCrossing*) {
        HintChanged(true);
        return false;
      },
      *this));
  widget.signal_leave_notify_event().connect(sigc::track_obj(
      [this](GdkEventCrossing* event) {
        // Moving onto a control of the bar is not leaving it; that
        // control's own enter follows.
        if (event->detail != GDK_NOTIFY_INFERIOR) HintChanged(false);
        return false;
      },
      *this));
}

void Tfhint::HintChanged(bool over) { set_opacity(over ? 1.0 : kRestingAlpha / 255.0); }

void Tfhint::Timer1Timer() {
  const bool loading = app().MainForm().e3.Position() > 0;
  SpeedButton5.set_visible(loading);
  SpeedButton4.set_visible(!loading);
}

void Tfhint::TakePosition() {
  TMainForm& main = app().MainForm();
  get_position(main.Settings.FloatingBarX, main.Settings.FloatingBarY);
}

}  // namespace orv
