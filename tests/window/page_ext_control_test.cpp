// The tab strip widget in a real window under Xvfb: pages, presses, events,
// rows and drawing.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/main_loop.h"
#include "widgets/page_ext_control_widget.h"
#include "window_fixture.h"

namespace orv::test {
namespace {

// The toolkit must be up before the fixture's widgets are constructed.
struct ToolkitFirst {
  ToolkitFirst() { InitToolkit(); }
};

class PageExtControlTest : public ::testing::Test, private ToolkitFirst {
 protected:
  void SetUp() override {
    window_.set_default_size(600, 300);
    window_.add(control_);
    control_.SetCloseBtn(true);
    control_.SetTabFillGradient(true);
    control_.OnChange = [&] {
      log_.push_back("change " + std::to_string(control_.ActivePageIndex()));
    };
    control_.OnChanging = [&](bool&) { log_.push_back("changing"); };
    control_.OnTabClose = [&](int i, bool& can_close) {
      log_.push_back("close " + std::to_string(i));
      can_close = allow_close_;
    };
    control_.OnTabClick = [&](int i) { log_.push_back("click " + std::to_string(i)); };
    control_.OnTabDblClick = [&](int i) { log_.push_back("dblclick " + std::to_string(i)); };
    control_.OnTabDelete = [&](int i) { log_.push_back("delete " + std::to_string(i)); };
  }

  void TearDown() override {
    // Pages taken off the strip belong to the test; those still on it are
    // destroyed with the fixture.
    log_.clear();
  }

  // Adds `count` pages captioned "Page 0", "Page 1", ... and shows the window.
  void AddPages(int count) {
    for (int i = 0; i < count; ++i) {
      pages_.push_back(std::make_unique<TTabExtSheet>());
      pages_.back()->SetCaption("Page " + std::to_string(i));
      control_.AddPage(*pages_.back());
    }
    Show();
  }

  void Show() {
    window_.show_all();
    WaitUntil([&] { return control_.TabStrip().get_allocated_width() > 100; }, 3000);
    Settle();
    log_.clear();
  }

  // Lets the window lay itself out again after a change, at once rather
  // than at the next frame.
  void Settle() {
    ProcessPendingEvents();
    window_.check_resize();
    ProcessPendingEvents();
  }

  static void Centre(const TRect& r, int& x, int& y) {
    x = r.left + r.Width() / 2;
    y = r.top + r.Height() / 2;
  }

  void PressCloseOf(int index) {
    int x, y;
    Centre(control_.CloseArea(index), x, y);
    control_.HandlePress(x, y, 1);
  }

  void PressTab(int index, bool double_click = false) {
    // The middle of the caption part, away from the close area.
    const TRect r = control_.TabRect(index);
    control_.HandlePress(r.left + 8, r.top + r.Height() / 2, 1, double_click);
  }

  // The colour of one pixel of `widget` as it paints itself, once laid out.
  TColor PixelOf(Gtk::Widget& widget, int x, int y) {
    Settle();
    auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, widget.get_allocated_width(),
                                               widget.get_allocated_height());
    auto cr = Cairo::Context::create(surface);
    gtk_widget_draw(widget.gobj(), cr->cobj());
    surface->flush();
    const unsigned char* p = surface->get_data() + y * surface->get_stride() + x * 4;
    return Rgb(p[2], p[1], p[0]);
  }

  using Log = std::vector<std::string>;

