#include "WinSkinForm.h"

#include "Forms.h"
#include "WinSkinData.h"
#include "WinSkinDlg.h"

namespace skin {

namespace {

constexpr int kStyleSysMenu = 8;
constexpr int kStyleMinimize = 2;
constexpr int kStyleMaximize = 1;
constexpr int kStyleCaptionRemoved = 0x10;

DWORD StyleOf(HWND wnd) { return static_cast<DWORD>(GetWindowLongPtrW(wnd, GWL_STYLE)); }

}  // namespace

TWinSkinForm::TWinSkinForm(cl::TComponent* owner) : TComponent(owner) {}

TWinSkinForm::~TWinSkinForm() {
  // The window must not keep calling into freed memory: procedure and message path go back first.
  Detach();
  if (TSkinManage* manager = SkinManager()) manager->RemoveSkinForm(this);
}

void TWinSkinForm::InitForm(TSkinData* data, cl::TCustomForm* form) {
  form_ = form;
  form->SetAutoScroll(false);
  if (data->SkinControls().Contains(xcMainMenu))
    formLink_.Install(form->WindowProc,
                      [this](cl::TMessage& m, const cl::TMessageChain::TNext& next) { FormWindowProc(m, next); });
  SkinWindow(data);
  savedColor_ = form->Color();
  form->SetColor(data->Colors.ButtonFace);
  // The skinned popup menus and menu items attach here once they exist.
}

void TWinSkinForm::FormWindowProc(cl::TMessage& m, const cl::TMessageChain::TNext& next) {
  switch (m.Msg) {
    case WM_SETTEXT:
      next(m);
      RefreshFrame();  // the caption is painted with the frame
      return;
    case kSkinMsgRecolor:
      SkinColorsChanged();
      return;
    default:
      next(m);
      return;
  }
}

void TWinSkinForm::SkinWindow(TSkinData* data) {
  if (subclass_.Installed()) return;
  // From now on the manager's requested actions run from its timer.
  if (TSkinManage* manager = SkinManager()) manager->HookState = 1;
  data_ = data;
  const DWORD style = StyleOf(wnd_);
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(wnd_, GWL_EXSTYLE));
  // A window with a menu bar keeps the system's frame until the skin draws menu bars.
  windowMenu_ = GetMenu(wnd_);
  frameSkinning_ = data->SkinControls().Contains(xcMainMenu) && !windowMenu_;
  initialStyle_ = style;
  rightToLeft_ = (exStyle & WS_EX_LEFTSCROLLBAR) != 0;
  systemMenu_ = GetSystemMenu(wnd_, FALSE);

  windowClass_ = WindowClassName(wnd_);
  ownerWnd_ = GetWindow(wnd_, GW_OWNER);
  GetClientRect(wnd_, &clientRect_);
  RECT window{};
  GetWindowRect(wnd_, &window);
  initialNonClient_ = {(window.right - window.left) - (clientRect_.right - clientRect_.left),
                       (window.bottom - window.top) - (clientRect_.bottom - clientRect_.top)};

  styleFlags_ = 0;
  if ((style & WS_SYSMENU) || systemMenu_) styleFlags_ |= kStyleSysMenu;
  if (style & WS_MINIMIZEBOX) styleFlags_ |= kStyleMinimize;
  if (style & WS_MAXIMIZEBOX) styleFlags_ |= kStyleMaximize;
  ReadWindowState();
  sizeable_ = (style & WS_THICKFRAME) != 0;
  // An MDI frame (its client window found) is kind 1; that watch comes with the MDI support.
  if (exStyle & WS_EX_MDICHILD) windowKind_ = kWindowMDIChild;
  ReadBorderKind(style, exStyle);

  // With frame skinning the frame, caption, title-bar buttons and (later) the menu bar are the skin's:
  // the caption style is switched off once the skinned frame paints its own caption. Without it the
  // window is skinned at once and only its controls are the skin's.
  if (!frameSkinning_) skinState_ = kSkinStateSkinned;

  subclass_.Install(wnd_, [this](HWND wnd, UINT msg, WPARAM w, LPARAM l) { return WindowProc(wnd, msg, w, l); });
  InvalidateRect(wnd_, nullptr, TRUE);
}

