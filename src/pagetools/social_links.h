// The five web services of the social bar.
#pragma once

#include <string>

namespace orv {

inline constexpr int kSocialLinkCount = 5;

// What button s1..s5 (1..5) opens: the home pages of Twitter, Facebook,
// MySpace and YouTube, and for GMail an account's address with a subject,
// which the address bar reads like anything typed into it. Empty otherwise.
std::string SocialLinkAddress(int button);

// The hint of button 1..5: "Twitter", "facebook", "myspace", "GMail",
// "YouTube". Empty otherwise.
std::string SocialLinkHint(int button);

}  // namespace orv
