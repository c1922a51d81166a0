#include "widgets/gauge_edit_widget.h"

#include <glibmm/exceptionhandler.h>
#include <gtk/gtk-a11y.h>

#include <algorithm>
#include <optional>

namespace orv {

namespace {

// The two nested frames of the field.
constexpr TColor kFrameColor = Rgb(239, 239, 222);
// How often the caret blinks, in milliseconds.
constexpr int kBlinkMs = 300;
// The size a field asks for when nothing else decides it.
constexpr int kDefaultWidth = 121;
constexpr int kDefaultHeight = 21;

void SetSource(const Cairo::RefPtr<Cairo::Context>& cr, TColor c) {
  cr->set_source_rgb(RedOf(c) / 255.0, GreenOf(c) / 255.0, BlueOf(c) / 255.0);
}

TColor FromRgba(const GdkRGBA& c) {
  auto channel = [](double v) { return static_cast<int>(std::clamp(v, 0.0, 1.0) * 255 + 0.5); };
  return Rgb(channel(c.red), channel(c.green), channel(c.blue));
}

std::optional<TColor> LookUp(const Glib::RefPtr<Gtk::StyleContext>& ctx, const char* name) {
  GdkRGBA c;
  if (gtk_style_context_lookup_color(ctx->gobj(), name, &c)) return FromRgba(c);
  return std::nullopt;
}

// A handler of the owner's that throws must not leave the field half
// updated: the error goes to the application's report, as from any other
// toolkit signal.
void Emit(sigc::signal<void()>& signal) {
  try {
    signal.emit();
  } catch (...) {
    Glib::exception_handlers_invoke();
  }
}

std::optional<GaugeKey> KeyOf(const GdkEventKey* event) {
  switch (event->keyval) {
    case GDK_KEY_Left:
    case GDK_KEY_KP_Left:
      return GaugeKey::kLeft;
    case GDK_KEY_Right:
    case GDK_KEY_KP_Right:
      return GaugeKey::kRight;
    case GDK_KEY_Home:
    case GDK_KEY_KP_Home:
      return GaugeKey::kHome;
    case GDK_KEY_End:
    case GDK_KEY_KP_End:
      return GaugeKey::kEnd;
    case GDK_KEY_Delete:
    case GDK_KEY_KP_Delete:
      return GaugeKey::kDelete;
    case GDK_KEY_Insert:
    case GDK_KEY_KP_Insert:
      return GaugeKey::kInsert;
    case GDK_KEY_BackSpace:
      return GaugeKey::kBackspace;
    default:
      break;
  }
  guint key = gdk_keyval_to_lower(event->keyval);
  if ((key < GDK_KEY_a || key > GDK_KEY_z) && (event->state & GDK_CONTROL_MASK)) {
    // On a layout without Latin letters Ctrl+C is still the key that carries
    // C in the first group.
    guint base = 0;
    GdkKeymap* keymap = gdk_keymap_get_for_display(gdk_window_get_display(event->window));
    if (gdk_keymap_translate_keyboard_state(keymap, event->hardware_keycode,
                                            static_cast<GdkModifierType>(event->state), 0, &base,
                                            nullptr, nullptr, nullptr)) {
      key = gdk_keyval_to_lower(base);
    }
  }
  switch (key) {
    case GDK_KEY_c:
      return GaugeKey::kC;
    case GDK_KEY_v:
      return GaugeKey::kV;
    case GDK_KEY_x:
      return GaugeKey::kX;
    case GDK_KEY_a:
      return GaugeKey::kA;
    default:
      return std::nullopt;
  }
}

GaugeModifiers ModifiersOf(guint state) {
  return {(state & GDK_SHIFT_MASK) != 0, (state & GDK_CONTROL_MASK) != 0,
          (state & GDK_MOD1_MASK) != 0};
}

}  // namespace

// What assistive technologies see: a text field whose text, caret and
// selection they can read and set (AtkText), as with any other entry.
extern "C" {
struct OrvGaugeAccessible {
  GtkWidgetAccessible parent;
};
struct OrvGaugeAccessibleClass {
  GtkWidgetAccessibleClass parent_class;
};
}

namespace {

TGaugeEdit* EditOf(gpointer accessible) {
  GtkWidget* widget = gtk_accessible_get_widget(GTK_ACCESSIBLE(accessible));
  return widget != nullptr ? dynamic_cast<TGaugeEdit*>(Glib::wrap(widget)) : nullptr;
}

void AccessibleTextInit(AtkTextIface* iface);

}  // namespace

G_DEFINE_TYPE_WITH_CODE(OrvGaugeAccessible, orv_gauge_accessible, GTK_TYPE_WIDGET_ACCESSIBLE,
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_TEXT, AccessibleTextInit))

