#include "engine/source_window.h"

#include <gtksourceview/gtksource.h>

namespace orv {

namespace {

GtkSourceBuffer* BufferOf(GtkWidget* view) {
  return GTK_SOURCE_BUFFER(gtk_text_view_get_buffer(GTK_TEXT_VIEW(view)));
}

}  // namespace

SourceWindow::SourceWindow() {
  window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  g_object_ref_sink(window_);
  gtk_window_set_default_size(GTK_WINDOW(window_), 820, 600);

  GtkSourceLanguage* html =
      gtk_source_language_manager_get_language(gtk_source_language_manager_get_default(), "html");
  GtkSourceBuffer* buffer =
      html ? gtk_source_buffer_new_with_language(html) : gtk_source_buffer_new(nullptr);
  gtk_source_buffer_set_highlight_syntax(buffer, TRUE);
  view_ = gtk_source_view_new_with_buffer(buffer);
  g_object_unref(buffer);
  gtk_text_view_set_editable(GTK_TEXT_VIEW(view_), FALSE);
  gtk_text_view_set_monospace(GTK_TEXT_VIEW(view_), TRUE);
  gtk_source_view_set_show_line_numbers(GTK_SOURCE_VIEW(view_), TRUE);

  GtkSourceSearchSettings* settings = gtk_source_search_settings_new();
  gtk_source_search_settings_set_wrap_around(settings, TRUE);
  search_ = gtk_source_search_context_new(buffer, settings);
  g_object_unref(settings);

  find_entry_ = gtk_search_entry_new();
  gtk_entry_set_width_chars(GTK_ENTRY(find_entry_), 30);
  find_status_ = gtk_label_new("");
  GtkWidget* find_box = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 8);
  gtk_box_pack_start(GTK_BOX(find_box), find_entry_, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(find_box), find_status_, FALSE, FALSE, 0);
  find_bar_ = gtk_search_bar_new();
  gtk_search_bar_set_show_close_button(GTK_SEARCH_BAR(find_bar_), TRUE);
  gtk_container_add(GTK_CONTAINER(find_bar_), find_box);
  gtk_search_bar_connect_entry(GTK_SEARCH_BAR(find_bar_), GTK_ENTRY(find_entry_));

  GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_container_add(GTK_CONTAINER(scroller), view_);
  GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  gtk_box_pack_start(GTK_BOX(box), find_bar_, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(box), scroller, TRUE, TRUE, 0);
  gtk_container_add(GTK_CONTAINER(window_), box);

  // Enter and every change of the text search from the cursor on.
  auto find = +[](GtkEntry* entry, SourceWindow* w) { w->FindNext(gtk_entry_get_text(entry)); };
  g_signal_connect(find_entry_, "activate", G_CALLBACK(find), this);
  g_signal_connect(find_entry_, "search-changed", G_CALLBACK(find), this);
  g_signal_connect(window_, "delete-event", G_CALLBACK(+[](GtkWidget*, GdkEvent*, SourceWindow* w) {
                     w->Close();
                     return TRUE;
                   }),
                   this);
  g_signal_connect(window_, "key-press-event",
                   G_CALLBACK(+[](GtkWidget*, GdkEventKey* e, SourceWindow* w) -> gboolean {
                     const bool ctrl = e->state & GDK_CONTROL_MASK;
                     if (ctrl && gdk_keyval_to_lower(e->keyval) == GDK_KEY_f) {
                       w->ShowFindBar();
                       return TRUE;
                     }
                     if (ctrl && e->keyval == GDK_KEY_g) {
                       w->FindNext(gtk_entry_get_text(w->find_entry()));
                       return TRUE;
                     }
                     return FALSE;
                   }),
                   this);
}

SourceWindow::~SourceWindow() {
  g_object_unref(search_);
  gtk_widget_destroy(window_);
  g_object_unref(window_);
}

void SourceWindow::Show(GtkWindow* parent, const std::string& address, const std::string& text) {
  gtk_window_set_title(GTK_WINDOW(window_), address.c_str());
  if (parent) gtk_window_set_transient_for(GTK_WINDOW(window_), parent);
  GtkTextBuffer* buffer = GTK_TEXT_BUFFER(BufferOf(view_));
  // Loading the text is not an edit the user could undo.
  gtk_source_buffer_begin_not_undoable_action(GTK_SOURCE_BUFFER(buffer));
  gtk_text_buffer_set_text(buffer, text.data(), static_cast<int>(text.size()));
  gtk_source_buffer_end_not_undoable_action(GTK_SOURCE_BUFFER(buffer));
  GtkTextIter start;
  gtk_text_buffer_get_start_iter(buffer, &start);
  gtk_text_buffer_place_cursor(buffer, &start);
  gtk_label_set_text(GTK_LABEL(find_status_), "");
  gtk_widget_show_all(window_);
  gtk_window_present(GTK_WINDOW(window_));
  gtk_widget_grab_focus(view_);
}

void SourceWindow::Close() { gtk_widget_hide(window_); }

bool SourceWindow::Visible() const { return gtk_widget_get_visible(window_); }

void SourceWindow::ShowFindBar() {
  gtk_search_bar_set_search_mode(GTK_SEARCH_BAR(find_bar_), TRUE);
  gtk_widget_grab_focus(find_entry_);
}

bool SourceWindow::FindNext(const std::string& text) {
  GtkSourceSearchSettings* settings = gtk_source_search_context_get_settings(search_);
  gtk_source_search_settings_set_search_text(settings, text.empty() ? nullptr : text.c_str());
  if (text.empty()) {
    gtk_label_set_text(GTK_LABEL(find_status_), "");
    return false;
  }
  GtkTextBuffer* buffer = GTK_TEXT_BUFFER(BufferOf(view_));
  // From the end of the current match, so that Enter moves on to the next.
  GtkTextIter from, ignored;
  gtk_text_buffer_get_selection_bounds(buffer, &ignored, &from);
  GtkTextIter match_start, match_end;
  gboolean wrapped = FALSE;
  const bool found =
      gtk_source_search_context_forward(search_, &from, &match_start, &match_end, &wrapped);
  if (found) {
    gtk_text_buffer_select_range(buffer, &match_start, &match_end);
    gtk_text_view_scroll_to_iter(GTK_TEXT_VIEW(view_), &match_start, 0.1, FALSE, 0, 0);
  }
  // Plain text: what the user typed is never read as markup.
  const std::string status = found ? "" : "Cannot find \"" + text + "\"";
  gtk_label_set_text(GTK_LABEL(find_status_), status.c_str());
  return found;
}

std::string SourceWindow::Text() const {
  GtkTextBuffer* buffer = GTK_TEXT_BUFFER(BufferOf(view_));
  GtkTextIter start, end;
  gtk_text_buffer_get_bounds(buffer, &start, &end);
  gchar* text = gtk_text_buffer_get_text(buffer, &start, &end, FALSE);
  std::string out = text ? text : "";
  g_free(text);
  return out;
}

std::string SourceWindow::SelectedText() const {
  GtkTextBuffer* buffer = GTK_TEXT_BUFFER(BufferOf(view_));
  GtkTextIter start, end;
  if (!gtk_text_buffer_get_selection_bounds(buffer, &start, &end)) return "";
  gchar* text = gtk_text_buffer_get_text(buffer, &start, &end, FALSE);
  std::string out = text ? text : "";
  g_free(text);
  return out;
}

std::string SourceWindow::LanguageId() const {
  GtkSourceLanguage* language = gtk_source_buffer_get_language(BufferOf(view_));
  return language ? gtk_source_language_get_id(language) : "";
}

}  // namespace orv
