#include "scripted_dialogs.h"

namespace orv::test {

MsgResult ScriptedDialogs::MessageBox(Gtk::Window*, const std::string& text,
                                      const std::string& caption, MsgButtons buttons, MsgIcon icon,
                                      MsgResult default_result) {
  shown.push_back({text, caption, buttons, icon});
  if (answers.empty()) return default_result;
  const MsgResult answer = answers.front();
  answers.pop_front();
  return answer;
}

}  // namespace orv::test
