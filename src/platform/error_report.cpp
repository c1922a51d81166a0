#include "platform/error_report.h"

#include <glib.h>

#include <cstdio>

namespace orv {

namespace {
ErrorReporter& Reporter() {
  static ErrorReporter reporter;
  return reporter;
}
}  // namespace

void SetErrorReporter(ErrorReporter reporter) { Reporter() = std::move(reporter); }

std::string CurrentExceptionText() {
  try {
    throw;
  } catch (const std::exception& e) {
    return e.what();
  } catch (const GError* e) {
    return e ? e->message : "Unknown error";
  } catch (...) {
    return "Unknown error";
  }
}

void ReportCurrentException() noexcept {
  std::string text;
  try {
    text = CurrentExceptionText();
  } catch (...) {
    text = "Unknown error";
  }
  ReportErrorText(text);
}

void ReportErrorText(const std::string& text) noexcept {
  try {
    if (Reporter()) {
      Reporter()(text);
      return;
    }
  } catch (...) {
  }
  std::fprintf(stderr, "orvindel: %s\n", text.c_str());
}

}  // namespace orv
