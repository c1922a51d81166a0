// Tfslide: Adds one feed to the feed list.
// Created hidden at start-up and reused; its contents come with its feature.
#pragma once

#include "ui/secondary_window.h"

namespace orv {

class Tfslide : public SecondaryWindow {
 public:
  Tfslide(App& app, Services& services)
      : SecondaryWindow(app, services, "Tfslide", "Add RSS") {}
};

}  // namespace orv
