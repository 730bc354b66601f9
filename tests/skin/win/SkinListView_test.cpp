// The list view painter and the header painter: overlays over the list's bars, header items and the
// filler drawn from the skin, centred text, and the sortable list view's arrow kept under the skin; the
// header's two subclassers come off in any order.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "ComCtrls.h"
#include "SaSortListView.h"
#include "SkinListView.h"
#include "SkinScrollbarFixture.h"

namespace {

using namespace scrolltest;

constexpr COLORREF kText = RGB(0, 0, 0);
constexpr COLORREF kOwnArrow = RGB(64, 64, 64);  // the sortable list view's own bitmap arrow

class SkinListViewTest : public ScrollSkinTest {
 protected:
  template <class L = cl::TListView>
  L* NewList(std::initializer_list<int> widths) {
    // Columns and rows before the window: a column added to a list with a window is synchronised
    // while it is still being made.
    auto* lv = new L(form_);
    lv->SetViewStyle(cl::vsReport);
    for (int w : widths) lv->Columns()->Add()->SetWidth(w);
    for (int i = 0; i < 100; ++i) lv->Items()->Add()->SetCaption("row " + std::to_string(i));
    lv->SetBounds(10, 10, 380, 220);
    lv->SetParent(form_);
    return lv;
  }
  skin::TSkinListView* Skin(cl::TListView* lv) {
    auto* painter = new skin::TSkinListView(lv);
    painter->AttachScrollbars(lv, data_, nullptr);
    PaintNow(form_->Handle());
    return painter;
  }
  static HWND HeaderOf(cl::TListView* lv) {
    return reinterpret_cast<HWND>(SendMessageW(lv->Handle(), LVM_GETHEADER, 0, 0));
  }
  static RECT ItemRect(HWND header, int i) {
    RECT r{};
    Header_GetItemRect(header, i, &r);
    return r;
  }
  static int HeaderHeight(HWND header) {
    RECT r{};
    GetClientRect(header, &r);
    return r.bottom;
  }
  // The sort arrow's anchor as the header painter places it for an item.
  static POINT ArrowAnchor(HWND header, int i) {
    const RECT item = ItemRect(header, i);
    return POINT{item.right - 10, item.top + (item.bottom - item.top - 6) / 2 + 1};
  }
};

TEST_F(SkinListViewTest, OverlaysLieOverTheListsBarsAndItsHeaderGetsAPainter) {
  cl::TListView* lv = NewList({300, 200});
  skin::TSkinListView* painter = Skin(lv);
  const HWND wnd = lv->Handle();
  ASSERT_TRUE(painter->VertBar()->BarVisible());
  ASSERT_TRUE(painter->HorzBar()->BarVisible());
  EXPECT_TRUE(SameRect(ScreenRect(painter->VertBar()->Handle()), BarRect(wnd, OBJID_VSCROLL)));
  EXPECT_TRUE(SameRect(ScreenRect(painter->HorzBar()->Handle()), BarRect(wnd, OBJID_HSCROLL)));
  ASSERT_NE(painter->Header(), nullptr);
  EXPECT_EQ(painter->Header()->Handle(), HeaderOf(lv));
  EXPECT_EQ(painter->Header()->Owner(), lv);
  // A press on the down arrow scrolls the list by one row.
  skin::TWScrollbar* bar = painter->VertBar();
  const RECT r = bar->BarRect();
  const int a = ArrowSize();
  PostMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM((r.left + r.right) / 2, r.bottom - a / 2));
  const RECT screen = ScreenRect(bar->Handle());
  SendMessageW(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(a / 2, screen.bottom - screen.top - a / 2));
  EXPECT_EQ(SendMessageW(wnd, LVM_GETTOPINDEX, 0, 0), 1);
}

