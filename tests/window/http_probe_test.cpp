// The address probe against an in-process server on 127.0.0.1.
#include "platform/http_probe.h"

#include <gio/gio.h>
#include <glib.h>
#include <gtest/gtest.h>
#include <libsoup/soup.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "local_server.h"
#include "platform/main_loop.h"

namespace orv {
namespace {

using test::LocalServer;

using Clock = std::chrono::steady_clock;

long MillisecondsSince(Clock::time_point start) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

// Runs the main loop for `ms`, so completions that arrive after a probe gave
// up are delivered while the test still runs.
void RunLoopFor(int ms) {
  WaitUntil([] { return false; }, ms);
}

// Calls `step` every `interval_ms` on the main loop while it lives.
class Repeating {
 public:
  Repeating(int interval_ms, std::function<void()> step) : step_(std::move(step)) {
    id_ = g_timeout_add(interval_ms, Fire, this);
  }
  ~Repeating() { g_source_remove(id_); }

 private:
  static gboolean Fire(gpointer data) {
    static_cast<Repeating*>(data)->step_();
    return G_SOURCE_CONTINUE;
  }
  std::function<void()> step_;
  guint id_;
};

struct Request {
  std::string path;
  std::string user_agent;
  std::string cache_control;
  std::string pragma;
};

// Pages by path: /ok answers 200, /broken 500, /found redirects to /ok,
// /found-nowhere is a 302 without a Location, /moved-missing a 301 to a 404,
// /stall never answers, /slow answers 200 after 200 ms, /huge declares a
// 100 MB body. Everything else is 404.
class ProbeServer {
 public:
  ProbeServer() : server_([this](SoupServerMessage* msg, const std::string& path) {
    Handle(msg, path);
  }) {}

  // The address without a scheme, "127.0.0.1:PORT/path".
  std::string HostPath(const std::string& path) const {
    return "127.0.0.1:" + std::to_string(server_.port()) + path;
  }
  std::string Url(const std::string& path) const { return server_.Url(path); }
  int port() const { return server_.port(); }

  std::vector<Request> requests;
  bool huge_body_written = false;

 private:
  void Handle(SoupServerMessage* msg, const std::string& p) {
    auto* self = this;
    auto header = [msg](const char* name) { return LocalServer::Header(msg, name); };
    requests.push_back({p, header("User-Agent"), header("Cache-Control"), header("Pragma")});

    if (p == "/ok") {
      soup_server_message_set_status(msg, 200, nullptr);
      soup_server_message_set_response(msg, "text/plain", SOUP_MEMORY_STATIC, "ok", 2);
    } else if (p == "/broken") {
      soup_server_message_set_status(msg, 500, nullptr);
    } else if (p == "/found") {
      soup_server_message_set_redirect(msg, 302, "/ok");
    } else if (p == "/found-nowhere") {
      soup_server_message_set_status(msg, 302, nullptr);
    } else if (p == "/moved-missing") {
      soup_server_message_set_redirect(msg, 301, "/missing");
    } else if (p == "/stall") {
      soup_server_message_pause(msg);
    } else if (p == "/slow") {
      soup_server_message_pause(msg);
      g_timeout_add_full(
          G_PRIORITY_DEFAULT, 200,
          [](gpointer m) -> gboolean {
            auto* held = static_cast<SoupServerMessage*>(m);
            soup_server_message_set_status(held, 200, nullptr);
            soup_server_message_unpause(held);
            return G_SOURCE_REMOVE;
          },
          g_object_ref(msg), g_object_unref);
    } else if (p == "/huge") {
      constexpr gsize kSize = 100 * 1024 * 1024;
      soup_server_message_set_status(msg, 200, nullptr);
      soup_server_message_set_response(msg, "application/octet-stream", SOUP_MEMORY_TAKE,
                                       static_cast<char*>(g_malloc0(kSize)), kSize);
      g_signal_connect(msg, "wrote-body", G_CALLBACK(+[](SoupServerMessage*, gpointer d) {
                         static_cast<ProbeServer*>(d)->huge_body_written = true;
                       }),
                       self);
    } else {
      soup_server_message_set_status(msg, 404, nullptr);
    }
  }

  LocalServer server_;
};

// A plain TCP listener that answers every connection with an HTTP 200 and
// keeps the first byte the client sent: 0x16 opens a TLS handshake, 'G' a
// plain GET. A probe that spoke plain HTTP to it would answer true.
class PlainListener {
 public:
  PlainListener() {
    service_ = g_socket_service_new();
    GError* error = nullptr;
    GInetAddress* loopback = g_inet_address_new_loopback(G_SOCKET_FAMILY_IPV4);
    GSocketAddress* address = g_inet_socket_address_new(loopback, 0);
    GSocketAddress* bound = nullptr;
    g_socket_listener_add_address(G_SOCKET_LISTENER(service_), address, G_SOCKET_TYPE_STREAM,
                                  G_SOCKET_PROTOCOL_TCP, nullptr, &bound, &error);
    if (error) {
      ADD_FAILURE() << error->message;
      g_error_free(error);
    } else {
      port_ = g_inet_socket_address_get_port(G_INET_SOCKET_ADDRESS(bound));
      g_object_unref(bound);
    }
    g_object_unref(address);
    g_object_unref(loopback);
    g_signal_connect(service_, "incoming", G_CALLBACK(Incoming), this);
  }
  ~PlainListener() {
    g_socket_service_stop(service_);
    g_socket_listener_close(G_SOCKET_LISTENER(service_));
    g_object_unref(service_);
  }

