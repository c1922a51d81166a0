// Tfaddfav: adds the current page to the favorites. Its name and URL start
// as the page's title and the address bar's text; "OK" appends the entry to
// the favorites list and writes the list at once.
#pragma once

#include "favorites/favorite_entry_dialog.h"

namespace orv {

class Tfaddfav : public FavoriteEntryDialog {
 public:
  Tfaddfav(App& app, Services& services);

  // Fills the edits from the main window. Runs when the dialog shows, not at
  // every activation: text the user typed survives a visit to another window.
  void FormActivate();
  // "OK".
  void BitBtn2Click() { OkClick(); }

 protected:
  void OkClick() override;
  void BeforeShowing() override { FormActivate(); }
};

}  // namespace orv
