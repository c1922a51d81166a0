#include "shell/data_folder_dialog.h"

#include "platform/deferred.h"
#include "platform/files.h"
#include "platform/main_loop.h"

namespace orv {

namespace {
constexpr char kCaption[] = "Orvindel";
}  // namespace

DataFolderNotice::~DataFolderNotice() { ForgetDeferred(this); }

std::string DataFolderNotice::Text(const std::string& folder, const std::string& reason) {
  std::string shown = folder;
  while (shown.size() > 1 && shown.back() == '/') shown.pop_back();
  return "Your settings cannot be saved: the folder \"" + shown + "\" cannot be written (" +
         reason + ").\r\rOrvindel goes on, but what you change in this session will not be kept.";
}

void DataFolderNotice::Check(Dialogs& dialogs, Gtk::Window* parent, const std::string& folder,
                             bool now) {
  if (told_ || queued_) return;
  const std::string reason = FolderWriteProblem(folder);
  if (reason.empty()) return;
  const std::string text = Text(folder, reason);
  if (now) {
    Tell(dialogs, parent, text);
    return;
  }
  queued_ = true;
  RunWhenUnwound(this, [this, &dialogs, parent, text] {
    queued_ = false;
    Tell(dialogs, parent, text);
  });
}

void DataFolderNotice::Tell(Dialogs& dialogs, Gtk::Window* parent, const std::string& text) {
  if (told_ || IsTerminating()) return;
  told_ = true;
  dialogs.MessageBox(parent, text, kCaption, MsgButtons::kOk, MsgIcon::kWarning, MsgResult::kOk);
}

}  // namespace orv
