// What a skinned window's non-client code knows of its window: the skin frame's widths, the kind of
// border and window, the caption, the title bitmap, the window region and the title-bar buttons.
//
// The skinned-window object fills one TNCFrameState when it skins a window and keeps it up to date from
// the window's messages; the frame painting and hit testing (SkinFrame.h) and the title-bar buttons with
// the non-client mouse (SysButtons.h) read and change only this state, the skin description and the
// window itself.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Graphics.h"
#include "SkinDescription.h"

namespace skin {

enum class TBorderKind : uint8_t { Sizeable = 0, Single = 1, None = 2, Dialog = 3 };
enum class TWindowKind : uint8_t { Plain = 0, MDIFrame = 1, MDIChild = 2 };
enum class TWindowState : uint8_t { Normal = 0, Maximized = 1, Minimized = 2 };

// Style flags: which of the caption's parts the window had when it was skinned.
constexpr uint8_t kStyleMaximizeBox = 0x01;
constexpr uint8_t kStyleMinimizeBox = 0x02;
constexpr uint8_t kStyleSysMenu = 0x08;
constexpr uint8_t kStyleCaptionRemoved = 0x10;

// Skin states in which the frame is painted, the region built and the non-client mouse answered.
constexpr uint8_t kSkinStateSkinned = 1;
constexpr uint8_t kSkinStateRecolouring = 3;
constexpr uint8_t kSkinStateDestroyed = 6;

// Title-bar button and state numbers.
constexpr int kNCNormal = 1;
constexpr int kNCPressed = 2;
constexpr int kNCHot = 3;

// Private messages of skinned windows.
constexpr UINT kMsgSkinAction = 0x3514;         // a skin button's own Action was clicked; wParam = Action
constexpr UINT kMsgSkinButtonVisible = 0x3515;  // may button wParam show? result > 0 = yes

struct TNCFrameState;

// How a non-client message handler leaves the message: Default when the window's own procedure is to
// handle it as well, Done when it is answered with 0.
enum class TNCAnswer { Default, Done };

// A clickable object in the non-client area: a title-bar button, or a menu-bar button of the window's
// menu bar. Its rectangle is in window-frame coordinates (origin at the window's top-left corner).
class TNCObject {
 public:
  explicit TNCObject(TNCFrameState& form) : form_(form) {}
  virtual ~TNCObject() = default;
  TNCObject(const TNCObject&) = delete;
  TNCObject& operator=(const TNCObject&) = delete;

  virtual void MouseDown();
  virtual void MouseUp();
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual void Paint() {}

  TNCFrameState& Form() const noexcept { return form_; }

  RECT Rect{};
  bool Visible = false;
  int State = kNCNormal;

 private:
  TNCFrameState& form_;
};

// One title-bar button of the skin (or one of the three buttons of a maximised MDI child).
class TWinSysButton : public TNCObject {
 public:
  TWinSysButton(TNCFrameState& form, TDataSkinSysButton& data) : TNCObject(form), Data(&data) {}
  void Paint() override;

  TDataSkinSysButton* Data;  // not owned: the skin description's
};

// What the skinned window adds around the frame: its menu bar, system menu, MDI children and the
// painters of a bare window. The defaults stand for a window that has none of them.
class TNCFrameHost {
 public:
  virtual ~TNCFrameHost() = default;
  // The menu bar painted into rect of the window DC.
  virtual void PaintMenuBar(HDC dc, const RECT& rect) {}
  // The menu bar's button at a window-frame point, or null.
  virtual TNCObject* MenuButtonAt(POINT framePoint) { return nullptr; }
  // A menu bar button was pressed: open its menu.
  virtual void TrackMenuButton(TNCObject& button) {}
  // A menu of the menu bar is open.
  virtual bool MenuTracking() const { return false; }
  virtual void ShowSysMenu(int screenX, int screenY) {}
  // An MDI frame whose active child is maximised.
  virtual bool IsMDIChildMaximized() { return false; }
  // An MDI child is being maximised by its skin button.
  virtual void SetMDIChildrenMaximized() {}
  virtual void MDIChildCommand(UINT command) {}
  // The timer's check of a bare window's hot button painter against the cursor (screen coordinates).
  virtual void CheckHotPainter(POINT cursor) {}
  // The hot-track timer switched on or off.
  virtual void SetTimerEnabled(bool on) {}
};

struct TNCFrameState {
  HWND Wnd = nullptr;
  TSkinDescription* Skin = nullptr;  // the skin data; not owned
  TNCFrameHost* Host = nullptr;      // null: no menu bar, system menu or MDI parts

  // Skin frame thickness; all 0 for border kind None.
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int MenuBarHeight = 0;

  TBorderKind BorderKind = TBorderKind::Sizeable;
  TWindowKind WindowKind = TWindowKind::Plain;
  TWindowState WindowState = TWindowState::Normal;
  uint8_t StyleFlags = 0;
  uint8_t SkinState = 0;
  bool Active = true;
  bool RightToLeft = false;
  bool MessageDialog = false;
  DWORD InitialStyle = 0;

  // The client rectangle kept across the change from the system frame to the skin frame.
  RECT ClientRect{};
  // Where the caption text went at the last title-bar paint; buttons of Align 2, 3, 8 and 9 sit by it.
  RECT CaptionRect{};
  // Captions of popup windows end left of this x (the leftmost right-aligned button).
  int ButtonClip = 0;
  // Window size at the last paint.
  int PaintedWidth = 0;
  int PaintedHeight = 0;

  cl::TFontHandle CaptionFont;  // null: the system font
  std::wstring CaptionPrefix = L"  ";
  std::wstring CaptionSuffix = L" ";

  // The last painted title bar, window width by Top; null before the first paint and after the region
  // is cleared.
  std::unique_ptr<cl::TBitmap> TitleBitmap;

  // A region has been handed to the window (the system owns it from then on) and the size it was built
  // for.
  bool RegionHeld = false;
  int RegionWidth = 0;
  int RegionHeight = 0;

  // The title-bar buttons and the hot or pressed non-client object (a button, or a menu-bar button).
  std::vector<std::unique_ptr<TWinSysButton>> SysButtons;
  TNCObject* HotObject = nullptr;
  // The object the left button went down on; a click runs only when released over it.
  TNCObject* PressedObject = nullptr;

  // The window's icon for the system-menu buttons.
  cl::TBitmap IconBitmap;
  HICON WindowIcon = nullptr;  // the window's own; not owned
  int IconSize = 0;
  // The skin component's shared icon bitmap, for windows without an icon; not owned, may be null.
  cl::TBitmap* SharedIcon = nullptr;
};

}  // namespace skin
