#include "platform/startup_steps.h"

#include <glib.h>

#include <csignal>
#include <optional>
#include <string>

#include "common/text.h"
#include "platform/main_loop.h"

namespace orv {

namespace {

std::function<void(int)>& Observer() {
  static auto* observer = new std::function<void(int)>;
  return *observer;
}

// Read once: the variable is the stress check's, and never changes in a run.
int SignalStep() {
  static const int step = [] {
    const char* value = g_getenv("ORV_TEST_SIGNAL_AT_STEP");
    return value ? ParseInteger(value).value_or(0) : 0;
  }();
  return step;
}

}  // namespace

void StartupStepReached(int step) {
  if (Observer()) {
    Observer()(step);
    return;
  }
  if (step != SignalStep()) return;
  std::raise(SIGTERM);
  ProcessPendingEvents();
}

void SetStartupStepObserver(std::function<void(int step)> observer) {
  Observer() = std::move(observer);
}

}  // namespace orv
