#include "Controls.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

namespace cl {

// ---------------------------------------------------------------------------------------------------------
// Drag and drop.

void TControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
  accept = static_cast<bool>(OnDragOver);
  if (accept) OnDragOver(this, source, x, y, state, accept);
}

TControl* TControl::DragTargetAt(POINT screen) {
  HWND wnd = WindowFromPoint(screen);
  TWinControl* control = nullptr;
  // Inner windows of system controls (a list view's header) belong to the control around them.
  while (wnd && !(control = TWinControl::FindControl(wnd))) wnd = GetParent(wnd);
  if (!control || !control->Enabled()) return nullptr;
  POINT p = screen;
  ::ScreenToClient(control->handle_, &p);
  if (TControl* child = control->GraphicControlAt(p.x, p.y)) return child;
  return control;
}

namespace {

// Forgets the drag target when it is freed during the drag (by one of the drag's own handlers).
class TDragTargetWatch : public TComponent {
 public:
  TDragTargetWatch() : TComponent(nullptr) {}
  ~TDragTargetWatch() override { Watch(nullptr); }
  TControl* Target() const noexcept { return target_; }
  void Watch(TControl* target) {
    if (target == target_) return;
    if (target_) target_->RemoveFreeNotification(this);
    target_ = target;
    if (target_) target_->FreeNotification(this);
  }

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == target_) target_ = nullptr;
  }

 private:
  TControl* target_ = nullptr;
};

}  // namespace

bool TControl::BeginDrag(bool immediate, int threshold) {
  POINT start{};
  GetCursorPos(&start);
  return DragLoop(immediate, threshold, start);
}

bool TControl::DragLoop(bool immediate, int threshold, POINT start) {
  if (dragging_) return false;
  auto* windowed = dynamic_cast<TWinControl*>(this);
  if (!windowed) windowed = Parent();
  if (!windowed || !windowed->HandleAllocated()) return false;
  const HWND wnd = windowed->Handle();
  if (threshold < 0) threshold = std::max(GetSystemMetrics(SM_CXDRAG), GetSystemMetrics(SM_CYDRAG));

  struct Session {
    TControl* self;
    HWND wnd;
    HCURSOR oldCursor;
    Session(TControl* c, HWND w) : self(c), wnd(w), oldCursor(GetCursor()) {
      self->dragging_ = true;
      SetCapture(wnd);
    }
    ~Session() {
      self->dragging_ = false;
      if (GetCapture() == wnd) ReleaseCapture();
      ::SetCursor(oldCursor);
    }
  } session(this, wnd);

  TDragTargetWatch watch;
  bool accepted = false;
  bool started = immediate;
  const HCURSOR dragCursor = CursorHandle(dragCursor_);
  const HCURSOR noDropCursor = LoadCursorW(nullptr, IDC_NO);

  // Tells the target under the mouse (and the one it left) where the drag is.
  auto moveTo = [&](POINT screen) {
    TControl* target = DragTargetAt(screen);
    if (TControl* old = watch.Target(); old && old != target) {
      bool ignored = false;
      const TPoint p = old->ScreenToClient(TPoint{screen.x, screen.y});
      old->DragOver(this, p.X, p.Y, dsDragLeave, ignored);
      watch.Watch(nullptr);
    }
    accepted = false;
    if (target) {
      const TDragState state = watch.Target() == target ? dsDragMove : dsDragEnter;
      watch.Watch(target);
      const TPoint p = target->ScreenToClient(TPoint{screen.x, screen.y});
      target->DragOver(this, p.X, p.Y, state, accepted);
      if (!watch.Target()) accepted = false;
    }
    ::SetCursor(accepted ? dragCursor : noDropCursor);
  };
  auto leave = [&] {
    if (TControl* old = watch.Target()) {
      bool ignored = false;
      old->DragOver(this, 0, 0, dsDragLeave, ignored);
      watch.Watch(nullptr);
    }
  };
  auto screenPoint = [](const MSG& msg) {
    POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    ::ClientToScreen(msg.hwnd, &p);
    return p;
  };

  if (started) moveTo(start);
  MSG msg{};
  for (;;) {
    if (GetCapture() != wnd) break;  // taken away: cancelled
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));  // the loop outside must see it
      break;
    }
    switch (msg.message) {
      case WM_MOUSEMOVE: {
        const POINT p = screenPoint(msg);
        if (!started) {
          if (std::abs(p.x - start.x) < threshold && std::abs(p.y - start.y) < threshold) continue;
          started = true;
        }
        moveTo(p);
        continue;
      }
      case WM_LBUTTONUP: {
        if (!started) {
          // Not a drag after all: the control gets its button release as usual.
          ReleaseCapture();
          DispatchMessageW(&msg);
          return false;
        }
        moveTo(screenPoint(msg));
        TControl* target = watch.Target();
        const bool drop = target && accepted;
        const POINT screen = screenPoint(msg);
        const TPoint p = target ? target->ScreenToClient(TPoint{screen.x, screen.y}) : TPoint{};
        leave();
        ReleaseCapture();
        if (drop) target->DragDrop(this, p.X, p.Y);
        return drop;
      }
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        if (msg.wParam == VK_ESCAPE) {
          leave();
          return false;
        }
        continue;
      case WM_RBUTTONDOWN:
        leave();
        return false;
      case WM_KEYUP:
      case WM_SYSKEYUP:
      case WM_CHAR:
      case WM_SYSCHAR:
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
      case WM_RBUTTONUP:
        continue;  // the drag has the keyboard and mouse
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  leave();
  return false;
}

}  // namespace cl
