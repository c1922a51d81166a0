#include "engine/edit_commands.h"

#include <cstdio>

#include "common/text.h"

namespace orv {

namespace {

// Form controls and the other elements WebKit's documents cannot insert by
// name. insertHTML would drop form controls as it drops them from pasted
// markup, so the element goes into the document itself. Buttons, marquees
// and text areas carry a word, so that they can be seen and clicked.
struct InsertedElement {
  std::string_view command;  // lower case
  std::string_view markup;
};
constexpr InsertedElement kInsertedElements[] = {
    {"insertbutton", "<button type=\"button\">Button</button>"},
    {"insertmarquee", "<marquee>Marquee</marquee>"},
    {"insertiframe", "<iframe></iframe>"},
    {"insertinputcheckbox", "<input type=\"checkbox\">"},
    {"insertinputfileupload", "<input type=\"file\">"},
    {"insertinputimage", "<input type=\"image\" alt=\"\">"},
    {"insertinputpassword", "<input type=\"password\">"},
    {"insertinputradio", "<input type=\"radio\">"},
    {"insertinputreset", "<input type=\"reset\">"},
    {"insertinputsubmit", "<input type=\"submit\">"},
    {"insertinputtext", "<input type=\"text\">"},
    {"insertselectdropdown", "<select></select>"},
    {"insertselectlistbox", "<select multiple size=\"4\"></select>"},
    {"inserttextarea", "<textarea>Text Area</textarea>"},
};

std::string ValueText(const EditValue& value) {
  return value.is_text ? value.text : std::to_string(value.number);
}

}  // namespace

std::string CssColor(int64_t color) {
  const auto c = static_cast<uint32_t>(color);
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
  return text;
}

EditPlan PlanEditCommand(std::string_view name, bool show_ui, const EditValue& value) {
  const std::string key = AsciiLower(name);
  EditPlan plan;
  plan.name = std::string(name);
  if (key == "saveas") {
    plan.action = EditAction::kSaveAs;
    return plan;
  }
  if (key == "print") {
    plan.action = EditAction::kPrint;
    return plan;
  }
  if (key == "refresh") {
    plan.action = EditAction::kReload;
    return plan;
  }
  if (key == "cut" || key == "copy" || key == "paste") {
    // A page's script may not touch the clipboard; the engine's own
    // commands may, as a menu's would.
    plan.action = EditAction::kClipboard;
    plan.name = key == "cut" ? "Cut" : key == "copy" ? "Copy" : "Paste";
    return plan;
  }
  for (const InsertedElement& element : kInsertedElements) {
    if (key == element.command) {
      plan.action = EditAction::kInsertElement;
      plan.value = std::string(element.markup);
      return plan;
    }
  }
  if (key == "forecolor" || key == "backcolor") {
    plan.value = value.is_text ? value.text : CssColor(value.number);
    return plan;
  }
  if (key == "createlink" || key == "insertimage") {
    // With the user interface the address is asked for; without it the
    // value is the address.
    plan.asks_address = show_ui || !value.is_text;
    plan.value = plan.asks_address ? "" : value.text;
    return plan;
  }
  // Other commands take their value as text; the integer 0 that commands
  // without a value are given means nothing to them.
  const bool takes_value = key == "fontname" || key == "fontsize";
  plan.value = takes_value ? ValueText(value) : "";
  return plan;
}

}  // namespace orv
