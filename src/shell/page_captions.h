// Texts the main window derives from what a page reports.
#pragma once

#include <string>
#include <string_view>

namespace orv {

// A tab shows a title of fewer than 40 characters whole, a longer one cut
// to its first 40 characters followed by "...". Characters, not bytes.
std::string TabCaptionForTitle(std::string_view title);

// The main window's caption for a page's status text in the silver and
// compact views.
std::string MainCaptionForStatus(std::string_view status);

}  // namespace orv
