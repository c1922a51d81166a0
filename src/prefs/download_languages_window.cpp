#include "prefs/download_languages_window.h"

#include <glib.h>

#include <filesystem>

#include "app/app.h"
#include "platform/files.h"
#include "prefs/language_dialog.h"
#include "prefs/languages.h"
#include "shell/main_window.h"
#include "ui/services.h"

namespace orv {

namespace {
// A language list is a few lines; a larger file is not one.
constexpr size_t kMaxLanguageList = 1024 * 1024;
}  // namespace

Tfdl::Tfdl(App& app, Services& services)
    : SecondaryWindow(app, services, "Tfdl", "Download Languages"),
      bb1("Close"),
      box_(Gtk::ORIENTATION_VERTICAL, 6) {
  FixedDialog();
  set_default_size(329, 489);
  set_border_width(6);
  bb1.set_halign(Gtk::ALIGN_END);
  box_.pack_start(lb, Gtk::PACK_EXPAND_WIDGET);
  box_.pack_start(bb1, Gtk::PACK_SHRINK);
  add(box_);
  box_.show_all();
  lb.OnActivate = [this](const std::string& name) { lbDblClick(name); };
  bb1.signal_clicked().connect([this] { EndModal(ModalResult::kCancel); });
}

std::string Tfdl::ServerBase() {
  const std::string& setting = app().MainForm().Settings.LanguageServer;
  if (!setting.empty()) return setting;
  // The language files the program ships: beside an installed program in
  // share/orvindel, in a build tree in its own share/orvindel.
  const std::string program = services().folders.program_dir;
  for (const std::string& folder : {program + "../share/orvindel", program + "share/orvindel"}) {
    std::error_code ec;
    if (std::filesystem::is_directory(folder + "/Language", ec)) {
      gchar* uri = g_filename_to_uri(std::filesystem::weakly_canonical(folder).c_str(), nullptr,
                                     nullptr);
      std::string address = uri ? uri : "";
      g_free(uri);
      return address;
    }
  }
  return "";
}

std::vector<std::string> Tfdl::Items() const { return lb.Items(); }

void Tfdl::ShowList() {
  const auto bytes =
      ReadFileBytes(services().folders.OrvindelDir() + kLanguageListFile, kMaxLanguageList);
  if (!bytes) return;
  std::vector<std::string> names;
  for (const std::string& name : ParseLanguageList(*bytes)) {
    // A name that cannot be a file name of the user's folder is not offered.
    if (IsSafeLanguageName(name)) names.push_back(name);
  }
  lb.SetItems(names);
}

void Tfdl::DownloadFailed() {
  services().dialogs->MessageBox(this, "Error in file download.", "Orvindel", MsgButtons::kOk,
                                 MsgIcon::kNone, MsgResult::kOk);
}

void Tfdl::FormActivate() {
  const std::string base = ServerBase();
  if (!base.empty() &&
      services().http->DownloadToFile(LanguageAddress(base, "Language/languages.lng"),
                                      services().folders.OrvindelDir() + kLanguageListFile)) {
    ShowList();
  } else {
    DownloadFailed();
  }
}

void Tfdl::lbDblClick(const std::string& name) {
  if (!IsSafeLanguageName(name)) return;
  const std::string file = name + kLanguageExtension;
  const std::string base = ServerBase();
  if (!base.empty() &&
      services().http->DownloadToFile(LanguageAddress(base, "Language/" + file),
                                      services().folders.OrvindelDir() + file)) {
    ShowList();
  } else {
    DownloadFailed();
  }
  EndModal(ModalResult::kOk);
}

void Tfdl::Execute(Gtk::Window* parent) {
  ShowModal(parent);
  // Closed by a download, by "Close" or by its close box: the language
  // dialog underneath shows what is installed now.
  app().fjezik().ListInstalledLanguages();
}

}  // namespace orv
