// The tool window frame: sizes, the drawing of both forms, redraw requests, hit testing and the XOR
// outline, on a bare popup whose frame is the module's.
#include "ToolWinFrame.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "GdiObjects.h"
#include "PaintSurface.h"
#include "ToolDockGeometry.h"
#include "ToolWinFrameWindow.h"

namespace {

using frametest::TFrameState;
using toolkit::dhDouble;
using toolkit::dhNone;
using toolkit::dhSingle;
using toolkit::kDockHorizontal;
using toolkit::kDockVertical;

constexpr COLORREF kDockColor = RGB(0x20, 0x80, 0x40);

COLORREF Sys(int index) { return GetSysColor(index); }

bool GradientCaptions() {
  BOOL on = FALSE;
  return SystemParametersInfoW(SPI_GETGRADIENTCAPTIONS, 0, &on, 0) && on;
}

class ToolWinFrame : public ::testing::Test {
 protected:
  // A surface of the window's size, white, with the frame drawn into it.
  hktest::PaintSurface& Drawn(HWND wnd, const TFrameState& s) {
    const SIZE size = frametest::WindowSize(wnd);
    surface_ = std::make_unique<hktest::PaintSurface>(size.cx, size.cy);
    Clear(*surface_, size);
    frametest::DrawFrame(wnd, surface_->DC(), s);
    return *surface_;
  }
  static void Clear(hktest::PaintSurface& surface, SIZE size) {
    PatBlt(surface.DC(), 0, 0, size.cx, size.cy, WHITENESS);
  }
  static std::vector<COLORREF> Pixels(const hktest::PaintSurface& surface, const RECT& r) {
    return frametest::Pixels(surface.DC(), r);
  }
  static std::vector<COLORREF> SystemCloseButton(const RECT& r, bool pushed) {
    return frametest::SystemCloseButton(r, pushed);
  }

  frametest::TFrameWindows windows_;
  std::unique_ptr<hktest::PaintSurface> surface_;
};

// ----- sizes

TEST_F(ToolWinFrame, HandleSizesAndGripOffsetsFollowTheTables) {
  const toolkit::TDragHandleStyle styles[] = {dhDouble, dhNone, dhSingle};
  const int sizes[2][3] = {{9, 0, 6}, {14, 14, 14}};
  const int offsets[2][3] = {{2, 0, 1}, {3, 0, 5}};
  for (int close = 0; close < 2; ++close)
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(toolkit::DragHandleSize(close != 0, styles[i]), sizes[close][i]);
      EXPECT_EQ(toolkit::FirstGripOffset(close != 0, styles[i]), offsets[close][i]);
    }
}

TEST_F(ToolWinFrame, DockedSizesAddTheHandleOnItsSideOnlyWhenTheDockAllowsDragging) {
  toolkit::TDockedFrameOptions o;
  o.orientation = kDockHorizontal;
  o.dragHandleStyle = dhDouble;
  toolkit::TNonClientSize n = toolkit::DockedNonClientSize(o);
  EXPECT_EQ(n.left, 11);
  EXPECT_EQ(n.top, 2);
  EXPECT_EQ(n.right, 2);
  EXPECT_EQ(n.bottom, 2);
  EXPECT_EQ(n.FrameWidth(), 13);
  EXPECT_EQ(n.FrameHeight(), 4);
  o.orientation = kDockVertical;
  o.dragHandleStyle = dhSingle;
  n = toolkit::DockedNonClientSize(o);
  EXPECT_EQ(n.left, 2);
  EXPECT_EQ(n.top, 8);
  EXPECT_EQ(n.FrameHeight(), 10);
  o.dragHandleStyle = dhNone;
  EXPECT_EQ(toolkit::DockedNonClientSize(o).FrameHeight(), 4);
  o.closeButtonWhenDocked = true;
  EXPECT_EQ(toolkit::DockedNonClientSize(o).FrameHeight(), 18);
  o.allowDrag = false;
  n = toolkit::DockedNonClientSize(o);
  EXPECT_EQ(n.FrameWidth(), 4);
  EXPECT_EQ(n.FrameHeight(), 4);
}

