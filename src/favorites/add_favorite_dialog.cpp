#include "favorites/add_favorite_dialog.h"

#include "app/app.h"
#include "favorites/favorites_window.h"
#include "shell/main_window.h"

namespace orv {

Tfaddfav::Tfaddfav(App& app, Services& services)
    : FavoriteEntryDialog(app, services, "Tfaddfav", "Add to favorites", "Name:") {
  set_position(Gtk::WIN_POS_CENTER);
}

void Tfaddfav::FormActivate() {
  ename.set_text(app().MainForm().CurrentPageTitle);
  eurl.set_text(app().MainForm().e3.get_text());
  ename.grab_focus();
}

void Tfaddfav::OkClick() {
  app().ffavorit().AddFavorite(ename.get_text(), eurl.get_text());
  EndModal(ModalResult::kOk);
}

}  // namespace orv
