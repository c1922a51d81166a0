// Tfdesigner: the page designer. The current page is loaded again into the
// designer's own browser, whose document is switched into design mode and
// edited in place with the toolbar's commands. Created hidden at start-up,
// always shown modally.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/edit_commands.h"
#include "engine/web_browser.h"
#include "ui/secondary_window.h"

namespace orv {

class Tfdesigner : public SecondaryWindow, private EditCommandHost {
 public:
  static constexpr char kCaption[] = "Orvindel Designer";

  Tfdesigner(App& app, Services& services);
  ~Tfdesigner() override;

  // Loads `address` (the main window's address text) into the designer's
  // browser and shows the window until it is closed.
  void Open(const std::string& address);

  // The gated command: does nothing while the edit mode is off, otherwise
  // runs `command` on the document with the user interface and the value 0.
  void akcija(const std::string& command);
  // Edit: the document into design mode and the gate open; Preview: both
  // off again, the edits staying on the page.
  void EditClick();
  void PreviewClick();
  // The two colour commands: the shared colour dialog first.
  void ColorClick(const std::string& command);
  void FontNameChange();
  void FontSizeChange();
  // Asks "Close designer ?" and closes on Yes.
  void ExitClick();

  bool EditMode() const { return edit_mode_; }
  TWebBrowser& wbrisi();
  // The toolbar button with `hint`, for the tests and the accessibility
  // tools; null when there is none.
  Gtk::ToolButton* Button(std::string_view hint);

  Gtk::Box root;
  Gtk::Toolbar ToolBar1;
  Gtk::Toolbar ToolBar2;
  Gtk::ComboBox FontName;
  Gtk::ComboBoxText FontSize;

 private:
  class FontColumns : public Gtk::TreeModelColumnRecord {
   public:
    FontColumns() { add(name); }
    Gtk::TreeModelColumn<Glib::ustring> name;
  };

  void AddButton(Gtk::Toolbar& bar, const char* hint, const char* icon, std::function<void()> run);
  void AddGlyphButton(Gtk::Toolbar& bar, const char* hint, std::string_view command);
  void AddSeparator(Gtk::Toolbar& bar);
  void AddList(Gtk::Toolbar& bar, Gtk::Widget& list, int width);
  void FillFonts();
  // Runs a command without the gate; a refusal is shown, the mode stays.
  void Run(const std::string& command, bool show_ui, const EditValue& value);
  void ShowError(const std::string& text);
  void ApplyDesignMode();
  bool FormCloseQuery();
  void wbrisiDocumentComplete();

  void BeforeShow() override;
  void AfterShow() override;
  bool on_delete_event(GdkEventAny* event) override;
  bool on_key_press_event(GdkEventKey* event) override;

  std::optional<std::string> AskAddress(const std::string& command) override;
  std::string AskSavePath(const std::string& uri) override;
  GtkWindow* DialogParent() override { return gobj(); }
  void PrintFailed(const std::string& error) override;

  std::unique_ptr<TWebBrowser> wbrisi_;
  FontColumns font_columns_;
  Glib::RefPtr<Gtk::ListStore> fonts_;
  std::vector<Glib::ustring> font_names_;
  std::vector<std::pair<std::string, Gtk::ToolButton*>> buttons_;
  bool edit_mode_ = false;
  // The lists are being filled or reset: their changes are no choice.
  bool filling_ = false;
};

}  // namespace orv
