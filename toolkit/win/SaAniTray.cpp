#include "SaAniTray.h"

#include <cstddef>

#include "Forms.h"
#include "FormReader.h"
#include "WinString.h"

namespace toolkit {

namespace {

constexpr UINT_PTR kRetryTimerId = 1;
constexpr UINT kTrayFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
// The first form of the record, which every shell version accepts.
constexpr DWORD kNotifyDataSize = offsetof(NOTIFYICONDATAW, szTip) + 64 * sizeof(WCHAR);

// At most max UTF-16 units of text, without cutting a surrogate pair in half.
std::wstring CutUtf16(std::wstring text, size_t max) {
  if (text.size() <= max) return text;
  size_t n = max;
  if (n > 0 && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF) --n;
  text.resize(n);
  return text;
}

}  // namespace

// The static icon. It is stored in descriptions as "Icon.Data", the bytes of an .ico file; the icon the
// component loads by itself (the default) is not stored.
class TSaAnimatedTrayIcon::TTrayImage : public cl::TIcon {
  CL_CLASS(TTrayImage, cl::TIcon)
  TTrayImage() = default;

  void DefineProperties(cl::TFiler& filer) override {
    inherited::DefineProperties(filer);
    for (const cl::TFiler::TDefinition& d : filer.Definitions())
      if (d.Name == "Data") return;  // the icon class stores its data itself
    filer.DefineBinaryProperty(
        "Data", [this](cl::TStream& s) { LoadFromStream(s); }, [this](cl::TStream& s) { SaveToStream(s); },
        filer.Writing() && !Empty() && !IsDefault);
  }

  bool IsDefault = false;
};

cl::TClass TSaAnimatedTrayIcon::TTrayImage::StaticClass() {
  static const cl::TMetaClass meta = cl::TClassBuilder<TTrayImage>("TSaTrayImage");
  return &meta;
}

CL_BEGIN_CLASS(TSaAnimatedTrayIcon)
    .Bool("Active", &TSaAnimatedTrayIcon::Active, &TSaAnimatedTrayIcon::SetActive, false)
    .Object("Icon", &TSaAnimatedTrayIcon::Icon, &TSaAnimatedTrayIcon::SetIcon)
    .Object("Animation", &TSaAnimatedTrayIcon::Animation, &TSaAnimatedTrayIcon::SetAnimation)
    .Str("Hint", &TSaAnimatedTrayIcon::Hint, &TSaAnimatedTrayIcon::SetHint)
    .Object("PopupMenu", &TSaAnimatedTrayIcon::PopupMenu, &TSaAnimatedTrayIcon::SetPopupMenu)
    .Int("RepeatCount", &TSaAnimatedTrayIcon::RepeatCount, &TSaAnimatedTrayIcon::SetRepeatCount, 0)
    .Bool("ShowHint", &TSaAnimatedTrayIcon::ShowHint, &TSaAnimatedTrayIcon::SetShowHint, true)
    .Enum("Style", &TSaAnimatedTrayIcon::Style, &TSaAnimatedTrayIcon::SetStyle, {"tsNormal", "tsAnimated"},
          tsNormal)
    .Event("OnClick", &TSaAnimatedTrayIcon::OnClick)
    .Event("OnDblClick", &TSaAnimatedTrayIcon::OnDblClick)
    .Event("OnEndAnimation", &TSaAnimatedTrayIcon::OnEndAnimation)
    .Event("OnMouseDown", &TSaAnimatedTrayIcon::OnMouseDown)
    .Event("OnMouseUp", &TSaAnimatedTrayIcon::OnMouseUp)
    .Event("OnMouseMove", &TSaAnimatedTrayIcon::OnMouseMove)
CL_END_CLASS

TSaAnimatedTrayIcon::TSaAnimatedTrayIcon(cl::TComponent* owner)
    : TSaWindowedComponent(owner),
      icon_(std::make_unique<TTrayImage>()),
      animation_(std::make_unique<TSaAnimatedIcons>(false)),
      callbackMessage_(RegisterWindowMessageW(L"TSaAnimatedTrayIconCallBackMsg")),
      taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated")) {
  icon_->SetSize(16, 16);
  LoadDefaultIcon();
  icon_->OnChange = [this](cl::TObject* s) { IconChanged(s); };
  animation_->OnNewFrame = [this](cl::TObject* s, int f) { AnimationNewFrame(s, f); };
  animation_->OnStopped = [this](cl::TObject* s) { AnimationStopped(s); };
  if (cl::Application && cl::Application->Handle())
    appExStyle_ = GetWindowLongW(cl::Application->Handle(), GWL_EXSTYLE);
}

