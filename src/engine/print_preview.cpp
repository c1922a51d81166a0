#include "engine/print_preview.h"

#include <glib/gstdio.h>

#include "engine/web_browser.h"

namespace orv {

PrintPreviewWindow::PrintPreviewWindow(std::unique_ptr<BrowserBackend> viewer)
    : viewer_(std::make_unique<TWebBrowser>(std::move(viewer))) {
  window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  g_object_ref_sink(window_);
  gtk_window_set_default_size(GTK_WINDOW(window_), 760, 860);
  gtk_container_add(GTK_CONTAINER(window_), viewer_->Widget());
  g_signal_connect(window_, "delete-event",
                   G_CALLBACK(+[](GtkWidget*, GdkEvent*, PrintPreviewWindow* w) {
                     w->Close();
                     return TRUE;
                   }),
                   this);
  g_signal_connect(window_, "key-press-event",
                   G_CALLBACK(+[](GtkWidget*, GdkEventKey* e, PrintPreviewWindow* w) -> gboolean {
                     if (e->keyval != GDK_KEY_Escape) return FALSE;
                     w->Close();
                     return TRUE;
                   }),
                   this);
}

PrintPreviewWindow::~PrintPreviewWindow() {
  if (GtkWidget* child = gtk_bin_get_child(GTK_BIN(window_))) {
    gtk_container_remove(GTK_CONTAINER(window_), child);
  }
  viewer_.reset();
  gtk_widget_destroy(window_);
  g_object_unref(window_);
  DropPdf();
}

void PrintPreviewWindow::Show(GtkWindow* parent, const std::string& caption,
                              const std::string& pdf_path) {
  if (pdf_path != pdf_path_) DropPdf();
  pdf_path_ = pdf_path;
  gtk_window_set_title(GTK_WINDOW(window_), caption.c_str());
  if (parent) gtk_window_set_transient_for(GTK_WINDOW(window_), parent);
  viewer_->Navigate(pdf_path_);
  gtk_widget_show_all(window_);
  gtk_window_present(GTK_WINDOW(window_));
}

void PrintPreviewWindow::Close() { gtk_widget_hide(window_); }

bool PrintPreviewWindow::Visible() const { return gtk_widget_get_visible(window_); }

void PrintPreviewWindow::DropPdf() {
  if (pdf_path_.empty()) return;
  g_unlink(pdf_path_.c_str());
  gchar* folder = g_path_get_dirname(pdf_path_.c_str());
  g_rmdir(folder);
  g_free(folder);
  pdf_path_.clear();
}

std::string MakePreviewFolder() {
  gchar* dir = g_dir_make_tmp("orvindel-preview-XXXXXX", nullptr);
  if (!dir) return "";
  std::string out = dir;
  g_free(dir);
  return out;
}

}  // namespace orv