static void orv_gauge_accessible_init(OrvGaugeAccessible*) {}

static void orv_gauge_accessible_class_init(OrvGaugeAccessibleClass* klass) {
  AtkObjectClass* atk = ATK_OBJECT_CLASS(klass);
  atk->initialize = [](AtkObject* object, gpointer data) {
    ATK_OBJECT_CLASS(orv_gauge_accessible_parent_class)->initialize(object, data);
    object->role = ATK_ROLE_ENTRY;
  };
  atk->ref_state_set = [](AtkObject* object) {
    AtkStateSet* states =
        ATK_OBJECT_CLASS(orv_gauge_accessible_parent_class)->ref_state_set(object);
    if (TGaugeEdit* edit = EditOf(object)) {
      atk_state_set_add_state(states, ATK_STATE_SINGLE_LINE);
      if (edit->get_editable()) atk_state_set_add_state(states, ATK_STATE_EDITABLE);
    }
    return states;
  };
}

namespace {

void AccessibleTextInit(AtkTextIface* iface) {
  iface->get_text = [](AtkText* text, gint start, gint end) -> gchar* {
    TGaugeEdit* edit = EditOf(text);
    if (edit == nullptr) return nullptr;
    GaugeEdit& model = edit->Model();
    return g_strdup(model.Utf8(start, end < 0 ? model.Length() : end).c_str());
  };
  iface->get_character_count = [](AtkText* text) -> gint {
    TGaugeEdit* edit = EditOf(text);
    return edit != nullptr ? edit->Model().Length() : 0;
  };
  iface->get_character_at_offset = [](AtkText* text, gint offset) -> gunichar {
    TGaugeEdit* edit = EditOf(text);
    if (edit == nullptr) return 0;
    const std::string c = edit->Model().Utf8(offset, offset + 1);
    return c.empty() ? 0 : g_utf8_get_char(c.c_str());
  };
  iface->get_caret_offset = [](AtkText* text) -> gint {
    TGaugeEdit* edit = EditOf(text);
    return edit != nullptr ? edit->Model().Caret() : 0;
  };
  iface->set_caret_offset = [](AtkText* text, gint offset) -> gboolean {
    TGaugeEdit* edit = EditOf(text);
    if (edit == nullptr) return FALSE;
    edit->set_position(offset);
    return TRUE;
  };
  iface->get_n_selections = [](AtkText* text) -> gint {
    TGaugeEdit* edit = EditOf(text);
    return edit != nullptr && edit->Model().HasSelection() ? 1 : 0;
  };
  iface->get_selection = [](AtkText* text, gint n, gint* start, gint* end) -> gchar* {
    TGaugeEdit* edit = EditOf(text);
    if (edit == nullptr || n != 0 || !edit->get_selection_bounds(*start, *end)) return nullptr;
    return g_strdup(edit->Model().SelectedText().c_str());
  };
  auto select = [](AtkText* text, gint n, gint start, gint end) -> gboolean {
    TGaugeEdit* edit = EditOf(text);
    if (edit == nullptr || n != 0) return FALSE;
    edit->select_region(start, end);
    return TRUE;
  };
  iface->set_selection = select;
  iface->add_selection = [](AtkText* text, gint start, gint end) -> gboolean {
    TGaugeEdit* edit = EditOf(text);
    if (edit == nullptr) return FALSE;
    edit->select_region(start, end);
    return TRUE;
  };
  iface->remove_selection = [](AtkText* text, gint n) -> gboolean {
    TGaugeEdit* edit = EditOf(text);
    if (edit == nullptr || n != 0) return FALSE;
    edit->Model().ClearSelection();
    return TRUE;
  };
}

}  // namespace

