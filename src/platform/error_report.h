// The application-wide error report: an exception that escapes a handler
// ends up here, is shown to the user, and the program goes on.
#pragma once

#include <exception>
#include <functional>
#include <string>

namespace orv {

using ErrorReporter = std::function<void(const std::string& text)>;

// Installed by the user interface at start-up; until then reports go to stderr.
void SetErrorReporter(ErrorReporter reporter);

// The text of the exception in flight (call inside a catch block).
std::string CurrentExceptionText();

// Reports the exception in flight. Never throws.
void ReportCurrentException() noexcept;

// Reports a failure by its text. Never throws.
void ReportErrorText(const std::string& text) noexcept;

// Runs `step`, reporting whatever escapes it: for callbacks that return
// into C code (GLib, GTK, WebKit), which an exception must never cross.
template <typename F>
void RunReported(F&& step) noexcept {
  try {
    step();
  } catch (...) {
    ReportCurrentException();
  }
}

// A guard: runs `step` and swallows whatever it throws. Answers whether the
// step completed.
template <typename F>
bool RunGuarded(F&& step) noexcept {
  try {
    step();
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace orv
