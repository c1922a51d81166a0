#include "platform/http_fetch.h"

#include <gio/gio.h>
#include <libsoup/soup.h>

#include <memory>

namespace orv {

namespace {

constexpr gsize kChunk = 16 * 1024;

struct Fetch {
  ~Fetch() {
    g_clear_object(&stream);
    g_clear_object(&message);
    g_clear_object(&session);
  }
  SoupSession* session = nullptr;
  SoupMessage* message = nullptr;
  GInputStream* stream = nullptr;
  size_t max_bytes = 0;
  std::string body;
  std::function<void(std::optional<std::string>)> done;

  void Finish(std::optional<std::string> result) {
    auto callback = std::move(done);
    done = nullptr;
    if (callback) callback(std::move(result));
  }
};

void ReadNext(std::unique_ptr<Fetch> fetch);

void OnRead(GObject* source, GAsyncResult* result, gpointer data) {
  std::unique_ptr<Fetch> fetch(static_cast<Fetch*>(data));
  GError* error = nullptr;
  GBytes* bytes = g_input_stream_read_bytes_finish(G_INPUT_STREAM(source), result, &error);
  g_clear_error(&error);
  if (!bytes) return fetch->Finish(std::nullopt);
  gsize size = 0;
  const auto* chunk = static_cast<const char*>(g_bytes_get_data(bytes, &size));
  if (size == 0) {
    g_bytes_unref(bytes);
    std::string body = std::move(fetch->body);
    return fetch->Finish(std::move(body));
  }
  if (fetch->body.size() + size > fetch->max_bytes) {
    g_bytes_unref(bytes);
    return fetch->Finish(std::nullopt);
  }
  fetch->body.append(chunk, size);
  g_bytes_unref(bytes);
  ReadNext(std::move(fetch));
}

void ReadNext(std::unique_ptr<Fetch> fetch) {
  GInputStream* stream = fetch->stream;
  g_input_stream_read_bytes_async(stream, kChunk, G_PRIORITY_LOW, nullptr, OnRead, fetch.release());
}

void OnSent(GObject* source, GAsyncResult* result, gpointer data) {
  std::unique_ptr<Fetch> fetch(static_cast<Fetch*>(data));
  GError* error = nullptr;
  fetch->stream = soup_session_send_finish(SOUP_SESSION(source), result, &error);
  g_clear_error(&error);
  if (!fetch->stream || soup_message_get_status(fetch->message) != SOUP_STATUS_OK) {
    return fetch->Finish(std::nullopt);
  }
  ReadNext(std::move(fetch));
}

}  // namespace

void FetchBytes(const std::string& url, const std::string& user_agent, const FetchLimits& limits,
                std::function<void(std::optional<std::string>)> done) {
  auto fetch = std::make_unique<Fetch>();
  fetch->done = std::move(done);
  fetch->max_bytes = limits.max_bytes;
  GUri* uri = g_uri_parse(url.c_str(), static_cast<GUriFlags>(SOUP_HTTP_URI_FLAGS), nullptr);
  const char* scheme = uri ? g_uri_get_scheme(uri) : nullptr;
  if (!uri || (g_strcmp0(scheme, "http") != 0 && g_strcmp0(scheme, "https") != 0) ||
      !g_uri_get_host(uri) || !*g_uri_get_host(uri)) {
    if (uri) g_uri_unref(uri);
    // Always answered later, never from inside the call.
    g_idle_add_full(
        G_PRIORITY_DEFAULT,
        [](gpointer data) {
          std::unique_ptr<Fetch>(static_cast<Fetch*>(data))->Finish(std::nullopt);
          return G_SOURCE_REMOVE;
        },
        fetch.release(), nullptr);
    return;
  }
  fetch->message = soup_message_new_from_uri(SOUP_METHOD_GET, uri);
  g_uri_unref(uri);
  // A session of its own, so that its time-out is this fetch's and nothing
  // is kept alive after it.
  fetch->session = soup_session_new_with_options(
      "user-agent", user_agent.c_str(), "timeout", static_cast<guint>(limits.stall_timeout_s), nullptr);
  SoupSession* session = fetch->session;
  SoupMessage* message = fetch->message;
  soup_session_send_async(session, message, G_PRIORITY_LOW, nullptr, OnSent, fetch.release());
}

}  // namespace orv
