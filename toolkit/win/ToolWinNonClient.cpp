// The tool window's own non-client area: its size, its painting and printing, hit testing, the close
// button's tracking and the sizing loop, all drawn and computed by the frame module from the window's
// place and properties.
#include "ToolDock.h"

#include <algorithm>

#include "ToolDockGeometry.h"

namespace toolkit::dock {

TDockedFrame TCustomToolWin::DockedLook() const {
  TDockedFrame look;
  look.options.orientation = DockOrientationOf(dockedTo_);
  look.options.allowDrag = dockedTo_ && dockedTo_->AllowDrag();
  look.options.closeButtonWhenDocked = closeButtonWhenDocked_;
  look.options.dragHandleStyle = dragHandleStyle_;
  look.borderStyle = borderStyle_;
  look.color = cl::ColorToRGB(Color());
  look.closePressed = closePressed_;
  TToolDock* dock = BackgroundDock();
  if (dock && HandleAllocated()) {
    // The window exists: asking for its handle makes nothing.
    look.background = [dock, wnd = const_cast<TCustomToolWin*>(this)->Handle()](HDC dc) {
      RECT window;
      GetWindowRect(wnd, &window);
      const RECT r{0, 0, window.right - window.left, window.bottom - window.top};
      dock->DrawBackground(dc, r, dock->TileRectFor(wnd, r, true), nullptr);
    };
  }
  return look;
}

TToolDock* TCustomToolWin::BackgroundDock() const {
  return isDocked_ && dockedTo_ && dockedTo_->HasBackground() && dockedTo_->BackgroundOnToolbars() ? dockedTo_
                                                                                                     : nullptr;
}

HPALETTE TCustomToolWin::GetPalette() {
  return isDocked_ && dockedTo_ && dockedTo_->HasBackground() ? dockedTo_->GetPalette() : nullptr;
}

bool TCustomToolWin::PaletteChanged(bool foreground) {
  const bool changed = inherited::PaletteChanged(foreground);
  if (changed && !foreground) {
    InvalidateFrame(kFramePart);
    Invalidate();
  }
  return changed;
}

void TCustomToolWin::Paint() {
  inherited::Paint();
  TToolDock* dock = BackgroundDock();
  if (!dock) return;
  const cl::TRect client = ClientRect();
  const RECT r{client.Left, client.Top, client.Right, client.Bottom};
  dock->DrawBackground(Canvas()->Handle(), r, dock->TileRectFor(Handle(), r, false), nullptr);
}

TFloatingFrame TCustomToolWin::FloatingLook() const {
  TFloatingFrame look;
  look.options = TFloatingFrameOptions{resizable_, showCaption_, closeButton_, captionInactive_};
  look.closePressed = closePressed_;
  return look;
}

TNonClientSize TCustomToolWin::NonClientSize() const {
  return isDocked_ ? DockedNonClientSize(DockedLook().options) : FloatingNonClientSize(resizable_, showCaption_);
}

SIZE TCustomToolWin::FrameSize() const {
  if (frameSize_.cx >= 0) return frameSize_;
  const TNonClientSize size = NonClientSize();
  return SIZE{size.FrameWidth(), size.FrameHeight()};
}

cl::TRect TCustomToolWin::ClientRect() const {
  if (HandleAllocated() || ComponentState().Contains(cl::csDesigning)) return inherited::ClientRect();
  const SIZE frame = FrameSize();
  return cl::Rect(0, 0, std::max(0, Width() - static_cast<int>(frame.cx)), std::max(0, Height() - static_cast<int>(frame.cy)));
}

void TCustomToolWin::InvalidateFrame(unsigned parts) {
  if (!HandleAllocated()) return;
  if (isDocked_) {
    RequestDockedRedraw(Handle());
  } else {
    RequestFloatingRedraw(Handle(), parts);
  }
}

void TCustomToolWin::PaintFrame(HRGN updateRegion, unsigned parts) {
  if (!HandleAllocated()) return;
  if (isDocked_) {
    PaintDockedFrame(Handle(), DockedLook(), updateRegion);
  } else {
    PaintFloatingFrame(Handle(), FloatingLook(), parts, updateRegion);
  }
}

LRESULT TCustomToolWin::HitTest(LRESULT inherited, POINT screenPoint) const {
  auto* self = const_cast<TCustomToolWin*>(this);
  RECT window;
  GetWindowRect(self->Handle(), &window);
  const POINT p{screenPoint.x - window.left, screenPoint.y - window.top};
  if (isDocked_) return DockedHitTest(inherited, p, DockedLook().options, ClientWidth());
  const SIZE size{window.right - window.left, window.bottom - window.top};
  return FloatingHitTest(inherited, p, FloatingLook().options, size, ClientWidth());
}

void TCustomToolWin::TrackClose() {
  const auto inButton = [this](POINT p) {
    const RECT r = isDocked_ ? DockedCloseButtonRect(DockedLook().options.orientation, ClientWidth())
                             : FloatingCloseButtonRect(resizable_, ClientWidth());
    return PtInRect(&r, p) != FALSE;
  };
  const auto setPressed = [this](bool pressed) {
    closePressed_ = pressed;
    InvalidateFrame(kCloseButtonPart);
  };
  if (!TrackCloseButton(Handle(), inButton, setPressed)) return;
  bool canClose = true;
  OnCloseQuery(this, canClose);
  if (!canClose) return;
  SetVisible(false);
  OnClose(this);
}

void TCustomToolWin::RunSizing(int edge) {
  if (isDocked_) return;
  int minWidth = 0;
  int minHeight = 0;
  GetMinimumSize(minWidth, minHeight);
  const SIZE minimum{minWidth + Width() - ClientWidth(), minHeight + Height() - ClientHeight()};
  const std::optional<RECT> applied =
      RunSizeLoop(Handle(), edge, minimum, FloatingFrameSize(resizable_).cx, TSizeLoopHooks{});
  if (!applied) return;
  WithControlsLocked([&] {
    SetBounds(applied->left, applied->top, applied->right - applied->left, applied->bottom - applied->top);
  });
  MoveOnScreen(true);
}

bool TCustomToolWin::FrameMessage(cl::TMessage& m) {
  if (ComponentState().Contains(cl::csDesigning)) return false;
  switch (m.Msg) {
    case WM_NCCALCSIZE: {
      auto* rect = m.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam)->rgrc[0]
                            : reinterpret_cast<RECT*>(m.LParam);
      const TNonClientSize size = NonClientSize();
      *rect = size.Inner(*rect);
      frameSize_ = SIZE{size.FrameWidth(), size.FrameHeight()};
      m.Result = 0;
      return true;
    }
    case WM_NCPAINT:
      PaintFrame(reinterpret_cast<HRGN>(m.WParam), kAllParts);
      m.Result = 0;
      return true;
    case kRedrawDockedFrame:
      if (isDocked_) PaintFrame(nullptr, 0);
      return true;
    case kRedrawFloatingParts:
      if (!isDocked_) PaintFrame(nullptr, static_cast<unsigned>(m.LParam));
      return true;
    case WM_PRINT:
      PrintWindowToDC(Handle(), m, [this](HWND wnd, HDC dc) {
        if (isDocked_) {
          DrawDockedFrame(wnd, dc, DockedLook());
        } else {
          DrawFloatingFrame(wnd, dc, FloatingLook(), kAllParts);
        }
      });
      return true;
    case WM_PRINTCLIENT:
      PaintControlToDC(*this, m);
      return true;
    case WM_NCHITTEST: {
      inherited::Dispatch(m);
      const POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
      m.Result = HitTest(m.Result, p);
      return true;
    }
    case WM_NCLBUTTONDOWN:
      if (m.WParam >= HTLEFT && m.WParam <= HTBOTTOMRIGHT) {
        RunSizing(static_cast<int>(m.WParam) - HTLEFT);
      } else if (m.WParam == HTCLOSE) {
        TrackClose();
      } else {
        return false;
      }
      m.Result = 0;
      return true;
  }
  return false;
}

}  // namespace toolkit::dock
