// The list view's sorting, change events, row geometry and dragging of rows, driven in real windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "FormReader.h"
#include "FormsTestSupport.h"
#include "MessageLoop.h"
#include "StdClasses.h"
#include "WinString.h"

namespace {

using formstest::FormTest;
using formstest::ListViewText;

// Mouse messages as the window would get them, at a point of its client area.
void PostMouse(HWND wnd, UINT msg, WPARAM keys, POINT client) {
  PostMessageW(wnd, msg, keys, MAKELPARAM(client.x, client.y));
}

class ListView2Test : public FormTest {
 protected:
  // Test programs run side by side on one screen: the mouse must find this form, not another's window.
  void ShowOnTop() {
    form_->Show();
    SetWindowPos(form_->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Pump();
  }
  // Drops find their target by what is on screen: waits until no other program's window covers these
  // points of the control's client area.
  // Another program that activates its window takes the mouse capture and so cancels a drag; the drag
  // scenarios are tried again then. A drag still running after `ms` is ended the same way.
  static constexpr int kAttempts = 4;
  void EndStrayDrag(int attempt, UINT ms) {
    attempt_ = attempt;
    timers_.After(ms, [this, attempt] {
      if (attempt_ == attempt) ReleaseCapture();
    });
  }
  int attempt_ = 0;
  bool WaitUncovered(cl::TWinControl* control, std::initializer_list<POINT> points) {
    return hktest::PumpUntil(
        [&] {
          SetWindowPos(form_->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
          for (POINT p : points) {
            ClientToScreen(control->Handle(), &p);
            if (GetAncestor(WindowFromPoint(p), GA_ROOT) != form_->Handle()) return false;
          }
          return true;
        },
        5000);
  }
  void SetUp() override {
    FormTest::SetUp();
    LoadForm("object frmRows: TForm\n"
             "  Left = 40\n"
             "  Top = 40\n"
             "  Width = 420\n"
             "  Height = 320\n"
             "  object lvRows: TListView\n"
             "    Left = 8\n"
             "    Top = 8\n"
             "    Width = 380\n"
             "    Height = 150\n"
             "    Columns = <\n"
             "      item\n"
             "        Caption = 'Name'\n"
             "        Width = 120\n"
             "      end\n"
             "      item\n"
             "        Caption = 'Key'\n"
             "        Width = 80\n"
             "      end>\n"
             "    DragMode = dmAutomatic\n"
             "    HideSelection = False\n"
             "    ReadOnly = True\n"
             "    RowSelect = True\n"
             "    ViewStyle = vsReport\n"
             "  end\n"
             "end\n");
    lv_ = cl::ComponentAs<cl::TListView>(form_, "lvRows");
  }
  void AddRows(int count) {
    for (int i = 0; i < count; ++i) {
      cl::TListItem* row = lv_->Items()->Add();
      row->SetCaption("Row " + std::to_string(i));
      row->SubItems()->Add("K" + std::to_string(count - i));
      row->SetData(&data_[i]);
    }
  }
  cl::TListView* lv_ = nullptr;
  int data_[40] = {};
};

// Header clicks reach OnColumnClick while ColumnClick is on; off, the headers are plain captions.
TEST_F(ListView2Test, ColumnClickDecidesWhetherHeadersAreButtons) {
  AddRows(3);
  form_->Show();
  Pump();
  std::vector<int> clicked;
  lv_->OnColumnClick = [&](cl::TObject*, cl::TListColumn* column) { clicked.push_back(column->Index()); };
  auto clickHeader = [&](int x) {
    HWND header = ListView_GetHeader(lv_->Handle());
    EXPECT_TRUE(header);
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 5));
    SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(x, 5));
    Pump();
    return (GetWindowLongW(header, GWL_STYLE) & HDS_BUTTONS) != 0;
  };
  EXPECT_TRUE(lv_->ColumnClick());
  EXPECT_TRUE(clickHeader(150));
  EXPECT_EQ(clicked, std::vector<int>{1});
  lv_->SetColumnClick(false);
  EXPECT_FALSE(clickHeader(150));
  EXPECT_EQ(clicked, std::vector<int>{1});
  // Remade without buttons, the rows stay.
  EXPECT_EQ(ListView_GetItemCount(lv_->Handle()), 3);
}

