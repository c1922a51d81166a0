// Tfeditfavorites: edits the name and URL of one favorite. The favorites
// window fills it, shows it and takes the texts back on OK.
#pragma once

#include "favorites/favorite_entry_dialog.h"

namespace orv {

class Tfeditfavorites : public FavoriteEntryDialog {
 public:
  Tfeditfavorites(App& app, Services& services)
      : FavoriteEntryDialog(app, services, "Tfeditfavorites", "Orvindel - Edid Favorites",
                            "Feed name:") {
    set_position(Gtk::WIN_POS_CENTER_ON_PARENT);
  }
};

}  // namespace orv
