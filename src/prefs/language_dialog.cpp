#include "prefs/language_dialog.h"

#include <filesystem>

#include "app/app.h"
#include "prefs/download_languages_window.h"
#include "prefs/languages.h"
#include "shell/main_window.h"
#include "ui/services.h"

namespace orv {

Tfjezik::Tfjezik(App& app, Services& services)
    : SecondaryWindow(app, services, "Tfjezik", "Language"),
      bb2("Download Languages"),
      English("English"),
      bb1("Cancel"),
      box_(Gtk::ORIENTATION_VERTICAL, 6) {
  FixedDialog();
  set_default_size(370, 462);
  set_border_width(6);
  buttons_.set_layout(Gtk::BUTTONBOX_END);
  buttons_.set_spacing(6);
  buttons_.pack_start(bb2);
  buttons_.pack_start(English);
  buttons_.pack_start(bb1);
  box_.pack_start(lb, Gtk::PACK_EXPAND_WIDGET);
  box_.pack_start(buttons_, Gtk::PACK_SHRINK);
  add(box_);
  box_.show_all();
  lb.OnActivate = [this](const std::string& name) { Choose(name); };
  bb2.signal_clicked().connect([this] { bb2Click(); });
  English.signal_clicked().connect([this] { Choose(""); });
  bb1.signal_clicked().connect([this] { EndModal(ModalResult::kCancel); });
}

void Tfjezik::ListInstalledLanguages() {
  std::vector<std::string> files;
  std::error_code ec;
  for (const auto& entry :
       std::filesystem::directory_iterator(services().folders.OrvindelDir(), ec)) {
    files.push_back(entry.path().filename().string());
  }
  lb.SetItems(InstalledLanguages(files));
}

std::vector<std::string> Tfjezik::Items() const { return lb.Items(); }

void Tfjezik::Execute(Gtk::Window* parent) { ShowModal(parent); }

void Tfjezik::Choose(const std::string& name) {
  TMainForm& main = app().MainForm();
  main.Settings.Language = name;
  main.CurrentLanguageFile =
      name.empty() ? "" : services().folders.OrvindelDir() + name + kLanguageExtension;
  main.mainjezik();
  EndModal(ModalResult::kOk);
}

void Tfjezik::bb2Click() { app().fdl().Execute(this); }

}  // namespace orv