TEST_F(ListView2Test, CustomSortReordersRowsAndSelectionFollowsItsRow) {
  AddRows(5);
  HWND wnd = lv_->Handle();
  lv_->SetSelected(lv_->Items()->Item(1));  // "Row 1", key K4
  cl::TListItem* chosen = lv_->Selected();
  int changes = 0;
  lv_->OnChange = [&](cl::TObject*, cl::TListItem*, cl::TItemChange) { ++changes; };

  // By key text, descending: K5 K4 K3 K2 K1 is already the order; ascending reverses it.
  EXPECT_TRUE(lv_->CustomSort([](cl::TListItem* a, cl::TListItem* b) {
    return a->SubItems()->Get(0).compare(b->SubItems()->Get(0));
  }));
  ASSERT_EQ(lv_->Items()->Count(), 5);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(lv_->Items()->Item(i)->Caption(), "Row " + std::to_string(4 - i));
    EXPECT_EQ(ListViewText(wnd, i, 0), "Row " + std::to_string(4 - i));
    EXPECT_EQ(ListViewText(wnd, i, 1), "K" + std::to_string(i + 1));
    EXPECT_EQ(lv_->Items()->Item(i)->Data(), &data_[4 - i]);
  }
  EXPECT_EQ(lv_->Selected(), chosen);
  EXPECT_EQ(lv_->ItemIndex(), 3);
  EXPECT_EQ(SendMessageW(wnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 3);
  EXPECT_EQ(changes, 0);  // the same row stays selected: nothing to report

  // Through OnCompare; equal keys keep their order.
  lv_->OnCompare = [](cl::TObject*, cl::TListItem* a, cl::TListItem* b, int& result) {
    result = (a->Index() % 2) - (b->Index() % 2);
  };
  EXPECT_TRUE(lv_->CustomSort());
  std::vector<std::string> order;
  for (int i = 0; i < 5; ++i) order.push_back(lv_->Items()->Item(i)->Caption());
  EXPECT_EQ(order, (std::vector<std::string>{"Row 4", "Row 2", "Row 0", "Row 3", "Row 1"}));
  EXPECT_EQ(lv_->Selected(), chosen);

  // Without a comparison nothing happens; a comparison that throws leaves the rows as they were.
  lv_->OnCompare = nullptr;
  EXPECT_FALSE(lv_->CustomSort());
  EXPECT_THROW(lv_->CustomSort([](cl::TListItem*, cl::TListItem*) -> int { throw std::runtime_error("bad"); }),
               std::runtime_error);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(lv_->Items()->Item(i)->Caption(), order[static_cast<size_t>(i)]);
}

