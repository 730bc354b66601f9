// A bare popup window whose non-client area is the tool window frame module's: sizes, painting, hit
// testing, the close button's tracking and the sizing loop. It records what the loops reported.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <vector>

#include "DeviceContext.h"
#include "Graphics.h"
#include "PaintSurface.h"
#include "ToolDockCommon.h"
#include "ToolWinFrame.h"

namespace frametest {

inline constexpr wchar_t kClass[] = L"ToolWinFrameTest";
inline constexpr COLORREF kClientColor = RGB(255, 255, 255);

struct TFrameState {
  TFrameState() = default;
  TFrameState(TFrameState&&) = default;
  TFrameState(const TFrameState&) = delete;
  // Its windows may outlive it (the test's window list goes later): they stop asking it.
  ~TFrameState() {
    for (HWND w : windows)
      if (IsWindow(w)) SetWindowLongPtrW(w, GWLP_USERDATA, 0);
  }

  std::vector<HWND> windows;  // those that ask this state
  bool docked = false;
  toolkit::TDockedFrame dockedFrame;
  toolkit::TFloatingFrame floatingFrame;
  SIZE minimum{80, 60};
  toolkit::TSizeLoopHooks hooks;
  // What happened.
  std::vector<bool> pressedStates;
  std::optional<bool> closed;
  std::optional<RECT> applied;
  std::vector<LPARAM> floatingRedraws;
  int dockedRedraws = 0;

  toolkit::TNonClientSize NonClient() const {
    return docked ? toolkit::DockedNonClientSize(dockedFrame.options)
                  : toolkit::FloatingNonClientSize(floatingFrame.options.resizable, floatingFrame.options.showCaption);
  }
};

inline int ClientWidth(HWND wnd) {
  RECT r{};
  GetClientRect(wnd, &r);
  return r.right;
}

inline SIZE WindowSize(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  return {r.right - r.left, r.bottom - r.top};
}

// The pixels of r in dc, row by row.
inline std::vector<COLORREF> Pixels(HDC dc, const RECT& r) {
  std::vector<COLORREF> out;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) out.push_back(GetPixel(dc, x, y));
  return out;
}

// The close button as the system draws it into r.
inline std::vector<COLORREF> SystemCloseButton(const RECT& r, bool pushed) {
  hktest::PaintSurface reference(r.right + 1, r.bottom + 1);
  RECT face = r;
  DrawFrameControl(reference.DC(), &face, DFC_CAPTION, DFCS_CAPTIONCLOSE | (pushed ? DFCS_PUSHED : 0));
  return Pixels(reference.DC(), r);
}

inline void DrawFrame(HWND wnd, HDC dc, const TFrameState& s) {
  if (s.docked)
    toolkit::DrawDockedFrame(wnd, dc, s.dockedFrame);
  else
    toolkit::DrawFloatingFrame(wnd, dc, s.floatingFrame, toolkit::kAllParts);
}

inline void PaintFrame(HWND wnd, const TFrameState& s, HRGN region) {
  if (s.docked)
    toolkit::PaintDockedFrame(wnd, s.dockedFrame, region);
  else
    toolkit::PaintFloatingFrame(wnd, s.floatingFrame, toolkit::kAllParts, region);
}

inline LRESULT HitTest(HWND wnd, const TFrameState& s, LPARAM lParam) {
  const LRESULT inherited = DefWindowProcW(wnd, WM_NCHITTEST, 0, lParam);
  RECT r{};
  GetWindowRect(wnd, &r);
  const POINT p{static_cast<short>(LOWORD(lParam)) - r.left, static_cast<short>(HIWORD(lParam)) - r.top};
  if (s.docked) return toolkit::DockedHitTest(inherited, p, s.dockedFrame.options, ClientWidth(wnd));
  return toolkit::FloatingHitTest(inherited, p, s.floatingFrame.options, WindowSize(wnd), ClientWidth(wnd));
}

inline void TrackClose(HWND wnd, TFrameState& s) {
  const auto inButton = [wnd, &s](POINT p) {
    const RECT r = s.docked ? toolkit::DockedCloseButtonRect(s.dockedFrame.options.orientation, ClientWidth(wnd))
                            : toolkit::FloatingCloseButtonRect(s.floatingFrame.options.resizable, ClientWidth(wnd));
    return PtInRect(&r, p) != FALSE;
  };
  const auto setPressed = [wnd, &s](bool pressed) {
    s.pressedStates.push_back(pressed);
    s.dockedFrame.closePressed = s.floatingFrame.closePressed = pressed;
    if (s.docked)
      toolkit::RequestDockedRedraw(wnd);
    else
      toolkit::RequestFloatingRedraw(wnd, toolkit::kCloseButtonPart);
  };
  s.closed = toolkit::TrackCloseButton(wnd, inButton, setPressed);
}

