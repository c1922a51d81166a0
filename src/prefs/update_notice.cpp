#include "prefs/update_notice.h"

#include <vector>

#include "common/text.h"

namespace orv {

std::optional<UpdateNotice> ReadUpdateNotice(std::string_view file) {
  const std::string text = DecodeFileText(file);
  const std::string_view bytes = text;
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < bytes.size() && lines.size() < 2; ++i) {
    const char c = bytes[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      lines.push_back(line);
      line.clear();
    } else {
      line.push_back(c);
    }
  }
  if (lines.size() < 2 && !line.empty()) lines.push_back(line);
  if (lines.size() < 2) return std::nullopt;
  const auto number = ParseInteger(TrimBlanks(lines[0]));
  if (!number) return std::nullopt;
  if (*number > 10) {
    return UpdateNotice{"An update to Orvindel " + lines[1] + " is now avilable.",
                        "Visit the website to download the latest version of Orvindel"};
  }
  return UpdateNotice{"You are currently running the latest version of Orvindel", ""};
}

}  // namespace orv
