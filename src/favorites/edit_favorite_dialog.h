// Tfeditfavorites: Edits one favorite.
// Created hidden at start-up and reused; its contents come with its feature.
#pragma once

#include "app/secondary_window.h"

namespace orv {

class Tfeditfavorites : public SecondaryWindow {
 public:
  Tfeditfavorites(App& app, Services& services)
      : SecondaryWindow(app, services, "Tfeditfavorites", "Orvindel - Edid Favorites") {}
};

}  // namespace orv
