// Menus: TMenuItem (one entry, possibly with sub-items), TMainMenu (a form's menu bar) and TPopupMenu.
//
// The items form a tree under the menu's root item (TMenu::Items). Every item with sub-items keeps a menu
// handle whose entries follow its visible sub-items; any change of an item (caption, state, sub-items
// added, removed or freed) rebuilds the entries of the menu that shows it, so the handle always tells the
// truth. Command ids are given per menu; a command whose item is gone does nothing.
//
// An owner-drawn menu (OwnerDraw) has its items measured and drawn by MeasureItem and DrawItem, which raise
// OnMeasureItem and OnDrawItem or do the default. Each entry carries its item as item data, so the messages
// find their item even where two menus give the same command id.
//
// In form descriptions items nest under their menu and under their parent item:
//   object mnuTray: TPopupMenu
//     object mnuExit: TMenuItem
//       Caption = 'E&xit'
//     end
//   end
#pragma once
#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Classes.h"
#include "Graphics.h"
#include "HiddenWindow.h"
#include "SysUtils.h"

namespace cl {

CL_DECLARE_EXCEPTION(EMenuError, Exception)

class TMenu;
class TImageList;

// (Sender, Canvas, Width, Height): the size of an owner-drawn item; it comes in as the default size.
using TMenuMeasureItemEvent = TEvent<TObject*, TCanvas*, int&, int&>;
// (Sender, Canvas, Rect, Selected): draws an owner-drawn item into its rectangle.
using TMenuDrawItemEvent = TEvent<TObject*, TCanvas*, const TRect&, bool>;

// A key with modifiers: the virtual-key code in the low byte, scShift, scCtrl, scAlt above it; 0 for none.
using TShortCut = uint16_t;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;
TShortCut ShortCut(uint16_t key, bool shift, bool ctrl, bool alt);
// "Ctrl+Shift+F5", "Alt+X", "Del"; empty for none.
std::string ShortCutToText(TShortCut shortCut);

// The caption without its accelerator marks: "E&xit" -> "Exit", "&&" -> "&".
std::string StripHotkey(std::string_view caption);

// ---------------------------------------------------------------------------------------------------------
// TMenuItem.

class TMenuItem : public TComponent {
  CL_CLASS(TMenuItem, TComponent)

  explicit TMenuItem(TComponent* owner);
  // Frees its sub-items and leaves its parent (whose menu handle loses the entry).
  ~TMenuItem() override;

  // "&" marks the accelerator; "-" makes a separator.
  const std::string& Caption() const noexcept { return caption_; }
  void SetCaption(const std::string& value);
  bool Checked() const noexcept { return checked_; }
  // Checking a radio item unchecks the radio items of its group among its siblings.
  void SetChecked(bool value);
  bool RadioItem() const noexcept { return radioItem_; }
  void SetRadioItem(bool value);
  uint8_t GroupIndex() const noexcept { return groupIndex_; }
  void SetGroupIndex(uint8_t value);
  bool Enabled() const noexcept { return enabled_; }
  void SetEnabled(bool value);
  // A hidden item has no entry in the menu handle.
  bool Visible() const noexcept { return visible_; }
  void SetVisible(bool value);
  // Shown in bold; the first visible default item of a menu is the menu's default entry.
  bool Default() const noexcept { return default_; }
  void SetDefault(bool value);
  const std::string& Hint() const noexcept { return hint_; }
  void SetHint(const std::string& value) { hint_ = value; }
  // Its text is shown in the shortcut column; the key itself is not handled by the menu.
  TShortCut ShortCut() const noexcept { return shortCut_; }
  void SetShortCut(TShortCut value);
  // Position in the menu's image list (-1 for none); kept for owner drawing.
  int ImageIndex() const noexcept { return imageIndex_; }
  void SetImageIndex(int value) { imageIndex_ = value; }
  // Drawn next to the caption when not empty; created on first use.
  TBitmap* Bitmap();
  void SetBitmap(TBitmap* value);

  TNotifyEvent OnClick;
  TMenuMeasureItemEvent OnMeasureItem;
  TMenuDrawItemEvent OnDrawItem;

