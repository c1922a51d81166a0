// Text helpers shared by every file reader: encoding repair, trimming,
// strict integer parsing.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orv {

// True when `bytes` is well-formed UTF-8 (no overlongs, no surrogates).
bool IsValidUtf8(std::string_view bytes);

// Decodes Windows-1252 bytes to UTF-8. The five bytes that code page leaves
// undefined map to the C1 control code points of the same value.
std::string Cp1252ToUtf8(std::string_view bytes);

// Files may come from the Windows build of the program: UTF-8 is taken as it
// is (a leading byte-order mark dropped), anything else is read as
// Windows-1252 so that it shows instead of breaking the widgets.
std::string DecodeFileText(std::string_view bytes);

// Removes blanks (spaces, tabs, CR, LF) at both ends.
std::string TrimBlanks(std::string_view text);

// Parses a whole decimal integer ("-12", "+7"), or hexadecimal with a "$" or
// "0x" prefix, that fits a 32-bit int. Anything else yields nullopt.
std::optional<int> ParseInteger(std::string_view text);

// ASCII lower case.
std::string AsciiLower(std::string_view text);
std::string AsciiUpper(std::string_view text);

}  // namespace orv
