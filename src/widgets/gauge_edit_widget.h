// TGaugeEdit: the address bar. A one-line edit that paints the page's load
// progress behind its text, from the left edge up to Position / Max of its
// width, fading from the field's colour into EndColor. It draws everything
// itself (text, selection, caret, frame, progress) into one off-screen
// picture that is copied to the screen in one piece, so it never flickers
// while a page loads. The editing rules live in gauge_edit.h; this class
// measures with the field's font, draws, and feeds the model the keyboard,
// the input method, the pointer and the clipboard.
//
// It answers the calls a Gtk::Entry answers where the window uses them
// (get_text, set_text, signal_changed, signal_activate, select_region,
// get_selection_bounds, set_position, set_editable), with the same meaning.
#pragma once

#include <gtkmm.h>

#include <cstdint>
#include <memory>

#include "widgets/gauge_edit.h"

namespace orv {

class TGaugeEdit : public Gtk::DrawingArea {
 public:
  TGaugeEdit();
  ~TGaugeEdit() override;

  // Progress ---------------------------------------------------------------
  int Position() const { return model_.Position(); }
  // Values below 0 or above Max are ignored.
  void SetPosition(int position);
  int Max() const { return model_.Max(); }
  // Values of 0 or less are ignored.
  void SetMax(int max);
  // 0x00BBGGRR, red in the lowest byte.
  uint32_t EndColor() const { return model_.EndColor(); }
  void SetEndColor(uint32_t color);
  // The field's colour, the left end of the gradient. Unless set here it
  // follows the style: the background a style class gives the field (the
  // main window's "redirect" look), else the theme's colour for text fields.
  TColor Color() const { return model_.Color(); }
  void SetColor(TColor color);

  // Properties -------------------------------------------------------------
  TEditCharCase CharCase() const { return model_.CharCase(); }
  void SetCharCase(TEditCharCase value);
  bool ReadOnly() const { return model_.ReadOnly(); }
  void SetReadOnly(bool value) { model_.SetReadOnly(value); }
  bool AutoSelect() const { return model_.AutoSelect(); }
  void SetAutoSelect(bool value) { model_.SetAutoSelect(value); }
  // false: no two-pixel frame.
  bool BorderSingle() const { return border_single_; }
  void SetBorderSingle(bool value);
  // A pop-up menu of the owner's, shown on a right click instead of the
  // built-in one; nullptr for the built-in one.
  void SetPopupMenu(Gtk::Menu* menu) { popup_menu_ = menu; }

  // The calls the window makes as on a Gtk::Entry ----------------------------
  Glib::ustring get_text() const { return model_.Text(); }
  void set_text(const Glib::ustring& text);
  // Raised after every change of the text, typed or set.
  sigc::signal<void()>& signal_changed() { return changed_; }
  // Raised after a change the user made (typed, pasted, cut, deleted,
  // dropped), never after set_text.
  sigc::signal<void()>& signal_edited() { return edited_; }
  // Raised by Enter.
  sigc::signal<void()>& signal_activate() { return activate_; }
  // Raises signal_activate, as Enter does.
  bool activate();
  // Offsets in characters; -1 for the end.
  void select_region(int start, int end);
  bool get_selection_bounds(int& start, int& end) const;
  // Places the caret (-1: at the end) and clears the selection.
  void set_position(int position);
  int get_position() const { return model_.Caret(); }
  // false makes the field read-only.
  void set_editable(bool editable = true) { model_.SetReadOnly(!editable); }
  // The clipboard commands, as the keys and the context menu run them.
  void CutClipboard() { model_.Cut(); }
  void CopyClipboard() { model_.Copy(); }
  void PasteClipboard() { model_.Paste(); }
  void SelectAll() { model_.SelectAll(); }
  bool get_editable() const { return !model_.ReadOnly(); }

  // For tests: the editing model and the built-in context menu as it was
  // last shown.
  GaugeEdit& Model() { return model_; }
  Gtk::Menu& BuiltInMenu() { return builtin_menu_; }
  // Draws the field as it would show on the screen, at the given size.
  void Paint(const Cairo::RefPtr<Cairo::Context>& cr, int width, int height);

 protected:
  void get_preferred_width_vfunc(int& minimum, int& natural) const override;
  void get_preferred_height_vfunc(int& minimum, int& natural) const override;
  void on_size_allocate(Gtk::Allocation& allocation) override;
  void on_realize() override;
  void on_unrealize() override;
  void on_style_updated() override;
  bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;
  bool on_key_press_event(GdkEventKey* event) override;
  bool on_key_release_event(GdkEventKey* event) override;
  bool on_button_press_event(GdkEventButton* event) override;
  bool on_button_release_event(GdkEventButton* event) override;
  bool on_motion_notify_event(GdkEventMotion* event) override;
  bool on_focus_in_event(GdkEventFocus* event) override;
  bool on_focus_out_event(GdkEventFocus* event) override;
  void on_drag_data_received(const Glib::RefPtr<Gdk::DragContext>& context, int x, int y,
                             const Gtk::SelectionData& data, guint info, guint time) override;

 private:
  class Clipboard;

  int MeasureText(std::string_view utf8) const;
  void ResolveColors();
  void BuildMenu();
  void ShowContextMenu(const GdkEvent* event);
  void MenuClosed();
  void AfterMenu();
  void Changed();
  void CaretMoved();
  void RestartBlink();
  void StopBlink();
  void UpdateImCursor();
  // Offers the selected text as the primary selection, as text fields on
  // this desktop do.
  void OfferPrimary();
  void PastePrimaryAt(int x);
  static void ImCommit(GtkIMContext*, const char* text, TGaugeEdit* self);
  static void ImPreeditChanged(GtkIMContext*, TGaugeEdit* self);
  static gboolean ImRetrieveSurrounding(GtkIMContext*, TGaugeEdit* self);
  static gboolean ImDeleteSurrounding(GtkIMContext*, int offset, int count, TGaugeEdit* self);

  GaugeEdit model_;
  std::unique_ptr<Clipboard> clipboard_;
  // The input method (gtkmm has no wrapper for it). Owned.
  GtkIMContext* im_ = nullptr;
  Glib::ustring preedit_;
  int preedit_cursor_ = 0;
  Glib::RefPtr<Pango::Layout> measure_layout_;

  sigc::signal<void()> changed_;
  sigc::signal<void()> edited_;
  sigc::signal<void()> activate_;
  bool setting_text_ = false;

  bool color_set_ = false;
  bool border_single_ = true;
  TColor text_color_ = Rgb(0, 0, 0);
  TColor highlight_ = Rgb(53, 132, 228);
  TColor highlight_text_ = Rgb(255, 255, 255);

  // What assistive technologies were last told.
  int accessible_length_ = 0;
  int accessible_caret_ = 0;

  bool blink_on_ = false;
  sigc::connection blink_timer_;
  // The next focus arrives by a click, which must not select the text.
  bool focus_by_mouse_ = false;

  Gtk::Menu builtin_menu_;
  Gtk::MenuItem undo_item_{"_Undo", true};
  Gtk::MenuItem cut_item_{"Cu_t", true};
  Gtk::MenuItem copy_item_{"_Copy", true};
  Gtk::MenuItem paste_item_{"_Paste", true};
  Gtk::MenuItem delete_item_{"_Delete", true};
  Gtk::MenuItem select_all_item_{"Select _All", true};
  Gtk::Menu* popup_menu_ = nullptr;
  bool menu_up_ = false;
  std::string offered_primary_;
  // Answers from the clipboard that arrive after the field is gone find this false.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace orv
