// Tfoptions: the Options window. For now it owns the optional user-agent
// list: read from uas.cfg when the window is created, saved at close.
#pragma once

#include <string>
#include <vector>

#include "ui/secondary_window.h"

namespace orv {

class Tfoptions : public SecondaryWindow {
 public:
  Tfoptions(App& app, Services& services);

  // The items of the optional user-agent list `cbx`, sorted.
  const std::vector<std::string>& UserAgents() const { return user_agents_; }

  // Writes the list to uas.cfg in the Orvindel folder. Throws on failure.
  void SaveUserAgents();

 private:
  std::vector<std::string> user_agents_;
};

}  // namespace orv