// The display's clipboard. A paste answers later; a field destroyed before
// the answer arrives ignores it.
class TGaugeEdit::Clipboard : public GaugeClipboard {
 public:
  explicit Clipboard(Gtk::Widget& owner) : owner_(owner) {}
  ~Clipboard() override { *alive_ = false; }

  bool HasText() override { return Get()->wait_is_text_available(); }
  void RequestText(std::function<void(const std::string&)> done) override {
    auto alive = alive_;
    Get()->request_text([alive, done = std::move(done)](const Glib::ustring& text) {
      if (*alive && !text.empty()) done(text.raw());
    });
  }
  void SetText(const std::string& text) override { Get()->set_text(text); }

 private:
  Glib::RefPtr<Gtk::Clipboard> Get() {
    return Gtk::Clipboard::get_for_display(owner_.get_display(), GDK_SELECTION_CLIPBOARD);
  }

  Gtk::Widget& owner_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

TGaugeEdit::TGaugeEdit()
    : Glib::ObjectBase("OrvGaugeEdit"),
      model_([this](std::string_view text) { return MeasureText(text); }),
      clipboard_(std::make_unique<Clipboard>(*this)),
      im_(gtk_im_multicontext_new()) {
  set_can_focus(true);
  add_events(Gdk::BUTTON_PRESS_MASK | Gdk::BUTTON_RELEASE_MASK | Gdk::POINTER_MOTION_MASK |
             Gdk::KEY_PRESS_MASK | Gdk::KEY_RELEASE_MASK | Gdk::FOCUS_CHANGE_MASK);
  measure_layout_ = create_pango_layout("");
  // An address bar with no page loading shows no progress.
  model_.SetPosition(0);
  model_.SetClipboard(clipboard_.get());
  model_.OnChange = [this] { Changed(); };
  model_.OnCaretMoved = [this] { CaretMoved(); };

  g_signal_connect(im_, "commit", G_CALLBACK(ImCommit), this);
  g_signal_connect(im_, "preedit-changed", G_CALLBACK(ImPreeditChanged), this);
  g_signal_connect(im_, "retrieve-surrounding", G_CALLBACK(ImRetrieveSurrounding), this);
  g_signal_connect(im_, "delete-surrounding", G_CALLBACK(ImDeleteSurrounding), this);

  // Text and links dropped on the field go in where they are dropped.
  drag_dest_set(Gtk::DEST_DEFAULT_ALL, Gdk::ACTION_COPY);
  drag_dest_add_text_targets();
  drag_dest_add_uri_targets();

  BuildMenu();
  signal_popup_menu().connect([this] {
    ShowContextMenu(nullptr);
    return true;
  });

  // Its own accessible, on its own class (the name above gives it one), so
  // other drawing areas keep theirs.
  gtk_widget_class_set_accessible_type(GTK_WIDGET_GET_CLASS(gobj()),
                                       orv_gauge_accessible_get_type());
}

TGaugeEdit::~TGaugeEdit() {
  *alive_ = false;
  StopBlink();
  model_.OnChange = nullptr;
  model_.OnCaretMoved = nullptr;
  model_.SetClipboard(nullptr);
  g_signal_handlers_disconnect_by_data(im_, this);
  gtk_im_context_set_client_window(im_, nullptr);
  g_object_unref(im_);
}

// Input method ------------------------------------------------------------------------

void TGaugeEdit::ImCommit(GtkIMContext*, const char* text, TGaugeEdit* self) {
  try {
    self->model_.Type(text != nullptr ? text : "");
    self->RestartBlink();
  } catch (...) {
    Glib::exception_handlers_invoke();
  }
}

void TGaugeEdit::ImPreeditChanged(GtkIMContext* im, TGaugeEdit* self) {
  gchar* text = nullptr;
  gint cursor = 0;
  gtk_im_context_get_preedit_string(im, &text, nullptr, &cursor);
  self->preedit_ = text != nullptr ? text : "";
  self->preedit_cursor_ = cursor;
  g_free(text);
  self->queue_draw();
}

gboolean TGaugeEdit::ImRetrieveSurrounding(GtkIMContext* im, TGaugeEdit* self) {
  const std::string text = self->model_.Text();
  const std::string before = self->model_.Utf8(0, self->model_.Caret());
  gtk_im_context_set_surrounding(im, text.c_str(), static_cast<int>(text.size()),
                                 static_cast<int>(before.size()));
  return TRUE;
}

gboolean TGaugeEdit::ImDeleteSurrounding(GtkIMContext*, int offset, int count, TGaugeEdit* self) {
  try {
    self->model_.DeleteSurrounding(offset, count);
  } catch (...) {
    Glib::exception_handlers_invoke();
  }
  return TRUE;
}

// Progress and properties -------------------------------------------------------

void TGaugeEdit::SetPosition(int position) {
  const int old = model_.Position();
  model_.SetPosition(position);
  if (model_.Position() != old) queue_draw();
}

void TGaugeEdit::SetMax(int max) {
  model_.SetMax(max);
  queue_draw();
}

void TGaugeEdit::SetEndColor(uint32_t color) {
  model_.SetEndColor(color);
  queue_draw();
}

void TGaugeEdit::SetColor(TColor color) {
  color_set_ = true;
  model_.SetColor(color);
  queue_draw();
}

void TGaugeEdit::SetCharCase(TEditCharCase value) { model_.SetCharCase(value); }

void TGaugeEdit::SetBorderSingle(bool value) {
  border_single_ = value;
  queue_draw();
}

// Entry calls -------------------------------------------------------------------------

void TGaugeEdit::set_text(const Glib::ustring& text) {
  setting_text_ = true;
  model_.SetText(text.raw());
  setting_text_ = false;
}

bool TGaugeEdit::activate() {
  Emit(activate_);
  return true;
}

void TGaugeEdit::select_region(int start, int end) { model_.SelectRegion(start, end); }

bool TGaugeEdit::get_selection_bounds(int& start, int& end) const {
  if (!model_.HasSelection()) {
    start = end = model_.Caret();
    return false;
  }
  start = model_.SelFirst() - 1;
  end = model_.SelLast();
  return true;
}

void TGaugeEdit::set_position(int position) { model_.SetCaret(position); }

// Model events ---------------------------------------------------------------------------

void TGaugeEdit::Changed() {
  queue_draw();
  // Screen readers follow the text: the old text went, the new one came.
  AtkObject* accessible = gtk_widget_get_accessible(GTK_WIDGET(gobj()));
  g_signal_emit_by_name(accessible, "text-changed::delete", 0, accessible_length_);
  accessible_length_ = model_.Length();
  g_signal_emit_by_name(accessible, "text-changed::insert", 0, accessible_length_);
  Emit(changed_);
  if (!setting_text_) Emit(edited_);
}

void TGaugeEdit::CaretMoved() {
  queue_draw();
  UpdateImCursor();
  OfferPrimary();
  if (model_.Caret() != accessible_caret_) {
    accessible_caret_ = model_.Caret();
    g_signal_emit_by_name(gtk_widget_get_accessible(GTK_WIDGET(gobj())), "text-caret-moved",
                          accessible_caret_);
  }
}

void TGaugeEdit::OfferPrimary() {
  if (!model_.HasSelection()) return;
  std::string selected = model_.SelectedText();
  if (selected == offered_primary_) return;
  offered_primary_ = std::move(selected);
  Gtk::Clipboard::get_for_display(get_display(), GDK_SELECTION_PRIMARY)->set_text(offered_primary_);
}

void TGaugeEdit::PastePrimaryAt(int x) {
  model_.SetCaret(model_.CharAt(x));
  auto alive = alive_;
  Gtk::Clipboard::get_for_display(get_display(), GDK_SELECTION_PRIMARY)
      ->request_text([this, alive](const Glib::ustring& text) {
        if (*alive && !text.empty()) model_.PasteText(text.raw());
      });
}

void TGaugeEdit::on_drag_data_received(const Glib::RefPtr<Gdk::DragContext>& context, int x, int y,
                                       const Gtk::SelectionData& data, guint info, guint time) {
  std::string text = data.get_text();
  if (text.empty()) {
    const std::vector<Glib::ustring> uris = data.get_uris();
    if (!uris.empty()) text = uris.front();
  }
  if (text.empty()) return;
  if (get_can_focus() && !has_focus()) {
    focus_by_mouse_ = true;
    grab_focus();
  }
  model_.SetCaret(model_.CharAt(x));
  model_.PasteText(text);
}

void TGaugeEdit::UpdateImCursor() {
  if (!get_realized()) return;
  GdkRectangle where{model_.CaretX(), 4, 1, std::max(1, get_allocated_height() - 8)};
  gtk_im_context_set_cursor_location(im_, &where);
}

void TGaugeEdit::RestartBlink() {
  StopBlink();
  blink_on_ = true;
  if (has_focus()) {
    blink_timer_ = Glib::signal_timeout().connect(
        [this] {
          blink_on_ = !blink_on_;
          queue_draw();
          return true;
        },
        kBlinkMs);
  }
  queue_draw();
}

void TGaugeEdit::StopBlink() { blink_timer_.disconnect(); }

// Size, style, drawing -----------------------------------------------------------------

int TGaugeEdit::MeasureText(std::string_view utf8) const {
  if (!measure_layout_ || utf8.empty()) return 0;
  measure_layout_->set_text(Glib::ustring(std::string(utf8)));
  int width = 0;
  int height = 0;
  measure_layout_->get_pixel_size(width, height);
  return width;
}

void TGaugeEdit::get_preferred_width_vfunc(int& minimum, int& natural) const {
  minimum = 2 * GaugeEdit::kTextLeft + GaugeEdit::kCaretMargin;
  natural = kDefaultWidth;
}

void TGaugeEdit::get_preferred_height_vfunc(int& minimum, int& natural) const {
  auto layout = const_cast<TGaugeEdit*>(this)->create_pango_layout("Wy");
  int width = 0;
  int height = 0;
  layout->get_pixel_size(width, height);
  minimum = natural = std::max(kDefaultHeight, height + 8);
}

void TGaugeEdit::on_size_allocate(Gtk::Allocation& allocation) {
  Gtk::DrawingArea::on_size_allocate(allocation);
  model_.SetWidth(allocation.get_width());
}

void TGaugeEdit::on_realize() {
  Gtk::DrawingArea::on_realize();
  gtk_im_context_set_client_window(im_, get_window()->gobj());
  auto cursor = Gdk::Cursor::create(get_display(), "text");
  if (cursor) get_window()->set_cursor(cursor);
}

void TGaugeEdit::on_unrealize() {
  gtk_im_context_set_client_window(im_, nullptr);
  Gtk::DrawingArea::on_unrealize();
}

void TGaugeEdit::on_style_updated() {
  Gtk::DrawingArea::on_style_updated();
  if (measure_layout_) measure_layout_->context_changed();
  ResolveColors();
  queue_resize();
}

void TGaugeEdit::ResolveColors() {
  auto ctx = get_style_context();
  if (!color_set_) {
    // The background a style gives the field wins; without one the field
    // takes the theme's colour for text fields.
    GdkRGBA* background = nullptr;
    gtk_style_context_get(ctx->gobj(), gtk_style_context_get_state(ctx->gobj()), "background-color",
                          &background, nullptr);
    TColor color = Rgb(255, 255, 255);
    if (background != nullptr && background->alpha > 0) {
      color = FromRgba(*background);
    } else if (auto base = LookUp(ctx, "theme_base_color")) {
      color = *base;
    }
    if (background != nullptr) gdk_rgba_free(background);
    model_.SetColor(color);
  }
  GdkRGBA text;
  gtk_style_context_get_color(ctx->gobj(), gtk_style_context_get_state(ctx->gobj()), &text);
  text_color_ = FromRgba(text);
  highlight_ = LookUp(ctx, "theme_selected_bg_color").value_or(Rgb(53, 132, 228));
  highlight_text_ = LookUp(ctx, "theme_selected_fg_color").value_or(Rgb(255, 255, 255));
}

bool TGaugeEdit::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
  // The whole field is composed off the screen and copied in one piece.
  cr->push_group_with_content(Cairo::CONTENT_COLOR);
  Paint(cr, get_allocated_width(), get_allocated_height());
  cr->pop_group_to_source();
  cr->paint();
  return true;
}

