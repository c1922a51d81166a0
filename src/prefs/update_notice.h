// The about window's update notice, read from checkupdate.upd when the file
// is there. Nothing in the program fetches or writes that file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orv {

inline constexpr char kUpdateNoticeFile[] = "checkupdate.upd";

struct UpdateNotice {
  std::string first;
  std::string second;
};

// Line 1 a whole number, line 2 a version: above 10 announces that version,
// otherwise says the program is current. A file of fewer than two lines or
// with a first line that is not a whole number gives no notice.
std::optional<UpdateNotice> ReadUpdateNotice(std::string_view bytes);

}  // namespace orv