void TSaAnimatedTrayIcon::BeforeDestruction() {
  // Here the whole object (and a descendant's ShellNotify) still exists.
  Shutdown();
  inherited::BeforeDestruction();
}

TSaAnimatedTrayIcon::~TSaAnimatedTrayIcon() {
  Shutdown();
  // While this object is still whole, so that no message of the window reaches a part of it that is gone.
  DestroyHandle();
}

void TSaAnimatedTrayIcon::Shutdown() noexcept {
  *alive_ = false;
  // No frame and no end of play may reach the component from here on.
  animation_->OnNewFrame = nullptr;
  animation_->OnStopped = nullptr;
  icon_->OnChange = nullptr;
  if (animation_->Playing()) animation_->Stop();
  StopRetry();
  if (added_) {
    try {
      NotifyShell(NIM_DELETE, kTrayFlags, nullptr);
    } catch (...) {
      // Destruction goes on; the shell drops the icon of a window that is gone.
    }
    added_ = false;
  }
  active_ = false;
}

cl::TIcon* TSaAnimatedTrayIcon::Icon() const noexcept { return icon_.get(); }

bool TSaAnimatedTrayIcon::Live() const {
  return active_ && !ComponentState().Contains(cl::csLoading) && !ComponentState().Contains(cl::csDesigning) &&
         !ComponentState().Contains(cl::csDestroying);
}

HICON TSaAnimatedTrayIcon::DefaultIcon() {
  return static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), L"TRAYICON", IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
}

void TSaAnimatedTrayIcon::LoadDefaultIcon() {
  icon_->SetHandle(DefaultIcon());
  icon_->IsDefault = true;
}

void TSaAnimatedTrayIcon::HideAppButton() {
  if (cl::Application && cl::Application->Handle())
    SetWindowLongW(cl::Application->Handle(), GWL_EXSTYLE, appExStyle_ | WS_EX_TOOLWINDOW);
}

void TSaAnimatedTrayIcon::Loaded() {
  inherited::Loaded();
  // A description may leave the icon empty.
  if (icon_->Empty()) {
    changingIcon_ = true;
    LoadDefaultIcon();
    changingIcon_ = false;
  }
  UpdateTray();
}