  Gtk::Window window_;
  std::vector<std::unique_ptr<TTabExtSheet>> pages_;
  TPageExtControl control_;
  Log log_;
  bool allow_close_ = true;
};

TEST_F(PageExtControlTest, CaptionsKeepFiveBlanksWhileTheCloseButtonIsOn) {
  AddPages(1);
  pages_[0]->SetCaption("  News ");
  EXPECT_EQ(pages_[0]->Caption(), "News     ");
  control_.SetCloseBtn(false);
  EXPECT_EQ(pages_[0]->Caption(), "News");
  EXPECT_FALSE(control_.OwnerDraw());
  // A page added later to a strip with the button takes the blanks too.
  control_.SetCloseBtn(true);
  TTabExtSheet late;
  late.SetCaption("Late");
  EXPECT_EQ(late.Caption(), "Late");
  control_.AddPage(late);
  EXPECT_EQ(late.Caption(), "Late     ");
  EXPECT_TRUE(control_.OwnerDraw());
}

TEST_F(PageExtControlTest, ColoursSetOnAPageShowTheFixedScheme) {
  AddPages(1);
  pages_[0]->Colors().SetActiveFill1(Rgb(255, 0, 0));
  pages_[0]->Colors().SetInActivefill2(Rgb(0, 255, 0));
  EXPECT_EQ(pages_[0]->Colors().ActiveFill1(), Rgb(248, 248, 241));
  EXPECT_EQ(pages_[0]->Colors().InActivefill2(), Rgb(200, 219, 254));
}

TEST_F(PageExtControlTest, FirstPageBecomesActiveAndInsertedPagesKeepTheActiveOne) {
  TTabExtSheet a, b, c;
  a.SetCaption("a");
  control_.AddPage(a);
  EXPECT_EQ(control_.ActivePage(), &a);
  EXPECT_EQ(log_, (Log{"change 0"}));
  control_.AddPage(b);
  control_.AddPage(c, 0);
  EXPECT_EQ(control_.ActivePage(), &a);
  EXPECT_EQ(control_.ActivePageIndex(), 1);
  EXPECT_EQ(c.PageIndex(), 0);
  control_.MovePage(a, 2);
  EXPECT_EQ(control_.Pages(2), &a);
  EXPECT_EQ(control_.ActivePageIndex(), 2);
  control_.SetActivePage(&b);
  EXPECT_EQ(control_.ActivePageIndex(), 1);
  EXPECT_EQ(log_.back(), "change 1");
  // Out of range changes nothing.
  control_.SetActivePageIndex(7);
  EXPECT_EQ(control_.ActivePage(), &b);
  control_.RemovePage(a);
  control_.RemovePage(b);
  control_.RemovePage(c);
}

TEST_F(PageExtControlTest, CloseSquareOfAnInactiveTabActivatesItThenClosesIt) {
  AddPages(3);
  ASSERT_EQ(control_.ActivePageIndex(), 0);
  PressCloseOf(1);
  EXPECT_EQ(log_, (Log{"changing", "change 1", "close 1", "delete 1", "change 1"}));
  ASSERT_EQ(control_.PageCount(), 2);
  EXPECT_EQ(control_.ActivePage(), pages_[2].get());
  // Taken off the strip and hidden, not destroyed.
  EXPECT_EQ(pages_[1]->PageControl(), nullptr);
  EXPECT_EQ(pages_[1]->PageIndex(), -1);
  EXPECT_FALSE(pages_[1]->get_visible());
  EXPECT_EQ(pages_[1]->get_parent(), nullptr);
}

TEST_F(PageExtControlTest, RefusedCloseKeepsTheTabAndClicksIt) {
  AddPages(2);
  allow_close_ = false;
  PressCloseOf(0);
  EXPECT_EQ(log_, (Log{"close 0", "click 0"}));
  EXPECT_EQ(control_.PageCount(), 2);
}

TEST_F(PageExtControlTest, PressesClicksDoubleClicksAndTheContextMenu) {
  AddPages(3);
  PressTab(2);
  EXPECT_EQ(log_, (Log{"changing", "change 2", "click 2"}));
  log_.clear();
  // A double click: its second press, then the double press. A single
  // press is no double click.
  PressTab(2);
  PressTab(2, true);
  EXPECT_EQ(log_, (Log{"click 2", "dblclick 2"}));
  log_.clear();
  // Beside the tabs nothing is clicked; the right button only asks for the menu.
  control_.HandlePress(590, 5, 1);
  int popups = 0;
  control_.OnContextPopup = [&](GdkEventButton*) { ++popups; };
  control_.HandlePress(control_.TabRect(0).left + 5, 5, 3);
  EXPECT_EQ(popups, 1);
  EXPECT_TRUE(log_.empty());
  EXPECT_EQ(control_.ActivePageIndex(), 2);
  // Without the close button its area is an ordinary part of the tab.
  control_.SetCloseBtn(false);
  PressCloseOf(2);
  EXPECT_EQ(log_, (Log{"click 2"}));
}

TEST_F(PageExtControlTest, ButtonEventsOfTheStripReachTheHandlers) {
  AddPages(2);
  GdkEvent* seen = nullptr;
  control_.OnContextPopup = [&](GdkEventButton* e) { seen = reinterpret_cast<GdkEvent*>(e); };
  const TRect tab = control_.TabRect(1);
  GdkEventButton press{};
  press.window = control_.TabStrip().get_window()->gobj();
  press.x = tab.left + 8;
  press.y = tab.top + 10;
  press.button = 1;
  for (const GdkEventType type : {GDK_BUTTON_PRESS, GDK_2BUTTON_PRESS}) {
    press.type = type;
    control_.TabStrip().event(reinterpret_cast<GdkEvent*>(&press));
  }
  press.type = GDK_BUTTON_PRESS;
  press.button = 3;
  control_.TabStrip().event(reinterpret_cast<GdkEvent*>(&press));
  EXPECT_EQ(log_, (Log{"changing", "change 1", "click 1", "dblclick 1"}));
  // The owner gets the event itself, to show its menu at the pointer.
  EXPECT_EQ(seen, reinterpret_cast<GdkEvent*>(&press));
}

TEST_F(PageExtControlTest, OnChangingCanRefuseTheUsersChange) {
  AddPages(2);
  control_.OnChanging = [&](bool& allow) { allow = false; };
  PressTab(1);
  PressCloseOf(1);
  EXPECT_EQ(control_.ActivePageIndex(), 0);
  EXPECT_EQ(control_.PageCount(), 2);
  EXPECT_TRUE(log_.empty());
}

TEST_F(PageExtControlTest, RemovingAPageChoosesTheTabNowAtItsPosition) {
  struct Case {
    int pages;
    int active;
    int removed;
    int active_after;  // page number (by caption order), -1 for none
    Log log;
  } cases[] = {
      {4, 1, 1, 2, {"delete 1", "change 1"}},
      {4, 3, 3, 2, {"delete 3", "change 2"}},
      // Another page goes: the active page stays, one place further forward.
      {4, 2, 0, 2, {"delete 0"}},
      {4, 1, 3, 1, {"delete 3"}},
      {1, 0, 0, -1, {"delete 0", "change -1"}},
  };
  for (const Case& c : cases) {
    pages_.clear();
    AddPages(c.pages);
    control_.SetActivePageIndex(c.active);
    log_.clear();
    control_.RemovePage(*pages_[c.removed]);
    SCOPED_TRACE(std::to_string(c.active) + " remove " + std::to_string(c.removed));
    EXPECT_EQ(log_, c.log);
    EXPECT_EQ(control_.ActivePage(), c.active_after < 0 ? nullptr : pages_[c.active_after].get());
    EXPECT_EQ(control_.PageCount(), c.pages - 1);
    // A page no longer on the strip is ignored.
    control_.RemovePage(*pages_[c.removed]);
    EXPECT_EQ(control_.PageCount(), c.pages - 1);
    for (auto& p : pages_) control_.RemovePage(*p);
  }
}

TEST_F(PageExtControlTest, DestroyingAPageTakesItOffTheStrip) {
  AddPages(3);
  control_.SetActivePageIndex(1);
  log_.clear();
  pages_[1].reset();
  EXPECT_EQ(control_.PageCount(), 2);
  EXPECT_EQ(control_.ActivePage(), pages_[2].get());
  EXPECT_TRUE(log_.empty());
  PressTab(0);
  EXPECT_EQ(control_.ActivePageIndex(), 0);
}

TEST_F(PageExtControlTest, MultiLineOffBesideThePageFails) {
  AddPages(2);
  control_.SetTabPosition(TabPosition::tpLeft);
  EXPECT_TRUE(control_.MultiLine());
  try {
    control_.SetMultiLine(false);
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "MultiLine must be True when TabPosition is tpLeft or tpRight");
  }
  // The strip now runs down the left side of the page.
  Settle();
  EXPECT_EQ(control_.get_orientation(), Gtk::ORIENTATION_HORIZONTAL);
  EXPECT_EQ(control_.TabRect(1).top, control_.TabRect(0).bottom);
  EXPECT_EQ(control_.TabStrip().get_allocated_width(), 22 + kStripGap);
}

