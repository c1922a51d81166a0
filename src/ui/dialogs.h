// Message boxes, the question beep, the save and colour dialogs go through
// this service, so that a test can script the answers and read every text
// that was shown.
#pragma once

#include <gtkmm.h>

#include <string>

#include "common/color_dialog_state.h"

namespace orv {

enum class MsgButtons { kOk, kOkCancel, kYesNo };
enum class MsgIcon { kNone, kInformation, kWarning, kError, kStop, kQuestion };
enum class MsgResult { kOk, kCancel, kYes, kNo };

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
};

}  // namespace orv
