// Docking and floating tool windows by dragging them with the real cursor and by double clicks, on the
// form with four docks and one on a panel. The drag loop is driven from inside by a thread timer that
// moves the cursor and posts the button and keys a user would.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "DockTestForm.h"
#include "ModalScript.h"
#include "ToolWinFrame.h"

namespace {

using docktest::DockFormTest;
using toolkit::dock::TCustomToolWin;
using toolkit::dock::TToolDock;
using toolkit::dock::TToolWin;
using TSteps = std::vector<std::function<void()>>;

RECT WindowRect(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  return r;
}

POINT ClientOrigin(HWND wnd) {
  POINT p{0, 0};
  ClientToScreen(wnd, &p);
  return p;
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

// The script's steps: the cursor moved (the loop hears of it), and the button released.
std::function<void()> MoveTo(POINT p) {
  return [p] {
    SetCursorPos(p.x, p.y);
    PostMessageW(GetCapture(), WM_MOUSEMOVE, MK_LBUTTON, 0);
  };
}
std::function<void()> Release() {
  return [] { PostMessageW(GetCapture(), WM_LBUTTONUP, 0, 0); };
}
std::function<void()> PostKey(UINT msg, WPARAM key) {
  return [msg, key] { PostMessageW(GetCapture(), msg, key, 0); };
}

// Every bar here is grabbed at this client point, just outside its edit box.
constexpr POINT kGrab{1, 1};
// The bars' client size: rows of a horizontal dock are 20 + 4 pixels thick.
constexpr int kBarWidth = 100;
constexpr int kBarHeight = 20;
constexpr int kRow = kBarHeight + 4;

class ToolDockDrag : public DockFormTest {
 protected:
  // A bar floating over the form with its top-left at (x, y) on the screen.
  TToolWin* Floating(const std::string& name, int x = 800, int y = 300) {
    TToolWin* bar = MakeBar(name, form_, kBarWidth, kBarHeight);
    bar->SetBounds(x, y, bar->Width(), bar->Height());
    Pump();
    return bar;
  }
  TToolWin* Docked(const std::string& name, TToolDock* dock, int row, int pos = -1) {
    return MakeBar(name, dock, kBarWidth, kBarHeight, row, pos);
  }

  // Presses the left button on the bar at kGrab and runs the steps inside the drag loop.
  void Drag(TCustomToolWin* bar, TSteps steps) {
    const HWND wnd = bar->Handle();
    POINT at = kGrab;
    ClientToScreen(wnd, &at);
    SetCursorPos(at.x, at.y);
    modaltest::TScript script(std::move(steps));
    SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kGrab.x, kGrab.y));
    EXPECT_TRUE(script.Finished());
    EXPECT_FALSE(script.Overran());
    EXPECT_EQ(GetCapture(), nullptr);
    Pump();
  }
  void DropAt(TCustomToolWin* bar, POINT cursor) { Drag(bar, {MoveTo(cursor), Release()}); }

  // The cursor at which the bar, grabbed at kGrab, shows an outline of `size` with its top-left at `topLeft`
  // (screen): the grab point keeps its proportional place in the outline.
  static POINT CursorFor(TCustomToolWin* bar, POINT topLeft, SIZE size) {
    const RECT w = WindowRect(bar->Handle());
    POINT grab = kGrab;
    ClientToScreen(bar->Handle(), &grab);
    return {topLeft.x + MulDiv(size.cx - 1, grab.x - w.left, w.right - w.left - 1),
            topLeft.y + MulDiv(size.cy - 1, grab.y - w.top, w.bottom - w.top - 1)};
  }
  // The outline of a bar on a dock of that orientation it is not on (its content with the docked frame).
  static SIZE DockedOutline(int orientation) {
    toolkit::TDockedFrameOptions options;
    options.orientation = orientation;
    const toolkit::TNonClientSize frame = toolkit::DockedNonClientSize(options);
    return {kBarWidth + frame.FrameWidth(), kBarHeight + frame.FrameHeight()};
  }
  // The cursor that drops the bar into the horizontal dock with its outline's middle `middle` pixels
  // across the dock and its left `pos` pixels along it.
  POINT IntoHorizontal(TCustomToolWin* bar, TToolDock* dock, int middle, int pos) {
    const SIZE outline = DockedOutline(toolkit::kDockHorizontal);
    const POINT origin = ClientOrigin(dock->Handle());
    return CursorFor(bar, {origin.x + pos, origin.y + middle - outline.cy / 2}, outline);
  }

