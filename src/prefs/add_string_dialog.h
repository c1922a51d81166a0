// Tfaddstring: Asks for one line of text, such as a user agent.
// Created hidden at start-up and reused; its contents come with its feature.
#pragma once

#include "ui/secondary_window.h"

namespace orv {

class Tfaddstring : public SecondaryWindow {
 public:
  Tfaddstring(App& app, Services& services)
      : SecondaryWindow(app, services, "Tfaddstring", "Orvindel") {}
};

}  // namespace orv
