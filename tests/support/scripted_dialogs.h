// Dialogs that answer from a queue and remember every text they showed.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "app/dialogs.h"

namespace orv::test {

class ScriptedDialogs final : public Dialogs {
 public:
  struct Shown {
    std::string text;
    std::string caption;
    MsgButtons buttons;
    MsgIcon icon;
  };

  MsgResult MessageBox(Gtk::Window* parent, const std::string& text, const std::string& caption,
                       MsgButtons buttons, MsgIcon icon, MsgResult default_result) override;
  void QuestionBeep() override { ++beeps; }

  std::vector<Shown> shown;
  std::deque<MsgResult> answers;  // empty: the default button
  int beeps = 0;
};

}  // namespace orv::test
