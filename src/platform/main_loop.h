// Waiting on the one GUI thread without freezing the window.
#pragma once

#include <functional>

namespace orv {

// "Let pending window events run": dispatches what is pending now, without
// blocking. Bounded, so a source that keeps re-arming cannot trap the caller.
void ProcessPendingEvents();

// The waiting loop: iterates the main loop, blocking until the next event,
// until `done` answers true, the application is terminating, or
// `timeout_ms` (when > 0) has passed. Never spins. Answers done().
bool WaitUntil(const std::function<bool()>& done, int timeout_ms = 0);

// How many waiting loops are running now, one inside another.
int WaitDepth();

// Set once the application has started to close; every waiting loop ends.
void SetTerminating(bool terminating);
bool IsTerminating();

}  // namespace orv
