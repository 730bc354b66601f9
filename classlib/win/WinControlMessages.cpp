#include "Controls.h"

#include <windowsx.h>
#include <commctrl.h>

#include "ControlsPrivate.h"
#include "DeviceContext.h"
#include "Forms.h"

namespace cl {

// ---------------------------------------------------------------------------------------------------------
// TWinControl: its messages.

bool TWinControl::ReflectToChild(TMessage& m, HWND child) {
  // Notifications come from our own children nearly always: look there before asking the window.
  TWinControl* c = nullptr;
  for (TWinControl* w : tabList_)
    if (w->handle_ == child) {
      c = w;
      break;
    }
  if (!c) c = FindControl(child);
  if (!c || c == this) return false;
  m.Result = c->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
  return true;
}

TWinControl* TWinControl::ChildByID(int id) const {
  for (TWinControl* w : tabList_)
    if (w->id_ == id) return w;
  return nullptr;
}

// Each family of messages has its handler; true when the handler is done with the message, false when it
// goes on to the inherited handling (and from there to the window's own).
void TWinControl::Dispatch(TMessage& m) {
  if (ReflectNotification(m) || WindowLifeMessage(m) || StateMessage(m) || FocusMessage(m) || KeyMessage(m) ||
      MouseMessage(m) || PaintMessage(m))
    return;
  inherited::Dispatch(m);
}

bool TWinControl::ReflectNotification(TMessage& m) {
  switch (m.Msg) {
    case WM_COMMAND:
      return m.LParam && ReflectToChild(m, reinterpret_cast<HWND>(m.LParam));
    case WM_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
      return hdr && ReflectToChild(m, hdr->hwndFrom);
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CHARTOITEM:
    case WM_VKEYTOITEM:
      return m.LParam && ReflectToChild(m, reinterpret_cast<HWND>(m.LParam));
    case WM_DRAWITEM: {
      auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
      return d && d->CtlType != ODT_MENU && ReflectToChild(m, d->hwndItem);
    }
    case WM_DELETEITEM: {
      auto* d = reinterpret_cast<DELETEITEMSTRUCT*>(m.LParam);
      return d && ReflectToChild(m, d->hwndItem);
    }
    case WM_COMPAREITEM: {
      auto* d = reinterpret_cast<COMPAREITEMSTRUCT*>(m.LParam);
      return d && ReflectToChild(m, d->hwndItem);
    }
    case WM_MEASUREITEM: {
      // Sent while the child's window is still being made, so the child is found by its id.
      auto* d = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
      if (!d || d->CtlType == ODT_MENU) return false;
      TWinControl* c = ChildByID(static_cast<int>(d->CtlID));
      if (!c) return false;
      m.Result = c->Perform(CN_MEASUREITEM, m.WParam, m.LParam);
      return true;
    }
  }
  return false;
}

bool TWinControl::WindowLifeMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_DESTROY:
      text_ = GetText();
      return false;
    case WM_NCDESTROY:
      m.Result = CallDefaultProc(m);
      WindowGone();
      return true;
    case WM_WINDOWPOSCHANGED:
      m.Result = CallDefaultProc(m);
      UpdateBoundsFromWindow();
      return true;
  }
  return false;
}

