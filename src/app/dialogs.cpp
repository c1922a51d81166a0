#include "app/dialogs.h"

namespace orv {

namespace {

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
  switch (dialog.run()) {
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

void GtkDialogs::QuestionBeep() {
  if (auto display = Gdk::Display::get_default()) display->beep();
}

}  // namespace orv
