// The shutdown timer's notification-area icon: a hidden window takes the shell's callback message and
// turns it into mouse events, pops up the tray menu, puts the icon back when the taskbar is re-created,
// can cycle through the icons of an image list, and hooks the application window and the owner form so
// that the program can hide into the notification area and come back from it.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "Classes.h"
#include "Controls.h"
#include "ExtCtrls.h"
#include "Graphics.h"
#include "HiddenWindow.h"
#include "Menus.h"
#include "WindowSubclass.h"

namespace pellwick {

// (Sender, NextIndex): raised before each cycle step.
using TCycleEvent = cl::TEvent<cl::TObject*, int>;
// (Sender, Button, Shift, X, Y) and (Sender, Shift, X, Y); X and Y in screen coordinates.
using TTrayMouseEvent = cl::TEvent<cl::TObject*, cl::TMouseButton, cl::TShiftState, int, int>;
using TTrayMouseMoveEvent = cl::TEvent<cl::TObject*, cl::TShiftState, int, int>;

class TTimerTrayIcon : public cl::TComponent {
  CL_CLASS(TTimerTrayIcon, cl::TComponent)

  // The shell's callback message of the icon.
  static constexpr UINT CallbackMessage = 0x800;
  static constexpr UINT IconId = 1;

  explicit TTimerTrayIcon(cl::TComponent* owner);
  ~TTimerTrayIcon() override;

  bool DesignPreview() const noexcept { return designPreview_; }
  void SetDesignPreview(bool value);
  cl::TImageList* IconList() const noexcept { return iconList_; }
  void SetIconList(cl::TImageList* value);
  bool CycleIcons() const noexcept { return cycleIcons_; }
  void SetCycleIcons(bool value);
  uint32_t CycleInterval() const noexcept { return cycleInterval_; }
  void SetCycleInterval(uint32_t value);
  // Mouse messages become events only while true.
  bool Enabled() const noexcept { return enabled_; }
  void SetEnabled(bool value) { enabled_ = value; }
  const std::string& Hint() const noexcept { return hint_; }
  void SetHint(const std::string& value);
  bool ShowHint() const noexcept { return showHint_; }
  void SetShowHint(bool value);
  cl::TIcon* Icon() const noexcept { return icon_.get(); }
  void SetIcon(cl::TIcon* value);
  bool IconVisible() const noexcept { return iconVisible_; }
  void SetIconVisible(bool value);
  int IconIndex() const noexcept { return iconIndex_; }
  void SetIconIndex(int value);
  cl::TPopupMenu* PopupMenu() const noexcept { return popupMenu_; }
  void SetPopupMenu(cl::TPopupMenu* value);
  bool LeftPopup() const noexcept { return leftPopup_; }
  void SetLeftPopup(bool value) { leftPopup_ = value; }
  bool StartMinimized() const noexcept { return startMinimized_; }
  void SetStartMinimized(bool value) { startMinimized_ = value; }
  bool MinimizeToTray() const noexcept { return minimizeToTray_; }
  void SetMinimizeToTray(bool value) { minimizeToTray_ = value; }

  virtual bool WantsDefaultIcon() { return true; }
  // Each returns whether the shell accepted the call.
  virtual bool AddTrayIcon();
  virtual bool RemoveTrayIcon();
  virtual bool RefreshTrayIcon();

  // Main form hidden, then the application window; only with a window-control owner and a main form.
  void HideAppWindows();
  // Application window restored, then the main form shown; same conditions.
  void RestoreAppWindows();

  // The window that receives the callback message (the icon's hWnd).
  HWND WindowHandle() const noexcept { return window_.Handle(); }
  // The record handed to the shell, as last refreshed.
  const NOTIFYICONDATAW& IconData() const noexcept { return data_; }

  cl::TNotifyEvent OnClick;
  cl::TNotifyEvent OnDblClick;
  TTrayMouseEvent OnMouseDown;
  TTrayMouseEvent OnMouseUp;
  TTrayMouseMoveEvent OnMouseMove;
  TCycleEvent OnCycle;

 protected:
  void Loaded() override;
  void Notification(cl::TComponent* component, cl::TOperation operation) override;

  virtual void DoClick() { OnClick(this); }
  virtual void DoDblClick() { OnDblClick(this); }
  virtual void DoCycle(int nextIndex) { OnCycle(this, nextIndex); }
  virtual void DoMouseDown(cl::TMouseButton b, cl::TShiftState s, int x, int y) { OnMouseDown(this, b, s, x, y); }
  virtual void DoMouseUp(cl::TMouseButton b, cl::TShiftState s, int x, int y) { OnMouseUp(this, b, s, x, y); }
  virtual void DoMouseMove(cl::TShiftState s, int x, int y) { OnMouseMove(this, s, x, y); }
  virtual void MinimizeToTrayAction();

  // The shell call itself.
  virtual bool ShellNotify(DWORD message, NOTIFYICONDATAW& data);

 private:
  bool Designing() const { return ComponentState().Contains(cl::csDesigning); }
  cl::TWinControl* OwnerControl() const;
  void RefreshData();
  bool Notify(DWORD message);
  void WindowProc(cl::TMessage& m);
  void HandleMouse(UINT mouseMessage);
  void PopupMenuAtCursor();
  void CycleTimerTick(cl::TObject*);
  void InstallOwnerHook();
  LRESULT AppWindowHook(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT OwnerWindowHook(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

  NOTIFYICONDATAW data_{};
  std::unique_ptr<cl::TIcon> icon_;
  std::unique_ptr<cl::TTimer> cycleTimer_;
  cl::THiddenWindow window_;
  cl::TWindowSubclass appHook_;
  cl::TWindowSubclass ownerHook_;
  cl::TImageList* iconList_ = nullptr;
  cl::TPopupMenu* popupMenu_ = nullptr;
  std::string hint_;
  uint32_t cycleInterval_ = 0;
  int iconIndex_ = 0;
  UINT taskbarCreated_ = 0;
  bool designPreview_ = false;
  bool cycleIcons_ = false;
  bool enabled_ = true;
  bool showHint_ = true;
  bool iconVisible_ = true;
  bool leftPopup_ = false;
  bool startMinimized_ = false;
  bool minimizeToTray_ = false;
  bool clickPending_ = false;
  bool firstPositionChange_ = true;
  bool previewing_ = false;
};

// Registers TTimerTrayIcon for creation by name.
void RegisterTimerTrayIcon();

}  // namespace pellwick
