// The WebKitGTK backend for real, against a local HTTP server.
#include <gtest/gtest.h>
#include <libsoup/soup.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>

#include "common/text.h"

#include "engine/web_browser.h"
#include "engine/webkit_backend.h"
#include "local_server.h"
#include "shell/main_config.h"
#include "window_fixture.h"

namespace orv::test {
namespace {

// Serves `pages` by path and remembers the agent each request came with.
class PageServer {
 public:
  PageServer()
      : server_([this](SoupServerMessage* msg, const std::string& path) {
          user_agents[path] = LocalServer::Header(msg, "User-Agent");
          if (path == "/download") {
            static const char kBody[] = "downloaded bytes";
            soup_message_headers_append(soup_server_message_get_response_headers(msg),
                                        "Content-Disposition",
                                        "attachment; filename=\"report.txt\"");
            soup_server_message_set_status(msg, 200, nullptr);
            soup_server_message_set_response(msg, "application/octet-stream", SOUP_MEMORY_STATIC,
                                             kBody, sizeof kBody - 1);
            return;
          }
          const auto page = pages.find(path);
          if (page == pages.end()) {
            soup_server_message_set_status(msg, 404, nullptr);
            return;
          }
          soup_server_message_set_status(msg, 200, nullptr);
          soup_server_message_set_response(msg, "text/html; charset=utf-8", SOUP_MEMORY_COPY,
                                           page->second.data(), page->second.size());
        }) {}

  std::string Url(const std::string& path) const { return server_.Url(path); }
  // A file offered for download, as a server does with an attachment.
  std::string DownloadUrl() const { return server_.Url("/download"); }
  std::map<std::string, std::string> pages;        // path -> html
  std::map<std::string, std::string> user_agents;  // path -> User-Agent received

 private:
  LocalServer server_;
};

class WebKitBackendTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ConfigureWebEngine("");
    window_ = std::make_unique<Gtk::Window>();
    window_->set_default_size(800, 600);
    browser_ = std::make_unique<TWebBrowser>(WebKitEngine().NewBackend());
    gtk_container_add(GTK_CONTAINER(window_->gobj()), browser_->Widget());
    window_->show_all();
    browser_->SetUserAgent(kDefaultUserAgent);
    browser_->OnBeforeNavigate = [this](TWebBrowser&, const std::string& uri, bool& cancel) {
      events_.push_back("before");
      cancel = uri.find("blocked") != std::string::npos;
    };
    browser_->OnDownloadBegin = [this](TWebBrowser&) { events_.push_back("begin"); };
    browser_->OnNavigateComplete = [this](TWebBrowser&) { events_.push_back("navigated"); };
    browser_->OnDocumentComplete = [this](TWebBrowser&) { events_.push_back("document"); };
    browser_->OnDownloadComplete = [this](TWebBrowser&) { events_.push_back("complete"); };
    browser_->OnTitleChange = [this](TWebBrowser&, const std::string& t) { title_ = t; };
    browser_->OnProgressChange = [this](TWebBrowser&, int p, int m) {
      progress_.push_back(p);
      EXPECT_EQ(m, 100);
    };
  }
  void TearDown() override {
    browser_.reset();
    window_.reset();
    WindowTest::TearDown();
  }
  bool LoadAndWait(const std::string& address) {
    events_.clear();
    browser_->Navigate(address);
    return Pump([&] { return !events_.empty() && events_.back() == "complete"; }, 30000);
  }

  PageServer server_;
  std::unique_ptr<Gtk::Window> window_;
  std::unique_ptr<TWebBrowser> browser_;
  std::vector<std::string> events_;
  std::vector<int> progress_;
  std::string title_;
};

