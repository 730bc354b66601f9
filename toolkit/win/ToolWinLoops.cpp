// The tool window's modal loops (the close button's tracking, the sizing loop), the message routines that
// every modal loop shares, and the XOR outline that the sizing and drag loops draw on the desktop.
#include <array>

#include "DeviceContext.h"
#include "ToolDockGeometry.h"
#include "ToolWinFrame.h"
#include "ToolWinModal.h"

namespace toolkit {

namespace modal {

bool NextMessage(MSG& msg) {
  const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
  if (got == -1) return false;
  if (got == 0) {
    PostQuitMessage(static_cast<int>(msg.wParam));
    return false;
  }
  return true;
}

void PassOn(const MSG& msg) {
  if (msg.message >= WM_RBUTTONDOWN && msg.message <= WM_MBUTTONDBLCLK) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

}  // namespace modal

using modal::NextMessage;
using modal::PassOn;

namespace {

POINT CursorInWindow(HWND wnd) {
  POINT p{};
  GetCursorPos(&p);
  RECT r{};
  GetWindowRect(wnd, &r);
  return {p.x - r.left, p.y - r.top};
}

// The mouse captured by wnd while the scope lasts (unless another window took it meanwhile).
class TCaptureHold {
 public:
  explicit TCaptureHold(HWND wnd) noexcept : wnd_(wnd) { SetCapture(wnd); }
  ~TCaptureHold() {
    if (GetCapture() == wnd_) ReleaseCapture();
  }
  TCaptureHold(const TCaptureHold&) = delete;
  TCaptureHold& operator=(const TCaptureHold&) = delete;

