// The tool window frame's modal loops, driven from inside by a thread timer that moves the real cursor and
// posts the mouse and key messages a user would cause.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "MessageLoop.h"
#include "ModalScript.h"
#include "ToolDockGeometry.h"
#include "ToolWinFrame.h"
#include "ToolWinFrameWindow.h"

namespace {

using frametest::TFrameState;
using modaltest::SameRect;
using modaltest::TScript;

RECT Bounds(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  return r;
}

class ToolWinFrameLoops : public ::testing::Test {
 protected:
  static constexpr RECT kBounds{200, 200, 350, 300};

  // A work area smaller than the screen (for this process only), so that the cursor's confinement to it
  // shows apart from no confinement at all.
  void SetUp() override {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &savedWorkArea_, 0);
    RECT work{0, 0, 800, 600};
    SystemParametersInfoW(SPI_SETWORKAREA, 0, &work, 0);
    wnd_ = windows_.Make(state_, kBounds);
    state_.hooks.begin = [this](int edge) { begun_.push_back(edge); };
    state_.hooks.track = [this](RECT& r, const RECT&) { tracked_.push_back(r); };
    state_.hooks.end = [this](bool applied) { ended_.push_back(applied); };
  }

  void TearDown() override { SystemParametersInfoW(SPI_SETWORKAREA, 0, &savedWorkArea_, 0); }

  // Moves the cursor to (x, y) on the screen and posts the move the window hears.
  std::function<void()> MoveTo(int x, int y) {
    return [this, x, y] {
      SetCursorPos(x, y);
      PostMessageW(wnd_, WM_MOUSEMOVE, 0, 0);
    };
  }
  std::function<void()> Post(UINT msg, WPARAM wParam = 0) {
    return [this, msg, wParam] { PostMessageW(wnd_, msg, wParam, 0); };
  }
  void ExpectReleased() { modaltest::ExpectReleased(wnd_); }
  void StartSizing(int hit, POINT from) {
    SetCursorPos(from.x, from.y);
    SendMessageW(wnd_, WM_NCLBUTTONDOWN, static_cast<WPARAM>(hit), MAKELPARAM(from.x, from.y));
  }

  frametest::TFrameWindows windows_;
  TFrameState state_;
  HWND wnd_ = nullptr;
  std::vector<int> begun_;
  std::vector<RECT> tracked_;
  std::vector<bool> ended_;
  RECT savedWorkArea_{};
};

TEST_F(ToolWinFrameLoops, SizingFromTheLeftBelowTheMinimumKeepsTheRightEdge) {
  RECT clipDuring{};
  TScript script({MoveTo(260, 250), [&] { GetClipCursor(&clipDuring); }, MoveTo(330, 250), Post(WM_LBUTTONUP)});
  StartSizing(HTLEFT, {201, 250});
  EXPECT_FALSE(script.Overran());
  EXPECT_EQ(begun_, std::vector<int>{0});
  ASSERT_EQ(tracked_.size(), 2u);
  EXPECT_TRUE(SameRect(tracked_[0], {259, 200, 350, 300}));
  EXPECT_TRUE(SameRect(tracked_[1], {270, 200, 350, 300}));
  EXPECT_EQ(ended_, std::vector<bool>{true});
  EXPECT_TRUE(SameRect(Bounds(wnd_), {270, 200, 350, 300}));
  // While sizing, the cursor stayed in the work area.
  EXPECT_TRUE(SameRect(clipDuring, {0, 0, 800, 600}));
  ExpectReleased();
}

TEST_F(ToolWinFrameLoops, SizingFromTheRightBelowTheMinimumKeepsTheLeftEdge) {
  TScript script({MoveTo(200, 250), Post(WM_LBUTTONUP)});
  StartSizing(HTRIGHT, {348, 250});
  EXPECT_FALSE(script.Overran());
  EXPECT_TRUE(SameRect(Bounds(wnd_), {200, 200, 280, 300}));
  ExpectReleased();
}