  // The same for a vertical dock: the middle across it and the top along it.
  POINT IntoVertical(TCustomToolWin* bar, TToolDock* dock, int middle, int pos) {
    const SIZE outline = DockedOutline(toolkit::kDockVertical);
    const POINT origin = ClientOrigin(dock->Handle());
    return CursorFor(bar, {origin.x + middle - outline.cx / 2, origin.y + pos}, outline);
  }

  // A point at which the floating window's caption is (it answers as client area).
  static POINT CaptionPoint(TCustomToolWin* bar) {
    const RECT w = WindowRect(bar->Handle());
    const SIZE side = toolkit::FloatingFrameSize(bar->Resizable());
    return {w.left + side.cx + 20, w.top + side.cy + 3};
  }
  // A double click at a screen point of the bar, which must answer there as client area.
  static void DoubleClick(TCustomToolWin* bar, POINT screen) {
    const HWND wnd = bar->Handle();
    ASSERT_EQ(SendMessageW(wnd, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)), HTCLIENT);
    // The system makes double clicks of two quick presses for this window.
    ASSERT_NE(GetClassLongPtrW(wnd, GCL_STYLE) & CS_DBLCLKS, 0u);
    POINT client = screen;
    ScreenToClient(wnd, &client);
    SendMessageW(wnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(client.x, client.y));
  }

  void ExpectIn(TCustomToolWin* bar, TToolDock* dock, int row) {
    EXPECT_TRUE(bar->IsDocked());
    EXPECT_EQ(bar->DockedTo(), dock);
    EXPECT_EQ(bar->Parent(), dock);
    EXPECT_EQ(GetParent(bar->Handle()), dock->Handle());
    EXPECT_TRUE(Inside(WindowRect(bar->Handle()), WindowRect(dock->Handle())));
    EXPECT_EQ(bar->DockRow(), row);
  }
  void ExpectFloating(TCustomToolWin* bar) {
    EXPECT_FALSE(bar->IsDocked());
    EXPECT_EQ(bar->DockedTo(), nullptr);
    ASSERT_NE(bar->FloatingParent(), nullptr);
    EXPECT_EQ(bar->Parent(), bar->FloatingParent());
    const RECT w = WindowRect(bar->Handle());
    EXPECT_EQ(bar->FloatPos().x, w.left);
    EXPECT_EQ(bar->FloatPos().y, w.top);
  }
  // The bar's top across its horizontal dock, in the dock's client coordinates.
  static int TopInDock(TCustomToolWin* bar, TToolDock* dock) {
    return WindowRect(bar->Handle()).top - ClientOrigin(dock->Handle()).y;
  }
};

TEST_F(ToolDockDrag, AFloatingWindowDraggedOntoEachDockDocksThere) {
  TToolWin* bar = Floating("bar");
  // Every dock is empty and thin; the cursor on its inner edge, well away from the others, catches it.
  const auto onEdge = [](TToolDock* dock, int along) {
    const RECT r = WindowRect(dock->Handle());
    return dock->Position() == toolkit::dock::dpLeft || dock->Position() == toolkit::dock::dpRight
               ? POINT{r.left, r.top + along}
               : POINT{r.left + along, r.top};
  };
  std::vector<TToolDock*> changingTo;
  bar->OnDockChangingEx = [&](cl::TObject*, TToolDock* to) { changingTo.push_back(to); };
  for (TToolDock* dock : {top_, bottom_, left_, right_, panelDock_}) {
    SCOPED_TRACE(dock->Name());
    TToolWin* other = Floating("other" + dock->Name());
    DropAt(other, onEdge(dock, 150));
    ExpectIn(other, dock, 0);
    // The dock grew across its side to hold the bar.
    const RECT d = WindowRect(dock->Handle());
    EXPECT_GT(std::min(d.right - d.left, d.bottom - d.top), 0);
  }
  // Onto the top dock (now holding a bar) and back out.
  DropAt(bar, IntoHorizontal(bar, top_, kRow / 2, 200));
  ExpectIn(bar, top_, 0);
  EXPECT_EQ(changingTo, std::vector<TToolDock*>{top_});
  // Out again: it floats where its floating outline was, at its content's size with the floating frame.
  const toolkit::TNonClientSize frame = toolkit::FloatingNonClientSize(true, true);
  const SIZE floating{kBarWidth + frame.FrameWidth(), kBarHeight + frame.FrameHeight()};
  DropAt(bar, CursorFor(bar, {820, 600}, floating));
  ExpectFloating(bar);
  EXPECT_EQ(changingTo, (std::vector<TToolDock*>{top_, nullptr}));
  EXPECT_TRUE(modaltest::SameRect(WindowRect(bar->Handle()), {820, 600, 820 + floating.cx, 600 + floating.cy}));
}