void TWinSkinForm::ReadBorderKind(DWORD style, DWORD exStyle) {
  if ((style & WS_POPUP) && (style & WS_CAPTION) != WS_CAPTION)
    borderKind_ = kBorderNone;
  else if (style & WS_THICKFRAME)
    borderKind_ = kBorderSizeable;
  else if (style & DS_MODALFRAME)
    borderKind_ = kBorderDialog;
  else
    borderKind_ = kBorderSingle;
  if (exStyle & WS_EX_DLGMODALFRAME) borderKind_ = kBorderDialog;
  const std::string lower = LowerWindowClassName(wnd_);
  if (lower == "#32770" || lower == "tmessageform") {
    borderKind_ = kBorderDialog;
    messageDialog_ = true;
  }
}

void TWinSkinForm::ReadWindowState() {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  if (!GetWindowPlacement(wnd_, &wp)) return;
  switch (wp.showCmd) {
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
      windowState_ = 2;
      break;
    case SW_SHOWMAXIMIZED:
      windowState_ = 1;
      break;
    default:
      windowState_ = 0;
      break;
  }
}

void TWinSkinForm::SetCaptionStyle(bool restore) {
  TSkinManage* manager = SkinManager();
  if (!restore && IsMDIChild() && manager && manager->MDIMaximized) return;
  captionStyle_ = restore;
  DWORD style = StyleOf(wnd_);
  if (restore) {
    if (styleFlags_ & kStyleSysMenu) style |= WS_SYSMENU;
    if (styleFlags_ & kStyleMinimize) style |= WS_MINIMIZEBOX;
    if (styleFlags_ & kStyleMaximize) style |= WS_MAXIMIZEBOX;
    if (styleFlags_ & kStyleCaptionRemoved) style |= WS_CAPTION;
  } else if (ownerWnd_ || IsMDIChild()) {
    style &= ~static_cast<DWORD>(WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
  } else {
    styleFlags_ |= kStyleCaptionRemoved;
    style &= ~static_cast<DWORD>(WS_CAPTION);
  }
  SetWindowLongPtrW(wnd_, GWL_STYLE, static_cast<LONG_PTR>(style));
}

void TWinSkinForm::RefreshFrame() {
  SetWindowPos(wnd_, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

LRESULT TWinSkinForm::Default(UINT msg, WPARAM wParam, LPARAM lParam) {
  return cl::TWindowSubclass::CallPrevious(wnd_, msg, wParam, lParam);
}

LRESULT TWinSkinForm::WindowProc(HWND, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (CommonMessage(msg, wParam, lParam, result)) return result;
  if (!frameSkinning_) return Default(msg, wParam, lParam);
  return FrameMessage(msg, wParam, lParam);
}

// Stage 1: every skinned window.
bool TWinSkinForm::CommonMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_ERASEBKGND:
      result = Default(msg, wParam, lParam);
      if (!form_ && data_ && data_->FaceBrush()) {
        RECT r{};
        GetClientRect(wnd_, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, data_->FaceBrush());
        result = 1;
      }
      return true;
    case WM_NCDESTROY:
      skinState_ = kSkinStateDestroying;
      result = Default(msg, wParam, lParam);
      UnskinOnDestroy();
      skinState_ = kSkinStateDestroyed;
      return true;
    case WM_INITMENUPOPUP:
      if (TSkinManage* manager = SkinManager())
        manager->PopupMenuKind = reinterpret_cast<HMENU>(wParam) == systemMenu_ ? 2 : 1;
      result = Default(msg, wParam, lParam);
      return true;
    case WM_CTLCOLORBTN:
      result = Default(msg, wParam, lParam);
      if (!form_) SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return true;
    case WM_CTLCOLORSTATIC:
      result = Default(msg, wParam, lParam);
      if (!form_ && data_ && data_->FaceBrush()) {
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        result = reinterpret_cast<LRESULT>(data_->FaceBrush());
      }
      return true;
    case kSkinMsgSkinControls:
      OnSkinControls();
      result = 0;
      return true;
    case kSkinMsgIsSkinned:
      result = 1;
      return true;
    default:
      return false;
  }
}

void TWinSkinForm::OnSkinControls() {
  // The painters attach to the controls here once they exist; with a skinned frame, the frame is fitted
  // and the region made here (skin state 5 around the fitting).
  controlsSkinned_ = true;
  skinState_ = kSkinStateSkinned;
}

// Stages 2 and 3: a top-level (or MDI child) window whose frame is skinned.
LRESULT TWinSkinForm::FrameMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!IsMDIChild() && (StyleOf(wnd_) & WS_CHILD)) return Default(msg, wParam, lParam);
  bool passOn = false;
  LRESULT result = 0;
  switch (msg) {
    case WM_SIZE:
      result = WMSize(wParam, lParam);
      break;
    case WM_ACTIVATE:
    case WM_NCACTIVATE:
      active_ = LOBYTE(wParam) != 0;
      passOn = true;
      break;
    case WM_GETMINMAXINFO:
      result = WMGetMinMaxInfo(wParam, lParam);
      break;
    case WM_WINDOWPOSCHANGED:
      ReadWindowState();
      result = Default(msg, wParam, lParam);
      break;
    default:
      // WM_COMMAND, WM_SYSCOMMAND and CM_MENUCHANGED belong to the skinned menu bar and system menu.
      passOn = true;
      break;
  }
  if ((IsMDIChild() && windowState_ != 0) || windowState_ == 2 || skinState_ == kSkinStateWaiting)
    return passOn ? Default(msg, wParam, lParam) : result;
  // Stage 3. The non-client messages (calculation, hit test, painting, activation, mouse) and 0x3502
  // are the skinned frame's; until it is in place they take the system's way.
  switch (msg) {
    case WM_SIZE:
      return WMSize(wParam, lParam);
    default:
      return passOn ? Default(msg, wParam, lParam) : result;
  }
}

