// Tfhint: The floating navigation bar.
// Created hidden at start-up and reused; its contents come with its feature.
#pragma once

#include "ui/secondary_window.h"

namespace orv {

class Tfhint : public SecondaryWindow {
 public:
  Tfhint(App& app, Services& services)
      : SecondaryWindow(app, services, "Tfhint", "") {}
};

}  // namespace orv