TEST_F(ListView2Test, InsertAssignAndKeyboardSelectionRaiseChange) {
  AddRows(3);
  HWND wnd = lv_->Handle();
  lv_->SetSelected(lv_->Items()->Item(2));
  cl::TListItem* inserted = lv_->Items()->Insert(1);
  EXPECT_EQ(inserted->Index(), 1);
  EXPECT_EQ(lv_->ItemIndex(), 3);  // the selected row moved down with its row
  inserted->Assign(lv_->Items()->Item(0));
  EXPECT_EQ(inserted->Caption(), "Row 0");
  EXPECT_EQ(inserted->SubItems()->Get(0), "K3");
  EXPECT_EQ(inserted->Data(), &data_[0]);
  EXPECT_EQ(ListViewText(wnd, 1, 0), "Row 0");
  EXPECT_EQ(ListViewText(wnd, 1, 1), "K3");
  EXPECT_EQ(ListViewText(wnd, 3, 0), "Row 2");
  EXPECT_THROW(lv_->Items()->Insert(9), cl::EListError);

  form_->Show();
  lv_->SetFocus();
  lv_->SetSelected(lv_->Items()->Item(0));
  lv_->SetItemFocused(lv_->Items()->Item(0));
  Pump();
  std::vector<std::pair<int, bool>> seen;
  lv_->OnChange = [&](cl::TObject*, cl::TListItem* item, cl::TItemChange change) {
    EXPECT_EQ(change, cl::ctState);
    seen.emplace_back(item->Index(), item->Selected());
  };
  SendMessageW(wnd, WM_KEYDOWN, VK_DOWN, 0);
  SendMessageW(wnd, WM_KEYUP, VK_DOWN, 0);
  Pump();
  EXPECT_EQ(lv_->ItemIndex(), 1);
  EXPECT_EQ(lv_->ItemFocused(), lv_->Items()->Item(1));
  bool newSelected = false;
  for (auto& [index, selected] : seen)
    if (index == 1 && selected) newSelected = true;
  EXPECT_TRUE(newSelected);
}

TEST_F(ListView2Test, GeometryScrollingAndSelectingScrollsIntoView) {
  AddRows(30);
  form_->Show();
  Pump();
  const int perPage = lv_->VisibleRowCount();
  ASSERT_GT(perPage, 2);
  ASSERT_LT(perPage, 30);
  EXPECT_EQ(lv_->TopItem(), lv_->Items()->Item(0));

  const cl::TRect r0 = lv_->Items()->Item(0)->DisplayRect();
  const cl::TRect r1 = lv_->Items()->Item(1)->DisplayRect();
  const int rowHeight = r0.Height();
  ASSERT_GT(rowHeight, 0);
  EXPECT_EQ(r1.Top, r0.Bottom);
  EXPECT_EQ(lv_->GetItemAt(r1.Left + 150, r1.Top + rowHeight / 2), lv_->Items()->Item(1));  // in column 2
  EXPECT_EQ(lv_->GetItemAt(r1.Left + 5, r0.Top + 1), lv_->Items()->Item(0));
  EXPECT_EQ(lv_->GetItemAt(360, r1.Top + 1), nullptr);  // right of the last column

  lv_->Scroll(0, rowHeight * 2);
  EXPECT_EQ(lv_->TopItem(), lv_->Items()->Item(2));
  lv_->Scroll(0, -rowHeight);
  EXPECT_EQ(lv_->TopItem(), lv_->Items()->Item(1));

  lv_->SetSelected(lv_->Items()->Item(25));
  const int top = lv_->TopItem()->Index();
  EXPECT_LE(top, 25);
  EXPECT_GT(top + perPage, 25);
  lv_->Items()->Item(0)->SetFocused(true);
  EXPECT_EQ(lv_->TopItem(), lv_->Items()->Item(0));
  EXPECT_TRUE(lv_->Items()->Item(0)->Focused());
  EXPECT_EQ(lv_->ItemIndex(), 25);
}

