// The skin manager: the one coordinator of skinning on the GUI thread. It watches window activation
// through a thread-local CBT hook, decides which top-level windows get a TWinSkinForm and with which skin
// component, and runs the actions that components queue (skin all, unskin all, refresh, purge) from a
// timer, after the current message has finished.
//
// There is one manager while at least one skin component exists: the first component's Loaded makes it,
// and the last component's end unskins every window and ends it, hook and timer included. Nothing can
// therefore reach a manager that is gone.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ExtCtrls.h"
#include "WinSkinData.h"

namespace cl {
class TCustomForm;
}

namespace skin {

class TWinSkinForm;
class TWinSkinPopMenu;

// Private messages of the skinned windows.
inline constexpr UINT kSkinMsgRecolor = 0x3401;
inline constexpr UINT kSkinMsgRepaintFrame = 0x3502;
inline constexpr UINT kSkinMsgSkinControls = 0x3503;
inline constexpr UINT kSkinMsgIsSkinned = 0x3504;
// lParam of kSkinMsgSkinControls as the manager posts it.
inline constexpr LPARAM kSkinControlsPosted = 1000;

// Queued actions.
inline constexpr int kActionSkinAll = 1;
inline constexpr int kActionUnskinAll = 2;
inline constexpr int kActionRefresh = 3;
inline constexpr int kActionPurge = 6;

// HookState while the manager is being destroyed.
inline constexpr int kHookStateDestroying = 4;

class TSkinManage {
 public:
  TSkinManage();
  // Unskins and frees every window still listed, then removes the hook.
  ~TSkinManage();
  TSkinManage(const TSkinManage&) = delete;
  TSkinManage& operator=(const TSkinManage&) = delete;

  // Installs the CBT hook for the calling thread (once).
  void InstallHook();
  bool HookInstalled() const noexcept { return hook_ != nullptr; }

  void AddSkinData(TSkinData* data);
  // Also clears DefaultData and PendingData when they are this component.
  void RemoveSkinData(TSkinData* data);
  int SkinDataCount() const noexcept { return static_cast<int>(data_.size()); }
  TSkinData* FindSkinData(HWND wnd) const;
  bool CanSkinForm(const std::string& className) const;
  // The icon for windows that have none and whose component has none: the last main-form component's
  // shared icon that is not empty; null when there is none.
  const cl::TBitmap* MainFormIcon() const noexcept;

  // True when it made a skin for the window.
  bool SkinWindow(HWND wnd);
  void SkinForm(cl::TCustomForm* form);
  TWinSkinForm* FindSkinForm(HWND wnd) const noexcept;
  // Takes it out of the list without freeing it (the skinned window's destructor).
  void RemoveSkinForm(const TWinSkinForm* form) noexcept;
  int SkinFormCount() const noexcept { return static_cast<int>(forms_.size()); }
  TWinSkinForm* SkinForms(int index) const { return forms_.at(static_cast<size_t>(index)); }
  // Frees the skins of windows that were destroyed (skin state 6).
  void PurgeClosedForms();
  // Unskins and frees every window skinned with `data`.
  void UnskinFormsOf(const TSkinData* data);

  void RequestAction(int action, UINT interval);
  // The action timer is running: a request waits for its tick.
  bool ActionTimerRunning() const noexcept { return timer_.Enabled(); }
  // The windows skinned with PendingData drop their title-bar buttons (a new skin is coming).
  void RefreshForms();
  // The windows skinned with data drop their title-bar buttons.
  void ClearSysButtonsOf(const TSkinData* data);

  // The CBT hook's work for one code; the hook itself always passes the code on.
  void HookEvent(int code, WPARAM wParam, LPARAM lParam);

  // Popup menu windows: a skin for a new one when the skin allows the kind of menu about to open; the
  // skin goes when the window goes.
  void SkinPopupMenu(HWND wnd);
  void UnskinPopupMenu(HWND wnd);
  bool IsPopupMenuSkinned(HWND wnd) const noexcept;
  int PopupMenuCount() const noexcept { return static_cast<int>(popups_.size()); }
  // The frame picture of the open popup that shows this menu; null when none.
  cl::TBitmap* FindPopupMenuBitmap(HMENU menu) const;

  bool ManagerActive = false;
  bool ForcedPass = false;
  int HookState = 0;
  // Which menu is about to open: 0 popup, 1 menu bar, 2 system menu.
  int PopupMenuKind = 0;
  bool MDIMaximized = false;
  // Sets or clears MDIMaximized; every skinned MDI child follows a change.
  void SetMDIMaximized(bool value);
  int PendingAction = 0;
  TSkinData* PendingData = nullptr;
  TSkinData* DefaultData = nullptr;
  // GetVersion's result, recorded by InstallHook.
  DWORD WindowsVersion = 0;

 private:
  void DoTimer(cl::TObject* sender);
  void RunAction(int action, TSkinData* data);
  void SkinAllForms();
  void SkinOwnerForm(const TSkinData* data);
  // Unskins, redraws, unlists and frees one skin.
  void UnskinAndFree(TWinSkinForm* form);

  cl::TTimer timer_{nullptr};
  HHOOK hook_ = nullptr;
  std::vector<TWinSkinForm*> forms_;
  std::vector<TSkinData*> data_;
  std::vector<std::unique_ptr<TWinSkinPopMenu>> popups_;
};

// The manager; null while no skin component exists.
TSkinManage* SkinManager() noexcept;
// Makes it when there is none.
TSkinManage& EnsureSkinManager();
// Ends it once no component is registered any more.
void ReleaseSkinManagerIfUnused() noexcept;
// The size a program stores for its window: the size with the system's frame around the present client
// area when the window is skinned (the skin keeps the client area when it replaces that frame), else the
// window's own size.
SIZE StoredWindowSize(cl::TWinControl& window);

// The class name of a window as registered, and lower-cased.
std::string WindowClassName(HWND wnd);
std::string LowerWindowClassName(HWND wnd);

}  // namespace skin
