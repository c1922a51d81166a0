// What the page commands work out before they reach a dialog or the engine.
#pragma once

#include <string>
#include <string_view>

namespace orv {

// The name Save As offers for the page at `uri`: the last part of its path
// (decoded, reduced to a base name, its extension dropped), else the host,
// else "page"; with `extension` (".mht") appended. Never a path: a name
// from a page must not pick the folder.
std::string SuggestedSaveName(std::string_view uri, std::string_view extension);

}  // namespace orv
