// How the main window is dressed: the navigation bar, the quick panel, the
// colours and which bars show.
#include "shell/main_window.h"

#include <tuple>

#include "app/app.h"
#include "favorites/favorites_window.h"
#include "platform/error_report.h"
#include "shell/floating_bar_window.h"
#include "shell/site_icons.h"
#include "shell/transparency.h"
#include "shell/transparent_dialog.h"
#include "ui/services.h"

namespace orv {

namespace {

constexpr char kCss[] = R"(
#topstrip { background-color: rgb(149,185,253); min-height: 3px; }
#jsand { background-color: rgb(248,248,241); min-height: 30px; }
#e3panel { padding: 2px 7px 2px 4px; }
#e3panel.insecure { background-color: rgb(222,234,254); }
#e3panel.secure { background-color: rgb(128,255,128); }
#jpleft button { padding: 2px; min-height: 0; }
#p2 { background-color: rgb(149,185,253); }
#p2 button { padding: 2px 0; min-height: 0; min-width: 0; }
#topline { background-color: rgb(248,248,241); min-height: 5px; }
#topline.redirect { background-color: rgb(255,249,196); }
#e3.redirect { background-color: rgb(255,249,196); }
)";

void SetGlyph(Gtk::Button& button, const char* icon, const char* tooltip, int width) {
  button.set_image_from_icon_name(icon, Gtk::ICON_SIZE_SMALL_TOOLBAR);
  button.set_relief(Gtk::RELIEF_NONE);
  button.set_tooltip_text(tooltip);
  button.set_size_request(width, -1);
  button.set_can_focus(false);
}


}  // namespace

std::vector<Glib::RefPtr<Gdk::Pixbuf>> TMainForm::TabImages() {
  // Index 0 is a page without its own icon, 2 the first tab's; site icons
  // are added after them.
  std::vector<Glib::RefPtr<Gdk::Pixbuf>> images;
  auto theme = Gtk::IconTheme::get_default();
  for (const char* name : {"text-html", "text-html", "user-home"}) {
    Glib::RefPtr<Gdk::Pixbuf> icon;
    RunGuarded([&] { icon = theme->load_icon(name, 16, Gtk::ICON_LOOKUP_FORCE_SIZE); });
    if (!icon) icon = Gdk::Pixbuf::create(Gdk::COLORSPACE_RGB, true, 8, 16, 16);
    if (!theme->has_icon(name)) icon->fill(0x00000000);
    images.push_back(icon);
  }
  return images;
}

void TMainForm::BuildToolbar() {
  jsand.set_name("jsand");
  jpleft.set_name("jpleft");
  jp3.set_name("jp3");
  e3panel.set_name("e3panel");
  topline.set_name("topline");
  e3.set_name("e3");
  gpt.set_name("gpt");

  SetGlyph(pda, "go-previous-symbolic", "Back", 50);
  SetGlyph(pdb, "go-next-symbolic", "Forward", 39);
  SetGlyph(sbrefresh, "view-refresh-symbolic", "Refresh", 30);
  SetGlyph(sbstop, "process-stop-symbolic", "Stop", 30);
  SetGlyph(pdc, "go-home-symbolic", "Home", 30);
  SetGlyph(pde, "starred-symbolic", "Favorites", 30);
  SetGlyph(go3, "go-jump-symbolic", "Go", 20);
  for (Gtk::Button* b : {&pda, &pdb, &sbrefresh, &sbstop, &pdc, &pde}) {
    jpleft.pack_start(*b, Gtk::PACK_SHRINK);
  }
  jpleft.set_size_request(190, -1);
  ImageType.set_from_icon_name("web-browser-symbolic", Gtk::ICON_SIZE_MENU);
  e3panel.pack_start(ImageType, Gtk::PACK_SHRINK, 4);
  e3panel.pack_start(e3, Gtk::PACK_EXPAND_WIDGET);
  e3panel.pack_start(go3, Gtk::PACK_SHRINK);
  jp3.pack_start(e3panel, Gtk::PACK_EXPAND_WIDGET);
  jsand.pack_start(jpleft, Gtk::PACK_SHRINK);
  jsand.pack_start(jp3, Gtk::PACK_EXPAND_WIDGET);
  jpd.set_name("jpd");
  SetGlyph(CustomizeButton, "open-menu-symbolic", "Customize and Control", 31);
  jpd.pack_start(CustomizeButton, Gtk::PACK_SHRINK);
  jsand.pack_start(jpd, Gtk::PACK_SHRINK);
  CustomizeButton.signal_clicked().connect([this] {
    poptool.popup_at_widget(&CustomizeButton, Gdk::GRAVITY_SOUTH_EAST, Gdk::GRAVITY_NORTH_EAST,
                            nullptr);
  });
  topline.add(gpt);
  // A double click on the strip brings the navigation bar back.
  topline.add_events(Gdk::BUTTON_PRESS_MASK);
  topline.signal_button_press_event().connect([this](GdkEventButton* event) {
    if (event->type != GDK_2BUTTON_PRESS || event->button != 1) return false;
    pm2Click();
    return true;
  });
  SetSecureLook(false);

  pda.signal_clicked().connect([this] { pda2Click(); });
  pdb.signal_clicked().connect([this] { pdb3Click(); });
  sbrefresh.signal_clicked().connect([this] { mtf5Click(); });
  sbstop.signal_clicked().connect([this] { mtstopClick(); });
  pdc.signal_clicked().connect([this] { pdc3Click(); });
  pde.signal_clicked().connect([this] { app_.ffavorit().SpeedButton9Click(); });
  go3.signal_clicked().connect([this] { go3Click(); });
  e3.signal_activate().connect([this] { e3KeyPress(); });
  // Any change of the text, typed or set, starts the progress afresh.
  e3.signal_changed().connect([this] { ResetProgress(); });
  e3.signal_edited().connect([this] { address_typed_ = true; });
  // The typed text is given up when the keyboard moves to another part of
  // the window; another program taking the keyboard for a while keeps it.
  signal_set_focus().connect([this](Gtk::Widget* focus) {
    if (focus != &e3) address_typed_ = false;
  });
}

