// Tfdesigner: The page designer.
// Created hidden at start-up and reused; its contents come with its feature.
#pragma once

#include "ui/secondary_window.h"

namespace orv {

class Tfdesigner : public SecondaryWindow {
 public:
  Tfdesigner(App& app, Services& services)
      : SecondaryWindow(app, services, "Tfdesigner", "WYSIWYG Page Designer") {}
};

}  // namespace orv
