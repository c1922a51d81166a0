// Work that must wait until nothing that could still use its objects is on
// the stack: no engine event handler and no waiting loop.
//
// An engine handler may run the main loop (a message box, a wait for a page,
// "let pending window events run"); an ordinary idle callback then fires in
// the middle of the handler, and whatever it frees is used again once the
// handler returns. Everything the program destroys "later" goes through
// here instead.
#pragma once

#include <functional>
#include <memory>

namespace orv {

// Marks an engine event handler as running for its lifetime.
class HandlerScope {
 public:
  HandlerScope();
  ~HandlerScope();
  HandlerScope(const HandlerScope&) = delete;
  HandlerScope& operator=(const HandlerScope&) = delete;
};

// How many engine event handlers are running now, one inside another.
int HandlerDepth();

// True when neither a handler nor a waiting loop is on the stack.
bool StackUnwound();

// Runs `work` on a later main-loop turn, the first on which the stack is
// unwound, in the order queued. `owner` (may be null) lets its owner drop
// the work it queued with ForgetDeferred when it goes first.
void RunWhenUnwound(const void* owner, std::function<void()> work);
void ForgetDeferred(const void* owner);

// Destroys `object` once the stack is unwound.
template <typename T>
void DeleteWhenUnwound(std::unique_ptr<T> object) {
  if (!object) return;
  auto held = std::shared_ptr<T>(std::move(object));
  RunWhenUnwound(nullptr, [held]() mutable { held.reset(); });
}

// Runs every queued piece of work now. For the end of the program, when no
// handler can be on the stack any more.
void FlushDeferred();

namespace internal {
// Called by the waiting loop when the outermost wait has ended.
void StackMayHaveUnwound();
}  // namespace internal

}  // namespace orv
