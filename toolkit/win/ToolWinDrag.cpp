#include "ToolWinDrag.h"

#include "ToolDockGeometry.h"
#include "ToolWinFrame.h"
#include "ToolWinModal.h"

namespace toolkit {

namespace {

RECT ToRECT(const cl::TRect& r) noexcept { return {r.Left, r.Top, r.Right, r.Bottom}; }

cl::TRect WorkAreaAt(cl::TPoint p) {
  const RECT r = GetPointWorkArea({p.X, p.Y});
  return {r.left, r.top, r.right, r.bottom};
}

// Where the window would go for the cursor, shown as the outline and the cursor's shape.
class TDragTracker {
 public:
  TDragTracker(const TDragState& drag, const TRequestDock& requestDock, TDesktopDrawSession& session)
      : drag_(drag), requestDock_(requestDock), session_(session), remembered_(GetCursor()) {}
  // The no-entry cursor does not outlast the drag.
  ~TDragTracker() {
    if (noEntryShown_) SetCursor(remembered_);
  }
  TDragTracker(const TDragTracker&) = delete;
  TDragTracker& operator=(const TDragTracker&) = delete;

  // Places the outline for the cursor where it is now.
  void Update() {
    POINT cursor{};
    GetCursorPos(&cursor);
    place_ = PlaceDrag(drag_, {cursor.x, cursor.y}, WorkAreaAt, requestDock_);
    noEntryShown_ = place_.NoEntry;
    SetCursor(place_.NoEntry ? LoadCursorW(nullptr, IDC_NO) : remembered_);
    if (place_.Outline.IsEmpty()) {
      session_.ShowOutline(nullptr, false);
    } else {
      const RECT outline = ToRECT(place_.Outline);
      session_.ShowOutline(&outline, place_.Target >= 0);
    }
  }

  // Ctrl pressed or released: docks are taken or left alone from now on.
  void SetNoDock(bool noDock) {
    if (noDock == drag_.NoDock) return;
    drag_.NoDock = noDock;
    Update();
  }

  std::optional<TDragDrop> Drop() const {
    if (place_.Outline.IsEmpty()) return std::nullopt;
    const void* dock = place_.Target >= 0 ? drag_.Docks[static_cast<size_t>(place_.Target)].Dock : nullptr;
    return TDragDrop{dock, ToRECT(place_.Outline)};
  }

 private:
  TDragState drag_;
  const TRequestDock& requestDock_;
  TDesktopDrawSession& session_;
  HCURSOR remembered_;
  TDragTarget place_;
  bool noEntryShown_ = false;
};

std::optional<TDragDrop> DragLoop(HWND wnd, TDragTracker& tracker) {
  tracker.Update();
  MSG msg;
  while (GetCapture() == wnd) {
    if (!modal::NextMessage(msg)) return std::nullopt;
    switch (msg.message) {
      case WM_KEYDOWN:
      case WM_KEYUP:
        if (msg.wParam == VK_CONTROL) tracker.SetNoDock(msg.message == WM_KEYDOWN);
        if (msg.wParam == VK_ESCAPE) return std::nullopt;
        break;
      case WM_MOUSEMOVE: tracker.Update(); break;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK: return std::nullopt;
      case WM_LBUTTONUP: return tracker.Drop();
      default: modal::PassOn(msg);
    }
  }
  return std::nullopt;
}

}  // namespace

TFloatingFrameSize DragFloatingFrame(bool resizable, bool showCaption) {
  const SIZE side = FloatingFrameSize(resizable);
  return {side.cx, side.cy, showCaption ? GetSmallCaptionHeight() : 0};
}

std::optional<TDragDrop> RunDragLoop(HWND wnd, const TDragState& drag, const TRequestDock& requestDock) {
  // An outline standing for a floating place is as thick as the floating frame's side.
  TDesktopDrawSession session(wnd, drag.Frame.SideX, TCursorConfinement::None);
  TDragTracker tracker(drag, requestDock, session);
  return DragLoop(wnd, tracker);
}

}  // namespace toolkit
