// What the engine is asked to load for an address the user or a page gave:
// the old engine's forgiving reading of addresses.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace orv {

// Answers whether a local path names an existing file or folder.
using PathExists = std::function<bool(const std::string& path)>;

// Blanks trimmed; empty gives empty (nothing is loaded); an absolute path,
// or a relative one that exists, becomes a file URI; text without a scheme gets
// "http://"; characters not allowed in a URI are percent-encoded and
// everything else, "%" included, is kept.
std::string NormalizeNavigateAddress(std::string_view address, const PathExists& exists);

// True when the text starts with a URI scheme the engine understands as one
// ("http://x", "about:blank", "mailto:a@b"), and not for "localhost:8080".
bool HasUriScheme(std::string_view text);

// True for a "file:" address, and for an absolute path that exists: text
// the address bar opens without asking the network.
bool IsLocalFileAddress(std::string_view text, const PathExists& exists);

// Percent-encodes the bytes that may not appear in a URI.
std::string EncodeUriText(std::string_view text);

}  // namespace orv
