#include "ToolWin.h"

#include <algorithm>

#include "SysUtils.h"

namespace toolkit {

namespace {

// The non-client size of a window with this style (caption, frame).
SIZE FrameSize(DWORD style, DWORD exStyle) {
  RECT r{0, 0, 0, 0};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  return {r.right - r.left, r.bottom - r.top};
}

RECT WorkAreaOf(const RECT& r) {
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  if (HMONITOR m = MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST); m && GetMonitorInfoW(m, &mi)) return mi.rcWork;
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

bool IsInside(HWND outer, HWND wnd) { return wnd && (wnd == outer || IsChild(outer, wnd)); }

}  // namespace

CL_BEGIN_CLASS(TToolWin)
    .Bool("ActivateParent", &TToolWin::ActivateParent, &TToolWin::SetActivateParent, true)
    .Str("Caption", &TToolWin::Caption, &TToolWin::SetCaption)
    .Bool("CloseButton", &TToolWin::CloseButton, &TToolWin::SetCloseButton, true)
    // The window's size follows from its client area, which is what the description carries.
    .Int("Width", &TToolWin::Width, &TToolWin::SetWidth).Stored(false)
    .Int("Height", &TToolWin::Height, &TToolWin::SetHeight).Stored(false)
    .Int("ClientAreaHeight", &TToolWin::ClientAreaHeight, &TToolWin::SetClientAreaHeight)
    .Int("ClientAreaWidth", &TToolWin::ClientAreaWidth, &TToolWin::SetClientAreaWidth)
    .Bool("HideWhenInactive", &TToolWin::HideWhenInactive, &TToolWin::SetHideWhenInactive, true)
    .Int("MinClientHeight", &TToolWin::MinClientHeight, &TToolWin::SetMinClientHeight, 32)
    .Int("MinClientWidth", &TToolWin::MinClientWidth, &TToolWin::SetMinClientWidth, 32)
    .Bool("Resizable", &TToolWin::Resizable, &TToolWin::SetResizable, true)
    .Bool("ShowCaption", &TToolWin::ShowCaption, &TToolWin::SetShowCaption, true)
    .Event("OnClose", &TToolWin::OnClose)
    .Event("OnCloseQuery", &TToolWin::OnCloseQuery)
    .Event("OnMove", &TToolWin::OnMove)
    .Event("OnVisibleChanged", &TToolWin::OnVisibleChanged)
CL_END_CLASS

TToolWin::TToolWin(cl::TComponent* owner) : TWinControl(owner) {
  SetControlStyle(ControlStyle().Include(cl::csAcceptsControls).Exclude(cl::csCaptureMouse));
  SetBounds(Left(), Top(), 32, 32);
}

TToolWin::~TToolWin() { formHook_.Remove(); }

cl::TCustomForm* TToolWin::Form() const { return dynamic_cast<cl::TCustomForm*>(Parent()); }

void TToolWin::SetParent(cl::TWinControl* parent) {
  if (parent == Parent()) return;
  if (parent && !dynamic_cast<cl::TCustomForm*>(parent))
    throw cl::EInvalidOperation("A tool window can only be placed on a TToolDock or directly on the form");
  // The window is owned by its form's window: a new form needs a new window.
  DestroyHandle();
  placed_ = false;
  inherited::SetParent(parent);
}

void TToolWin::Recreate() {
  if (HandleAllocated()) RecreateWnd();
}

void TToolWin::SetCloseButton(bool value) {
  if (value == closeButton_) return;
  closeButton_ = value;
  Recreate();
}

void TToolWin::SetResizable(bool value) {
  if (value == resizable_) return;
  resizable_ = value;
  Recreate();
}

void TToolWin::SetShowCaption(bool value) {
  if (value == showCaption_) return;
  showCaption_ = value;
  Recreate();
}

void TToolWin::SetHideWhenInactive(bool value) {
  if (value == hideWhenInactive_) return;
  hideWhenInactive_ = value;
  UpdateVisibility();
}

// ----- the window

void TToolWin::CreateParams(cl::TCreateParams& params) {
  inherited::CreateParams(params);
  // A popup owned by the form: it floats in front of the form and hides when the form is minimised.
  // Shown only through ApplyVisibility.
  params.Style = WS_POPUP | WS_CLIPCHILDREN;
  params.Style |= showCaption_ ? WS_CAPTION : WS_BORDER;
  if (showCaption_ && closeButton_) params.Style |= WS_SYSMENU;
  if (resizable_) params.Style |= WS_THICKFRAME;
  if (!Enabled()) params.Style |= WS_DISABLED;
  params.ExStyle = WS_EX_TOOLWINDOW;
  cl::TCustomForm* form = Form();
  params.WndParent = form && form->HandleAllocated() ? form->Handle() : nullptr;
}

void TToolWin::CreateHandleDone() {
  inherited::CreateHandleDone();
  if (cl::TCustomForm* form = Form(); form && form->HandleAllocated())
    formHook_.Install(form->Handle(), [this](HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
      return FormMessage(w, msg, wParam, lParam);
    });
  UpdateVisibility();
}

void TToolWin::DestroyWnd() {
  formHook_.Remove();
  lastFocus_ = nullptr;
  inherited::DestroyWnd();
}

// ----- visibility

bool TToolWin::Wanted(bool appActive) const {
  if (!Visible() || !HandleAllocated()) return false;
  cl::TCustomForm* form = Form();
  if (!form || !form->HandleAllocated()) return false;
  const HWND f = form->Handle();
  if (!IsWindowVisible(f) || IsIconic(f)) return false;
  return appActive || !hideWhenInactive_;
}

bool TToolWin::ShouldBeVisible() const { return Wanted(GetActiveWindow() != nullptr); }

void TToolWin::UpdateVisibility() { ApplyVisibility(ShouldBeVisible()); }

void TToolWin::ApplyVisibility(bool show) {
  if (!HandleAllocated()) return;
  const HWND wnd = Handle();
  if ((IsWindowVisible(wnd) != FALSE) == show) return;
  if (show && !placed_) PlaceOnFirstShow();
  const bool wasActive = GetActiveWindow() == wnd;
  SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  // A hidden window hands the activation back to its form.
  if (!show && wasActive)
    if (cl::TCustomForm* form = Form(); form && form->HandleAllocated() && IsWindowVisible(form->Handle()) &&
                                        IsWindowEnabled(form->Handle()))
      SetActiveWindow(form->Handle());
}

void TToolWin::PlaceOnFirstShow() {
  placed_ = true;
  cl::TCustomForm* form = Form();
  if (!form) return;
  const cl::TPoint origin = form->ClientOrigin();
  SetBounds(origin.X + Left(), origin.Y + Top(), Width(), Height());
  MoveOnScreen();
}

void TToolWin::MoveOnScreen() {
  RECT r{Left(), Top(), Left() + Width(), Top() + Height()};
  const RECT work = WorkAreaOf(r);
  // Right and bottom first, so that a window larger than the work area keeps its top-left corner on it.
  if (r.right > work.right) OffsetRect(&r, work.right - r.right, 0);
  if (r.bottom > work.bottom) OffsetRect(&r, 0, work.bottom - r.bottom);
  if (r.left < work.left) OffsetRect(&r, work.left - r.left, 0);
  if (r.top < work.top) OffsetRect(&r, 0, work.top - r.top);
  SetBounds(r.left, r.top, Width(), Height());
}

void TToolWin::CloseClicked() {
  bool canClose = true;
  OnCloseQuery(this, canClose);
  if (!canClose) return;
  SetVisible(false);
  OnClose(this);
}

// ----- messages

LRESULT TToolWin::FormMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  cl::TCustomForm* form = Form();
  if (form && msg == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE)
    if (cl::TWinControl* active = form->ActiveControl(); active && ContainsControl(active)) {
      // The form takes the focus to its own controls, or it would hand the activation straight back to
      // this window; the focus in here comes back when this window is activated again.
      if (active->HandleAllocated()) lastFocus_ = active->Handle();
      form->SetActiveControl(nullptr);
    }
  const LRESULT result = cl::TWindowSubclass::CallPrevious(wnd, msg, wParam, lParam);
  // Shown, hidden, minimised or restored: this window follows.
  if (msg == WM_WINDOWPOSCHANGED || msg == WM_SIZE) UpdateVisibility();
  return result;
}

