#include "widgets/page_ext_control_widget.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace orv {

namespace {

void SetSource(const Cairo::RefPtr<Cairo::Context>& cr, TColor c, double alpha = 1.0) {
  cr->set_source_rgba(RedOf(c) / 255.0, GreenOf(c) / 255.0, BlueOf(c) / 255.0, alpha);
}

void FillRect(const Cairo::RefPtr<Cairo::Context>& cr, const TRect& r, TColor c) {
  if (r.Empty()) return;
  SetSource(cr, c);
  cr->rectangle(r.left, r.top, r.Width(), r.Height());
  cr->fill();
}

// The frame around tabs and the non-flat page area: a darker shade of the
// control's colour.
constexpr TColor kFrameColor = Rgb(96, 128, 196);
// Without owner drawing the strip has one plain look of its own.
constexpr TColor kPlainActiveFill = Rgb(250, 250, 250);
constexpr TColor kPlainInactiveFill = Rgb(222, 228, 240);
constexpr TColor kPlainText = Rgb(0, 0, 0);
constexpr TColor kCloseHotFill = Rgb(200, 40, 32);
constexpr TColor kCloseGlyph = Rgb(72, 72, 72);
constexpr TColor kHighlight = Rgb(40, 110, 220);
// Pointer travel before a press on a tab becomes a drag.
constexpr int kDragThreshold = 6;

}  // namespace

// TTabExtSheet ---------------------------------------------------------------

TTabExtSheet::TTabExtSheet() : Gtk::Box(Gtk::ORIENTATION_VERTICAL) {
  set_hexpand(true);
  set_vexpand(true);
  colors_.OnChanged = [this] { Changed(); };
}

TTabExtSheet::~TTabExtSheet() {
  // A page destroyed while still on a strip leaves it quietly: raising the
  // owner's events from a destructor would call into a window that may be
  // going away itself.
  if (control_ != nullptr) control_->Detach(*this, false);
}

void TTabExtSheet::SetCaption(const std::string& caption) {
  caption_ = caption;
  if (control_ != nullptr && control_->owner_draw_) {
    caption_ = TabCaption(caption, control_->close_btn_);
  }
  Changed();
}

void TTabExtSheet::SetImageIndex(int index) {
  if (index == image_index_) return;
  image_index_ = index;
  Changed();
}

void TTabExtSheet::SetTabVisible(bool visible) {
  if (visible == tab_visible_) return;
  tab_visible_ = visible;
  if (control_ != nullptr) control_->TabVisibilityChanged(*this);
}

void TTabExtSheet::SetHighlighted(bool highlighted) {
  if (highlighted == highlighted_) return;
  highlighted_ = highlighted;
  Changed();
}

int TTabExtSheet::PageIndex() const { return control_ ? control_->IndexOf(*this) : -1; }

void TTabExtSheet::SetPageIndex(int index) {
  if (control_ != nullptr) control_->MovePage(*this, index);
}

void TTabExtSheet::Changed() {
  queue_draw();
  if (control_ != nullptr) control_->Changed();
}

bool TTabExtSheet::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
  SetSource(cr, colors_.Color());
  cr->paint();
  return Gtk::Box::on_draw(cr);
}

// TPageExtControl::Strip ----------------------------------------------------

Gtk::SizeRequestMode TPageExtControl::Strip::get_request_mode_vfunc() const {
  return IsVertical(owner_.GetTabPosition()) ? Gtk::SIZE_REQUEST_WIDTH_FOR_HEIGHT
                                             : Gtk::SIZE_REQUEST_HEIGHT_FOR_WIDTH;
}

// The strip never asks for length: it wraps or scrolls its tabs instead, so
// a long row of tabs cannot widen the window.
void TPageExtControl::Strip::get_preferred_width_vfunc(int& minimum, int& natural) const {
  if (IsVertical(owner_.GetTabPosition())) {
    minimum = natural = owner_.Layout(1 << 20).depth;
  } else {
    minimum = natural = 1;
  }
}

void TPageExtControl::Strip::get_preferred_height_vfunc(int& minimum, int& natural) const {
  if (IsVertical(owner_.GetTabPosition())) {
    minimum = natural = 1;
  } else {
    minimum = natural = owner_.Layout(1 << 20).depth;
  }
}

