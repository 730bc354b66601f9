// A small captioned tool window that a form places among its controls and that floats above that form as
// a popup window of its own (owned by the form, so always in front of it), with a close button and a
// sizable frame. Its size is the size of its client area, never below a minimum. It hides while the
// program is not the active application and whenever its form is hidden or minimised, and comes back
// with them.
//
// In the class library's parent chain it stays a child of its form: descriptions nest its controls under
// it, its controls belong to the form's focus and key handling, and it is freed with the form. Its Left
// and Top are relative to the form's client area until it is first shown; from then on they are screen
// coordinates.
#pragma once
#include <windows.h>

#include <string>

#include "Controls.h"
#include "Forms.h"
#include "WindowSubclass.h"

namespace toolkit {

// The skin engine's query "is this window skinned already?" (answered 1 when it is).
inline constexpr UINT kSkinnedQuery = 0x3504;

class TToolWin : public cl::TWinControl {
  CL_CLASS(TToolWin, cl::TWinControl)

  // 32 by 32 pixels, minimum client size 32 by 32.
  explicit TToolWin(cl::TComponent* owner);
  ~TToolWin() override;

  // The size of the client area. Written: the window gets this client size (with its frame around it).
  int ClientAreaWidth() const { return ClientWidth(); }
  int ClientAreaHeight() const { return ClientHeight(); }
  void SetClientAreaWidth(int value) { SetClientAreaSize(value, ClientAreaHeight()); }
  void SetClientAreaHeight(int value) { SetClientAreaSize(ClientAreaWidth(), value); }
  void SetClientAreaSize(int width, int height) { SetClientSize(width, height); }

  // The user cannot size the client area below this (default 32 by 32).
  int MinClientWidth() const noexcept { return minClientWidth_; }
  void SetMinClientWidth(int value) { minClientWidth_ = value; }
  int MinClientHeight() const noexcept { return minClientHeight_; }
  void SetMinClientHeight(int value) { minClientHeight_ = value; }

  // Window features; a change takes effect at once (the window is made again with the new style).
  bool CloseButton() const noexcept { return closeButton_; }
  void SetCloseButton(bool value);
  bool Resizable() const noexcept { return resizable_; }
  void SetResizable(bool value);
  bool ShowCaption() const noexcept { return showCaption_; }
  void SetShowCaption(bool value);
  // Hidden while another application is active (default on).
  bool HideWhenInactive() const noexcept { return hideWhenInactive_; }
  void SetHideWhenInactive(bool value);
  // Kept for the description format; a click on the window activates it either way.
  bool ActivateParent() const noexcept { return activateParent_; }
  void SetActivateParent(bool value) noexcept { activateParent_ = value; }

  // Only a form may be the parent: raises EInvalidOperation for any other control.
  void SetParent(cl::TWinControl* parent) override;
  // Never written as the parent of anything but its own controls.
  bool HasParent() const override { return true; }

  // Whether the window is on the screen now, given Visible, its form and the application's activation.
  bool ShouldBeVisible() const;

  // The close button (or the window menu's Close chosen with the mouse): asks OnCloseQuery, then hides
  // the window (Visible := false) and raises OnClose.
  void CloseClicked();

  cl::TNotifyEvent OnClose;
  cl::TCloseQueryEvent OnCloseQuery;
  cl::TNotifyEvent OnMove;
  cl::TNotifyEvent OnVisibleChanged;

  void Dispatch(cl::TMessage& message) override;

 protected:
  void CreateParams(cl::TCreateParams& params) override;
  void CreateHandleDone() override;
  void DestroyWnd() override;

 private:
  // The form the window floats over, null when none.
  cl::TCustomForm* Form() const;
  // Shows or hides the window to match ShouldBeVisible; `appActive` overrides the activation test while
  // the activation is changing.
  void UpdateVisibility();
  bool Wanted(bool appActive) const;
  void ApplyVisibility(bool show);
  // First show: from the form's client origin plus (Left, Top) to the screen, fully on it.
  void PlaceOnFirstShow();
  void MoveOnScreen();
  void Recreate();
  LRESULT FormMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

  int minClientWidth_ = 32;
  int minClientHeight_ = 32;
  bool closeButton_ = true;
  bool resizable_ = true;
  bool showCaption_ = true;
  bool hideWhenInactive_ = true;
  bool activateParent_ = true;
  bool placed_ = false;       // Left and Top are screen coordinates
  bool activating_ = false;   // the window hands the activation on
  HWND lastFocus_ = nullptr;  // the control inside that had the focus when the window was deactivated
  cl::TWindowSubclass formHook_;
};

}  // namespace toolkit
