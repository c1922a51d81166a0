// Named editing commands on a document in design mode, as the designer
// sends them: the name with its letter case, a show-UI flag and a value.
// WebKit's documents know most of the names; the rest are given their
// meaning here: an element inserted at the caret, a save of the edited
// document, a print, a reload.
#pragma once

#include <gtk/gtk.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orv {

// What a command is given: an integer (colours are red + 256 × green +
// 65536 × blue) or a text.
struct EditValue {
  static EditValue Integer(int64_t number) { return {false, number, {}}; }
  static EditValue Text(std::string text) { return {true, 0, std::move(text)}; }
  bool is_text = false;
  int64_t number = 0;
  std::string text;
};

enum class EditAction {
  kDocumentCommand,  // the document's own execCommand
  kClipboard,        // the engine's Cut, Copy and Paste, which pages may not run
  kInsertElement,    // the element of `value` at the caret, replacing a selection
  kSaveAs,           // write the edited document to a file the user picks
  kPrint,            // the print dialog
  kReload,           // load the page again
};

struct EditPlan {
  EditAction action = EditAction::kDocumentCommand;
  // The name the document or the engine runs, and its value as text.
  std::string name;
  std::string value;
  // The command needs an address the user is asked for (a link, an image).
  bool asks_address = false;
};

// Looks the name up without regard to case, as the document does; a name
// nobody knows goes to the document as it stands, which then refuses it.
EditPlan PlanEditCommand(std::string_view name, bool show_ui, const EditValue& value);

// "#rrggbb" of a colour given as red + 256 × green + 65536 × blue.
std::string CssColor(int64_t color);

// What a command needs from the window that sends it.
class EditCommandHost {
 public:
  virtual ~EditCommandHost() = default;
  // The address for `command` (createlink, InsertImage); nullopt when the
  // user cancels.
  virtual std::optional<std::string> AskAddress(const std::string& command) = 0;
  // Where the edited document of the page at `uri` goes; "" when the user
  // cancels.
  virtual std::string AskSavePath(const std::string& uri) = 0;
  // The window the print dialog belongs to; may be null.
  virtual GtkWindow* DialogParent() = 0;
  // A print that failed after the dialog (a cancelled one is no failure).
  virtual void PrintFailed(const std::string& error) = 0;
};

}  // namespace orv
