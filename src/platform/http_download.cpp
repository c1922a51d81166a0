#include "platform/http_download.h"

#include <fcntl.h>
#include <gio/gio.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <libsoup/soup.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>

#include "platform/main_loop.h"

namespace orv {

namespace {

constexpr gsize kReadBlock = 64 * 1024;

// What the waiting call and the asynchronous steps share. A step may still
// arrive after the call has given up (its cancellation comes on a later
// main-loop turn), so each step holds a share and checks `finished` first.
struct DownloadState {
  ~DownloadState() {
    CloseFile();
    g_clear_object(&body);
    g_clear_object(&message);
    g_clear_object(&session);
    g_clear_object(&cancellable);
  }
  void CloseFile() {
    if (fd >= 0) close(fd);
    fd = -1;
  }

  SoupSession* session = nullptr;
  SoupMessage* message = nullptr;
  GCancellable* cancellable = nullptr;
  GInputStream* body = nullptr;
  std::function<bool(std::string_view)> on_chunk;
  size_t max_bytes = 0;
  bool durable = true;
  std::string temp_path;
  std::string destination;
  int fd = -1;
  size_t received = 0;
  // Grows with every sign of life from the other end; the stall clock
  // restarts whenever it moves.
  unsigned activity = 0;
  bool finished = false;
  bool ok = false;
};

using StatePtr = std::shared_ptr<DownloadState>;

// Ends the download once: a failure takes the partial file away, success
// puts the complete one in place.
void Finish(DownloadState& state, bool ok) {
  if (state.finished) return;
  state.finished = true;
  state.on_chunk = nullptr;
  if (ok && state.durable && fsync(state.fd) != 0) ok = false;
  state.CloseFile();
  if (ok && g_rename(state.temp_path.c_str(), state.destination.c_str()) != 0) ok = false;
  if (!ok) g_unlink(state.temp_path.c_str());
  state.ok = ok;
  if (state.cancellable) g_cancellable_cancel(state.cancellable);
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

void ReadNext(const StatePtr& state);

void OnRead(GObject* source, GAsyncResult* result, gpointer data) {
  std::unique_ptr<StatePtr> owner(static_cast<StatePtr*>(data));
  DownloadState& state = **owner;
  GError* error = nullptr;
  GBytes* bytes = g_input_stream_read_bytes_finish(G_INPUT_STREAM(source), result, &error);
  g_clear_error(&error);
  if (state.finished) {
    if (bytes) g_bytes_unref(bytes);
    return;
  }
  if (!bytes) {
    Finish(state, false);
    return;
  }
  gsize size = 0;
  const auto* chunk = static_cast<const char*>(g_bytes_get_data(bytes, &size));
  if (size == 0) {
    g_bytes_unref(bytes);
    Finish(state, true);
    return;
  }
  ++state.activity;
  state.received += size;
  bool keep_going = state.received <= state.max_bytes;
  if (keep_going && state.on_chunk) {
    try {
      keep_going = state.on_chunk(std::string_view(chunk, size));
    } catch (...) {
      keep_going = false;
    }
  }
  // The observer may have run the main loop; the call may have given up.
  if (state.finished) {
    g_bytes_unref(bytes);
    return;
  }
  keep_going = keep_going && WriteAll(state.fd, chunk, size);
  g_bytes_unref(bytes);
  if (!keep_going) {
    Finish(state, false);
    return;
  }
  ReadNext(*owner);
}

void ReadNext(const StatePtr& state) {
  g_input_stream_read_bytes_async(state->body, kReadBlock, G_PRIORITY_DEFAULT, state->cancellable,
                                  OnRead, new StatePtr(state));
}

// The body of a response or a file has been opened (or not): reading starts.
void StartReading(const StatePtr& owner, GInputStream* body) {
  DownloadState& state = *owner;
  if (state.finished || !body) {
    if (body) g_object_unref(body);
    Finish(state, false);
    return;
  }
  ++state.activity;
  state.body = body;
  ReadNext(owner);
}

void OnSent(GObject* source, GAsyncResult* result, gpointer data) {
  std::unique_ptr<StatePtr> owner(static_cast<StatePtr*>(data));
  GError* error = nullptr;
  GInputStream* body = soup_session_send_finish(SOUP_SESSION(source), result, &error);
  g_clear_error(&error);
  StartReading(*owner, body);
}

void OnFileOpened(GObject* source, GAsyncResult* result, gpointer data) {
  std::unique_ptr<StatePtr> owner(static_cast<StatePtr*>(data));
  GError* error = nullptr;
  GFileInputStream* body = g_file_read_finish(G_FILE(source), result, &error);
  g_clear_error(&error);
  StartReading(*owner, body ? G_INPUT_STREAM(body) : nullptr);
}

// Starts the exchange for an http or https address; false when the address
// is not one libsoup can fetch.
bool StartHttp(const StatePtr& state, const std::string& url, int stall_timeout_ms) {
  GUri* uri = g_uri_parse(url.c_str(), static_cast<GUriFlags>(SOUP_HTTP_URI_FLAGS), nullptr);
  if (!uri) return false;
  const char* host = g_uri_get_host(uri);
  if (!host || !*host) {
    g_uri_unref(uri);
    return false;
  }
  state->message = soup_message_new_from_uri(SOUP_METHOD_GET, uri);
  g_uri_unref(uri);
  if (!state->message) return false;
  // A session of its own: downloads are few, and its I/O time-out (whole
  // seconds) ends a stalled exchange even if nobody waits for it any more.
  // GIO's default proxy resolver is the system proxy.
  const guint timeout_s = static_cast<guint>((stall_timeout_ms + 999) / 1000);
  state->session = soup_session_new_with_options("user-agent", DownloadUserAgent().c_str(),
                                                 "timeout", timeout_s, nullptr);
  soup_session_send_async(state->session, state->message, G_PRIORITY_DEFAULT, state->cancellable,
                          OnSent, new StatePtr(state));
  return true;
}

std::string Scheme(const std::string& url) {
  char* scheme = g_uri_parse_scheme(url.c_str());
  std::string out = scheme ? scheme : "";
  g_free(scheme);
  for (char& c : out) c = g_ascii_tolower(c);
  return out;
}

}  // namespace

std::string DownloadUserAgent() {
  static const std::string agent = [] {
    std::string name = "orvindel";
    if (gchar* target = g_file_read_link("/proc/self/exe", nullptr)) {
      gchar* base = g_path_get_basename(target);
      if (base && *base) name = base;
      g_free(base);
      g_free(target);
    }
    return name;
  }();
  return agent;
}

bool DownloadUrlToFile(const std::string& url, const std::string& destination,
                       const DownloadOptions& options) {
  try {
    const std::string scheme = Scheme(url);
    if (scheme != "http" && scheme != "https" && scheme != "file") return false;
    if (destination.empty()) return false;

    auto state = std::make_shared<DownloadState>();
    state->on_chunk = options.on_chunk;
    state->max_bytes = options.max_bytes;
    state->durable = options.durable;
    state->destination = destination;
    gchar* folder = g_path_get_dirname(destination.c_str());
    gchar* name = g_path_get_basename(destination.c_str());
    state->temp_path = std::string(folder) + "/." + name + ".XXXXXX";
    g_free(folder);
    g_free(name);
    state->fd = g_mkstemp_full(state->temp_path.data(), O_RDWR | O_CLOEXEC, 0644);
    if (state->fd < 0) return false;
    state->cancellable = g_cancellable_new();

    bool started = false;
    if (scheme == "file") {
      GFile* file = g_file_new_for_uri(url.c_str());
      g_file_read_async(file, G_PRIORITY_DEFAULT, state->cancellable, OnFileOpened,
                        new StatePtr(state));
      g_object_unref(file);
      started = true;
    } else {
      started = StartHttp(state, url, options.stall_timeout_ms);
    }
    if (!started) {
      Finish(*state, false);
      return false;
    }

    const int stall_ms = options.stall_timeout_ms > 0 ? options.stall_timeout_ms
                                                      : kDownloadStallTimeoutMs;
    while (!state->finished) {
      const unsigned seen = state->activity;
      const bool moved =
          WaitUntil([&state, seen] { return state->finished || state->activity != seen; },
                    stall_ms);
      // Nothing arrived in time, or the program is closing: give up. The
      // cancelled steps still arrive later and only touch their share.
      if (!moved && !state->finished) Finish(*state, false);
    }
    return state->ok;
  } catch (...) {
    return false;
  }
}

}  // namespace orv