void TMainForm::BuildQuickPanel() {
  p2.set_name("p2");
  p2.set_size_request(23, -1);
  const std::tuple<Gtk::Button*, const char*, const char*> buttons[] = {
      {&XNEWB, "tab-new-symbolic", "New Tab"},
      {&xq1, "application-rss+xml-symbolic", "RSS Reader"},
      {&xtranslate, "preferences-desktop-locale-symbolic", "Google Translate"},
      {&xisci, "edit-find-symbolic", "Find"},
      {&xquick, "web-browser-symbolic", "Web Search"},
      {&xredirect, "view-dual-symbolic", "Redirect to new browser"},
      {&xprint, "document-print-symbolic", "Print"},
      {&xdesigner, "document-edit-symbolic", "WYSIWYG Page Designer"},
      {&xtransparent, "weather-fog-symbolic", "Transparent"},
      {&xfloating, "view-restore-symbolic", "Floating Navigation Bar"},
      {&xDRESB, "go-jump-symbolic", "Address Bar"},
      {&xduplirraj, "edit-copy-symbolic", "Duplicate Tab"}};
  for (const auto& [button, icon, hint] : buttons) {
    SetGlyph(*button, icon, hint, 23);
    p2.pack_start(*button, Gtk::PACK_SHRINK);
  }
  // Kept for the commands that reach them, never shown.
  xduplirraj.set_no_show_all(true);
  xduplirraj.hide();
  // Shown by the periodic check only in floating mode.
  xDRESB.set_no_show_all(true);
  XNEWB.signal_clicked().connect([this] { XNEWBClick(); });
  xq1.signal_clicked().connect([this] { RunReported([&] { xq1Click(); }); });
  xtranslate.signal_clicked().connect([this] { xtranslateClick(); });
  xisci.signal_clicked().connect([this] { xisciClick(); });
  xquick.signal_clicked().connect([this] { xquickClick(); });
  xredirect.signal_clicked().connect([this] { RedirecttoNewWindow1Click(); });
  xprint.signal_clicked().connect([this] { SpeedButton20Click(); });
  xdesigner.signal_clicked().connect([this] { RunReported([&] { xdesignerClick(); }); });
  xtransparent.signal_clicked().connect([this] { ransparent1Click(); });
  xfloating.signal_clicked().connect([this] { fgmClick(); });
  xDRESB.signal_clicked().connect([this] { pm2Click(); });
  xduplirraj.signal_clicked().connect([this] { DuplicateTab1Click(); });
}

