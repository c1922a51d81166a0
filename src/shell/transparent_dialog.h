// Tftransparent: Chooses the main window's opacity.
// Created hidden at start-up and reused; its contents come with its feature.
#pragma once

#include "ui/secondary_window.h"

namespace orv {

class Tftransparent : public SecondaryWindow {
 public:
  Tftransparent(App& app, Services& services)
      : SecondaryWindow(app, services, "Tftransparent", "Transparent") {}
};

}  // namespace orv
