#include "prefs/options_window.h"

#include "ui/services.h"
#include "platform/files.h"
#include "prefs/user_agents.h"

namespace orv {

namespace {
// Far above any real list; a larger file is not a user-agent list.
constexpr size_t kMaxUserAgentFile = 1024 * 1024;
}  // namespace

Tfoptions::Tfoptions(App& app, Services& services)
    : SecondaryWindow(app, services, "Tfoptions", "Options"),
      user_agents_(InitialUserAgents()) {
  const std::string path = services.folders.OrvindelDir() + kUserAgentFile;
  if (auto bytes = ReadFileBytes(path, kMaxUserAgentFile)) {
    user_agents_ = ParseUserAgentFile(*bytes);
  }
}

void Tfoptions::SaveUserAgents() {
  WriteFileAtomic(services().folders.OrvindelDir() + kUserAgentFile,
                  SerializeUserAgentFile(user_agents_));
}

}  // namespace orv
