// Tfrss: The feed reader with its digest page.
// Created hidden at start-up and reused; its contents come with its feature.
#pragma once

#include "ui/secondary_window.h"

namespace orv {

class Tfrss : public SecondaryWindow {
 public:
  Tfrss(App& app, Services& services)
      : SecondaryWindow(app, services, "Tfrss", "RSS Reader") {}
};

}  // namespace orv
