// The tool window's drag loop on a bare popup window and plain child windows standing for docks, driven
// from inside by a thread timer that moves the real cursor and posts the buttons and keys a user would.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

#include "DeviceContext.h"
#include "MessageLoop.h"
#include "ModalScript.h"
#include "ToolWinDrag.h"

namespace {

using modaltest::SameRect;
using modaltest::TScript;
using toolkit::TDragDrop;
using toolkit::TDragState;
using TSteps = std::vector<std::function<void()>>;

constexpr wchar_t kClass[] = L"ToolWinDragTest";

// The messages a window was sent or dispatched, kept by the test.
LRESULT CALLBACK RecordingProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (auto* heard = reinterpret_cast<std::vector<UINT>*>(GetWindowLongPtrW(wnd, GWLP_USERDATA))) heard->push_back(msg);
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

// A window of the test's class, destroyed with its owner.
class TTestWindow {
 public:
  TTestWindow(DWORD style, const RECT& r, HWND parent, std::vector<UINT>* heard = nullptr)
      : wnd_(CreateWindowExW(0, kClass, L"", style | WS_VISIBLE, r.left, r.top, r.right - r.left, r.bottom - r.top,
                             parent, nullptr, GetModuleHandleW(nullptr), nullptr)) {
    SetWindowLongPtrW(wnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(heard));
    UpdateWindow(wnd_);
  }
  ~TTestWindow() { DestroyWindow(wnd_); }
  TTestWindow(const TTestWindow&) = delete;
  TTestWindow& operator=(const TTestWindow&) = delete;

  HWND Get() const { return wnd_; }

 private:
  HWND wnd_;
};

class TTestClass {
 public:
  TTestClass() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);
  }
  ~TTestClass() { UnregisterClassW(kClass, GetModuleHandleW(nullptr)); }
  TTestClass(const TTestClass&) = delete;
  TTestClass& operator=(const TTestClass&) = delete;
};

// Screen pixels of row y from x0 up to x1.
std::vector<COLORREF> Row(int y, int x0, int x1) {
  std::vector<COLORREF> px;
  const cl::TWindowDC screen(nullptr);
  for (int x = x0; x < x1; ++x) px.push_back(GetPixel(screen.Get(), x, y));
  return px;
}

HCURSOR SystemCursor(const wchar_t* id) { return LoadCursorW(nullptr, id); }

class ToolWinDrag : public ::testing::Test {
 protected:
  // The dragged window: 150 by 100 pixels.
  static constexpr RECT kTool{200, 200, 350, 300};
  // A form at the right with two horizontal docks across its top, one below the other.
  static constexpr RECT kForm{600, 100, 900, 500};
  static constexpr RECT kUpperDock{0, 0, 300, 30};
  static constexpr RECT kLowerDock{0, 30, 300, 60};
  // The work area leaves room on every side, so the cursor can leave it.
  static constexpr RECT kWorkArea{100, 100, 800, 600};

  void SetUp() override {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &savedWorkArea_, 0);
    RECT work = kWorkArea;
    SystemParametersInfoW(SPI_SETWORKAREA, 0, &work, 0);
    SetCursor(SystemCursor(IDC_SIZEALL));
    // The tests compare screen pixels with what was there before: the windows must be on the screen
    // first, which under X may come a while after they were made (and after a neighbour's windows went).
    const auto white = [](const std::vector<COLORREF>& px) {
      return std::all_of(px.begin(), px.end(), [](COLORREF c) { return c == RGB(255, 255, 255); });
    };
    ASSERT_TRUE(hktest::PumpUntil([&] {
      return white(Row(kTool.top, kTool.left, kTool.right)) && white(Row(kForm.top + 7, kForm.left, kForm.right));
    }));
  }
  void TearDown() override { SystemParametersInfoW(SPI_SETWORKAREA, 0, &savedWorkArea_, 0); }

  // A drag of the tool window grabbed at `grab` (window coordinates), floating at its own size, with the
  // two docks as candidates (upper first).
  TDragState Drag(POINT grab) const {
    TDragState drag;
    drag.Grab = toolkit::GrabAt({grab.x, grab.y}, 150, 100);
    drag.Frame = toolkit::DragFloatingFrame(true, true);
    drag.FloatingOutline = {150, 100};
    for (HWND dock : {upper_.Get(), lower_.Get()}) {
      RECT r{};
      GetWindowRect(dock, &r);
      drag.Docks.push_back({dock, {r.left, r.top, r.right, r.bottom}, false, {160, 34}});
    }
    return drag;
  }

  // Runs the drag from the grab point with the script's steps.
  std::optional<TDragDrop> Run(const TDragState& drag, TSteps steps, const toolkit::TRequestDock& requestDock = {}) {
    SetCursorPos(kTool.left + drag.Grab.Grab.X, kTool.top + drag.Grab.Grab.Y);
    TScript script(std::move(steps));
    std::optional<TDragDrop> drop = toolkit::RunDragLoop(tool_.Get(), drag, requestDock);
    EXPECT_TRUE(script.Finished());
    EXPECT_FALSE(script.Overran());
    return drop;
  }

  std::function<void()> MoveTo(int x, int y) {
    return [this, x, y] {
      SetCursorPos(x, y);
      PostMessageW(tool_.Get(), WM_MOUSEMOVE, 0, 0);
    };
  }
  std::function<void()> Post(UINT msg, WPARAM wParam = 0) {
    return [this, msg, wParam] { PostMessageW(tool_.Get(), msg, wParam, 0); };
  }
  std::function<void()> Release() { return Post(WM_LBUTTONUP); }

  static void ExpectFloatingDrop(const std::optional<TDragDrop>& drop, const RECT& outline) {
    ASSERT_TRUE(drop);
    EXPECT_EQ(drop->Dock, nullptr);
    EXPECT_TRUE(SameRect(drop->Outline, outline));
  }

  TTestClass class_;
  std::vector<UINT> heard_;  // by the dragged window
  TTestWindow tool_{WS_POPUP, kTool, nullptr, &heard_};
  TTestWindow form_{WS_POPUP, kForm, nullptr};
  TTestWindow upper_{WS_CHILD, kUpperDock, form_.Get()};
  TTestWindow lower_{WS_CHILD, kLowerDock, form_.Get()};
  RECT savedWorkArea_{};
};