void TGaugeEdit::Paint(const Cairo::RefPtr<Cairo::Context>& cr, int width, int height) {
  if (model_.Width() != width) model_.SetWidth(width);
  const bool focused = model_.Focused();

  SetSource(cr, model_.Color());
  cr->rectangle(0, 0, width, height);
  cr->fill();

  for (const GaugeBand& band : model_.Bands()) {
    SetSource(cr, band.color);
    cr->rectangle(band.x, 0, band.width, height);
    cr->fill();
  }

  int caret_x = model_.CaretX();
  std::string shown = model_.VisibleText();
  if (!shown.empty() || !preedit_.empty()) {
    measure_layout_->set_text("Wy");
    int wy_width = 0;
    int wy_height = 0;
    measure_layout_->get_pixel_size(wy_width, wy_height);
    const int y = height / 2 - wy_height / 2;

    // What the input method is composing shows at the caret, underlined,
    // until it commits.
    auto layout = create_pango_layout("");
    if (!preedit_.empty() && focused) {
      const size_t at = model_.Utf8(model_.Scroll(), model_.Caret()).size();
      shown.insert(at, preedit_.raw());
      Pango::AttrList attrs;
      auto underline = Pango::Attribute::create_attr_underline(Pango::UNDERLINE_SINGLE);
      underline.set_start_index(at);
      underline.set_end_index(at + preedit_.bytes());
      attrs.insert(underline);
      layout->set_attributes(attrs);
      const int cursor_bytes =
          static_cast<int>(preedit_.substr(0, std::max(0, preedit_cursor_)).bytes());
      Pango::Rectangle strong, weak;
      layout->set_text(shown);
      layout->get_cursor_pos(static_cast<int>(at) + cursor_bytes, strong, weak);
      caret_x = GaugeEdit::kTextLeft + strong.get_x() / PANGO_SCALE;
    } else {
      layout->set_text(shown);
    }

    SetSource(cr, text_color_);
    cr->move_to(GaugeEdit::kTextLeft, y);
    layout->show_in_cairo_context(cr);

    if (focused && model_.HasSelection() && preedit_.empty()) {
      // Only the part of the selection that can show is measured.
      const int shown_end = model_.Scroll() + std::max(1, width);
      const int from = std::max(model_.SelFirst() - 1, model_.Scroll());
      const int to = std::min(model_.SelLast(), shown_end);
      if (to > from) {
        const int x0 = GaugeEdit::kTextLeft + MeasureText(model_.Utf8(model_.Scroll(), from));
        const int x1 = GaugeEdit::kTextLeft + MeasureText(model_.Utf8(model_.Scroll(), to));
        cr->save();
        cr->rectangle(x0, y, x1 - x0, wy_height);
        SetSource(cr, highlight_);
        cr->fill_preserve();
        cr->clip();
        SetSource(cr, highlight_text_);
        cr->move_to(GaugeEdit::kTextLeft, y);
        layout->show_in_cairo_context(cr);
        cr->restore();
      }
    }
  }

  if (blink_on_ && has_focus()) {
    SetSource(cr, text_color_);
    cr->set_line_width(1);
    cr->move_to(caret_x + 0.5, 4);
    cr->line_to(caret_x + 0.5, height - 4);
    cr->stroke();
  }

  if (border_single_) {
    SetSource(cr, kFrameColor);
    cr->set_line_width(1);
    cr->rectangle(0.5, 0.5, width - 1, height - 1);
    cr->rectangle(1.5, 1.5, width - 3, height - 3);
    cr->stroke();
  }
}