void TPageExtControl::Strip::get_preferred_height_for_width_vfunc(int width, int& minimum,
                                                                  int& natural) const {
  if (IsVertical(owner_.GetTabPosition())) {
    minimum = natural = 1;
  } else {
    minimum = natural = owner_.Layout(width).depth;
  }
}

void TPageExtControl::Strip::get_preferred_width_for_height_vfunc(int height, int& minimum,
                                                                  int& natural) const {
  if (IsVertical(owner_.GetTabPosition())) {
    minimum = natural = owner_.Layout(height).depth;
  } else {
    minimum = natural = 1;
  }
}

// TPageExtControl ------------------------------------------------------------

TPageExtControl::TPageExtControl() : Gtk::Box(Gtk::ORIENTATION_VERTICAL), strip_(*this) {
  set_name("TPageExtControl");
  strip_.set_can_focus(true);
  strip_.add_events(Gdk::BUTTON_PRESS_MASK | Gdk::BUTTON_RELEASE_MASK | Gdk::POINTER_MOTION_MASK |
                    Gdk::LEAVE_NOTIFY_MASK);
  strip_.signal_draw().connect(sigc::mem_fun(*this, &TPageExtControl::DrawStrip));
  strip_.signal_button_press_event().connect(sigc::mem_fun(*this, &TPageExtControl::StripPress));
  strip_.signal_button_release_event().connect(
      sigc::mem_fun(*this, &TPageExtControl::StripRelease));
  strip_.signal_motion_notify_event().connect(sigc::mem_fun(*this, &TPageExtControl::StripMotion));
  strip_.signal_leave_notify_event().connect(sigc::mem_fun(*this, &TPageExtControl::StripLeave));
  strip_.signal_focus_in_event().connect([this](GdkEventFocus*) {
    strip_.queue_draw();
    return false;
  });
  strip_.signal_focus_out_event().connect([this](GdkEventFocus*) {
    strip_.queue_draw();
    return false;
  });
  strip_.signal_size_allocate().connect([this](Gtk::Allocation&) { layout_valid_ = false; });
  stack_.set_hexpand(true);
  stack_.set_vexpand(true);
  stack_.set_transition_type(Gtk::STACK_TRANSITION_TYPE_NONE);
  pack_start(strip_, false, false);
  pack_start(stack_, true, true);
  ArrangeChildren();
  strip_.show();
  stack_.show();
}

TPageExtControl::~TPageExtControl() {
  for (TTabExtSheet* page : pages_) page->control_ = nullptr;
}

TTabExtSheet* TPageExtControl::Pages(int index) const {
  if (index < 0 || index >= PageCount()) return nullptr;
  return pages_[index];
}

int TPageExtControl::IndexOf(const TTabExtSheet& page) const {
  const auto it = std::find(pages_.begin(), pages_.end(), &page);
  return it == pages_.end() ? -1 : static_cast<int>(it - pages_.begin());
}

TTabExtSheet* TPageExtControl::ActivePage() const { return Pages(active_); }

void TPageExtControl::AddPage(TTabExtSheet& page, int index) {
  if (page.control_ == this) {
    MovePage(page, index < 0 ? PageCount() - 1 : index);
    return;
  }
  if (page.control_ != nullptr) page.control_->RemovePage(page);
  if (index < 0 || index > PageCount()) index = PageCount();
  pages_.insert(pages_.begin() + index, &page);
  if (active_ >= index) ++active_;
  page.control_ = this;
  if (owner_draw_) page.caption_ = TabCaption(page.caption_, close_btn_);
  stack_.add(page);
  // A stack shows only visible children; which page shows is its choice of
  // visible child, so every page is shown here.
  page.show();
  ShowActivePage();
  Changed();
  // The strip always shows a page while it has one it can show.
  if (active_ < 0) Activate(index, false);
}

void TPageExtControl::RemovePage(TTabExtSheet& page) {
  int index = IndexOf(page);
  if (index < 0) return;
  // Raised with the index of the page going away (which need not be the
  // active one), while that index still names it.
  if (OnTabDelete) OnTabDelete(index);
  if (IndexOf(page) < 0) return;  // the handler took it away already
  Detach(page, true);
}

