#include "engine/find_dialog.h"

#include <memory>

#include "engine/web_browser.h"
#include "platform/error_report.h"

namespace orv {

FindDialog::FindDialog(TWebBrowser& browser)
    : browser_(browser), self_(std::make_shared<FindDialog*>(this)) {
  window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  g_object_ref_sink(window_);
  gtk_window_set_title(GTK_WINDOW(window_), "Find");
  gtk_window_set_type_hint(GTK_WINDOW(window_), GDK_WINDOW_TYPE_HINT_DIALOG);
  gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
  gtk_container_set_border_width(GTK_CONTAINER(window_), 8);

  GtkWidget* grid = gtk_grid_new();
  gtk_grid_set_row_spacing(GTK_GRID(grid), 6);
  gtk_grid_set_column_spacing(GTK_GRID(grid), 8);
  gtk_container_add(GTK_CONTAINER(window_), grid);

  GtkWidget* label = gtk_label_new_with_mnemonic("Fi_nd what:");
  find_what_ = gtk_entry_new();
  gtk_entry_set_width_chars(GTK_ENTRY(find_what_), 28);
  gtk_entry_set_activates_default(GTK_ENTRY(find_what_), TRUE);
  gtk_label_set_mnemonic_widget(GTK_LABEL(label), find_what_);
  GtkWidget* next = gtk_button_new_with_mnemonic("_Find Next");
  GtkWidget* close = gtk_button_new_with_mnemonic("_Close");
  gtk_widget_set_can_default(next, TRUE);
  match_case_ = gtk_check_button_new_with_mnemonic("Match _case");
  whole_word_ = gtk_check_button_new_with_mnemonic("Match _whole word only");
  GtkWidget* direction = gtk_frame_new("Direction");
  GtkWidget* box = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
  up_ = gtk_radio_button_new_with_mnemonic(nullptr, "_Up");
  down_ = gtk_radio_button_new_with_mnemonic_from_widget(GTK_RADIO_BUTTON(up_), "_Down");
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(down_), TRUE);
  gtk_box_pack_start(GTK_BOX(box), up_, FALSE, FALSE, 4);
  gtk_box_pack_start(GTK_BOX(box), down_, FALSE, FALSE, 4);
  gtk_container_add(GTK_CONTAINER(direction), box);
  status_ = gtk_label_new("");
  gtk_label_set_xalign(GTK_LABEL(status_), 0);

  gtk_grid_attach(GTK_GRID(grid), label, 0, 0, 1, 1);
  gtk_grid_attach(GTK_GRID(grid), find_what_, 1, 0, 2, 1);
  gtk_grid_attach(GTK_GRID(grid), next, 3, 0, 1, 1);
  gtk_grid_attach(GTK_GRID(grid), match_case_, 0, 1, 2, 1);
  gtk_grid_attach(GTK_GRID(grid), direction, 2, 1, 1, 2);
  gtk_grid_attach(GTK_GRID(grid), close, 3, 1, 1, 1);
  gtk_grid_attach(GTK_GRID(grid), whole_word_, 0, 2, 2, 1);
  gtk_grid_attach(GTK_GRID(grid), status_, 0, 3, 4, 1);
  gtk_window_set_default(GTK_WINDOW(window_), next);

  g_signal_connect_swapped(next, "clicked", G_CALLBACK(+[](FindDialog* d) {
                             RunReported([&] { d->FindNext(); });
                           }),
                           this);
  g_signal_connect_swapped(close, "clicked", G_CALLBACK(+[](FindDialog* d) { d->Close(); }), this);
  g_signal_connect(window_, "delete-event", G_CALLBACK(+[](GtkWidget*, GdkEvent*, FindDialog* d) {
                     d->Close();
                     return TRUE;
                   }),
                   this);
  g_signal_connect(window_, "key-press-event",
                   G_CALLBACK(+[](GtkWidget*, GdkEventKey* e, FindDialog* d) -> gboolean {
                     if (e->keyval != GDK_KEY_Escape) return FALSE;
                     d->Close();
                     return TRUE;
                   }),
                   this);
}

FindDialog::~FindDialog() {
  *self_ = nullptr;
  gtk_widget_destroy(window_);
  g_object_unref(window_);
}

void FindDialog::Show() {
  GtkWidget* top = gtk_widget_get_toplevel(browser_.Widget());
  if (GTK_IS_WINDOW(top)) {
    gtk_window_set_transient_for(GTK_WINDOW(window_), GTK_WINDOW(top));
    // Centred on the browser's window at every showing, like every other
    // dialog, even when that window has moved since the last one.
    int left = 0, top_y = 0, width = 0, height = 0;
    gtk_window_get_position(GTK_WINDOW(top), &left, &top_y);
    gtk_window_get_size(GTK_WINDOW(top), &width, &height);
    GtkRequisition size;
    gtk_widget_show_all(gtk_bin_get_child(GTK_BIN(window_)));
    gtk_widget_get_preferred_size(window_, nullptr, &size);
    gtk_window_move(GTK_WINDOW(window_), left + (width - size.width) / 2,
                    top_y + (height - size.height) / 2);
  }
  gtk_widget_show_all(window_);
  gtk_window_present(GTK_WINDOW(window_));
  gtk_widget_grab_focus(find_what_);
  gtk_editable_select_region(GTK_EDITABLE(find_what_), 0, -1);
}

void FindDialog::Close() {
  gtk_widget_hide(window_);
  browser_.Backend().FindFinish();
}

bool FindDialog::Visible() const { return gtk_widget_get_visible(window_); }

void FindDialog::FindNext() {
  FindRequest request;
  request.text = gtk_entry_get_text(GTK_ENTRY(find_what_));
  if (request.text.empty()) return;
  request.match_case = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(match_case_));
  request.whole_word = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(whole_word_));
  request.backwards = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(up_));
  std::weak_ptr<FindDialog*> weak = self_;
  const std::string text = request.text;
  browser_.Backend().FindText(request, [weak, text](bool found) {
    auto alive = weak.lock();
    if (!alive || !*alive) return;
    // Plain text: what the user typed is never read as markup.
    const std::string status = found ? "Found" : "Cannot find \"" + text + "\"";
    gtk_label_set_text(GTK_LABEL((*alive)->status_), status.c_str());
  });
}

std::string FindDialog::Status() const { return gtk_label_get_text(GTK_LABEL(status_)); }

}  // namespace orv
