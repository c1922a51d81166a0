// TPageExtControl, the self-drawn tab strip, and TTabExtSheet, one of its
// pages. The geometry and colours come from page_ext_control.h; this file
// measures, draws and handles the pointer and keyboard.
#pragma once

#include <gtkmm.h>

#include <functional>
#include <string>
#include <vector>

#include "widgets/page_ext_control.h"

namespace orv {

class TPageExtControl;

// A page: a vertical box that fills the page area while its tab is active.
// Its background is painted in Colors().Color().
class TTabExtSheet : public Gtk::Box {
 public:
  TTabExtSheet();
  ~TTabExtSheet() override;

  const std::string& Caption() const { return caption_; }
  // On a strip with CloseBtn the caption is kept trimmed with five blanks
  // appended, as the strip shows it.
  void SetCaption(const std::string& caption);

  int ImageIndex() const { return image_index_; }
  void SetImageIndex(int index);

  TTabColors& Colors() { return colors_; }
  const TTabColors& Colors() const { return colors_; }

  bool TabVisible() const { return tab_visible_; }
  void SetTabVisible(bool visible);

  bool Highlighted() const { return highlighted_; }
  void SetHighlighted(bool highlighted);

  // The position on its strip, or -1 while it belongs to none.
  int PageIndex() const;
  void SetPageIndex(int index);

  TPageExtControl* PageControl() const { return control_; }

 protected:
  bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;

 private:
  friend class TPageExtControl;
  void Changed();

  TPageExtControl* control_ = nullptr;
  std::string caption_;
  int image_index_ = -1;
  TTabColors colors_;
  bool tab_visible_ = true;
  bool highlighted_ = false;
};

class TPageExtControl : public Gtk::Box {
 public:
  TPageExtControl();
  ~TPageExtControl() override;

  int PageCount() const { return static_cast<int>(pages_.size()); }
  TTabExtSheet* Pages(int index) const;
  // Adds `page` at `index` (the end when -1 or out of range). A page of
  // another strip leaves that one first; adding the first page makes it active.
  void AddPage(TTabExtSheet& page, int index = -1);
  // Takes the page off the strip and hides it; the page is not destroyed.
  // Raises OnTabDelete with its index first. When it was the active page the
  // tab now at its position (or the last) becomes active and OnChange runs.
  void RemovePage(TTabExtSheet& page);
  void MovePage(TTabExtSheet& page, int index);
  int IndexOf(const TTabExtSheet& page) const;

  TTabExtSheet* ActivePage() const;
  // Both raise OnChange when the active page changes; OnChanging is asked only
  // for changes the user makes.
  void SetActivePage(TTabExtSheet* page);
  int ActivePageIndex() const { return active_; }
  void SetActivePageIndex(int index);

  void SetTabPosition(TabPosition p);
  TabPosition GetTabPosition() const { return arrangement_.Position(); }
  void SetImages(std::vector<Glib::RefPtr<Gdk::Pixbuf>> images);
  // Appends an image and answers its index.
  int AddImage(Glib::RefPtr<Gdk::Pixbuf> image);
  int ImageCount() const { return static_cast<int>(images_.size()); }

  bool CloseBtn() const { return close_btn_; }
  // Also sets OwnerDraw to the same value.
  void SetCloseBtn(bool value);
  bool SmallCloseBtn() const { return small_close_btn_; }
  void SetSmallCloseBtn(bool value);
  bool Flat() const { return flat_; }
  void SetFlat(bool value);
  bool MultiLine() const { return arrangement_.MultiLine(); }
  // Throws std::runtime_error(kMultiLineError) for false with left or right tabs.
  void SetMultiLine(bool value);
  bool ScrollOpposite() const { return arrangement_.ScrollOpposite(); }
  void SetScrollOpposite(bool value);
  bool TabFillGradient() const { return tab_fill_gradient_; }
  void SetTabFillGradient(bool value);
  bool TabDragDrop() const { return tab_drag_drop_; }
  void SetTabDragDrop(bool value);
  int TabHeight() const { return tab_height_; }
  void SetTabHeight(int value);
  bool HotTrack() const { return hot_track_; }
  void SetHotTrack(bool value);
  bool OwnerDraw() const { return owner_draw_; }
  void SetOwnerDraw(bool value);
  Glib::RefPtr<Gdk::Pixbuf> Picture() const { return picture_; }
  void SetPicture(Glib::RefPtr<Gdk::Pixbuf> picture);

