// The sortable list view: the rules for sort column and direction, and the arrow painted in the header.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "ComCtrls.h"
#include "DeviceContext.h"
#include "FormReader.h"
#include "Forms.h"
#include "MessageLoop.h"
#include "SaRegister.h"
#include "SaSortListView.h"
#include "StdClasses.h"
#include "WindowSubclass.h"

namespace {

using toolkit::TSaSortListView;

constexpr COLORREF kArrow = RGB(64, 64, 64);
constexpr COLORREF kArrowBack = RGB(255, 0, 255);

class SortListViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app_ = std::make_unique<cl::TApplication>();
    app_->Initialize();
    cl::RegisterStandardClasses();
    toolkit::RegisterToolkitClasses();
    form_ = cl::NewForm<cl::TForm>(app_.get());
    cl::ReadRootComponent(form_,
                          "object frmSort: TForm\n"
                          "  Left = 30\n"
                          "  Top = 30\n"
                          "  Width = 460\n"
                          "  Height = 300\n"
                          "  object lvHotkeys: TSaSortListView\n"
                          "    Left = 4\n"
                          "    Top = 4\n"
                          "    Width = 420\n"
                          "    Height = 220\n"
                          "    Columns = <\n"
                          "      item\n"
                          "        Caption = 'Description'\n"
                          "        Width = 138\n"
                          "      end\n"
                          "      item\n"
                          "        Caption = 'ID'\n"
                          "        Width = 45\n"
                          "      end\n"
                          "      item\n"
                          "        Caption = 'Action'\n"
                          "        Width = 95\n"
                          "      end>\n"
                          "    ViewStyle = vsReport\n"
                          "    SortColumn = 1\n"
                          "    SortAscending = False\n"
                          "  end\n"
                          "end\n");
    lv_ = cl::ComponentAs<TSaSortListView>(form_, "lvHotkeys");
  }
  void TearDown() override {
    app_.reset();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  void Paint() {
    form_->Show();
    RedrawWindow(lv_->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    app_->ProcessMessages();
  }
  // The colour of a header pixel as shown on screen now.
  COLORREF HeaderPixel(int x, int y) {
    return GetPixel(cl::TWindowDC(lv_->HeaderHandle()).Get(), x, y);
  }
  // The top of the arrow: centred in the header's height.
  int ArrowTop() {
    RECT rc{};
    GetClientRect(lv_->HeaderHandle(), &rc);
    return (rc.bottom - (rc.top + 9)) / 2;
  }
  std::unique_ptr<cl::TApplication> app_;
  cl::TForm* form_ = nullptr;
  TSaSortListView* lv_ = nullptr;
};

TEST_F(SortListViewTest, SortColumnAndDirectionRulesAndEvents) {
  EXPECT_EQ(lv_->SortColumn(), 1);  // from the description
  EXPECT_FALSE(lv_->SortAscending());
  TSaSortListView fresh(nullptr);
  EXPECT_EQ(fresh.SortColumn(), -1);
  EXPECT_TRUE(fresh.SortAscending());
  fresh.SetSortColumn(0);  // no columns: nothing to sort by
  EXPECT_EQ(fresh.SortColumn(), -1);

  int columnChanges = 0;
  int modeChanges = 0;
  lv_->OnSortColumnChange = [&](cl::TObject* sender) {
    EXPECT_EQ(sender, lv_);
    ++columnChanges;
  };
  lv_->OnSortModeChange = [&](cl::TObject*) { ++modeChanges; };
  lv_->SetSortColumn(3);  // three columns: 0 .. 2
  lv_->SetSortColumn(-2);
  lv_->SetSortColumn(1);  // unchanged
  EXPECT_EQ(lv_->SortColumn(), 1);
  EXPECT_EQ(columnChanges, 0);
  lv_->SetSortColumn(2);
  lv_->SetSortColumn(-1);
  EXPECT_EQ(lv_->SortColumn(), -1);
  EXPECT_EQ(columnChanges, 2);
  lv_->SetSortAscending(false);
  EXPECT_EQ(modeChanges, 0);
  lv_->SetSortAscending(true);
  EXPECT_EQ(modeChanges, 1);
  for (int i = 0; i < 2; ++i) lv_->Columns()->Add()->SetWidth(40);
  lv_->SetSortColumn(5);  // five columns now
  EXPECT_EQ(lv_->SortColumn(), -1);
  lv_->SetSortColumn(4);
  EXPECT_EQ(lv_->SortColumn(), 4);
}

TEST_F(SortListViewTest, ArrowIsPaintedAtTheRightEdgeOfTheSortColumn) {
  lv_->SetSortColumn(2);
  lv_->SetSortAscending(true);
  Paint();
  ASSERT_NE(lv_->HeaderHandle(), nullptr);
  const int x = 138 + 45 + 95 - 9 - 5;  // 264
  const int y = ArrowTop();
  // Ascending: the point at the top, the base four rows lower; the background of the bitmap is not drawn.
  EXPECT_EQ(HeaderPixel(x + 4, y + 2), kArrow);
  EXPECT_EQ(HeaderPixel(x + 1, y + 5), kArrow);
  EXPECT_NE(HeaderPixel(x + 4, y + 6), kArrow);
  for (int px = 0; px < 9; ++px)
    for (int py = 0; py < 9; ++py) EXPECT_NE(HeaderPixel(x + px, y + py), kArrowBack) << px << "," << py;

  lv_->SetSortAscending(false);
  Paint();
  EXPECT_EQ(HeaderPixel(x + 4, y + 6), kArrow);
  EXPECT_EQ(HeaderPixel(x + 1, y + 3), kArrow);
  EXPECT_NE(HeaderPixel(x + 4, y + 2), kArrow);

  // Another column; and none.
  lv_->SetSortColumn(0);
  Paint();
  EXPECT_EQ(HeaderPixel(138 - 14 + 4, y + 6), kArrow);
  EXPECT_NE(HeaderPixel(x + 4, y + 6), kArrow);
  lv_->SetSortColumn(-1);
  Paint();
  EXPECT_NE(HeaderPixel(138 - 14 + 4, y + 6), kArrow);
}

TEST_F(SortListViewTest, HeaderIsHookedAgainWithANewWindowAndReleasedWhenDestroyed) {
  lv_->SetSortColumn(1);
  Paint();
  HWND first = lv_->HeaderHandle();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(HeaderPixel(138 + 45 - 14 + 4, ArrowTop() + 6), kArrow);

  lv_->RecreateWnd();
  Paint();
  HWND second = lv_->HeaderHandle();
  ASSERT_NE(second, nullptr);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(HeaderPixel(138 + 45 - 14 + 4, ArrowTop() + 6), kArrow);

  // A later hook on the header, and the header kept alive past the list view: after the component is
  // gone its painting must neither reach it nor break the chain.
  int painted = 0;
  cl::TWindowSubclass later(second, [&](HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) ++painted;
    return cl::TWindowSubclass::CallPrevious(wnd, msg, wParam, lParam);
  });
  SetParent(second, form_->Handle());
  delete lv_;
  lv_ = nullptr;
  ASSERT_TRUE(IsWindow(second));
  RedrawWindow(second, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  app_->ProcessMessages();
  EXPECT_GE(painted, 1);
  DestroyWindow(second);
}

}  // namespace