TEST_F(WebKitBackendTest, LoadsAPageWithTheUserAgentAndReportsItsEvents) {
  server_.pages["/page"] =
      "<html><head><title>Local page</title></head>"
      "<body><p id=ua></p><script>document.getElementById('ua').textContent = "
      "navigator.userAgent;</script></body></html>";
  ASSERT_TRUE(LoadAndWait(server_.Url("/page")));
  EXPECT_EQ(server_.user_agents["/page"], kDefaultUserAgent);
  EXPECT_TRUE(Pump([&] { return title_ == "Local page"; }, 10000));
  EXPECT_EQ(browser_->LocationURL(), server_.Url("/page"));
  EXPECT_EQ(browser_->ReadyState(), 4);
  const std::vector<std::string> order = {"before", "begin", "navigated", "document", "complete"};
  EXPECT_EQ(events_, order);
  ASSERT_FALSE(progress_.empty());
  EXPECT_EQ(progress_.back(), 0) << "a finished load reports progress 0";
  // The page itself sees the agent, and the document can be read and replaced.
  EXPECT_NE(browser_->BodyHtml().find(kDefaultUserAgent), std::string::npos);
  EXPECT_EQ(browser_->LocationProtocol(), "http:");
  browser_->SetBodyHtml("<p>\"quoted\" </script> and 'single'</p>");
  EXPECT_EQ(browser_->BodyHtml(), "<p>\"quoted\"  and 'single'</p>");
  EXPECT_EQ(browser_->SelectionText(), "");
}

TEST_F(WebKitBackendTest, SelectionTextIsWhatThePageHasSelected) {
  server_.pages["/selected"] =
      "<p>before <b id=s>the chosen words</b> after</p>"
      "<script>getSelection().selectAllChildren(document.getElementById('s'));</script>";
  ASSERT_TRUE(LoadAndWait(server_.Url("/selected")));
  EXPECT_EQ(browser_->SelectionText(), "the chosen words");
}

TEST_F(WebKitBackendTest, CancelInBeforeNavigateReallyStopsTheLoad) {
  server_.pages["/first"] = "<title>first</title>";
  server_.pages["/blocked"] = "<title>blocked</title>";
  ASSERT_TRUE(LoadAndWait(server_.Url("/first")));
  events_.clear();
  progress_.clear();
  browser_->Navigate(server_.Url("/blocked"));
  ASSERT_TRUE(Pump([&] { return !events_.empty(); }, 10000));
  // Give a load that should not happen every chance to reach the server.
  Pump([] { return false; }, 500);
  EXPECT_EQ(server_.user_agents.count("/blocked"), 0u);
  // A refused navigation leaves nothing loading: whatever progress it
  // showed ends at 0.
  EXPECT_EQ(browser_->ReadyState(), TWebBrowser::kReadyStateComplete);
  if (!progress_.empty()) {
    EXPECT_EQ(progress_.back(), 0);
  }
  EXPECT_EQ(browser_->LocationURL(), server_.Url("/first"));
  EXPECT_EQ(title_, "first");
}

TEST_F(WebKitBackendTest, FramesInsideAPageAreNotNavigationsOfTheTab) {
  server_.pages["/framed"] = "<title>framed</title><iframe src='/inner'></iframe>";
  server_.pages["/inner"] = "<p>inner</p>";
  std::vector<std::string> asked;
  browser_->OnBeforeNavigate = [&](TWebBrowser&, const std::string& uri, bool&) {
    asked.push_back(uri);
  };
  browser_->Navigate(server_.Url("/framed"));
  ASSERT_TRUE(Pump([&] { return server_.user_agents.count("/inner") == 1; }, 30000));
  ASSERT_TRUE(Pump([&] { return browser_->ReadyState() == 4; }, 30000));
  EXPECT_EQ(asked, std::vector<std::string>{server_.Url("/framed")});
}

