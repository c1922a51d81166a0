#include "favorites/list_file_dialog.h"

#include <filesystem>

#include "platform/files.h"

namespace orv {

namespace {

std::string FileNameOf(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

}  // namespace

ListFileStatus LoadListViewToFile(ListEntries& list, const std::string& path, Dialogs& dialogs,
                                  Gtk::Window* owner) {
  ListFileStatus status;
  ListFileRead read;
  if (!FileExists(path)) {
    status = ListFileStatus::kMissing;
  } else if (auto bytes = ReadFileBytes(path, kMaxListFileBytes)) {
    read = ParseListFile(*bytes);
    status = read.status;
  } else {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    status = !ec && size > kMaxListFileBytes ? ListFileStatus::kNotListFile
                                             : ListFileStatus::kUnreadable;
  }
  if (status == ListFileStatus::kLoaded || status == ListFileStatus::kTruncated) {
    list = std::move(read.entries);
  }
  if (status != ListFileStatus::kLoaded && status != ListFileStatus::kMissing) MarkDamaged(path);
  if (status == ListFileStatus::kLoaded) {
    SetListFileLoaded();
  } else {
    dialogs.MessageBox(owner, ListFileMessage(status, FileNameOf(path)), kListFileErrorCaption,
                       MsgButtons::kOk, MsgIcon::kError, MsgResult::kOk);
  }
  return status;
}

void SaveListViewToFile(const ListEntries& list, const std::string& path) {
  WriteFileAtomic(path, SerializeListFile(list));
}

}  // namespace orv
