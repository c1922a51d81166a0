#include "ui/dialogs.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/main_loop.h"

namespace orv {

namespace {

// Shows `dialog` and waits, with the program's events running, for its
// answer: the response, or none when the program is ending.
int RunDialog(Gtk::Dialog& dialog) {
  int response = Gtk::RESPONSE_NONE;
  bool answered = false;
  dialog.signal_response().connect([&](int r) {
    response = r;
    answered = true;
  });
  dialog.show();
  WaitUntil([&] { return answered; });
  dialog.hide();
  return response;
}

Gtk::MessageType TypeFor(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::kInformation:
      return Gtk::MESSAGE_INFO;
    case MsgIcon::kWarning:
      return Gtk::MESSAGE_WARNING;
    case MsgIcon::kError:
    case MsgIcon::kStop:
      return Gtk::MESSAGE_ERROR;
    case MsgIcon::kQuestion:
      return Gtk::MESSAGE_QUESTION;
    case MsgIcon::kNone:
      break;
  }
  return Gtk::MESSAGE_OTHER;
}

int ResponseFor(MsgResult r) {
  switch (r) {
    case MsgResult::kOk:
      return Gtk::RESPONSE_OK;
    case MsgResult::kCancel:
      return Gtk::RESPONSE_CANCEL;
    case MsgResult::kYes:
      return Gtk::RESPONSE_YES;
    case MsgResult::kNo:
      return Gtk::RESPONSE_NO;
  }
  return Gtk::RESPONSE_OK;
}

}  // namespace

MsgResult GtkDialogs::MessageBox(Gtk::Window* parent, const std::string& text,
                                 const std::string& caption, MsgButtons buttons, MsgIcon icon,
                                 MsgResult default_result) {
  // Texts written for the old platform break lines with CR.
  std::string shown;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      shown += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      shown += text[i];
    }
  }
  // use_markup false: the text may come from a page and is shown as it is.
  Gtk::MessageDialog dialog(shown, /*use_markup=*/false, TypeFor(icon), Gtk::BUTTONS_NONE,
                            /*modal=*/true);
  if (parent) dialog.set_transient_for(*parent);
  dialog.set_title(caption);
  switch (buttons) {
    case MsgButtons::kOk:
      dialog.add_button("_OK", Gtk::RESPONSE_OK);
      break;
    case MsgButtons::kOkCancel:
      dialog.add_button("_OK", Gtk::RESPONSE_OK);
      dialog.add_button("_Cancel", Gtk::RESPONSE_CANCEL);
      break;
    case MsgButtons::kYesNo:
      dialog.add_button("_Yes", Gtk::RESPONSE_YES);
      dialog.add_button("_No", Gtk::RESPONSE_NO);
      break;
  }
  dialog.set_default_response(ResponseFor(default_result));
  // GTK 3 shows no icon in message boxes by itself; the icon tells a
  // question from an error at a glance.
  const char* icon_name = icon == MsgIcon::kError || icon == MsgIcon::kStop ? "dialog-error"
                          : icon == MsgIcon::kWarning                       ? "dialog-warning"
                          : icon == MsgIcon::kInformation                   ? "dialog-information"
                          : icon == MsgIcon::kQuestion                      ? "dialog-question"
                                                                            : nullptr;
  Gtk::Image image;
  if (icon_name) {
    image.set_from_icon_name(icon_name, Gtk::ICON_SIZE_DIALOG);
    image.show();
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    dialog.set_image(image);
    G_GNUC_END_IGNORE_DEPRECATIONS
  }
  // Waited for in the waiting loop rather than a loop of its own, so that a
  // closing application (logout, kill) ends the question too.
  switch (RunDialog(dialog)) {
    case Gtk::RESPONSE_OK:
      return MsgResult::kOk;
    case Gtk::RESPONSE_YES:
      return MsgResult::kYes;
    case Gtk::RESPONSE_NO:
      return MsgResult::kNo;
    default:
      // The close box counts as the negative answer.
      return buttons == MsgButtons::kYesNo ? MsgResult::kNo
             : buttons == MsgButtons::kOk  ? MsgResult::kOk
                                           : MsgResult::kCancel;
  }
}

namespace {

// A file chooser over `parent` with "Cancel" and `accept`, the default.
void PrepareChooser(Gtk::FileChooserDialog& dialog, Gtk::Window* parent, const char* accept) {
  if (parent) dialog.set_transient_for(*parent);
  dialog.set_modal(true);
  dialog.add_button("_Cancel", Gtk::RESPONSE_CANCEL);
  dialog.add_button(accept, Gtk::RESPONSE_ACCEPT);
  dialog.set_default_response(Gtk::RESPONSE_ACCEPT);
}

// A save chooser that asks before a file is replaced and offers only the
// last part of a suggested name, which came from a server or a page: never
// a path of its own.
void PrepareSave(Gtk::FileChooserDialog& dialog, Gtk::Window* parent,
                 const std::string& suggested_name, const char* fallback_name,
                 GUserDirectory folder) {
  PrepareChooser(dialog, parent, "_Save");
  dialog.set_do_overwrite_confirmation(true);
  dialog.set_current_name(
      Glib::path_get_basename(suggested_name.empty() ? fallback_name : suggested_name));
  if (const char* path = g_get_user_special_dir(folder)) dialog.set_current_folder(path);
}

}  // namespace

