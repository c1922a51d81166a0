#include "platform/http_probe.h"

#include <gio/gio.h>
#include <glib.h>
#include <libsoup/soup.h>

#include <memory>

#include "platform/main_loop.h"

namespace orv {

namespace {

constexpr char kProbeUserAgent[] = "InetURL:/1.0";

std::string AsciiLower(const std::string& text) {
  std::string lower = text;
  for (char& c : lower) c = g_ascii_tolower(c);
  return lower;
}

// What the probe and its completion callback share. The callback may run
// after ProbeAddress has given up and returned (a time-out or the end of the
// program cancels the request, and the cancelled completion still arrives on
// a later main-loop turn), so both hold it through a shared_ptr and whichever
// lets go last frees it and the GObjects in it.
struct ProbeState {
  ~ProbeState() {
    g_clear_object(&message);
    g_clear_object(&session);
    g_clear_object(&cancellable);
  }
  SoupSession* session = nullptr;
  SoupMessage* message = nullptr;
  GCancellable* cancellable = nullptr;
  bool done = false;
  bool reachable = false;
};

void OnSent(GObject* source, GAsyncResult* result, gpointer data) {
  std::unique_ptr<std::shared_ptr<ProbeState>> owner(
      static_cast<std::shared_ptr<ProbeState>*>(data));
  ProbeState& state = **owner;
  GError* error = nullptr;
  GInputStream* body = soup_session_send_finish(SOUP_SESSION(source), result, &error);
  if (body) {
    const guint status = soup_message_get_status(state.message);
    state.reachable = status == SOUP_STATUS_OK || status == SOUP_STATUS_FOUND;
    // The status is all we wanted. A body stream closed before its end may
    // be drained so that its connection can be kept, and closing happens
    // synchronously, here on the window's thread; cancelling first makes the
    // close give up at once and drop the connection, so a huge or endless
    // page costs nothing.
    g_cancellable_cancel(state.cancellable);
    g_input_stream_close(body, state.cancellable, nullptr);
    g_object_unref(body);
  }
  g_clear_error(&error);
  state.done = true;
}

}  // namespace

std::string ProbeUrl(const std::string& text) {
  const std::string lower = AsciiLower(text);
  if (lower.starts_with("https://")) return text;
  if (lower.find("http://") == std::string::npos) return "http://" + text;
  return text;
}

bool ProbeAddress(const std::string& text, int timeout_ms) {
  try {
    if (timeout_ms <= 0) timeout_ms = kProbeTimeoutMs;
    // libsoup takes only http and https URIs with a host, and complains
    // loudly about anything else, so the typed text is checked first.
    GUri* uri =
        g_uri_parse(ProbeUrl(text).c_str(), static_cast<GUriFlags>(SOUP_HTTP_URI_FLAGS), nullptr);
    if (!uri) return false;
    const char* scheme = g_uri_get_scheme(uri);
    const char* host = g_uri_get_host(uri);
    if ((g_strcmp0(scheme, "http") != 0 && g_strcmp0(scheme, "https") != 0) || !host || !*host) {
      g_uri_unref(uri);
      return false;
    }
    SoupMessage* message = soup_message_new_from_uri(SOUP_METHOD_GET, uri);
    g_uri_unref(uri);
    if (!message) return false;

    auto state = std::make_shared<ProbeState>();
    state->message = message;
    state->cancellable = g_cancellable_new();
    // One session per probe: probes are rare and started by the user, and a
    // session of its own shares nothing with another probe running at the
    // same time, carries this probe's time-out and keeps no connection alive
    // after it. A session has no cache unless one is added, and it uses GIO's
    // default proxy resolver (the system proxy) unless one is set, so both
    // are left as they are. Its own I/O time-out ends a stalled exchange even
    // when nobody waits for it any more.
    const guint session_timeout_s =
        static_cast<guint>((static_cast<gint64>(timeout_ms) + 999) / 1000);
    state->session = soup_session_new_with_options("user-agent", kProbeUserAgent, "timeout",
                                                   session_timeout_s, nullptr);
    SoupMessageHeaders* headers = soup_message_get_request_headers(message);
    soup_message_headers_replace(headers, "Cache-Control", "no-cache");
    soup_message_headers_replace(headers, "Pragma", "no-cache");

    soup_session_send_async(state->session, message, G_PRIORITY_DEFAULT, state->cancellable, OnSent,
                            new std::shared_ptr<ProbeState>(state));
    WaitUntil([&state] { return state->done; }, timeout_ms);
    if (!state->done) {
      // A time-out or the program closing: the completion still arrives,
      // cancelled, on a later main-loop turn and only touches the state it
      // holds a share of.
      g_cancellable_cancel(state->cancellable);
      return false;
    }
    return state->reachable;
  } catch (...) {
    return false;
  }
}

}  // namespace orv