// Keyboard ----------------------------------------------------------------------------

bool TGaugeEdit::on_key_press_event(GdkEventKey* event) {
  // The input method sees every key first, as in any text field: dead keys
  // and compose sequences start here.
  if (gtk_im_context_filter_keypress(im_, event)) {
    RestartBlink();
    return true;
  }
  const GaugeModifiers mods = ModifiersOf(event->state);
  if (auto key = KeyOf(event)) {
    if (model_.Key(*key, mods)) {
      if (*key != GaugeKey::kC && *key != GaugeKey::kInsert) gtk_im_context_reset(im_);
      RestartBlink();
      return true;
    }
  }
  switch (event->keyval) {
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter:
      if (!mods.ctrl && !mods.alt) {
        gtk_im_context_reset(im_);
        activate();
        return true;
      }
      break;
    case GDK_KEY_Up:
    case GDK_KEY_Down:
    case GDK_KEY_KP_Up:
    case GDK_KEY_KP_Down:
      // The field keeps all arrow keys: one line has nowhere to go up or
      // down, and the keyboard must not slip out of it into the page.
      if (!mods.alt) return true;
      break;
    default:
      break;
  }
  // Tab and the window's keys go on; the menu key opens the context menu
  // through the toolkit's own binding.
  return Gtk::DrawingArea::on_key_press_event(event);
}

