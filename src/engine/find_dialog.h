// The engine's own find dialog over one browser: find what, match case,
// whole word, up or down, find next, close. The engine searches and
// highlights the match.
#pragma once

#include <gtk/gtk.h>

#include <memory>
#include <string>

namespace orv {

class TWebBrowser;

class FindDialog {
 public:
  explicit FindDialog(TWebBrowser& browser);
  ~FindDialog();
  FindDialog(const FindDialog&) = delete;
  FindDialog& operator=(const FindDialog&) = delete;

  // Shows the dialog over the browser's window with the text selected.
  void Show();
  void Close();
  bool Visible() const;
  // Searches for the next match in the chosen direction.
  void FindNext();

  // The controls, for the keyboard and for tests.
  GtkWidget* window() const { return window_; }
  GtkEntry* find_what() const { return GTK_ENTRY(find_what_); }
  GtkToggleButton* match_case() const { return GTK_TOGGLE_BUTTON(match_case_); }
  GtkToggleButton* whole_word() const { return GTK_TOGGLE_BUTTON(whole_word_); }
  GtkToggleButton* up() const { return GTK_TOGGLE_BUTTON(up_); }
  // What the last search found: "" while none ran.
  std::string Status() const;

 private:
  TWebBrowser& browser_;
  GtkWidget* window_;
  GtkWidget* find_what_;
  GtkWidget* match_case_;
  GtkWidget* whole_word_;
  GtkWidget* up_;
  GtkWidget* down_;
  GtkWidget* status_;
  // Answers that arrive after the dialog is gone find this cleared.
  std::shared_ptr<FindDialog*> self_;
};

}  // namespace orv
