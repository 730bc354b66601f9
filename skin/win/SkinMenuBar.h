// A skinned window's own menu bar: the window gives up its system-drawn bar and the skin paints one
// button per top-level item into the frame below the title bar. The buttons hot-track like the title-bar
// buttons; a pressed one opens its drop-down with TrackPopupMenu while a message-filter hook moves
// between the bar's items by keyboard and mouse (TMenuTracking, one per opened drop-down).
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "Graphics.h"
#include "NCFrameState.h"

namespace cl {
class TCustomForm;
class TMainMenu;
class TMenuItem;
}  // namespace cl

namespace skin {

class TSkinData;
class TWinSkinMenu;

// One top-level item on the bar. Rect is in window-frame coordinates; empty while the item is hidden.
class TMenuBtn : public TNCObject {
 public:
  TMenuBtn(TNCFrameState& form, TWinSkinMenu& bar) : TNCObject(form), bar_(bar) {}
  void Paint() override;

  cl::TMenuItem* MenuItem = nullptr;  // null for a bar filled from a raw menu
  int Index = 0;
  std::wstring Caption;
  bool Enabled = true;
  HMENU SubMenu = nullptr;
  UINT Command = 0;

 private:
  TWinSkinMenu& bar_;
};

class TWinSkinMenu {
 public:
  // form: the form whose menu bar component the bar shows, or null for a bare window.
  TWinSkinMenu(TNCFrameState& state, TSkinData& data, cl::TCustomForm* form);
  TWinSkinMenu(const TWinSkinMenu&) = delete;
  TWinSkinMenu& operator=(const TWinSkinMenu&) = delete;
  ~TWinSkinMenu();

  // One button per item of the main menu; then the window loses its own bar. Without a main menu the
  // bar is filled from the window menu's handle.
  void LoadFromMainMenu();
  // One button per entry of the window menu, texts of owner-drawn entries from the main menu.
  void LoadFromMenuHandle();
  // The same for the menu an MDI frame was given (none: the one the bar has); an owner-drawn entry's
  // text comes from the main-menu item of its command.
  void LoadFromMDIMenu(HMENU menu);
  // The bar painted into rect (window coordinates) of dc, the buttons laid out on it.
  void PaintBar(HDC dc, const RECT& rect);
  // The first button with a caption whose rect holds the frame point; null when none.
  TMenuBtn* ButtonAt(POINT framePoint) const;
  TMenuBtn* Button(int index) const;
  int ButtonCount() const noexcept { return static_cast<int>(buttons_.size()); }
  // The first enabled, visible button whose caption marks ch as its accelerator.
  TMenuBtn* FindAccel(wchar_t ch) const;

  // The window's menu at skinning (kept while the bar shows it; given back at unskinning).
  HMENU MenuHandle() const noexcept { return menuHandle_; }
  void SetMenuHandle(HMENU menu) noexcept { menuHandle_ = menu; }
  // The form's menu now: the form may have been given another since the bar was made.
  cl::TMainMenu* MainMenu() const noexcept;
  // Puts the window menu back on the window.
  void GiveBack();
  // Right-to-left bar: the items run from the right.
  bool RightToLeft() const noexcept { return state_.RightToLeft; }

  // The bar's background of the last paint (what a button paints over), and where it was.
  cl::TBitmap& BarBitmap() noexcept { return barBitmap_; }
  RECT BarRect() const noexcept { return barRect_; }
  TSkinData& Data() const noexcept { return data_; }
  const TNCFrameState& State() const noexcept { return state_; }

 private:
  void ClearButtons();
  // The buttons of the menu handle's entries; byCommand: owner-drawn entries found by command, else by
  // position.
  void LoadEntries(bool byCommand);
  TMenuBtn& AddButton();
  void DrawBackground(cl::TBitmap& bitmap, int& startX) const;
  // The maximised MDI child's minimise, restore and close buttons on an MDI frame's bar (dc: the bar's).
  void PaintMDIChildButtons(HDC dc, const RECT& barRect);

  TNCFrameState& state_;
  TSkinData& data_;
  cl::TCustomForm* form_ = nullptr;
  std::vector<std::unique_ptr<TMenuBtn>> buttons_;
  RECT barRect_{};
  cl::TBitmap barBitmap_;
  HMENU menuHandle_ = nullptr;
};

// A caption in the menu font centred in rect, in MenuBarText, or ButtonShadow when disabled.
void DrawBarCaption(const TSkinData& data, HDC dc, const RECT& rect, const std::wstring& caption, bool enabled);

// The separators of item's sub-items that show nothing between items hidden: none before the first and
// after the last visible item, and of each run between two items only the last.
void HideRedundantSeparators(cl::TMenuItem& item);

// What one opened drop-down needs to move along the bar: made before TrackPopupMenu, it installs the
// thread's message-filter hook and takes it away when it goes. One is current on a thread at a time; a
// nested one puts the outer one back when it goes.
class TMenuTracking {
 public:
  // bar: the window's bar; openIndex: the button whose drop-down opens; popup: its menu.
  TMenuTracking(HWND wnd, TWinSkinMenu& bar, int openIndex, HMENU popup);
  ~TMenuTracking();
  TMenuTracking(const TMenuTracking&) = delete;
  TMenuTracking& operator=(const TMenuTracking&) = delete;

  // The drop-down of this thread now open; null when none.
  static TMenuTracking* Current() noexcept;

  // WM_MENUSELECT of the window (sent to it, so the hook never sees it).
  void MenuSelect(WPARAM wParam, LPARAM lParam);
  // The button to open once the present drop-down has ended (-1: none).
  int NextIndex() const noexcept { return nextIndex_; }
  // The window's bar was changed meanwhile; it is rebuilt when the drop-down has ended.
  void SetRebuildPending() noexcept { rebuildPending_ = true; }
  bool RebuildPending() const noexcept { return rebuildPending_; }

 private:
  static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
  // True when the message is taken (the drop-down ends to open another one).
  bool Filter(MSG& msg);
  void SwitchTo(int index);
  bool CurrentIsNested() const;
  bool CurrentHasSubItems() const;

  HWND wnd_;
  TWinSkinMenu& bar_;
  HHOOK hook_ = nullptr;
  int openIndex_;
  HMENU popup_;
  cl::TMenuItem* current_ = nullptr;  // the item selected, or whose drop-down is open
  HMENU currentSubMenu_ = nullptr;    // the selected item's own drop-down, raw bars
  HMENU currentParent_ = nullptr;     // the menu of the selected item
  POINT lastPoint_{};
  bool firstKey_ = false;
  int nextIndex_ = -1;
  bool rebuildPending_ = false;
  TMenuTracking* previous_ = nullptr;
};

}  // namespace skin