TEST_F(ToolWinFrameLoops, ACornerSizesBothWays) {
  {
    TScript script({MoveTo(380, 330), Post(WM_LBUTTONUP)});
    StartSizing(HTBOTTOMRIGHT, {349, 299});
  }
  EXPECT_EQ(begun_, std::vector<int>{7});
  EXPECT_TRUE(SameRect(Bounds(wnd_), {200, 200, 381, 331}));
  {
    TScript script({MoveTo(150, 150), Post(WM_LBUTTONUP)});
    StartSizing(HTTOPLEFT, {200, 200});
  }
  EXPECT_TRUE(SameRect(Bounds(wnd_), {150, 150, 381, 331}));
}

TEST_F(ToolWinFrameLoops, EscapeOrASecondPressCancelsAndLeavesTheBounds) {
  {
    TScript script({MoveTo(300, 250), Post(WM_KEYDOWN, VK_ESCAPE)});
    StartSizing(HTLEFT, {201, 250});
    EXPECT_FALSE(script.Overran());
  }
  EXPECT_FALSE(state_.applied);
  EXPECT_TRUE(SameRect(Bounds(wnd_), kBounds));
  ExpectReleased();
  {
    TScript script({MoveTo(300, 250), Post(WM_LBUTTONDOWN)});
    StartSizing(HTTOP, {250, 201});
    EXPECT_FALSE(script.Overran());
  }
  EXPECT_FALSE(state_.applied);
  EXPECT_TRUE(SameRect(Bounds(wnd_), kBounds));
  EXPECT_EQ(ended_, (std::vector<bool>{false, false}));
  ExpectReleased();
}

TEST_F(ToolWinFrameLoops, OtherKeysAndButtonsAreSwallowedWhileSizing) {
  TScript script({MoveTo(260, 250), Post(WM_KEYDOWN, VK_RETURN), Post(WM_RBUTTONDOWN), Post(WM_LBUTTONUP)});
  StartSizing(HTLEFT, {201, 250});
  EXPECT_TRUE(script.Finished());
  EXPECT_TRUE(SameRect(Bounds(wnd_), {259, 200, 350, 300}));
}

TEST_F(ToolWinFrameLoops, AQuitRequestEndsTheLoopsAndStaysForTheLoopOutside) {
  {
    TScript script({MoveTo(260, 250), [] { PostQuitMessage(5); }});
    StartSizing(HTLEFT, {201, 250});
    EXPECT_FALSE(script.Overran());
  }
  EXPECT_FALSE(state_.applied);
  EXPECT_TRUE(SameRect(Bounds(wnd_), kBounds));
  ExpectReleased();
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 5u);
  {
    TScript script({[] { PostQuitMessage(6); }});
    SendMessageW(wnd_, WM_NCLBUTTONDOWN, HTCLOSE, 0);
    EXPECT_FALSE(script.Overran());
  }
  EXPECT_EQ(state_.closed, std::optional<bool>(false));
  EXPECT_EQ(GetCapture(), nullptr);
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 6u);
}

TEST_F(ToolWinFrameLoops, AnExceptionFromAHookGivesEverythingBack) {
  state_.hooks.track = [](RECT&, const RECT&) { throw std::runtime_error("track"); };
  TScript script({MoveTo(260, 250)});
  SetCursorPos(201, 250);
  EXPECT_THROW(toolkit::RunSizeLoop(wnd_, 0, {80, 60}, 4, state_.hooks), std::runtime_error);
  EXPECT_EQ(ended_, std::vector<bool>{false});
  EXPECT_TRUE(SameRect(Bounds(wnd_), kBounds));
  ExpectReleased();
}

TEST_F(ToolWinFrameLoops, TheOutlineShowsOnTheDesktopAndIsErasedAfterwards) {
  // The top of the outline, right of the window: the desktop there, then the outline over it.
  const auto row = [] {
    std::vector<COLORREF> px;
    const cl::TWindowDC screen(nullptr);
    for (int x = 352; x < 390; ++x) px.push_back(GetPixel(screen.Get(), x, 201));
    return px;
  };
  const std::vector<COLORREF> before = row();
  std::vector<COLORREF> during;
  TScript script({MoveTo(400, 250), [&] { during = row(); }, Post(WM_KEYDOWN, VK_ESCAPE)});
  StartSizing(HTRIGHT, {348, 250});
  EXPECT_NE(during, before);
  EXPECT_EQ(row(), before);
}

