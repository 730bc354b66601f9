// An icon in the notification area of the shell: tooltip, mouse events, a popup menu on the right button,
// and an icon animation that replaces the static icon for a set number of passes.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "Controls.h"
#include "Graphics.h"
#include "Menus.h"
#include "SaAniIcons.h"
#include "SaWComp.h"

namespace toolkit {

enum TSaTrayIconStyle { tsNormal, tsAnimated };

// (Sender, Button, Shift)
using TTIMouseEvent = cl::TEvent<cl::TObject*, cl::TMouseButton, cl::TShiftState>;

class TSaAnimatedTrayIcon : public TSaWindowedComponent {
  CL_CLASS(TSaAnimatedTrayIcon, TSaWindowedComponent)

  explicit TSaAnimatedTrayIcon(cl::TComponent* owner);
  ~TSaAnimatedTrayIcon() override;
  void BeforeDestruction() override;

  // Adds the icon to the tray or removes it. Without a taskbar the icon is added as soon as one appears.
  bool Active() const noexcept { return active_; }
  virtual void SetActive(bool value);
  // The static icon; setting it copies the given one, and an empty icon falls back to DefaultIcon.
  cl::TIcon* Icon() const noexcept;
  virtual void SetIcon(cl::TIcon* value);
  // Owned; setting it copies the given animation.
  TSaAnimatedIcons* Animation() const noexcept { return animation_.get(); }
  virtual void SetAnimation(TSaAnimatedIcons* value);
  const std::string& Hint() const noexcept { return hint_; }
  virtual void SetHint(const std::string& value);
  // Opened on the right button; cleared when the menu is freed.
  cl::TPopupMenu* PopupMenu() const noexcept { return popupMenu_; }
  virtual void SetPopupMenu(cl::TPopupMenu* value);
  // Passes of the animation, 0 = endless; negative values are ignored.
  int RepeatCount() const noexcept { return repeatCount_; }
  virtual void SetRepeatCount(int value);
  bool ShowHint() const noexcept { return showHint_; }
  virtual void SetShowHint(bool value);
  TSaTrayIconStyle Style() const noexcept { return style_; }
  virtual void SetStyle(TSaTrayIconStyle value);

  // Whether the shell holds the icon now (Active, and the taskbar took it).
  bool InTray() const noexcept { return added_; }

  // Gives the application window the tool-window style, so the program has no taskbar button.
  void HideAppButton();
  // The program's "TRAYICON" icon resource at 16x16; the caller owns it (null when there is none).
  static HICON DefaultIcon();
  // Adds the icon (when Active) or removes it.
  void UpdateTray();
  // The icon to show for the style: frame 0 of the animation (started when Active) or the static icon.
  HICON CurrentIcon();
  // Sends one request to the shell; nothing while loading or designing. True when the shell accepted it.
  bool NotifyShell(DWORD message, UINT flags, HICON icon);

  cl::TNotifyEvent OnClick;
  cl::TNotifyEvent OnDblClick;
  cl::TNotifyEvent OnEndAnimation;
  TTIMouseEvent OnMouseDown;
  TTIMouseEvent OnMouseUp;
  cl::TNotifyEvent OnMouseMove;

 protected:
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(cl::TMouseButton button, cl::TShiftState shift);
  virtual void MouseMove();
  virtual void MouseUp(cl::TMouseButton button);

  void Loaded() override;
  void Notification(cl::TComponent* component, cl::TOperation operation) override;
  void WndProc(cl::TMessage& message) override;

  // The shell call itself; tests replace it.
  virtual bool ShellNotify(DWORD message, NOTIFYICONDATAW& data);
  // Whether the shell's taskbar window exists.
  virtual bool TaskbarExists();

  // How often and how long an icon the shell did not take is offered again.
  static constexpr UINT kRetryInterval = 2000;
  static constexpr ULONGLONG kRetryPeriod = 60000;

 private:
  class TTrayImage;

  bool Live() const;
  void IconChanged(cl::TObject* sender);
  void LoadDefaultIcon();
  void ModifyIcon(HICON icon);
  // Offers the icon to the shell; on refusal keeps offering it on the retry timer.
  void AddToTray();
  void StopRetry();
  void RetryTick();
  void HandleTrayMessage(LPARAM mouseMessage);
  void RightButtonDown();
  void AnimationNewFrame(cl::TObject* sender, int frame);
  void AnimationStopped(cl::TObject* sender);
  static cl::TShiftState GetShiftState();
  void Shutdown() noexcept;

  std::unique_ptr<TTrayImage> icon_;
  std::unique_ptr<TSaAnimatedIcons> animation_;
  std::string hint_;
  cl::TPopupMenu* popupMenu_ = nullptr;
  int repeatCount_ = 0;
  bool active_ = false;
  bool showHint_ = true;
  TSaTrayIconStyle style_ = tsNormal;

  UINT callbackMessage_;
  UINT taskbarCreated_;
  LONG appExStyle_ = 0;
  bool wasDoubleClick_ = false;
  bool added_ = false;
  bool retrying_ = false;
  bool changingIcon_ = false;
  ULONGLONG retryUntil_ = 0;
  int lastFrame_ = 0;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // handlers may free the component
};

}  // namespace toolkit
