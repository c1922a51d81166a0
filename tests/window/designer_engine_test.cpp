// The page designer over the real engine, against a local server: the
// document really becomes editable, the commands really change its markup,
// and Save As writes the document as edited.
#include <gtest/gtest.h>
#include <libsoup/soup.h>

#include "designer/designer_window.h"
#include "engine/webkit_backend.h"
#include "local_server.h"
#include "platform/error_report.h"
#include "shell/main_window.h"
#include "window_fixture.h"

namespace orv::test {
namespace {

// Declares Latin-1 and holds an "é" in it: the saved file must be UTF-8
// and say so.
constexpr char kPage[] =
    "<!DOCTYPE html><html><head><meta charset=\"iso-8859-1\"><title>Edit</title></head>"
    "<body><p id=\"p\">Caf\xe9 <span id=\"w\">world</span></p></body></html>";

class DesignerEngineTest : public WindowTest {
 protected:
  DesignerEngineTest()
      : server_([](SoupServerMessage* msg, const std::string& path) {
          if (path != "/edit.html") {
            soup_server_message_set_status(msg, 404, nullptr);
            return;
          }
          soup_server_message_set_status(msg, 200, nullptr);
          soup_server_message_set_response(msg, "text/html", SOUP_MEMORY_STATIC, kPage,
                                           sizeof kPage - 1);
        }) {}
  void SetUp() override {
    WindowTest::SetUp();
    ConfigureWebEngine("");
    services_.engine = &engine_;
  }
  Tfdesigner& Designer() { return app_->fdesigner(); }
  std::string Eval(const std::string& script) {
    return EvaluateInPage(Designer().wbrisi(), script);
  }
  void Press(const char* hint) {
    Gtk::ToolButton* button = Designer().Button(hint);
    ASSERT_NE(button, nullptr) << hint;
    g_signal_emit_by_name(button->gobj(), "clicked");
  }
  std::string Body() {
    std::string body;
    RunGuarded([&] { body = Designer().wbrisi().BodyHtml(); });
    return body;
  }

  WebKitEngine engine_;
  LocalServer server_;
};

TEST_F(DesignerEngineTest, CommandsEditTheDocumentInPlaceAndSaveAsWritesTheEditedMarkup) {
  StartApp({server_.Url("/edit.html")});
  const std::string saved = root_ + "/edited.htm";
  bool ran = false;
  dialogs_.answers = {MsgResult::kYes};
  // Whatever fails inside, the designer is closed afterwards.
  const auto edit = [&] {
    ASSERT_TRUE(Pump([&] { return Eval("document.designMode + document.readyState") ==
                                  "oncomplete"; },
                     30000));
    ran = true;
    // Bold on a selection.
    Eval("const r = document.createRange();"
         "r.selectNodeContents(document.getElementById('w'));"
         "getSelection().removeAllRanges(); getSelection().addRange(r);");
    Press("Bold");
    // A button at the caret, at the end of the paragraph.
    Eval("getSelection().collapse(document.getElementById('p'), "
         "document.getElementById('p').childNodes.length);");
    Press("Button");
    // The lower-case r of Justifyright is no obstacle.
    Press("Justify Right");
    const std::string body = Body();
    EXPECT_NE(body.find("<b>world</b>"), std::string::npos) << body;
    const size_t button = body.find("<button type=\"button\">Button</button>");
    EXPECT_NE(button, std::string::npos) << body;
    EXPECT_LT(body.find("world"), button) << body;
    EXPECT_NE(body.find("text-align: right"), std::string::npos) << body;
    EXPECT_EQ(dialogs_.shown.size(), 1u);

    // A name the document does not know is refused and shown; editing goes on.
    Designer().akcija("NoSuchCommand");
    ASSERT_EQ(dialogs_.shown.size(), 2u);
    EXPECT_EQ(dialogs_.shown[1].icon, MsgIcon::kError);
    EXPECT_EQ(Eval("document.designMode"), "on");

    dialogs_.file_answers = {{saved, 0}};
    Press("Save As");
  };
  Glib::signal_idle().connect_once([&] {
    edit();
    dialogs_.answers = {MsgResult::kYes};
    Designer().ExitClick();
  });
  app_->MainForm().WYSIWYGDesignerdevelopmentversion1Click();
  ASSERT_TRUE(ran);
  const std::string file = ReadFile(saved);
  EXPECT_TRUE(file.starts_with("<!DOCTYPE html>\n<html>")) << file;
  EXPECT_NE(file.find("<meta charset=\"utf-8\">"), std::string::npos) << file;
  EXPECT_EQ(file.find("iso-8859-1"), std::string::npos) << file;
  EXPECT_NE(file.find("Caf\xc3\xa9"), std::string::npos) << file;
  EXPECT_NE(file.find("<b>world</b>"), std::string::npos) << file;
  EXPECT_NE(file.find("<button type=\"button\">Button</button>"), std::string::npos) << file;
}

}  // namespace
}  // namespace orv::test
