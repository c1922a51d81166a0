// The page designer over the fake engine and the scripted dialogs: the
// edit-mode gate, the command names the document receives, the questions.
// The fake document shows every command it ran as "{name:value}" while it
// is in design mode.
#include <gtest/gtest.h>

#include <set>

#include "designer/designer_window.h"
#include "shell/main_window.h"
#include "window_fixture.h"

namespace orv::test {
namespace {

constexpr char kPage[] = "http://site.test/dir/page.html";

class DesignerTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    web_.pages[kPage] = {"Page", "<p>text</p>"};
    StartApp({kPage});
    ASSERT_TRUE(Settle());
  }
  TMainForm& Main() { return app_->MainForm(); }
  Tfdesigner& Designer() { return app_->fdesigner(); }
  FakeBackend& Page() { return static_cast<FakeBackend&>(Designer().wbrisi().Backend()); }

  // Opens the designer from the Tools menu, answering `start` to "Start
  // Editing ?", runs `while_open` once its page is there, and closes it
  // with Yes to "Close designer ?" unless `while_open` closed it.
  void WithDesigner(MsgResult start, const std::function<void()>& while_open) {
    dialogs_.answers = {start};
    Glib::signal_idle().connect_once([&] {
      EXPECT_TRUE(Settle());
      log_start_ = web_.log.size();
      while_open();
      if (Designer().Showing()) {
        dialogs_.answers = {MsgResult::kYes};
        Designer().ExitClick();
      }
    });
    Main().WYSIWYGDesignerdevelopmentversion1Click();
    EXPECT_FALSE(Designer().Showing());
  }
  void Press(const char* hint) {
    Gtk::ToolButton* button = Designer().Button(hint);
    ASSERT_NE(button, nullptr) << hint;
    g_signal_emit_by_name(button->gobj(), "clicked");
  }
  // What the designer's document was asked to do since the page was there.
  std::vector<std::string> Commands() {
    std::vector<std::string> commands;
    for (size_t i = log_start_; i < web_.log.size(); ++i) {
      const std::string& line = web_.log[i];
      if (line.starts_with("command ") || line.starts_with("edit ") || line.starts_with("insert ") ||
          line.starts_with("design ") || line.starts_with("print ") || line.starts_with("load ")) {
        commands.push_back(line);
      }
    }
    return commands;
  }
  std::vector<std::string> FontNames() {
    std::vector<std::string> names;
    auto model = Designer().FontName.get_model();
    for (const auto& row : model->children()) {
      Glib::ustring name;
      row.get_value(0, name);
      names.push_back(name);
    }
    return names;
  }

  size_t log_start_ = 0;
};

TEST_F(DesignerTest, OpensModallyOnTheAddressWithTheCurrentAgentAndAsksToStartEditing) {
  Main().CurrentUserAgent = "Agent/1.0";
  const size_t before = web_.log.size();
  WithDesigner(MsgResult::kYes, [&] {
    EXPECT_EQ(Designer().get_title(), std::string("Orvindel Designer ") + kPage);
    EXPECT_TRUE(Designer().get_modal());
    int width = 0, height = 0;
    Designer().get_default_size(width, height);
    EXPECT_EQ(width, 940);
    EXPECT_EQ(height, 570);
    EXPECT_EQ(Page().user_agent(), "Agent/1.0");
    EXPECT_EQ(Page().Uri(), kPage);
    EXPECT_TRUE(Designer().EditMode());
    EXPECT_TRUE(Page().design_mode());
    ASSERT_EQ(dialogs_.shown.size(), 1u);
    EXPECT_EQ(dialogs_.shown[0].text, "Start Editing ?");
    EXPECT_EQ(dialogs_.shown[0].caption, "Orvindel Designer");
    EXPECT_EQ(dialogs_.shown[0].buttons, MsgButtons::kYesNo);
    EXPECT_EQ(dialogs_.shown[0].icon, MsgIcon::kQuestion);
    EXPECT_EQ(dialogs_.beeps, 1);
  });
  // The agent went out with the page's own request.
  const auto first = web_.log.begin() + static_cast<std::ptrdiff_t>(before);
  const auto agent = std::find(first, web_.log.end(), "agent Agent/1.0");
  const auto load = std::find(first, web_.log.end(), std::string("load ") + kPage);
  EXPECT_LT(agent, load);

  // The menu's command leaves the redirect mode as it is; the quick panel's
  // button leaves it first.
  Main().RedirectMode = true;
  WithDesigner(MsgResult::kNo, [&] { EXPECT_TRUE(Main().RedirectMode); });
  dialogs_.answers = {MsgResult::kNo, MsgResult::kYes};
  Glib::signal_idle().connect_once([&] { Designer().ExitClick(); });
  Main().xdesigner.clicked();
  EXPECT_FALSE(Main().RedirectMode);
  EXPECT_FALSE(Designer().Showing());
}

