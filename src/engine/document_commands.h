// Commands executed on a browser's document, by group and number.
#pragma once

namespace orv {

class TWebBrowser;

enum class CommandGroup { kNone, kWebBrowser };

// Web-browser group: 1 find dialog, 2 view source, 3 Internet options.
// No group: 11 cut, 12 copy, 13 paste, 17 select all.
inline constexpr int kCmdFind = 1;
inline constexpr int kCmdViewSource = 2;
inline constexpr int kCmdInternetOptions = 3;
inline constexpr int kCmdCut = 11;
inline constexpr int kCmdCopy = 12;
inline constexpr int kCmdPaste = 13;
inline constexpr int kCmdSelectAll = 17;

// Does nothing when there is no browser or it has no document; swallows
// every error.
void RunDocumentCommand(TWebBrowser* browser, CommandGroup group, int command);

}  // namespace orv