TEST_F(ListView2Test, ClicksAndDoubleClicksOnRowsReachTheEvents) {
  AddRows(6);
  ShowOnTop();
  int clicks = 0;
  int doubleClicks = 0;
  int mouseDowns = 0;
  int selectedAtClick = -1;
  lv_->OnClick = [&](cl::TObject*) {
    ++clicks;
    selectedAtClick = lv_->ItemIndex();
  };
  lv_->OnDblClick = [&](cl::TObject*) { ++doubleClicks; };
  lv_->OnMouseDown = [&](cl::TObject*, cl::TMouseButton button, cl::TShiftState, int, int) {
    if (button == cl::mbLeft) ++mouseDowns;
  };
  const cl::TRect r = lv_->Items()->Item(3)->DisplayRect();
  const POINT p{r.Left + 30, (r.Top + r.Bottom) / 2};
  HWND wnd = lv_->Handle();
  PostMouse(wnd, WM_LBUTTONDOWN, MK_LBUTTON, p);
  PostMouse(wnd, WM_LBUTTONUP, 0, p);
  EXPECT_TRUE(hktest::PumpUntil([&] { return clicks > 0; }, 3000));
  EXPECT_EQ(selectedAtClick, 3);
  EXPECT_EQ(doubleClicks, 0);
  PostMouse(wnd, WM_LBUTTONDBLCLK, MK_LBUTTON, p);
  PostMouse(wnd, WM_LBUTTONUP, 0, p);
  EXPECT_TRUE(hktest::PumpUntil([&] { return doubleClicks > 0; }, 3000));
  hktest::RunLoop(50);
  EXPECT_EQ(doubleClicks, 1);
  EXPECT_EQ(mouseDowns, 2);
  EXPECT_FALSE(lv_->Dragging());
}

TEST_F(ListView2Test, DraggingRowFiveOntoRowTwoDropsThereAndEscapeCancels) {
  AddRows(8);
  ShowOnTop();

  int mouseDowns = 0;
  std::vector<cl::TDragState> states;
  int dropRow = -2;
  cl::TObject* dropSource = nullptr;
  lv_->OnMouseDown = [&](cl::TObject*, cl::TMouseButton button, cl::TShiftState, int, int) {
    if (button == cl::mbLeft) ++mouseDowns;
  };
  lv_->OnDragOver = [&](cl::TObject*, cl::TObject* source, int, int, cl::TDragState state, bool& accept) {
    states.push_back(state);
    accept = source == lv_;
  };
  lv_->OnDragDrop = [&](cl::TObject*, cl::TObject* source, int x, int y) {
    dropSource = source;
    cl::TListItem* target = lv_->GetItemAt(x, y);
    dropRow = target ? target->Index() : -1;
  };

  auto rowPoint = [&](int row) {
    const cl::TRect r = lv_->Items()->Item(row)->DisplayRect();
    return POINT{r.Left + 40, (r.Top + r.Bottom) / 2};
  };
  HWND wnd = lv_->Handle();
  const POINT from = rowPoint(5);
  const POINT to = rowPoint(2);
  // The drag runs its own loop; the input comes from timers, which that loop serves too.
  for (int attempt = 1; attempt <= kAttempts && dropRow == -2; ++attempt) {
    states.clear();
    mouseDowns = 0;
    ASSERT_TRUE(WaitUncovered(lv_, {from, to, rowPoint(4)}));
    timers_.After(50, [&] { PostMouse(wnd, WM_LBUTTONDOWN, MK_LBUTTON, from); });
    for (int step = 1; step <= 6; ++step)
      timers_.After(static_cast<UINT>(100 + step * 50), [&, step] {
        PostMouse(wnd, WM_MOUSEMOVE, MK_LBUTTON, POINT{from.x + step, from.y + (to.y - from.y) * step / 6});
      });
    timers_.After(500, [&] { PostMouse(wnd, WM_LBUTTONUP, 0, to); });
    EndStrayDrag(attempt, 2000);
    hktest::PumpUntil([&] { return dropRow != -2; }, 2500);
  }
  EXPECT_EQ(dropRow, 2);
  EXPECT_EQ(dropSource, lv_);
  EXPECT_EQ(mouseDowns, 1);
  ASSERT_FALSE(states.empty());
  EXPECT_EQ(states.front(), cl::dsDragEnter);
  EXPECT_EQ(states.back(), cl::dsDragLeave);
  EXPECT_FALSE(lv_->Dragging());
  EXPECT_EQ(GetCapture(), nullptr);

  // Escape ends a drag without a drop.
  dropRow = -2;
  states.clear();
  for (int attempt = kAttempts + 1; attempt <= 2 * kAttempts && states.empty(); ++attempt) {
    bool ended = false;
    timers_.After(100, [&] {
      EXPECT_FALSE(lv_->BeginDrag(true));
      ended = true;
    });
    timers_.After(300, [&] { PostMouse(wnd, WM_MOUSEMOVE, MK_LBUTTON, rowPoint(4)); });
    timers_.After(500, [&] { PostMessageW(lv_->Handle(), WM_KEYDOWN, VK_ESCAPE, 0); });
    EndStrayDrag(attempt, 2000);
    EXPECT_TRUE(hktest::PumpUntil([&] { return ended; }, 2500));
  }
  EXPECT_EQ(dropRow, -2);
  ASSERT_FALSE(states.empty());
  EXPECT_EQ(states.back(), cl::dsDragLeave);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_TRUE(errors_.empty());
}

