// How the main window is dressed: the floating bar, the address bar
// command, transparency, the progress end colour and site icons.
#include <gtest/gtest.h>

#include <map>

#include "common/ini_file.h"
#include "local_server.h"
#include "shell/floating_bar_window.h"
#include "shell/main_window.h"
#include "shell/transparent_dialog.h"
#include "window_fixture.h"

namespace orv::test {
namespace {

class ChromeTest : public WindowTest {
 protected:
  TMainForm& Main() { return app_->MainForm(); }
  Tfhint& Bar() { return app_->fhint(); }
  void Start(const std::string& config = "") {
    if (!config.empty()) WriteFile(OrvindelDir() + "Orvindel.cfg", config);
    StartApp();
    ASSERT_TRUE(Settle());
  }
  IniFile CloseAndReadConfig() {
    EXPECT_TRUE(Main().RequestClose());
    PumpIdle();
    return IniFile::Parse(ReadFile(OrvindelDir() + "Orvindel.cfg"));
  }
  void Cross(Gtk::Widget& widget, GdkEventType type) {
    GdkEventCrossing event{};
    event.type = type;
    event.window = widget.get_window() ? widget.get_window()->gobj() : nullptr;
    event.detail = GDK_NOTIFY_NONLINEAR;
    gboolean handled = FALSE;
    g_signal_emit_by_name(widget.gobj(), type == GDK_ENTER_NOTIFY ? "enter-notify-event"
                                                                 : "leave-notify-event",
                          &event, &handled);
  }
};

TEST_F(ChromeTest, AFirstRunFloatsTheNavigationBar) {
  Start();
  EXPECT_TRUE(Main().Settings.FloatingMode);
  EXPECT_TRUE(Bar().get_visible());
  ASSERT_TRUE(Pump([&] { return Bar().get_mapped(); }));
  int x = 0, y = 0, w = 0, h = 0;
  Bar().get_position(x, y);
  Bar().get_size(w, h);
  EXPECT_EQ(x, 1280 - 300);
  EXPECT_EQ(y, 120);
  EXPECT_EQ(w, Tfhint::kWidth);
  EXPECT_EQ(h, Tfhint::kHeight);
  EXPECT_FALSE(Bar().get_decorated());
  // The main bar keeps only its address area.
  EXPECT_TRUE(Main().jsand.get_visible());
  EXPECT_FALSE(Main().jpleft.get_visible());
  EXPECT_FALSE(Main().jpd.get_visible());
  EXPECT_FALSE(Main().topline.get_visible());
  EXPECT_TRUE(Main().p2.get_visible());
  EXPECT_TRUE(Main().socialbar.get_visible());
  EXPECT_FALSE(Main().Transparent());
  EXPECT_DOUBLE_EQ(Main().get_opacity(), 1.0);
  EXPECT_NEAR(Bar().get_opacity(), Tfhint::kRestingAlpha / 255.0, 0.01);
}

TEST_F(ChromeTest, FloatingModeBothWaysWithAndWithoutTheAddressBar) {
  for (int urlviden : {1, 0}) {
    SCOPED_TRACE(urlviden);
    Start("[Config]\nurlviden=" + std::to_string(urlviden) + "\n[hmenu]\nhide=0\n");
    EXPECT_FALSE(Bar().get_visible());
    EXPECT_TRUE(Main().jpleft.get_visible());
    EXPECT_TRUE(Main().jsand.get_visible()) << "normal mode always shows the bar";
    EXPECT_TRUE(Main().MenuItemOf("fgm") != nullptr);
    Main().fgmClick();
    EXPECT_TRUE(Bar().get_visible());
    EXPECT_FALSE(Main().jpleft.get_visible());
    EXPECT_EQ(Main().jsand.get_visible(), urlviden == 1);
    EXPECT_EQ(Main().topline.get_visible(), urlviden == 0);
    Main().poptoolPopup();
    EXPECT_TRUE(Main().fgm.get_active());
    EXPECT_TRUE(Main().pm2.get_visible()) << "listed in floating mode";
    Main().fgmClick();
    EXPECT_FALSE(Bar().get_visible());
    EXPECT_TRUE(Main().jsand.get_visible());
    EXPECT_FALSE(Main().topline.get_visible());
    Main().poptoolPopup();
    EXPECT_FALSE(Main().fgm.get_active());
    EXPECT_FALSE(Main().pm2.get_visible()) << "not listed in normal mode";
    const IniFile cfg = CloseAndReadConfig();
    EXPECT_EQ(cfg.ReadInteger("hmenu", "hide", -1), 0);
    app_.reset();
    PumpIdle();
  }
}

TEST_F(ChromeTest, TheStripStandsInForAHiddenAddressBarAndItsDoubleClickBringsItBack) {
  Start();
  Main().pm2Click();
  EXPECT_FALSE(Main().jsand.get_visible());
  EXPECT_TRUE(Main().topline.get_visible());
  EXPECT_FALSE(Main().Settings.AddressBarKept);
  GdkEventButton event{};
  event.type = GDK_2BUTTON_PRESS;
  event.button = 1;
  gboolean handled = FALSE;
  g_signal_emit_by_name(Main().topline.gobj(), "button-press-event", &event, &handled);
  EXPECT_TRUE(handled);
  EXPECT_TRUE(Main().jsand.get_visible());
  EXPECT_FALSE(Main().topline.get_visible());
  EXPECT_EQ(CloseAndReadConfig().ReadInteger("Config", "urlviden", -1), 1);
}

TEST_F(ChromeTest, SetTransparentPreviewsAndCancelPutsEverythingBack) {
  Start();
  ASSERT_EQ(Main().Settings.Transparency, 155);
  struct Case {
    bool ok;
    int expected_value;
  } cases[] = {{false, 155}, {true, 55}};
  for (const auto& c : cases) {
    Main().Settings.Transparency = 155;
    int opened_at = -1;
    double preview = -1;
    bool on_while_open = false;
    Glib::signal_idle().connect_once([&] {
      Tftransparent& dialog = app_->ftransparent();
      opened_at = static_cast<int>(dialog.TrackBar1.get_value());
      dialog.TrackBar1.set_value(200);
      on_while_open = Main().Transparent();
      preview = Main().get_opacity();
      (c.ok ? dialog.BitBtn1 : dialog.BitBtn2).clicked();
    });
    Main().SetTransparent1Click();
    EXPECT_EQ(opened_at, 100);
    EXPECT_TRUE(on_while_open);
    EXPECT_NEAR(preview, 55 / 255.0, 0.01);
    EXPECT_EQ(Main().Settings.Transparency, c.expected_value);
    EXPECT_FALSE(Main().Transparent()) << "back to the state before";
    EXPECT_DOUBLE_EQ(Main().get_opacity(), 1.0);
  }
  // F10 twice: on at the stored value, then off again; the value survives.
  Main().ransparent1Click();
  EXPECT_NEAR(Main().get_opacity(), 55 / 255.0, 0.01);
  Main().ransparent1Click();
  EXPECT_DOUBLE_EQ(Main().get_opacity(), 1.0);
  EXPECT_EQ(CloseAndReadConfig().ReadInteger("Config", "transparent", -1), 55);
}

TEST_F(ChromeTest, TheBarComesForwardUnderThePointerAndSwapsRefreshForStop) {
  Start();
  const double resting = Tfhint::kRestingAlpha / 255.0;
  for (Gtk::Widget* w : {static_cast<Gtk::Widget*>(&Bar().Panel1),
                         static_cast<Gtk::Widget*>(&Bar().SpeedButton13),
                         static_cast<Gtk::Widget*>(&Main().pda)}) {
    Cross(*w, GDK_ENTER_NOTIFY);
    EXPECT_DOUBLE_EQ(Bar().get_opacity(), 1.0);
    Cross(*w, GDK_LEAVE_NOTIFY);
    EXPECT_NEAR(Bar().get_opacity(), resting, 0.01);
  }
  Main().e3.SetPosition(30);
  Bar().Timer1Timer();
  EXPECT_TRUE(Bar().SpeedButton5.get_visible());
  EXPECT_FALSE(Bar().SpeedButton4.get_visible());
  Main().e3.SetPosition(0);
  Bar().Timer1Timer();
  EXPECT_FALSE(Bar().SpeedButton5.get_visible());
  EXPECT_TRUE(Bar().SpeedButton4.get_visible());
}

TEST_F(ChromeTest, TheBarsPlaceIsKeptAtClose) {
  Start();
  Bar().move(300, 200);
  ASSERT_TRUE(Pump([&] {
    int x = 0, y = 0;
    Bar().get_position(x, y);
    return x == 300 && y == 200;
  }));
  const IniFile cfg = CloseAndReadConfig();
  EXPECT_EQ(cfg.ReadInteger("hmenu", "x", -1), 300);
  EXPECT_EQ(cfg.ReadInteger("hmenu", "y", -1), 200);
}

TEST_F(ChromeTest, ProgressBarEndColorTakesTheChosenColour) {
  Start();
  dialogs_.color_answers.push_back(0x00FF00);
  Main().ProgressBarEndColor1Click();
  EXPECT_EQ(Main().e3.EndColor(), 0x00FF00u);
  // Cancel keeps it.
  Main().ProgressBarEndColor1Click();
  EXPECT_EQ(Main().e3.EndColor(), 0x00FF00u);
  EXPECT_EQ(dialogs_.color_requests, 2);
  EXPECT_EQ(CloseAndReadConfig().ReadInteger("Config", "Progresscolor", -1), 0x00FF00);
}

// A server that counts what it was asked and answers the icon requests.
class IconServer {
 public:
  IconServer()
      : server_([this](SoupServerMessage* msg, const std::string& path) {
          ++requests[path];
          auto body = bodies.find(path);
          if (body == bodies.end()) {
            soup_server_message_set_status(msg, 404, nullptr);
            return;
          }
          soup_server_message_set_status(msg, 200, nullptr);
          soup_server_message_set_response(msg, "image/x-icon", SOUP_MEMORY_COPY,
                                           body->second.data(), body->second.size());
        }) {}
  std::string Url(const std::string& path) const { return server_.Url(path); }
  std::map<std::string, std::string> bodies;
  std::map<std::string, int> requests;