  std::function<void()> OnChange;
  std::function<void(bool& allow)> OnChanging;
  std::function<void(int index, bool& can_close)> OnTabClose;
  std::function<void(int index)> OnTabClick;
  std::function<void(int index)> OnTabDblClick;
  std::function<void(int index)> OnTabDelete;
  std::function<void(int index, int& image_index)> OnGetImageIndex;
  // A right-button press on the strip; the owner shows its tab menu.
  std::function<void(GdkEventButton* event)> OnContextPopup;

  // Geometry in the coordinates of the tab strip area (TabStrip()).
  TRect TabRect(int index);
  TRect CloseArea(int index);
  int TabAtPoint(int x, int y);
  // The pointer rests on the active tab's close area.
  bool CloseButtonHot() const { return close_hot_; }

  // Pointer input in strip coordinates, as the strip's event handlers deliver
  // it; `double_click` marks the second press of a double click.
  void HandlePress(int x, int y, int button, bool double_click = false);
  void HandleMotion(int x, int y, bool button_held);
  void HandleRelease(int x, int y, int button);
  void HandleLeave();

  Gtk::DrawingArea& TabStrip() { return strip_; }

 protected:
  bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;
  bool on_key_press_event(GdkEventKey* event) override;

 private:
  friend class TTabExtSheet;

  // The strip asks for the size its rows of tabs need at the width it gets.
  class Strip : public Gtk::DrawingArea {
   public:
    explicit Strip(TPageExtControl& owner) : owner_(owner) {}

   protected:
    Gtk::SizeRequestMode get_request_mode_vfunc() const override;
    void get_preferred_width_vfunc(int& minimum, int& natural) const override;
    void get_preferred_height_vfunc(int& minimum, int& natural) const override;
    void get_preferred_height_for_width_vfunc(int width, int& minimum, int& natural) const override;
    void get_preferred_width_for_height_vfunc(int height, int& minimum,
                                              int& natural) const override;

   private:
    TPageExtControl& owner_;
  };

  // Takes `page` off the strip; `raise_events` raises OnChange when the
  // active page changes.
  void Detach(TTabExtSheet& page, bool raise_events);
  // The first page from `index` on whose tab is visible, else the last before it.
  int NearestVisible(int index) const;
  void TabVisibilityChanged(TTabExtSheet& page);
  void NormalizeCaptions();
  // Makes `index` active; `ask` consults OnChanging first. Answers whether
  // the active page is `index` afterwards.
  bool Activate(int index, bool ask);
  void ShowActivePage();
  void ArrangeChildren();
  void Changed();

  TabLayout Layout(int strip_length) const;
  const TabLayout& CurrentLayout();
  int MeasureCaption(const std::string& text, int* height = nullptr) const;
  int ImageIndexFor(int index) const;
  int ImageWidth() const;
  int ImageHeight() const;

  bool DrawStrip(const Cairo::RefPtr<Cairo::Context>& cr);
  void DrawTab(const Cairo::RefPtr<Cairo::Context>& cr, int index, const TRect& rect, bool active);
  void DrawCloseGlyph(const Cairo::RefPtr<Cairo::Context>& cr, const TRect& area, TColor fill);
  bool StripPress(GdkEventButton* event);
  bool StripRelease(GdkEventButton* event);
  bool StripMotion(GdkEventMotion* event);
  bool StripLeave(GdkEventCrossing* event);

  Strip strip_;
  Gtk::Stack stack_;
  std::vector<TTabExtSheet*> pages_;
  int active_ = -1;
  std::vector<Glib::RefPtr<Gdk::Pixbuf>> images_;
  Glib::RefPtr<Gdk::Pixbuf> picture_;

  TabArrangement arrangement_;
  bool close_btn_ = false;
  bool small_close_btn_ = true;
  bool flat_ = false;
  bool tab_fill_gradient_ = false;
  bool tab_drag_drop_ = false;
  int tab_height_ = 22;
  bool hot_track_ = false;
  bool owner_draw_ = false;

  bool close_hot_ = false;
  int hot_tab_ = -1;
  // A press on a tab with TabDragDrop: where it started and whether the
  // pointer has since moved far enough to count as a drag.
  bool drag_armed_ = false;
  bool dragging_ = false;
  int drag_x_ = 0;
  int drag_y_ = 0;
  int drop_target_ = -1;

  // The layout for the strip's current length, rebuilt after every change.
  TabLayout layout_;
  int layout_length_ = -1;
  bool layout_valid_ = false;
};

}  // namespace orv
