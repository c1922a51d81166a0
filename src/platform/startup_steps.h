// Marks the steps of start-up, so that the checks can prove a termination
// signal is safe at every one of them.
#pragma once

#include <functional>

namespace orv {

// Called as each numbered step of start-up begins. When the environment
// variable ORV_TEST_SIGNAL_AT_STEP names this step, raises SIGTERM and lets
// pending events run, so that its handler runs right here.
void StartupStepReached(int step);

// In-process tests watch the steps instead (an empty function: no one).
void SetStartupStepObserver(std::function<void(int step)> observer);

}  // namespace orv