void TPageExtControl::Detach(TTabExtSheet& page, bool raise_events) {
  const int index = IndexOf(page);
  if (index < 0) return;
  const bool was_active = index == active_;
  pages_.erase(pages_.begin() + index);
  page.control_ = nullptr;
  stack_.remove(page);
  page.hide();
  if (!was_active) {
    if (index < active_) --active_;
    Changed();
    return;
  }
  active_ = NearestVisible(index);
  ShowActivePage();
  Changed();
  if (raise_events && OnChange) OnChange();
}

int TPageExtControl::NearestVisible(int index) const {
  const int count = PageCount();
  if (count == 0) return -1;
  index = std::clamp(index, 0, count - 1);
  for (int i = index; i < count; ++i) {
    if (pages_[i]->tab_visible_) return i;
  }
  for (int i = index - 1; i >= 0; --i) {
    if (pages_[i]->tab_visible_) return i;
  }
  return -1;
}

void TPageExtControl::TabVisibilityChanged(TTabExtSheet& page) {
  const int index = IndexOf(page);
  if (!page.tab_visible_ && index == active_) {
    // The active page cannot lose its tab and stay shown: its neighbour takes over.
    active_ = -1;
    const int next = NearestVisible(index);
    if (next >= 0) {
      Activate(next, false);
      return;
    }
    Changed();
    if (OnChange) OnChange();
    return;
  }
  Changed();
  if (page.tab_visible_ && active_ < 0) Activate(index, false);
}

void TPageExtControl::MovePage(TTabExtSheet& page, int index) {
  const int from = IndexOf(page);
  if (from < 0) return;
  index = std::clamp(index, 0, PageCount() - 1);
  if (index == from) return;
  TTabExtSheet* active = ActivePage();
  pages_.erase(pages_.begin() + from);
  pages_.insert(pages_.begin() + index, &page);
  active_ = active ? IndexOf(*active) : -1;
  Changed();
}

void TPageExtControl::SetActivePage(TTabExtSheet* page) {
  if (page == nullptr) return;
  const int index = IndexOf(*page);
  if (index >= 0) Activate(index, false);
}

void TPageExtControl::SetActivePageIndex(int index) { Activate(index, false); }

bool TPageExtControl::Activate(int index, bool ask) {
  if (index == active_) return true;
  if (index < 0 || index >= PageCount() || !pages_[index]->tab_visible_) return false;
  if (ask && OnChanging) {
    bool allow = true;
    OnChanging(allow);
    if (!allow) return false;
  }
  active_ = index;
  ShowActivePage();
  close_hot_ = false;
  Changed();
  if (OnChange) OnChange();
  return true;
}

void TPageExtControl::ShowActivePage() {
  if (TTabExtSheet* page = ActivePage()) stack_.set_visible_child(*page);
}

void TPageExtControl::ArrangeChildren() {
  const TabPosition p = GetTabPosition();
  set_orientation(IsVertical(p) ? Gtk::ORIENTATION_HORIZONTAL : Gtk::ORIENTATION_VERTICAL);
  const bool strip_first = p == TabPosition::tpTop || p == TabPosition::tpLeft;
  reorder_child(strip_, strip_first ? 0 : 1);
  // Without Flat the page area keeps a 4-pixel border on the sides away from
  // the tabs; the side next to the tabs stays open so the active tab joins
  // its page.
  const int border = flat_ ? 0 : 4;
  stack_.set_margin_top(p == TabPosition::tpTop ? 0 : border);
  stack_.set_margin_bottom(p == TabPosition::tpBottom ? 0 : border);
  stack_.set_margin_start(p == TabPosition::tpLeft ? 0 : border);
  stack_.set_margin_end(p == TabPosition::tpRight ? 0 : border);
}

void TPageExtControl::Changed() {
  layout_valid_ = false;
  strip_.queue_resize();
  strip_.queue_draw();
  queue_draw();
}

void TPageExtControl::NormalizeCaptions() {
  for (TTabExtSheet* page : pages_) page->caption_ = TabCaption(page->caption_, close_btn_);
}

void TPageExtControl::SetTabPosition(TabPosition p) {
  arrangement_.SetPosition(p);
  ArrangeChildren();
  Changed();
}