void TToolWin::Dispatch(cl::TMessage& m) {
  switch (m.Msg) {
    case kSkinnedQuery:
      // The window and its controls belong to its form's skin: answering "skinned" keeps the skin
      // manager from taking it for a window of its own.
      m.Result = 1;
      return;
    case cl::CM_SHOWINGCHANGED:
      UpdateVisibility();
      return;
    case cl::CM_VISIBLECHANGED:
      inherited::Dispatch(m);
      OnVisibleChanged(this);
      return;
    case WM_ACTIVATEAPP:
      // Sent to every top-level window of the thread, hidden ones too; the active window may not have
      // changed yet, so the message says which way it goes.
      ApplyVisibility(Wanted(m.WParam != 0));
      break;
    case WM_ACTIVATE: {
      cl::TCustomForm* form = Form();
      const HWND formWnd = form && form->HandleAllocated() ? form->Handle() : nullptr;
      const HWND wnd = Handle();
      if (LOWORD(m.WParam) == WA_INACTIVE) {
        if (HWND focus = GetFocus(); focus && IsChild(wnd, focus)) lastFocus_ = focus;
        // The form's caption looked active together with this window.
        if (formWnd && reinterpret_cast<HWND>(m.LParam) != formWnd) SendMessageW(formWnd, WM_NCACTIVATE, FALSE, 0);
      } else {
        if (formWnd) SendMessageW(formWnd, WM_NCACTIVATE, TRUE, 0);
        if (!IsWindowVisible(wnd)) {
          if (formWnd && IsWindowVisible(formWnd)) SetActiveWindow(formWnd);
        } else if (lastFocus_ && IsChild(wnd, lastFocus_) && IsWindowVisible(lastFocus_) &&
                   IsWindowEnabled(lastFocus_)) {
          ::SetFocus(lastFocus_);
        } else if (!IsInside(wnd, GetFocus()) || GetFocus() == wnd) {
          SelectNext(nullptr, true, true);
        }
      }
      m.Result = 0;
      return;
    }
    case WM_SYSCOMMAND:
      // The close button reports the cursor position; Alt+F4 comes without one and closes the form.
      if ((m.WParam & 0xFFF0) == SC_CLOSE && m.LParam != 0) {
        CloseClicked();
        m.Result = 0;
        return;
      }
      break;
    case WM_CLOSE:
      if (cl::TCustomForm* form = Form(); form && form->HandleAllocated()) SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
      m.Result = 0;
      return;
    case WM_GETMINMAXINFO: {
      inherited::Dispatch(m);
      auto* info = reinterpret_cast<MINMAXINFO*>(m.LParam);
      const HWND wnd = Handle();
      const SIZE frame = FrameSize(static_cast<DWORD>(GetWindowLongPtrW(wnd, GWL_STYLE)),
                                   static_cast<DWORD>(GetWindowLongPtrW(wnd, GWL_EXSTYLE)));
      info->ptMinTrackSize.x = std::max(0, minClientWidth_) + frame.cx;
      info->ptMinTrackSize.y = std::max(0, minClientHeight_) + frame.cy;
      m.Result = 0;
      return;
    }
    case WM_MOVE:
      inherited::Dispatch(m);
      if (!ComponentState().Contains(cl::csLoading)) OnMove(this);
      return;
  }
  inherited::Dispatch(m);
}

}  // namespace toolkit