TEST_F(WebKitBackendTest, HistoryAndUserAgentChanges) {
  server_.pages["/one"] = "<title>one</title>";
  server_.pages["/two"] = "<title>two</title>";
  EXPECT_THROW(browser_->GoBack(), EngineError);
  ASSERT_TRUE(LoadAndWait(server_.Url("/one")));
  browser_->SetUserAgent("My Browser");
  ASSERT_TRUE(LoadAndWait(server_.Url("/two")));
  EXPECT_EQ(server_.user_agents["/two"], "My Browser");
  events_.clear();
  browser_->GoBack();
  ASSERT_TRUE(Pump([&] { return title_ == "one" && browser_->ReadyState() == 4; }, 30000));
  EXPECT_EQ(browser_->LocationURL(), server_.Url("/one"));
}

TEST_F(WebKitBackendTest, WindowsAPageOpensAreShownOrRefused) {
  server_.pages["/opener"] =
      "<title>opener</title><script>window.open('/refused'); window.open('/popup');</script>";
  server_.pages["/popup"] = "<title>popup</title><p>in the new window</p>";
  server_.pages["/refused"] = "<title>refused</title>";
  auto popup_window = std::make_unique<Gtk::Window>();
  auto popup = std::make_unique<TWebBrowser>(WebKitEngine().NewBackend());
  popup->SetUserAgent("Popup agent");
  gtk_container_add(GTK_CONTAINER(popup_window->gobj()), popup->Widget());
  popup_window->show_all();
  std::vector<std::string> asked;
  browser_->OnNewWindow = [&](TWebBrowser&, const std::string& uri, TWebBrowser*& window, bool&) {
    asked.push_back(uri);
    if (uri.find("/popup") != std::string::npos) window = popup.get();
  };
  std::string popup_title;
  popup->OnTitleChange = [&](TWebBrowser&, const std::string& t) { popup_title = t; };
  ASSERT_TRUE(LoadAndWait(server_.Url("/opener")));
  ASSERT_TRUE(Pump([&] { return popup_title == "popup"; }, 30000));
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0], server_.Url("/refused"));
  EXPECT_EQ(popup->LocationURL(), server_.Url("/popup"));
  EXPECT_EQ(server_.user_agents["/popup"], "Popup agent") << "the new view keeps its settings";
  EXPECT_EQ(server_.user_agents.count("/refused"), 0u) << "a refused window loads nothing";
  EXPECT_NE(popup->BodyHtml().find("in the new window"), std::string::npos);
  popup.reset();
}

TEST_F(WebKitBackendTest, FindSearchesAndHighlightsInThePage) {
  server_.pages["/text"] = "<p>The quick brown fox jumps over the lazy dog</p>";
  ASSERT_TRUE(LoadAndWait(server_.Url("/text")));
  struct Case {
    FindRequest request;
    bool found;
  } cases[] = {
      {{"BROWN", false, false, false}, true},
      {{"BROWN", true, false, false}, false},
      {{"rown", false, true, false}, false},
      {{"lazy", false, false, true}, true},
      {{"cat", false, false, false}, false},
  };
  for (const auto& c : cases) {
    std::optional<bool> found;
    browser_->Backend().FindText(c.request, [&](bool f) { found = f; });
    ASSERT_TRUE(Pump([&] { return found.has_value(); }, 10000)) << c.request.text;
    EXPECT_EQ(*found, c.found) << c.request.text << " case " << c.request.match_case;
    if (*found) {
      // The match is the page's selection: what the user sees highlighted.
      EXPECT_EQ(AsciiLower(browser_->SelectionText()), AsciiLower(c.request.text));
    }
  }
  browser_->Backend().FindFinish();
}