void TPageExtControl::SetImages(std::vector<Glib::RefPtr<Gdk::Pixbuf>> images) {
  images_ = std::move(images);
  Changed();
}

int TPageExtControl::AddImage(Glib::RefPtr<Gdk::Pixbuf> image) {
  images_.push_back(std::move(image));
  Changed();
  return static_cast<int>(images_.size()) - 1;
}

void TPageExtControl::SetCloseBtn(bool value) {
  close_btn_ = value;
  owner_draw_ = value;
  // Turning the button off takes the five blanks away again.
  NormalizeCaptions();
  Changed();
}

void TPageExtControl::SetSmallCloseBtn(bool value) {
  small_close_btn_ = value;
  Changed();
}

void TPageExtControl::SetFlat(bool value) {
  flat_ = value;
  ArrangeChildren();
  Changed();
}

void TPageExtControl::SetMultiLine(bool value) {
  arrangement_.SetMultiLine(value);
  Changed();
}

void TPageExtControl::SetScrollOpposite(bool value) {
  arrangement_.SetScrollOpposite(value);
  Changed();
}

void TPageExtControl::SetTabFillGradient(bool value) {
  tab_fill_gradient_ = value;
  Changed();
}

void TPageExtControl::SetTabDragDrop(bool value) {
  tab_drag_drop_ = value;
  drag_armed_ = dragging_ = false;
}

void TPageExtControl::SetTabHeight(int value) {
  tab_height_ = std::max(1, value);
  Changed();
}

void TPageExtControl::SetHotTrack(bool value) {
  hot_track_ = value;
  Changed();
}

void TPageExtControl::SetOwnerDraw(bool value) {
  owner_draw_ = value;
  if (value) NormalizeCaptions();
  Changed();
}

void TPageExtControl::SetPicture(Glib::RefPtr<Gdk::Pixbuf> picture) {
  picture_ = std::move(picture);
  queue_draw();
}

// Geometry --------------------------------------------------------------------

int TPageExtControl::MeasureCaption(const std::string& text, int* height) const {
  auto layout = const_cast<Strip&>(strip_).create_pango_layout(text);
  int w = 0;
  int h = 0;
  layout->get_pixel_size(w, h);
  if (height != nullptr) *height = h;
  return w;
}

int TPageExtControl::ImageWidth() const {
  for (const auto& image : images_) {
    if (image) return image->get_width();
  }
  return 0;
}

int TPageExtControl::ImageHeight() const {
  for (const auto& image : images_) {
    if (image) return image->get_height();
  }
  return 0;
}

TabLayout TPageExtControl::Layout(int strip_length) const {
  TabLayoutInput in;
  for (const TTabExtSheet* page : pages_) {
    in.caption_widths.push_back(page->tab_visible_ ? MeasureCaption(page->caption_) : -1);
  }
  if (!images_.empty())
    in.image_extent = IsVertical(GetTabPosition()) ? ImageHeight() : ImageWidth();
  in.tab_height = tab_height_;
  in.strip_length = strip_length;
  in.multi_line = MultiLine();
  in.position = GetTabPosition();
  in.active = active_;
  return LayoutTabs(in);
}

const TabLayout& TPageExtControl::CurrentLayout() {
  const int length =
      IsVertical(GetTabPosition()) ? strip_.get_allocated_height() : strip_.get_allocated_width();
  if (!layout_valid_ || length != layout_length_) {
    layout_ = Layout(length);
    layout_length_ = length;
    layout_valid_ = true;
  }
  return layout_;
}

TRect TPageExtControl::TabRect(int index) {
  const TabLayout& layout = CurrentLayout();
  if (index < 0 || index >= static_cast<int>(layout.tabs.size())) return {};
  return layout.tabs[index];
}

TRect TPageExtControl::CloseArea(int index) {
  const TRect tab = TabRect(index);
  if (tab.Empty()) return {};
  return orv::CloseArea(tab, GetTabPosition(), tab_height_, small_close_btn_);
}

int TPageExtControl::TabAtPoint(int x, int y) { return TabAt(CurrentLayout().tabs, x, y); }

