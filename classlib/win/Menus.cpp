#include "Menus.h"

#include <algorithm>

#include "Controls.h"
#include "Forms.h"
#include "WindowSubclass.h"
#include "WinString.h"

namespace cl {

CL_BEGIN_CLASS(TMenuItem)
    .Str("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption)
    .Bool("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked, false)
    .Bool("Default", &TMenuItem::Default, &TMenuItem::SetDefault, false)
    .Bool("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled, true)
    .Int("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex, 0)
    .Str("Hint", &TMenuItem::Hint, &TMenuItem::SetHint)
    .Int("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex, -1)
    .Bool("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem, false)
    .Int("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut, 0)
    .Bool("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible, true)
    .Event("OnClick", &TMenuItem::OnClick)
CL_END_CLASS

CL_BEGIN_CLASS(TPopupMenu)
    .Enum("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment, {"paLeft", "paRight", "paCenter"},
          paLeft)
    .Bool("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup, true)
    .Event("OnPopup", &TPopupMenu::OnPopup)
CL_END_CLASS

void RegisterMenuClasses() {
  RegisterClasses({TMenuItem::StaticClass(), TMainMenu::StaticClass(), TPopupMenu::StaticClass()});
}

// ---------------------------------------------------------------------------------------------------------
// Short cuts and captions.

TShortCut ShortCut(uint16_t key, bool shift, bool ctrl, bool alt) {
  if (key & 0xFF00) return scNone;
  TShortCut result = key;
  if (shift) result |= scShift;
  if (ctrl) result |= scCtrl;
  if (alt) result |= scAlt;
  return result;
}

namespace {

std::string KeyName(unsigned key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, static_cast<char>(key));
  // Appended rather than "F" + ...: GCC 12 warns wrongly about overlapping copies in that form.
  if (key >= VK_F1 && key <= VK_F24) return std::string("F").append(std::to_string(key - VK_F1 + 1));
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return std::string("Num ").append(std::to_string(key - VK_NUMPAD0));
  switch (key) {
    case VK_BACK: return "BkSp";
    case VK_TAB: return "Tab";
    case VK_RETURN: return "Enter";
    case VK_ESCAPE: return "Esc";
    case VK_SPACE: return "Space";
    case VK_PRIOR: return "PgUp";
    case VK_NEXT: return "PgDn";
    case VK_END: return "End";
    case VK_HOME: return "Home";
    case VK_LEFT: return "Left";
    case VK_UP: return "Up";
    case VK_RIGHT: return "Right";
    case VK_DOWN: return "Down";
    case VK_INSERT: return "Ins";
    case VK_DELETE: return "Del";
    default: return {};
  }
}

}  // namespace

std::string ShortCutToText(TShortCut shortCut) {
  std::string name = KeyName(shortCut & 0xFF);
  if (name.empty()) return {};
  std::string result;
  if (shortCut & scCtrl) result += "Ctrl+";
  if (shortCut & scShift) result += "Shift+";
  if (shortCut & scAlt) result += "Alt+";
  return result + name;
}

std::string StripHotkey(std::string_view caption) {
  std::string result;
  result.reserve(caption.size());
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != '&') {
      result += caption[i];
    } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
      result += '&';
      ++i;
    }
  }
  return result;
}

// ---------------------------------------------------------------------------------------------------------
// TMenuItem.

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
  // Out of the parent's menu first (one rebuild of it); then the sub-items go all at once, with no rebuild
  // of a handle that goes too: a rebuild per freed item would cost the square of their number.
  UnlinkFromParent();
  std::vector<TMenuItem*> items = TakeItems();
  // Entries holding sub-menus leave the handle before the items go: DestroyMenu would free those
  // sub-menus, which are their items' to free. The other entries go with the handle, in one step.
  if (handle_) RemoveSubMenuEntries(handle_);
  FreeItems(items);
  if (handle_) {
    DestroyMenu(handle_);
    handle_ = nullptr;
  }
}

std::vector<TMenuItem*> TMenuItem::TakeItems() {
  std::vector<TMenuItem*> items = std::move(items_);
  items_.clear();
  for (TMenuItem* item : items) {
    item->ReleaseCommands();
    item->parent_ = nullptr;
  }
  return items;
}

void TMenuItem::FreeItems(const std::vector<TMenuItem*>& items) {
  for (auto it = items.rbegin(); it != items.rend(); ++it) delete *it;
}

void TMenuItem::RemoveSubMenuEntries(HMENU menu) {
  for (int i = GetMenuItemCount(menu) - 1; i >= 0; --i)
    if (GetSubMenu(menu, i)) RemoveMenu(menu, static_cast<UINT>(i), MF_BYPOSITION);
}

void TMenuItem::UnlinkFromParent() {
  if (!parent_) return;
  TMenuItem* parent = parent_;
  ReleaseCommands();
  // From the end: items usually go last first.
  auto it = std::find(parent->items_.rbegin(), parent->items_.rend(), this);
  parent->items_.erase(std::next(it).base());
  parent_ = nullptr;
  parent->RebuildHandle();
  parent->Changed();  // the parent may have lost its last sub-item
}

void TMenuItem::SetCaption(const std::string& value) {
  if (value == caption_) return;
  caption_ = value;
  Changed();
}

void TMenuItem::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  if (value && radioItem_ && parent_) {
    for (TMenuItem* sibling : parent_->items_)
      if (sibling != this && sibling->radioItem_ && sibling->groupIndex_ == groupIndex_ && sibling->checked_) {
        sibling->checked_ = false;
        sibling->Changed();
      }
  }
  Changed();
}

void TMenuItem::SetRadioItem(bool value) {
  if (value == radioItem_) return;
  radioItem_ = value;
  Changed();
}

void TMenuItem::SetGroupIndex(uint8_t value) { groupIndex_ = value; }

void TMenuItem::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  Changed();
}

void TMenuItem::SetVisible(bool value) {
  if (value == visible_) return;
  visible_ = value;
  Changed();
}

void TMenuItem::SetDefault(bool value) {
  if (value == default_) return;
  default_ = value;
  Changed();
}

void TMenuItem::SetShortCut(TShortCut value) {
  if (value == shortCut_) return;
  shortCut_ = value;
  Changed();
}

TBitmap* TMenuItem::Bitmap() {
  if (!bitmap_) bitmap_ = std::make_unique<TBitmap>();
  return bitmap_.get();
}

void TMenuItem::SetBitmap(TBitmap* value) {
  Bitmap()->Assign(value);
  Changed();
}

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= Count()) throw EMenuError("Menu index out of range");
  return items_[static_cast<size_t>(index)];
}

int TMenuItem::IndexOf(const TMenuItem* item) const noexcept {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TMenuItem* TMenuItem::Find(std::string_view caption) const {
  const std::string wanted = StripHotkey(caption);
  for (TMenuItem* item : items_)
    if (SameText(StripHotkey(item->caption_), wanted)) return item;
  return nullptr;
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::CheckInsertable(const TMenuItem* item) const {
  if (!item) throw EMenuError("Menu item is nil");
  if (item->parent_ || item->menu_) throw EMenuError("Menu inserted twice");
  for (const TMenuItem* p = this; p; p = p->parent_)
    if (p == item) throw EMenuError("Menu cannot contain itself");
}

void TMenuItem::Add(const std::vector<TMenuItem*>& items) {
  for (TMenuItem* item : items) CheckInsertable(item);
  if (items.empty()) return;
  items_.insert(items_.end(), items.begin(), items.end());
  for (TMenuItem* item : items) item->parent_ = this;
  RebuildHandle();
  Changed();
}

void TMenuItem::Insert(int index, TMenuItem* item) {
  CheckInsertable(item);
  if (index < 0 || index > Count()) throw EMenuError("Menu index out of range");
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  RebuildHandle();
  Changed();  // this item may have become a sub-menu
}

void TMenuItem::Delete(int index) { Items(index)->UnlinkFromParent(); }

void TMenuItem::Remove(TMenuItem* item) {
  const int index = IndexOf(item);
  if (index < 0) throw EMenuError("Menu item not found");
  Delete(index);
}

void TMenuItem::Clear() {
  if (items_.empty()) return;
  // All leave at once, with one rebuild of this menu; then they go, the last first.
  const std::vector<TMenuItem*> items = TakeItems();
  RebuildHandle();
  Changed();
  FreeItems(items);
}

void TMenuItem::ReplaceItems(const std::vector<TMenuItem*>& items) {
  for (TMenuItem* item : items) CheckInsertable(item);
  const std::vector<TMenuItem*> old = TakeItems();
  items_ = items;
  for (TMenuItem* item : items) item->parent_ = this;
  RebuildHandle();
  Changed();
  FreeItems(old);
}

TMenu* TMenuItem::GetParentMenu() const noexcept {
  const TMenuItem* p = this;
  while (p->parent_) p = p->parent_;
  return p->menu_;
}

uint16_t TMenuItem::Command() const {
  if (!command_) {
    if (TMenu* menu = GetParentMenu(); menu && parent_) {
      command_ = menu->AllocateCommand(const_cast<TMenuItem*>(this));
      commandMenu_ = command_ ? menu : nullptr;
    }
  }
  return command_;
}

void TMenuItem::ReleaseCommands() {
  if (commandMenu_) commandMenu_->ReleaseCommand(command_);
  commandMenu_ = nullptr;
  command_ = 0;
  for (TMenuItem* item : items_) item->ReleaseCommands();
}

HMENU TMenuItem::Handle() {
  if (!handle_) {
    handle_ = menu_ ? menu_->CreateMenuHandle() : CreatePopupMenu();
    if (!handle_) RaiseOSError(GetLastError(), menu_ ? "CreateMenu" : "CreatePopupMenu");
    RebuildHandle();
  }
  return handle_;
}

void TMenuItem::Click() {
  // A handler may free this item (rebuilding its menu): it runs from a copy, and nothing of this object
  // is touched afterwards.
  TNotifyEvent handler = OnClick;
  handler(this);
}

TComponent* TMenuItem::GetParentComponent() const {
  if (!parent_) return nullptr;
  if (parent_->menu_) return parent_->menu_;
  return parent_;
}

void TMenuItem::SetParentComponent(TComponent* parent) {
  if (parent_) UnlinkFromParent();
  if (auto* menu = dynamic_cast<TMenu*>(parent))
    menu->Items()->Add(this);
  else if (auto* item = dynamic_cast<TMenuItem*>(parent))
    item->Add(this);
}

void TMenuItem::Changed() {
  if (parent_) parent_->RebuildHandle();
}

void TMenuItem::FillEntry(MENUITEMINFOW& info, std::wstring& text) {
  info = {};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
  // The entry names its item: owner drawing finds it by this, whatever the command id.
  info.dwItemData = reinterpret_cast<ULONG_PTR>(this);
  const TMenu* menu = GetParentMenu();
  const UINT ownerDraw = menu && menu->OwnerDraw() ? MFT_OWNERDRAW : 0;
  if (IsLine()) {
    info.fType = MFT_SEPARATOR | ownerDraw;
    return;
  }
  info.fType |= ownerDraw;
  // The bitmap always, so that an entry rewritten in place loses the one it had.
  info.fMask |= MIIM_STRING | MIIM_BITMAP;
  std::string caption = caption_;
  if (shortCut_) {
    const std::string key = ShortCutToText(shortCut_);
    if (!key.empty()) caption += "\t" + key;
  }
  text = ToWide(caption);
  info.dwTypeData = text.data();
  info.cch = static_cast<UINT>(text.size());
  if (radioItem_) info.fType |= MFT_RADIOCHECK;
  if (checked_) info.fState |= MFS_CHECKED;
  if (!enabled_) info.fState |= MFS_GRAYED;
  info.wID = Command();
  if (!items_.empty()) info.hSubMenu = Handle();
  if (bitmap_ && !bitmap_->Empty()) info.hbmpItem = bitmap_->Handle();
}

void TMenuItem::RebuildAll() {
  RebuildHandle();
  for (TMenuItem* item : items_) item->RebuildAll();
}

void TMenuItem::RebuildHandle() {
  if (!handle_) return;
  // The entries standing are rewritten in place; only the lack is inserted and the surplus removed: the
  // system copies every entry at each insertion, so building many entries anew costs their square.
  const UINT standing = static_cast<UINT>(std::max(GetMenuItemCount(handle_), 0));
  bool defaultSet = false;
  UINT position = 0;
  for (TMenuItem* item : items_) {
    if (!item->visible_) continue;
    MENUITEMINFOW info;
    std::wstring text;
    item->FillEntry(info, text);
    if (item->default_ && !defaultSet && !item->IsLine()) {
      info.fState |= MFS_DEFAULT;
      defaultSet = true;
    }
    if (position < standing)
      RewriteEntry(handle_, position, info);
    else
      InsertMenuItemW(handle_, position, TRUE, &info);
    ++position;
  }
  // From the end, and without freeing sub-menus: their items own them.
  for (UINT i = standing; i > position; --i) RemoveMenu(handle_, i - 1, MF_BYPOSITION);
  if (menu_) menu_->MenuChanged();
}

void TMenuItem::RewriteEntry(HMENU menu, UINT position, const MENUITEMINFOW& info) {
  MENUITEMINFOW now{};
  now.cbSize = sizeof(now);
  now.fMask = MIIM_FTYPE | MIIM_SUBMENU;
  const bool line = (info.fType & MFT_SEPARATOR) != 0;
  // An item and a separator in turn, or an entry with a sub-menu (which may stand at another position
  // too until that one is rewritten), is made anew; the others are written over.
  if (GetMenuItemInfoW(menu, position, TRUE, &now) && ((now.fType & MFT_SEPARATOR) != 0) == line && !now.hSubMenu &&
      !info.hSubMenu) {
    SetMenuItemInfoW(menu, position, TRUE, &info);
    return;
  }
  RemoveMenu(menu, position, MF_BYPOSITION);
  InsertMenuItemW(menu, position, TRUE, &info);
}

// ---------------------------------------------------------------------------------------------------------
// TMenu.

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(nullptr)) { items_->menu_ = this; }

TMenu::~TMenu() {
  // The items leave while the command table is still here.
  items_->Clear();
  delete items_;
}

uint16_t TMenu::AllocateCommand(TMenuItem* item) {
  // Ids below 0xF000 (the system commands start there); 0 is no command.
  constexpr uint16_t kLast = 0xEFFF;
  if (commands_.size() >= kLast) return 0;
  while (commands_.count(nextCommand_)) nextCommand_ = nextCommand_ >= kLast ? 1 : nextCommand_ + 1;
  const uint16_t command = nextCommand_;
  nextCommand_ = nextCommand_ >= kLast ? 1 : nextCommand_ + 1;
  commands_[command] = item;
  return command;
}

void TMenu::ReleaseCommand(uint16_t command) { commands_.erase(command); }

namespace {

TMenuItem* FindByHandle(TMenuItem* item, HMENU menu) {
  if (item->Count() && item->Handle() == menu) return item;
  for (int i = 0; i < item->Count(); ++i)
    if (TMenuItem* found = FindByHandle(item->Items(i), menu)) return found;
  return nullptr;
}

}  // namespace

TMenuItem* TMenu::FindItem(uintptr_t value, TFindItemKind kind) const {
  if (kind == fkCommand) {
    auto it = commands_.find(static_cast<uint16_t>(value));
    return it == commands_.end() || value > 0xFFFF ? nullptr : it->second;
  }
  if (!value) return nullptr;
  if (items_->handle_ == reinterpret_cast<HMENU>(value)) return items_;
  return FindByHandle(items_, reinterpret_cast<HMENU>(value));
}

bool TMenu::DispatchCommand(uint16_t command) {
  TMenuItem* item = FindItem(command, fkCommand);
  if (!item) return false;
  if (item->Enabled()) item->Click();
  return true;
}

bool TMenu::DispatchPopup(HMENU menu) {
  TMenuItem* item = FindItem(reinterpret_cast<uintptr_t>(menu), fkHandle);
  if (!item) return false;
  item->RebuildHandle();
  return true;
}

// ---------------------------------------------------------------------------------------------------------
// TMainMenu.

TMainMenu::TMainMenu(TComponent* owner) : TMenu(owner) {}

TMainMenu::~TMainMenu() { SetWindow(nullptr); }

void TMainMenu::SetWindow(HWND window) {
  if (window == window_) return;
  // A window destroys the menu it shows: take it back first.
  if (window_ && IsWindow(window_) && GetMenu(window_) == Handle()) ::SetMenu(window_, nullptr);
  window_ = window;
  if (window_) ::SetMenu(window_, Handle());
}

void TMainMenu::MenuChanged() {
  if (!window_ || !IsWindow(window_)) return;
  DrawMenuBar(window_);
  // Whoever draws the bar in place of the system (a skin) rebuilds it from the new entries.
  SendMessageW(window_, CM_MENUCHANGED, 0, 0);
}

// ---------------------------------------------------------------------------------------------------------
// TPopupMenu.

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}

TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::SetPopupComponent(TComponent* value) {
  if (value == popupComponent_) return;
  if (popupComponent_) popupComponent_->RemoveFreeNotification(this);
  popupComponent_ = value;
  if (popupComponent_) popupComponent_->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == popupComponent_) popupComponent_ = nullptr;
}

