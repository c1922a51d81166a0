// Fetching a small resource (a site icon) into memory without waiting: the
// answer arrives later on the main loop.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace orv {

struct FetchLimits {
  // A body larger than this is refused.
  size_t max_bytes = 1024 * 1024;
  // An exchange that sends nothing for this long is given up.
  int stall_timeout_s = 30;
};

// Starts a GET of `url` with `user_agent` and the system proxy, and returns
// at once. `done` runs later on the main loop exactly once: with the body
// when the server answered 200 within the limits, with nothing otherwise
// (an invalid address, a failed connection, another status, too large a
// body, a stall).
void FetchBytes(const std::string& url, const std::string& user_agent, const FetchLimits& limits,
                std::function<void(std::optional<std::string> body)> done);

}  // namespace orv