int TPageExtControl::ImageIndexFor(int index) const {
  int image = pages_[index]->image_index_;
  if (OnGetImageIndex) OnGetImageIndex(index, image);
  return image;
}

// Pointer and keyboard --------------------------------------------------------

void TPageExtControl::HandlePress(int x, int y, int button, bool double_click) {
  if (button == 3) {
    if (!double_click && OnContextPopup) OnContextPopup(nullptr);
    return;
  }
  if (button != 1) return;
  const int hit = TabAtPoint(x, y);
  // The close area as the user saw it when pressing: selecting a tab can
  // scroll a single row, which must not move a close button under the
  // pointer of a press that was aimed at the caption.
  const bool in_close = close_btn_ && hit >= 0 && CloseArea(hit).Contains(x, y);
  if (double_click) {
    // The second press of a double click on the close button has already
    // been a press of its own; on the tab itself it is the double click.
    if (hit >= 0 && hit == active_ && !in_close && OnTabDblClick) OnTabDblClick(active_);
    return;
  }
  // The press first selects the tab under the pointer, as any page control does.
  if (hit >= 0 && hit != active_) Activate(hit, true);
  if (in_close && hit == active_) {
    TTabExtSheet* page = ActivePage();
    bool can_close = true;
    if (OnTabClose) OnTabClose(active_, can_close);
    if (can_close && IndexOf(*page) >= 0) {
      RemovePage(*page);
      return;
    }
  }
  // A press beside the tabs is not a click on one.
  if (hit < 0 || hit != active_) return;
  if (OnTabClick) OnTabClick(active_);
  if (tab_drag_drop_) {
    drag_armed_ = true;
    dragging_ = false;
    drag_x_ = x;
    drag_y_ = y;
    drop_target_ = -1;
  }
}

void TPageExtControl::HandleMotion(int x, int y, bool button_held) {
  const bool hot = close_btn_ && active_ >= 0 && CloseArea(active_).Contains(x, y);
  const int hot_tab = TabAtPoint(x, y);
  bool redraw = hot != close_hot_ || (hot_track_ && hot_tab != hot_tab_);
  close_hot_ = hot;
  hot_tab_ = hot_tab;
  if (drag_armed_ && button_held) {
    if (!dragging_ && std::abs(x - drag_x_) + std::abs(y - drag_y_) >= kDragThreshold) {
      dragging_ = true;
    }
    if (dragging_ && hot_tab != drop_target_) {
      drop_target_ = hot_tab;
      redraw = true;
    }
  } else if (drag_armed_) {
    drag_armed_ = dragging_ = false;
    drop_target_ = -1;
    redraw = true;
  }
  if (redraw) strip_.queue_draw();
}

void TPageExtControl::HandleRelease(int x, int y, int button) {
  if (button != 1) return;
  const bool dropped = dragging_;
  drag_armed_ = dragging_ = false;
  drop_target_ = -1;
  strip_.queue_draw();
  if (!dropped) return;
  // A drop on another tab moves the active page to that tab's position.
  const int target = TabAtPoint(x, y);
  if (target >= 0 && target != active_ && ActivePage() != nullptr) MovePage(*ActivePage(), target);
}

void TPageExtControl::HandleLeave() {
  if (!close_hot_ && hot_tab_ < 0) return;
  close_hot_ = false;
  hot_tab_ = -1;
  strip_.queue_draw();
}

bool TPageExtControl::StripPress(GdkEventButton* event) {
  if (event->type == GDK_BUTTON_PRESS && event->button == 3) {
    if (OnContextPopup) OnContextPopup(event);
    return true;
  }
  if (event->type != GDK_BUTTON_PRESS && event->type != GDK_2BUTTON_PRESS) return true;
  HandlePress(static_cast<int>(event->x), static_cast<int>(event->y),
              static_cast<int>(event->button), event->type == GDK_2BUTTON_PRESS);
  return true;
}

bool TPageExtControl::StripRelease(GdkEventButton* event) {
  HandleRelease(static_cast<int>(event->x), static_cast<int>(event->y),
                static_cast<int>(event->button));
  return true;
}

bool TPageExtControl::StripMotion(GdkEventMotion* event) {
  HandleMotion(static_cast<int>(event->x), static_cast<int>(event->y),
               (event->state & GDK_BUTTON1_MASK) != 0);
  return true;
}