TEST_F(ToolWinDrag, ADragToAPointDropsTheFloatingOutlineThereWithTheGrabPointKept) {
  const TDragState drag = Drag({30, 10});
  ExpectFloatingDrop(Run(drag, {MoveTo(300, 250), MoveTo(400, 300), Release()}), {370, 290, 520, 390});
  modaltest::ExpectReleased(tool_.Get());
  // A larger floating outline keeps the grab point in proportion: 30 of 149 across, 10 of 99 down.
  TDragState larger = drag;
  larger.FloatingOutline = {200, 120};
  ExpectFloatingDrop(Run(larger, {MoveTo(400, 300), Release()}), {360, 288, 560, 408});
}

TEST_F(ToolWinDrag, ADragOverADockDropsIntoItAndOutAgainFloats) {
  const TDragState drag = Drag({30, 10});
  const std::optional<TDragDrop> drop = Run(drag, {MoveTo(700, 110), Release()});
  ASSERT_TRUE(drop);
  EXPECT_EQ(drop->Dock, upper_.Get());
  // The dock's outline size at the grab point: 32 of 159 across, 3 of 33 down.
  EXPECT_TRUE(SameRect(drop->Outline, {668, 107, 828, 141}));
  modaltest::ExpectReleased(tool_.Get());
  ExpectFloatingDrop(Run(drag, {MoveTo(700, 110), MoveTo(400, 300), Release()}), {370, 290, 520, 390});
}

TEST_F(ToolWinDrag, ARefusingDockLetsTheNextTakeIt) {
  // Both docks catch a drag at their boundary; the upper one is asked first, each time the cursor moves.
  std::vector<const void*> asked;
  const auto upperRefuses = [&](const toolkit::TDragDock& dock) {
    asked.push_back(dock.Dock);
    return dock.Dock != upper_.Get();
  };
  std::optional<TDragDrop> drop = Run(Drag({30, 10}), {MoveTo(700, 128), Release()}, upperRefuses);
  ASSERT_TRUE(drop);
  EXPECT_EQ(drop->Dock, lower_.Get());
  ASSERT_FALSE(asked.empty());
  ASSERT_EQ(asked.size() % 2, 0u);
  for (size_t i = 0; i < asked.size(); i += 2) {
    EXPECT_EQ(asked[i], upper_.Get());
    EXPECT_EQ(asked[i + 1], lower_.Get());
  }
  // Accepting, the upper one takes it and the lower one is never asked.
  asked.clear();
  drop = Run(Drag({30, 10}), {MoveTo(700, 128), Release()}, [&](const toolkit::TDragDock& dock) {
    asked.push_back(dock.Dock);
    return true;
  });
  ASSERT_TRUE(drop);
  EXPECT_EQ(drop->Dock, upper_.Get());
  ASSERT_FALSE(asked.empty());
  EXPECT_EQ(std::count(asked.begin(), asked.end(), upper_.Get()), static_cast<long>(asked.size()));
}