TEST_F(ToolWinFrame, FloatingSizesAreTheFrameAndTheCaption) {
  const int hc = toolkit::GetSmallCaptionHeight();
  const int cx = GetSystemMetrics(SM_CXSIZEFRAME), cy = GetSystemMetrics(SM_CYSIZEFRAME);
  toolkit::TNonClientSize n = toolkit::FloatingNonClientSize(true, true);
  EXPECT_EQ(n.left, cx);
  EXPECT_EQ(n.right, cx);
  EXPECT_EQ(n.top, cy + hc);
  EXPECT_EQ(n.bottom, cy);
  EXPECT_EQ(n.FrameWidth(), 2 * cx);
  EXPECT_EQ(n.FrameHeight(), 2 * cy + hc);
  const RECT client{100, 100, 150, 130};
  const RECT outer = n.Outer(client);
  const RECT expected{100 - cx, 100 - cy - hc, 150 + cx, 130 + cy};
  EXPECT_TRUE(EqualRect(&outer, &expected));
  const RECT inner = n.Inner(outer);
  EXPECT_TRUE(EqualRect(&inner, &client));
  n = toolkit::FloatingNonClientSize(false, false);
  EXPECT_EQ(n.left, GetSystemMetrics(SM_CXFIXEDFRAME));
  EXPECT_EQ(n.FrameHeight(), 2 * GetSystemMetrics(SM_CYFIXEDFRAME));
}

TEST_F(ToolWinFrame, TheWindowsClientAreaIsWhatTheFrameLeaves) {
  TFrameState s;
  HWND floating = windows_.Make(s, {100, 100, 300, 220});
  RECT client{};
  GetClientRect(floating, &client);
  const toolkit::TNonClientSize n = s.NonClient();
  EXPECT_EQ(client.right, 200 - n.FrameWidth());
  EXPECT_EQ(client.bottom, 120 - n.FrameHeight());
  TFrameState d;
  d.docked = true;
  d.dockedFrame.options.orientation = kDockVertical;
  HWND docked = windows_.Make(d, {100, 100, 140, 300});
  GetClientRect(docked, &client);
  EXPECT_EQ(client.right, 36);
  EXPECT_EQ(client.bottom, 200 - 13);
}

TEST_F(ToolWinFrame, CaptionAndCloseButtonRectangles) {
  const int hc = toolkit::GetSmallCaptionHeight();
  const SIZE f = toolkit::FloatingFrameSize(true);
  const RECT caption = toolkit::CaptionRect(true, 100, false);
  EXPECT_EQ(caption.left, f.cx);
  EXPECT_EQ(caption.top, f.cy);
  EXPECT_EQ(caption.right, f.cx + 100);
  EXPECT_EQ(caption.bottom, f.cy + hc - 1);
  EXPECT_EQ(toolkit::CaptionRect(true, 100, true).right, f.cx + 100 - (hc - 1));
  const RECT close = toolkit::FloatingCloseButtonRect(true, 100);
  EXPECT_EQ(close.right - close.left, hc - 1);
  EXPECT_EQ(close.bottom - close.top, hc - 1);
  EXPECT_EQ(close.right, caption.right);
  const RECT h = toolkit::DockedCloseButtonRect(kDockHorizontal, 50);
  EXPECT_EQ(h.left, 3);
  EXPECT_EQ(h.top, 2);
  EXPECT_EQ(h.right - h.left, 11);
  EXPECT_EQ(h.bottom - h.top, 11);
  const RECT v = toolkit::DockedCloseButtonRect(kDockVertical, 50);
  EXPECT_EQ(v.left, 50 + 2 - 11);
  EXPECT_EQ(v.top, 3);
  EXPECT_EQ(v.right, 52);
}

// ----- the floating frame

