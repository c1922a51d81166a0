#include "prefs/about_window.h"

#include "app/app.h"
#include "platform/files.h"
#include "prefs/update_notice.h"
#include "shell/main_window.h"
#include "ui/services.h"

namespace orv {

namespace {

constexpr char kCss[] =
    "#Tfabout, #Tfabout .background { background-color: #ffffff; }"
    "#Tfabout .maker { font-family: 'Times New Roman', serif; font-size: 32px; color: #000000; }"
    "#Tfabout .product { font-family: 'Times New Roman', serif; font-size: 32px;"
    " font-weight: bold; font-style: italic; color: rgb(0,128,192); }"
    "#Tfabout .link { font-weight: bold; text-decoration-line: underline; color: #000000; }";

}  // namespace

Tfabout::Tfabout(App& app, Services& services)
    : SecondaryWindow(app, services, "Tfabout", "About"),
      Label1("Quenmar"),
      Label2("Orvindel"),
      Version("010101010", Gtk::ALIGN_START),
      Label3(ORV_MAKER_URL, Gtk::ALIGN_START),
      BitBtn1("_OK", true),
      box_(Gtk::ORIENTATION_VERTICAL, 10),
      names_(Gtk::ORIENTATION_HORIZONTAL, 8) {
  set_resizable(false);
  set_keep_above(true);
  set_type_hint(Gdk::WINDOW_TYPE_HINT_DIALOG);
  set_skip_taskbar_hint(true);
  set_position(Gtk::WIN_POS_CENTER);
  set_default_size(453, 279);
  auto css = Gtk::CssProvider::create();
  css->load_from_data(kCss);
  get_style_context()->add_provider_for_screen(get_screen(), css,
                                               GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  background_.get_style_context()->add_class("background");
  Label1.get_style_context()->add_class("maker");
  Label2.get_style_context()->add_class("product");
  Label3.get_style_context()->add_class("link");
  Image1.set_from_icon_name("web-browser", Gtk::ICON_SIZE_DIALOG);
  Image1.set_pixel_size(60);
  Image1.set_size_request(60, 60);
  names_.pack_start(Image1, Gtk::PACK_SHRINK);
  names_.pack_start(Label1, Gtk::PACK_SHRINK);
  names_.pack_start(Label2, Gtk::PACK_SHRINK);
  link_.add(Label3);
  link_.set_visible_window(false);
  link_.add_events(Gdk::BUTTON_PRESS_MASK);
  link_.signal_realize().connect([this] {
    link_.get_window()->set_cursor(Gdk::Cursor::create(get_display(), "pointer"));
  });
  link_.signal_button_press_event().connect([this](GdkEventButton* event) {
    if (event->button != 1) return false;
    Label3Click();
    return true;
  });
  BitBtn1.set_halign(Gtk::ALIGN_END);
  BitBtn1.signal_clicked().connect([this] { EndModal(ModalResult::kOk); });
  box_.set_border_width(16);
  box_.pack_start(names_, Gtk::PACK_SHRINK);
  box_.pack_start(Version, Gtk::PACK_SHRINK);
  box_.pack_start(link_, Gtk::PACK_SHRINK);
  box_.pack_start(Status1, Gtk::PACK_SHRINK);
  box_.pack_start(Status2, Gtk::PACK_SHRINK);
  box_.pack_end(BitBtn1, Gtk::PACK_SHRINK);
  background_.add(box_);
  add(background_);
  background_.show_all();
  Status1.set_no_show_all(true);
  Status2.set_no_show_all(true);
  Status1.hide();
  Status2.hide();
}

void Tfabout::FormActivate() {
  Version.set_text(std::string("Version ") + ORV_VERSION);
  // A notice shows only when the file is there and says something.
  Status1.hide();
  Status2.hide();
  const auto bytes =
      ReadFileBytes(services().folders.OrvindelDir() + kUpdateNoticeFile, 64 * 1024);
  if (!bytes) return;
  if (auto notice = ReadUpdateNotice(*bytes)) {
    Status1.set_text(notice->first);
    Status2.set_text(notice->second);
    Status1.show();
    Status2.set_visible(!notice->second.empty());
  }
}

void Tfabout::Execute() {
  TMainForm& main = app().MainForm();
  ShowModal(&main);
  if (TWebBrowser* wb = main.GetCurrentWB()) wb->GrabFocus();
}

void Tfabout::Label3Click() {
  TMainForm& main = app().MainForm();
  main.x108Click();
  main.OpenTab(" ", "Blank Page");
  main.e3.set_text(ORV_MAKER_URL);
  main.sbrefreshClick();
  main.e3.set_text(ORV_MAKER_URL);
  EndModal(ModalResult::kOk);
  hide();
}

}  // namespace orv
