#include "pagetools/search_engines.h"

namespace orv {

namespace {

struct Engine {
  const char* name;
  const char* prefix;
};

constexpr Engine kEngines[kEngineCount] = {
    {"Google", "http://www.google.com/search?ie=ISO-8859-1&hl=us&q="},
    {"Bing", "http://www.bing.com/search?ie=ISO-8859-1&hl=us&q="},
    {"Yahoo", "http://search.yahoo.com/bin/search?p="},
    {"Wikipedia", "http://en.wikipedia.org/wiki/"},
};

std::string EncodeQueryText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "%26";
        break;
      case '#':
        out += "%23";
        break;
      case '+':
        out += "%2B";
        break;
      case '%':
        out += "%25";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace

std::string EngineName(int engine) {
  return engine >= 1 && engine <= kEngineCount ? kEngines[engine - 1].name : "";
}

std::string BuildSearchAddress(int engine, std::string_view text) {
  if (engine < 1 || engine > kEngineCount) return {};
  return kEngines[engine - 1].prefix + EncodeQueryText(text);
}

std::string BuildTranslateAddress(std::string_view address) {
  return "http://translate.google.com/translate?u=" + std::string(address);
}

}  // namespace orv
