// The address bar's reachability probe: is the typed text an address that
// answers over HTTP?
#pragma once

#include <string>

namespace orv {

// How long a probe may take before it counts as unreachable. Ten seconds is
// long enough for a slow DNS lookup, a proxy and a distant server to answer,
// and short enough that a user who typed into the address bar is not left
// waiting on a dead host. The window keeps answering meanwhile, so the wait
// costs nothing but the answer's delay.
inline constexpr int kProbeTimeoutMs = 10000;

// The address a probe asks for: text that does not contain "http://" (in any
// case) gets "http://" in front of it, except that text starting with
// "https://" is kept as it is, so it is probed over TLS instead of becoming
// "http://https://...".
std::string ProbeUrl(const std::string& text);

// Sends a plain GET for ProbeUrl(text) with the user agent "InetURL:/1.0",
// the system proxy, no cache and redirects followed, and answers whether the
// final status is 200 or 302. Only the status is read, never the body, so a
// huge or endless page costs nothing. An invalid address, a failed lookup or
// connection, a TLS error, the time-out (`timeout_ms`; a value <= 0 means
// kProbeTimeoutMs) and the application terminating all answer false.
//
// The request runs on the main loop and the call waits in the waiting loop,
// so the window keeps painting and other events, even another probe, run
// while it waits. Never throws.
bool ProbeAddress(const std::string& text, int timeout_ms = kProbeTimeoutMs);

}  // namespace orv
