// Tffavorit: The favorites list and its commands.
// Created hidden at start-up and reused; its contents come with its feature.
#pragma once

#include "app/secondary_window.h"

namespace orv {

class Tffavorit : public SecondaryWindow {
 public:
  Tffavorit(App& app, Services& services)
      : SecondaryWindow(app, services, "Tffavorit", "Orvindel - Bookmarks") {}
};

}  // namespace orv
