// Print preview: the pages exactly as the engine prints them. The engine
// prints the page into a PDF file of its own, and a window shows that file
// in a browser of its own.
#pragma once

#include <gtk/gtk.h>

#include <memory>
#include <string>

#include "engine/browser_backend.h"

namespace orv {

class TWebBrowser;

class PrintPreviewWindow {
 public:
  // `viewer` is the engine that shows the PDF.
  explicit PrintPreviewWindow(std::unique_ptr<BrowserBackend> viewer);
  ~PrintPreviewWindow();
  PrintPreviewWindow(const PrintPreviewWindow&) = delete;
  PrintPreviewWindow& operator=(const PrintPreviewWindow&) = delete;

  // Shows `pdf_path`, which the window now owns: it deletes the file, and
  // the folder it is in, once another preview replaces it or the window goes.
  void Show(GtkWindow* parent, const std::string& caption, const std::string& pdf_path);
  void Close();
  bool Visible() const;

  GtkWidget* window() const { return window_; }
  TWebBrowser& Viewer() { return *viewer_; }
  const std::string& PdfPath() const { return pdf_path_; }

 private:
  void DropPdf();

  GtkWidget* window_;
  std::unique_ptr<TWebBrowser> viewer_;
  std::string pdf_path_;
};

// A new private folder for one preview's PDF; empty when none can be made.
std::string MakePreviewFolder();

}  // namespace orv