bool TPageExtControl::StripLeave(GdkEventCrossing* event) {
  // The pointer grab of a held button still reports motion; only a real
  // leave clears the hot look.
  if (event->mode == GDK_CROSSING_NORMAL) HandleLeave();
  return false;
}

bool TPageExtControl::on_key_press_event(GdkEventKey* event) {
  const bool ctrl = (event->state & GDK_CONTROL_MASK) != 0;
  int step = 0;
  if (ctrl && event->keyval == GDK_KEY_Page_Up) step = -1;
  if (ctrl && event->keyval == GDK_KEY_Page_Down) step = 1;
  if (strip_.has_focus() && !ctrl) {
    if (event->keyval == GDK_KEY_Left || event->keyval == GDK_KEY_Up) step = -1;
    if (event->keyval == GDK_KEY_Right || event->keyval == GDK_KEY_Down) step = 1;
  }
  if (step == 0 || PageCount() == 0) return Gtk::Box::on_key_press_event(event);
  // Ctrl+PageUp and Ctrl+PageDown go round; the arrow keys stop at the ends.
  const bool wrap = ctrl;
  const int count = PageCount();
  int index = active_;
  for (int tries = 0; tries < count; ++tries) {
    index += step;
    if (index < 0 || index >= count) {
      if (!wrap) return true;
      index = (index + count) % count;
    }
    if (pages_[index]->tab_visible_) break;
  }
  Activate(index, true);
  return true;
}

// Drawing --------------------------------------------------------------------

bool TPageExtControl::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
  SetSource(cr, kPageExtControlColor);
  cr->paint();
  if (!flat_ && ActivePage() != nullptr) {
    const Gtk::Allocation a = stack_.get_allocation();
    const Gtk::Allocation mine = get_allocation();
    SetSource(cr, kFrameColor);
    cr->set_line_width(1);
    cr->rectangle(a.get_x() - mine.get_x() - 0.5, a.get_y() - mine.get_y() - 0.5, a.get_width() + 1,
                  a.get_height() + 1);
    cr->stroke();
  }
  Gtk::Box::on_draw(cr);
  bool any_tab = false;
  for (const TTabExtSheet* page : pages_) any_tab = any_tab || page->tab_visible_;
  if (!any_tab && picture_) {
    const int w = get_allocated_width();
    const int h = get_allocated_height();
    if (w > 0 && h > 0 && picture_->get_width() > 0 && picture_->get_height() > 0) {
      cr->save();
      cr->scale(static_cast<double>(w) / picture_->get_width(),
                static_cast<double>(h) / picture_->get_height());
      Gdk::Cairo::set_source_pixbuf(cr, picture_, 0, 0);
      // Padding, not transparency, beyond the edges: a stretched picture
      // would otherwise fade out along the control's border.
      Cairo::RefPtr<Cairo::SurfacePattern>::cast_static(cr->get_source())
          ->set_extend(Cairo::EXTEND_PAD);
      cr->paint();
      cr->restore();
    }
  }
  return true;
}