// A bar dropped into a dock of two rows, by the middle of its outline across the dock.
struct TBandCase {
  const char* name;
  int middle;  // pixels across the dock
  int row;     // the dropped bar's row
  int rowA, rowB;
};
void PrintTo(const TBandCase& c, std::ostream* os) { *os << c.name; }

class ToolDockDropBands : public ToolDockDrag, public ::testing::WithParamInterface<TBandCase> {};

TEST_P(ToolDockDropBands, FivePixelsBesideARowBoundaryOpenANewRowThere) {
  const TBandCase& c = GetParam();
  TToolWin* a = Docked("a", top_, 0, 0);
  TToolWin* b = Docked("b", top_, 1, 0);
  ASSERT_EQ(WindowRect(top_->Handle()).bottom - WindowRect(top_->Handle()).top, 2 * kRow);
  TToolWin* bar = Floating("bar");
  DropAt(bar, IntoHorizontal(bar, top_, c.middle, 250));
  ExpectIn(bar, top_, c.row);
  EXPECT_EQ(a->DockRow(), c.rowA);
  EXPECT_EQ(b->DockRow(), c.rowB);
  EXPECT_EQ(TopInDock(bar, top_), c.row * kRow);
  EXPECT_EQ(TopInDock(a, top_), c.rowA * kRow);
  EXPECT_EQ(TopInDock(b, top_), c.rowB * kRow);
  // Along the dock it stays where it was dropped.
  EXPECT_EQ(bar->DockPos(), 250);
  EXPECT_EQ(WindowRect(bar->Handle()).left - ClientOrigin(top_->Handle()).x, 250);
}

INSTANTIATE_TEST_SUITE_P(Rows, ToolDockDropBands,
                         ::testing::Values(TBandCase{"BeforeTheFirstRow", 2, 0, 1, 2},
                                           TBandCase{"AboveTheBoundaryBetweenTheRows", kRow - 3, 1, 0, 2},
                                           TBandCase{"BelowTheBoundaryBetweenTheRows", kRow + 3, 1, 0, 2},
                                           TBandCase{"AfterTheLastRow", 2 * kRow + 2, 2, 0, 1},
                                           TBandCase{"IntoTheFirstRow", kRow / 2, 0, 0, 1},
                                           TBandCase{"IntoTheSecondRow", kRow + kRow / 2, 1, 0, 1}),
                         [](const ::testing::TestParamInfo<TBandCase>& info) { return std::string(info.param.name); });

TEST_F(ToolDockDrag, WithinItsDockADraggedBarChangesRowsAndTheEmptyRowCloses) {
  TToolWin* a = Docked("a", top_, 0, 0);
  TToolWin* b = Docked("b", top_, 1, 0);
  // b before the first row: it opens row 0, a moves to row 1 and b's old row closes.
  DropAt(b, IntoHorizontal(b, top_, 1, 40));
  ExpectIn(b, top_, 0);
  EXPECT_EQ(a->DockRow(), 1);
  EXPECT_EQ(top_->LastRowIndex(), 1);
  EXPECT_EQ(WindowRect(top_->Handle()).bottom - WindowRect(top_->Handle()).top, 2 * kRow);
  // b into a's row, after a: one row left.
  DropAt(b, IntoHorizontal(b, top_, kRow + kRow / 2, 150));
  ExpectIn(b, top_, 0);
  EXPECT_EQ(a->DockRow(), 0);
  EXPECT_EQ(WindowRect(top_->Handle()).bottom - WindowRect(top_->Handle()).top, kRow);
  EXPECT_EQ(WindowRect(b->Handle()).left - ClientOrigin(top_->Handle()).x, 150);
}