TEST_F(PageExtControlTest, TabsWrapIntoTwoRowsAndTheStripGrows) {
  control_.SetMultiLine(true);
  AddPages(1);
  ASSERT_EQ(control_.TabStrip().get_allocated_height(), 22 + kStripGap);
  for (int i = 1; i < 12; ++i) {
    pages_.push_back(std::make_unique<TTabExtSheet>());
    pages_.back()->SetCaption("A longer caption " + std::to_string(i));
    control_.AddPage(*pages_.back());
  }
  Settle();
  const int last = control_.PageCount() - 1;
  EXPECT_EQ(control_.TabRect(0).top, 0);
  EXPECT_GE(control_.TabRect(last).top, 22);
  const int rows = control_.TabRect(last).bottom / 22;
  EXPECT_GE(rows, 2);
  EXPECT_EQ(control_.TabStrip().get_allocated_height(), rows * 22 + kStripGap);
  for (int i = 0; i <= last; ++i) EXPECT_LE(control_.TabRect(i).right, 600) << i;
  // One row instead: the row scrolls so the active tab shows whole.
  control_.SetMultiLine(false);
  control_.SetActivePageIndex(last);
  Settle();
  EXPECT_EQ(control_.TabStrip().get_allocated_height(), 22 + kStripGap);
  EXPECT_EQ(control_.TabRect(last).right, 600);
  EXPECT_LT(control_.TabRect(0).left, 0);
}

