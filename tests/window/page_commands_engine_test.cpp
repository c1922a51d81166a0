// The page commands with the real engine under Xvfb, against a local server:
// print into a PDF, save as a web archive and as HTML, the source window,
// and the clipboard commands on the page and in the address bar.
#include <gtest/gtest.h>
#include <gtk/gtkunixprint.h>
#include <libsoup/soup.h>

#include <filesystem>
#include <map>
#include <optional>

#include "engine/document_commands.h"
#include "engine/print_preview.h"
#include "engine/source_window.h"
#include "engine/web_browser.h"
#include "engine/webkit_backend.h"
#include "local_server.h"
#include "shell/main_window.h"
#include "window_fixture.h"

namespace orv::test {
namespace {

class PageCommandsEngineTest : public WindowTest {
 protected:
  PageCommandsEngineTest()
      : server_([this](SoupServerMessage* msg, const std::string& path) {
          const auto page = pages_.find(path);
          if (page == pages_.end()) {
            soup_server_message_set_status(msg, 404, nullptr);
            return;
          }
          soup_server_message_set_status(msg, 200, nullptr);
          soup_server_message_set_response(msg, "text/html; charset=utf-8", SOUP_MEMORY_COPY,
                                           page->second.data(), page->second.size());
        }) {}

  void SetUp() override {
    WindowTest::SetUp();
    ConfigureWebEngine("");
    window_ = std::make_unique<Gtk::Window>();
    window_->set_default_size(800, 600);
    browser_ = std::make_unique<TWebBrowser>(engine_.NewBackend());
    gtk_container_add(GTK_CONTAINER(window_->gobj()), browser_->Widget());
    window_->show_all();
    browser_->OnDownloadComplete = [this](TWebBrowser&) { complete_ = true; };
    browser_->OnTitleChange = [this](TWebBrowser&, const std::string& t) { title_ = t; };
  }
  void TearDown() override {
    browser_.reset();
    window_.reset();
    WindowTest::TearDown();
  }
  // The main window over the real engine, its first tab showing a page of
  // words with its address in the address bar.
  TMainForm& StartMainWindowOnAPage() {
    pages_["/plain"] = "<html><body><p>Words of the page</p></body></html>";
    browser_.reset();
    services_.engine = &engine_;
    StartApp({Url("/plain")});
    TMainForm& main = app_->MainForm();
    EXPECT_TRUE(Pump(
        [&] {
          TWebBrowser* wb = main.GetCurrentWB();
          return wb && wb->HasDocument() && wb->ReadyState() == 4 &&
                 main.e3.get_text() == Url("/plain");
        },
        30000));
    return main;
  }
  bool LoadAndWait(const std::string& address) {
    complete_ = false;
    browser_->Navigate(address);
    return Pump([&] { return complete_; }, 30000);
  }
  std::string Url(const std::string& path) const { return server_.Url(path); }
  static std::string ClipboardText() {
    const Glib::ustring text = Gtk::Clipboard::get()->wait_for_text();
    return text;
  }
  // The display's clipboard is shared with the tests that run beside this
  // one: `act` is repeated until `shows` holds, so that another test's copy
  // between ours and the check cannot fail it.
  bool Repeat(const std::function<void()>& act, const std::function<bool()>& shows) {
    return Pump(
        [&] {
          act();
          return Pump(shows, 300);
        },
        10000);
  }
  // The text of a PDF file as pdftotext reads it.
  static std::string PdfText(const std::string& path) {
    const char* argv[] = {"pdftotext", path.c_str(), "-", nullptr};
    gchar* out = nullptr;
    gint status = 0;
    if (!g_spawn_sync(nullptr, const_cast<gchar**>(argv), nullptr, G_SPAWN_SEARCH_PATH, nullptr,
                      nullptr, &out, nullptr, &status, nullptr)) {
      return "<pdftotext did not run>";
    }
    std::string text = out ? out : "";
    g_free(out);
    return text;
  }

