// Tfslide: the name and address of one feed, for Manage Feeds' Add and
// Edit. Whenever it shows while the address bar holds an RSS address, it
// starts from the current page instead of what it was given.
#pragma once

#include "favorites/favorite_entry_dialog.h"

namespace orv {

class Tfslide : public FavoriteEntryDialog {
 public:
  Tfslide(App& app, Services& services);

  void FormActivate();

 protected:
  void BeforeShow() override { FormActivate(); }
};

}  // namespace orv