bool TGaugeEdit::on_key_release_event(GdkEventKey* event) {
  if (gtk_im_context_filter_keypress(im_, event)) return true;
  return Gtk::DrawingArea::on_key_release_event(event);
}

// Focus --------------------------------------------------------------------------------

bool TGaugeEdit::on_focus_in_event(GdkEventFocus* event) {
  const bool by_mouse = focus_by_mouse_;
  focus_by_mouse_ = false;
  gtk_im_context_focus_in(im_);
  // Back from the context menu the field goes on as it was.
  if (!model_.Focused()) model_.FocusIn(by_mouse);
  RestartBlink();
  UpdateImCursor();
  return Gtk::DrawingArea::on_focus_in_event(event);
}

bool TGaugeEdit::on_focus_out_event(GdkEventFocus* event) {
  focus_by_mouse_ = false;
  StopBlink();
  blink_on_ = false;
  gtk_im_context_focus_out(im_);
  gtk_im_context_reset(im_);
  preedit_.clear();
  // The context menu takes the keyboard while it is open; its commands act
  // on the selection, so the field keeps it.
  if (!menu_up_) model_.FocusOut();
  queue_draw();
  return Gtk::DrawingArea::on_focus_out_event(event);
}

// Pointer ------------------------------------------------------------------------------

