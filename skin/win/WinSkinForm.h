// One skinned top-level window: the skin manager makes one for each window that qualifies, either for a
// form of the class library (InitForm) or for a bare window such as a message box (SkinWindow alone).
// The window's messages then pass through WindowProc first (a TWindowSubclass), and a form's own message
// path gets FormWindowProc (a TMessageLink); Unskin and the window's destruction take both away.
//
// WindowProc works in three stages: what every skinned window handles, what a top-level window with a
// skinned frame handles, and the non-client messages of a frame in the skinned states (1 and 3).
#pragma once
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Classes.h"
#include "ExtCtrls.h"
#include "NCFrameState.h"
#include "Types.h"
#include "MessageChain.h"
#include "WindowSubclass.h"

namespace cl {
class TCanvas;
class TCustomForm;
class TMenuItem;
class TPopupMenu;
}

namespace skin {

class TSkinData;
class TSkinControl;
class TWinSkinMenu;
class TMenuBtn;
class TMenuTracking;

// The system menu popup's Tag.
inline constexpr int32_t kSysMenuTag = 33333;

// Skin states besides those the frame code reads (NCFrameState.h).
inline constexpr uint8_t kSkinStateWaiting = 0;     // made, waiting for 0x3503
inline constexpr uint8_t kSkinStateDestroying = 4;  // WM_NCDESTROY, before the detach
inline constexpr uint8_t kSkinStateFitting = 5;     // 0x3503 fits the frame

// The hot-track timer's period: a hot title-bar button goes cold this soon after the cursor leaves it.
inline constexpr UINT kHotTrackInterval = 250;

class TWinSkinForm : public cl::TComponent, private TNCFrameHost {
  CL_PLAIN_CLASS(TWinSkinForm, cl::TComponent)

  // owner: the form, or null for a bare window.
  explicit TWinSkinForm(cl::TComponent* owner);
  // Puts the window back when still skinned and leaves the manager's list.
  ~TWinSkinForm() override;

  // The manager sets the window before starting the skin.
  void SetHandle(HWND wnd) noexcept { wnd_ = wnd; }
  HWND Handle() const noexcept { return wnd_; }
  TSkinData* Data() const noexcept { return data_; }
  cl::TCustomForm* Form() const noexcept { return form_; }

  // For a form: turns its scrolling off, puts FormWindowProc on its message path (frame skinning only),
  // skins the window and gives the form the skin's face colour.
  void InitForm(TSkinData* data, cl::TCustomForm* form);
  // Skins the window; nothing when it is skinned already.
  void SkinWindow(TSkinData* data);
  // Puts back the window procedure, the form's path and colour, the style, the size and the region.
  void Unskin();
  // The window's size with the system's frame around its present client area: what Unskin would give it,
  // and what a program stores as the window's size, so that the next start (system frame first, the skin
  // keeping the client area) comes back to the same size.
  SIZE UnskinnedSize() const;
  // Gives the form and its controls the skin's colours again (0x3401, refresh action).
  void SkinColorsChanged();
  // Restores (true) or removes (false) the system's caption.
  void SetCaptionStyle(bool restore);
  // An MDI child: the manager's MDI-children-maximised state changed.
  void MDIMaximizedChanged(bool maximized);

  // The title-bar buttons freed, and made anew from the skin (manager's refresh).
  void ClearSysButtons();
  void CreateSysButtons();

  int SkinState() const noexcept { return state_.SkinState; }
  TBorderKind BorderKind() const noexcept { return state_.BorderKind; }
  TWindowKind WindowKind() const noexcept { return state_.WindowKind; }
  TWindowState WindowState() const noexcept { return state_.WindowState; }
  bool FrameSkinning() const noexcept { return frameSkinning_; }
  bool MessageDialog() const noexcept { return state_.MessageDialog; }
  bool Subclassed() const noexcept { return subclass_.Installed(); }
  bool ControlsSkinned() const noexcept { return controlsSkinned_; }
  // The hot-track timer runs while the cursor is over the active frame or something is hot.
  bool HotTracking() const noexcept { return timer_.Enabled(); }
  // What the frame code knows of the window.
  const TNCFrameState& FrameState() const noexcept { return state_; }