bool TWinControl::StateMessage(TMessage& m) {
  switch (m.Msg) {
    case CM_FONTCHANGED:
      if (handle_) SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), TRUE);
      for (TControl* c : controls_) c->Perform(CM_PARENTFONTCHANGED);
      return false;
    case CM_COLORCHANGED:
      brush_->SetColor(Color());
      for (TControl* c : controls_) c->Perform(CM_PARENTCOLORCHANGED);
      return false;
    case CM_SHOWHINTCHANGED:
      UpdateTooltip();
      for (TControl* c : controls_) c->Perform(CM_PARENTSHOWHINTCHANGED);
      return false;
    case CM_PARENTCTL3DCHANGED:
      AdoptParentCtl3D();
      return true;
    case CM_CTL3DCHANGED:
      // Only a framed control draws its border by Ctl3D; the border is a style of its window.
      if (ControlStyle().Contains(csFramed)) RecreateWnd();
      for (TControl* c : controls_) c->Perform(CM_PARENTCTL3DCHANGED);
      return true;
    case WM_CONTEXTMENU: {
      // The windowless child under the mouse first, then this control; without a menu of their own the
      // message goes on to the window (a system edit's own menu) and from there to the parent.
      POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
      if (p.x != -1 || p.y != -1) {
        POINT client = p;
        ::ScreenToClient(handle_, &client);
        if (TControl* child = GraphicControlAt(client.x, client.y); child && child->ShowPopupMenu(p.x, p.y))
          return true;
      }
      return ShowPopupMenu(p.x, p.y);
    }
    case CM_ENABLEDCHANGED:
      if (!Enabled())
        if (TCustomForm* form = GetParentForm(this); form && form != this) form->DefocusControl(this, false);
      if (handle_) EnableWindow(handle_, Enabled());
      return false;
    case CM_VISIBLECHANGED:
      UpdateShowing();
      return false;
    case CM_SHOWINGCHANGED:
      // The one place where a control's window is shown or hidden. A child window shows with its parent,
      // its own style only says whether it may; a popup carried by a parent is shown while that parent is.
      if (handle_) {
        const bool child = (GetWindowLongPtrW(handle_, GWL_STYLE) & WS_CHILD) != 0;
        SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                         ((child ? Visible() : Showing()) ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
      }
      return true;
  }
  return false;
}

bool TWinControl::FocusMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_SETFOCUS:
      if (TCustomForm* form = GetParentForm(this); form && form != this) form->SetFocusedControl(this);
      break;
    case CM_ENTER:
      DoEnter();
      break;
    case CM_EXIT:
      DoExit();
      break;
  }
  return false;
}

bool TWinControl::KeyMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      auto key = static_cast<uint16_t>(m.WParam);
      const TShiftState shift = KeyDataToShiftState(m.LParam);
      if (DoKeyDown(key, shift)) return true;
      m.WParam = key;
      return m.Msg == WM_KEYDOWN && key == VK_F1 && shift.Empty() && ShowFormHelp();
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      auto key = static_cast<uint16_t>(m.WParam);
      if (DoKeyUp(key, KeyDataToShiftState(m.LParam))) return true;
      m.WParam = key;
      return false;
    }
    case WM_CHAR: {
      auto ch = static_cast<wchar_t>(m.WParam);
      if (DoKeyPress(ch)) return true;
      m.WParam = static_cast<uintptr_t>(ch);
      return false;
    }
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
      CNKeyDown(m);
      return true;
    case CN_SYSCHAR: {
      // Alt and a character: the controls of the form whose caption marks it as their accelerator.
      TCustomForm* form = GetParentForm(this);
      m.Result = form && form->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0 ? 1 : 0;
      return true;
    }
    case CM_DIALOGCHAR:
      // Offered to the visible children in turn until one takes it.
      for (TControl* c : std::vector<TControl*>(controls_)) {
        if (!c->Visible() || !c->Enabled()) continue;
        if (c->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0) {
          m.Result = 1;
          return true;
        }
      }
      return true;
  }
  return false;
}

bool TWinControl::MouseMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      if (RouteToGraphicChild(m)) {
        // What the window's own handling would do for the right button, now that the child took it.
        if (m.Msg == WM_RBUTTONUP) {
          POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
          ::ClientToScreen(handle_, &p);
          SendMessageW(handle_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(handle_), MAKELPARAM(p.x, p.y));
        }
        return true;
      }
      HandleMouseMessage(m);
      return false;
    case WM_CAPTURECHANGED:
      if (captureControl && captureControl->parent_ == this) {
        TControl* held = captureControl;
        captureControl = nullptr;
        held->Perform(WM_CAPTURECHANGED, m.WParam, m.LParam);
      }
      return false;
    case WM_MOUSELEAVE:
      mouseTracking_ = false;
      if (mouseControl && (mouseControl == this || mouseControl->parent_ == this)) {
        TControl* left = mouseControl;
        mouseControl = nullptr;
        left->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<intptr_t>(left));
      }
      return false;
    case WM_SETCURSOR:
      return SetCursorFromControl(m);
  }
  return false;
}