TEST_F(ToolWinDrag, CtrlHeldNeverDocksAndPressingOrReleasingItReevaluatesAtOnce) {
  TDragState drag = Drag({30, 10});
  drag.NoDock = true;
  int asked = 0;
  const auto count = [&](const toolkit::TDragDock&) { return ++asked > 0; };
  // Held from the start: over the lower dock the window still floats, and no dock is asked.
  ExpectFloatingDrop(Run(drag, {MoveTo(700, 150), Release()}, count), {670, 140, 820, 240});
  EXPECT_EQ(asked, 0);
  // Released over the upper dock, with no move after it: it docks.
  std::optional<TDragDrop> drop = Run(drag, {MoveTo(700, 110), Post(WM_KEYUP, VK_CONTROL), Release()}, count);
  ASSERT_TRUE(drop);
  EXPECT_EQ(drop->Dock, upper_.Get());
  EXPECT_GT(asked, 0);
  // Pressed over the dock: it floats at once. Ctrl's state unchanged (released while up, the key's
  // repeat while down) asks nothing again.
  drag.NoDock = false;
  asked = 0;
  int overDock = 0, afterRelease = 0, afterPress = 0;
  drop = Run(drag,
             {MoveTo(700, 110), [&] { overDock = asked; }, Post(WM_KEYUP, VK_CONTROL), [&] { afterRelease = asked; },
              Post(WM_KEYDOWN, VK_CONTROL), Post(WM_KEYDOWN, VK_CONTROL), [&] { afterPress = asked; }, Release()},
             count);
  ExpectFloatingDrop(drop, {670, 100, 820, 200});
  EXPECT_GT(overDock, 0);
  EXPECT_EQ(afterRelease, overDock);
  EXPECT_EQ(afterPress, overDock);
  EXPECT_EQ(asked, overDock);
}

TEST_F(ToolWinDrag, EscapeASecondPressADoubleClickOrTheCaptureGoneCancel) {
  const TDragState drag = Drag({30, 10});
  const std::vector<std::function<void()>> cancels{Post(WM_KEYDOWN, VK_ESCAPE), Post(WM_KEYUP, VK_ESCAPE),
                                                   Post(WM_LBUTTONDOWN), Post(WM_LBUTTONDBLCLK),
                                                   [] { ReleaseCapture(); }};
  for (size_t i = 0; i < cancels.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_FALSE(Run(drag, {MoveTo(400, 300), cancels[i]}));
    modaltest::ExpectReleased(tool_.Get());
  }
}

