// Tfgoogle: Shows search results beside the main window.
// Created hidden at start-up and reused; its contents come with its feature.
#pragma once

#include "app/secondary_window.h"

namespace orv {

class Tfgoogle : public SecondaryWindow {
 public:
  Tfgoogle(App& app, Services& services)
      : SecondaryWindow(app, services, "Tfgoogle", "Quick Web Search") {}
};

}  // namespace orv