std::string GtkDialogs::SaveFileName(Gtk::Window* parent, const std::string& title,
                                     const std::string& suggested_name) {
  Gtk::FileChooserDialog dialog(title, Gtk::FILE_CHOOSER_ACTION_SAVE);
  PrepareSave(dialog, parent, suggested_name, "download", G_USER_DIRECTORY_DOWNLOAD);
  return RunDialog(dialog) == Gtk::RESPONSE_ACCEPT ? std::string(dialog.get_filename())
                                                    : std::string();
}

namespace {

// Answers the chosen file with the filter selected at that moment.
FileChoice RunFileDialog(Gtk::FileChooserDialog& dialog,
                         const std::vector<Glib::RefPtr<Gtk::FileFilter>>& filters) {
  FileChoice choice;
  if (RunDialog(dialog) != Gtk::RESPONSE_ACCEPT) return choice;
  choice.path = dialog.get_filename();
  const Glib::RefPtr<Gtk::FileFilter> selected = dialog.get_filter();
  for (size_t i = 0; i < filters.size(); ++i) {
    if (filters[i] == selected) choice.filter = static_cast<int>(i);
  }
  return choice;
}

std::vector<Glib::RefPtr<Gtk::FileFilter>> AddFilters(Gtk::FileChooserDialog& dialog,
                                                      const std::vector<FileFilter>& filters) {
  std::vector<Glib::RefPtr<Gtk::FileFilter>> added;
  for (const FileFilter& f : filters) {
    auto filter = Gtk::FileFilter::create();
    filter->set_name(f.name);
    for (const std::string& pattern : f.patterns) filter->add_pattern(pattern);
    dialog.add_filter(filter);
    added.push_back(filter);
  }
  if (!added.empty()) dialog.set_filter(added.front());
  return added;
}

}  // namespace

FileChoice GtkDialogs::OpenFile(Gtk::Window* parent, const std::string& title,
                                const std::vector<FileFilter>& filters) {
  Gtk::FileChooserDialog dialog(title, Gtk::FILE_CHOOSER_ACTION_OPEN);
  PrepareChooser(dialog, parent, "_Open");
  const auto added = AddFilters(dialog, filters);
  return RunFileDialog(dialog, added);
}

FileChoice GtkDialogs::SaveFile(Gtk::Window* parent, const std::string& title,
                                const std::string& suggested_name,
                                const std::vector<FileFilter>& filters) {
  Gtk::FileChooserDialog dialog(title, Gtk::FILE_CHOOSER_ACTION_SAVE);
  PrepareSave(dialog, parent, suggested_name, "page", G_USER_DIRECTORY_DOCUMENTS);
  const auto added = AddFilters(dialog, filters);
  return RunFileDialog(dialog, added);
}

namespace {

Gdk::RGBA ToRgba(uint32_t color) {
  Gdk::RGBA rgba;
  rgba.set_rgba_u((color & 0xFF) * 257, ((color >> 8) & 0xFF) * 257, ((color >> 16) & 0xFF) * 257);
  return rgba;
}

uint32_t FromRgba(const Gdk::RGBA& rgba) {
  auto channel = [](double v) {
    return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
  };
  return channel(rgba.get_red()) | channel(rgba.get_green()) << 8 | channel(rgba.get_blue()) << 16;
}

}  // namespace

bool GtkDialogs::ChooseColor(Gtk::Window* parent, ColorDialogState& state) {
  Gtk::ColorChooserDialog dialog;
  if (parent) dialog.set_transient_for(*parent);
  dialog.set_modal(true);
  dialog.set_use_alpha(false);
  std::vector<Gdk::RGBA> custom;
  for (uint32_t c : state.custom_colors) custom.push_back(ToRgba(c));
  dialog.add_palette(Gtk::ORIENTATION_HORIZONTAL, 8, custom);
  dialog.set_rgba(ToRgba(state.color));
  // A dialog the user left fully open opens with its editor again.
  dialog.property_show_editor() = state.full_open;
  if (RunDialog(dialog) != Gtk::RESPONSE_OK) return false;
  state.color = FromRgba(dialog.get_rgba());
  return true;
}

void GtkDialogs::QuestionBeep() {
  if (auto display = Gdk::Display::get_default()) display->beep();
}

std::optional<std::string> GtkDialogs::InputText(Gtk::Window* parent, const std::string& caption,
                                                 const std::string& prompt,
                                                 const std::string& initial) {
  Gtk::Dialog dialog(caption, /*modal=*/true);
  if (parent) dialog.set_transient_for(*parent);
  dialog.set_resizable(false);
  dialog.add_button("Cancel", Gtk::RESPONSE_CANCEL);
  dialog.add_button("OK", Gtk::RESPONSE_OK);
  dialog.set_default_response(Gtk::RESPONSE_OK);
  Gtk::Label label(prompt);
  label.set_xalign(0);
  Gtk::Entry entry;
  entry.set_text(initial);
  entry.set_activates_default(true);
  entry.set_width_chars(48);
  Gtk::Box* area = dialog.get_content_area();
  area->set_border_width(10);
  area->set_spacing(6);
  area->pack_start(label, Gtk::PACK_SHRINK);
  area->pack_start(entry, Gtk::PACK_SHRINK);
  area->show_all();
  if (RunDialog(dialog) != Gtk::RESPONSE_OK) return std::nullopt;
  return entry.get_text();
}

}  // namespace orv
