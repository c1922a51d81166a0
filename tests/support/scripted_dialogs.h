// Dialogs that answer from a queue and remember every text they showed.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "ui/dialogs.h"

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
  std::string SaveFileName(Gtk::Window*, const std::string& title,
                           const std::string& suggested_name) override {
    save_requests.push_back(title + ": " + suggested_name);
    std::string answer;
    if (!save_answers.empty()) {
      answer = save_answers.front();
      save_answers.pop_front();
    }
    return answer;
  }
  bool ChooseColor(Gtk::Window*, ColorDialogState& state) override {
    ++color_requests;
    if (color_answers.empty()) return false;
    state.color = color_answers.front();
    color_answers.pop_front();
    return true;
  }
  int color_requests = 0;
  std::deque<uint32_t> color_answers;  // empty: cancelled
  FileChoice OpenFile(Gtk::Window*, const std::string& title,
                      const std::vector<FileFilter>& filters) override {
    file_requests.push_back({"open", title, "", filters});
    return NextFile();
  }
  FileChoice SaveFile(Gtk::Window*, const std::string& title, const std::string& suggested_name,
                      const std::vector<FileFilter>& filters) override {
    file_requests.push_back({"save", title, suggested_name, filters});
    return NextFile();
  }
  struct FileRequest {
    std::string kind;  // "open" or "save"
    std::string title;
    std::string suggested_name;
    std::vector<FileFilter> filters;
  };
  std::vector<FileRequest> file_requests;
  std::deque<FileChoice> file_answers;  // empty: cancelled

  std::optional<std::string> InputText(Gtk::Window*, const std::string& caption,
                                       const std::string& prompt,
                                       const std::string& initial) override {
    input_requests.push_back(caption + ": " + prompt + " [" + initial + "]");
    if (input_answers.empty()) return std::nullopt;
    std::string answer = input_answers.front();
    input_answers.pop_front();
    return answer;
  }
  std::vector<std::string> input_requests;
  std::deque<std::string> input_answers;  // empty: cancelled

  std::vector<std::string> save_requests;
  std::deque<std::string> save_answers;  // empty: cancelled

  std::vector<Shown> shown;

 private:
  FileChoice NextFile() {
    if (file_answers.empty()) return {};
    FileChoice answer = file_answers.front();
    file_answers.pop_front();
    return answer;
  }

 public:
  std::deque<MsgResult> answers;  // empty: the default button
  int beeps = 0;
};

}  // namespace orv::test