TEST_F(ToolWinFrame, FloatingFrameActiveCaptionCloseButtonAndTheLineBelow) {
  TFrameState s;
  HWND wnd = windows_.Make(s, {100, 100, 300, 220});
  const hktest::PaintSurface& p = Drawn(wnd, s);
  const SIZE size = frametest::WindowSize(wnd);
  const SIZE f = toolkit::FloatingFrameSize(true);
  const int hc = toolkit::GetSmallCaptionHeight();
  // The raised edge, then the face up to the client area, which stays as it was.
  EXPECT_EQ(p.Pixel(0, 60), Sys(COLOR_3DLIGHT));
  EXPECT_EQ(p.Pixel(1, 60), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(p.Pixel(size.cx - 1, 60), Sys(COLOR_3DDKSHADOW));
  EXPECT_EQ(p.Pixel(size.cx - 2, 60), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(p.Pixel(2, 60), Sys(COLOR_BTNFACE));
  EXPECT_EQ(p.Pixel(f.cx, 60), RGB(255, 255, 255));
  // The caption starts in the active colour; the row below it is the face's.
  EXPECT_EQ(p.Pixel(f.cx, f.cy), Sys(COLOR_ACTIVECAPTION));
  EXPECT_EQ(p.Pixel(f.cx + 10, f.cy + hc - 1), Sys(COLOR_BTNFACE));
  // The close button: framed in the caption's colour, the system's button inside.
  const RECT close = toolkit::FloatingCloseButtonRect(true, frametest::ClientWidth(wnd));
  const COLORREF border = Sys(GradientCaptions() ? COLOR_GRADIENTACTIVECAPTION : COLOR_ACTIVECAPTION);
  EXPECT_EQ(p.Pixel(close.left, close.top + 3), border);
  EXPECT_EQ(p.Pixel(close.right - 1, close.bottom - 1), border);
  RECT face = close;
  InflateRect(&face, -1, -1);
  EXPECT_EQ(Pixels(p, face), SystemCloseButton(face, false));
  // The caption redrawn alone closes the row below it itself, the close button's part too.
  Clear(*surface_, size);
  toolkit::DrawFloatingFrame(wnd, p.DC(), s.floatingFrame, toolkit::kCaptionPart);
  EXPECT_EQ(p.Pixel(f.cx + 10, f.cy + hc - 1), Sys(COLOR_BTNFACE));
  EXPECT_EQ(p.Pixel(close.left + 2, f.cy + hc - 1), Sys(COLOR_BTNFACE));
  EXPECT_EQ(p.Pixel(f.cx + 10, f.cy + hc), RGB(255, 255, 255));
  EXPECT_EQ(p.Pixel(2, 60), RGB(255, 255, 255));
}

TEST_F(ToolWinFrame, AnInactiveCaptionAndAPushedCloseButton) {
  TFrameState s;
  s.floatingFrame.options.captionInactive = true;
  s.floatingFrame.closePressed = true;
  HWND wnd = windows_.Make(s, {100, 100, 300, 220});
  const hktest::PaintSurface& p = Drawn(wnd, s);
  const SIZE f = toolkit::FloatingFrameSize(true);
  EXPECT_EQ(p.Pixel(f.cx, f.cy), Sys(COLOR_INACTIVECAPTION));
  const RECT close = toolkit::FloatingCloseButtonRect(true, frametest::ClientWidth(wnd));
  EXPECT_EQ(p.Pixel(close.left, close.top + 3),
            Sys(GradientCaptions() ? COLOR_GRADIENTINACTIVECAPTION : COLOR_INACTIVECAPTION));
  RECT face = close;
  InflateRect(&face, -1, -1);
  EXPECT_EQ(Pixels(p, face), SystemCloseButton(face, true));
}

TEST_F(ToolWinFrame, WithoutCaptionTheFrameRunsAllRound) {
  TFrameState s;
  s.floatingFrame.options.showCaption = false;
  s.floatingFrame.options.resizable = false;
  HWND wnd = windows_.Make(s, {100, 100, 300, 220});
  const hktest::PaintSurface& p = Drawn(wnd, s);
  const SIZE f = toolkit::FloatingFrameSize(false);
  EXPECT_EQ(p.Pixel(50, 1), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(p.Pixel(50, f.cy - 1), Sys(COLOR_BTNFACE));
  EXPECT_EQ(p.Pixel(50, f.cy), RGB(255, 255, 255));
}

TEST_F(ToolWinFrame, WMPrintAndTheScreenShowTheSameFrame) {
  TFrameState s;
  HWND wnd = windows_.Make(s, {100, 100, 300, 220});
  const SIZE size = frametest::WindowSize(wnd);
  hktest::PaintSurface printed(size.cx, size.cy);
  SendMessageW(wnd, WM_PRINT, reinterpret_cast<WPARAM>(printed.DC()), PRF_NONCLIENT | PRF_CLIENT);
  const SIZE f = toolkit::FloatingFrameSize(true);
  const int hc = toolkit::GetSmallCaptionHeight();
  EXPECT_EQ(printed.Pixel(f.cx, f.cy), Sys(COLOR_ACTIVECAPTION));
  EXPECT_EQ(printed.Pixel(f.cx + 10, f.cy + hc - 1), Sys(COLOR_BTNFACE));
  EXPECT_EQ(printed.Pixel(size.cx / 2, size.cy / 2), frametest::kClientColor);
  // The frame painted by WM_NCPAINT, read back from the window itself.
  RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  const cl::TWindowDC dc(wnd, cl::TWindowDC::dcWholeWindow);
  for (POINT at : {POINT{f.cx, f.cy}, POINT{f.cx + 10, f.cy + hc - 1}, POINT{1, 60}, POINT{size.cx - 1, 60}})
    EXPECT_EQ(GetPixel(dc.Get(), at.x, at.y), printed.Pixel(at.x, at.y)) << at.x << "," << at.y;
}

TEST_F(ToolWinFrame, TheHandDrawnCaptionFillsWithTheCaptionColour) {
  TFrameState s;
  HWND wnd = windows_.Make(s, {100, 100, 300, 220}, L"A caption far too long for the little bar it has");
  hktest::PaintSurface p(200, 30);
  PatBlt(p.DC(), 0, 0, 200, 30, WHITENESS);
  toolkit::DrawToolCaption(wnd, p.DC(), {10, 5, 60, 20}, true);
  EXPECT_EQ(p.Pixel(10, 5), Sys(COLOR_INACTIVECAPTION));
  EXPECT_EQ(p.Pixel(59, 19), Sys(COLOR_INACTIVECAPTION));
  EXPECT_EQ(p.Pixel(60, 19), RGB(255, 255, 255));
  // The DC is given back as it came.
  EXPECT_EQ(GetTextColor(p.DC()), RGB(0, 0, 0));
  EXPECT_EQ(GetCurrentObject(p.DC(), OBJ_FONT), GetStockObject(SYSTEM_FONT));
}

// ----- the docked frame

TFrameState Docked(int orientation, bool allowDrag, bool closeButton, toolkit::TDragHandleStyle style) {
  TFrameState s;
  s.docked = true;
  s.dockedFrame.options = {orientation, allowDrag, closeButton, style};
  s.dockedFrame.color = kDockColor;
  return s;
}

TEST_F(ToolWinFrame, DockedDoubleGripsBesideAHorizontalDocksBar) {
  TFrameState s = Docked(kDockHorizontal, true, false, dhDouble);
  HWND wnd = windows_.Make(s, {100, 100, 200, 130});
  const hktest::PaintSurface& p = Drawn(wnd, s);
  const COLORREF hi = Sys(COLOR_BTNHIGHLIGHT), sh = Sys(COLOR_BTNSHADOW), face = Sys(COLOR_BTNFACE);
  // Row 10 from the left: edge, ring, strip, grip, grip, strip, client.
  const std::vector<COLORREF> row{hi, kDockColor, kDockColor, kDockColor, hi,         face,
                                  sh, hi,         face,       sh,         kDockColor, RGB(255, 255, 255)};
  EXPECT_EQ(Pixels(p, {0, 10, 12, 11}), row);
  EXPECT_EQ(p.Pixel(99, 10), sh);
  EXPECT_EQ(p.Pixel(98, 10), kDockColor);
  // The grips run the client's height; each one's bottom-left corner is lightened.
  EXPECT_EQ(p.Pixel(4, 2), hi);
  EXPECT_EQ(p.Pixel(4, 27), hi);
  EXPECT_EQ(p.Pixel(5, 27), sh);
  EXPECT_EQ(p.Pixel(4, 28), kDockColor);
}

TEST_F(ToolWinFrame, DockedSingleGripAcrossAVerticalDocksBar) {
  TFrameState s = Docked(kDockVertical, true, false, dhSingle);
  HWND wnd = windows_.Make(s, {100, 100, 130, 200});
  const hktest::PaintSurface& p = Drawn(wnd, s);
  const COLORREF hi = Sys(COLOR_BTNHIGHLIGHT), sh = Sys(COLOR_BTNSHADOW), face = Sys(COLOR_BTNFACE);
  // Column 10 from the top: edge, ring, strip, one grip, strip, client.
  std::vector<COLORREF> column;
  for (int y = 0; y < 9; ++y) column.push_back(p.Pixel(10, y));
  EXPECT_EQ(column, (std::vector<COLORREF>{hi, kDockColor, kDockColor, hi, face, sh, kDockColor, kDockColor,
                                           RGB(255, 255, 255)}));
}

TEST_F(ToolWinFrame, WithoutDraggingADockedBarHasAPlainTwoPixelFrame) {
  TFrameState s = Docked(kDockHorizontal, false, true, dhDouble);
  HWND wnd = windows_.Make(s, {100, 100, 200, 130});
  const hktest::PaintSurface& p = Drawn(wnd, s);
  EXPECT_EQ(Pixels(p, {0, 10, 3, 11}),
            (std::vector<COLORREF>{Sys(COLOR_BTNHIGHLIGHT), kDockColor, RGB(255, 255, 255)}));
  EXPECT_EQ(Pixels(p, {50, 0, 51, 3}).back(), RGB(255, 255, 255));
  s.dockedFrame.borderStyle = cl::bsNone;
  const hktest::PaintSurface& flat = Drawn(wnd, s);
  EXPECT_EQ(Pixels(flat, {0, 10, 3, 11}), (std::vector<COLORREF>{kDockColor, kDockColor, RGB(255, 255, 255)}));
  // A click anywhere on it answers as the client area: nothing to close there.
  EXPECT_EQ(toolkit::DockedHitTest(HTNOWHERE, {5, 5}, s.dockedFrame.options, 96), HTCLIENT);
}

TEST_F(ToolWinFrame, NoHandleStyleLeavesAFourteenPixelStripForTheCloseButtonAlone) {
  TFrameState s = Docked(kDockHorizontal, true, true, dhNone);
  HWND wnd = windows_.Make(s, {100, 100, 200, 130});
  const hktest::PaintSurface& p = Drawn(wnd, s);
  const RECT button = toolkit::DockedCloseButtonRect(kDockHorizontal, frametest::ClientWidth(wnd));
  EXPECT_EQ(Pixels(p, button), SystemCloseButton(button, false));
  // Below the button the strip is plain up to the client area at 16.
  std::vector<COLORREF> strip(14, kDockColor);
  strip.push_back(RGB(255, 255, 255));
  EXPECT_EQ(Pixels(p, {2, 20, 17, 21}), strip);
  EXPECT_EQ(toolkit::DockedHitTest(HTNOWHERE, {5, 5}, s.dockedFrame.options, 84), HTCLOSE);
  EXPECT_EQ(toolkit::DockedHitTest(HTNOWHERE, {5, 20}, s.dockedFrame.options, 84), HTCLIENT);
  s.dockedFrame.closePressed = true;
  EXPECT_EQ(Pixels(Drawn(wnd, s), button), SystemCloseButton(button, true));
  // Without the button there is no strip at all.
  s.dockedFrame.options.closeButtonWhenDocked = false;
  EXPECT_EQ(s.NonClient().left, 2);
}

TEST_F(ToolWinFrame, ADocksBackgroundFillsTheRingAndTheStripButNotTheGripsOrTheClient) {
  TFrameState s = Docked(kDockHorizontal, true, false, dhSingle);
  s.dockedFrame.background = [](HDC dc) {
    const cl::TBrushHandle red(CreateSolidBrush(RGB(255, 0, 0)));
    const RECT all{0, 0, 1000, 1000};
    FillRect(dc, &all, red.Get());
  };
  HWND wnd = windows_.Make(s, {100, 100, 200, 130});
  const hktest::PaintSurface& p = Drawn(wnd, s);
  EXPECT_EQ(p.Pixel(0, 10), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(p.Pixel(1, 10), RGB(255, 0, 0));
  EXPECT_EQ(p.Pixel(2, 10), RGB(255, 0, 0));
  EXPECT_EQ(p.Pixel(3, 10), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(p.Pixel(7, 10), RGB(255, 0, 0));
  EXPECT_EQ(p.Pixel(8, 10), RGB(255, 255, 255));
  EXPECT_EQ(p.Pixel(50, 1), RGB(255, 0, 0));
}

TEST_F(ToolWinFrame, ABackgroundPainterThatThrowsLeavesTheDCAndTheWindowDCAsTheyWere) {
  TFrameState s = Docked(kDockVertical, true, true, dhDouble);
  HWND wnd = windows_.Make(s, {100, 100, 130, 200});
  // Set once the window is painted: nothing may throw through the system's own paint calls.
  s.dockedFrame.background = [](HDC dc) {
    IntersectClipRect(dc, 0, 0, 1, 1);
    throw std::runtime_error("background");
  };
  hktest::PaintSurface p(30, 100);
  const int saved = SaveDC(p.DC());
  const long before = hktest::GdiObjectsInProcess();
  EXPECT_THROW(toolkit::DrawDockedFrame(wnd, p.DC(), s.dockedFrame), std::runtime_error);
  EXPECT_THROW(toolkit::PaintDockedFrame(wnd, s.dockedFrame, nullptr), std::runtime_error);
  EXPECT_EQ(hktest::GdiObjectsInProcess(), before);
  EXPECT_EQ(SaveDC(p.DC()), saved + 1);
  RECT clip{};
  EXPECT_EQ(GetClipBox(p.DC(), &clip), SIMPLEREGION);
  EXPECT_EQ(clip.right, 30);
}

// ----- redraw requests

TEST_F(ToolWinFrame, TwoRequestsBeforeTheQueueIsServedGiveOneMessageWithBothParts) {
  TFrameState s;
  HWND wnd = windows_.Make(s, {100, 100, 300, 220});
  toolkit::RequestFloatingRedraw(wnd, toolkit::kCaptionPart);
  toolkit::RequestFloatingRedraw(wnd, toolkit::kCloseButtonPart);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, wnd, toolkit::kRedrawFloatingParts, toolkit::kRedrawFloatingParts, PM_REMOVE));
  EXPECT_EQ(msg.lParam, 6);
  EXPECT_FALSE(PeekMessageW(&msg, wnd, toolkit::kRedrawFloatingParts, toolkit::kRedrawFloatingParts, PM_REMOVE));
  toolkit::RequestDockedRedraw(wnd);
  toolkit::RequestDockedRedraw(wnd);
  ASSERT_TRUE(PeekMessageW(&msg, wnd, toolkit::kRedrawDockedFrame, toolkit::kRedrawDockedFrame, PM_REMOVE));
  EXPECT_FALSE(PeekMessageW(&msg, wnd, toolkit::kRedrawDockedFrame, toolkit::kRedrawDockedFrame, PM_REMOVE));
}

TEST_F(ToolWinFrame, PaintingServesTheQueuedRequestsAndAHiddenWindowGetsNone) {
  TFrameState s;
  HWND wnd = windows_.Make(s, {100, 100, 300, 220});
  toolkit::RequestFloatingRedraw(wnd, toolkit::kCaptionPart);
  toolkit::PaintFloatingFrame(wnd, s.floatingFrame, toolkit::kFramePart, nullptr);
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, wnd, toolkit::kRedrawFloatingParts, toolkit::kRedrawFloatingParts, PM_NOREMOVE));
  ShowWindow(wnd, SW_HIDE);
  toolkit::RequestFloatingRedraw(wnd, toolkit::kCaptionPart);
  toolkit::RequestDockedRedraw(wnd);
  EXPECT_FALSE(PeekMessageW(&msg, wnd, toolkit::kRedrawDockedFrame, toolkit::kRedrawFloatingParts, PM_NOREMOVE));
}

TEST_F(ToolWinFrame, AQuitRequestMetWhileRemovingStaysForTheLoopOutside) {
  TFrameState s;
  HWND wnd = windows_.Make(s, {100, 100, 300, 220});
  PostMessageW(wnd, toolkit::kRedrawFloatingParts, 0, toolkit::kFramePart);
  PostQuitMessage(7);
  toolkit::RequestFloatingRedraw(wnd, toolkit::kCaptionPart);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, wnd, toolkit::kRedrawFloatingParts, toolkit::kRedrawFloatingParts, PM_REMOVE));
  EXPECT_EQ(msg.lParam, 3);
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
}