TEST_F(DesignerTest, AnsweringNoKeepsTheGateClosedUntilEditWhileFileCommandsWorkInBothModes) {
  const std::string saved = root_ + "/saved.htm";
  WithDesigner(MsgResult::kNo, [&] {
    EXPECT_FALSE(Designer().EditMode());
    for (const char* hint : {"Bold", "Button", "Justify Right", "Refresh", "Cut"}) Press(hint);
    Designer().FontName.set_active(1);
    Designer().FontSize.set_active(3);
    Press("Text Foreground Color");
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(dialogs_.color_requests, 0);

    // Save As and Print are no editing: they work in view mode too.
    dialogs_.file_answers = {{saved, 0}};
    Press("Save As");
    Press("Print");
    ASSERT_FALSE(dialogs_.file_requests.empty());
    EXPECT_EQ(dialogs_.file_requests.back().suggested_name, "page.htm");
    EXPECT_EQ(ReadFile(saved), "<html><body><p>text</p></body></html>");
    EXPECT_EQ(Commands(), (std::vector<std::string>{"print dialog"}));

    Press("Edit");
    Press("Bold");
    Designer().FontSize.set_active(4);
    dialogs_.file_answers = {{saved, 0}};
    Press("Save As");
    Press("Print");
    EXPECT_EQ(Commands(), (std::vector<std::string>{"print dialog", "design on", "command bold",
                                                    "command Fontsize 5", "print dialog"}));
    EXPECT_EQ(ReadFile(saved), "<html><body><p>text</p>{bold}{Fontsize:5}</body></html>");
  });
}

TEST_F(DesignerTest, EachButtonSendsItsCommandAsWritten) {
  const std::vector<std::pair<const char*, std::string>> table = {
      {"Select All", "command SelectAll"},
      {"Cut", "edit Cut"},
      {"Copy", "edit Copy"},
      {"Paste", "edit Paste"},
      {"Delete", "command Delete"},
      {"Justify Left", "command JustifyLeft"},
      {"Justify Center", "command JustifyCenter"},
      {"Justify Right", "command Justifyright"},
      {"Bold", "command bold"},
      {"Italic", "command italic"},
      {"Horizontal Rule", "command InsertHorizontalRule"},
      {"Ordered List", "command InsertOrderedList"},
      {"Paragraph", "command InsertParagraph"},
      {"Button", "insert <button type=\"button\">Button</button>"},
      {"Frame", "insert <iframe></iframe>"},
      {"Input Checkbox", "insert <input type=\"checkbox\">"},
      {"Input File Upload", "insert <input type=\"file\">"},
      {"Input Image", "insert <input type=\"image\" alt=\"\">"},
      {"Input Password", "insert <input type=\"password\">"},
      {"Input Radio", "insert <input type=\"radio\">"},
      {"Input Reset", "insert <input type=\"reset\">"},
      {"Input Submit", "insert <input type=\"submit\">"},
      {"Input Text", "insert <input type=\"text\">"},
      {"Marquee", "insert <marquee>Marquee</marquee>"},
      {"Select Dropdown", "insert <select></select>"},
      {"Select Listbox", "insert <select multiple size=\"4\"></select>"},
      {"Text Area", "insert <textarea>Text Area</textarea>"},
  };
  WithDesigner(MsgResult::kYes, [&] {
    for (const auto& [hint, expected] : table) {
      log_start_ = web_.log.size();
      Press(hint);
      EXPECT_EQ(Commands(), std::vector<std::string>{expected}) << hint;
    }
    // The lists run their command as soon as an entry is chosen.
    log_start_ = web_.log.size();
    Designer().FontName.set_active(2);
    Designer().FontSize.set_active(19);
    EXPECT_EQ(Commands(), (std::vector<std::string>{"command FontName " + FontNames()[2],
                                                    "command Fontsize 90"}));
  });
}

