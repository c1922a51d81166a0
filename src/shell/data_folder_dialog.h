// The message that the Orvindel folder cannot be written. Without it every
// save of the run would fail without a word.
#pragma once

#include <gtkmm.h>

#include <string>

#include "ui/dialogs.h"

namespace orv {

class DataFolderNotice {
 public:
  DataFolderNotice() = default;
  ~DataFolderNotice();
  DataFolderNotice(const DataFolderNotice&) = delete;
  DataFolderNotice& operator=(const DataFolderNotice&) = delete;

  // Checks that `folder` can be written and, when it cannot, tells the user
  // in a message box naming the folder and the reason: at once when `now`,
  // otherwise once start-up is over. Once per run; not while the program is
  // being ended (a logout must not wait for an answer).
  void Check(Dialogs& dialogs, Gtk::Window* parent, const std::string& folder, bool now);

  static std::string Text(const std::string& folder, const std::string& reason);

 private:
  void Tell(Dialogs& dialogs, Gtk::Window* parent, const std::string& text);

  bool told_ = false;
  bool queued_ = false;
};

}  // namespace orv