  std::string HostPath(const std::string& path) const {
    return "127.0.0.1:" + std::to_string(port_) + path;
  }

  int connections = 0;
  std::optional<unsigned char> first_byte;

 private:
  static gboolean Incoming(GSocketService*, GSocketConnection* connection, GObject*,
                           gpointer data) {
    auto* self = static_cast<PlainListener*>(data);
    ++self->connections;
    static const char kAnswer[] = "HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n";
    g_output_stream_write_all(g_io_stream_get_output_stream(G_IO_STREAM(connection)), kAnswer,
                              sizeof(kAnswer) - 1, nullptr, nullptr, nullptr);
    // Read without blocking: the client runs on this same main loop.
    g_object_ref(connection);
    g_object_set_data(G_OBJECT(connection), "listener", self);
    g_input_stream_read_async(g_io_stream_get_input_stream(G_IO_STREAM(connection)), &self->buffer_,
                              1, G_PRIORITY_DEFAULT, nullptr, Read, connection);
    return TRUE;
  }
  static void Read(GObject* stream, GAsyncResult* result, gpointer data) {
    auto* connection = static_cast<GSocketConnection*>(data);
    auto* self = static_cast<PlainListener*>(g_object_get_data(G_OBJECT(connection), "listener"));
    if (g_input_stream_read_finish(G_INPUT_STREAM(stream), result, nullptr) == 1) {
      self->first_byte = self->buffer_;
    }
    g_io_stream_close(G_IO_STREAM(connection), nullptr, nullptr);
    g_object_unref(connection);
  }

  GSocketService* service_;
  int port_ = 0;
  unsigned char buffer_ = 0;
};

class HttpProbeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // libsoup and GIO report misuse (a bad URI, an object used after it was
    // freed) as criticals and go on; here they fail the test.
    for (const char* domain : {"libsoup", "GLib-GIO", "GLib-GObject", "GLib"}) {
      log_handlers_.push_back(
          {domain,
           g_log_set_handler(
               domain, static_cast<GLogLevelFlags>(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING),
               CountWarning, &warnings_)});
    }
  }
  void TearDown() override {
    // A probe that gave up leaves a cancelled completion behind; deliver it
    // here so a fault in it shows in this test, not a later one. The waiting
    // loop would not run while the program counts as terminating.
    SetTerminating(false);
    RunLoopFor(100);
    for (const auto& [domain, id] : log_handlers_) g_log_remove_handler(domain, id);
    EXPECT_EQ(warnings_, 0);
  }

  ProbeServer server_;

 private:
  static void CountWarning(const char* domain, GLogLevelFlags, const char* message,
                           gpointer count) {
    ADD_FAILURE() << domain << ": " << message;
    ++*static_cast<int*>(count);
  }
  std::vector<std::pair<const char*, guint>> log_handlers_;
  int warnings_ = 0;
};

TEST(HttpProbeUrlTest, PutsHttpInFrontUnlessTheTextNamesHttpOrStartsWithHttps) {
  const struct {
    const char* text;
    const char* url;
  } cases[] = {
      {"127.0.0.1:8080/ok", "http://127.0.0.1:8080/ok"},
      {"example.org", "http://example.org"},
      {"http://example.org/", "http://example.org/"},
      {"HTTP://Example.org/", "HTTP://Example.org/"},
      {"https://example.org/", "https://example.org/"},
      {"HTTPS://example.org/", "HTTPS://example.org/"},
      // The rule looks for "http://" anywhere, not only at the start.
      {"example.org/?next=http://x", "example.org/?next=http://x"},
      // Other schemes are not recognised and end up as a host name.
      {"ftp://example.org/", "http://ftp://example.org/"},
      {"", "http://"},
  };
  for (const auto& c : cases) EXPECT_EQ(ProbeUrl(c.text), c.url) << c.text;
}

TEST_F(HttpProbeTest, AnswersTrueExactlyFor200Or302AfterRedirects) {
  const struct {
    const char* path;
    bool reachable;
  } cases[] = {
      {"/ok", true},
      {"/found", true},          // 302 to a 200 page
      {"/found-nowhere", true},  // a 302 that cannot be followed stays a 302
      {"/missing", false},
      {"/broken", false},
      {"/moved-missing", false},  // 301 to a 404
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ProbeAddress(server_.Url(c.path), 5000), c.reachable) << c.path;
  }
  // The redirect was followed: /found led to a request for /ok.
  ASSERT_GE(server_.requests.size(), 3u);
  EXPECT_EQ(server_.requests[1].path, "/found");
  EXPECT_EQ(server_.requests[2].path, "/ok");
}

