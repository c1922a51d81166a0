#include "feeds/manage_feeds_window.h"

#include "app/app.h"
#include "favorites/list_file_dialog.h"
#include "feeds/add_rss_dialog.h"
#include "feeds/feed_list.h"
#include "platform/error_report.h"
#include "platform/files.h"
#include "platform/main_loop.h"
#include "shell/main_window.h"

#include <glib/gstdio.h>

namespace orv {

namespace {

constexpr char kListCss[] =
    "treeview.view { background-color: rgb(250, 250, 245); color: navy; font-size: 13px; }\n"
    "treeview.view:selected { background-color: @theme_selected_bg_color;"
    " color: @theme_selected_fg_color; }\n";

}  // namespace

Tfmanage::Tfmanage(App& app, Services& services)
    : SecondaryWindow(app, services, "Tfmanage", "Manage Feeds"),
      root(Gtk::ORIENTATION_HORIZONTAL),
      buttons(Gtk::ORIENTATION_VERTICAL) {
  set_default_size(723, 461);
  set_resizable(false);
  set_type_hint(Gdk::WINDOW_TYPE_HINT_DIALOG);
  set_position(Gtk::WIN_POS_CENTER);

  store = Gtk::ListStore::create(columns);
  tabela.set_model(store);
  tabela.get_selection()->set_mode(Gtk::SELECTION_SINGLE);
  tabela.set_enable_search(false);
  const char* titles[] = {"Feeds", "URL"};
  const int widths[] = {350, 250};
  for (int i = 0; i < 2; ++i) {
    auto* renderer = Gtk::manage(new Gtk::CellRendererText());
    renderer->property_ellipsize() = Pango::ELLIPSIZE_END;
    auto* column = Gtk::manage(new Gtk::TreeViewColumn(titles[i], *renderer));
    column->add_attribute(renderer->property_text(), i == 0 ? columns.caption : columns.url);
    column->set_sizing(Gtk::TREE_VIEW_COLUMN_FIXED);
    column->set_fixed_width(widths[i]);
    column->set_resizable(true);
    tabela.append_column(*column);
  }
  auto css = Gtk::CssProvider::create();
  css->load_from_data(kListCss);
  tabela.get_style_context()->add_provider(css, GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);

  scroll.set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
  scroll.set_shadow_type(Gtk::SHADOW_IN);
  scroll.add(tabela);
  scroll.set_border_width(6);

  const std::pair<Gtk::Button*, const char*> labels[] = {
      {&sb1, "Add"}, {&SB2, "Remove"}, {&SB3, "Move Up"},
      {&sb4, "Move Down"}, {&SB5, "Edit"}, {&BitBtn1, "Close"}};
  for (const auto& [button, label] : labels) {
    button->set_label(label);
    button->set_relief(Gtk::RELIEF_NONE);
    button->set_size_request(100, -1);
    if (button == &BitBtn1) {
      buttons.pack_end(*button, Gtk::PACK_SHRINK);
    } else {
      buttons.pack_start(*button, Gtk::PACK_SHRINK);
    }
  }
  buttons.set_spacing(4);
  buttons.set_border_width(6);
  sb1.signal_clicked().connect([this] { RunReported([&] { sb1Click(); }); });
  SB2.signal_clicked().connect([this] { RunReported([&] { SB2Click(); }); });
  SB3.signal_clicked().connect([this] { RunReported([&] { SB3Click(); }); });
  sb4.signal_clicked().connect([this] { RunReported([&] { sb4Click(); }); });
  SB5.signal_clicked().connect([this] { RunReported([&] { SB5Click(); }); });
  BitBtn1.signal_clicked().connect([this] { RunReported([&] { BitBtn1Click(); }); });

  root.pack_start(scroll, Gtk::PACK_EXPAND_WIDGET);
  root.pack_start(buttons, Gtk::PACK_SHRINK);
  add(root);
  root.show_all();
  FormCreate();
}

std::string Tfmanage::FilePath() const {
  return const_cast<Tfmanage*>(this)->services().folders.OrvindelDir() + kFeedListFile;
}

void Tfmanage::FormCreate() {
  RunGuarded([&] { ReloadFromFile(&app().MainForm()); });
}

void Tfmanage::ReloadFromFile(Gtk::Window* owner) {
  SetEntries({});
  g_unlink((services().folders.OrvindelDir() + kObsoleteFeedListFile).c_str());
  const std::string path = FilePath();
  keep_damaged_ = false;
  if (!FileExists(path)) return;
  ListEntries list;
  const ListFileStatus status = LoadListViewToFile(list, path, *services().dialogs, owner);
  keep_damaged_ = status != ListFileStatus::kLoaded;
  // A damaged file gives an empty list, not a part of it.
  if (status == ListFileStatus::kLoaded) SetEntries(list);
}

ListEntries Tfmanage::Entries() const { return columns.Entries(store); }

void Tfmanage::SetEntries(const ListEntries& entries) {
  store->clear();
  for (const ListEntry& e : entries) columns.Fill(*store->append(), e, FeedUrl(e));
}

int Tfmanage::SelectedIndex() const { return SelectedRow(tabela); }

void Tfmanage::Select(int index) { SelectRow(tabela, index); }

void Tfmanage::ShowModal(Gtk::Window* parent) {
  if (showing_) return;
  showing_ = true;
  if (parent) set_transient_for(*parent);
  set_modal(true);
  present();
  RunReported([&] { FormActivate(); });
  WaitUntil([this] { return !showing_; });
  set_modal(false);
  hide();
  showing_ = false;
}

void Tfmanage::Close() {
  showing_ = false;
  hide();
}

void Tfmanage::FormActivate() {
  if (app().MainForm().AddFeedRequested) sb1Click();
}

void Tfmanage::sb1Click() {
  Tfslide& dialog = app().fslide();
  dialog.ename.set_text("");
  dialog.eurl.set_text("");
  if (dialog.ShowModal(this) != ModalResult::kOk) return;
  // Appended after the dialog: rows removed meanwhile cannot misplace it.
  auto row = *store->append();
  row[columns.caption] = dialog.ename.get_text();
  row[columns.url] = dialog.eurl.get_text();
  row[columns.image_index] = 0;
  row[columns.has_url] = true;
}

void Tfmanage::SB2Click() {
  const int index = SelectedIndex();
  if (index < 0) return;
  store->erase(store->children()[index]);
}

void Tfmanage::Move(int to_offset) {
  const int index = SelectedIndex();
  if (index < 0) return;
  ListEntries list = Entries();
  const int moved = MoveListEntry(list, index, index + to_offset);
  SetEntries(list);
  Select(moved);
}

void Tfmanage::SB3Click() { Move(-1); }

void Tfmanage::sb4Click() { Move(2); }

void Tfmanage::SB5Click() { EditSelectedEntry(tabela, store, columns, app().fslide(), *this); }

void Tfmanage::BitBtn1Click() {
  const std::string path = FilePath();
  // A file that could not be read is kept beside the new one, not lost.
  if (keep_damaged_) {
    if (KeepDamagedCopy(path).empty()) {
      throw FileError("The feed list \"" + path +
                      "\" could not be read, and no copy of it could be kept. It was not replaced.");
    }
    keep_damaged_ = false;
  }
  // A failure reaches the error report and the window stays open.
  SaveListViewToFile(Entries(), path);
  Close();
}

bool Tfmanage::on_delete_event(GdkEventAny*) {
  // The close box keeps the changes in memory only.
  Close();
  return true;
}

bool Tfmanage::on_key_press_event(GdkEventKey* event) {
  if (event->keyval == GDK_KEY_Escape) {
    RunReported([&] { BitBtn1Click(); });
    return true;
  }
  return Gtk::Window::on_key_press_event(event);
}

}  // namespace orv