TEST_F(DesignerTest, DialogCommandsAskFirstAndACancelDoesNothing) {
  WithDesigner(MsgResult::kYes, [&] {
    // The colour dialog is the main window's: it remembers the choice.
    dialogs_.color_answers = {0x0000FF};
    Press("Text Foreground Color");
    dialogs_.color_answers = {0x10FF00};
    Press("Tex Background Color");
    Press("Text Foreground Color");  // cancelled
    EXPECT_EQ(Main().ColorDialog.color, 0x10FF00u);

    dialogs_.input_answers = {"  http://link.test/  ", ""};
    Press("Create Link");
    Press("Image");  // an empty address
    Press("Image");  // cancelled
    EXPECT_EQ(dialogs_.input_requests,
              (std::vector<std::string>{"Create Link: Link address: []", "Image: Image address: []",
                                        "Image: Image address: []"}));
    EXPECT_EQ(Commands(),
              (std::vector<std::string>{"command forecolor #ff0000", "command BackColor #00ff10",
                                        "command createlink http://link.test/"}));
    // Nothing to save to: Save As cancelled writes nothing and says nothing.
    Press("Save As");
    EXPECT_EQ(dialogs_.shown.size(), 1u);
  });
}

TEST_F(DesignerTest, PreviewClosesTheGateAndKeepsTheEdits) {
  WithDesigner(MsgResult::kYes, [&] {
    Press("Italic");
    Press("Preview");
    EXPECT_FALSE(Designer().EditMode());
    EXPECT_FALSE(Page().design_mode());
    Press("Bold");
    EXPECT_EQ(Commands(), (std::vector<std::string>{"command italic", "design off"}));
    EXPECT_EQ(Page().body(), "<p>text</p>{italic}");
  });
}

TEST_F(DesignerTest, NewLoadsABlankPageThatStaysEditable) {
  WithDesigner(MsgResult::kYes, [&] {
    Press("New");
    EXPECT_TRUE(Settle());
    EXPECT_EQ(Page().Uri(), "about:blank");
    EXPECT_EQ(Commands(), (std::vector<std::string>{"load about:blank", "design on"}));
    EXPECT_TRUE(Page().design_mode());
  });
}

TEST_F(DesignerTest, NoToCloseDesignerKeepsTheWindowAndItsEdits) {
  WithDesigner(MsgResult::kYes, [&] {
    Press("Bold");
    dialogs_.answers = {MsgResult::kNo, MsgResult::kNo};
    const int beeps = dialogs_.beeps;
    Press("Exit");
    Designer().close();  // the close box
    EXPECT_TRUE(Pump([&] { return dialogs_.beeps == beeps + 2; }));
    EXPECT_TRUE(Designer().Showing());
    EXPECT_TRUE(Designer().EditMode());
    EXPECT_EQ(Page().body(), "<p>text</p>{bold}");
    EXPECT_EQ(dialogs_.beeps, beeps + 2);
    ASSERT_GE(dialogs_.shown.size(), 2u);
    EXPECT_EQ(dialogs_.shown.back().text, "Close designer ?");
    EXPECT_EQ(dialogs_.shown.back().caption, "Orvindel Designer");
    EXPECT_EQ(dialogs_.shown.back().icon, MsgIcon::kQuestion);
    // Escape belongs to the page.
    PressKey(Designer(), GDK_KEY_Escape);
    EXPECT_TRUE(Designer().Showing());
  });
  // Nothing is kept for the next opening.
  WithDesigner(MsgResult::kNo, [&] {
    EXPECT_EQ(Page().body(), "<p>text</p>");
    EXPECT_FALSE(Designer().EditMode());
  });
}

TEST_F(DesignerTest, ACommandThePageRefusesIsShownAndTheModeStays) {
  web_.rejected_commands = {"bold"};
  WithDesigner(MsgResult::kYes, [&] {
    Press("Bold");
    ASSERT_EQ(dialogs_.shown.size(), 2u);
    EXPECT_EQ(dialogs_.shown[1].caption, "Orvindel Designer");
    EXPECT_EQ(dialogs_.shown[1].icon, MsgIcon::kError);
    EXPECT_NE(dialogs_.shown[1].text.find("bold"), std::string::npos);
    EXPECT_TRUE(Designer().EditMode());
    EXPECT_TRUE(Page().design_mode());
    Press("Italic");
    EXPECT_EQ(Page().body(), "<p>text</p>{italic}");
  });
}

TEST_F(DesignerTest, EveryOpeningListsEachFontOnceWithTheFirstSelected) {
  std::vector<std::string> first;
  WithDesigner(MsgResult::kNo, [&] { first = FontNames(); });
  WithDesigner(MsgResult::kNo, [&] {
    const std::vector<std::string> second = FontNames();
    EXPECT_EQ(second, first);
    EXPECT_EQ(std::set<std::string>(second.begin(), second.end()).size(), second.size());
    EXPECT_EQ(Designer().FontName.get_active_row_number(), 0);
    EXPECT_EQ(std::string(Designer().FontSize.get_active_text()), "1");
  });
  EXPECT_GE(first.size(), 3u);
}

}  // namespace
}  // namespace orv::test
