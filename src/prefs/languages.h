// Language packs: "<name>.jez" files in the Orvindel folder, the list of
// languages a server offers (languages.lng), and where they come from.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orv {

inline constexpr char kLanguageListFile[] = "languages.lng";
inline constexpr char kLanguageExtension[] = ".jez";

// The lines of a language list: CR LF, a lone CR or a lone LF ends a line;
// a final line break adds no empty entry. Sorted without regard to case.
std::vector<std::string> ParseLanguageList(std::string_view bytes);

// The installed languages among the file names of a folder: every
// "<name>.jez" with a non-empty name, without the extension, sorted without
// regard to case.
std::vector<std::string> InstalledLanguages(const std::vector<std::string>& file_names);

// Whether `name` can be a language's file name: not empty, no folder
// separators, no leading dot, no control characters. A list from a server
// is not trusted to name files in the user's folder.
bool IsSafeLanguageName(std::string_view name);

// The address of `path` ("Language/languages.lng") under the base address
// `base` of a language server: http(s) or a file: folder address.
std::string LanguageAddress(std::string_view base, std::string_view path);

}  // namespace orv