 private:
  HWND wnd_;
};

// Runs the close button's loop; true when released over the button. pressed follows the button.
bool CloseButtonLoop(HWND wnd, const std::function<bool(POINT)>& inButton, const std::function<void(bool)>& setPressed,
                     bool& pressed) {
  const TCaptureHold capture(wnd);
  MSG msg;
  while (GetCapture() == wnd) {
    if (!NextMessage(msg)) return false;
    switch (msg.message) {
      case WM_KEYDOWN:
      case WM_KEYUP: break;
      case WM_MOUSEMOVE:
        if (const bool over = inButton(CursorInWindow(wnd)); over != pressed) {
          pressed = over;
          setPressed(over);
        }
        break;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK: return false;
      case WM_LBUTTONUP: return pressed;
      default: PassOn(msg);
    }
  }
  return false;
}

}  // namespace

bool TrackCloseButton(HWND wnd, const std::function<bool(POINT)>& inButton,
                      const std::function<void(bool pressed)>& setPressed) {
  bool pressed = true;
  setPressed(true);
  bool close = false;
  try {
    close = CloseButtonLoop(wnd, inButton, setPressed, pressed);
  } catch (...) {
    if (pressed) {
      try {
        setPressed(false);
      } catch (...) {
      }
    }
    throw;
  }
  if (pressed) setPressed(false);
  return close;
}

// ----- the XOR outline

namespace {

// A 50 % checkerboard.
cl::TBrushHandle HalftoneBrush() {
  static constexpr std::array<WORD, 8> kRows{0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
  const cl::TBitmapHandle pattern(CreateBitmap(8, 8, 1, 1, kRows.data()));
  return cl::TBrushHandle(CreatePatternBrush(pattern.Get()));
}

// The ring of r that is thickness pixels wide: the whole rectangle when it is thinner than twice that.
void AddFrame(HRGN update, const RECT& r, int thickness) {
  const cl::TRegionHandle frame(CreateRectRgnIndirect(&r));
  RECT inner = r;
  InflateRect(&inner, -thickness, -thickness);
  if (inner.right > inner.left && inner.bottom > inner.top) {
    const cl::TRegionHandle hole(CreateRectRgnIndirect(&inner));
    CombineRgn(frame.Get(), frame.Get(), hole.Get(), RGN_DIFF);
  }
  CombineRgn(update, update, frame.Get(), RGN_XOR);
}

}  // namespace

void DrawDraggingOutline(HDC dc, const RECT* newRect, const RECT* oldRect, bool newDocking, bool oldDocking,
                         int floatingThickness) {
  if (!dc || (!newRect && !oldRect)) return;
  // Pixels in both frames are left as they are: one inversion erases the old frame and draws the new.
  const cl::TRegionHandle update(CreateRectRgn(0, 0, 0, 0));
  if (newRect) AddFrame(update.Get(), *newRect, newDocking ? 1 : floatingThickness);
  if (oldRect) AddFrame(update.Get(), *oldRect, oldDocking ? 1 : floatingThickness);
  const cl::TBrushHandle brush = HalftoneBrush();
  const cl::TSavedDC saved(dc);
  SelectClipRgn(dc, update.Get());
  RECT box{};
  if (const int kind = GetClipBox(dc, &box); kind == NULLREGION || kind == ERROR) return;
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, RGB(255, 255, 255));
  const cl::TSelectedObject selected(dc, brush.Get());
  PatBlt(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, PATINVERT);
}

// ----- the desktop session

TDesktopDrawSession::TDesktopDrawSession(HWND wnd, int floatingThickness, TCursorConfinement confinement)
    : wnd_(wnd), thickness_(floatingThickness) {
  // A paint still pending would wipe the outline drawn over it.
  FlushPaintMessages();
  HWND desktop = GetDesktopWindow();
  locked_ = LockWindowUpdate(desktop) != FALSE;
  dc_ = GetDCEx(desktop, nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
  SetCapture(wnd);
  if (confinement == TCursorConfinement::WorkArea && !MultipleMonitorsPresent()) {
    const RECT work = GetPrimaryWorkArea();
    clipped_ = ClipCursor(&work) != FALSE;
  }
}

TDesktopDrawSession::~TDesktopDrawSession() {
  if (GetCapture() == wnd_) ReleaseCapture();
  if (clipped_) ClipCursor(nullptr);
  if (shown_) DrawDraggingOutline(dc_, nullptr, &*shown_, false, shownDocking_, thickness_);
  if (dc_) ReleaseDC(GetDesktopWindow(), dc_);
  if (locked_) LockWindowUpdate(nullptr);
}

void TDesktopDrawSession::ShowOutline(const RECT* rect, bool docking) {
  DrawDraggingOutline(dc_, rect, shown_ ? &*shown_ : nullptr, docking, shownDocking_, thickness_);
  shown_.reset();
  if (rect) shown_ = *rect;
  shownDocking_ = docking;
}

// ----- the sizing loop

namespace {

struct TSizeEdges {
  bool sizeX, fromLeft, sizeY, fromTop;
};

TSizeEdges EdgesOf(int edge) {
  return {edge != 2 && edge != 5, edge == 0 || edge == 3 || edge == 6, edge >= 2 && edge <= 7, edge >= 2 && edge <= 4};
}

// The rectangle for the cursor moved by (dx, dy) from where the sizing began, never below minimum.
RECT SizedRect(const RECT& orig, TSizeEdges e, int dx, int dy, SIZE minimum) {
  RECT r = orig;
  if (e.sizeX) (e.fromLeft ? r.left : r.right) += dx;
  if (e.sizeY) (e.fromTop ? r.top : r.bottom) += dy;
  if (r.right - r.left < minimum.cx) {
    if (e.fromLeft)
      r.left = r.right - minimum.cx;
    else
      r.right = r.left + minimum.cx;
  }
  if (r.bottom - r.top < minimum.cy) {
    if (e.fromTop)
      r.top = r.bottom - minimum.cy;
    else
      r.bottom = r.top + minimum.cy;
  }
  return r;
}

std::optional<RECT> SizeLoop(TDesktopDrawSession& session, HWND wnd, int edge, SIZE minimum,
                             const TSizeLoopHooks& hooks) {
  const TSizeEdges edges = EdgesOf(edge);
  RECT orig{};
  GetWindowRect(wnd, &orig);
  RECT now = orig;
  session.ShowOutline(&now, false);
  POINT start{};
  GetCursorPos(&start);
  POINT last = start;
  MSG msg;
  while (GetCapture() == wnd) {
    if (!NextMessage(msg)) return std::nullopt;
    switch (msg.message) {
      case WM_KEYDOWN:
      case WM_KEYUP:
        if (msg.wParam == VK_ESCAPE) return std::nullopt;
        break;
      case WM_MOUSEMOVE: {
        POINT p{};
        GetCursorPos(&p);
        if (p.x == last.x && p.y == last.y) break;
        last = p;
        RECT next = SizedRect(orig, edges, p.x - start.x, p.y - start.y, minimum);
        if (hooks.track) hooks.track(next, orig);
        session.ShowOutline(&next, false);
        now = next;
        break;
      }
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK: return std::nullopt;
      case WM_LBUTTONUP: return now;
      default: PassOn(msg);
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<RECT> RunSizeLoop(HWND wnd, int edge, SIZE minimum, int frameThickness, const TSizeLoopHooks& hooks) {
  if (hooks.begin) hooks.begin(edge);
  std::optional<RECT> applied;
  try {
    TDesktopDrawSession session(wnd, frameThickness, TCursorConfinement::WorkArea);
    applied = SizeLoop(session, wnd, edge, minimum, hooks);
  } catch (...) {
    if (hooks.end) {
      try {
        hooks.end(false);
      } catch (...) {
      }
    }
    throw;
  }
  if (hooks.end) hooks.end(applied.has_value());
  return applied;
}

}  // namespace toolkit