// ----- hit testing

TEST_F(ToolWinFrame, FloatingHitBandsAndCorners) {
  const SIZE f = toolkit::FloatingFrameSize(true);
  const int hc = toolkit::GetSmallCaptionHeight();
  const int l = hc - 1 + f.cx;
  const SIZE w{200, 150};
  const int clientWidth = w.cx - 2 * f.cx;
  const toolkit::TFloatingFrameOptions o;
  struct Case {
    POINT p;
    LRESULT hit;
  };
  const Case cases[] = {
      {{0, 75}, HTLEFT},
      {{f.cx - 1, 75}, HTLEFT},
      {{0, l - 1}, HTTOPLEFT},
      {{0, w.cy - l}, HTBOTTOMLEFT},
      {{0, w.cy - l - 1}, HTLEFT},
      {{w.cx - f.cx - 1, 75}, HTRIGHT},  // the right band is a pixel wider
      {{w.cx - f.cx - 2, 75}, HTNOWHERE},
      {{w.cx - 1, 0}, HTTOPRIGHT},
      {{w.cx - 1, w.cy - 1}, HTBOTTOMRIGHT},
      {{100, 0}, HTTOP},
      {{l - 1, 0}, HTTOPLEFT},
      {{l, 0}, HTTOP},
      {{w.cx - l, 0}, HTTOPRIGHT},
      {{100, w.cy - f.cy - 1}, HTBOTTOM},
      {{100, w.cy - f.cy - 2}, HTNOWHERE},
      {{l - 1, w.cy - 1}, HTBOTTOMLEFT},
      {{w.cx - l, w.cy - 1}, HTBOTTOMRIGHT},
      {{f.cx + 10, f.cy + 2}, HTCLIENT},              // the caption drags
      {{f.cx + clientWidth - 2, f.cy + 2}, HTCLOSE},  // its close button closes
  };
  for (const Case& c : cases)
    EXPECT_EQ(toolkit::FloatingHitTest(HTNOWHERE, c.p, o, w, clientWidth), c.hit) << c.p.x << "," << c.p.y;
  // An inherited sizing code goes when the frame is not resizable; the client area stays.
  toolkit::TFloatingFrameOptions fixed;
  fixed.resizable = false;
  EXPECT_EQ(toolkit::FloatingHitTest(HTLEFT, {0, 75}, fixed, w, clientWidth), HTNOWHERE);
  EXPECT_EQ(toolkit::FloatingHitTest(HTCLIENT, {0, 75}, o, w, clientWidth), HTCLIENT);
  toolkit::TFloatingFrameOptions noClose;
  noClose.closeButton = false;
  EXPECT_EQ(toolkit::FloatingHitTest(HTNOWHERE, {f.cx + clientWidth - 2, f.cy + 2}, noClose, w, clientWidth), HTCLIENT);
}

