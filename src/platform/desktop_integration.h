// The program's place on the desktop: its desktop entry and whether it is
// the default web browser. The desktop's own defaults (mimeapps.list) are
// read and written through GIO.
#pragma once

#include <string>
#include <vector>

namespace orv {

inline constexpr char kDesktopId[] = "orvindel.desktop";

// The content types the program handles, in the order they are registered:
// the two protocols, then the .html, .htm and .mht files.
std::vector<std::string> BrowserContentTypes();

// The desktop entry for the executable `exe`: it opens addresses and files
// handed to it as separate arguments (%U), never through a shell line.
std::string DesktopEntryText(const std::string& exe);

// Writes the desktop entry into the user's applications folder unless an
// installed one exists, then makes the program the default handler of every
// type of BrowserContentTypes, in order. Answers whether every type was set.
bool RegisterAsDefaultBrowser(const std::string& exe);

// Whether the desktop's default handler of http addresses is this program:
// its id or its command line names "orvindel", in any case.
bool IsDefaultBrowser();

}  // namespace orv