TEST_F(ToolDockDrag, AVerticalDockTakesColumnsByTheOutlinesMiddleAcrossAndItsTopAlong) {
  // Columns of a vertical dock are as thick as the bars' client width.
  constexpr int kColumn = kBarWidth + 4;
  TToolWin* a = Docked("a", left_, 0, 0);
  TToolWin* b = Floating("b");
  DropAt(b, IntoVertical(b, left_, kColumn + 2, 30));
  ExpectIn(b, left_, 1);
  EXPECT_EQ(WindowRect(b->Handle()).left - ClientOrigin(left_->Handle()).x, kColumn);
  EXPECT_EQ(WindowRect(b->Handle()).top - ClientOrigin(left_->Handle()).y, 30);
  TToolWin* c = Floating("c");
  DropAt(c, IntoVertical(c, left_, kColumn / 2, 200));
  ExpectIn(c, left_, 0);
  EXPECT_EQ(a->DockRow(), 0);
  EXPECT_EQ(WindowRect(c->Handle()).left, WindowRect(a->Handle()).left);
  EXPECT_EQ(WindowRect(c->Handle()).top - ClientOrigin(left_->Handle()).y, 200);
}

TEST_F(ToolDockDrag, AFullSizeWindowDroppedIntoARowWithOthersGetsARowOfItsOwnBelow) {
  TToolWin* a = Docked("a", top_, 0, 0);
  TToolWin* full = Floating("full");
  full->SetFullSize(true);
  DropAt(full, IntoHorizontal(full, top_, kRow / 2, 200));
  ExpectIn(full, top_, 1);
  EXPECT_EQ(a->DockRow(), 0);
  // It spans the dock's client length.
  RECT client{};
  GetClientRect(top_->Handle(), &client);
  const RECT w = WindowRect(full->Handle());
  EXPECT_EQ(w.left, ClientOrigin(top_->Handle()).x);
  EXPECT_EQ(w.right - w.left, client.right);
}

// On its own dock a bar's outline has the size its row gave it, not its content's wish: in a row made
// thicker by another bar, the middle of that taller outline decides the row.
TEST_F(ToolDockDrag, OnItsOwnDockTheOutlineHasTheBarsCurrentSize) {
  TToolWin* tall = MakeBar("tall", top_, kBarWidth, 40, 0, 0);
  TToolWin* bar = Docked("bar", top_, 0, 150);
  constexpr int kTallRow = 40 + 4;
  ASSERT_EQ(WindowRect(bar->Handle()).bottom - WindowRect(bar->Handle()).top, kTallRow);
  const RECT w = WindowRect(bar->Handle());
  const SIZE own{w.right - w.left, w.bottom - w.top};
  // The outline's middle 2 pixels past the row: a new row. The base size's outline, 20 pixels lower,
  // would have its middle 8 pixels inside the row and stay there.
  const POINT origin = ClientOrigin(top_->Handle());
  DropAt(bar, CursorFor(bar, {origin.x + 250, origin.y + kTallRow + 2 - own.cy / 2}, own));
  ExpectIn(bar, top_, 1);
  EXPECT_EQ(tall->DockRow(), 0);
  EXPECT_EQ(TopInDock(bar, top_), kTallRow);
}

// The dock a bar leaves is arranged only once the bar has gone: arranged while the bar still counted
// there under its new row, it closed up the rows the bar was numbered for on the other dock.
TEST_F(ToolDockDrag, FromDockToDockTheBarKeepsTheRowItWasDroppedInto) {
  TToolWin* moving = Docked("moving", top_, 0, 0);
  Docked("c", bottom_, 0, 0);
  Docked("d", bottom_, 1, 0);
  std::vector<TToolDock*> changingTo;
  moving->OnDockChangingEx = [&](cl::TObject*, TToolDock* to) { changingTo.push_back(to); };
  DropAt(moving, IntoHorizontal(moving, bottom_, 2 * kRow + 2, 60));
  ExpectIn(moving, bottom_, 2);
  EXPECT_EQ(TopInDock(moving, bottom_), 2 * kRow);
  EXPECT_EQ(changingTo, std::vector<TToolDock*>{bottom_});
  // The top dock is empty again, and its old bar is remembered by the bottom one only.
  EXPECT_EQ(WindowRect(top_->Handle()).bottom - WindowRect(top_->Handle()).top, 0);
  EXPECT_FALSE(top_->HasBar(moving));
  EXPECT_TRUE(bottom_->HasShownBar(moving));
}