TEST_F(ToolWinFrame, TheWindowAnswersHitTestsThroughTheModule) {
  TFrameState s;
  HWND wnd = windows_.Make(s, {100, 100, 300, 250});
  const auto hit = [wnd](int x, int y) { return SendMessageW(wnd, WM_NCHITTEST, 0, MAKELPARAM(100 + x, 100 + y)); };
  EXPECT_EQ(hit(0, 75), HTLEFT);
  EXPECT_EQ(hit(199, 149), HTBOTTOMRIGHT);
  EXPECT_EQ(hit(100, 75), HTCLIENT);
  const RECT close = toolkit::FloatingCloseButtonRect(true, frametest::ClientWidth(wnd));
  EXPECT_EQ(hit(close.left + 2, close.top + 2), HTCLOSE);
}

// ----- the XOR outline

class DraggingOutline : public ::testing::Test {
 protected:
  static constexpr int kSize = 100;
  DraggingOutline() : a_(kSize, kSize), b_(kSize, kSize) {
    PatBlt(a_.DC(), 0, 0, kSize, kSize, WHITENESS);
    PatBlt(b_.DC(), 0, 0, kSize, kSize, WHITENESS);
  }
  static int Inverted(const hktest::PaintSurface& s, const RECT& r) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += s.Pixel(x, y) == RGB(0, 0, 0);
    return n;
  }
  static bool Same(const hktest::PaintSurface& x, const hktest::PaintSurface& y) {
    for (int j = 0; j < kSize; ++j)
      for (int i = 0; i < kSize; ++i)
        if (x.Pixel(i, j) != y.Pixel(i, j)) return false;
    return true;
  }
  hktest::PaintSurface a_, b_;
};