bool TWinControl::PaintMessage(TMessage& m) {
  switch (m.Msg) {
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORBTN: {
      auto dc = reinterpret_cast<HDC>(m.WParam);
      SetTextColor(dc, ColorToRGB(Font()->Color()));
      SetBkColor(dc, ColorToRGB(Color()));
      m.Result = reinterpret_cast<intptr_t>(brush_->Handle());
      return true;
    }
    case WM_ERASEBKGND: {
      // Windows of this library's own classes fill with the control's colour; system classes paint themselves.
      if (subclass_ || !handle_) return false;
      // A double-buffered window fills its bitmap while it paints (the context comes twice then).
      if (doubleBuffered_ && m.WParam != static_cast<uintptr_t>(m.LParam)) {
        m.Result = 1;
        return true;
      }
      RECT r;
      GetClientRect(handle_, &r);
      FillRect(reinterpret_cast<HDC>(m.WParam), &r, brush_->Handle());
      m.Result = 1;
      return true;
    }
    case WM_PAINT:
      if (doubleBuffered_ && !m.WParam && handle_) {
        PaintBuffered(m);
        return true;
      }
      if (!subclass_) {
        PaintHandler(m);
        return true;
      }
      if (!handle_ || !HasGraphicChildren()) return false;
      PaintOverSystemControl(m);
      return true;
    case WM_PRINTCLIENT:
      if (!subclass_) {
        auto dc = reinterpret_cast<HDC>(m.WParam);
        if (m.LParam & PRF_ERASEBKGND) Perform(WM_ERASEBKGND, m.WParam);
        PaintWindow(dc);
        PaintControls(dc);
        return true;
      }
      if (!HasGraphicChildren()) return false;
      PrintOverSystemControl(m);
      return true;
  }
  return false;
}

// A system control (a group box, an edit) paints itself; its windowless children go on top, past any
// clipping it left in the context.
void TWinControl::PaintOverSystemControl(TMessage& m) {
  auto given = reinterpret_cast<HDC>(m.WParam);
  {
    const TSavedDC saved(given);
    m.Result = CallDefaultProc(m);
  }
  if (given) {
    PaintControls(given);
  } else if (const TWindowDC own(handle_); own) {
    PaintControls(own.Get());
  }
}

// The system control may leave the context clipped to its own text area (an edit does).
void TWinControl::PrintOverSystemControl(TMessage& m) {
  auto dc = reinterpret_cast<HDC>(m.WParam);
  {
    const TSavedDC saved(dc);
    m.Result = CallDefaultProc(m);
  }
  PaintControls(dc);
}

bool TWinControl::RouteToGraphicChild(TMessage& m) {
  if (!handle_) return false;
  const int x = GET_X_LPARAM(m.LParam);
  const int y = GET_Y_LPARAM(m.LParam);
  TControl* c = nullptr;
  if (GetCapture() == handle_) {
    // Held by a windowless child, every message is its; held by the window itself (a system control
    // selecting text), none is.
    if (captureControl && captureControl->parent_ == this) c = captureControl;
  } else {
    c = GraphicControlAt(x, y);
  }
  if (!c) return false;
  const bool press = m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK;
  if (press && c != captureControl && c->ControlStyle().Contains(csCaptureMouse)) {
    SetCapture(handle_);
    captureControl = c;
  }
  if (m.Msg == WM_LBUTTONUP && captureControl == c) {
    // Let go before the release is handled: a click may open a modal window, which needs the mouse.
    captureControl = nullptr;
    if (GetCapture() == handle_) ReleaseCapture();
  }
  if (m.Msg == WM_MOUSEMOVE) TrackGraphicChild(c);
  m.Result = c->Perform(m.Msg, m.WParam, MAKELPARAM(x - c->Left(), y - c->Top()));
  return true;
}

void TWinControl::HandleMouseMessage(TMessage& m) {
  const int x = GET_X_LPARAM(m.LParam);
  const int y = GET_Y_LPARAM(m.LParam);
  TShiftState shift = KeysToShiftState(m.WParam);
  // System controls capture the mouse and report clicks themselves.
  const bool own = !subclass_;
  switch (m.Msg) {
    case WM_MOUSEMOVE:
      if (!mouseTracking_) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, handle_, 0};
        mouseTracking_ = TrackMouseEvent(&tme) != FALSE;
      }
      if (mouseControl != this) {
        TControl* old = mouseControl;
        mouseControl = this;
        if (old) old->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<intptr_t>(old));
        Perform(CM_MOUSEENTER, 0, reinterpret_cast<intptr_t>(this));
      }
      MouseMove(shift, x, y);
      return;
    case WM_LBUTTONDOWN:
      if (own && ControlStyle().Contains(csCaptureMouse)) SetCapture(handle_);
      break;
    case WM_LBUTTONUP:
      if (own && GetCapture() == handle_) ReleaseCapture();
      break;
  }
  DispatchMouseButton(m, own);
}

