// Tfinfo1: Explains Quick Web Search when no text is selected.
// Created hidden at start-up and reused; its contents come with its feature.
#pragma once

#include "app/secondary_window.h"

namespace orv {

class Tfinfo1 : public SecondaryWindow {
 public:
  Tfinfo1(App& app, Services& services)
      : SecondaryWindow(app, services, "Tfinfo1", "Orvindel") {}
};

}  // namespace orv