TEST_F(SkinListViewTest, HeaderItemsAndTheFillerComeFromTheSkinAndCentredTextIsCentred) {
  cl::TListView* lv = NewList({80, 90, 70});
  lv->Columns()->Items(1)->SetCaption("WWWW");
  lv->Columns()->Items(1)->SetAlignment(cl::taCenter);
  Skin(lv);
  const HWND header = HeaderOf(lv);
  PaintNow(header);
  const int h = HeaderHeight(header);
  EXPECT_EQ(Pixel(header, 2, 1), HeaderColour(1));
  EXPECT_EQ(Pixel(header, 80 + 2, h - 2), HeaderColour(1));
  // Right of the last column: the filler.
  EXPECT_EQ(Pixel(header, 240 + 20, h / 2), HeaderColour(1));
  EXPECT_EQ(Pixel(header, 330, 2), HeaderColour(1));
  // The text of the centred column lies around the column's middle.
  const RECT item = ItemRect(header, 1);
  int first = -1, last = -1;
  for (int x = item.left; x < item.right; ++x)
    for (int y = 0; y < h; ++y)
      if (Pixel(header, x, y) == kText) {
        if (first < 0) first = x;
        last = x;
      }
  ASSERT_GE(first, 0);
  EXPECT_GT(first, item.left + 10);
  EXPECT_NEAR((first + last) / 2, (item.left + item.right) / 2, 3);
}

TEST_F(SkinListViewTest, TheSortableListKeepsItsSortArrowUnderTheSkin) {
  auto* lv = NewList<toolkit::TSaSortListView>({138, 45, 95});
  lv->SetSortColumn(2);
  lv->SetSortAscending(true);
  Skin(lv);
  const HWND header = HeaderOf(lv);
  PaintNow(header);
  const POINT p = ArrowAnchor(header, 2);
  EXPECT_EQ(p.x, 268);
  EXPECT_EQ(Pixel(header, p.x, p.y), kText);  // the point of an arrow up
  EXPECT_EQ(Pixel(header, p.x, p.y + 3), HeaderColour(1));
  const POINT other = ArrowAnchor(header, 0);
  EXPECT_EQ(Pixel(header, other.x, other.y), HeaderColour(1));
  lv->SetSortAscending(false);
  PaintNow(header);
  EXPECT_EQ(Pixel(header, p.x, p.y + 3), kText);  // the point of an arrow down
  EXPECT_EQ(Pixel(header, p.x, p.y), HeaderColour(1));
  lv->SetSortColumn(0);
  PaintNow(header);
  EXPECT_EQ(Pixel(header, p.x, p.y + 3), HeaderColour(1));
  EXPECT_EQ(Pixel(header, other.x, other.y + 3), kText);
}

TEST_F(SkinListViewTest, AnItemMarkedSortedInItsFormatGetsTheArrow) {
  cl::TListView* lv = NewList({100, 100});
  Skin(lv);
  const HWND header = HeaderOf(lv);
  HDITEMW hdi{};
  hdi.mask = HDI_FORMAT;
  SendMessageW(header, HDM_GETITEMW, 1, reinterpret_cast<LPARAM>(&hdi));
  hdi.fmt |= HDF_SORTDOWN;
  SendMessageW(header, HDM_SETITEMW, 1, reinterpret_cast<LPARAM>(&hdi));
  PaintNow(header);
  const POINT p = ArrowAnchor(header, 1);
  EXPECT_EQ(Pixel(header, p.x, p.y + 3), kText);
}

// The list's own header hook and the painter's subclass: either may come off first.
TEST_F(SkinListViewTest, TheHeaderPainterComesOffAndTheListsOwnArrowIsBack) {
  auto* lv = NewList<toolkit::TSaSortListView>({138, 45, 95});
  lv->SetSortColumn(2);
  skin::TSkinListView* painter = Skin(lv);
  const HWND header = HeaderOf(lv);
  RECT rc{};
  GetClientRect(header, &rc);
  const int x = 138 + 45 + 95 - 9 - 5, y = (rc.bottom - (rc.top + 9)) / 2;
  PaintNow(header);
  EXPECT_NE(Pixel(header, x + 4, y + 2), kOwnArrow);
  delete painter->Header();
  EXPECT_EQ(painter->Header(), nullptr);
  PaintNow(header);
  EXPECT_EQ(Pixel(header, x + 4, y + 2), kOwnArrow);
  EXPECT_NE(Pixel(header, 2, 1), HeaderColour(1));
  delete lv;
  EXPECT_EQ(Overlays(form_->Handle()).size(), 0u);
}

TEST_F(SkinListViewTest, TheListGoesFirstWithItsPaintersAndHook) {
  auto* lv = NewList<toolkit::TSaSortListView>({138, 45, 95});
  lv->SetSortColumn(1);
  Skin(lv);
  delete lv;
  EXPECT_EQ(Overlays(form_->Handle()).size(), 0u);
  EXPECT_EQ(form_->ControlCount(), 0);
}

}  // namespace
