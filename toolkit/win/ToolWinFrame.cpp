// The tool window frame's geometry, hit testing and deferred redraw requests.
#include "ToolWinFrame.h"

#include <array>

#include "ToolDockGeometry.h"

namespace toolkit {

namespace {

// Indexed by [closeButtonWhenDocked][style].
constexpr std::array<std::array<int, 3>, 2> kHandleSizes{{{9, 0, 6}, {14, 14, 14}}};
constexpr std::array<std::array<int, 3>, 2> kGripOffsets{{{2, 0, 1}, {3, 0, 5}}};

bool InRect(const RECT& r, POINT p) noexcept { return PtInRect(&r, p) != FALSE; }

}  // namespace

int DragHandleSize(bool closeButtonWhenDocked, TDragHandleStyle style) noexcept {
  return kHandleSizes[closeButtonWhenDocked ? 1 : 0][static_cast<size_t>(style)];
}

int FirstGripOffset(bool closeButtonWhenDocked, TDragHandleStyle style) noexcept {
  return kGripOffsets[closeButtonWhenDocked ? 1 : 0][static_cast<size_t>(style)];
}

SIZE FloatingFrameSize(bool resizable) noexcept {
  if (resizable) return {GetSystemMetrics(SM_CXSIZEFRAME), GetSystemMetrics(SM_CYSIZEFRAME)};
  return {GetSystemMetrics(SM_CXFIXEDFRAME), GetSystemMetrics(SM_CYFIXEDFRAME)};
}

RECT TNonClientSize::Inner(const RECT& outer) const noexcept {
  return {outer.left + left, outer.top + top, outer.right - right, outer.bottom - bottom};
}

RECT TNonClientSize::Outer(const RECT& inner) const noexcept {
  return {inner.left - left, inner.top - top, inner.right + right, inner.bottom + bottom};
}

int TDockedFrameOptions::HandleSize() const noexcept {
  return allowDrag ? DragHandleSize(closeButtonWhenDocked, dragHandleStyle) : 0;
}

TNonClientSize DockedNonClientSize(const TDockedFrameOptions& options) noexcept {
  TNonClientSize size{2, 2, 2, 2};
  if (options.orientation == kDockVertical)
    size.top += options.HandleSize();
  else
    size.left += options.HandleSize();
  return size;
}

TNonClientSize FloatingNonClientSize(bool resizable, bool showCaption) noexcept {
  const SIZE frame = FloatingFrameSize(resizable);
  const int caption = showCaption ? GetSmallCaptionHeight() : 0;
  return {frame.cx, frame.cy + caption, frame.cx, frame.cy};
}

RECT CaptionRect(bool resizable, int clientWidth, bool withoutCloseButton) noexcept {
  const SIZE frame = FloatingFrameSize(resizable);
  const int height = GetSmallCaptionHeight();
  RECT r{frame.cx, frame.cy, frame.cx + clientWidth, frame.cy + height - 1};
  if (withoutCloseButton) r.right -= height - 1;
  return r;
}

RECT FloatingCloseButtonRect(bool resizable, int clientWidth) noexcept {
  RECT r = CaptionRect(resizable, clientWidth, false);
  r.left = r.right - GetSmallCaptionHeight() + 1;
  return r;
}

RECT DockedCloseButtonRect(int orientation, int clientWidth) noexcept {
  const int side = DragHandleSize(true, dhDouble) - 3;
  if (orientation == kDockVertical) {
    const int left = clientWidth + 2 - side;
    return {left, 3, left + side, 3 + side};
  }
  return {3, 2, 3 + side, 2 + side};
}

// ----- deferred redraws

unsigned TakeQueuedRedraws(HWND wnd, UINT message) {
  unsigned parts = 0;
  MSG msg;
  while (PeekMessageW(&msg, wnd, message, message, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    parts |= static_cast<unsigned>(msg.lParam);
  }
  return parts;
}

void RequestDockedRedraw(HWND wnd) {
  TakeQueuedRedraws(wnd, kRedrawDockedFrame);
  if (IsWindow(wnd) && IsWindowVisible(wnd)) PostMessageW(wnd, kRedrawDockedFrame, 0, 0);
}

void RequestFloatingRedraw(HWND wnd, unsigned parts) {
  parts |= TakeQueuedRedraws(wnd, kRedrawFloatingParts);
  if (IsWindow(wnd) && IsWindowVisible(wnd)) PostMessageW(wnd, kRedrawFloatingParts, 0, static_cast<LPARAM>(parts));
}

// ----- hit testing

LRESULT DockedHitTest(LRESULT inherited, POINT p, const TDockedFrameOptions& options, int clientWidth) noexcept {
  if (inherited != HTNOWHERE) return inherited;
  if (options.closeButtonWhenDocked && options.allowDrag &&
      InRect(DockedCloseButtonRect(options.orientation, clientWidth), p))
    return HTCLOSE;
  return HTCLIENT;
}

namespace {

// The sizing edge or corner under p, HTNOWHERE when none.
LRESULT SizingHit(POINT p, SIZE frame, SIZE window) noexcept {
  const int corner = GetSmallCaptionHeight() - 1 + frame.cx;
  const int w = window.cx, h = window.cy;
  if (p.x >= 0 && p.x < frame.cx) return p.y < corner ? HTTOPLEFT : p.y >= h - corner ? HTBOTTOMLEFT : HTLEFT;
  if (p.x >= w - frame.cx - 1 && p.x < w)
    return p.y < corner ? HTTOPRIGHT : p.y >= h - corner ? HTBOTTOMRIGHT : HTRIGHT;
  if (p.y >= 0 && p.y < frame.cy) return p.x < corner ? HTTOPLEFT : p.x >= w - corner ? HTTOPRIGHT : HTTOP;
  if (p.y >= h - frame.cy - 1 && p.y < h)
    return p.x < corner ? HTBOTTOMLEFT : p.x >= w - corner ? HTBOTTOMRIGHT : HTBOTTOM;
  return HTNOWHERE;
}

}  // namespace

LRESULT FloatingHitTest(LRESULT inherited, POINT p, const TFloatingFrameOptions& options, SIZE windowSize,
                        int clientWidth) noexcept {
  if (inherited == HTCLIENT) return inherited;
  if (options.showCaption && InRect(CaptionRect(options.resizable, clientWidth, false), p)) {
    if (options.closeButton && InRect(FloatingCloseButtonRect(options.resizable, clientWidth), p)) return HTCLOSE;
    return HTCLIENT;
  }
  LRESULT result = inherited >= HTLEFT && inherited <= HTBOTTOMRIGHT ? HTNOWHERE : inherited;
  if (options.resizable)
    if (const LRESULT edge = SizingHit(p, FloatingFrameSize(true), windowSize); edge != HTNOWHERE) result = edge;
  return result;
}

}  // namespace toolkit