  // Owner drawing, in the canvas's font: the default size, then OnMeasureItem when set; OnDrawItem when
  // set, else the default drawing (background, check mark or image, caption, short cut).
  virtual void MeasureItem(TCanvas& canvas, int& width, int& height);
  virtual void DrawItem(TCanvas& canvas, const TRect& rect, bool selected);
  // The image list of its menu; null when none.
  TImageList* GetImageList() const noexcept;

  // Sub-items.
  int Count() const noexcept { return static_cast<int>(items_.size()); }
  // EMenuError "Menu index out of range" for a bad index.
  TMenuItem* Items(int index) const;
  int IndexOf(const TMenuItem* item) const noexcept;
  // The sub-item whose caption without "&" matches (case-insensitively); null when none.
  TMenuItem* Find(std::string_view caption) const;
  // EMenuError "Menu inserted twice" for an item that already has a parent, "Menu index out of range",
  // or "Menu cannot contain itself" for this item or one above it.
  void Add(TMenuItem* item);
  // Appends several items with one rebuild of the menu (a rebuild per item costs the square of many).
  void Add(const std::vector<TMenuItem*>& items);
  void Insert(int index, TMenuItem* item);
  // Take the sub-item out without freeing it.
  void Delete(int index);
  void Remove(TMenuItem* item);
  // Frees every sub-item.
  void Clear();
  // Frees every sub-item and puts items in their place, with one rebuild of the menu (its entries
  // rewritten where they stand); the same errors as Add, before anything changes.
  void ReplaceItems(const std::vector<TMenuItem*>& items);

  TMenuItem* Parent() const noexcept { return parent_; }
  int MenuIndex() const noexcept { return parent_ ? parent_->IndexOf(this) : -1; }
  // The menu whose tree holds this item; null for a loose item.
  TMenu* GetParentMenu() const noexcept;
  bool IsLine() const noexcept { return caption_ == "-"; }
  // The command id (WM_COMMAND) of the item in its menu; 0 for a loose item.
  uint16_t Command() const;
  // The menu handle of the sub-items (made on first use).
  HMENU Handle();
  // Raises OnClick (the handler may free this item).
  virtual void Click();

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* parent) override;

 private:
  friend class TMenu;
  void Changed();             // this item's entry in the parent's handle changed
  void RebuildHandle();       // rebuilds the entries of this item's handle
  void RebuildAll();          // the same for this item and every item below it
  void FillEntry(MENUITEMINFOW& info, std::wstring& text);
  void DefaultMeasure(TCanvas& canvas, int& width, int& height) const;
  void DefaultDraw(TCanvas& canvas, const TRect& rect, bool selected);
  void ReleaseCommands();     // gives back the ids of this item and its sub-items
  // Throws unless item may become a sub-item of this one (not nil, nowhere else, not an ancestor).
  void CheckInsertable(const TMenuItem* item) const;
  void UnlinkFromParent();
  // Takes every sub-item out at once (their commands given back) for the caller to free with FreeItems,
  // the last first.
  std::vector<TMenuItem*> TakeItems();
  static void FreeItems(const std::vector<TMenuItem*>& items);
  // Takes out only the entries that hold sub-menus.
  static void RemoveSubMenuEntries(HMENU menu);
  // Puts an entry at a position that holds one already.
  static void RewriteEntry(HMENU menu, UINT position, const MENUITEMINFOW& info);

  std::string caption_;
  bool checked_ = false;
  bool radioItem_ = false;
  uint8_t groupIndex_ = 0;
  bool enabled_ = true;
  bool visible_ = true;
  bool default_ = false;
  std::string hint_;
  TShortCut shortCut_ = 0;
  int imageIndex_ = -1;
  std::unique_ptr<TBitmap> bitmap_;

  std::vector<TMenuItem*> items_;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on a menu's root item only
  HMENU handle_ = nullptr;
  mutable uint16_t command_ = 0;
  mutable TMenu* commandMenu_ = nullptr;  // the menu that gave command_
};

// ---------------------------------------------------------------------------------------------------------
// TMenu, TMainMenu, TPopupMenu.

enum TFindItemKind { fkCommand, fkHandle };

class TMenu : public TComponent {
  CL_PLAIN_CLASS(TMenu, TComponent)

