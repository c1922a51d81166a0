#include "feeds/add_rss_dialog.h"

#include "app/app.h"
#include "common/text.h"
#include "shell/main_window.h"

namespace orv {

Tfslide::Tfslide(App& app, Services& services)
    : FavoriteEntryDialog(app, services, "Tfslide", "Orvindel - Add RSS", "Feed name:") {
  set_position(Gtk::WIN_POS_CENTER);
}

void Tfslide::FormActivate() {
  TMainForm& main = app().MainForm();
  const std::string address = main.e3.get_text();
  if (AsciiUpper(address).find("RSS") == std::string::npos) return;
  ename.set_text(main.CurrentPageTitle);
  eurl.set_text(address);
}

}  // namespace orv
