#include "pagetools/social_links.h"

namespace orv {

namespace {

struct SocialLink {
  const char* hint;
  const char* address;
};

constexpr SocialLink kLinks[kSocialLinkCount] = {
    {"Twitter", "http://twitter.com/"},
    {"facebook", "http://www.facebook.com/"},
    {"myspace", "http://www.myspace.com/"},
    // No scheme: it goes through the address bar like typed text.
    {"GMail", "orvindel.user@gmail.com?subject=LOL"},
    {"YouTube", "http://www.youtube.com/"},
};

}  // namespace

std::string SocialLinkAddress(int button) {
  return button >= 1 && button <= kSocialLinkCount ? kLinks[button - 1].address : "";
}

std::string SocialLinkHint(int button) {
  return button >= 1 && button <= kSocialLinkCount ? kLinks[button - 1].hint : "";
}

}  // namespace orv