bool TControl::DispatchMouseButton(const TMessage& m, bool clicks) {
  const int x = GET_X_LPARAM(m.LParam);
  const int y = GET_Y_LPARAM(m.LParam);
  const TShiftState shift = KeysToShiftState(m.WParam);
  const TShiftState doubled = TShiftState(shift).Include(ssDouble);
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
      clicking_ = true;
      MouseDown(mbLeft, shift, x, y);
      // System controls track the button themselves and start their automatic drags on their own signal.
      if (clicks && dragMode_ == dmAutomatic && !dragging_) {
        const TPoint at = ClientToScreen(TPoint{x, y});
        DragLoop(false, -1, POINT{at.X, at.Y});
      }
      return true;
    case WM_LBUTTONDBLCLK:
      if (!ControlStyle().Contains(csDoubleClicks)) {
        // The second press of a quick pair is a press of its own.
        clicking_ = true;
        MouseDown(mbLeft, shift, x, y);
        return true;
      }
      DblClick();
      MouseDown(mbLeft, doubled, x, y);
      return true;
    case WM_LBUTTONUP: {
      const bool click = clicking_ && clicks && ControlStyle().Contains(csClickEvents) && ClientRect().Contains(Point(x, y));
      clicking_ = false;
      if (click) Click();
      MouseUp(mbLeft, shift, x, y);
      return true;
    }
    case WM_RBUTTONDOWN: MouseDown(mbRight, shift, x, y); return true;
    case WM_RBUTTONDBLCLK: MouseDown(mbRight, doubled, x, y); return true;
    case WM_RBUTTONUP: MouseUp(mbRight, shift, x, y); return true;
    case WM_MBUTTONDOWN: MouseDown(mbMiddle, shift, x, y); return true;
    case WM_MBUTTONDBLCLK: MouseDown(mbMiddle, doubled, x, y); return true;
    case WM_MBUTTONUP: MouseUp(mbMiddle, shift, x, y); return true;
  }
  return false;
}

// ----- keys

void TWinControl::CNKeyDown(TMessage& m) {
  // Keys that move between controls or press the default and cancel buttons go to the form, unless the
  // control wants them itself.
  m.Result = 1;
  const auto key = static_cast<uint16_t>(m.WParam);
  DWORD mask = 0;
  switch (key) {
    case VK_TAB:
      mask = DLGC_WANTTAB;
      break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
      mask = DLGC_WANTARROWS;
      break;
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL:
      mask = DLGC_WANTALLKEYS;
      break;
  }
  if (mask && handle_ && Perform(CM_WANTSPECIALKEY, key, m.LParam) == 0) {
    MSG msg{handle_, m.Msg - CN_BASE, m.WParam, m.LParam, 0, {0, 0}};
    const auto code = SendMessageW(handle_, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&msg));
    TCustomForm* form = GetParentForm(this);
    if ((code & (mask | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) == 0 && form &&
        form->Perform(CM_DIALOGKEY, key, m.LParam) != 0)
      return;
  }
  m.Result = 0;
}

bool TWinControl::ShowFormHelp() {
  TCustomForm* form = GetParentForm(this);
  if (!form || form->HelpContext() == 0 || !Application) return false;
  Application->HelpContext(form->HelpContext());
  return true;
}

bool TWinControl::DoKeyDown(uint16_t& key, TShiftState shift) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && static_cast<TWinControl*>(form)->DoKeyDown(key, shift)) return true;
  if (key) KeyDown(key, shift);
  return key == 0;
}

bool TWinControl::DoKeyUp(uint16_t& key, TShiftState shift) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && static_cast<TWinControl*>(form)->DoKeyUp(key, shift)) return true;
  if (key) KeyUp(key, shift);
  return key == 0;
}

bool TWinControl::DoKeyPress(wchar_t& key) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && static_cast<TWinControl*>(form)->DoKeyPress(key)) return true;
  if (key) KeyPress(key);
  return key == 0;
}

}  // namespace cl
