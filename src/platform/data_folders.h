// The folders start-up prepares and the list files it moves into them.
#pragma once

#include <string>

namespace orv {

inline constexpr char kOrvindelFolder[] = "Orvindel";
inline constexpr char kTempFolder[] = "ovTemp";

// Creates the Orvindel and ovTemp folders in `data_dir` (which ends in '/').
// Failures are ignored: the program then runs without stored settings.
void CreateDataFolders(const std::string& data_dir);

// Moves `name` from the program directory into the Orvindel folder. The move
// never replaces a file: when the target exists, both stay where they are.
// Answers whether the file was moved.
bool MigrateListFile(const std::string& program_dir, const std::string& orvindel_dir,
                     const std::string& name);

}  // namespace orv
