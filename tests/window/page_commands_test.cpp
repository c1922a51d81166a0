// Print, print preview, save as, open a file, view source, the clipboard
// commands and mail, over the fake engine and the scripted dialogs.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/print_preview.h"
#include "engine/source_window.h"
#include "platform/main_loop.h"
#include "shell/main_window.h"
#include "window_fixture.h"

namespace orv::test {
namespace {

class PageCommandsTest : public WindowTest {
 protected:
  TMainForm& Main() { return app_->MainForm(); }
  void Start(const std::string& address = "http://page.test/docs/report.html") {
    web_.pages[address] = {"Report", "<p>quarterly needle figures</p>"};
    StartApp({address});
    ASSERT_TRUE(Settle());
  }
  bool Logged(const std::string& entry) const {
    return std::find(web_.log.begin(), web_.log.end(), entry) != web_.log.end();
  }
  bool LoggedPrefix(const std::string& prefix) const {
    return std::any_of(web_.log.begin(), web_.log.end(),
                       [&](const std::string& e) { return e.rfind(prefix, 0) == 0; });
  }
  bool Key(guint keyval, int mods = 0) { return PressKey(Main(), keyval, mods); }
};

TEST_F(PageCommandsTest, PrintWithoutAnHtmlDocumentDoesNothing) {
  Start();
  // A blank tab has no document at all.
  Main().OpenTab(" ", "Blank Page");
  ASSERT_TRUE(Settle());
  Main().SpeedButton20Click();
  Main().SpeedButton21Click();
  // A document the engine shows that is not HTML.
  web_.pages["http://page.test/doc.pdf"] = {"", "", "http:", /*html=*/false};
  Main().GetCurrentWB()->Navigate("http://page.test/doc.pdf");
  ASSERT_TRUE(Settle());
  Main().SpeedButton20Click();
  Main().SpeedButton21Click();
  PumpIdle();
  EXPECT_FALSE(LoggedPrefix("print"));
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(PageCommandsTest, APrintThatDoesNotEndWellSaysWhy) {
  Start();
  struct Case {
    PrintOutcome outcome;
    const char* message;  // null: nothing shown
  } cases[] = {
      {PrintOutcome::kPrinted, nullptr},
      {PrintOutcome::kCancelled, "Canceled by User"},
      {PrintOutcome::kFailed, "Error While Printing"},
  };
  for (const Case& c : cases) {
    dialogs_.shown.clear();
    web_.log.clear();
    web_.print_outcome = c.outcome;
    web_.print_error = c.outcome == PrintOutcome::kFailed ? "printer on fire" : "";
    Main().SpeedButton20Click();
    EXPECT_TRUE(Logged("print dialog"));
    PumpIdle();
    if (!c.message) {
      EXPECT_TRUE(dialogs_.shown.empty());
      continue;
    }
    ASSERT_EQ(dialogs_.shown.size(), 1u) << c.message;
    EXPECT_EQ(dialogs_.shown[0].text, c.message);
    EXPECT_EQ(dialogs_.shown[0].buttons, MsgButtons::kOk);
    EXPECT_EQ(dialogs_.shown[0].icon, MsgIcon::kNone);
  }
  // Ctrl+P and the quick panel's button print too.
  web_.log.clear();
  web_.print_outcome = PrintOutcome::kPrinted;
  EXPECT_TRUE(Key(GDK_KEY_p, GDK_CONTROL_MASK));
  Main().xprint.clicked();
  EXPECT_EQ(std::count(web_.log.begin(), web_.log.end(), "print dialog"), 2);
}

TEST_F(PageCommandsTest, PrintPreviewShowsTheEnginesPdfAndSwallowsFailures) {
  Start();
  web_.print_outcome = PrintOutcome::kFailed;
  Main().SpeedButton21Click();
  PumpIdle();
  EXPECT_EQ(Main().GetCurrentWB()->PrintPreviewIfAny(), nullptr);
  EXPECT_TRUE(dialogs_.shown.empty());

  web_.print_outcome = PrintOutcome::kPrinted;
  Main().SpeedButton21Click();
  ASSERT_TRUE(Pump([&] { return Main().GetCurrentWB()->PrintPreviewIfAny() != nullptr; }));
  PrintPreviewWindow& preview = *Main().GetCurrentWB()->PrintPreviewIfAny();
  const std::string pdf = preview.PdfPath();
  EXPECT_TRUE(Logged("print " + pdf)) << "no dialog: the engine prints into the file";
  EXPECT_TRUE(preview.Visible());
  ASSERT_TRUE(Settle());
  EXPECT_EQ(Loads("file://" + pdf), 1);
  // The next preview replaces the file of the last.
  Main().SpeedButton21Click();
  ASSERT_TRUE(Pump([&] { return preview.PdfPath() != pdf; }));
  EXPECT_FALSE(g_file_test(pdf.c_str(), G_FILE_TEST_EXISTS));
}

TEST_F(PageCommandsTest, SaveAsWritesTheFormatOfTheChosenFilter) {
  Start();
  const std::string page = "<p>quarterly needle figures</p>";
  dialogs_.file_answers.push_back({root_ + "/saved.html", 1});
  dialogs_.file_answers.push_back({root_ + "/saved.mht", 0});
  Main().SaveAs1Click();
  Main().SaveAs1Click();
  ASSERT_EQ(dialogs_.file_requests.size(), 2u);
  const auto& request = dialogs_.file_requests[0];
  EXPECT_EQ(request.kind, "save");
  EXPECT_EQ(request.suggested_name, "report.mht");
  ASSERT_EQ(request.filters.size(), 2u);
  EXPECT_EQ(request.filters[0].patterns, std::vector<std::string>{"*.mht"});
  EXPECT_EQ(ReadFile(root_ + "/saved.html"), page);
  EXPECT_TRUE(Logged("save archive"));
  EXPECT_EQ(ReadFile(root_ + "/saved.mht"), page);

  // Cancelled: nothing is written.
  web_.log.clear();
  Main().SaveAs1Click();
  EXPECT_FALSE(Logged("save archive"));

  // A failure reaches the report, and the old file stays as it was.
  web_.save_error = "disk full";
  dialogs_.file_answers.push_back({root_ + "/saved.mht", 0});
  Main().SaveAs1.activate();
  ASSERT_FALSE(dialogs_.shown.empty());
  EXPECT_NE(dialogs_.shown.back().text.find("disk full"), std::string::npos);
  EXPECT_EQ(ReadFile(root_ + "/saved.mht"), page);
}

TEST_F(PageCommandsTest, SaveAsOnAPageWithNothingToSaveDoesNothing) {
  Start();
  web_.pages["http://page.test/empty"] = {"", "", "http:", true, /*savable=*/false};
  Main().GetCurrentWB()->Navigate("http://page.test/empty");
  ASSERT_TRUE(Settle());
  Main().SaveAs1Click();
  Main().OpenTab(" ", "Blank Page");
  ASSERT_TRUE(Settle());
  Main().SaveAs1Click();
  EXPECT_TRUE(dialogs_.file_requests.empty());
}

// The real chooser: it offers a base name, asks before replacing a file,
// and answers the filter the user picked.
TEST_F(PageCommandsTest, TheSaveChooserOffersABaseNameAndAnswersTheChosenFilter) {
  // The chooser keeps its settings; there is no session bus to keep them on.
  g_setenv("GSETTINGS_BACKEND", "memory", TRUE);
  GtkDialogs real;
  std::string offered;
  bool confirms = false;
  Glib::signal_idle().connect_once([&] {
    for (Gtk::Window* w : Gtk::Window::list_toplevels()) {
      auto* chooser = dynamic_cast<Gtk::FileChooserDialog*>(w);
      if (!chooser || !chooser->get_visible()) continue;
      offered = chooser->get_current_name();
      confirms = chooser->get_do_overwrite_confirmation();
      chooser->set_filter(chooser->list_filters()[1]);
      chooser->set_filename(root_ + "/kept.html");
      chooser->set_current_name("kept.html");
      chooser->response(Gtk::RESPONSE_ACCEPT);
    }
  });
  const FileChoice choice = real.SaveFile(nullptr, "Save As", "../../etc/passwd.mht",
                                          {{"Archive", {"*.mht"}}, {"HTML", {"*.html"}}});
  EXPECT_EQ(offered, "passwd.mht");
  EXPECT_TRUE(confirms);
  EXPECT_EQ(choice.filter, 1);
  EXPECT_EQ(Glib::path_get_basename(choice.path), "kept.html");
}

TEST_F(PageCommandsTest, OpenFileOffersThreeFiltersAndOpensTheFileNextToTheCurrentTab) {
  Start();
  Main().OpenTab("http://second.test/", "Second");
  ASSERT_TRUE(Settle());
  Main().nbook.SetActivePageIndex(0);
  const int pages = Main().nbook.PageCount();

  Main().OpenFile1Click();
  ASSERT_EQ(dialogs_.file_requests.size(), 1u);
  const auto& filters = dialogs_.file_requests[0].filters;
  ASSERT_EQ(filters.size(), 3u);
  EXPECT_EQ(filters[0].name, "HTML File (*.htm, *.html)");
  EXPECT_EQ(filters[0].patterns, (std::vector<std::string>{"*.htm", "*.html"}));
  EXPECT_EQ(filters[1].name, "Web Archive (*.mht)");
  EXPECT_EQ(filters[1].patterns, std::vector<std::string>{"*.mht"});
  EXPECT_EQ(filters[2].name, "All Files ");
  EXPECT_EQ(Main().nbook.PageCount(), pages) << "cancelled";

  const std::string path = root_ + "/my page.mht";
  WriteFile(path, "archive");
  dialogs_.file_answers.push_back({path, 1});
  Main().OpenFile1Click();
  ASSERT_TRUE(Settle());
  ASSERT_EQ(Main().nbook.PageCount(), pages + 1);
  EXPECT_EQ(Main().nbook.ActivePageIndex(), 1);
  EXPECT_EQ(Main().GetCurrentWB()->LocationURL(), "file://" + root_ + "/my%20page.mht");
}

TEST_F(PageCommandsTest, ViewSourceShowsTheMainResourceWithTheAddressInItsCaption) {
  Start();
  Main().Viewsource1Click();
  SourceWindow* source = Main().GetCurrentWB()->SourceWindowIfAny();
  ASSERT_NE(source, nullptr);
  EXPECT_TRUE(source->Visible());
  EXPECT_EQ(source->Text(), "<p>quarterly needle figures</p>");
  EXPECT_EQ(gtk_window_get_title(GTK_WINDOW(source->window())),
            std::string("http://page.test/docs/report.html"));
  EXPECT_EQ(source->LanguageId(), "html");
  EXPECT_FALSE(gtk_text_view_get_editable(source->view()));
  EXPECT_TRUE(gtk_text_view_get_monospace(source->view()));
  // Ctrl+F opens the find bar; Enter finds the next match.
  GdkEventKey event{};
  event.type = GDK_KEY_PRESS;
  event.keyval = GDK_KEY_f;
  event.state = GDK_CONTROL_MASK;
  gboolean handled = FALSE;
  g_signal_emit_by_name(source->window(), "key-press-event", &event, &handled);
  EXPECT_TRUE(handled);
  EXPECT_TRUE(gtk_search_bar_get_search_mode(source->find_bar()));
  EXPECT_TRUE(source->FindNext("NEEDLE"));
  EXPECT_EQ(source->SelectedText(), "needle");
  EXPECT_FALSE(source->FindNext("haystack"));
  source->Close();
}

TEST_F(PageCommandsTest, EditingKeysActOnTheTextFieldFirstAndOnThePageOtherwise) {
  Start();
  struct Case {
    guint key;
    const char* command;
  } cases[] = {
      {GDK_KEY_x, "Cut"}, {GDK_KEY_c, "Copy"}, {GDK_KEY_v, "Paste"}, {GDK_KEY_a, "SelectAll"}};
  for (const Case& c : cases) {
    web_.log.clear();
    Main().GetCurrentWB()->GrabFocus();
    EXPECT_TRUE(Key(c.key, GDK_CONTROL_MASK));
    EXPECT_TRUE(Logged(std::string("edit ") + c.command)) << c.command;
    web_.log.clear();
    Main().FocusAddressBar();
    Key(c.key, GDK_CONTROL_MASK);
    EXPECT_FALSE(LoggedPrefix("edit")) << c.command;
  }
  // The menu's Copy, chosen while the address bar has the keyboard, copies
  // the address.
  Main().e3.set_text("http://copied.test/");
  Main().FocusAddressBar();
  web_.log.clear();
  Main().Copy2.activate();
  EXPECT_FALSE(LoggedPrefix("edit"));
  // Cut leaves the field empty: the menu's command reached it.
  Main().Cut2.activate();
  EXPECT_EQ(std::string(Main().e3.get_text()), "");
  EXPECT_FALSE(LoggedPrefix("edit"));
  Main().GetCurrentWB()->GrabFocus();
  Main().Sellectall2.activate();
  EXPECT_TRUE(Logged("edit SelectAll"));
}

TEST_F(PageCommandsTest, MailLinkHandsTheAddressToXdgEmail) {
  Start();
  Main().e3.set_text("");
  Main().Maillinktothispage1Click();
  Main().e3.set_text("http://page.test/a b?x=1&y=2");
  EXPECT_TRUE(Key(GDK_KEY_i, GDK_CONTROL_MASK));
  using Args = std::vector<std::string>;
  ASSERT_EQ(mail_.composed.size(), 2u);
  EXPECT_EQ(mail_.composed[0], Args{"--utf8"}) << "an empty address leaves subject and body out";
  EXPECT_EQ(mail_.composed[1], (Args{"--utf8", "--subject", "http://page.test/a b?x=1&y=2",
                                     "--body", "http://page.test/a b?x=1&y=2"}));
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(PageCommandsTest, MailRequestsBecomeXdgEmailArguments) {
  Start();
  using Args = std::vector<std::string>;
  struct Case {
    MailRequest request;
    Args arguments;
  } cases[] = {
      {{{"to", "someone"}}, {"--utf8", "mailto:someone"}},
      {{{"to", "-rf a@b.test"}}, {"--utf8", "mailto:-rf%20a@b.test"}},
      {{{"to", ""}, {"subject", ""}}, {"--utf8"}},
      {{{"attachment0", "/tmp/a.txt"}, {"attachment2", "/tmp/c.txt"}},
       {"--utf8", "--attach", "/tmp/a.txt"}},
      {{{"attachment1", "/tmp/b.txt"}}, {"--utf8"}},
      {{{"body", "text"}, {"attachment1", "/tmp/b.txt"}, {"attachment0", "/tmp/a.txt"}},
       {"--utf8", "--body", "text", "--attach", "/tmp/a.txt", "--attach", "/tmp/b.txt"}},
  };
  for (const Case& c : cases) {
    mail_.composed.clear();
    Main().SendMailRequest(c.request);
    ASSERT_EQ(mail_.composed.size(), 1u);
    EXPECT_EQ(mail_.composed[0], c.arguments);
  }
}

TEST_F(PageCommandsTest, NoMailProgramIsAnErrorAndAFailedHandOffIsSilent) {
  Start();
  mail_.status = MailStatus::kFailed;
  Main().Maillinktothispage1Click();
  EXPECT_TRUE(dialogs_.shown.empty());
  mail_.status = MailStatus::kNoMailProgram;
  Main().Maillinktothispage1Click();
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].text, "Error while trying to send email");
  EXPECT_EQ(dialogs_.shown[0].caption, "Error");
  EXPECT_EQ(dialogs_.shown[0].icon, MsgIcon::kError);
  EXPECT_EQ(dialogs_.shown[0].buttons, MsgButtons::kOk);
  Main().ReadMail1.activate();
  EXPECT_EQ(mail_.clients_opened, 1);
}

}  // namespace
}  // namespace orv::test