  // The painters of the window's controls (SkinControl.h), in attachment order. AddControl is true when
  // the painter was listed already.
  bool AddControl(TSkinControl* painter);
  void RemoveControl(TSkinControl* painter) noexcept;
  // Frees the painters whose windows are gone.
  void PurgeControls();
  // Gives every live painter's colour back, then frees them all.
  void FreeControls();
  TSkinControl* FindControlByHandle(HWND wnd) const noexcept;
  bool Listed(const TSkinControl* painter) const noexcept;
  const std::vector<TSkinControl*>& Painters() const noexcept { return painters_; }
  // A control of the class library that has a painter of this window (or whose window has one).
  bool IsControlSkinned(const cl::TControl* control) const;
  // The button painter that is hot, on any window of this one; the hot-tracking takes it away.
  TSkinControl* HotPainter() const noexcept { return hotPainter_; }
  void SetHotPainter(TSkinControl* painter);

  // Gives a painter to each control that owner owns (a form, a panel, a group box), after the purge.
  void SkinControls(cl::TComponent* owner);
  // The painter of one control of the class library, chosen by its class and the skin's switches.
  void SkinControl(cl::TControl* control, cl::TComponent* form);
  // A control of another library that the skin data's Skin3rd list names: its painter by the list's kind.
  // True when the list names the class (also when its kind attaches nothing, as "nil").
  bool SkinThirdParty(const std::string& className, cl::TControl* control);
  // A windowed control with a scroll bar style, a memo, or one tagged 55.
  bool NeedsScrollbars(const cl::TControl* control) const;
  // Owner drawing of the form's popup menus and (with xcMenuItem) its menu bar's drop-down items: the
  // handlers below given to every item, or taken away.
  void SkinPopupMenus(cl::TCustomForm* form, bool on);
  void SkinMainMenus(cl::TCustomForm* form, bool on);
  // Item handlers: the skin's margins added to the item's own size; the item drawn from the skin's
  // MenuItem strip over the open popup's frame picture, or in the menu colours without that strip.
  void MeasureMenuItem(cl::TObject* sender, cl::TCanvas* canvas, int& width, int& height);
  void MeasurePopupItem(cl::TObject* sender, cl::TCanvas* canvas, int& width, int& height);
  void DrawMenuItem(cl::TObject* sender, cl::TCanvas* canvas, const cl::TRect& rect, bool selected);
  // The skin's menu bar in place of the window's own; null when the window has none.
  TWinSkinMenu* MenuBar() const noexcept { return menuBar_.get(); }
  // The skinned system menu; null before skinning and after unskinning.
  cl::TPopupMenu* SysMenuPopup() const noexcept { return sysMenu_.get(); }
  // Asks for a bar button's drop-down the way a click does (a posted press on it).
  void OpenMenuButton(const TMenuBtn& button);
  // The first enabled, visible bar button with ch as its accelerator; null when none.
  TMenuBtn* FindMenuAccel(wchar_t ch) const;
  // The system menu popup's items: restore, maximise, minimise and close by their Tag.
  void SysMenuClick(cl::TObject* sender);

  // Bare windows (a message box, a system dialog): a painter for each child window by its window class.
  void SkinChildWindows();
  void SkinChildWindow(HWND wnd);