TEST_F(ToolDockDrag, CtrlKeepsTheWindowFromDocking) {
  TToolWin* bar = Floating("bar");
  const POINT overTop = IntoHorizontal(bar, top_, 2, 200);
  // Pressed during the drag.
  Drag(bar, {MoveTo(overTop), PostKey(WM_KEYDOWN, VK_CONTROL), Release()});
  ExpectFloating(bar);
  // Held when the drag begins (the thread's key state says so), then released over the dock: it docks.
  BYTE keys[256]{};
  GetKeyboardState(keys);
  const BYTE saved = keys[VK_CONTROL];
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  Drag(bar, {MoveTo(IntoHorizontal(bar, top_, 2, 200)), Release()});
  ExpectFloating(bar);
  Drag(bar, {MoveTo(IntoHorizontal(bar, top_, 2, 200)), PostKey(WM_KEYUP, VK_CONTROL), Release()});
  keys[VK_CONTROL] = saved;
  SetKeyboardState(keys);
  ExpectIn(bar, top_, 0);
}

TEST_F(ToolDockDrag, TheFormMayRefuseADockThroughItsOnRequestDock) {
  TToolWin* bar = Floating("bar");
  std::vector<std::pair<cl::TObject*, TCustomToolWin*>> asked;
  bool accept = false;
  top_->OnRequestDock = [&](cl::TObject* sender, TCustomToolWin* dropped, bool& ok) {
    asked.emplace_back(sender, dropped);
    ok = accept;
  };
  const POINT overTop = IntoHorizontal(bar, top_, 2, 200);
  DropAt(bar, overTop);
  ExpectFloating(bar);
  ASSERT_FALSE(asked.empty());
  EXPECT_EQ(asked.front().first, top_);
  EXPECT_EQ(asked.front().second, bar);
  // The window floats where the cursor left it.
  const RECT w = WindowRect(bar->Handle());
  EXPECT_TRUE(PtInRect(&w, overTop));
  accept = true;
  DropAt(bar, IntoHorizontal(bar, top_, 2, 200));
  ExpectIn(bar, top_, 0);
}

// The form may free a dock while the drag runs: the freed dock is neither asked nor dropped into.
TEST_F(ToolDockDrag, ADockFreedDuringTheDragIsNeitherAskedNorDroppedInto) {
  TToolWin* bar = Floating("bar");
  const POINT corner{WindowRect(left_->Handle()).left, WindowRect(top_->Handle()).top};
  bool leftAsked = false;
  left_->OnRequestDock = [&](cl::TObject*, TCustomToolWin*, bool&) { leftAsked = true; };
  top_->OnRequestDock = [&](cl::TObject*, TCustomToolWin*, bool& ok) {
    delete std::exchange(left_, nullptr);
    ok = false;
  };
  DropAt(bar, corner);
  EXPECT_FALSE(leftAsked);
  ExpectFloating(bar);
  const RECT w = WindowRect(bar->Handle());
  EXPECT_TRUE(PtInRect(&w, corner));
}

// At the form's top-left corner the empty top and left docks both catch the cursor.
TEST_F(ToolDockDrag, ARefusingDockLetsTheNextInTheFormsOrderTakeTheWindow) {
  TToolWin* bar = Floating("bar");
  std::vector<TToolDock*> asked;
  const auto record = [&](bool accept) {
    return [&asked, accept](cl::TObject* sender, TCustomToolWin*, bool& ok) {
      asked.push_back(static_cast<TToolDock*>(sender));
      ok = accept;
    };
  };
  top_->OnRequestDock = record(false);
  left_->OnRequestDock = record(true);
  const POINT corner{WindowRect(left_->Handle()).left, WindowRect(top_->Handle()).top};
  DropAt(bar, corner);
  ExpectIn(bar, left_, 0);
  ASSERT_GE(asked.size(), 2u);
  EXPECT_EQ(asked[0], top_);
  EXPECT_EQ(asked[1], left_);

  // A window that may not go to the top is never offered it, nor a dock that does not allow dragging.
  bar->SetDockedTo(nullptr);
  asked.clear();
  bar->SetDockableTo({toolkit::dock::dpLeft, toolkit::dock::dpBottom});
  top_->OnRequestDock = record(true);
  DropAt(bar, corner);
  ExpectIn(bar, left_, 0);
  EXPECT_EQ(std::count(asked.begin(), asked.end(), top_), 0);
  bar->SetDockedTo(nullptr);
  left_->SetAllowDrag(false);
  asked.clear();
  DropAt(bar, {WindowRect(left_->Handle()).left, WindowRect(left_->Handle()).top + 150});
  ExpectFloating(bar);
  EXPECT_TRUE(asked.empty());
}