HWND TPopupMenu::OwnerWindow() {
  for (TComponent* c = Owner(); c; c = c->Owner())
    if (auto* form = dynamic_cast<TCustomForm*>(c)) return form->Handle();
  if (Application && Application->Handle()) return Application->Handle();
  if (!window_)
    window_ = std::make_unique<THiddenWindow>([this](TMessage& m) {
      m.Result = DefWindowProcW(window_->Handle(), m.Msg, m.WParam, m.LParam);
    });
  return window_->Handle();
}

void TPopupMenu::Popup(int x, int y) {
  OnPopup(this);
  const HMENU menu = Handle();
  const HWND owner = OwnerWindow();
  UINT flags = TPM_RETURNCMD | TPM_RIGHTBUTTON;
  if (alignment_ == paRight)
    flags |= TPM_RIGHTALIGN;
  else if (alignment_ == paCenter)
    flags |= TPM_CENTERALIGN;
  // A menu opened for a window that is not in front would not close when the user clicks elsewhere; the
  // WM_NULL afterwards lets the owner's thread notice the menu is gone.
  SetForegroundWindow(owner);
  // The owner window measures and draws this menu's owner-drawn entries while it is open.
  TWindowSubclass drawing(owner, [this](HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage m{msg, wParam, lParam, 0};
    if ((msg == WM_MEASUREITEM || msg == WM_DRAWITEM) && DispatchItemMessage(m)) return static_cast<LRESULT>(m.Result);
    return TWindowSubclass::CallPrevious(wnd, msg, wParam, lParam);
  });
  const int command = TrackPopupMenu(menu, flags, x, y, 0, owner, nullptr);
  PostMessageW(owner, WM_NULL, 0, 0);
  // The command is looked up afresh: its item may have been freed while the menu was open.
  if (command > 0) DispatchCommand(static_cast<uint16_t>(command));
}

}  // namespace cl
