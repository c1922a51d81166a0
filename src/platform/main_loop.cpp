#include "platform/main_loop.h"

#include <glib.h>

#include <memory>

#include "platform/deferred.h"

namespace orv {

namespace {
bool g_terminating = false;
int g_wait_depth = 0;
}  // namespace

int WaitDepth() { return g_wait_depth; }

void SetTerminating(bool terminating) {
  g_terminating = terminating;
  // Wake a waiting loop that is blocked in the main loop so it sees the flag.
  g_main_context_wakeup(nullptr);
}

bool IsTerminating() { return g_terminating; }

void ProcessPendingEvents() {
  for (int i = 0; i < 1000 && g_main_context_pending(nullptr); ++i) {
    g_main_context_iteration(nullptr, FALSE);
  }
}

bool WaitUntil(const std::function<bool()>& done, int timeout_ms) {
  if (done()) return true;
  auto expired = std::make_shared<bool>(false);
  guint timer = 0;
  if (timeout_ms > 0) {
    auto* flag = new std::shared_ptr<bool>(expired);
    timer = g_timeout_add_full(
        G_PRIORITY_DEFAULT, static_cast<guint>(timeout_ms),
        [](gpointer data) -> gboolean {
          **static_cast<std::shared_ptr<bool>*>(data) = true;
          return G_SOURCE_REMOVE;
        },
        flag, [](gpointer data) { delete static_cast<std::shared_ptr<bool>*>(data); });
  }
  ++g_wait_depth;
  while (!done() && !g_terminating && !*expired) g_main_context_iteration(nullptr, TRUE);
  --g_wait_depth;
  if (timer && !*expired) g_source_remove(timer);
  if (g_wait_depth == 0) internal::StackMayHaveUnwound();
  return done();
}

}  // namespace orv
