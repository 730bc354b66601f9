#include "WinSkinDlg.h"

#include <algorithm>
#include <exception>

#include "Forms.h"
#include "SysUtils.h"
#include "WinSkinForm.h"
#include "WinSkinMenu.h"
#include "WinString.h"

namespace skin {

namespace {

// The one manager of the GUI thread; its hook and timer find it here.
std::unique_ptr<TSkinManage>& ManagerSlot() {
  static std::unique_ptr<TSkinManage> manager;
  return manager;
}

LRESULT CALLBACK SkinCBTHook(int code, WPARAM wParam, LPARAM lParam) {
  if (TSkinManage* manager = SkinManager()) {
    // Whatever the skinning finds, the next hook sees the code.
    try {
      manager->HookEvent(code, wParam, lParam);
    } catch (const std::exception& e) {
      if (cl::Application) cl::Application->HandleException(e);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Resets a flag however the scope is left.
class TFlagGuard {
 public:
  TFlagGuard(bool& flag, bool value) : flag_(flag), old_(flag) { flag_ = value; }
  ~TFlagGuard() { flag_ = old_; }
  TFlagGuard(const TFlagGuard&) = delete;
  TFlagGuard& operator=(const TFlagGuard&) = delete;

 private:
  bool& flag_;
  bool old_;
};

// The owner's window when the owner is a control whose window exists; never makes one.
HWND OwnerWindow(const TSkinData* data) {
  auto* control = dynamic_cast<cl::TWinControl*>(data->Owner());
  return control && control->HandleAllocated() ? control->Handle() : nullptr;
}

}  // namespace

TSkinManage* SkinManager() noexcept { return ManagerSlot().get(); }

SIZE StoredWindowSize(cl::TWinControl& window) {
  if (TSkinManage* manager = SkinManager(); manager && window.HandleAllocated())
    if (const TWinSkinForm* form = manager->FindSkinForm(window.Handle())) return form->UnskinnedSize();
  return SIZE{window.Width(), window.Height()};
}

TSkinManage& EnsureSkinManager() {
  if (!ManagerSlot()) ManagerSlot() = std::make_unique<TSkinManage>();
  return *ManagerSlot();
}

void ReleaseSkinManagerIfUnused() noexcept {
  if (ManagerSlot() && ManagerSlot()->SkinDataCount() == 0) ManagerSlot().reset();
}

std::string WindowClassName(HWND wnd) {
  wchar_t buffer[256] = {};
  GetClassNameW(wnd, buffer, 256);
  return cl::FromWide(buffer);
}

std::string LowerWindowClassName(HWND wnd) { return cl::LowerCase(WindowClassName(wnd)); }

TSkinManage::TSkinManage() {
  timer_.SetEnabled(false);
  timer_.SetInterval(250);
  timer_.SetOnTimer([this](cl::TObject* sender) { DoTimer(sender); });
}

TSkinManage::~TSkinManage() {
  HookState = kHookStateDestroying;
  timer_.SetEnabled(false);
  if (hook_) UnhookWindowsHookEx(hook_);
  hook_ = nullptr;
  // Normally empty: each component unskins its windows as it goes.
  while (!forms_.empty()) UnskinAndFree(forms_.back());
  for (auto& popup : popups_) popup->Detach();
  popups_.clear();
}

void TSkinManage::InstallHook() {
  WindowsVersion = GetVersion();
  if (hook_) return;
  hook_ = SetWindowsHookExW(WH_CBT, SkinCBTHook, nullptr, GetCurrentThreadId());
  if (!hook_) cl::RaiseOSError(GetLastError(), "SetWindowsHookEx");
}

void TSkinManage::AddSkinData(TSkinData* data) {
  if (std::find(data_.begin(), data_.end(), data) != data_.end()) return;
  data_.push_back(data);
  if (!DefaultData && data->SkinFormtype() == sfMainform) DefaultData = data;
}

void TSkinManage::RemoveSkinData(TSkinData* data) {
  std::erase(data_, data);
  if (DefaultData == data) DefaultData = nullptr;
  if (PendingData == data) PendingData = nullptr;
}

TSkinData* TSkinManage::FindSkinData(HWND wnd) const {
  auto lastOf = [this](auto&& accepts) -> TSkinData* {
    for (auto it = data_.rbegin(); it != data_.rend(); ++it)
      if (accepts(*it)) return *it;
    return nullptr;
  };
  if (TSkinData* d = lastOf([wnd](TSkinData* d) { return d->SkinFormtype() == sfOnlyThisForm && OwnerWindow(d) == wnd; }))
    return d;
  const std::string name = LowerWindowClassName(wnd);
  if (name == "tmessageform" || name == "#32770")
    if (TSkinData* d = lastOf([](TSkinData* d) { return d->SkinFormtype() == sfDialog; })) return d;
  if (TSkinData* d = lastOf([](TSkinData* d) { return d->SkinFormtype() == sfMainform; })) return d;
  return data_.empty() ? nullptr : data_.front();
}

const cl::TBitmap* TSkinManage::MainFormIcon() const noexcept {
  for (auto it = data_.rbegin(); it != data_.rend(); ++it)
    if ((*it)->SkinFormtype() == sfMainform && !(*it)->IconBitmap.Empty()) return &(*it)->IconBitmap;
  return nullptr;
}

bool TSkinManage::CanSkinForm(const std::string& className) const {
  bool doSkin = true;
  if (DefaultData) DefaultData->DoFormSkin(className, doSkin);
  return doSkin;
}

bool TSkinManage::SkinWindow(HWND wnd) {
  if (!ManagerActive || !IsWindow(wnd)) return false;
  // Only this thread's windows can be subclassed, and asking another thread's window would wait for it;
  // the activation hook is told of such windows too (seen after the tray menu's about box).
  if (GetWindowThreadProcessId(wnd, nullptr) != GetCurrentThreadId()) return false;
  PurgeClosedForms();
  if (SendMessageW(wnd, kSkinMsgIsSkinned, 0, 0) == 1 || FindSkinForm(wnd)) return false;
  if (!ForcedPass && (GetWindowLongW(wnd, GWL_STYLE) & WS_CHILD) &&
      LowerWindowClassName(GetParent(wnd)) != "mdiclient")
    return false;
  RECT r{};
  GetWindowRect(wnd, &r);
  if (r.right - r.left == 0 || r.bottom - r.top == 0) return false;
  cl::TCustomForm* form = cl::Screen().FindForm(wnd);
  if (form && form->Tag() == 99) return false;  // the number itself, whatever DisableTag says
  const std::string className = WindowClassName(wnd);
  if (className == "TApplication" || className == "TQRStandardPreview" || !CanSkinForm(className)) return false;
  TSkinData* data = FindSkinData(wnd);
  if (!data || data->NoSkin) return false;

  auto skinned = std::make_unique<TWinSkinForm>(form);
  skinned->SetHandle(wnd);
  if (form)
    skinned->InitForm(data, form);
  else
    skinned->SkinWindow(data);
  forms_.push_back(skinned.release());
  PostMessageW(wnd, kSkinMsgSkinControls, 0, kSkinControlsPosted);
  return true;
}

void TSkinManage::SkinForm(cl::TCustomForm* form) {
  if (!form->Visible() || !form->HandleAllocated()) return;
  if ((GetWindowLongW(form->Handle(), GWL_STYLE) & WS_CHILD) && form->FormStyle() != cl::fsMDIChild) return;
  SkinWindow(form->Handle());
}

TWinSkinForm* TSkinManage::FindSkinForm(HWND wnd) const noexcept {
  for (TWinSkinForm* f : forms_)
    if (f->Handle() == wnd) return f;
  return nullptr;
}

void TSkinManage::RemoveSkinForm(const TWinSkinForm* form) noexcept {
  std::erase(forms_, const_cast<TWinSkinForm*>(form));
}

void TSkinManage::PurgeClosedForms() {
  for (size_t i = forms_.size(); i-- > 0;) {
    if (i >= forms_.size() || forms_[i]->SkinState() != kSkinStateDestroyed) continue;
    TWinSkinForm* closed = forms_[i];
    forms_.erase(forms_.begin() + static_cast<std::ptrdiff_t>(i));
    delete closed;
  }
}

void TSkinManage::UnskinFormsOf(const TSkinData* data) {
  for (size_t i = forms_.size(); i-- > 0;)
    if (i < forms_.size() && forms_[i]->Data() == data) UnskinAndFree(forms_[i]);
}

void TSkinManage::UnskinAndFree(TWinSkinForm* form) {
  RemoveSkinForm(form);
  const HWND wnd = form->Handle();
  if (form->SkinState() != kSkinStateDestroyed) {
    form->Unskin();
    if (IsWindow(wnd)) {
      InvalidateRect(wnd, nullptr, TRUE);
      UpdateWindow(wnd);
    }
  }
  delete form;
}

void TSkinManage::RefreshForms() { ClearSysButtonsOf(PendingData); }

void TSkinManage::ClearSysButtonsOf(const TSkinData* data) {
  for (TWinSkinForm* form : forms_)
    if (form->Data() == data) form->ClearSysButtons();
}

void TSkinManage::RequestAction(int action, UINT interval) {
  PendingAction = action;
  timer_.SetInterval(interval);
  if (HookState != 0) {
    timer_.SetEnabled(true);
  } else if (action == kActionSkinAll) {
    ManagerActive = true;
  } else if (action == kActionUnskinAll) {
    ManagerActive = false;
  }
}

void TSkinManage::DoTimer(cl::TObject*) {
  // One tick serves one request: with nothing pending the timer must not go on waking the program.
  timer_.SetEnabled(false);
  TSkinData* data = PendingData;
  if (!data) return;
  RunAction(PendingAction, data);
  // The handler may free the last component and with it this manager: nothing is touched after it.
  PendingData = nullptr;
  data->DoSkinChanged();
}

void TSkinManage::RunAction(int action, TSkinData* data) {
  const bool onlyThisForm = data->SkinFormtype() == sfOnlyThisForm;
  switch (action) {
    case kActionSkinAll:
      ManagerActive = true;
      if (onlyThisForm)
        SkinOwnerForm(data);
      else
        SkinAllForms();
      break;
    case kActionUnskinAll:
      ManagerActive = false;
      PurgeClosedForms();
      for (size_t i = forms_.size(); i-- > 0;) {
        if (i >= forms_.size() || (onlyThisForm && forms_[i]->Data() != data)) continue;
        UnskinAndFree(forms_[i]);
        if (onlyThisForm) break;
      }
      break;
    case kActionRefresh:
      PurgeClosedForms();
      // Every window gets its buttons from the new skin before any of them recolours.
      for (TWinSkinForm* form : forms_) {
        if (form->Data() != data) continue;
        form->ClearSysButtons();
        form->CreateSysButtons();
        if (onlyThisForm) break;
      }
      for (size_t i = 0; i < forms_.size(); ++i) {
        if (forms_[i]->Data() != data) continue;
        forms_[i]->SkinColorsChanged();
        if (onlyThisForm) break;
      }
      break;
    case kActionPurge:
      PurgeClosedForms();
      break;
    default:
      break;
  }
}

void TSkinManage::SkinAllForms() {
  TFlagGuard forced(ForcedPass, true);
  PurgeClosedForms();
  cl::TScreen& screen = cl::Screen();
  for (int i = screen.FormCount(); i-- > 0;)
    if (i < screen.FormCount()) SkinForm(screen.Forms(i));
}

void TSkinManage::SkinOwnerForm(const TSkinData* data) {
  TFlagGuard forced(ForcedPass, true);
  cl::TScreen& screen = cl::Screen();
  for (int i = screen.FormCount(); i-- > 0;) {
    if (screen.Forms(i) != data->Owner()) continue;
    SkinForm(screen.Forms(i));
    break;
  }
}

void TSkinManage::HookEvent(int code, WPARAM wParam, LPARAM lParam) {
  if (code < 0) return;
  // A popup skin goes with its window also while skinning is off: it must not outlive the window.
  if (code == HCBT_DESTROYWND) {
    UnskinPopupMenu(reinterpret_cast<HWND>(wParam));
    return;
  }
  if (!ManagerActive) {
    if (code == HCBT_ACTIVATE && HookState == 0) HookState = 1;
    return;
  }
  switch (code) {
    case HCBT_CREATEWND: {
      const auto* create = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
      const HWND wnd = reinterpret_cast<HWND>(wParam);
      if (!create || !create->lpcs) break;
      const DWORD style = static_cast<DWORD>(create->lpcs->style);
      // A size grip made after its window was skinned (a dialog's, at its first sizing) gets its painter
      // from that window.
      if ((style & SBS_SIZEGRIP) && WindowClassName(wnd) == "ScrollBar")
        if (TWinSkinForm* parent = FindSkinForm(create->lpcs->hwndParent)) parent->SkinChildWindow(wnd);
      if (!(style & WS_CHILD) && WindowClassName(wnd) == "#32768") SkinPopupMenu(wnd);
      break;
    }
    case HCBT_ACTIVATE:
      if (HookState == 0) HookState = 1;
      SkinWindow(reinterpret_cast<HWND>(wParam));
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------------------------------------
// Popup menus.

void TSkinManage::SkinPopupMenu(HWND wnd) {
  if (!ManagerActive || IsPopupMenuSkinned(wnd) || SendMessageW(wnd, kSkinMsgIsSkinned, 0, 0) == 1) return;
  TSkinData* data = FindSkinData(wnd);
  if (!data || data->NoSkin) return;
  const TSkinControlTypes on = data->SkinControls();
  switch (PopupMenuKind) {
    case 0:
      if (!on.Contains(xcPopupMenu)) return;
      break;
    case 1:
      if (!on.Contains(xcMainMenu) && !on.Contains(xcMenuItem)) return;
      break;
    case 2:
      if (!on.Contains(xcSystemMenu)) return;
      break;
    default:
      break;
  }
  auto popup = std::make_unique<TWinSkinPopMenu>(*this);
  try {
    popup->Attach(wnd, data);
  } catch (const std::exception&) {
    return;  // a menu window that cannot be subclassed keeps the system's frame
  }
  popups_.push_back(std::move(popup));
}

void TSkinManage::UnskinPopupMenu(HWND wnd) {
  const auto it = std::find_if(popups_.begin(), popups_.end(), [wnd](const auto& p) { return p->Handle() == wnd; });
  if (it == popups_.end()) return;
  (*it)->Detach();
  popups_.erase(it);
  if (popups_.empty()) PopupMenuKind = 0;
}

bool TSkinManage::IsPopupMenuSkinned(HWND wnd) const noexcept {
  return std::any_of(popups_.begin(), popups_.end(), [wnd](const auto& p) { return p->Handle() == wnd; });
}

cl::TBitmap* TSkinManage::FindPopupMenuBitmap(HMENU menu) const {
  if (!menu) return nullptr;
  for (const auto& popup : popups_)
    if (popup->Menu() == menu) return popup->FrameBitmap();
  return nullptr;
}

void TSkinManage::SetMDIMaximized(bool value) {
  if (value == MDIMaximized) return;
  MDIMaximized = value;
  for (TWinSkinForm* form : std::vector<TWinSkinForm*>(forms_)) form->MDIMaximizedChanged(value);
}

}  // namespace skin
