// An in-process HTTP server on 127.0.0.1 with a free port, answering on the
// test's own main loop.
#pragma once

#include <libsoup/soup.h>

#include <functional>
#include <string>

namespace orv::test {

class LocalServer {
 public:
  using Handler = std::function<void(SoupServerMessage* message, const std::string& path)>;

  explicit LocalServer(Handler handler);
  ~LocalServer();
  LocalServer(const LocalServer&) = delete;
  LocalServer& operator=(const LocalServer&) = delete;

  int port() const { return port_; }
  // "http://127.0.0.1:PORT" followed by `path`, which starts with "/".
  std::string Url(const std::string& path) const;

  // The value of a request header, empty when absent.
  static std::string Header(SoupServerMessage* message, const char* name);

 private:
  static void Handle(SoupServer*, SoupServerMessage* message, const char* path, GHashTable*,
                     gpointer data);

  Handler handler_;
  SoupServer* server_ = nullptr;
  int port_ = 0;
};

}  // namespace orv::test