TEST_F(ToolDockDrag, AHiddenPanelsDockIsNotOffered) {
  TToolWin* bar = Floating("bar");
  const RECT dock = WindowRect(panelDock_->Handle());
  const POINT onPanelDock{dock.left + 100, dock.top};
  panel_->SetVisible(false);
  Pump();
  DropAt(bar, onPanelDock);
  ExpectFloating(bar);
  panel_->SetVisible(true);
  Pump();
  DropAt(bar, IntoHorizontal(bar, panelDock_, 2, 40));
  ExpectIn(bar, panelDock_, 0);
}

TEST_F(ToolDockDrag, AWindowThatCannotFloatStaysDockedAndOneThatCannotChangeDocksStaysInItsOwn) {
  TToolWin* bar = Docked("bar", top_, 0, 30);
  bar->SetDockMode(toolkit::dock::dmCannotFloat);
  const RECT before = WindowRect(bar->Handle());
  DropAt(bar, {820, 600});
  ExpectIn(bar, top_, 0);
  EXPECT_TRUE(modaltest::SameRect(WindowRect(bar->Handle()), before));
  // A double click does not float it either.
  DoubleClick(bar, ClientOrigin(bar->Handle()));
  Pump();
  ExpectIn(bar, top_, 0);
  // It may still go to another dock.
  DropAt(bar, IntoHorizontal(bar, bottom_, 2, 40));
  ExpectIn(bar, bottom_, 0);

  bar->SetDockMode(toolkit::dock::dmCannotFloatOrChangeDocks);
  Docked("other", top_, 0, 0);
  DropAt(bar, IntoHorizontal(bar, top_, 2, 200));
  ExpectIn(bar, bottom_, 0);
  // The drag handle stays usable: the bar still moves along its own dock.
  DropAt(bar, IntoHorizontal(bar, bottom_, kRow / 2, 120));
  ExpectIn(bar, bottom_, 0);
  EXPECT_EQ(WindowRect(bar->Handle()).left - ClientOrigin(bottom_->Handle()).x, 120);
}

TEST_F(ToolDockDrag, ADoubleClickDocksIntoTheLastOrDefaultDockAndFloatsADockedWindow) {
  TToolWin* bar = Floating("bar", 820, 320);
  // Without a dock to go to nothing happens.
  DoubleClick(bar, CaptionPoint(bar));
  Pump();
  ExpectFloating(bar);
  EXPECT_EQ(WindowRect(bar->Handle()).left, 820);

  Docked("first", left_, 0, 0);
  bar->SetDefaultDock(left_);
  DoubleClick(bar, CaptionPoint(bar));
  Pump();
  ExpectIn(bar, left_, 0);
  // First in the first row.
  EXPECT_EQ(WindowRect(bar->Handle()).top, ClientOrigin(left_->Handle()).y);

  // Docked, a double click on the bare client area floats it where it last floated.
  DoubleClick(bar, ClientOrigin(bar->Handle()));
  Pump();
  ExpectFloating(bar);
  EXPECT_EQ(WindowRect(bar->Handle()).left, 820);
  EXPECT_EQ(WindowRect(bar->Handle()).top, 320);
  EXPECT_EQ(bar->LastDock(), left_);

  // The dock it came from wins over the default one.
  Docked("second", top_, 0, 0);
  bar->SetDefaultDock(top_);
  DoubleClick(bar, CaptionPoint(bar));
  Pump();
  ExpectIn(bar, left_, 0);
  // Without the last dock, the default one.
  DoubleClick(bar, ClientOrigin(bar->Handle()));
  Pump();
  bar->SetUseLastDock(false);
  DoubleClick(bar, CaptionPoint(bar));
  Pump();
  ExpectIn(bar, top_, 0);
  EXPECT_EQ(WindowRect(bar->Handle()).left, ClientOrigin(top_->Handle()).x);
}

TEST_F(ToolDockDrag, ADoubleClickOnTheDragHandleFloatsButOnAChildControlDoesNothing) {
  TToolWin* bar = Docked("bar", top_, 0, 0);
  // Over the edit box inside, the double click is the box's.
  const RECT e = WindowRect(cl::ComponentAs<cl::TEdit>(form_, "barEdit")->Handle());
  const POINT origin = ClientOrigin(bar->Handle());
  SendMessageW(bar->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(e.left - origin.x + 5, e.top - origin.y + 5));
  Pump();
  ExpectIn(bar, top_, 0);
  // The handle at the bar's left end.
  const RECT w = WindowRect(bar->Handle());
  DoubleClick(bar, {w.left + 4, w.top + kRow / 2});
  Pump();
  ExpectFloating(bar);
}

}  // namespace
