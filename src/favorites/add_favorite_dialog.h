// Tfaddfav: Adds the current page to the favorites.
// Created hidden at start-up and reused; its contents come with its feature.
#pragma once

#include "app/secondary_window.h"

namespace orv {

class Tfaddfav : public SecondaryWindow {
 public:
  Tfaddfav(App& app, Services& services)
      : SecondaryWindow(app, services, "Tfaddfav", "Add to favorites") {}
};

}  // namespace orv
