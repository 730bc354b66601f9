// The floating tool window's own messages: its carrier form, the hook callback that keeps it in step with
// the program's activation and its form, showing and hiding, owner and z-order, and activation.
#include <algorithm>
#include <optional>
#include <vector>

#include "ToolDock.h"
#include "ToolDockGeometry.h"
#include "ToolDockPrivate.h"

namespace toolkit::dock {

namespace {

constexpr UINT kNoSizeMoveZOrder = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;

// While the hook reports an activation change, the state it changes to: the active window may not have
// changed yet when the message is sent.
std::optional<bool> activationChanging;

bool AppActive() { return activationChanging ? *activationChanging : IsAppActive(); }

HWND OwnerOf(HWND wnd) { return reinterpret_cast<HWND>(GetWindowLongPtrW(wnd, GWLP_HWNDPARENT)); }
void SetOwner(HWND wnd, HWND owner) { SetWindowLongPtrW(wnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner)); }
bool IsTopmost(HWND wnd) { return wnd && (GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
void SetTopmost(HWND wnd, bool want) {
  if (IsTopmost(wnd) != want)
    SetWindowPos(wnd, want ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
}
bool IsInside(HWND outer, HWND wnd) { return wnd && (wnd == outer || IsChild(outer, wnd)); }

bool OwnedBy(HWND wnd, HWND owner) {
  for (HWND o = OwnerOf(wnd); o; o = OwnerOf(o))
    if (o == owner) return true;
  return false;
}

// The first window above the form that the form does not own (directly or through others); null when
// none, which puts the tool window at the top.
HWND FindInsertAfter(HWND formWnd) {
  for (HWND w = GetWindow(formWnd, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV))
    if (!OwnedBy(w, formWnd)) return w;
  return nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// The carrier form.

TFloatingWindowParent::TFloatingWindowParent(cl::TComponent* owner) : TForm(owner, cl::TCreateNew{}) {}

void TFloatingWindowParent::CreateParams(cl::TCreateParams& params) {
  inherited::CreateParams(params);
  params.ExStyle |= WS_EX_TOOLWINDOW;  // no taskbar button
}

void TFloatingWindowParent::Dispatch(cl::TMessage& m) {
  switch (m.Msg) {
    case kSkinnedQuery:
      // An empty carrier: no skin is to take it for a window of its own.
      m.Result = 1;
      return;
    case cl::CM_VISIBLECHANGED:
      // Its window (and with it the tool window's) is made when the tool window is first to be seen, not
      // when the carrier is set up: a form with a floating tool window loads without making either.
      if (!HandleAllocated()) return;
      break;
    case cl::CM_SHOWINGCHANGED:
      // The carrier only follows its tool window's wish (ShouldShow); its own window stays hidden. It is
      // empty and has no size, and shown at the screen's corner under X it blanks what lies beneath
      // there (another program's title bar).
      if (HandleAllocated()) SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, kNoSizeMoveZOrder | SWP_HIDEWINDOW);
      return;
    case cl::CM_DIALOGKEY: {
      const cl::TShiftState shift = cl::KeyDataToShiftState(m.LParam);
      if (m.WParam == VK_ESCAPE && !shift.Contains(cl::ssShift) && !shift.Contains(cl::ssCtrl) &&
          !shift.Contains(cl::ssAlt) && parentForm_) {
        // Back to the form the tool window serves: it hands the focus to its own active control.
        if (parentForm_->CanFocus()) {
          SetActiveWindow(parentForm_->Handle());
          if (!IsInside(parentForm_->Handle(), GetFocus())) parentForm_->SetFocus();
        }
        m.Result = 1;
        return;
      }
      break;
    }
  }
  inherited::Dispatch(m);
}

void ToolWindowHookCallback(THookEvent event, HWND wnd, WPARAM wParam, LPARAM lParam) {
  if (event == heMouseMove) return;
  // A copy: a window may stop floating, or be freed, while the others are served.
  const std::vector<TCustomToolWin*> windows = FloatingList();
  for (TCustomToolWin* tw : windows) {
    if (std::find(FloatingList().begin(), FloatingList().end(), tw) == FloatingList().end()) continue;
    switch (event) {
      case heActivateApp: {
        activationChanging = wParam != 0;
        try {
          tw->UpdateVisibility();
        } catch (...) {
          activationChanging.reset();
          throw;
        }
        activationChanging.reset();
        break;
      }
      case heWindowPosChanged: {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (tw->floatingMode_ != fmOnTopOfParentForm || !pos ||
            !(pos->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED)))
          break;
        // The form's window, or a window it lies inside (an MDI child's frame), was shown, hidden or
        // minimised; the form's own controls are no matter.
        cl::TCustomForm* form = FindParentForm(tw);
        if (form && form->HandleAllocated() && IsInside(wnd, form->Handle())) tw->UpdateVisibility();
        break;
      }
      case hePreDestroyWindow:
        // The owner's end would take the tool window's window with it: the carrier owns it meanwhile.
        if (tw->HandleAllocated() && OwnerOf(tw->Handle()) == wnd && tw->Parent() && tw->Parent()->HandleAllocated())
          SetOwner(tw->Handle(), tw->Parent()->Handle());
        break;
      case heMouseMove:
        break;
    }
  }
}

// ---------------------------------------------------------------------------------------------------------
// Showing, z-order and activation.

bool TCustomToolWin::ShouldBeVisible() const {
  if (!Showing() || hideLock_ > 0) return false;
  if (isDocked_ || ComponentState().Contains(cl::csDesigning)) return true;
  if (hideWhenInactive_ && !AppActive()) return false;
  if (floatingMode_ != fmOnTopOfParentForm) return true;
  cl::TCustomForm* form = FindParentForm(this);
  cl::TCustomForm* frame = GetMDIParentOf(form);
  if (!form || !frame) return true;
  if (!form->HandleAllocated() || !frame->HandleAllocated()) return false;
  if (cl::Application && IsIconic(cl::Application->Handle())) return false;
  auto onScreen = [](cl::TCustomForm* f) { return IsWindowVisible(f->Handle()) && !IsIconic(f->Handle()); };
  return onScreen(form) && (frame == form || onScreen(frame));
}

void TCustomToolWin::UpdateVisibility() {
  SetCaptionInactive(!(isDocked_ || hideWhenInactive_ || AppActive()));
  const bool show = ShouldBeVisible();
  if (!HandleAllocated()) {
    // A floating window's window is made when it is first to be seen.
    if (!show || !Carrier()) return;
    HandleNeeded();
  }
  if ((IsWindowVisible(Handle()) != FALSE) != show) Perform(cl::CM_SHOWINGCHANGED);
}

void TCustomToolWin::ShowingChanged() {
  if (!HandleAllocated()) return;
  const bool show = ShouldBeVisible();
  const HWND wnd = Handle();
  if (TFloatingWindowParent* carrier = Carrier()) {
    if (show) {
      if (floatingMode_ == fmOnTopOfAllForms) {
        if (cl::Application) SetOwner(wnd, cl::Application->Handle());
      } else if (cl::TCustomForm* form = FindParentForm(this);
                 form && form->HandleAllocated() && OwnerOf(wnd) != form->Handle()) {
        // Topmost only as its new owner is: settled before the owner changes, as the system may not take a
        // topmost window out of the topmost band once it belongs to a window outside it.
        SetTopmost(wnd, IsTopmost(form->Handle()));
        SetOwner(wnd, form->Handle());
        SetWindowPos(wnd, FindInsertAfter(form->Handle()), 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
      }
      if (placePending_) PlaceOnFirstShow();
    }
    UpdateTopmost();
    carrier->SetShouldShow(show);
    carrier->Perform(cl::CM_SHOWINGCHANGED);
  }
  const bool wasActive = GetActiveWindow() == wnd;
  SetWindowPos(wnd, nullptr, 0, 0, 0, 0, kNoSizeMoveZOrder | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  if (!show && wasActive)
    if (HWND next = FindWindowToActivate(wnd)) SetActiveWindow(next);
}

void TCustomToolWin::PlaceOnFirstShow() {
  placePending_ = false;
  cl::TCustomForm* form = FindParentForm(this);
  if (!form || !form->HandleAllocated()) return;
  POINT p{Left(), Top()};
  ::ClientToScreen(form->Handle(), &p);
  SetBounds(p.x, p.y, Width(), Height());
  MoveOnScreen(false);
}

void TCustomToolWin::UpdateTopmost() {
  if (!HandleAllocated()) return;
  const HWND wnd = Handle();
  SetTopmost(wnd, floatingMode_ == fmOnTopOfAllForms ? IsWindowEnabled(wnd) != FALSE : IsTopmost(OwnerOf(wnd)));
}

void TCustomToolWin::ActivateMessage(cl::TMessage& m) {
  cl::TCustomForm* form = GetMDIParentOf(FindParentForm(this));
  const HWND formWnd = form && form->HandleAllocated() ? form->Handle() : nullptr;
  const bool activating = LOWORD(m.WParam) != WA_INACTIVE;
  // The form's caption looks active together with its tool window.
  if (formWnd) SendMessageW(formWnd, WM_NCACTIVATE, activating ? TRUE : FALSE, 0);
  if (activating) {
    const HWND wnd = Handle();
    if (!IsWindowVisible(wnd)) {
      if (HWND next = FindWindowToActivate(wnd)) SetActiveWindow(next);
    } else if (formWnd && formWnd != reinterpret_cast<HWND>(m.LParam)) {
      SetActiveWindow(formWnd);
    }
  }
  m.Result = 0;
}

void TCustomToolWin::MouseActivateMessage(cl::TMessage& m) {
  m.Result = MA_NOACTIVATE;
  const HWND wnd = Handle();
  SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
  if (floatingMode_ != fmOnTopOfParentForm || !activateParent_) return;
  cl::TCustomForm* own = FindParentForm(this);
  cl::TCustomForm* frame = GetMDIParentOf(own);
  if (!frame || !frame->HandleAllocated() || GetActiveWindow() == wnd) return;
  SetForegroundWindow(frame->Handle());
  if (own && own != frame && own->HandleAllocated()) BringWindowToTop(own->Handle());
}

void TCustomToolWin::Dispatch(cl::TMessage& m) {
  if (FrameMessage(m)) return;
  const bool floating = Carrier() && !ComponentState().Contains(cl::csDesigning);
  switch (m.Msg) {
    case kSkinnedQuery:
      // The window draws its own frame, and its controls belong to the skin of the form that owns them:
      // answering "skinned" keeps the skin manager from taking it for a window of its own.
      m.Result = 1;
      return;
    case cl::CM_SHOWINGCHANGED:
      ShowingChanged();
      return;
    case WM_ACTIVATE:
      if (!floating) break;
      ActivateMessage(m);
      return;
    case WM_MOUSEACTIVATE:
      if (!floating) break;
      MouseActivateMessage(m);
      return;
    case WM_CLOSE:
      // Alt+F4 on the tool window closes its form, not the tool window.
      if (cl::TCustomForm* form = GetMDIParentOf(FindParentForm(this)); form && form->HandleAllocated())
        SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
      m.Result = 0;
      return;
    case WM_GETMINMAXINFO: {
      inherited::Dispatch(m);
      auto* info = reinterpret_cast<MINMAXINFO*>(m.LParam);
      info->ptMinTrackSize = POINT{1, 1};
      info->ptMaxTrackSize = POINT{0x7FFF, 0x7FFF};
      return;
    }
    case WM_WINDOWPOSCHANGED: {
      // A size the window got from elsewhere than the window's own fitting is the content's new wish.
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(m.LParam);
      if (boundsLock_ == 0 && pos && !(pos->flags & SWP_NOSIZE) && (pos->cx != Width() || pos->cy != Height()))
        StoreBaseSize(pos->cx, pos->cy);
      break;
    }
    case WM_MOVE:
      inherited::Dispatch(m);
      // The dock's background tiles line up with the dock's parent: they move against the window.
      if (isDocked_ && dockedTo_ && dockedTo_->HasBackground()) {
        InvalidateFrame(kFramePart);
        Invalidate();
      }
      MovedNotify();
      return;
    case WM_ENABLE:
      inherited::Dispatch(m);
      if (floatingMode_ == fmOnTopOfAllForms) UpdateTopmost();
      return;
    case cl::CM_VISIBLECHANGED:
      // The dock shows or drops the window first.
      if (isDocked_ && dockedTo_ && !ComponentState().Contains(cl::csDesigning))
        dockedTo_->UpdateShownBars(this, false);
      inherited::Dispatch(m);
      // A floating window not made yet is made here when it is to be seen; a made one was shown or hidden
      // by the inherited handling.
      if (Carrier() && !HandleAllocated()) UpdateVisibility();
      OnVisibleChanged(this);
      return;
    case cl::CM_TEXTCHANGED:
      inherited::Dispatch(m);
      InvalidateFrame(kCaptionPart);
      return;
    case cl::CM_COLORCHANGED:
      // The docked frame's ring is the window's colour; the inherited handling repaints only the client.
      if (isDocked_) InvalidateFrame(kFramePart);
      break;
  }
  inherited::Dispatch(m);
}

}  // namespace toolkit::dock