TEST_F(PageExtControlTest, SelectingAPartlyHiddenTabDoesNotCloseIt) {
  // One row that overflows: selecting the tab cut off at the right edge
  // scrolls it into view, which moves its close area under the pointer.
  control_.SetSmallCloseBtn(false);
  AddPages(1);
  const int width = control_.TabStrip().get_allocated_width();
  // Tabs of growing length until one is cut off with its close area hidden.
  int cut = -1;
  while (cut < 0 && control_.PageCount() < 40) {
    pages_.push_back(std::make_unique<TTabExtSheet>());
    pages_.back()->SetCaption("Tab " + std::string(control_.PageCount(), 'x'));
    control_.AddPage(*pages_.back());
    const TRect r = control_.TabRect(control_.PageCount() - 1);
    if (r.left < width - 3 && r.right - 20 > width - 3) cut = control_.PageCount() - 1;
  }
  ASSERT_GE(cut, 0);
  const int count = control_.PageCount();
  control_.HandlePress(width - 3, 10, 1);
  EXPECT_EQ(control_.PageCount(), count);
  EXPECT_EQ(control_.ActivePageIndex(), cut);
  EXPECT_EQ(control_.TabRect(cut).right, width);
  // Now in view, the same point is its close area.
  control_.HandlePress(width - 3, 10, 1);
  EXPECT_EQ(control_.PageCount(), count - 1);
}