inline void RunSizing(HWND wnd, TFrameState& s, int edge) {
  const SIZE frame = toolkit::FloatingFrameSize(s.floatingFrame.options.resizable);
  s.applied = toolkit::RunSizeLoop(wnd, edge, s.minimum, frame.cx, s.hooks);
  if (s.applied) {
    const RECT& r = *s.applied;
    SetWindowPos(wnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

inline LRESULT CALLBACK FrameProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* state = static_cast<TFrameState*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    state->windows.push_back(wnd);
    SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  }
  auto* s = reinterpret_cast<TFrameState*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
  if (!s) return DefWindowProcW(wnd, msg, wParam, lParam);
  switch (msg) {
    case WM_NCCALCSIZE: {
      auto* r = reinterpret_cast<RECT*>(lParam);
      *r = s->NonClient().Inner(*r);
      return 0;
    }
    case WM_NCPAINT: PaintFrame(wnd, *s, reinterpret_cast<HRGN>(wParam)); return 0;
    case WM_NCACTIVATE: return TRUE;
    case toolkit::kRedrawDockedFrame:
      ++s->dockedRedraws;
      toolkit::PaintDockedFrame(wnd, s->dockedFrame, nullptr);
      return 0;
    case toolkit::kRedrawFloatingParts:
      s->floatingRedraws.push_back(lParam);
      toolkit::PaintFloatingFrame(wnd, s->floatingFrame, static_cast<unsigned>(lParam), nullptr);
      return 0;
    case WM_NCHITTEST: return HitTest(wnd, *s, lParam);
    case WM_NCLBUTTONDOWN:
      if (wParam >= HTLEFT && wParam <= HTBOTTOMRIGHT) {
        RunSizing(wnd, *s, static_cast<int>(wParam) - HTLEFT);
        return 0;
      }
      if (wParam == HTCLOSE) {
        TrackClose(wnd, *s);
        return 0;
      }
      break;
    case WM_PRINT: {
      cl::TMessage m{msg, wParam, lParam, 0};
      toolkit::PrintWindowToDC(wnd, m, [s](HWND w, HDC dc) { DrawFrame(w, dc, *s); });
      return m.Result;
    }
    case WM_ERASEBKGND: return 1;
    case WM_PRINTCLIENT:
    case WM_PAINT: {
      PAINTSTRUCT ps{};
      HDC dc = msg == WM_PAINT ? BeginPaint(wnd, &ps) : reinterpret_cast<HDC>(wParam);
      RECT r{};
      GetClientRect(wnd, &r);
      const cl::TBrushHandle white(CreateSolidBrush(kClientColor));
      FillRect(dc, &r, white.Get());
      if (msg == WM_PAINT) EndPaint(wnd, &ps);
      return 0;
    }
    default: break;
  }
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

// The window class for the test's lifetime, and the windows made with it.
class TFrameWindows {
 public:
  TFrameWindows() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    RegisterClassW(&wc);
  }
  ~TFrameWindows() {
    for (HWND w : windows_) DestroyWindow(w);
    UnregisterClassW(kClass, GetModuleHandleW(nullptr));
  }
  TFrameWindows(const TFrameWindows&) = delete;
  TFrameWindows& operator=(const TFrameWindows&) = delete;

  // A popup at the outer rectangle r, shown unless told otherwise.
  HWND Make(TFrameState& s, const RECT& r, const wchar_t* text = L"Calderine Editor", bool visible = true) {
    HWND wnd = CreateWindowExW(WS_EX_TOOLWINDOW, kClass, text, WS_POPUP | (visible ? WS_VISIBLE : 0), r.left, r.top,
                               r.right - r.left, r.bottom - r.top, nullptr, nullptr, GetModuleHandleW(nullptr), &s);
    windows_.push_back(wnd);
    if (visible) UpdateWindow(wnd);
    return wnd;
  }

 private:
  std::vector<HWND> windows_;
};

}  // namespace frametest
