#include "shell/page_captions.h"

namespace orv {

namespace {
// Byte length of the first `count` UTF-8 characters of `text`.
size_t Utf8Prefix(std::string_view text, size_t count, size_t& characters) {
  size_t i = 0;
  characters = 0;
  while (i < text.size() && characters < count) {
    ++i;
    while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
    ++characters;
  }
  return i;
}
}  // namespace

std::string TabCaptionForTitle(std::string_view title) {
  size_t characters = 0;
  const size_t cut = Utf8Prefix(title, 40, characters);
  if (characters < 40) return std::string(title);
  return std::string(title.substr(0, cut)) + "...";
}

std::string MainCaptionForStatus(std::string_view status) {
  if (status.empty()) return "Orvindel";
  return "Orvindel - [ " + std::string(status) + " ]";
}

}  // namespace orv
