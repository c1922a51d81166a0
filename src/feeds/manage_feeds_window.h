// Tfmanage: Adds, edits, orders and removes feeds.
// Created hidden at start-up and reused; its contents come with its feature.
#pragma once

#include "ui/secondary_window.h"

namespace orv {

class Tfmanage : public SecondaryWindow {
 public:
  Tfmanage(App& app, Services& services)
      : SecondaryWindow(app, services, "Tfmanage", "Manage Feeds") {}
};

}  // namespace orv