// ----- the close button

class ToolWinCloseButton : public ToolWinFrameLoops {
 protected:
  POINT Inside() const {
    const RECT r = toolkit::FloatingCloseButtonRect(true, frametest::ClientWidth(wnd_));
    return {kBounds.left + (r.left + r.right) / 2, kBounds.top + (r.top + r.bottom) / 2};
  }
  void Press() {
    const POINT p = Inside();
    SetCursorPos(p.x, p.y);
    SendMessageW(wnd_, WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(p.x, p.y));
  }
  // The close button as the window shows it now, and as the system draws it.
  std::vector<COLORREF> ShownButton() const {
    RECT r = ButtonRect();
    InflateRect(&r, -1, -1);
    const cl::TWindowDC dc(wnd_, cl::TWindowDC::dcWholeWindow);
    return frametest::Pixels(dc.Get(), r);
  }
  static std::vector<COLORREF> SystemButton(RECT r, bool pushed) {
    InflateRect(&r, -1, -1);
    return frametest::SystemCloseButton(r, pushed);
  }
  RECT ButtonRect() const { return toolkit::FloatingCloseButtonRect(true, frametest::ClientWidth(wnd_)); }
};

TEST_F(ToolWinCloseButton, ReleasedOverItCloses) {
  std::vector<COLORREF> shown;
  TScript script({[&] { shown = ShownButton(); }, Post(WM_LBUTTONUP)});
  Press();
  EXPECT_EQ(state_.closed, std::optional<bool>(true));
  EXPECT_EQ(shown, SystemButton(ButtonRect(), true));
  EXPECT_EQ(state_.pressedStates, (std::vector<bool>{true, false}));
  EXPECT_FALSE(state_.floatingFrame.closePressed);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ToolWinCloseButton, ReleasedOutsideDoesNotCloseAndBackOverItShowsPushedAgain) {
  const POINT in = Inside();
  std::vector<COLORREF> out, back;
  TScript script({MoveTo(in.x - 60, in.y + 40), [&] { out = ShownButton(); }, MoveTo(in.x, in.y),
                  [&] { back = ShownButton(); }, MoveTo(in.x - 60, in.y + 40), Post(WM_LBUTTONUP)});
  Press();
  EXPECT_FALSE(script.Overran());
  EXPECT_EQ(state_.closed, std::optional<bool>(false));
  EXPECT_EQ(state_.pressedStates, (std::vector<bool>{true, false, true, false}));
  EXPECT_EQ(out, SystemButton(ButtonRect(), false));
  EXPECT_EQ(back, SystemButton(ButtonRect(), true));
  // After the loop the button is drawn up.
  hktest::PumpUntil([&] { return state_.floatingRedraws.size() >= 4; }, 1000);
  EXPECT_EQ(ShownButton(), SystemButton(ButtonRect(), false));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ToolWinCloseButton, ASecondPressEndsWithoutClosingAndKeysAreSwallowed) {
  TScript script({Post(WM_KEYDOWN, VK_ESCAPE), Post(WM_RBUTTONUP), Post(WM_LBUTTONDOWN)});
  Press();
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(state_.closed, std::optional<bool>(false));
  EXPECT_EQ(state_.pressedStates, (std::vector<bool>{true, false}));
}

TEST_F(ToolWinCloseButton, TheDockedButtonIsTrackedToo) {
  state_.docked = true;
  state_.dockedFrame.options = {toolkit::kDockHorizontal, true, true, toolkit::dhDouble};
  SetWindowPos(wnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  const RECT b = toolkit::DockedCloseButtonRect(toolkit::kDockHorizontal, frametest::ClientWidth(wnd_));
  const POINT p{kBounds.left + b.left + 4, kBounds.top + b.top + 4};
  EXPECT_EQ(SendMessageW(wnd_, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), HTCLOSE);
  TScript script({Post(WM_LBUTTONUP)});
  SetCursorPos(p.x, p.y);
  SendMessageW(wnd_, WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(p.x, p.y));
  EXPECT_EQ(state_.closed, std::optional<bool>(true));
  EXPECT_GE(state_.dockedRedraws, 1);
}

}  // namespace