LRESULT TWinSkinForm::WMSize(WPARAM wParam, LPARAM lParam) {
  const LRESULT result = Default(WM_SIZE, wParam, lParam);
  switch (wParam) {
    case SIZE_RESTORED:
      windowState_ = 0;
      break;
    case SIZE_MINIMIZED:
      windowState_ = 2;
      break;
    case SIZE_MAXIMIZED:
      windowState_ = 1;
      break;
    default:
      break;
  }
  // A restored window in state 1 or 3 gets its region rebuilt at the new size by the skinned frame.
  return result;
}

LRESULT TWinSkinForm::WMGetMinMaxInfo(WPARAM wParam, LPARAM lParam) {
  const LRESULT result = Default(WM_GETMINMAXINFO, wParam, lParam);
  ReadWindowState();
  if (borderKind_ == kBorderSizeable && lParam) {
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED)};
  }
  return result;
}

void TWinSkinForm::SkinColorsChanged() {
  if (!data_) return;
  HWND focused = nullptr;
  if (form_) {
    form_->SetColor(data_->Colors.ButtonFace);
    for (int i = 0; i < form_->ComponentCount(); ++i)
      if (auto* owned = dynamic_cast<cl::TCustomForm*>(form_->Components(i))) owned->SetColor(data_->Colors.ButtonFace);
    if (cl::TWinControl* active = form_->ActiveControl(); active && active->HandleAllocated() &&
                                                           GetFocus() == active->Handle())
      focused = active->Handle();
  }
  skinState_ = kSkinStateRecolouring;
  // The painters take the new colours here, and the skinned frame refits itself.
  if (focused) SetFocus(focused);
  skinState_ = kSkinStateSkinned;
}

void TWinSkinForm::Detach() {
  formLink_.Remove();
  subclass_.Remove();
}

void TWinSkinForm::RestoreFormColor() {
  if (form_ && skinState_ != kSkinStateDestroying) form_->SetColor(savedColor_);
}

void TWinSkinForm::Unskin() {
  if (!frameSkinning_) {
    Detach();
    RestoreFormColor();
    if (form_ && skinState_ != kSkinStateDestroying && form_->HandleAllocated())
      InvalidateRect(form_->Handle(), nullptr, TRUE);
    return;
  }
  if (!subclass_.Installed()) return;
  Detach();
  RestoreFormColor();
  // The size to give back is the client size with the system's frame around it as it was when skinned;
  // read it before the caption style changes.
  RECT client{};
  GetClientRect(wnd_, &client);
  SetCaptionStyle(true);
  if (skinState_ != kSkinStateDestroying && (IsMDIChild() || !(StyleOf(wnd_) & WS_CHILD))) {
    RECT r{};
    GetWindowRect(wnd_, &r);
    POINT at{r.left, r.top};
    if (IsMDIChild()) ScreenToClient(GetParent(wnd_), &at);
    SetWindowPos(wnd_, nullptr, at.x, at.y, client.right + initialNonClient_.cx, client.bottom + initialNonClient_.cy,
                 SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOZORDER);
  }
  // The system owns a region once it is set; taking it away frees it.
  SetWindowRgn(wnd_, nullptr, TRUE);
}

void TWinSkinForm::UnskinOnDestroy() {
  // Nothing is redrawn or resized: the window is going.
  Detach();
}

}  // namespace skin
