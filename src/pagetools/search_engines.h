// The four search engines and the page-translation service.
#pragma once

#include <string>
#include <string_view>

namespace orv {

inline constexpr int kEngineCount = 4;

// "Google", "Bing", "Yahoo", "Wikipedia" for engines 1..4; empty otherwise.
std::string EngineName(int engine);

// The engine's address prefix followed by `text`. Blanks stay as typed; the
// characters that would change what the query says ("&", "#", "+", "%") are
// percent-encoded, so the engine searches for exactly what the user typed.
// Empty when `engine` is not 1..4.
std::string BuildSearchAddress(int engine, std::string_view text);

// The page-translation address for the page at `address`, appended unchanged.
std::string BuildTranslateAddress(std::string_view address);

}  // namespace orv
