#include "platform/deferred.h"

#include <glib.h>

#include <deque>
#include <utility>

#include "platform/error_report.h"
#include "platform/main_loop.h"

namespace orv {

namespace {

struct Work {
  const void* owner;
  std::function<void()> run;
  unsigned long sequence;
};

int g_handler_depth = 0;
unsigned long g_next_sequence = 0;
std::deque<Work>& Queue() {
  static auto* queue = new std::deque<Work>;
  return *queue;
}
guint g_idle_source = 0;

void RunQueued() {
  // Work queued while this runs waits for the next turn: it may have been
  // queued from inside a handler that the work itself started. Work is taken
  // one piece at a time, so that a piece can still forget a later one.
  const unsigned long end = g_next_sequence;
  auto& queue = Queue();
  while (!queue.empty() && queue.front().sequence < end) {
    Work work = std::move(queue.front());
    queue.pop_front();
    RunReported([&] { work.run(); });
  }
}

gboolean OnIdle(gpointer) {
  g_idle_source = 0;
  // Still busy: the end of the handler or wait schedules us again, so an
  // idle wait costs nothing meanwhile.
  if (StackUnwound()) RunQueued();
  return G_SOURCE_REMOVE;
}

void Schedule() {
  if (g_idle_source || Queue().empty() || !StackUnwound()) return;
  g_idle_source = g_idle_add(OnIdle, nullptr);
}

}  // namespace

HandlerScope::HandlerScope() { ++g_handler_depth; }

HandlerScope::~HandlerScope() {
  if (--g_handler_depth == 0) Schedule();
}

int HandlerDepth() { return g_handler_depth; }

bool StackUnwound() { return g_handler_depth == 0 && WaitDepth() == 0; }

void RunWhenUnwound(const void* owner, std::function<void()> work) {
  Queue().push_back({owner, std::move(work), g_next_sequence++});
  Schedule();
}

void ForgetDeferred(const void* owner) {
  if (!owner) return;
  auto& queue = Queue();
  for (auto it = queue.begin(); it != queue.end();) {
    it = it->owner == owner ? queue.erase(it) : it + 1;
  }
}

void FlushDeferred() {
  while (!Queue().empty()) RunQueued();
}

namespace internal {
void StackMayHaveUnwound() { Schedule(); }
}  // namespace internal

}  // namespace orv
