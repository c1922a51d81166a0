#include "prefs/user_agents.h"

#include <algorithm>

#include "common/text.h"

namespace orv {

std::vector<std::string> InitialUserAgents() {
  std::vector<std::string> agents = {
      "Mozilla/5.0 (compatible; MSIE 10.0; Windows NT 6.1; Trident/6.0)",
      "Mozilla/5.0 (iPhone; U; CPU like Mac OS X; en) AppleWebKit/420+ (KHTML, like Gecko) "
      "Version/3.0 Mobile/1A543a Safari/419.3",
      "Mozilla/5.0 (Windows NT 5.1) AppleWebKit/535.2 (KHTML, like Gecko) Chrome/15.0.860.0 "
      "Safari/535.2",
      "Mozilla/5.0 (Windows NT 6.1; WOW64; rv:6.0a2) Gecko/20110613 Firefox/6.0a2",
      "My Browser",
      "X was here",
  };
  SortUserAgents(agents);
  return agents;
}

void SortUserAgents(std::vector<std::string>& agents) {
  std::stable_sort(agents.begin(), agents.end(), [](const std::string& a, const std::string& b) {
    return AsciiLower(a) < AsciiLower(b);
  });
}

std::vector<std::string> ParseUserAgentFile(std::string_view bytes) {
  const std::string text = DecodeFileText(bytes);
  std::vector<std::string> agents;
  size_t start = 0;
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      agents.emplace_back(text, start, i - start);
      i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < text.size()) agents.emplace_back(text, start);
  SortUserAgents(agents);
  return agents;
}

std::string SerializeUserAgentFile(const std::vector<std::string>& agents) {
  std::string out;
  for (const auto& a : agents) {
    out += a;
    out += "\r\n";
  }
  return out;
}

}  // namespace orv
