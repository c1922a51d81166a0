#include "local_server.h"

#include <gtest/gtest.h>

namespace orv::test {

LocalServer::LocalServer(Handler handler) : handler_(std::move(handler)) {
  server_ = soup_server_new(nullptr, nullptr);
  soup_server_add_handler(server_, nullptr, Handle, this, nullptr);
  GError* error = nullptr;
  if (!soup_server_listen_local(server_, 0, SOUP_SERVER_LISTEN_IPV4_ONLY, &error)) {
    ADD_FAILURE() << (error ? error->message : "cannot listen on 127.0.0.1");
    g_clear_error(&error);
    return;
  }
  GSList* uris = soup_server_get_uris(server_);
  port_ = g_uri_get_port(static_cast<GUri*>(uris->data));
  g_slist_free_full(uris, reinterpret_cast<GDestroyNotify>(g_uri_unref));
}

LocalServer::~LocalServer() { g_object_unref(server_); }

std::string LocalServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::string LocalServer::Header(SoupServerMessage* message, const char* name) {
  const char* value =
      soup_message_headers_get_one(soup_server_message_get_request_headers(message), name);
  return value ? value : "";
}

void LocalServer::Handle(SoupServer*, SoupServerMessage* message, const char* path, GHashTable*,
                         gpointer data) {
  static_cast<LocalServer*>(data)->handler_(message, path);
}

}  // namespace orv::test