bool TPageExtControl::DrawStrip(const Cairo::RefPtr<Cairo::Context>& cr) {
  SetSource(cr, kPageExtControlColor);
  cr->paint();
  const TabLayout& layout = CurrentLayout();
  if (layout.rows == 0) return true;
  const TabPosition p = GetTabPosition();
  const int w = strip_.get_allocated_width();
  const int h = strip_.get_allocated_height();

  // The gap next to the page takes the active page's colour, so the active
  // tab, drawn into it, joins its page.
  TRect gap;
  switch (p) {
    case TabPosition::tpTop:
      gap = {0, h - kStripGap, w, h};
      break;
    case TabPosition::tpBottom:
      gap = {0, 0, w, kStripGap};
      break;
    case TabPosition::tpLeft:
      gap = {w - kStripGap, 0, w, h};
      break;
    case TabPosition::tpRight:
      gap = {0, 0, kStripGap, h};
      break;
  }
  if (const TTabExtSheet* page = ActivePage()) {
    FillRect(cr, gap, owner_draw_ ? page->Colors().Color() : kPlainActiveFill);
  }

  for (int i = 0; i < PageCount(); ++i) {
    if (i != active_ && !layout.tabs[i].Empty()) DrawTab(cr, i, layout.tabs[i], false);
  }
  if (active_ >= 0 && !layout.tabs[active_].Empty()) {
    // The active tab reaches into the gap when its row lies next to the page.
    TRect r = layout.tabs[active_];
    if (p == TabPosition::tpTop && r.bottom + kStripGap == h) r.bottom = h;
    if (p == TabPosition::tpBottom && r.top == kStripGap) r.top = 0;
    if (p == TabPosition::tpLeft && r.right + kStripGap == w) r.right = w;
    if (p == TabPosition::tpRight && r.left == kStripGap) r.left = 0;
    DrawTab(cr, active_, r, true);
    if (strip_.has_focus()) {
      SetSource(cr, Rgb(0, 0, 0), 0.6);
      cr->set_line_width(1);
      std::vector<double> dashes = {1, 1};
      cr->set_dash(dashes, 0);
      cr->rectangle(r.left + 3.5, r.top + 3.5, r.Width() - 7, r.Height() - 7);
      cr->stroke();
      cr->unset_dash();
    }
  }
  if (dragging_ && drop_target_ >= 0 && drop_target_ != active_) {
    // Where the dragged tab will land: a bar at the target's leading edge.
    const TRect t = layout.tabs[drop_target_];
    SetSource(cr, Rgb(0, 0, 0));
    if (IsVertical(p)) {
      const int y = drop_target_ < active_ ? t.top : t.bottom - 2;
      cr->rectangle(t.left, y, t.Width(), 2);
    } else {
      const int x = drop_target_ < active_ ? t.left : t.right - 2;
      cr->rectangle(x, t.top, 2, t.Height());
    }
    cr->fill();
  }
  return true;
}

