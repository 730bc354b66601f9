#include "TimerTrayIcon.h"

#include <algorithm>

#include "Forms.h"
#include "WinString.h"

namespace pellwick {

CL_BEGIN_CLASS(TTimerTrayIcon)
    .Bool("DesignPreview", &TTimerTrayIcon::DesignPreview, &TTimerTrayIcon::SetDesignPreview, false)
    .Object("IconList", &TTimerTrayIcon::IconList, &TTimerTrayIcon::SetIconList)
    .Bool("CycleIcons", &TTimerTrayIcon::CycleIcons, &TTimerTrayIcon::SetCycleIcons, false)
    .Int("CycleInterval", &TTimerTrayIcon::CycleInterval, &TTimerTrayIcon::SetCycleInterval)
    .Bool("Enabled", &TTimerTrayIcon::Enabled, &TTimerTrayIcon::SetEnabled, true)
    .Str("Hint", &TTimerTrayIcon::Hint, &TTimerTrayIcon::SetHint)
    .Bool("ShowHint", &TTimerTrayIcon::ShowHint, &TTimerTrayIcon::SetShowHint, true)
    .Object("Icon", &TTimerTrayIcon::Icon, &TTimerTrayIcon::SetIcon)
    .Bool("IconVisible", &TTimerTrayIcon::IconVisible, &TTimerTrayIcon::SetIconVisible, true)
    .Int("IconIndex", &TTimerTrayIcon::IconIndex, &TTimerTrayIcon::SetIconIndex)
    .Object("PopupMenu", &TTimerTrayIcon::PopupMenu, &TTimerTrayIcon::SetPopupMenu)
    .Bool("LeftPopup", &TTimerTrayIcon::LeftPopup, &TTimerTrayIcon::SetLeftPopup, false)
    .Bool("StartMinimized", &TTimerTrayIcon::StartMinimized, &TTimerTrayIcon::SetStartMinimized, false)
    .Bool("MinimizeToTray", &TTimerTrayIcon::MinimizeToTray, &TTimerTrayIcon::SetMinimizeToTray, false)
    .Event("OnClick", &TTimerTrayIcon::OnClick)
    .Event("OnDblClick", &TTimerTrayIcon::OnDblClick)
    .Event("OnMouseDown", &TTimerTrayIcon::OnMouseDown)
    .Event("OnMouseUp", &TTimerTrayIcon::OnMouseUp)
    .Event("OnMouseMove", &TTimerTrayIcon::OnMouseMove)
    .Event("OnCycle", &TTimerTrayIcon::OnCycle)
CL_END_CLASS

void RegisterTimerTrayIcon() { cl::RegisterComponentClass(TTimerTrayIcon::StaticClass()); }

TTimerTrayIcon::TTimerTrayIcon(cl::TComponent* owner)
    : cl::TComponent(owner),
      icon_(std::make_unique<cl::TIcon>()),
      taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated")) {
  window_ = cl::THiddenWindow([this](cl::TMessage& m) { WindowProc(m); });
  data_.cbSize = sizeof data_;
  data_.hWnd = window_.Handle();
  data_.uID = IconId;
  data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data_.uCallbackMessage = CallbackMessage;
  cycleTimer_ = std::make_unique<cl::TTimer>(nullptr);
  cycleTimer_->SetEnabled(false);
  cycleTimer_->SetInterval(cycleInterval_);
  cycleTimer_->SetOnTimer(cl::TNotifyEvent([this](cl::TObject* s) { CycleTimerTick(s); }));
  if (Designing()) {
    if (icon_->Empty() && WantsDefaultIcon()) icon_->SetHandle(CopyIcon(LoadIconW(nullptr, IDI_WINLOGO)));
    return;
  }
  // Chained subclassing: the skin engine hooks the same windows, and either may unhook first.
  if (cl::Application && cl::Application->Handle())
    appHook_.Install(cl::Application->Handle(),
                     [this](HWND w, UINT m, WPARAM wp, LPARAM lp) { return AppWindowHook(w, m, wp, lp); });
  InstallOwnerHook();
}

