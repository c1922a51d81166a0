// Site icons on the tabs: where a page's icon is asked for.
#pragma once

#include <string>
#include <string_view>

namespace orv {

// The icon of a plain http page: "favicon.ico" at the root of its host,
// over http. Pages over https, local files and anything else get none:
// the answer is empty.
std::string SiteIconAddress(std::string_view page);

}  // namespace orv