void TPageExtControl::DrawTab(const Cairo::RefPtr<Cairo::Context>& cr, int index, const TRect& rect,
                              bool active) {
  const TTabExtSheet& page = *pages_[index];
  const TabPosition p = GetTabPosition();
  cr->save();
  TColor brush;
  TColor font;
  if (owner_draw_) {
    const TTabColors& colors = page.Colors();
    const TabFill fill = PlanTabFill(rect, p, active, tab_fill_gradient_, hot_track_, colors);
    if (fill.gradient) {
      for (const ColorBand& band : GradientBands(fill.rect, fill.start, fill.end, fill.direction)) {
        FillRect(cr, band.rect, band.color);
      }
    } else {
      FillRect(cr, fill.rect, fill.start);
    }
    brush = active ? colors.ActiveFill1() : colors.InActivefill1();
    font = active ? colors.ActiveFontColor() : colors.InActiveFontColor();
  } else {
    brush = active ? kPlainActiveFill : kPlainInactiveFill;
    font = kPlainText;
    FillRect(cr, rect, brush);
  }

  // The frame on the three sides away from the page.
  SetSource(cr, kFrameColor);
  cr->set_line_width(1);
  const double l = rect.left + 0.5, t = rect.top + 0.5;
  const double r = rect.right - 0.5, b = rect.bottom - 0.5;
  switch (p) {
    case TabPosition::tpTop:
      cr->move_to(l, rect.bottom);
      cr->line_to(l, t);
      cr->line_to(r, t);
      cr->line_to(r, rect.bottom);
      break;
    case TabPosition::tpBottom:
      cr->move_to(l, rect.top);
      cr->line_to(l, b);
      cr->line_to(r, b);
      cr->line_to(r, rect.top);
      break;
    case TabPosition::tpLeft:
      cr->move_to(rect.right, t);
      cr->line_to(l, t);
      cr->line_to(l, b);
      cr->line_to(rect.right, b);
      break;
    case TabPosition::tpRight:
      cr->move_to(rect.left, t);
      cr->line_to(r, t);
      cr->line_to(r, b);
      cr->line_to(rect.left, b);
      break;
  }
  cr->stroke();

  if (page.highlighted_) {
    SetSource(cr, kHighlight, 0.25);
    cr->rectangle(rect.left, rect.top, rect.Width(), rect.Height());
    cr->fill();
  }
  if (hot_track_ && index == hot_tab_ && !active) {
    SetSource(cr, Rgb(255, 255, 255), 0.35);
    cr->rectangle(rect.left, rect.top, rect.Width(), rect.Height());
    cr->fill();
  }

  // The caption as the tab keeps it.
  std::string caption = page.caption_;
  if (owner_draw_) {
    caption = TabCaption(caption, close_btn_);
    pages_[index]->caption_ = caption;
  }
  auto text = strip_.create_pango_layout(caption);
  int tw = 0;
  int th = 0;
  text->get_pixel_size(tw, th);
  const bool has_images = !images_.empty();
  const int iw = ImageWidth();
  const int ih = ImageHeight();
  // The rectangle as laid out, not as widened into the gap, places the text.
  TRect place = rect;
  if (active) {
    if (p == TabPosition::tpTop) place.bottom = place.top + tab_height_;
    if (p == TabPosition::tpBottom) place.top = place.bottom - tab_height_;
    if (p == TabPosition::tpLeft) place.right = place.left + tab_height_;
    if (p == TabPosition::tpRight) place.left = place.right - tab_height_;
  }
  const TabTextPlacement at = PlaceTabText(place, p, active, has_images, iw, ih, tw, th);
  cr->save();
  cr->rectangle(at.text_area.left, at.text_area.top, at.text_area.Width(), at.text_area.Height());
  cr->clip();
  SetSource(cr, font);
  cr->translate(at.text_x, at.text_y);
  if (at.rotation_degrees == 90) cr->rotate(-M_PI / 2);
  if (at.rotation_degrees == 270) cr->rotate(M_PI / 2);
  cr->move_to(0, 0);
  text->show_in_cairo_context(cr);
  cr->restore();

  if (has_images) {
    const int image = ImageIndexFor(index);
    if (image >= 0 && image < static_cast<int>(images_.size()) && images_[image]) {
      Glib::RefPtr<Gdk::Pixbuf> pixbuf = images_[image];
      // The image list has one size: the first image's.
      if (pixbuf->get_width() != iw || pixbuf->get_height() != ih) {
        pixbuf = pixbuf->scale_simple(iw, ih, Gdk::INTERP_BILINEAR);
      }
      Gdk::Cairo::set_source_pixbuf(cr, pixbuf, at.image_x, at.image_y);
      cr->rectangle(at.image_x, at.image_y, iw, ih);
      cr->fill();
    }
  }

  // The close button shows on the active tab; without owner drawing too,
  // because the area closes the tab whether or not it is drawn.
  if (close_btn_ && active) {
    const TRect area = orv::CloseArea(place, p, tab_height_, small_close_btn_);
    DrawCloseGlyph(cr, area, brush);
  }
  cr->restore();
}

void TPageExtControl::DrawCloseGlyph(const Cairo::RefPtr<Cairo::Context>& cr, const TRect& area,
                                     TColor fill) {
  FillRect(cr, area, fill);
  // The cross sits in a square of at most 12 pixels in the middle of the area.
  const int side = std::min({12, area.Width(), area.Height()});
  if (side <= 0) return;
  const double x = area.left + (area.Width() - side) / 2;
  const double y = area.top + (area.Height() - side) / 2;
  if (close_hot_) {
    SetSource(cr, kCloseHotFill);
    const double radius = 2;
    cr->begin_new_sub_path();
    cr->arc(x + side - radius, y + radius, radius, -M_PI / 2, 0);
    cr->arc(x + side - radius, y + side - radius, radius, 0, M_PI / 2);
    cr->arc(x + radius, y + side - radius, radius, M_PI / 2, M_PI);
    cr->arc(x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
    cr->close_path();
    cr->fill();
  }
  SetSource(cr, close_hot_ ? Rgb(255, 255, 255) : kCloseGlyph);
  cr->set_line_width(1.5);
  cr->set_line_cap(Cairo::LINE_CAP_ROUND);
  const double inset = side / 4.0 + 0.5;
  cr->move_to(x + inset, y + inset);
  cr->line_to(x + side - inset, y + side - inset);
  cr->move_to(x + side - inset, y + inset);
  cr->line_to(x + inset, y + side - inset);
  cr->stroke();
}

}  // namespace orv