  WebKitEngine engine_;
  std::map<std::string, std::string> pages_;
  LocalServer server_;
  std::unique_ptr<Gtk::Window> window_;
  std::unique_ptr<TWebBrowser> browser_;
  bool complete_ = false;
  std::string title_;
};

TEST_F(PageCommandsEngineTest, PrintingIntoAPdfFileKeepsThePageText) {
  pages_["/print"] =
      "<html><head><title>Ledger</title></head><body><h1>Orchard ledger</h1>"
      "<p>Seventeen pears and nine quinces</p></body></html>";
  ASSERT_TRUE(LoadAndWait(Url("/print")));
  EXPECT_TRUE(browser_->HoldsHtmlDocument());
  const std::string pdf = root_ + "/ledger.pdf";
  std::optional<PrintOutcome> outcome;
  std::string error;
  PrintJob job;
  job.pdf_path = pdf;
  browser_->Print(job, [&](PrintOutcome o, const std::string& e) {
    outcome = o;
    error = e;
  });
  ASSERT_TRUE(Pump([&] { return outcome.has_value(); }, 60000));
  ASSERT_EQ(*outcome, PrintOutcome::kPrinted) << error;
  const std::string text = PdfText(pdf);
  EXPECT_NE(text.find("Orchard ledger"), std::string::npos) << text;
  EXPECT_NE(text.find("Seventeen pears and nine quinces"), std::string::npos) << text;

  // A file that cannot be written is a failed print, not a silent one.
  outcome.reset();
  job.pdf_path = root_ + "/no such folder/ledger.pdf";
  browser_->Print(job, [&](PrintOutcome o, const std::string& e) {
    outcome = o;
    error = e;
  });
  ASSERT_TRUE(Pump([&] { return outcome.has_value(); }, 60000));
  EXPECT_EQ(*outcome, PrintOutcome::kFailed);
  EXPECT_FALSE(error.empty());
}

TEST_F(PageCommandsEngineTest, PrintPreviewShowsTheEnginesPdfInAWindow) {
  pages_["/print"] = "<html><body><p>Preview of the pears</p></body></html>";
  ASSERT_TRUE(LoadAndWait(Url("/print")));
  int downloads = 0;
  SetDownloadChooser([&](const std::string&) {
    ++downloads;
    return std::string();
  });
  browser_->PrintPreview(engine_);
  ASSERT_TRUE(Pump([&] { return browser_->PrintPreviewIfAny() != nullptr; }, 60000));
  PrintPreviewWindow& preview = *browser_->PrintPreviewIfAny();
  EXPECT_TRUE(preview.Visible());
  EXPECT_NE(PdfText(preview.PdfPath()).find("Preview of the pears"), std::string::npos);
  TWebBrowser& viewer = preview.Viewer();
  EXPECT_TRUE(Pump([&] { return viewer.HasDocument() && viewer.ReadyState() == 4; }, 30000));
  EXPECT_NE(viewer.LocationURL().find("preview.pdf"), std::string::npos) << viewer.LocationURL();
  EXPECT_EQ(downloads, 0) << "the PDF is shown, not offered for download";
  // The engine's own PDF viewer shows the pages.
  EXPECT_NE(viewer.BodyHtml().find("pdf"), std::string::npos);
  SetDownloadChooser(nullptr);
}

TEST_F(PageCommandsEngineTest, SaveAsWritesAWebArchiveThatReopensAndTheHtmlAsServed) {
  const std::string page =
      "<html><head><title>Keep</title><style>p { color: teal }</style></head>"
      "<body><p>Saved words</p></body></html>";
  pages_["/keep"] = page;
  ASSERT_TRUE(LoadAndWait(Url("/keep")));
  ASSERT_TRUE(browser_->CanSave());
  const std::string html = root_ + "/keep.html";
  const std::string mht = root_ + "/keep.mht";
  WriteFile(mht, "an older file");
  browser_->SaveAs(html, SaveFormat::kHtmlOnly);
  browser_->SaveAs(mht, SaveFormat::kWebArchive);
  EXPECT_EQ(ReadFile(html), page);
  const std::string archive = ReadFile(mht);
  EXPECT_NE(archive.find("multipart/related"), std::string::npos) << archive.substr(0, 300);
  for (const auto& entry : std::filesystem::directory_iterator(root_)) {
    EXPECT_EQ(entry.path().filename().string().rfind(".keep", 0), std::string::npos)
        << "a temporary file was left: " << entry.path();
  }
  ASSERT_TRUE(LoadAndWait(mht));
  EXPECT_TRUE(Pump([&] { return title_ == "Keep"; }, 10000)) << title_;
  EXPECT_NE(browser_->BodyHtml().find("Saved words"), std::string::npos);
}

TEST_F(PageCommandsEngineTest, TheSourceWindowShowsTheServedMarkup) {
  const std::string page =
      "<!DOCTYPE html>\n<html><head><title>Src</title></head>\n"
      "<body><p class=\"x\">Source &amp; markup</p><script>document.body.append('added');</script>"
      "</body></html>\n";
  pages_["/src"] = page;
  ASSERT_TRUE(LoadAndWait(Url("/src")));
  RunDocumentCommand(browser_.get(), CommandGroup::kWebBrowser, kCmdViewSource);
  SourceWindow* source = browser_->SourceWindowIfAny();
  ASSERT_NE(source, nullptr);
  EXPECT_EQ(source->Text(), page) << "as served, not as the script changed it";
  EXPECT_EQ(gtk_window_get_title(GTK_WINDOW(source->window())), Url("/src"));
  EXPECT_EQ(source->LanguageId(), "html");
}

TEST_F(PageCommandsEngineTest, SelectAllAndCopyPutThePageTextOnTheClipboard) {
  pages_["/plain"] = "<html><body><p>Plain words to copy</p></body></html>";
  ASSERT_TRUE(LoadAndWait(Url("/plain")));
  Gtk::Clipboard::get()->set_text("stale");
  browser_->GrabFocus();
  EXPECT_TRUE(Repeat(
      [&] {
        RunDocumentCommand(browser_.get(), CommandGroup::kNone, kCmdSelectAll);
        RunDocumentCommand(browser_.get(), CommandGroup::kNone, kCmdCopy);
      },
      [&] { return ClipboardText().find("Plain words to copy") != std::string::npos; }))
      << ClipboardText();
}

TEST_F(PageCommandsEngineTest, PasteGoesIntoThePagesTextField) {
  pages_["/field"] =
      "<html><body><input id=f autofocus oninput=\"document.title = 'got ' + this.value\">"
      "</body></html>";
  ASSERT_TRUE(LoadAndWait(Url("/field")));
  browser_->GrabFocus();
  EXPECT_TRUE(Repeat(
      [&] {
        Gtk::Clipboard::get()->set_text("pasted words");
        // Select the field's text, so that a repeated paste replaces it.
        RunDocumentCommand(browser_.get(), CommandGroup::kNone, kCmdSelectAll);
        RunDocumentCommand(browser_.get(), CommandGroup::kNone, kCmdPaste);
      },
      [&] { return title_ == "got pasted words"; }))
      << title_;
}

// The main window with the real engine: Ctrl+C copies the address while the
// address bar has the keyboard, and the page's text otherwise.
TEST_F(PageCommandsEngineTest, CtrlCCopiesTheAddressInTheAddressBarAndThePageOtherwise) {
  TMainForm& main = StartMainWindowOnAPage();
  auto key = [&](guint keyval) { return PressKey(main, keyval, GDK_CONTROL_MASK); };
  main.GetCurrentWB()->GrabFocus();
  EXPECT_TRUE(Repeat(
      [&] {
        EXPECT_TRUE(key(GDK_KEY_a));
        EXPECT_TRUE(key(GDK_KEY_c));
      },
      [&] { return ClipboardText().find("Words of the page") != std::string::npos; }))
      << ClipboardText();
  main.FocusAddressBar();
  EXPECT_TRUE(Repeat([&] { EXPECT_TRUE(key(GDK_KEY_c)); },
                     [&] { return ClipboardText() == Url("/plain"); }))
      << ClipboardText();
}

// Print from the main window: the engine's print dialog, cancelled.
TEST_F(PageCommandsEngineTest, CancellingThePrintDialogSaysCanceledByUser) {
  TMainForm& main = StartMainWindowOnAPage();
  bool dialog_seen = false;
  auto cancel = Glib::signal_timeout().connect(
      [&] {
        for (Gtk::Window* w : Gtk::Window::list_toplevels()) {
          if (!GTK_IS_PRINT_UNIX_DIALOG(w->gobj()) || !w->get_visible()) continue;
          dialog_seen = true;
          gtk_dialog_response(GTK_DIALOG(w->gobj()), GTK_RESPONSE_CANCEL);
        }
        return true;
      },
      100);
  main.SpeedButton20Click();
  EXPECT_TRUE(Pump([&] { return !dialogs_.shown.empty(); }, 30000));
  cancel.disconnect();
  EXPECT_TRUE(dialog_seen);
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].text, "Canceled by User");
}

}  // namespace
}  // namespace orv::test
