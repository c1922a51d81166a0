// Tfhomepage: Sets the home page.
// Created hidden at start-up and reused; its contents come with its feature.
#pragma once

#include "ui/secondary_window.h"

namespace orv {

class Tfhomepage : public SecondaryWindow {
 public:
  Tfhomepage(App& app, Services& services)
      : SecondaryWindow(app, services, "Tfhomepage", "Home Page") {}
};

}  // namespace orv