bool TGaugeEdit::on_button_press_event(GdkEventButton* event) {
  if (event->button == 1 && event->type == GDK_2BUTTON_PRESS) {
    model_.DoubleClick();
    return true;
  }
  if (event->type != GDK_BUTTON_PRESS) return true;
  if (event->button == 1) {
    if (get_can_focus() && !has_focus()) {
      focus_by_mouse_ = true;
      grab_focus();
    }
    gtk_im_context_reset(im_);
    model_.MousePress(static_cast<int>(event->x));
    RestartBlink();
    return true;
  }
  if (event->button == 3) {
    ShowContextMenu(reinterpret_cast<const GdkEvent*>(event));
    return true;
  }
  if (event->button == 2) {
    if (get_can_focus() && !has_focus()) {
      focus_by_mouse_ = true;
      grab_focus();
    }
    PastePrimaryAt(static_cast<int>(event->x));
    return true;
  }
  return false;
}

bool TGaugeEdit::on_motion_notify_event(GdkEventMotion* event) {
  if (model_.Dragging()) model_.MouseMove(static_cast<int>(event->x));
  return true;
}

bool TGaugeEdit::on_button_release_event(GdkEventButton* event) {
  if (event->button == 1) model_.MouseRelease();
  return true;
}

// Context menu -------------------------------------------------------------------------

