// Tfdl: Fetches language files.
// Created hidden at start-up and reused; its contents come with its feature.
#pragma once

#include "ui/secondary_window.h"

namespace orv {

class Tfdl : public SecondaryWindow {
 public:
  Tfdl(App& app, Services& services)
      : SecondaryWindow(app, services, "Tfdl", "Download languages") {}
};

}  // namespace orv
