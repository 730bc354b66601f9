// A skinned MDI frame and its children: the frame watches its MDI client for children coming and going,
// tiling and menu changes; the children drop their skinned frame while maximised, when the frame's menu
// bar shows the active child's three buttons instead.
#include "DeviceContext.h"
#include "Forms.h"
#include "SkinFrame.h"
#include "SkinMenuBar.h"
#include "WinSkinData.h"
#include "WinSkinDlg.h"
#include "WinSkinForm.h"

namespace skin {

void TWinSkinForm::FindMDIClient() {
  for (HWND child = GetTopWindow(wnd_); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (LowerWindowClassName(child) != "mdiclient") continue;
    state_.WindowKind = TWindowKind::MDIFrame;
    mdiClient_ = child;
    return;
  }
}

void TWinSkinForm::HookMDIClient() {
  if (!mdiClient_) return;
  mdiSubclass_.Install(mdiClient_, [this](HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return MDIClientProc(wnd, msg, wParam, lParam);
  });
}

void TWinSkinForm::UnhookMDIClient() noexcept { mdiSubclass_.Remove(); }

bool TWinSkinForm::IsMDIChildMaximized() {
  if (state_.WindowKind != TWindowKind::MDIFrame || !mdiClient_) return false;
  BOOL maximized = FALSE;
  const LRESULT active = SendMessageW(mdiClient_, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized));
  return active && maximized;
}

void TWinSkinForm::SetMDIChildrenMaximized() {
  if (TSkinManage* manager = SkinManager()) manager->SetMDIMaximized(true);
}

void TWinSkinForm::MDIChildCommand(UINT command) {
  // The frame's bar buttons act on the active child at once.
  if (state_.WindowKind != TWindowKind::MDIFrame || !mdiClient_) return;
  const auto child = reinterpret_cast<HWND>(SendMessageW(mdiClient_, WM_MDIGETACTIVE, 0, 0));
  if (!child) return;
  SendMessageW(child, WM_SYSCOMMAND, command, 0);
  TSkinManage* manager = SkinManager();
  if (manager && manager->MDIMaximized && !IsMDIChildMaximized()) manager->SetMDIMaximized(false);
}

void TWinSkinForm::MDIMaximizedChanged(bool maximized) {
  if (!IsMDIChild() || !frameSkinning_) return;
  if (maximized) {
    if (state_.RegionHeld) ClearWindowRegion(state_);
    SetCaptionStyle(true);
    return;
  }
  // A minimised child keeps the system's caption: its frame is not the skin's while it is an icon.
  if (state_.WindowState == TWindowState::Minimized) {
    SetCaptionStyle(true);
    return;
  }
  state_.WindowState = TWindowState::Normal;
  UpdateWindowRegion(state_);
  SetCaptionStyle(false);
  if (!state_.RegionHeld) RefreshFrame(wnd_);
}

LRESULT TWinSkinForm::MDIClientProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const auto previous = [&] { return cl::TWindowSubclass::CallPrevious(wnd, msg, wParam, lParam); };
  TSkinManage* manager = SkinManager();
  switch (msg) {
    case WM_NCCALCSIZE:
      // The skinned frame's client shows no scroll bars of its own unless the skin asks for them.
      if (frameSkinning_ && data_ && !data_->Options().Contains(xoMDIScrollbar))
        SetWindowLongPtrW(wnd, GWL_STYLE, GetWindowLongPtrW(wnd, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_HSCROLL | WS_VSCROLL));
      return previous();
    case WM_MDICREATE: {
      // The bar is not rebuilt for each change the new child's creation makes; whatever happens, the
      // updates come back on afterwards.
      const bool update = data_ ? data_->MenuUpdate() : true;
      if (data_) data_->SetMenuUpdate(false);
      LRESULT result = 0;
      try {
        result = previous();
      } catch (...) {
        if (data_) data_->SetMenuUpdate(update);
        throw;
      }
      if (data_) data_->SetMenuUpdate(update);
      newMDIChild_ = reinterpret_cast<HWND>(result);
      return result;
    }
    case WM_MDIDESTROY: {
      const LRESULT result = previous();
      if (frameSkinning_ && manager) {
        manager->SetMDIMaximized(IsMDIChildMaximized());
        if (!SendMessageW(wnd, WM_MDIGETACTIVE, 0, 0) && menuBar_) {
          data_->SetMenuUpdate(savedMenuUpdate_);
          RebuildMenuBar();
        }
      }
      return result;
    }
    case WM_MDITILE:
    case WM_MDICASCADE:
      if (frameSkinning_ && manager && manager->MDIMaximized) manager->SetMDIMaximized(false);
      return previous();
    case WM_MDISETMENU: {
      const LRESULT result = previous();
      // The frame's own bar shows the new menu; the window keeps none of its own.
      const auto menu = reinterpret_cast<HMENU>(wParam);
      // A handle with its top bit set is always taken as a new menu.
      const bool topBit = (static_cast<uint32_t>(wParam) & 0x80000000u) != 0;
      if (frameSkinning_ && menu && menuBar_ && (topBit || menu != menuBar_->MenuHandle() || newMDIChild_)) {
        menuBar_->LoadFromMDIMenu(GetMenu(wnd_));
        SetMenu(wnd_, nullptr);
      }
      return result;
    }
    case WM_MDIREFRESHMENU: {
      const LRESULT result = previous();
      if (newMDIChild_ && manager) {
        const HWND child = newMDIChild_;
        newMDIChild_ = nullptr;
        manager->SkinWindow(child);
        PostMessageW(wnd_, kSkinMsgRepaintFrame, 0, 0);
      }
      return result;
    }
    default:
      return previous();
  }
}

}  // namespace skin