 private:
  LRESULT WindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // Stage 1 handled the message when it returns true.
  bool CommonMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  LRESULT FrameMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  // Stage 3: the skinned frame's own messages; false for the others.
  bool NonClientMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void FormWindowProc(cl::TMessage& m, const cl::TMessageChain::TNext& next);
  LRESULT Default(UINT msg, WPARAM wParam, LPARAM lParam);
  void OnSkinControls();
  LRESULT WMSize(WPARAM wParam, LPARAM lParam);
  LRESULT WMGetMinMaxInfo(WPARAM wParam, LPARAM lParam);
  LRESULT WMNCActivate(WPARAM wParam);
  void ReadWindowState();
  void ReadBorderKind(DWORD style, DWORD exStyle);
  void CreateCaptionFont();
  // Takes the subclass and the form's link away (Unskin and WM_NCDESTROY).
  void Detach();
  void UnskinOnDestroy();
  void RestoreFormColor();
  // WM_MEASUREITEM and WM_DRAWITEM of the main menu's items and of raw menu items (menus the class
  // library does not own); false for the others, which the form's own handling measures and draws.
  bool WMMeasureItem(WPARAM wParam, LPARAM lParam, LRESULT& result);
  cl::TMenuItem* MainMenuItemOf(ULONG_PTR itemData) const;
  // Every entry of a menu, at every depth, drawn by its owner.
  static void MakeMenuOwnerDraw(HMENU menu);
  bool WMDrawItem(WPARAM wParam, LPARAM lParam, LRESULT& result);
  void MeasureRawMenuItem(MEASUREITEMSTRUCT& m, HMENU menu);
  void DrawRawMenuItem(const DRAWITEMSTRUCT& d);
  static std::unique_ptr<cl::TMenuItem> MenuItemFromHandle(HMENU menu, UINT id);
  void DrawSkinnedMenuItem(cl::TMenuItem& item, cl::TCanvas& canvas, const RECT& rect, bool selected, HMENU menu);
  void DrawPlainMenuItem(cl::TMenuItem& item, cl::TCanvas& canvas, const RECT& rect, bool selected);
  void DrawMenuBackground(HDC dc, const RECT& itemRect, const RECT& target, HMENU menu) const;
  static void DrawMenuSeparator(HDC dc, const RECT& rect, cl::TBitmap& image, const TDataSkinObject& element);
  // The form's menus lose the handlers (unskinning, or the window going).
  void UnskinMenus();
  // Whether the cursor is on the window's frame (inside the window, outside its client area).
  bool CursorOnFrame(POINT cursor) const;
  // The Skin3rd kind of a class name, lower case and cut to 50 characters; none when not listed (a
  // listed class may have an empty kind: nothing paints it).
  std::optional<std::string> ThirdPartyKind(const std::string& className) const;
  // A hot painter of a bare window goes cold when the cursor has left it or the window is inactive.
  void TrackHotPainter(bool active, POINT cursor);
  bool IsMDIChild() const noexcept { return state_.WindowKind == TWindowKind::MDIChild; }
  // MDI frames: the MDI client found at skinning, and watched for its children and menus.
  void FindMDIClient();
  void HookMDIClient();
  void UnhookMDIClient() noexcept;
  LRESULT MDIClientProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

  // TNCFrameHost.
  void PaintMenuBar(HDC dc, const RECT& rect) override;
  TNCObject* MenuButtonAt(POINT framePoint) override;
  void TrackMenuButton(TNCObject& button) override;
  bool MenuTracking() const override { return menuTracking_; }
  void ShowSysMenu(int screenX, int screenY) override;
  void SetTimerEnabled(bool on) override { timer_.SetEnabled(on); }
  bool IsMDIChildMaximized() override;
  void SetMDIChildrenMaximized() override;
  void MDIChildCommand(UINT command) override;

  // The menu bar made for the window's menu at skinning (the window gives its own up).
  void CreateMenuBar();
  // The menu bar's window menu given back, and the bar freed.
  void FreeMenuBar(bool giveBack);
  // Opens button index's drop-down; the button to open next (the user moved along the bar), or -1.
  int TrackDropDown(int index);
  // CM_MENUCHANGED: the bar made anew from the changed menu (after the drop-down, while one is open).
  LRESULT MenuChanged(WPARAM wParam, LPARAM lParam);
  void RebuildMenuBar();
  void BuildSysMenu();
  // Stage 2 handlers; false when the message is to get the default.
  bool WMSysCommand(WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool WMCommand(WPARAM wParam);
  // CM_DIALOGCHAR: Alt and a bar button's accelerator opens it.
  bool DoDialogChar(cl::TMessage& m);

  HWND wnd_ = nullptr;
  TSkinData* data_ = nullptr;
  cl::TCustomForm* form_ = nullptr;
  cl::TWindowSubclass subclass_;
  cl::TMessageLink formLink_;
  cl::TTimer timer_{nullptr};
  TNCFrameState state_;
  bool frameSkinning_ = false;
  bool controlsSkinned_ = false;
  HWND ownerWnd_ = nullptr;
  HMENU systemMenu_ = nullptr;
  SIZE initialNonClient_{};  // window size minus client size when skinned
  cl::TColor savedColor_ = 0;
  std::vector<TSkinControl*> painters_;
  HMENU windowMenu_ = nullptr;  // the menu bar at skinning
  HMENU openPopup_ = nullptr;   // the menu of the last WM_INITMENUPOPUP
  TSkinControl* hotPainter_ = nullptr;
  std::unique_ptr<TWinSkinMenu> menuBar_;
  std::unique_ptr<cl::TPopupMenu> sysMenu_;
  TMenuTracking* tracking_ = nullptr;  // the open drop-down's, on TrackDropDown's stack
  bool menuTracking_ = false;
  DWORD lastSysMenuTime_ = 0;
  HWND mdiClient_ = nullptr;
  cl::TWindowSubclass mdiSubclass_;
  HWND newMDIChild_ = nullptr;  // made through the client, skinned at the next WM_MDIREFRESHMENU
  bool savedMenuUpdate_ = true;
};

}  // namespace skin