 private:
  LocalServer server_;
};

std::string PngIcon() {
  auto pixbuf = Gdk::Pixbuf::create(Gdk::COLORSPACE_RGB, true, 8, 16, 16);
  pixbuf->fill(0xff0000ff);
  gchar* buffer = nullptr;
  gsize size = 0;
  gdk_pixbuf_save_to_buffer(pixbuf->gobj(), &buffer, &size, "png", nullptr, nullptr);
  std::string bytes(buffer, size);
  g_free(buffer);
  return bytes;
}

TEST_F(ChromeTest, SiteIconsAreFetchedOnceForEachSiteAndGoToTheTabThatAsked) {
  IconServer server;
  server.bodies["/favicon.ico"] = PngIcon();
  const std::string page = server.Url("/dir/page.html");
  web_.pages[page] = {"A page", ""};
  Start();
  TTabExtSheet* tab = Main().OpenTab(page, "Blank Page");
  ASSERT_TRUE(Settle());
  // The user moves on before the icon arrives: it still goes to its tab.
  Main().nbook.SetActivePage(&Main().tsmain);
  ASSERT_TRUE(Pump([&] { return tab->ImageIndex() > 2; }, 5000));
  const int image = tab->ImageIndex();
  EXPECT_EQ(server.requests, (std::map<std::string, int>{{"/favicon.ico", 1}}));
  EXPECT_EQ(Main().tsmain.ImageIndex(), 2);
  // Three more title changes: no request, no new image.
  const int images = Main().nbook.ImageCount();
  for (int i = 0; i < 3; ++i) {
    Main().BrowserOf(*tab)->Refresh();
    ASSERT_TRUE(Settle());
  }
  EXPECT_EQ(server.requests["/favicon.ico"], 1);
  EXPECT_EQ(Main().nbook.ImageCount(), images);
  EXPECT_EQ(tab->ImageIndex(), image);
}

TEST_F(ChromeTest, PagesWithoutAnIconKeepTheDefault) {
  IconServer server;
  server.bodies["/favicon.ico"] = "<html>not an icon</html>";
  web_.pages[server.Url("/plain.html")] = {"Plain", ""};
  web_.pages["https://secure.test/"] = {"Secure", ""};
  Start();
  TTabExtSheet* plain = Main().OpenTab(server.Url("/plain.html"), "Blank Page");
  TTabExtSheet* secure = Main().OpenTab("https://secure.test/", "Blank Page");
  ASSERT_TRUE(Settle());
  ASSERT_TRUE(Pump([&] { return server.requests["/favicon.ico"] == 1; }, 5000));
  Pump([] { return false; }, 200);
  EXPECT_EQ(plain->ImageIndex(), 0);
  EXPECT_EQ(secure->ImageIndex(), 0);
  EXPECT_EQ(Main().nbook.ImageCount(), 3);
}

TEST_F(ChromeTest, SiteIconsSwitchedOffFetchNothing) {
  IconServer server;
  server.bodies["/favicon.ico"] = PngIcon();
  web_.pages[server.Url("/a.html")] = {"A", ""};
  Start("[Config]\nFavicons=1\n");
  Main().OpenTab(server.Url("/a.html"), "Blank Page");
  ASSERT_TRUE(Settle());
  Pump([] { return false; }, 300);
  EXPECT_TRUE(server.requests.empty());
  // The toggle turns them on again.
  Main().dISABLE1Click();
  EXPECT_FALSE(Main().Settings.SiteIconsOff);
  Main().poptoolPopup();
  EXPECT_FALSE(Main().dISABLE1.get_active());
  Main().GetCurrentWB()->Refresh();
  ASSERT_TRUE(Pump([&] { return server.requests["/favicon.ico"] == 1; }, 5000));
}

TEST_F(ChromeTest, F11MakesTheWindowFullScreenAndBack) {
  Start();
  // Without a window manager the request is all there is to see.
  Main().FullScreen1Click();
  EXPECT_TRUE(Main().FullScreen());
  Main().FullScreen1Click();
  EXPECT_FALSE(Main().FullScreen());
}

}  // namespace
}  // namespace orv::test