TTimerTrayIcon::~TTimerTrayIcon() {
  // The icon must not outlive the window the shell would call back.
  if (iconVisible_) Notify(NIM_DELETE);
  iconVisible_ = false;
  appHook_.Remove();
  ownerHook_.Remove();
  cycleTimer_.reset();
}

cl::TWinControl* TTimerTrayIcon::OwnerControl() const { return dynamic_cast<cl::TWinControl*>(Owner()); }

void TTimerTrayIcon::InstallOwnerHook() {
  cl::TWinControl* owner = OwnerControl();
  if (!owner || ownerHook_.Installed() || Designing()) return;
  ownerHook_.Install(owner->Handle(),
                     [this](HWND w, UINT m, WPARAM wp, LPARAM lp) { return OwnerWindowHook(w, m, wp, lp); });
}

void TTimerTrayIcon::Loaded() {
  inherited::Loaded();
  InstallOwnerHook();
  if (OwnerControl() && startMinimized_ && !Designing() && cl::Application) {
    cl::Application->SetShowMainForm(false);
    ShowWindow(cl::Application->Handle(), SW_HIDE);
  }
  RefreshTrayIcon();
  SetIconVisible(iconVisible_);
}

void TTimerTrayIcon::Notification(cl::TComponent* component, cl::TOperation operation) {
  inherited::Notification(component, operation);
  if (operation != cl::opRemove) return;
  if (component == iconList_) SetIconList(nullptr);
  if (component == popupMenu_) SetPopupMenu(nullptr);
}

// ------------------------------------------------------------------------------------------ properties

void TTimerTrayIcon::SetDesignPreview(bool value) {
  designPreview_ = value;
  previewing_ = true;
  SetIconVisible(value);
  previewing_ = false;
}

void TTimerTrayIcon::SetIconList(cl::TImageList* value) {
  if (iconList_ == value) return;
  if (iconList_) iconList_->RemoveFreeNotification(this);
  iconList_ = value;
  if (iconList_) iconList_->FreeNotification(this);
  SetIconIndex(0);
}

void TTimerTrayIcon::SetCycleIcons(bool value) {
  cycleIcons_ = value;
  if (value) SetIconIndex(0);
  cycleTimer_->SetEnabled(value);
}

void TTimerTrayIcon::SetCycleInterval(uint32_t value) {
  cycleInterval_ = value;
  cycleTimer_->SetInterval(value);
}

void TTimerTrayIcon::SetHint(const std::string& value) {
  hint_ = value;
  RefreshTrayIcon();
}

void TTimerTrayIcon::SetShowHint(bool value) {
  showHint_ = value;
  RefreshTrayIcon();
}

void TTimerTrayIcon::SetIcon(cl::TIcon* value) {
  if (value) icon_->Assign(value);
  else icon_->SetHandle(nullptr);
  RefreshTrayIcon();
}

void TTimerTrayIcon::SetIconVisible(bool value) {
  if (value) AddTrayIcon();
  else RemoveTrayIcon();
}

void TTimerTrayIcon::SetIconIndex(int value) {
  // An empty list has no index to take an icon from: it counts as no list.
  if (iconList_ && iconList_->Count() > 0) {
    iconIndex_ = std::clamp(value, 0, iconList_->Count() - 1);
    iconList_->GetIcon(iconIndex_, icon_.get());
  } else {
    iconIndex_ = 0;
  }
  RefreshTrayIcon();
}

void TTimerTrayIcon::SetPopupMenu(cl::TPopupMenu* value) {
  if (popupMenu_ == value) return;
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = value;
  if (popupMenu_) popupMenu_->FreeNotification(this);
}

// ------------------------------------------------------------------------------------------ the shell

