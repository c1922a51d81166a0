// The "LVF" list file: the favorites and the feeds are kept in it. A file is
// the signature "LVF", a little-endian 16-bit entry count, then one record per
// entry: sub-item count (16 bits), image index (32 bits, signed), caption
// (16-bit byte length and bytes), then each sub-item the same way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

// One row of a two-column report list: the caption is the first column, the
// sub-items the further ones (for favorites and feeds exactly one: the URL).
struct ListEntry {
  std::string caption;
  int32_t image_index = 0;
  std::vector<std::string> sub_items;

  bool operator==(const ListEntry&) const = default;
};
using ListEntries = std::vector<ListEntry>;

// The widths of the file's counts and lengths.
inline constexpr size_t kMaxListEntries = 65535;
inline constexpr size_t kMaxListSubItems = 65535;
inline constexpr size_t kMaxListTextBytes = 65535;
// No list a person keeps comes near this; a larger file is not read, so the
// writer refuses to produce one it could not read back.
inline constexpr size_t kMaxListFileBytes = 256u * 1024 * 1024;

// A list the format cannot hold. Cutting it would lose entries or text
// silently, so it is refused with a message that says what is too large.
struct ListFileLimitError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The file's bytes for `list`. Throws ListFileLimitError for a list beyond
// the format's limits.
std::string SerializeListFile(const ListEntries& list);

enum class ListFileStatus {
  kLoaded,       // every entry the file announced was read
  kMissing,      // no file at the path
  kNotListFile,  // wrong signature, shorter than the signature, or too large
  kTruncated,    // the file ends inside the entries: the complete ones were read
  kUnreadable,   // the file exists but cannot be read
};

struct ListFileRead {
  ListFileStatus status = ListFileStatus::kLoaded;
  // For kLoaded and kTruncated: the entries read, in file order.
  ListEntries entries;
};

// Reads a list from the file's bytes. Never fails and never allocates more
// than a small multiple of bytes.size(): counts are checked against the
// bytes actually left. Texts are cut at their first NUL; a text that is not
// UTF-8 (a file from the Windows build) is read as Windows-1252.
ListFileRead ParseListFile(std::string_view bytes);

// The message the user is shown for a failed read of `file_name`, or empty
// for a read that worked.
std::string ListFileMessage(ListFileStatus status, const std::string& file_name);
inline constexpr char kListFileErrorCaption[] = "I/O Error";

// True once any list file, favorites or feeds, has been read successfully in
// this process; never reset. The news ticker waits for it.
bool ListFileLoaded();
void SetListFileLoaded();

}  // namespace orv
