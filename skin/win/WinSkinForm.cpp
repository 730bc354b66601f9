#include "WinSkinForm.h"

#include <windowsx.h>

#include <cstddef>

#include "Forms.h"
#include "Menus.h"
#include "SkinControl.h"
#include "SkinFrame.h"
#include "SkinMenuBar.h"
#include "SysButtons.h"
#include "WinSkinData.h"
#include "WinSkinDlg.h"

namespace skin {

namespace {

DWORD StyleOf(HWND wnd) { return static_cast<DWORD>(GetWindowLongPtrW(wnd, GWL_STYLE)); }

POINT PointOf(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

}  // namespace

TWinSkinForm::TWinSkinForm(cl::TComponent* owner) : TComponent(owner) {
  timer_.SetEnabled(false);
  timer_.SetInterval(kHotTrackInterval);
  timer_.SetOnTimer([this](cl::TObject*) {
    POINT cursor{};
    if (!GetCursorPos(&cursor)) return;
    TimerTick(state_, cursor);
    TrackHotPainter(true, cursor);
    // Nothing hot left and the cursor off the frame: the timer sleeps until the next move over the frame
    // (or a bare window's painter turns hot), so an idle window does not wake.
    if (!state_.HotObject && !(hotPainter_ && !form_) && !CursorOnFrame(cursor)) timer_.SetEnabled(false);
  });
  CreateCaptionFont();
}

TWinSkinForm::~TWinSkinForm() {
  // The window must not keep calling into freed memory: procedure and message path go back first.
  Detach();
  timer_.SetEnabled(false);
  FreeControls();
  UnskinMenus();
  // A window that outlives its skin gets its menu back.
  FreeMenuBar(true);
  sysMenu_.reset();
  skin::ClearSysButtons(state_);
  if (TSkinManage* manager = SkinManager()) manager->RemoveSkinForm(this);
}

void TWinSkinForm::CreateCaptionFont() {
  // The size without the padded border width: older systems refuse the longer structure.
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
    state_.CaptionFont.Reset(CreateFontIndirectW(&metrics.lfCaptionFont));
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
  if (data->SkinControls().Contains(xcPopupMenu)) SkinPopupMenus(form, true);
  if (data->SkinControls().Contains(xcMenuItem)) SkinMainMenus(form, true);
}

void TWinSkinForm::UnskinMenus() {
  if (!form_ || !data_) return;
  SkinPopupMenus(form_, false);
  if (data_->SkinControls().Contains(xcMenuItem)) SkinMainMenus(form_, false);
}

void TWinSkinForm::FormWindowProc(cl::TMessage& m, const cl::TMessageChain::TNext& next) {
  switch (m.Msg) {
    case WM_SETTEXT:
      next(m);
      RefreshFrame(wnd_);  // the caption is painted with the frame
      return;
    case kSkinMsgRecolor:
      SkinColorsChanged();
      return;
    case cl::CM_DIALOGCHAR:
      if (!DoDialogChar(m)) next(m);
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
  state_.Wnd = wnd_;
  state_.Skin = data;
  state_.Host = this;
  state_.SharedIcon = &data->IconBitmap;
  const DWORD style = StyleOf(wnd_);
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(wnd_, GWL_EXSTYLE));
  frameSkinning_ = data->SkinControls().Contains(xcMainMenu);
  state_.InitialStyle = style;
  state_.RightToLeft = (exStyle & WS_EX_LEFTSCROLLBAR) != 0;
  systemMenu_ = GetSystemMenu(wnd_, FALSE);
  windowMenu_ = GetMenu(wnd_);

  if (TSkinManage* manager = SkinManager())
    GetFormIcon(state_, manager->MainFormIcon());
  else
    GetFormIcon(state_);
  ownerWnd_ = GetWindow(wnd_, GW_OWNER);
  GetClientRect(wnd_, &state_.ClientRect);
  RECT window{};
  GetWindowRect(wnd_, &window);
  const RECT& client = state_.ClientRect;
  initialNonClient_ = {(window.right - window.left) - (client.right - client.left),
                       (window.bottom - window.top) - (client.bottom - client.top)};

  state_.StyleFlags = 0;
  if ((style & WS_SYSMENU) || systemMenu_) state_.StyleFlags |= kStyleSysMenu;
  if (style & WS_MINIMIZEBOX) state_.StyleFlags |= kStyleMinimizeBox;
  if (style & WS_MAXIMIZEBOX) state_.StyleFlags |= kStyleMaximizeBox;
  BuildSysMenu();
  ReadWindowState();
  FindMDIClient();
  if (exStyle & WS_EX_MDICHILD) state_.WindowKind = TWindowKind::MDIChild;
  ReadBorderKind(style, exStyle);
  if (state_.WindowKind == TWindowKind::MDIFrame) {
    savedMenuUpdate_ = data->MenuUpdate();
    HookMDIClient();
  }
  if (IsMDIChild() && state_.WindowState == TWindowState::Maximized)
    if (TSkinManage* manager = SkinManager()) manager->SetMDIMaximized(true);

  if (frameSkinning_) {
    if (windowMenu_ && !IsMDIChild()) CreateMenuBar();
    TSkinManage* manager = SkinManager();
    const bool mdiMaximized = IsMDIChild() && manager && manager->MDIMaximized;
    if (!mdiMaximized && state_.WindowState != TWindowState::Minimized) SetCaptionStyle(false);
    CreateSysButtons();
  } else {
    // Only the controls are the skin's: the window is skinned at once.
    state_.SkinState = kSkinStateSkinned;
  }

  subclass_.Install(wnd_, [this](HWND wnd, UINT msg, WPARAM w, LPARAM l) { return WindowProc(wnd, msg, w, l); });
  InvalidateRect(wnd_, nullptr, TRUE);
}

void TWinSkinForm::ReadBorderKind(DWORD style, DWORD exStyle) {
  TBorderKind kind = TBorderKind::Single;
  if ((style & WS_POPUP) && (style & WS_CAPTION) != WS_CAPTION)
    kind = TBorderKind::None;
  else if (style & WS_THICKFRAME)
    kind = TBorderKind::Sizeable;
  else if (style & DS_MODALFRAME)
    kind = TBorderKind::Dialog;
  if (exStyle & WS_EX_DLGMODALFRAME) kind = TBorderKind::Dialog;
  const std::string lower = LowerWindowClassName(wnd_);
  if (lower == "#32770" || lower == "tmessageform") {
    kind = TBorderKind::Dialog;
    state_.MessageDialog = true;
  }
  state_.BorderKind = kind;
}

void TWinSkinForm::ReadWindowState() {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  if (!GetWindowPlacement(wnd_, &wp)) return;
  switch (wp.showCmd) {
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
      state_.WindowState = TWindowState::Minimized;
      break;
    case SW_SHOWMAXIMIZED:
      state_.WindowState = TWindowState::Maximized;
      break;
    default:
      state_.WindowState = TWindowState::Normal;
      break;
  }
}

void TWinSkinForm::SetCaptionStyle(bool restore) {
  TSkinManage* manager = SkinManager();
  if (!restore && IsMDIChild() && manager && manager->MDIMaximized) return;
  DWORD style = StyleOf(wnd_);
  const uint8_t flags = state_.StyleFlags;
  if (restore) {
    if (flags & kStyleSysMenu) style |= WS_SYSMENU;
    if (flags & kStyleMinimizeBox) style |= WS_MINIMIZEBOX;
    if (flags & kStyleMaximizeBox) style |= WS_MAXIMIZEBOX;
    if (flags & kStyleCaptionRemoved) style |= WS_CAPTION;
  } else if (ownerWnd_ || IsMDIChild()) {
    style &= ~static_cast<DWORD>(WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
  } else {
    state_.StyleFlags |= kStyleCaptionRemoved;
    style &= ~static_cast<DWORD>(WS_CAPTION);
  }
  if (style != StyleOf(wnd_)) SetWindowLongPtrW(wnd_, GWL_STYLE, static_cast<LONG_PTR>(style));
}

void TWinSkinForm::ClearSysButtons() { skin::ClearSysButtons(state_); }

void TWinSkinForm::CreateSysButtons() {
  if (frameSkinning_) skin::CreateSysButtons(state_);
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
      state_.SkinState = kSkinStateDestroying;
      result = Default(msg, wParam, lParam);
      UnskinOnDestroy();
      state_.SkinState = kSkinStateDestroyed;
      return true;
    case WM_INITMENUPOPUP:
      if (TSkinManage* manager = SkinManager())
        manager->PopupMenuKind = reinterpret_cast<HMENU>(wParam) == systemMenu_ ? 2 : 1;
      openPopup_ = reinterpret_cast<HMENU>(wParam);
      result = Default(msg, wParam, lParam);
      // The form's menu refreshes its entries on opening, which the drop-down's owner drawing must survive.
      if (menuTracking_) MakeMenuOwnerDraw(openPopup_);
      // Items made since (a menu rebuilt after a save) get the handlers too.
      if (form_ && data_ && data_->SkinControls().Contains(xcPopupMenu)) SkinPopupMenus(form_, true);
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
  controlsSkinned_ = true;
  if (form_)
    SkinControls(form_);
  else
    SkinChildWindows();
  if (state_.SkinState == kSkinStateWaiting && frameSkinning_) {
    TSkinManage* manager = SkinManager();
    if (IsMDIChild() && manager && manager->MDIMaximized) {
      SetCaptionStyle(true);
      RefreshFrame(wnd_);
    } else if (state_.WindowState != TWindowState::Minimized && state_.BorderKind != TBorderKind::None) {
      state_.SkinState = kSkinStateFitting;
      UpdateFrameSize(state_, false);
      state_.SkinState = kSkinStateSkinned;
      UpdateWindowRegion(state_);
    }
  }
  state_.SkinState = kSkinStateSkinned;
}

bool TWinSkinForm::CursorOnFrame(POINT cursor) const {
  RECT window{}, client{};
  if (!GetWindowRect(wnd_, &window) || !GetClientRect(wnd_, &client)) return false;
  MapWindowPoints(wnd_, nullptr, reinterpret_cast<POINT*>(&client), 2);
  return PtInRect(&window, cursor) && !PtInRect(&client, cursor);
}

void TWinSkinForm::SetHotPainter(TSkinControl* painter) {
  hotPainter_ = painter;
  // Bare windows do not say when the mouse leaves them: the timer watches for it.
  if (painter && !form_) timer_.SetEnabled(true);
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
      state_.Active = LOBYTE(wParam) != 0;
      passOn = true;
      break;
    case WM_GETMINMAXINFO:
      result = WMGetMinMaxInfo(wParam, lParam);
      break;
    case WM_WINDOWPOSCHANGED:
      ReadWindowState();
      result = Default(msg, wParam, lParam);
      break;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
      CommonMessage(msg, wParam, lParam, result);
      break;
    case WM_COMMAND:
      passOn = !WMCommand(wParam);
      break;
    case WM_SYSCOMMAND:
      passOn = !WMSysCommand(wParam, lParam, result);
      break;
    case WM_MENUSELECT:
      // Sent to the window, so the drop-down's message hook never sees it.
      if (tracking_) tracking_->MenuSelect(wParam, lParam);
      passOn = true;
      break;
    case cl::CM_MENUCHANGED:
      result = MenuChanged(wParam, lParam);
      break;
    default:
      passOn = true;
      break;
  }
  const bool frameOff = (IsMDIChild() && state_.WindowState != TWindowState::Normal) ||
                        state_.WindowState == TWindowState::Minimized || state_.SkinState == kSkinStateWaiting;
  if (!frameOff && NonClientMessage(msg, wParam, lParam, result)) return result;
  return passOn ? Default(msg, wParam, lParam) : result;
}

// Stage 3.
bool TWinSkinForm::NonClientMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  auto answer = [&](TNCAnswer a) { return a == TNCAnswer::Default ? Default(msg, wParam, lParam) : 0; };
  switch (msg) {
    case WM_SIZE:
      // The old procedure sees WM_SIZE a second time; the region is rebuilt only when the size changed.
      result = WMSize(wParam, lParam);
      return true;
    case WM_WINDOWPOSCHANGING:
      result = Default(msg, wParam, lParam);
      return true;
    case WM_NCCALCSIZE:
      result = NCCalcSize(state_, wParam, lParam, [&] { return Default(msg, wParam, lParam); });
      return true;
    case WM_MEASUREITEM:
      return WMMeasureItem(wParam, lParam, result);
    case WM_DRAWITEM:
      return WMDrawItem(wParam, lParam, result);
    case WM_NCHITTEST:
      result = NCHitTest(state_, PointOf(lParam), Default(msg, wParam, lParam));
      return true;
    case WM_NCPAINT:
      result = answer(NCPaint(state_, data_->NonClientPainting));
      return true;
    case WM_NCACTIVATE:
      result = WMNCActivate(wParam);
      return true;
    case WM_NCMOUSEMOVE:
      // The cursor is over the frame: the timer sees it leave what is hot, and the frame.
      if (state_.Active) timer_.SetEnabled(true);
      result = answer(NCMouseMove(state_, PointOf(lParam)));
      return true;
    case WM_NCLBUTTONDOWN: {
      WPARAM hitTest = wParam;
      const TNCAnswer a = NCLButtonDown(state_, hitTest, PointOf(lParam));
      result = a == TNCAnswer::Default ? Default(msg, hitTest, lParam) : 0;
      return true;
    }
    case WM_NCLBUTTONUP:
      result = answer(NCLButtonUp(state_, PointOf(lParam)));
      return true;
    case WM_NCLBUTTONDBLCLK:
      result = answer(NCLButtonDblClk(state_, wParam, PointOf(lParam)));
      return true;
    case WM_NCRBUTTONDOWN:
      result = answer(NCRButtonDown(state_, wParam, PointOf(lParam)));
      return true;
    case kSkinMsgRepaintFrame:
      PaintNonClient(state_);
      result = 0;
      return true;
    default:
      return false;
  }
}

LRESULT TWinSkinForm::WMNCActivate(WPARAM wParam) {
  state_.Active = wParam != 0;
  // Hot tracking starts with a move over the frame; an inactive frame has nothing hot.
  if (!wParam) timer_.SetEnabled(false);
  if (!wParam) TrackHotPainter(false, POINT{});
  if (state_.WindowKind == TWindowKind::MDIFrame && mdiClient_) SendMessageW(mdiClient_, WM_NCACTIVATE, wParam, 0);
  if (!(IsMDIChild() && state_.WindowState != TWindowState::Normal)) PaintNonClient(state_);
  return 1;
}

LRESULT TWinSkinForm::WMSize(WPARAM wParam, LPARAM lParam) {
  const LRESULT result = Default(WM_SIZE, wParam, lParam);
  switch (wParam) {
    case SIZE_RESTORED:
      state_.WindowState = TWindowState::Normal;
      break;
    case SIZE_MINIMIZED:
      state_.WindowState = TWindowState::Minimized;
      return result;
    case SIZE_MAXIMIZED:
      state_.WindowState = TWindowState::Maximized;
      break;
    default:
      break;
  }
  TSkinManage* manager = SkinManager();
  if (IsMDIChild() && ((manager && manager->MDIMaximized) || state_.WindowState != TWindowState::Normal))
    return result;
  if (state_.SkinState == kSkinStateSkinned || state_.SkinState == kSkinStateRecolouring)
    UpdateWindowRegion(state_);
  return result;
}

LRESULT TWinSkinForm::WMGetMinMaxInfo(WPARAM wParam, LPARAM lParam) {
  const LRESULT result = Default(WM_GETMINMAXINFO, wParam, lParam);
  ReadWindowState();
  if (state_.WindowState == TWindowState::Minimized)
    SetCaptionStyle(true);
  else if (!IsMDIChild() || state_.WindowState == TWindowState::Normal)
    SetCaptionStyle(false);
  else
    SetCaptionStyle(true);
  if (state_.BorderKind == TBorderKind::Sizeable && lParam) {
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
  state_.SkinState = kSkinStateRecolouring;
  if (frameSkinning_ && form_ && data_->SkinControls().Contains(xcPopupMenu)) SkinPopupMenus(form_, true);
  for (TSkinControl* painter : std::vector<TSkinControl*>(painters_)) painter->ApplySkinColor();
  if (frameSkinning_ && form_ && form_->HandleAllocated()) {
    UpdateFrameSize(state_, true);
    // A height change and back makes the form lay itself out again.
    form_->SetHeight(form_->Height() + 1);
    form_->SetHeight(form_->Height() - 1);
  }
  if (focused) SetFocus(focused);
  state_.SkinState = kSkinStateSkinned;
}

void TWinSkinForm::Detach() {
  formLink_.Remove();
  subclass_.Remove();
  UnhookMDIClient();
}

void TWinSkinForm::RestoreFormColor() {
  if (form_ && state_.SkinState != kSkinStateDestroying) form_->SetColor(savedColor_);
}

SIZE TWinSkinForm::UnskinnedSize() const {
  RECT client{};
  GetClientRect(wnd_, &client);
  return SIZE{client.right + initialNonClient_.cx, client.bottom + initialNonClient_.cy};
}

void TWinSkinForm::Unskin() {
  timer_.SetEnabled(false);
  if (!frameSkinning_) {
    FreeControls();
    UnskinMenus();
    Detach();
    RestoreFormColor();
    if (form_ && state_.SkinState != kSkinStateDestroying && form_->HandleAllocated())
      InvalidateRect(form_->Handle(), nullptr, TRUE);
    return;
  }
  if (!subclass_.Installed()) return;
  Detach();
  FreeControls();
  UnskinMenus();
  RestoreFormColor();
  // The size to give back: read it before the caption style changes.
  const SIZE size = UnskinnedSize();
  SetCaptionStyle(true);
  FreeMenuBar(true);
  sysMenu_.reset();
  state_.TitleBitmap.reset();
  if (state_.SkinState != kSkinStateDestroying && (IsMDIChild() || !(StyleOf(wnd_) & WS_CHILD))) {
    RECT r{};
    GetWindowRect(wnd_, &r);
    POINT at{r.left, r.top};
    if (IsMDIChild()) ScreenToClient(GetParent(wnd_), &at);
    SetWindowPos(wnd_, nullptr, at.x, at.y, size.cx, size.cy,
                 SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOZORDER);
  }
  // The system owns a region once it is set; taking it away frees it.
  SetWindowRgn(wnd_, nullptr, TRUE);
  state_.RegionHeld = false;
  state_.RegionWidth = state_.RegionHeight = 0;
}

void TWinSkinForm::UnskinOnDestroy() {
  // Nothing is redrawn or resized: the window is going.
  timer_.SetEnabled(false);
  Detach();
  FreeControls();
  // The items keep no handler of an object that is going.
  UnskinMenus();
  sysMenu_.reset();
  // A bare window's menu goes with the window; a form's menu component keeps its own.
  FreeMenuBar(!form_);
  state_.TitleBitmap.reset();
}

}  // namespace skin
