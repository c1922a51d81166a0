// Tfabout: The version and the maker's site.
// Created hidden at start-up and reused; its contents come with its feature.
#pragma once

#include "ui/secondary_window.h"

namespace orv {

class Tfabout : public SecondaryWindow {
 public:
  Tfabout(App& app, Services& services)
      : SecondaryWindow(app, services, "Tfabout", "About Orvindel Web Browser") {}
};

}  // namespace orv