void TTimerTrayIcon::RefreshData() {
  data_.hWnd = window_.Handle();
  data_.hIcon = icon_->Handle();
  std::fill(std::begin(data_.szTip), std::end(data_.szTip), L'\0');
  if (!hint_.empty() && showHint_) {
    // Cut to the buffer's own size, keeping room for the terminating zero and whole surrogate pairs.
    const std::wstring tip = cl::ToWide(hint_);
    size_t n = std::min(tip.size(), std::size(data_.szTip) - 1);
    if (n > 0 && n < tip.size() && IS_HIGH_SURROGATE(tip[n - 1])) --n;
    std::copy_n(tip.data(), n, data_.szTip);
  }
}

bool TTimerTrayIcon::ShellNotify(DWORD message, NOTIFYICONDATAW& data) {
  return Shell_NotifyIconW(message, &data) != FALSE;
}

bool TTimerTrayIcon::Notify(DWORD message) {
  RefreshData();
  return ShellNotify(message, data_);
}

bool TTimerTrayIcon::AddTrayIcon() {
  if (!previewing_) iconVisible_ = true;
  if (Designing() && !previewing_) return false;
  if (ComponentState().Contains(cl::csLoading)) return false;  // Loaded adds it
  return Notify(NIM_ADD);
}

bool TTimerTrayIcon::RemoveTrayIcon() {
  if (!previewing_) iconVisible_ = false;
  if (Designing() && !previewing_) return false;
  if (ComponentState().Contains(cl::csLoading)) return false;
  return Notify(NIM_DELETE);
}

bool TTimerTrayIcon::RefreshTrayIcon() {
  if (Designing() && !designPreview_ && !previewing_) return false;
  if (ComponentState().Contains(cl::csLoading)) return false;
  return Notify(NIM_MODIFY);
}

void TTimerTrayIcon::HideAppWindows() {
  if (!OwnerControl() || !cl::Application || !cl::Application->MainForm()) return;
  cl::Application->MainForm()->Hide();
  ShowWindow(cl::Application->Handle(), SW_HIDE);
}

void TTimerTrayIcon::RestoreAppWindows() {
  if (!OwnerControl() || !cl::Application || !cl::Application->MainForm()) return;
  ShowWindow(cl::Application->Handle(), SW_RESTORE);
  cl::Application->MainForm()->Show();
}

void TTimerTrayIcon::MinimizeToTrayAction() {
  HideAppWindows();
  SetIconVisible(true);
}

// ------------------------------------------------------------------------------------------ messages

void TTimerTrayIcon::WindowProc(cl::TMessage& m) {
  if (m.Msg == CallbackMessage) {
    if (enabled_) HandleMouse(static_cast<UINT>(m.LParam));
    m.Result = 0;
    return;
  }
  if (m.Msg == WM_QUERYENDSESSION) {
    m.Result = 1;
    return;
  }
  m.Result = DefWindowProcW(window_.Handle(), m.Msg, m.WParam, m.LParam);
}

void TTimerTrayIcon::HandleMouse(UINT mouseMessage) {
  POINT p{};
  GetCursorPos(&p);
  cl::TShiftState shift;
  if (GetAsyncKeyState(VK_SHIFT) < 0) shift.Include(cl::ssShift);
  if (GetAsyncKeyState(VK_MENU) < 0) shift.Include(cl::ssAlt);
  if (GetAsyncKeyState(VK_CONTROL) < 0) shift.Include(cl::ssCtrl);
  switch (mouseMessage) {
    case WM_MOUSEMOVE:
      DoMouseMove(shift, p.x, p.y);
      break;
    case WM_LBUTTONDOWN:
      DoMouseDown(cl::mbLeft, shift + cl::TShiftState{cl::ssLeft}, p.x, p.y);
      clickPending_ = true;
      if (leftPopup_) PopupMenuAtCursor();
      break;
    case WM_LBUTTONUP:
      if (clickPending_) {
        clickPending_ = false;
        DoClick();
      }
      DoMouseUp(cl::mbLeft, shift + cl::TShiftState{cl::ssLeft}, p.x, p.y);
      break;
    case WM_LBUTTONDBLCLK:
      DoDblClick();
      if (popupMenu_ && popupMenu_->AutoPopup() && !leftPopup_) {
        for (int i = 0; i < popupMenu_->Items()->Count(); ++i) {
          cl::TMenuItem* item = popupMenu_->Items()->Items(i);
          if (item->Default()) {
            item->Click();
            break;
          }
        }
      }
      break;
    case WM_RBUTTONDOWN:
      DoMouseDown(cl::mbRight, shift + cl::TShiftState{cl::ssRight}, p.x, p.y);
      PopupMenuAtCursor();
      break;
    case WM_RBUTTONUP:
      DoMouseUp(cl::mbRight, shift + cl::TShiftState{cl::ssRight}, p.x, p.y);
      break;
    case WM_MBUTTONDOWN:
      DoMouseDown(cl::mbMiddle, shift + cl::TShiftState{cl::ssMiddle}, p.x, p.y);
      break;
    case WM_MBUTTONUP:
      DoMouseUp(cl::mbMiddle, shift + cl::TShiftState{cl::ssMiddle}, p.x, p.y);
      break;
  }
}

