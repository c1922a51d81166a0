// Tfslike: Hidden helper that loads site icons.
// Created hidden at start-up and reused; its contents come with its feature.
#pragma once

#include "ui/secondary_window.h"

namespace orv {

class Tfslike : public SecondaryWindow {
 public:
  Tfslike(App& app, Services& services)
      : SecondaryWindow(app, services, "Tfslike", "") {}
};

}  // namespace orv