  explicit TMenu(TComponent* owner);
  ~TMenu() override;

  // The root item; its sub-items are the menu's entries.
  TMenuItem* Items() const noexcept { return items_; }
  HMENU Handle() { return items_->Handle(); }
  // The item with that command id, or whose sub-items have that handle; null when none.
  TMenuItem* FindItem(uintptr_t value, TFindItemKind kind) const;
  // Clicks the item of a command id (when enabled); false when the id is not this menu's.
  bool DispatchCommand(uint16_t command);
  // WM_INITMENUPOPUP for one of this menu's handles: refreshes its entries; false when not this menu's.
  bool DispatchPopup(HMENU menu);
  // WM_MEASUREITEM or WM_DRAWITEM of one of this menu's owner-drawn entries: measured or drawn, true;
  // false for other messages and other menus' entries.
  bool DispatchItemMessage(TMessage& m);
  // The item that an entry's item data names, when it is one of this menu's; else null.
  TMenuItem* ItemOfData(ULONG_PTR data) const;
  // The same for an owner-drawn entry of a command id: looked up by the id first (an open menu measures
  // every entry, and a search of the tree for each would cost the square of their number).
  TMenuItem* ItemOfEntry(ULONG_PTR data, UINT command) const;

  // Owner-drawn entries (MFT_OWNERDRAW), kept through every rebuild of the menu's handles.
  bool OwnerDraw() const noexcept { return ownerDraw_; }
  void SetOwnerDraw(bool value);
  // The images of the items' ImageIndex; not owned.
  TImageList* Images() const noexcept { return images_; }
  void SetImages(TImageList* value);

 protected:
  virtual HMENU CreateMenuHandle() { return CreatePopupMenu(); }
  // The entries of the root changed.
  virtual void MenuChanged() {}
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TMenuItem;
  uint16_t AllocateCommand(TMenuItem* item);
  void ReleaseCommand(uint16_t command);

  TMenuItem* items_;
  bool ownerDraw_ = false;
  TImageList* images_ = nullptr;
  std::map<uint16_t, TMenuItem*> commands_;
  uint16_t nextCommand_ = 1;
  // Entries are measured in this context, made at the first: an open menu measures each of its entries,
  // and a screen context for each costs more than the measuring.
  TDCHandle measureDC_;
};

class TMainMenu : public TMenu {
  CL_PLAIN_CLASS(TMainMenu, TMenu)

  explicit TMainMenu(TComponent* owner);
  ~TMainMenu() override;

  // The window showing this menu as its menu bar (the form sets it); null for none. A window that had
  // it before loses it.
  HWND Window() const noexcept { return window_; }
  void SetWindow(HWND window);

 protected:
  HMENU CreateMenuHandle() override { return CreateMenu(); }
  void MenuChanged() override;

 private:
  HWND window_ = nullptr;
};

enum TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
  CL_CLASS(TPopupMenu, TMenu)

  explicit TPopupMenu(TComponent* owner);
  ~TPopupMenu() override;

  // Whether the component using the menu (a control, a tray icon) opens it by itself.
  bool AutoPopup() const noexcept { return autoPopup_; }
  void SetAutoPopup(bool value) { autoPopup_ = value; }
  TPopupAlignment Alignment() const noexcept { return alignment_; }
  void SetAlignment(TPopupAlignment value) { alignment_ = value; }
  // The component that opened the menu last.
  TComponent* PopupComponent() const noexcept { return popupComponent_; }
  void SetPopupComponent(TComponent* value);

  // Raises OnPopup, shows the menu at the screen point and returns when it closes; the chosen item's
  // OnClick runs then. The menu belongs to the owner's form window, else the application's window.
  virtual void Popup(int x, int y);

  TNotifyEvent OnPopup;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  HWND OwnerWindow();

  bool autoPopup_ = true;
  TPopupAlignment alignment_ = paLeft;
  TComponent* popupComponent_ = nullptr;
  std::unique_ptr<THiddenWindow> window_;  // when there is no form or application window
};

// Registers TMenuItem, TMainMenu and TPopupMenu for creation by name.
void RegisterMenuClasses();

}  // namespace cl