TEST_F(WebKitBackendTest, AFileAPageOffersIsSavedOnlyWhereTheUserSays) {
  std::vector<std::string> suggested;
  std::string answer;
  SetDownloadChooser([&](const std::string& name) {
    suggested.push_back(name);
    return answer;
  });
  const std::string path = root_ + "/saved report.txt";
  struct Case {
    std::string answer;
    bool saved;
  } cases[] = {{"", false}, {path, true}};
  for (const auto& c : cases) {
    answer = c.answer;
    suggested.clear();
    browser_->Navigate(server_.DownloadUrl());
    ASSERT_TRUE(Pump([&] { return !suggested.empty(); }, 30000));
    EXPECT_EQ(suggested[0], "report.txt");
    if (c.saved) {
      EXPECT_TRUE(Pump([&] { return ReadFile(path) == "downloaded bytes"; }, 30000));
    } else {
      Pump([] { return false; }, 500);
      EXPECT_FALSE(std::filesystem::exists(path));
    }
  }
  SetDownloadChooser(nullptr);
}

// A server whose certificate nobody vouches for.
class SelfSignedServer {
 public:
  explicit SelfSignedServer(const std::string& folder) {
    const std::string cert = folder + "/cert.pem", key = folder + "/key.pem";
    const std::string command = "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 -keyout '" +
                                key + "' -out '" + cert + "'";
    gint status = 1;
    g_spawn_command_line_sync(command.c_str(), nullptr, nullptr, &status, nullptr);
    GError* error = nullptr;
    GTlsCertificate* certificate =
        g_tls_certificate_new_from_files(cert.c_str(), key.c_str(), &error);
    if (!certificate) {
      ADD_FAILURE() << (error ? error->message : "no certificate");
      g_clear_error(&error);
      return;
    }
    server_ = soup_server_new("tls-certificate", certificate, nullptr);
    g_object_unref(certificate);
    soup_server_add_handler(
        server_, nullptr,
        [](SoupServer*, SoupServerMessage* msg, const char*, GHashTable*, gpointer) {
          static const char kPage[] = "<title>Secret page</title><p>secret contents</p>";
          soup_server_message_set_status(msg, 200, nullptr);
          soup_server_message_set_response(msg, "text/html", SOUP_MEMORY_STATIC, kPage,
                                           sizeof kPage - 1);
        },
        nullptr, nullptr);
    soup_server_listen_local(server_, 0,
                             static_cast<SoupServerListenOptions>(SOUP_SERVER_LISTEN_IPV4_ONLY |
                                                                  SOUP_SERVER_LISTEN_HTTPS),
                             &error);
    g_clear_error(&error);
    GSList* uris = soup_server_get_uris(server_);
    if (uris) port_ = g_uri_get_port(static_cast<GUri*>(uris->data));
    g_slist_free_full(uris, reinterpret_cast<GDestroyNotify>(g_uri_unref));
  }
  ~SelfSignedServer() {
    if (server_) g_object_unref(server_);
  }
  std::string Url() const { return "https://127.0.0.1:" + std::to_string(port_) + "/"; }

 private:
  SoupServer* server_ = nullptr;
  int port_ = 0;
};

TEST_F(WebKitBackendTest, APageWithATlsErrorIsNotShownAndTheErrorPageSaysWhy) {
  SelfSignedServer server(root_);
  ASSERT_TRUE(LoadAndWait(server.Url()));
  Pump([] { return false; }, 300);
  EXPECT_NE(title_, "Secret page");
  const std::string body = browser_->HasDocument() ? browser_->BodyHtml() : "";
  EXPECT_EQ(body.find("secret contents"), std::string::npos);
  EXPECT_NE(AsciiLower(body).find("certificate"), std::string::npos) << body;
}

TEST_F(WebKitBackendTest, LocalFilesLoadWithTheSandboxOn) {
  EXPECT_TRUE(WebEngineSandboxed());
  const std::string path = root_ + "/local page.html";
  std::ofstream(path) << "<title>From disk</title><p>local</p>";
  ASSERT_TRUE(LoadAndWait(path));
  EXPECT_TRUE(Pump([&] { return title_ == "From disk"; }, 10000)) << browser_->LocationURL();
  EXPECT_EQ(browser_->BodyHtml(), "<p>local</p>");
  EXPECT_EQ(browser_->LocationProtocol(), "file:");
}

}  // namespace
}  // namespace orv::test