TEST_F(HttpProbeTest, SendsItsUserAgentAndAsksForNoCachedAnswer) {
  ASSERT_TRUE(ProbeAddress(server_.Url("/ok"), 5000));
  ASSERT_EQ(server_.requests.size(), 1u);
  EXPECT_EQ(server_.requests[0].user_agent, "InetURL:/1.0");
  EXPECT_EQ(server_.requests[0].cache_control, "no-cache");
  EXPECT_EQ(server_.requests[0].pragma, "no-cache");
}

TEST_F(HttpProbeTest, TextWithoutASchemeIsProbedOverHttp) {
  EXPECT_TRUE(ProbeAddress(server_.HostPath("/ok"), 5000));
  ASSERT_EQ(server_.requests.size(), 1u);
  EXPECT_EQ(server_.requests[0].path, "/ok");
}

TEST_F(HttpProbeTest, HttpsTextIsProbedOverTlsAndFailsAgainstAPlainServer) {
  for (const char* scheme : {"https://", "HTTPS://"}) {
    PlainListener plain;
    const auto start = Clock::now();
    EXPECT_FALSE(ProbeAddress(scheme + plain.HostPath("/ok"), 5000)) << scheme;
    EXPECT_LT(MillisecondsSince(start), 2000) << scheme;
    RunLoopFor(50);
    EXPECT_EQ(plain.connections, 1) << scheme;
    // A TLS handshake record, not "GET /https://...".
    EXPECT_EQ(plain.first_byte, 0x16) << scheme;
  }
}

TEST_F(HttpProbeTest, InvalidOrUnreachableAddressesAnswerFalseQuickly) {
  int refused_port = 0;
  {
    ProbeServer gone;
    refused_port = gone.port();
  }
  const std::string cases[] = {
      "http://127.0.0.1:" + std::to_string(refused_port) + "/",
      "http://",
      "http://[::1/",
      "",
  };
  for (const auto& text : cases) {
    const auto start = Clock::now();
    EXPECT_FALSE(ProbeAddress(text, 5000)) << text;
    EXPECT_LT(MillisecondsSince(start), 2000) << text;
  }
}

TEST_F(HttpProbeTest, AServerThatNeverAnswersTimesOutWhileTheLoopKeepsRunning) {
  int ticks = 0;
  Repeating ticker(20, [&ticks] { ++ticks; });
  const auto start = Clock::now();
  EXPECT_FALSE(ProbeAddress(server_.Url("/stall"), 300));
  const long elapsed = MillisecondsSince(start);
  EXPECT_GE(elapsed, 290);
  EXPECT_LT(elapsed, 2000);
  EXPECT_GE(ticks, 5) << "the main loop did not run during the wait";
  ASSERT_EQ(server_.requests.size(), 1u);
}

TEST_F(HttpProbeTest, AHugeBodyIsNotRead) {
  const auto start = Clock::now();
  EXPECT_TRUE(ProbeAddress(server_.Url("/huge"), 5000));
  EXPECT_LT(MillisecondsSince(start), 2000);
  RunLoopFor(200);
  EXPECT_FALSE(server_.huge_body_written) << "the probe read the whole body";
}

TEST_F(HttpProbeTest, TerminatingTheApplicationEndsTheWait) {
  g_timeout_add(
      50,
      [](gpointer) -> gboolean {
        SetTerminating(true);
        return G_SOURCE_REMOVE;
      },
      nullptr);
  const auto start = Clock::now();
  EXPECT_FALSE(ProbeAddress(server_.Url("/stall"), 5000));
  EXPECT_LT(MillisecondsSince(start), 2000);
  EXPECT_TRUE(IsTerminating());
  EXPECT_EQ(server_.requests.size(), 1u);
}

TEST_F(HttpProbeTest, AProbeStartedDuringAnotherRunsIndependently) {
  struct Inner {
    const ProbeServer* server;
    std::optional<bool> reachable;
  } inner{&server_, std::nullopt};
  g_timeout_add(
      20,
      [](gpointer data) -> gboolean {
        auto* in = static_cast<Inner*>(data);
        in->reachable = ProbeAddress(in->server->Url("/missing"), 5000);
        return G_SOURCE_REMOVE;
      },
      &inner);
  EXPECT_TRUE(ProbeAddress(server_.Url("/slow"), 5000));
  ASSERT_TRUE(inner.reachable.has_value()) << "the second probe did not run during the first";
  EXPECT_FALSE(*inner.reachable);
}

}  // namespace
}  // namespace orv