TEST_F(DraggingOutline, AFloatingOutlineIsAHalftoneRingOfTheFrameWidth) {
  const RECT r{10, 10, 60, 50};
  toolkit::DrawDraggingOutline(a_.DC(), &r, nullptr, false, false, 4);
  const int ring = 50 * 40 - 42 * 32;
  EXPECT_EQ(Inverted(a_, {0, 0, kSize, kSize}), ring / 2);
  EXPECT_EQ(Inverted(a_, {14, 14, 56, 46}), 0);
  // A checkerboard: of two neighbours exactly one is inverted.
  EXPECT_NE(a_.Pixel(10, 10), a_.Pixel(11, 10));
  EXPECT_NE(a_.Pixel(10, 10), a_.Pixel(10, 11));
  // Docked: one pixel.
  toolkit::DrawDraggingOutline(b_.DC(), &r, nullptr, true, true, 4);
  EXPECT_EQ(Inverted(b_, {0, 0, kSize, kSize}), (50 * 40 - 48 * 38) / 2);
}

TEST_F(DraggingOutline, MovingErasesTheOldAndDrawsTheNewAndErasingLeavesNothing) {
  const RECT r1{10, 10, 60, 50}, r2{20, 15, 70, 70};
  toolkit::DrawDraggingOutline(a_.DC(), &r1, nullptr, false, false, 4);
  toolkit::DrawDraggingOutline(a_.DC(), &r2, &r1, true, false, 4);
  toolkit::DrawDraggingOutline(b_.DC(), &r2, nullptr, true, true, 4);
  EXPECT_TRUE(Same(a_, b_));
  toolkit::DrawDraggingOutline(a_.DC(), nullptr, &r2, false, true, 4);
  EXPECT_EQ(Inverted(a_, {0, 0, kSize, kSize}), 0);
  // A rectangle thinner than two frames is inverted whole, and erased whole.
  const RECT thin{30, 30, 80, 35};
  toolkit::DrawDraggingOutline(a_.DC(), &thin, nullptr, false, false, 4);
  EXPECT_EQ(Inverted(a_, {0, 0, kSize, kSize}), 50 * 5 / 2);
  toolkit::DrawDraggingOutline(a_.DC(), nullptr, &thin, false, false, 4);
  EXPECT_EQ(Inverted(a_, {0, 0, kSize, kSize}), 0);
}