TEST_F(PageExtControlTest, CloseButtonTurnsHotUnderThePointer) {
  AddPages(2);
  int x, y;
  Centre(control_.CloseArea(0), x, y);
  control_.HandleMotion(x, y, false);
  EXPECT_TRUE(control_.CloseButtonHot());
  // Over the close area of an inactive tab it is not hot.
  Centre(control_.CloseArea(1), x, y);
  control_.HandleMotion(x, y, false);
  EXPECT_FALSE(control_.CloseButtonHot());
  Centre(control_.CloseArea(0), x, y);
  control_.HandleMotion(x, y, false);
  control_.HandleLeave();
  EXPECT_FALSE(control_.CloseButtonHot());
}

TEST_F(PageExtControlTest, DraggingATabOntoAnotherMovesIt) {
  AddPages(4);
  for (const bool drag_drop : {false, true}) {
    control_.SetTabDragDrop(drag_drop);
    control_.SetActivePage(pages_[0].get());
    const TRect from = control_.TabRect(0);
    const TRect to = control_.TabRect(2);
    PressTab(0);
    control_.HandleMotion(from.left + 20, 10, true);
    control_.HandleMotion(to.left + 5, 10, true);
    control_.HandleRelease(to.left + 5, 10, 1);
    EXPECT_EQ(pages_[0]->PageIndex(), drag_drop ? 2 : 0);
    EXPECT_EQ(control_.ActivePage(), pages_[0].get());
    if (drag_drop) control_.MovePage(*pages_[0], 0);
  }
  // A press without movement is a click, not a drop.
  PressTab(0);
  control_.HandleRelease(control_.TabRect(1).left + 5, 10, 1);
  EXPECT_EQ(pages_[0]->PageIndex(), 0);
}

TEST_F(PageExtControlTest, CtrlPageDownAndPageUpGoRound) {
  AddPages(3);
  GdkEventKey key{};
  key.type = GDK_KEY_PRESS;
  key.window = control_.get_window()->gobj();
  key.state = GDK_CONTROL_MASK;
  key.keyval = GDK_KEY_Page_Up;
  control_.event(reinterpret_cast<GdkEvent*>(&key));
  EXPECT_EQ(control_.ActivePageIndex(), 2);
  key.keyval = GDK_KEY_Page_Down;
  control_.event(reinterpret_cast<GdkEvent*>(&key));
  EXPECT_EQ(control_.ActivePageIndex(), 0);
}

TEST_F(PageExtControlTest, PaintsGradientTabsAndThePictureOnlyWithoutTabs) {
  AddPages(2);
  pages_[1]->Colors().SetInActivefill1(0);
  pages_[1]->Colors().SetInActivefill2(0);
  // The inactive tab's gradient runs from white at its top to the light blue
  // at its bottom; the strip around the tabs has the control's colour.
  Gtk::DrawingArea& strip = control_.TabStrip();
  const TRect inactive = control_.TabRect(1);
  const TColor top = PixelOf(strip, inactive.left + 4, inactive.top + 1);
  const TColor bottom = PixelOf(strip, inactive.left + 4, inactive.bottom - 1);
  EXPECT_GT(BlueOf(top), RedOf(top) - 1);
  EXPECT_GT(RedOf(top), RedOf(bottom));
  EXPECT_EQ(PixelOf(strip, 590, 5), kPageExtControlColor);

  auto red = Gdk::Pixbuf::create(Gdk::COLORSPACE_RGB, false, 8, 2, 2);
  red->fill(0xFF000000);
  control_.SetPicture(red);
  EXPECT_NE(PixelOf(control_, 300, 150), Rgb(255, 0, 0));
  control_.RemovePage(*pages_[0]);
  control_.RemovePage(*pages_[1]);
  Settle();
  EXPECT_EQ(PixelOf(control_, 300, 150), Rgb(255, 0, 0));
  EXPECT_EQ(PixelOf(control_, 2, 2), Rgb(255, 0, 0));
}

}  // namespace
}  // namespace orv::test