void TGaugeEdit::BuildMenu() {
  undo_item_.signal_activate().connect([this] { model_.Undo(); });
  cut_item_.signal_activate().connect([this] { model_.Cut(); });
  copy_item_.signal_activate().connect([this] { model_.Copy(); });
  paste_item_.signal_activate().connect([this] { model_.Paste(); });
  delete_item_.signal_activate().connect([this] { model_.DeleteSelection(); });
  select_all_item_.signal_activate().connect([this] { model_.SelectAll(); });
  builtin_menu_.append(undo_item_);
  builtin_menu_.append(*Gtk::manage(new Gtk::SeparatorMenuItem));
  builtin_menu_.append(cut_item_);
  builtin_menu_.append(copy_item_);
  builtin_menu_.append(paste_item_);
  builtin_menu_.append(delete_item_);
  builtin_menu_.append(*Gtk::manage(new Gtk::SeparatorMenuItem));
  builtin_menu_.append(select_all_item_);
  builtin_menu_.show_all();
  builtin_menu_.attach_to_widget(*this);
  builtin_menu_.signal_hide().connect(sigc::mem_fun(*this, &TGaugeEdit::MenuClosed));
}

void TGaugeEdit::MenuClosed() {
  // A chosen item runs after the menu has gone, so the field learns where
  // the keyboard went only once the loop is idle again.
  Glib::signal_idle().connect_once(sigc::mem_fun(*this, &TGaugeEdit::AfterMenu));
}

void TGaugeEdit::AfterMenu() {
  menu_up_ = false;
  if (model_.Focused() && !has_focus()) {
    StopBlink();
    blink_on_ = false;
    model_.FocusOut();
  }
}

void TGaugeEdit::ShowContextMenu(const GdkEvent* event) {
  const bool had_focus = has_focus();
  if (!had_focus && get_can_focus()) {
    focus_by_mouse_ = true;
    grab_focus();
  }
  model_.ContextMenuOpening(had_focus);
  Gtk::Menu* menu = popup_menu_;
  if (menu == nullptr) {
    const GaugeMenuState state = model_.MenuState();
    undo_item_.set_sensitive(state.undo);
    cut_item_.set_sensitive(state.cut);
    copy_item_.set_sensitive(state.copy);
    paste_item_.set_sensitive(state.paste);
    delete_item_.set_sensitive(state.del);
    select_all_item_.set_sensitive(state.select_all);
    menu = &builtin_menu_;
  }
  if (!get_realized()) return;
  menu_up_ = true;
  if (menu != &builtin_menu_) {
    auto closed = std::make_shared<sigc::connection>();
    *closed = menu->signal_hide().connect([this, closed] {
      closed->disconnect();
      MenuClosed();
    });
  }
  if (event != nullptr) {
    menu->popup_at_pointer(event);
  } else {
    // From the keyboard the menu opens at the field's centre.
    menu->popup_at_widget(this, Gdk::GRAVITY_CENTER, Gdk::GRAVITY_NORTH_WEST, nullptr);
  }
}

}  // namespace orv