void TTimerTrayIcon::PopupMenuAtCursor() {
  POINT p{};
  if (!popupMenu_ || !popupMenu_->AutoPopup() || !GetCursorPos(&p)) return;
  if (cl::Application) cl::Application->ProcessMessages();
  SetForegroundWindow(window_.Handle());
  cl::TWinControl* owner = OwnerControl();
  if (owner && owner->HandleAllocated()) SetForegroundWindow(owner->Handle());
  popupMenu_->SetPopupComponent(this);
  popupMenu_->Popup(p.x, p.y);
  // Lets the menu close properly when the user clicks elsewhere.
  if (owner && owner->HandleAllocated()) PostMessageW(owner->Handle(), WM_NULL, 0, 0);
}

void TTimerTrayIcon::CycleTimerTick(cl::TObject*) {
  if (!iconList_ || iconList_->Count() == 0) return;
  iconList_->GetIcon(iconIndex_, icon_.get());
  const int next = iconIndex_ < iconList_->Count() - 1 ? iconIndex_ + 1 : 0;
  DoCycle(next);
  RefreshTrayIcon();
  SetIconIndex(next);
}

LRESULT TTimerTrayIcon::AppWindowHook(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SIZE && wParam == SIZE_MINIMIZED && minimizeToTray_) {
    MinimizeToTrayAction();
  } else if (msg == WM_WINDOWPOSCHANGED && firstPositionChange_ && cl::Application &&
             cl::Application->MainForm()) {
    if (cl::Application->MainForm()->FormStyle() == cl::fsMDIForm && startMinimized_)
      ShowWindow(cl::Application->Handle(), SW_HIDE);
    firstPositionChange_ = false;
  }
  if (taskbarCreated_ && msg == taskbarCreated_ && iconVisible_) AddTrayIcon();
  return cl::TWindowSubclass::CallPrevious(wnd, msg, wParam, lParam);
}

LRESULT TTimerTrayIcon::OwnerWindowHook(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_ACTIVATE && (LOWORD(wParam) == WA_ACTIVE || LOWORD(wParam) == WA_CLICKACTIVE)) {
    auto* form = dynamic_cast<cl::TCustomForm*>(Owner());
    cl::TWinControl* active = form ? form->ActiveControl() : nullptr;
    if (active && active->HandleAllocated()) {
      HWND parent = GetParent(active->Handle());
      if (!parent) parent = active->Handle();
      if (parent != reinterpret_cast<HWND>(lParam)) SetFocus(active->Handle());
    }
  } else if (msg == WM_SHOWWINDOW && wParam == 1 && lParam == 0 && cl::Application) {
    ShowWindow(cl::Application->Handle(), SW_RESTORE);
    SetForegroundWindow(cl::Application->Handle());
    SetForegroundWindow(wnd);
  }
  return cl::TWindowSubclass::CallPrevious(wnd, msg, wParam, lParam);
}

}  // namespace pellwick
