// libFuzzer target: the list file reader on arbitrary bytes, and the writer
// on what it read, which must read back the same.
// Build and run with scripts/fuzz.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "favorites/list_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const orv::ListFileRead read = orv::ParseListFile(bytes);
  if (read.status != orv::ListFileStatus::kLoaded && read.status != orv::ListFileStatus::kTruncated) {
    return 0;
  }
  // What was read is within the format's limits, so it can always be written,
  // and writing then reading keeps it.
  const orv::ListFileRead again = orv::ParseListFile(orv::SerializeListFile(read.entries));
  if (again.status != orv::ListFileStatus::kLoaded || again.entries != read.entries) std::abort();
  return 0;
}