// ----- resources

TEST_F(ToolWinFrame, DrawingTakesNoGdiObjectsAndGivesTheDCBack) {
  TFrameState floating;
  HWND f = windows_.Make(floating, {100, 100, 300, 220});
  TFrameState docked = Docked(kDockVertical, true, true, dhDouble);
  HWND d = windows_.Make(docked, {320, 100, 360, 300});
  hktest::PaintSurface p(300, 300);
  const int saved = SaveDC(p.DC());
  const auto drawAll = [&] {
    frametest::DrawFrame(f, p.DC(), floating);
    frametest::DrawFrame(d, p.DC(), docked);
    toolkit::PaintFloatingFrame(f, floating.floatingFrame, toolkit::kAllParts, nullptr);
    toolkit::PaintDockedFrame(d, docked.dockedFrame, nullptr);
    toolkit::DrawToolCaption(f, p.DC(), {0, 0, 40, 16}, false);
    const RECT r1{10, 10, 60, 50}, r2{12, 12, 80, 80};
    toolkit::DrawDraggingOutline(p.DC(), &r2, &r1, false, true, 4);
  };
  drawAll();  // what the system makes once and keeps (its caption fonts) is made now
  const long before = hktest::GdiObjectsInProcess();
  ASSERT_GT(before, 0);
  for (int i = 0; i < 50; ++i) drawAll();
  EXPECT_EQ(hktest::GdiObjectsInProcess(), before);
  // Nothing was left saved on the DC's stack.
  EXPECT_EQ(SaveDC(p.DC()), saved + 1);
}

}  // namespace
