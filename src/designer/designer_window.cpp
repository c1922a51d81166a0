#include "designer/designer_window.h"

#include <glib.h>

#include <algorithm>
#include <set>

#include "app/app.h"
#include "common/text.h"
#include "pagetools/page_commands.h"
#include "platform/error_report.h"
#include "platform/files.h"
#include "shell/main_window.h"
#include "ui/services.h"

namespace orv {

namespace {

constexpr int kWidth = 940;
constexpr int kHeight = 570;
constexpr int kFontNameWidth = 199;
constexpr int kFontSizeWidth = 60;
constexpr char kNewPage[] = "about:blank ";
// What a closed designer keeps loaded: nothing of the page, whose scripts
// and sounds would otherwise go on in a hidden window.
constexpr char kClosedPage[] = "about:blank";
// Flat, tight toolbars: both fit a window of the designer's width.
constexpr char kCss[] = R"(
#ToolBar1, #ToolBar2 { padding: 1px 2px; }
#ToolBar1 button, #ToolBar2 button { padding: 3px; min-height: 0; min-width: 0; }
)";
constexpr const char* kFontSizes[] = {"1",  "2",  "3",  "4",  "5",  "6",  "7",
                                      "8",  "10", "12", "14", "16", "20", "26",
                                      "32", "37", "45", "60", "75", "90"};

// Glyphs for the form controls and the other insertions the icon theme has
// no picture of, drawn in the theme's symbolic style.
struct Glyph {
  std::string_view command;
  std::string_view shapes;
};
constexpr Glyph kGlyphs[] = {
    {"InsertButton", R"(<rect x="1.5" y="4.5" width="13" height="7" rx="2"/><path d="M5 8h6"/>)"},
    {"InsertHorizontalRule",
     R"(<path d="M1 8h14" stroke-width="2"/><path d="M3 3.5h10M3 12.5h10" opacity=".45"/>)"},
    {"InsertIFrame",
     R"(<rect x="1.5" y="1.5" width="13" height="13"/><rect x="4.5" y="5.5" width="7" height="6"/>)"},
    {"InsertInputFileUpload",
     R"(<rect x="1.5" y="10.5" width="13" height="4"/><path d="M8 8.5v-7M5 4.5l3-3 3 3"/>)"},
    {"InsertInputImage",
     R"(<rect x="1.5" y="3.5" width="13" height="9"/><path d="M3.5 11.5l3-4 2 2 2-3 2.5 5"/>)"},
    {"InsertInputPassword",
     R"(<rect x="1.5" y="4.5" width="13" height="7"/><circle cx="5" cy="8" r="1" fill="#2e3436"/><circle cx="8" cy="8" r="1" fill="#2e3436"/><circle cx="11" cy="8" r="1" fill="#2e3436"/>)"},
    {"InsertInputReset",
     R"(<rect x="1.5" y="4.5" width="13" height="7" rx="2"/><path d="M6 6l4 4M10 6l-4 4"/>)"},
    {"InsertInputSubmit",
     R"(<rect x="1.5" y="4.5" width="13" height="7" rx="2"/><path d="M5 8h5M8.5 6l2 2-2 2"/>)"},
    {"InsertInputText", R"(<rect x="1.5" y="4.5" width="13" height="7"/><path d="M4.5 6v4"/>)"},
    {"InsertMarquee",
     R"(<rect x="1.5" y="4.5" width="13" height="7"/><path d="M12 8H4.5M6.5 6l-2 2 2 2"/>)"},
    {"InsertParagraph", R"(<path d="M7.5 2.5v11M10.5 2.5v11M12 2.5H6.5a3 3 0 0 0 0 6h1"/>)"},
    {"InsertSelectDropdown",
     R"(<rect x="1.5" y="4.5" width="13" height="7"/><path d="M10.5 4.5v7"/><path d="M11.5 7l1 1.5 1-1.5z" fill="#2e3436"/>)"},
    {"InsertSelectListbox",
     R"(<rect x="1.5" y="1.5" width="13" height="13"/><path d="M11.5 1.5v13M3.5 4.5h6M3.5 7.5h6M3.5 10.5h6"/>)"},
    {"InsertTextArea",
     R"(<rect x="1.5" y="1.5" width="13" height="13"/><path d="M3.5 4.5h9M3.5 7.5h9M3.5 10.5h5M11 14l3-3"/>)"},
};

Glib::RefPtr<Gdk::Pixbuf> GlyphFor(std::string_view command) {
  for (const Glyph& glyph : kGlyphs) {
    if (glyph.command != command) continue;
    const std::string svg =
        R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" fill="none" )"
        R"(stroke="#2e3436" stroke-width="1">)" +
        std::string(glyph.shapes) + "</svg>";
    try {
      auto loader = Gdk::PixbufLoader::create("svg");
      loader->write(reinterpret_cast<const guint8*>(svg.data()), svg.size());
      loader->close();
      return loader->get_pixbuf();
    } catch (const Glib::Error&) {
      return {};
    }
  }
  return {};
}

// Insertions the icon theme has a picture of.
const char* ThemedIconFor(std::string_view command) {
  if (command == "InsertImage") return "insert-image-symbolic";
  if (command == "InsertInputCheckbox") return "checkbox-checked-symbolic";
  if (command == "InsertInputRadio") return "radio-checked-symbolic";
  if (command == "InsertOrderedList") return "view-list-ordered-symbolic";
  return nullptr;
}

// Toolbar 2, left to right: every insertion, gated, with the user interface.
struct Insertion {
  const char* hint;
  const char* command;
};
constexpr Insertion kInsertions[] = {
    {"Image", "InsertImage"},
    {"Button", "InsertButton"},
    {"Horizontal Rule", "InsertHorizontalRule"},
    {"Frame", "InsertIFrame"},
    {"Input Checkbox", "InsertInputCheckbox"},
    {"Input File Upload", "InsertInputFileUpload"},
    {"Input Image", "InsertInputImage"},
    {"Input Password", "InsertInputPassword"},
    {"Input Radio", "InsertInputRadio"},
    {"Input Reset", "InsertInputReset"},
    {"Input Submit", "InsertInputSubmit"},
    {"Input Text", "InsertInputText"},
    {"Marquee", "InsertMarquee"},
    {"Ordered List", "InsertOrderedList"},
    {"Paragraph", "InsertParagraph"},
    {"Select Dropdown", "InsertSelectDropdown"},
    {"Select Listbox", "InsertSelectListbox"},
    {"Text Area", "InsertTextArea"},
};

}  // namespace

Tfdesigner::Tfdesigner(App& app, Services& services)
    : SecondaryWindow(app, services, "Tfdesigner", kCaption), root(Gtk::ORIENTATION_VERTICAL) {
  set_default_size(kWidth, kHeight);
  set_resizable(true);
  set_position(Gtk::WIN_POS_CENTER_ON_PARENT);
  auto css = Gtk::CssProvider::create();
  css->load_from_data(kCss);
  Gtk::StyleContext::add_provider_for_screen(get_screen(), css,
                                             GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  // The system menu and maximise stay; minimise goes.
  signal_realize().connect([this] {
    get_window()->set_functions(Gdk::FUNC_ALL | Gdk::FUNC_MINIMIZE);
  });

  ToolBar1.set_name("ToolBar1");
  ToolBar2.set_name("ToolBar2");
  for (Gtk::Toolbar* bar : {&ToolBar1, &ToolBar2}) {
    bar->set_toolbar_style(Gtk::TOOLBAR_ICONS);
    bar->set_icon_size(Gtk::ICON_SIZE_SMALL_TOOLBAR);
    bar->set_show_arrow(true);
  }

  AddButton(ToolBar1, "New", "document-new-symbolic", [this] {
    RunGuarded([this] { wbrisi().Navigate(kNewPage); });
  });
  AddButton(ToolBar1, "Save As", "document-save-as-symbolic",
            [this] { Run("Saveas", true, EditValue::Integer(0)); });
  AddButton(ToolBar1, "Edit", "document-edit-symbolic", [this] { EditClick(); });
  AddButton(ToolBar1, "Preview", "view-reveal-symbolic", [this] { PreviewClick(); });
  AddSeparator(ToolBar1);
  AddButton(ToolBar1, "Refresh", "view-refresh-symbolic", [this] { akcija("refresh"); });
  AddButton(ToolBar1, "Text Foreground Color", "color-select-symbolic",
            [this] { ColorClick("forecolor"); });
  AddButton(ToolBar1, "Tex Background Color", "preferences-color-symbolic",
            [this] { ColorClick("BackColor"); });
  AddButton(ToolBar1, "Create Link", "insert-link-symbolic", [this] { akcija("createlink"); });
  AddSeparator(ToolBar1);
  AddButton(ToolBar1, "Print", "document-print-symbolic",
            [this] { Run("print", true, EditValue::Integer(0)); });
  AddButton(ToolBar1, "Select All", "edit-select-all-symbolic", [this] { akcija("SelectAll"); });
  AddButton(ToolBar1, "Cut", "edit-cut-symbolic", [this] { akcija("Cut"); });
  AddButton(ToolBar1, "Copy", "edit-copy-symbolic", [this] { akcija("Copy"); });
  AddButton(ToolBar1, "Paste", "edit-paste-symbolic", [this] { akcija("Paste"); });
  AddButton(ToolBar1, "Delete", "edit-delete-symbolic", [this] { akcija("Delete"); });
  AddSeparator(ToolBar1);
  AddButton(ToolBar1, "Justify Left", "format-justify-left-symbolic",
            [this] { akcija("JustifyLeft"); });
  AddButton(ToolBar1, "Justify Center", "format-justify-center-symbolic",
            [this] { akcija("JustifyCenter"); });
  // The name is sent as it stands; the document does not mind its case.
  AddButton(ToolBar1, "Justify Right", "format-justify-right-symbolic",
            [this] { akcija("Justifyright"); });
  AddSeparator(ToolBar1);

  fonts_ = Gtk::ListStore::create(font_columns_);
  FontName.set_model(fonts_);
  auto* renderer = Gtk::manage(new Gtk::CellRendererText());
  FontName.pack_start(*renderer, true);
  // Each name in its own typeface.
  FontName.add_attribute(renderer->property_text(), font_columns_.name);
  FontName.add_attribute(renderer->property_family(), font_columns_.name);
  FontName.set_tooltip_text("Font Name");
  FontName.signal_changed().connect([this] { FontNameChange(); });
  AddList(ToolBar1, FontName, kFontNameWidth);
  for (const char* size : kFontSizes) FontSize.append(size);
  FontSize.set_active(0);
  FontSize.set_tooltip_text("Font Size");
  FontSize.signal_changed().connect([this] { FontSizeChange(); });
  AddList(ToolBar1, FontSize, kFontSizeWidth);

  AddButton(ToolBar1, "Bold", "format-text-bold-symbolic", [this] { akcija("bold"); });
  AddButton(ToolBar1, "Italic", "format-text-italic-symbolic", [this] { akcija("italic"); });
  AddSeparator(ToolBar1);
  AddButton(ToolBar1, "Exit", "application-exit-symbolic", [this] { ExitClick(); });

  for (const Insertion& insertion : kInsertions) {
    AddGlyphButton(ToolBar2, insertion.hint, insertion.command);
  }

  root.pack_start(ToolBar1, Gtk::PACK_SHRINK);
  root.pack_start(ToolBar2, Gtk::PACK_SHRINK);
  add(root);
  root.show_all();
}

TWebBrowser& Tfdesigner::wbrisi() {
  // Made on first use: a designer nobody opens costs the start-up nothing.
  if (!wbrisi_) {
    wbrisi_ = std::make_unique<TWebBrowser>(services().engine->NewBackend());
    wbrisi_->SetSilent(true);
    wbrisi_->OnDocumentComplete = [this](TWebBrowser&) { wbrisiDocumentComplete(); };
    root.pack_start(*Glib::wrap(wbrisi_->Widget()), Gtk::PACK_EXPAND_WIDGET);
  }
  return *wbrisi_;
}

Tfdesigner::~Tfdesigner() {
  // The browser takes its widget out of the box before it goes.
  wbrisi_.reset();
}

void Tfdesigner::AddButton(Gtk::Toolbar& bar, const char* hint, const char* icon,
                           std::function<void()> run) {
  auto* button = Gtk::manage(new Gtk::ToolButton());
  button->set_icon_name(icon);
  button->set_label(hint);
  button->set_tooltip_text(hint);
  button->signal_clicked().connect([run = std::move(run)] { RunReported(run); });
  bar.append(*button);
  buttons_.emplace_back(hint, button);
}

void Tfdesigner::AddGlyphButton(Gtk::Toolbar& bar, const char* hint, std::string_view command) {
  const std::string name(command);
  AddButton(bar, hint, "", [this, name] { akcija(name); });
  Gtk::ToolButton* button = buttons_.back().second;
  if (const char* themed = ThemedIconFor(command)) {
    button->set_icon_name(themed);
  } else if (Glib::RefPtr<Gdk::Pixbuf> glyph = GlyphFor(command)) {
    button->set_icon_widget(*Gtk::manage(new Gtk::Image(glyph)));
  }
}

void Tfdesigner::AddSeparator(Gtk::Toolbar& bar) {
  bar.append(*Gtk::manage(new Gtk::SeparatorToolItem()));
}

void Tfdesigner::AddList(Gtk::Toolbar& bar, Gtk::Widget& list, int width) {
  auto* item = Gtk::manage(new Gtk::ToolItem());
  list.set_size_request(width, -1);
  list.set_valign(Gtk::ALIGN_CENTER);
  item->add(list);
  item->set_margin_start(2);
  item->set_margin_end(2);
  bar.append(*item);
}

Gtk::ToolButton* Tfdesigner::Button(std::string_view hint) {
  for (const auto& [name, button] : buttons_) {
    if (name == hint) return button;
  }
  return nullptr;
}

void Tfdesigner::Open(const std::string& address) {
  // The activation's agent: it goes to the browser before the page is asked
  // for, so that the page comes as the chosen agent would get it.
  wbrisi().SetUserAgent(app().MainForm().CurrentUserAgent);
  RunGuarded([&] { wbrisi().Navigate(address); });
  set_title(std::string(kCaption) + " " + address);
  ShowModal(&app().MainForm());
  // Nothing is kept: the next opening loads its page afresh.
  edit_mode_ = false;
  RunGuarded([this] { wbrisi().Navigate(kClosedPage); });
}

void Tfdesigner::BeforeShow() {
  edit_mode_ = false;
  FillFonts();
}

void Tfdesigner::AfterShow() {
  services().dialogs->QuestionBeep();
  const MsgResult answer = services().dialogs->MessageBox(
      this, "Start Editing ?", kCaption, MsgButtons::kYesNo, MsgIcon::kQuestion, MsgResult::kYes);
  if (answer == MsgResult::kYes) EditClick();
}

void Tfdesigner::FillFonts() {
  // The families as the system has them, each name once, in alphabetical
  // order as font lists are shown.
  std::vector<Glib::ustring> names;
  std::set<Glib::ustring> seen;
  for (const Glib::RefPtr<Pango::FontFamily>& family : get_pango_context()->list_families()) {
    const Glib::ustring name = family->get_name();
    if (!name.empty() && seen.insert(name).second) names.push_back(name);
  }
  std::sort(names.begin(), names.end(), [](const Glib::ustring& a, const Glib::ustring& b) {
    return a.casefold_collate_key() < b.casefold_collate_key();
  });
  filling_ = true;
  // The list's menu holds a row drawn in its own face for every family:
  // it is made again only when the fonts have changed.
  if (names != font_names_) {
    fonts_->clear();
    for (const Glib::ustring& name : names) (*fonts_->append())[font_columns_.name] = name;
    font_names_ = std::move(names);
  }
  FontName.set_active(0);
  filling_ = false;
}

void Tfdesigner::EditClick() {
  edit_mode_ = true;
  ApplyDesignMode();
}

void Tfdesigner::PreviewClick() {
  edit_mode_ = false;
  if (!wbrisi().HasDocument()) return;
  try {
    wbrisi().SetDesignMode(false);
  } catch (const EngineError& e) {
    ShowError(e.what());
  }
}

void Tfdesigner::ApplyDesignMode() {
  // A page still on its way is made editable once it is there.
  if (!edit_mode_ || !wbrisi().HasDocument()) return;
  try {
    wbrisi().SetDesignMode(true);
  } catch (const EngineError& e) {
    ShowError(e.what());
  }
}

void Tfdesigner::wbrisiDocumentComplete() {
  // A document that replaces the edited one (New, Refresh, a link) is
  // edited as well while the edit mode is on.
  if (Showing()) ApplyDesignMode();
}

void Tfdesigner::akcija(const std::string& command) {
  if (!edit_mode_) return;
  Run(command, true, EditValue::Integer(0));
}

void Tfdesigner::Run(const std::string& command, bool show_ui, const EditValue& value) {
  try {
    wbrisi().ExecCommand(command, show_ui, value, *this);
  } catch (const EngineError& e) {
    ShowError(e.what());
  } catch (const FileError& e) {
    ShowError(e.what());
  }
}

void Tfdesigner::ShowError(const std::string& text) {
  services().dialogs->MessageBox(this, text, kCaption, MsgButtons::kOk, MsgIcon::kError,
                                 MsgResult::kOk);
}

void Tfdesigner::ColorClick(const std::string& command) {
  if (!edit_mode_) return;
  // The main window's colour dialog: it opens on the last colour chosen
  // here or for the progress bar.
  ColorDialogState& state = app().MainForm().ColorDialog;
  if (!services().dialogs->ChooseColor(this, state)) return;
  Run(command, false, EditValue::Integer(state.color));
}

void Tfdesigner::FontNameChange() {
  if (filling_ || !edit_mode_) return;
  const Gtk::TreeModel::iterator row = FontName.get_active();
  if (!row) return;
  const Glib::ustring name = (*row)[font_columns_.name];
  Run("FontName", false, EditValue::Text(name));
}

void Tfdesigner::FontSizeChange() {
  if (filling_ || !edit_mode_) return;
  const std::optional<int> size = ParseInteger(FontSize.get_active_text().raw());
  if (size) Run("Fontsize", false, EditValue::Integer(*size));
}

bool Tfdesigner::FormCloseQuery() {
  services().dialogs->QuestionBeep();
  return services().dialogs->MessageBox(this, "Close designer ?", kCaption, MsgButtons::kYesNo,
                                        MsgIcon::kQuestion, MsgResult::kYes) == MsgResult::kYes;
}

void Tfdesigner::ExitClick() {
  if (Showing() && FormCloseQuery()) EndModal(ModalResult::kOk);
}

bool Tfdesigner::on_delete_event(GdkEventAny*) {
  ExitClick();
  return true;
}

bool Tfdesigner::on_key_press_event(GdkEventKey* event) {
  // Escape belongs to the page being edited; only Exit and the close box
  // close the designer.
  return Gtk::Window::on_key_press_event(event);
}

std::optional<std::string> Tfdesigner::AskAddress(const std::string& command) {
  const bool image = AsciiLower(command) == "insertimage";
  return services().dialogs->InputText(this, image ? "Image" : "Create Link",
                                       image ? "Image address:" : "Link address:", "");
}

std::string Tfdesigner::AskSavePath(const std::string& uri) {
  static const std::vector<FileFilter> filters = {
      {"Web Page, HTML only (*.htm, *.html)", {"*.htm", "*.html"}}};
  return services()
      .dialogs->SaveFile(this, "Save As", SuggestedSaveName(uri, ".htm"), filters)
      .path;
}

void Tfdesigner::PrintFailed(const std::string& error) {
  ShowError(error.empty() ? "Error While Printing" : "Error While Printing: " + error);
}

}  // namespace orv
