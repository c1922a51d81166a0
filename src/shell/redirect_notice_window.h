// Tfred: Announces that redirect mode went on or off.
// Created hidden at start-up and reused; its contents come with its feature.
#pragma once

#include "app/secondary_window.h"

namespace orv {

class Tfred : public SecondaryWindow {
 public:
  Tfred(App& app, Services& services)
      : SecondaryWindow(app, services, "Tfred", "") {}
};

}  // namespace orv
