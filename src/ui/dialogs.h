// Message boxes, the question beep, the save and colour dialogs go through
// this service, so that a test can script the answers and read every text
// that was shown.
#pragma once

#include <gtkmm.h>

#include <optional>
#include <string>
#include <vector>

#include "common/color_dialog_state.h"

namespace orv {

enum class MsgButtons { kOk, kOkCancel, kYesNo };
enum class MsgIcon { kNone, kInformation, kWarning, kError, kStop, kQuestion };
enum class MsgResult { kOk, kCancel, kYes, kNo };

// One row of a file dialog's filter list.
struct FileFilter {
  std::string name;
  std::vector<std::string> patterns;
};

// The file chosen in a file dialog (empty when cancelled) and the index of
// the filter that was selected then (-1 when none).
struct FileChoice {
  std::string path;
  int filter = -1;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A modal message box over `parent` (may be null).
  virtual MsgResult MessageBox(Gtk::Window* parent, const std::string& text,
                               const std::string& caption, MsgButtons buttons, MsgIcon icon,
                               MsgResult default_result) = 0;
  // The sound that precedes every question.
  virtual void QuestionBeep() = 0;
  // A save dialog offering `suggested_name`; the chosen path, or empty.
  virtual std::string SaveFileName(Gtk::Window* parent, const std::string& title,
                                   const std::string& suggested_name) = 0;
  // The colour dialog, opened on `state`'s colour and custom colours. On OK
  // the chosen colour goes into `state` and the answer is true.
  virtual bool ChooseColor(Gtk::Window* parent, ColorDialogState& state) = 0;
  // An open dialog with `filters`, the first one selected. A Dialogs
  // without file dialogs answers as if the user cancelled.
  virtual FileChoice OpenFile(Gtk::Window* parent, const std::string& title,
                              const std::vector<FileFilter>& filters) {
    return {};
  }
  // A save dialog with `filters` offering the base name of
  // `suggested_name`; it asks before a file is replaced.
  virtual FileChoice SaveFile(Gtk::Window* parent, const std::string& title,
                              const std::string& suggested_name,
                              const std::vector<FileFilter>& filters) {
    return {};
  }
  // A small modal dialog asking for one line of text, opened on `initial`;
  // the text, or nullopt when the user cancels. A Dialogs without it
  // answers as if the user cancelled.
  virtual std::optional<std::string> InputText(Gtk::Window* parent, const std::string& caption,
                                               const std::string& prompt,
                                               const std::string& initial) {
    return std::nullopt;
  }
};

// Real message boxes over GTK.
class GtkDialogs final : public Dialogs {
 public:
  MsgResult MessageBox(Gtk::Window* parent, const std::string& text, const std::string& caption,
                       MsgButtons buttons, MsgIcon icon, MsgResult default_result) override;
  void QuestionBeep() override;
  std::string SaveFileName(Gtk::Window* parent, const std::string& title,
                           const std::string& suggested_name) override;
  bool ChooseColor(Gtk::Window* parent, ColorDialogState& state) override;
  FileChoice OpenFile(Gtk::Window* parent, const std::string& title,
                      const std::vector<FileFilter>& filters) override;
  FileChoice SaveFile(Gtk::Window* parent, const std::string& title,
                      const std::string& suggested_name,
                      const std::vector<FileFilter>& filters) override;
  std::optional<std::string> InputText(Gtk::Window* parent, const std::string& caption,
                                       const std::string& prompt,
                                       const std::string& initial) override;
};

}  // namespace orv
