#include "favorites/favorites_window.h"

#include "app/app.h"
#include "ui/services.h"
#include "engine/web_browser.h"
#include "favorites/add_favorite_dialog.h"
#include "favorites/add_system_favorite_dialog.h"
#include "favorites/edit_favorite_dialog.h"
#include "favorites/favorites_menu_widget.h"
#include "favorites/list_file_dialog.h"
#include "platform/deferred.h"
#include "platform/error_report.h"
#include "platform/files.h"
#include "platform/main_loop.h"
#include "shell/main_window.h"

namespace orv {

namespace {

constexpr char kFavoritesFile[] = "2favlist.ovf";
constexpr char kCaption[] = "Orvindel";

constexpr char kListCss[] =
    "treeview.view { background-color: rgb(250, 250, 245); color: navy; font-size: 13px; }\n"
    "treeview.view:selected { background-color: @theme_selected_bg_color;"
    " color: @theme_selected_fg_color; }\n";

void SetButton(Gtk::Button& button, const char* label, const char* icon) {
  button.set_label(label);
  button.set_use_underline(true);
  button.set_image_from_icon_name(icon, Gtk::ICON_SIZE_BUTTON);
  button.set_always_show_image(true);
}

}  // namespace

Tffavorit::Tffavorit(App& app, Services& services)
    : SecondaryWindow(app, services, "Tffavorit", "Orvindel - Bookmarks"),
      root(Gtk::ORIENTATION_VERTICAL) {
  FavoritesFolder = TFavoritesMenu::DefaultFolder();
  set_default_size(685, 591);
  set_keep_above(true);
  set_transient_for(app.MainForm());
  set_position(Gtk::WIN_POS_CENTER_ON_PARENT);

  store = Gtk::ListStore::create(columns);
  tabela.set_model(store);
  tabela.get_selection()->set_mode(Gtk::SELECTION_SINGLE);
  tabela.set_enable_search(false);
  tabela.set_headers_clickable(true);
  const char* titles[] = {"Bookmarks", "URL"};
  for (int i = 0; i < 2; ++i) {
    auto* renderer = Gtk::manage(new Gtk::CellRendererText());
    renderer->property_ellipsize() = Pango::ELLIPSIZE_END;
    auto* column = Gtk::manage(new Gtk::TreeViewColumn(titles[i], *renderer));
    column->add_attribute(renderer->property_text(), i == 0 ? columns.caption : columns.url);
    column->set_sizing(Gtk::TREE_VIEW_COLUMN_FIXED);
    column->set_fixed_width(399);
    column->set_resizable(true);
    column->set_clickable(true);
    column->set_cell_data_func(*renderer, [this](Gtk::CellRenderer* cell,
                                                 const Gtk::TreeModel::iterator& it) {
      const int index = store->get_path(it)[0];
      cell->property_cell_background_rgba() = index % 2 ? odd_row_ : even_row_;
    });
    const FavoritesColumn which = i == 0 ? FavoritesColumn::kBookmarks : FavoritesColumn::kUrl;
    column->signal_clicked().connect(
        [this, which] { RunReported([&] { tabelaColumnClick(which); }); });
    tabela.append_column(*column);
  }
  // Every row has the same height: the list draws at once even when it
  // holds tens of thousands of favorites.
  tabela.set_fixed_height_mode(true);
  auto css = Gtk::CssProvider::create();
  css->load_from_data(kListCss);
  tabela.get_style_context()->add_provider(css, GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  odd_row_.set_rgba_u(241 * 257, 241 * 257, 228 * 257);
  if (!tabela.get_style_context()->lookup_color("theme_base_color", even_row_)) {
    even_row_.set_rgba(1, 1, 1);
  }
  tabela.signal_button_press_event().connect(sigc::mem_fun(*this, &Tffavorit::TabelaButtonPress),
                                             false);
  // Enter on a row opens it, as a double click does.
  tabela.signal_row_activated().connect(
      [this](const Gtk::TreeModel::Path&, Gtk::TreeViewColumn*) {
        RunReported([&] { tabelaDblClick(); });
      });

  scroll.set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
  scroll.set_shadow_type(Gtk::SHADOW_IN);
  scroll.add(tabela);
  scroll.set_margin_start(6);
  scroll.set_margin_end(6);
  scroll.set_margin_top(6);

  SetButton(BitBtn3, "_Remove", "list-remove");
  SetButton(BitBtn4, "_Edit", "document-edit");
  SetButton(BitBtn2, "_Add to Bookmarks", "bookmark-new");
  SetButton(BitBtn1, "_Close", "window-close");
  BitBtn3.signal_clicked().connect([this] { RunReported([&] { BitBtn3Click(); }); });
  BitBtn4.signal_clicked().connect([this] { RunReported([&] { BitBtn4Click(); }); });
  BitBtn2.signal_clicked().connect([this] { RunReported([&] { BitBtn2Click(); }); });
  BitBtn1.signal_clicked().connect([this] { RunReported([&] { BitBtn1Click(); }); });
  bottom.set_layout(Gtk::BUTTONBOX_END);
  bottom.set_spacing(6);
  bottom.set_border_width(6);
  for (Gtk::Button* b : {&BitBtn3, &BitBtn4, &BitBtn2, &BitBtn1}) bottom.pack_start(*b);

  root.pack_start(scroll, true, true);
  root.pack_start(bottom, false, false);
  add(root);
  root.show_all();

  property_is_active().signal_changed().connect([this] {
    if (is_active()) RunReported([&] { FormActivate(); });
  });
}

Tffavorit::~Tffavorit() {
  ForgetDeferred(this);
  menu_.reset();
  retired_menus_.clear();
}

std::string Tffavorit::FilePath() const {
  return const_cast<Tffavorit*>(this)->services().folders.OrvindelDir() + kFavoritesFile;
}

ListEntries Tffavorit::Entries() const { return columns.Entries(store); }

void Tffavorit::SetEntries(const ListEntries& entries) {
  // Filled while detached, so that the view does not follow every row.
  tabela.unset_model();
  store->clear();
  GtkListStore* raw = store->gobj();
  for (const ListEntry& e : entries) {
    if (e.sub_items.size() > 1) {
      columns.Fill(*store->append(), e, e.sub_items[0]);
      continue;
    }
    // One call per row: the common entry, a name and a URL, is set at once,
    // which keeps the window quick to open with tens of thousands of them.
    const char* url = e.sub_items.empty() ? "" : e.sub_items[0].c_str();
    gtk_list_store_insert_with_values(raw, nullptr, -1, 0, e.caption.c_str(), 1, url, 2,
                                      static_cast<gint>(e.image_index), 3,
                                      static_cast<gboolean>(!e.sub_items.empty()), -1);
  }
  tabela.set_model(store);
}

int Tffavorit::SelectedIndex() const { return SelectedRow(tabela); }

void Tffavorit::Select(int index) { SelectRow(tabela, index); }

void Tffavorit::SpeedButton9Click() {
  SetEntries({});
  ListEntries list;
  const std::string path = FilePath();
  if (FileExists(path)) {
    Gtk::Window* owner = get_visible() ? static_cast<Gtk::Window*>(this) : &app().MainForm();
    LoadListViewToFile(list, path, *services().dialogs, owner);
  }
  SetEntries(list);
  loaded_ = true;
  ProcessPendingEvents();
  present();
  // Activation builds the menu; without a window manager it may never come.
  if (!menu_) FormActivate();
}

void Tffavorit::SaveList() {
  if (!loaded_) return;
  const std::string path = FilePath();
  try {
    SaveListViewToFile(Entries(), path);
  } catch (const DamagedCopyError&) {
    services().dialogs->MessageBox(
        this, "The favorites file \"" + path +
                  "\" could not be read, and no copy of it could be kept. It was not replaced.",
        kListFileErrorCaption, MsgButtons::kOk, MsgIcon::kError, MsgResult::kOk);
  } catch (const ListFileLimitError& e) {
    services().dialogs->MessageBox(this, std::string(e.what()) + " The favorites were not saved.",
                                   kListFileErrorCaption, MsgButtons::kOk, MsgIcon::kError,
                                   MsgResult::kOk);
  } catch (...) {
    // A failed write leaves the old file whole; the list stays as it is.
  }
}

void Tffavorit::AddFavorite(const std::string& name, const std::string& url) {
  // Added before the window was ever opened: the file's entries come first,
  // or writing would drop them.
  if (!loaded_) {
    ListEntries list;
    const std::string path = FilePath();
    if (FileExists(path)) LoadListViewToFile(list, path, *services().dialogs, &app().MainForm());
    SetEntries(list);
    loaded_ = true;
  }
  columns.Fill(*store->append(), {name, 0, {url}}, url);
  SaveList();
}

void Tffavorit::FormActivate() {
  RetireMenu();
  main_menu_ = std::make_unique<Gtk::MenuBar>();
  root.pack_start(*main_menu_, false, false);
  root.reorder_child(*main_menu_, 0);
  menu_ = std::make_unique<TFavoritesMenu>(this, FavoritesFolder);
  menu_->MainMenu = main_menu_.get();
  menu_->Menupos = 0;
  menu_->OnURLSelected = [this](Gtk::MenuItem&, const std::string& url) { OnURLSelected(url); };
  menu_->OnAddFavorites = [this] { AddToSystemFavorites(); };
  menu_->Build();
  menu_->TopItem()->set_label("Favorites from IE");
  main_menu_->show();
  AlphaBlendValue = app().MainForm().Settings.Transparency;
}

void Tffavorit::RetireMenu() {
  if (main_menu_) {
    root.remove(*main_menu_);
    retired_bars_.push_back(std::move(main_menu_));
  }
  if (menu_) retired_menus_.push_back(std::move(menu_));
  // Freed once the menu's own handler (a chosen item) has returned.
  if (!free_retired_queued_ && (!retired_bars_.empty() || !retired_menus_.empty())) {
    free_retired_queued_ = true;
    RunWhenUnwound(this, [this] {
      free_retired_queued_ = false;
      retired_menus_.clear();
      retired_bars_.clear();
    });
  }
}

void Tffavorit::FormCloseQuery() {
  if (!get_visible()) return;
  SaveList();
  RetireMenu();
}

void Tffavorit::Close() {
  FormCloseQuery();
  hide();
}

void Tffavorit::OnURLSelected(const std::string& url) {
  RunGuarded([&] {
    if (TWebBrowser* wb = app().MainForm().GetCurrentWB()) wb->Navigate(url);
  });
  Close();
}

void Tffavorit::tabelaDblClick() {
  RunGuarded([&] {
    const int count = static_cast<int>(store->children().size());
    if (count == 0) return;
    int index = SelectedIndex();
    if (index < 0) index = 0;
    const auto row = store->children()[index];
    // An entry without a URL opens nothing.
    if (!row[columns.has_url]) return;
    TMainForm& main = app().MainForm();
    main.e3.set_text(Glib::ustring(row[columns.url]));
    main.sbrefreshClick();
  });
  Close();
}

void Tffavorit::BitBtn3Click() {
  const int index = SelectedIndex();
  if (store->children().empty() || index < 0) return;
  const Gtk::TreeRowReference chosen(store, store->get_path(store->children()[index]));
  const std::string name = Glib::ustring(store->children()[index][columns.caption]);
  if (name.empty()) return;
  services().dialogs->QuestionBeep();
  const MsgResult answer = services().dialogs->MessageBox(
      this, "Remove \"" + name + "\" from favorites ?", kCaption, MsgButtons::kYesNo,
      MsgIcon::kStop, MsgResult::kNo);
  // The list may have been reloaded while the question was open.
  if (answer == MsgResult::kYes && chosen.is_valid()) store->erase(store->get_iter(chosen.get_path()));
}

void Tffavorit::BitBtn4Click() {
  EditSelectedEntry(tabela, store, columns, app().feditfavorites(), *this);
}

void Tffavorit::BitBtn2Click() { app().faddfav().ShowModal(this); }

void Tffavorit::BitBtn1Click() { Close(); }

void Tffavorit::tabelaColumnClick(FavoritesColumn column) {
  SortDescending = !SortDescending;
  ListEntries list = Entries();
  SortFavorites(list, column, SortDescending, LocaleCollationKey);
  SetEntries(list);
}

void Tffavorit::AddToSystemFavorites() {
  Close();
  TMainForm& main = app().MainForm();
  TWebBrowser* wb = main.GetCurrentWB();
  const std::string url = wb ? wb->LocationURL() : "";
  if (url.empty()) {
    services().dialogs->MessageBox(&main, "There is no page to add to the favorites.", kCaption,
                                   MsgButtons::kOk, MsgIcon::kInformation, MsgResult::kOk);
    return;
  }
  const std::string title = main.CurrentPageTitle.empty() ? url : main.CurrentPageTitle;
  AddSystemFavoriteDialog dialog(&main, FavoritesFolder, title, url);
  try {
    dialog.Run();
  } catch (const FileError& e) {
    services().dialogs->MessageBox(&main, e.what(), kCaption, MsgButtons::kOk, MsgIcon::kError,
                                   MsgResult::kOk);
  }
}

bool Tffavorit::TabelaButtonPress(GdkEventButton* event) {
  if (event->type == GDK_2BUTTON_PRESS && event->button == 1) {
    RunReported([&] { tabelaDblClick(); });
    return true;
  }
  return false;
}

bool Tffavorit::on_delete_event(GdkEventAny*) {
  RunReported([&] { Close(); });
  return true;
}

bool Tffavorit::on_key_press_event(GdkEventKey* event) {
  if (event->keyval == GDK_KEY_Escape) {
    RunReported([&] { Close(); });
    return true;
  }
  return Gtk::Window::on_key_press_event(event);
}

}  // namespace orv