// Controls of this library's own window classes start an automatic drag themselves.
TEST_F(ListView2Test, OwnControlsDragAutomaticallyAndAPlainClickStaysAClick) {
  auto* source = new cl::TPanel(form_);
  source->SetParent(form_);
  source->SetBounds(8, 170, 80, 60);
  source->SetDragMode(cl::dmAutomatic);
  auto* target = new cl::TPanel(form_);
  target->SetParent(form_);
  target->SetBounds(200, 170, 80, 60);
  ShowOnTop();

  int clicks = 0;
  source->OnClick = [&](cl::TObject*) { ++clicks; };
  bool refused = false;
  source->OnDragOver = [&](cl::TObject*, cl::TObject*, int, int, cl::TDragState, bool& accept) {
    accept = false;  // not onto itself
    refused = true;
  };
  cl::TPoint dropAt{-1, -1};
  cl::TObject* dropped = nullptr;
  target->OnDragOver = [&](cl::TObject*, cl::TObject*, int, int, cl::TDragState, bool&) {};
  target->OnDragDrop = [&](cl::TObject*, cl::TObject* src, int x, int y) {
    dropped = src;
    dropAt = {x, y};
  };
  // Moves go to the window that has the mouse captured, in its client coordinates.
  auto at = [&](cl::TControl* c, int x, int y) {
    const cl::TPoint p = source->ScreenToClient(c->ClientToScreen(cl::TPoint{x, y}));
    return POINT{p.X, p.Y};
  };
  HWND wnd = source->Handle();


  // A press and release without moving: a click, no drag.
  PostMouse(wnd, WM_LBUTTONDOWN, MK_LBUTTON, at(source, 20, 20));
  PostMouse(wnd, WM_LBUTTONUP, 0, at(source, 20, 20));
  EXPECT_TRUE(hktest::PumpUntil([&] { return clicks > 0; }, 3000));
  EXPECT_EQ(dropped, nullptr);

  for (int attempt = 1; attempt <= kAttempts && !dropped; ++attempt) {
    ASSERT_TRUE(WaitUncovered(source, {at(source, 20, 45), at(source, 40, 22), at(target, 11, 12)}));
    timers_.After(50, [&] { PostMouse(wnd, WM_LBUTTONDOWN, MK_LBUTTON, at(source, 20, 45)); });
    timers_.After(150, [&] { PostMouse(wnd, WM_MOUSEMOVE, MK_LBUTTON, at(source, 40, 22)); });
    timers_.After(250, [&] { PostMouse(wnd, WM_MOUSEMOVE, MK_LBUTTON, at(target, 10, 12)); });
    timers_.After(350, [&] { PostMouse(wnd, WM_LBUTTONUP, 0, at(target, 11, 12)); });
    EndStrayDrag(attempt, 2000);
    hktest::PumpUntil([&] { return dropped != nullptr; }, 2500);
  }
  EXPECT_EQ(dropped, source);
  EXPECT_EQ(dropAt.X, 11);
  EXPECT_EQ(dropAt.Y, 12);
  EXPECT_TRUE(refused);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
