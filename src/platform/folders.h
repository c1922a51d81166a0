// Where the program is and where it keeps its files.
#pragma once

#include <string>

namespace orv {

struct Folders {
  std::string program_dir;   // ends in '/'
  std::string program_path;  // the running executable
  std::string data_dir;     // ends in '/'

  std::string OrvindelDir() const;  // data_dir + "Orvindel/"
  std::string TempDir() const;      // data_dir + "ovTemp/"

  // The folder of /proc/self/exe and the user's data folder
  // ($XDG_DATA_HOME, or ~/.local/share). When the system reports neither,
  // the data folder is "/".
  static Folders FromSystem();
};

// The system browser's start page: this platform has none to offer.
std::string SystemStartPage();

}  // namespace orv
