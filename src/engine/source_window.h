// The page's source: a read-only window showing the main resource as the
// server sent it, monospaced and highlighted as HTML, with the address in
// its caption and a find bar on Ctrl+F.
#pragma once

#include <gtk/gtk.h>

#include <string>

typedef struct _GtkSourceSearchContext GtkSourceSearchContext;

namespace orv {

class SourceWindow {
 public:
  SourceWindow();
  ~SourceWindow();
  SourceWindow(const SourceWindow&) = delete;
  SourceWindow& operator=(const SourceWindow&) = delete;

  // Shows `text`, the source of the page at `address`, over `parent`.
  void Show(GtkWindow* parent, const std::string& address, const std::string& text);
  void Close();
  bool Visible() const;

  // Opens the find bar with the keyboard in it (Ctrl+F).
  void ShowFindBar();
  // Selects the next match of `text` after the cursor, wrapping around.
  // Answers whether there is one.
  bool FindNext(const std::string& text);

  GtkWidget* window() const { return window_; }
  GtkTextView* view() const { return GTK_TEXT_VIEW(view_); }
  GtkEntry* find_entry() const { return GTK_ENTRY(find_entry_); }
  GtkSearchBar* find_bar() const { return GTK_SEARCH_BAR(find_bar_); }
  std::string Text() const;
  // The selected text: the last match found.
  std::string SelectedText() const;
  // The name of the highlighting in use, "html".
  std::string LanguageId() const;

 private:
  GtkWidget* window_;
  GtkWidget* view_;
  GtkWidget* find_bar_;
  GtkWidget* find_entry_;
  GtkWidget* find_status_;
  GtkSourceSearchContext* search_;
};

}  // namespace orv