void TSaAnimatedTrayIcon::Notification(cl::TComponent* component, cl::TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == cl::opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

// ---------------------------------------------------------------------------------------------------------
// Properties.

void TSaAnimatedTrayIcon::SetActive(bool value) {
  if (value == active_) return;
  active_ = value;
  UpdateTray();
}

void TSaAnimatedTrayIcon::SetIcon(cl::TIcon* value) {
  changingIcon_ = true;
  try {
    icon_->Assign(value);
    icon_->IsDefault = false;
    if (icon_->Empty()) LoadDefaultIcon();
  } catch (...) {
    changingIcon_ = false;
    throw;
  }
  changingIcon_ = false;
  IconChanged(icon_.get());
}

void TSaAnimatedTrayIcon::SetAnimation(TSaAnimatedIcons* value) { animation_->Assign(value); }

void TSaAnimatedTrayIcon::SetHint(const std::string& value) {
  if (value == hint_) return;
  hint_ = value;
  if (Live() && added_) NotifyShell(NIM_MODIFY, NIF_TIP, nullptr);
}

void TSaAnimatedTrayIcon::SetShowHint(bool value) {
  if (value == showHint_) return;
  showHint_ = value;
  if (Live() && added_) NotifyShell(NIM_MODIFY, NIF_TIP, nullptr);
}

void TSaAnimatedTrayIcon::SetPopupMenu(cl::TPopupMenu* value) {
  if (value == popupMenu_) return;
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = value;
  if (value) value->FreeNotification(this);
}

void TSaAnimatedTrayIcon::SetRepeatCount(int value) {
  if (value < 0 || value == repeatCount_) return;
  repeatCount_ = value;
  if (Live()) ModifyIcon(CurrentIcon());
}

void TSaAnimatedTrayIcon::SetStyle(TSaTrayIconStyle value) {
  if (value == style_) return;
  style_ = value;
  if (Live()) ModifyIcon(CurrentIcon());
}

void TSaAnimatedTrayIcon::IconChanged(cl::TObject*) {
  if (changingIcon_) return;
  icon_->IsDefault = false;
  if (Live()) ModifyIcon(CurrentIcon());
}

// ---------------------------------------------------------------------------------------------------------
// The shell.

bool TSaAnimatedTrayIcon::TaskbarExists() { return FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr; }

bool TSaAnimatedTrayIcon::ShellNotify(DWORD message, NOTIFYICONDATAW& data) {
  return Shell_NotifyIconW(message, &data) != FALSE;
}

bool TSaAnimatedTrayIcon::NotifyShell(DWORD message, UINT flags, HICON icon) {
  if (ComponentState().Contains(cl::csLoading) || ComponentState().Contains(cl::csDesigning)) return false;
  NOTIFYICONDATAW data{};
  data.cbSize = kNotifyDataSize;
  data.hWnd = Handle();
  data.uID = 0;
  data.uFlags = flags;
  data.uCallbackMessage = callbackMessage_;
  data.hIcon = icon;
  if (showHint_) {
    const std::wstring tip = CutUtf16(cl::ToWide(hint_), 63);
    tip.copy(data.szTip, tip.size());
  }
  return ShellNotify(message, data);
}

void TSaAnimatedTrayIcon::ModifyIcon(HICON icon) {
  // An icon the shell does not hold yet gets everything when it is added.
  if (added_) NotifyShell(NIM_MODIFY, NIF_ICON, icon);
}

HICON TSaAnimatedTrayIcon::CurrentIcon() {
  if (style_ == tsAnimated && animation_->Count() > 0) {
    if (active_ && !ComponentState().Contains(cl::csDesigning)) {
      lastFrame_ = 0;
      animation_->Play(repeatCount_);
    }
    return animation_->Icons(0)->Handle();
  }
  if (animation_->Playing()) animation_->Stop();
  return icon_->Handle();
}

void TSaAnimatedTrayIcon::UpdateTray() {
  if (ComponentState().Contains(cl::csLoading) || ComponentState().Contains(cl::csDesigning)) return;
  if (active_) {
    const HICON icon = CurrentIcon();
    if (added_)
      NotifyShell(NIM_MODIFY, kTrayFlags, icon);
    else
      AddToTray();
    return;
  }
  StopRetry();
  // Nothing plays for an icon that is not shown.
  if (animation_->Playing()) animation_->Stop();
  if (added_) {
    added_ = false;
    NotifyShell(NIM_DELETE, kTrayFlags, CurrentIcon());
  }
}

void TSaAnimatedTrayIcon::AddToTray() {
  if (!Live()) return;
  // While the icon plays, the frame shown last; else what the style shows.
  HICON icon = nullptr;
  if (style_ == tsAnimated && animation_->Playing() && lastFrame_ < animation_->Count())
    icon = animation_->Icons(lastFrame_)->Handle();
  else
    icon = CurrentIcon();
  // A shell that refuses the addition may already hold the icon (an announcement it sent twice).
  if (TaskbarExists() &&
      (NotifyShell(NIM_ADD, kTrayFlags, icon) || NotifyShell(NIM_MODIFY, kTrayFlags, icon))) {
    added_ = true;
    StopRetry();
    return;
  }
  // No taskbar yet (or it refused): offer the icon again for a while, and whenever a taskbar announces
  // itself.
  if (!retrying_) {
    retrying_ = true;
    retryUntil_ = GetTickCount64() + kRetryPeriod;
    SetTimer(Handle(), kRetryTimerId, kRetryInterval, nullptr);
  }
}

void TSaAnimatedTrayIcon::StopRetry() {
  if (!retrying_) return;
  retrying_ = false;
  if (HandleAllocated()) KillTimer(Handle(), kRetryTimerId);
}

void TSaAnimatedTrayIcon::RetryTick() {
  if (!Live() || added_) {
    StopRetry();
    return;
  }
  AddToTray();
  if (!added_ && GetTickCount64() >= retryUntil_) StopRetry();
}

// ---------------------------------------------------------------------------------------------------------
// Messages.

void TSaAnimatedTrayIcon::WndProc(cl::TMessage& message) {
  if (message.Msg == callbackMessage_ && message.WParam == 0) {
    HandleTrayMessage(message.LParam);
    return;
  }
  if (message.Msg == taskbarCreated_ && taskbarCreated_ != 0) {
    // A new taskbar knows no icons: add this one again.
    added_ = false;
    AddToTray();
    return;
  }
  if (message.Msg == WM_TIMER && message.WParam == kRetryTimerId) {
    RetryTick();
    return;
  }
  inherited::WndProc(message);
}

void TSaAnimatedTrayIcon::HandleTrayMessage(LPARAM mouseMessage) {
  switch (mouseMessage) {
    case WM_MOUSEMOVE:
      MouseMove();
      break;
    case WM_LBUTTONDOWN:
      wasDoubleClick_ = false;
      MouseDown(cl::mbLeft, {});
      break;
    case WM_LBUTTONUP: {
      const std::shared_ptr<bool> alive = alive_;
      if (!wasDoubleClick_) Click();
      if (*alive) MouseUp(cl::mbLeft);
      break;
    }
    case WM_LBUTTONDBLCLK: {
      const std::shared_ptr<bool> alive = alive_;
      wasDoubleClick_ = true;
      DblClick();
      if (*alive) MouseDown(cl::mbLeft, cl::TShiftState{cl::ssDouble});
      break;
    }
    case WM_RBUTTONDOWN:
      RightButtonDown();
      break;
    case WM_RBUTTONUP:
      MouseUp(cl::mbRight);
      break;
    case WM_RBUTTONDBLCLK:
      MouseDown(cl::mbRight, cl::TShiftState{cl::ssDouble});
      break;
    case WM_MBUTTONDOWN:
      MouseDown(cl::mbMiddle, {});
      break;
    case WM_MBUTTONUP:
      MouseUp(cl::mbMiddle);
      break;
    case WM_MBUTTONDBLCLK:
      MouseDown(cl::mbMiddle, cl::TShiftState{cl::ssDouble});
      break;
    default:
      break;
  }
}

void TSaAnimatedTrayIcon::RightButtonDown() {
  const std::shared_ptr<bool> alive = alive_;
  MouseDown(cl::mbRight, {});
  if (!*alive || !popupMenu_) return;
  auto* form = dynamic_cast<cl::TCustomForm*>(Owner());
  // The menu closes on a click elsewhere only when the program is in the foreground.
  HWND front = GetActiveWindow();
  if (!front && form) front = form->Handle();
  if (!front && cl::Application) front = cl::Application->Handle();
  if (front) SetForegroundWindow(front);
  POINT pt{};
  GetCursorPos(&pt);
  popupMenu_->Popup(pt.x, pt.y);
  if (!*alive) return;
  // Lets the owner form's window see a message after the menu, so the shell's focus is set right.
  form = dynamic_cast<cl::TCustomForm*>(Owner());
  if (form && form->HandleAllocated()) PostMessageW(form->Handle(), WM_USER, 0, 0);
}

cl::TShiftState TSaAnimatedTrayIcon::GetShiftState() {
  cl::TShiftState shift;
  if (GetAsyncKeyState(VK_CONTROL) < 0) shift.Include(cl::ssCtrl);
  if (GetAsyncKeyState(VK_MENU) < 0) shift.Include(cl::ssAlt);
  if (GetAsyncKeyState(VK_SHIFT) < 0) shift.Include(cl::ssShift);
  return shift;
}

void TSaAnimatedTrayIcon::Click() { OnClick(this); }
void TSaAnimatedTrayIcon::DblClick() { OnDblClick(this); }
void TSaAnimatedTrayIcon::MouseMove() { OnMouseMove(this); }

void TSaAnimatedTrayIcon::MouseDown(cl::TMouseButton button, cl::TShiftState shift) {
  OnMouseDown(this, button, shift + GetShiftState());
}

void TSaAnimatedTrayIcon::MouseUp(cl::TMouseButton button) { OnMouseUp(this, button, GetShiftState()); }

// ---------------------------------------------------------------------------------------------------------
// The animation.

void TSaAnimatedTrayIcon::AnimationNewFrame(cl::TObject*, int frame) {
  if (frame < 0 || frame >= animation_->Count()) return;
  // Frame `frame` has had its time: the next one shows now. The play began on frame 0; after the last
  // frame of the last pass it stops, and what comes then is the end's to show.
  int next = frame + 1;
  if (next >= animation_->Count()) {
    if (animation_->LastPass()) return;
    next = 0;
  }
  lastFrame_ = next;
  if (Live()) ModifyIcon(animation_->Icons(next)->Handle());
}

void TSaAnimatedTrayIcon::AnimationStopped(cl::TObject*) {
  if (repeatCount_ != 0) OnEndAnimation(this);
}

}  // namespace toolkit