void TMainForm::PaintOwnBackgrounds() {
  auto css = Gtk::CssProvider::create();
  css->load_from_data(kCss);
  Gtk::StyleContext::add_provider_for_screen(get_screen(), css,
                                             GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

void TMainForm::ApplyViewState() {
  // The navigation bar is hidden only in floating mode without the address
  // bar; the thin progress strip stands in for it exactly then.
  const bool bar_visible = !(Settings.FloatingMode && !Settings.AddressBarKept);
  jsand.set_visible(bar_visible);
  topline.set_visible(!bar_visible);
  e3.SetEndColor(Settings.ProgressEndColor);
  socialbar.set_visible(Settings.SocialBarShown);
  p2.set_visible(Settings.QuickPanelShown);
}

void TMainForm::XNEWBClick() {
  x108Click();
  NewTab20Click();
}

void TMainForm::em1Click() { p2.set_visible(!p2.get_visible()); }

void TMainForm::ApplyFloatingMode(Gtk::Window& bar) {
  jpleft.set_visible(!Settings.FloatingMode);
  jpd.set_visible(!Settings.FloatingMode);
  bar.set_visible(Settings.FloatingMode);
}

void TMainForm::fgmClick() {
  // The bar's place is kept as it goes away.
  if (Settings.FloatingMode && app_.fhint().get_visible()) app_.fhint().TakePosition();
  Settings.FloatingMode = !Settings.FloatingMode;
  ApplyFloatingMode(app_.fhint());
  if (Settings.FloatingMode) {
    if (!Settings.AddressBarKept) jsand.hide();
  } else {
    jsand.show();
  }
  topline.set_visible(!jsand.get_visible());
}

void TMainForm::pm2Click() {
  if (Settings.FloatingMode) {
    jsand.set_visible(!jsand.get_visible());
    topline.set_visible(!jsand.get_visible());
  }
  // In normal mode the bar always shows, and the command only records it.
  Settings.AddressBarKept = jsand.get_visible();
}

void TMainForm::ApplyTransparency() {
  set_opacity(transparent_ ? Settings.Transparency / 255.0 : 1.0);
}

void TMainForm::ransparent1Click() {
  transparent_ = !transparent_;
  ApplyTransparency();
}

void TMainForm::SetTransparent1Click() {
  const bool was_on = transparent_;
  const int value = Settings.Transparency;
  const ModalResult result = app_.ftransparent().Execute(
      TrackBarPositionForValue(value), [this](int position) {
        // Every movement shows what it would look like.
        transparent_ = true;
        Settings.Transparency = ValueForTrackBarPosition(position);
        ApplyTransparency();
      });
  transparent_ = was_on;
  if (result != ModalResult::kOk) Settings.Transparency = value;
  ApplyTransparency();
}

void TMainForm::ProgressBarEndColor1Click() {
  if (services_.dialogs->ChooseColor(this, ColorDialog)) {
    e3.SetEndColor(ColorDialog.color);
    Settings.ProgressEndColor = ColorDialog.color;
  }
  if (TWebBrowser* wb = GetCurrentWB()) wb->GrabFocus();
}

void TMainForm::dISABLE1Click() {
  Settings.SiteIconsOff = !Settings.SiteIconsOff;
  poptoolPopup();
}

void TMainForm::FullScreen1Click() {
  // The window manager has the last word; it tells through the window's
  // state, which keeps full_screen_ true to what is on the screen.
  full_screen_ = !full_screen_;
  if (full_screen_) {
    fullscreen();
  } else {
    unfullscreen();
  }
}

void TMainForm::LoadSiteIcon(TWebBrowser& browser) {
  if (Settings.SiteIconsOff) return;
  // The page that reported the title, which need not be the active one.
  const std::string address = SiteIconAddress(browser.LocationURL());
  if (address.empty()) return;
  if (auto known = site_icons_.find(address); known != site_icons_.end()) {
    if (known->second > 0) ShowSiteIcon(address, known->second);
    return;
  }
  // One request for each icon address a run, however often titles change.
  if (!site_icons_fetching_.insert(address).second) return;
  std::weak_ptr<bool> alive = alive_;
  services_.http->Fetch(address, FetchLimits{}, [this, alive, address](
                                                     std::optional<std::string> body) {
    if (alive.expired()) return;
    site_icons_fetching_.erase(address);
    int image = 0;
    if (body) {
      RunGuarded([&] {
        auto loader = Gdk::PixbufLoader::create();
        loader->write(reinterpret_cast<const guint8*>(body->data()), body->size());
        loader->close();
        Glib::RefPtr<Gdk::Pixbuf> icon = loader->get_pixbuf();
        if (!icon) return;
        if (icon->get_width() != 16 || icon->get_height() != 16) {
          icon = icon->scale_simple(16, 16, Gdk::INTERP_BILINEAR);
        }
        image = nbook.AddImage(icon);
      });
    }
    site_icons_[address] = image;
    if (image > 0) ShowSiteIcon(address, image);
  });
}

void TMainForm::ShowSiteIcon(const std::string& address, int image) {
  // Every tab that shows a page of that site takes the icon.
  for (auto& p : pages_) {
    if (p.browser && SiteIconAddress(p.browser->LocationURL()) == address) {
      p.sheet->SetImageIndex(image);
    }
  }
  if (first_browser_ && SiteIconAddress(first_browser_->LocationURL()) == address) {
    tsmain.SetImageIndex(image);
  }
}

}  // namespace orv
