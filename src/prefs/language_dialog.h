// Tfjezik: Chooses the language of the command captions.
// Created hidden at start-up and reused; its contents come with its feature.
#pragma once

#include "ui/secondary_window.h"

namespace orv {

class Tfjezik : public SecondaryWindow {
 public:
  Tfjezik(App& app, Services& services)
      : SecondaryWindow(app, services, "Tfjezik", "Language") {}
};

}  // namespace orv