TEST_F(ToolWinDrag, AQuitRequestEndsTheDragAndStaysForTheLoopOutside) {
  EXPECT_FALSE(Run(Drag({30, 10}), {MoveTo(400, 300), [] { PostQuitMessage(7); }}));
  modaltest::ExpectReleased(tool_.Get());
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(ToolWinDrag, RightAndMiddleButtonsAndOtherKeysAreSwallowedAndTheRestGoesItsWay) {
  constexpr UINT kOther = WM_APP + 5;
  const auto postAll = [this] {
    for (UINT msg : {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK})
      PostMessageW(tool_.Get(), msg, 0, 0);
    PostMessageW(tool_.Get(), WM_KEYDOWN, VK_RETURN, 0);
    PostMessageW(tool_.Get(), WM_KEYUP, 'A', 0);
    PostMessageW(tool_.Get(), WM_KEYDOWN, VK_SHIFT, 0);
    PostMessageW(tool_.Get(), kOther, 0, 0);
  };
  heard_.clear();
  ExpectFloatingDrop(Run(Drag({30, 10}), {MoveTo(400, 300), postAll, Release()}), {370, 290, 520, 390});
  for (UINT msg : heard_) {
    EXPECT_FALSE(msg >= WM_RBUTTONDOWN && msg <= WM_MBUTTONDBLCLK) << msg;
    EXPECT_FALSE(msg >= WM_KEYFIRST && msg <= WM_KEYLAST) << msg;
  }
  EXPECT_EQ(std::count(heard_.begin(), heard_.end(), kOther), 1);
}

TEST_F(ToolWinDrag, CannotFloatOutsideEveryDockShowsTheNoEntryCursorAndDropsNothing) {
  TDragState drag = Drag({30, 10});
  drag.CannotFloat = true;
  std::vector<HCURSOR> shown;
  const auto cursor = [&] { shown.push_back(GetCursor()); };
  EXPECT_FALSE(Run(drag, {cursor, MoveTo(700, 110), cursor, MoveTo(400, 300), cursor, Release()}));
  EXPECT_EQ(shown, (std::vector<HCURSOR>{SystemCursor(IDC_NO), SystemCursor(IDC_SIZEALL), SystemCursor(IDC_NO)}));
  // The cursor the drag began with is back.
  EXPECT_EQ(GetCursor(), SystemCursor(IDC_SIZEALL));
  modaltest::ExpectReleased(tool_.Get());
  // Over a dock it still docks.
  const std::optional<TDragDrop> drop = Run(drag, {MoveTo(700, 110), Release()});
  ASSERT_TRUE(drop);
  EXPECT_EQ(drop->Dock, upper_.Get());
}

TEST_F(ToolWinDrag, AFloatingOutlineKeepsItsFramePlusFourOnTheWorkAreaAndOnlyPartOfItsCaptionAbove) {
  const toolkit::TFloatingFrameSize frame = toolkit::DragFloatingFrame(true, true);
  const RECT& wa = kWorkArea;
  // Grabbed at the left edge and dragged far right (the cursor is free to leave the work area).
  POINT cursorThere{};
  bool freeThere = false;
  std::optional<TDragDrop> drop =
      Run(Drag({0, 50}),
          {MoveTo(1000, 300), [&] { GetCursorPos(&cursorThere), freeThere = modaltest::CursorFree(); }, Release()});
  EXPECT_EQ(cursorThere.x, 1000);
  EXPECT_TRUE(freeThere);
  ASSERT_TRUE(drop);
  EXPECT_EQ(wa.right - drop->Outline.left, frame.SideX + 4);
  EXPECT_EQ(drop->Outline.top, 250);
  // Grabbed at the bottom and dragged above the work area: of the top frame and caption all but 4 pixels
  // leave it.
  drop = Run(Drag({75, 99}), {MoveTo(400, 20), Release()});
  ASSERT_TRUE(drop);
  EXPECT_EQ(drop->Outline.left, 325);
  EXPECT_EQ(wa.top - drop->Outline.top, frame.SideY + frame.Caption - 4);
  // Grabbed at the top right and dragged below and left of it.
  drop = Run(Drag({149, 0}), {MoveTo(20, 700), Release()});
  ASSERT_TRUE(drop);
  EXPECT_EQ(drop->Outline.right - wa.left, frame.SideX + 4);
  EXPECT_EQ(wa.bottom - drop->Outline.top, frame.SideY + 4);
}

TEST_F(ToolWinDrag, TheOutlineIsOnePixelForADockAndTheFrameOtherwiseAndIsErasedAfterwards) {
  const int thickness = toolkit::DragFloatingFrame(true, true).SideX;
  // Floating at (400, 300) the outline is (370, 290, 520, 390); over the dock, (668, 107, 828, 141). Rows
  // across each top side, clear of the left and right sides.
  const auto floatingInner = [&] { return Row(290 + thickness - 1, 380, 500); };
  const auto floatingBelow = [&] { return Row(290 + thickness, 380, 500); };
  const auto dockedEdge = [] { return Row(107, 680, 800); };
  const auto dockedBelow = [] { return Row(108, 680, 800); };
  const auto floatingInnerBefore = floatingInner(), floatingBelowBefore = floatingBelow();
  const auto dockedEdgeBefore = dockedEdge(), dockedBelowBefore = dockedBelow();
  std::vector<COLORREF> fi, fb, de, db, fiDocked;
  EXPECT_FALSE(Run(Drag({30, 10}), {MoveTo(400, 300),
                                    [&] {
                                      fi = floatingInner();
                                      fb = floatingBelow();
                                    },
                                    MoveTo(700, 110),
                                    [&] {
                                      de = dockedEdge();
                                      db = dockedBelow();
                                      fiDocked = floatingInner();
                                    },
                                    Post(WM_KEYDOWN, VK_ESCAPE)}));
  EXPECT_NE(fi, floatingInnerBefore);
  EXPECT_EQ(fb, floatingBelowBefore);
  EXPECT_NE(de, dockedEdgeBefore);
  EXPECT_EQ(db, dockedBelowBefore);
  EXPECT_EQ(fiDocked, floatingInnerBefore);
  EXPECT_EQ(floatingInner(), floatingInnerBefore);
  EXPECT_EQ(dockedEdge(), dockedEdgeBefore);
}

TEST_F(ToolWinDrag, AnExceptionFromADocksSayGivesEverythingBackAndErasesTheOutline) {
  // The outline starts where the window is: its top row.
  const auto top = [] { return Row(kTool.top, kTool.left + 10, kTool.right - 10); };
  const auto before = top();
  std::vector<COLORREF> during;
  SetCursorPos(kTool.left + 30, kTool.top + 10);
  TScript script({[&] { during = top(); }, MoveTo(700, 110)});
  const auto refuse = [](const toolkit::TDragDock&) -> bool { throw std::runtime_error("refused"); };
  EXPECT_THROW(toolkit::RunDragLoop(tool_.Get(), Drag({30, 10}), refuse), std::runtime_error);
  EXPECT_NE(during, before);
  EXPECT_EQ(top(), before);
  EXPECT_EQ(GetCursor(), SystemCursor(IDC_SIZEALL));
  modaltest::ExpectReleased(tool_.Get());
}

}  // namespace
