// The skinned window's side of its menu bar and system menu: opening the bar's drop-downs, Alt and a
// letter, the commands the system menu sends, the bar rebuilt when the menu changes, and the owner-drawn
// system menu popup.
#include <utility>
#include <vector>

#include "Forms.h"
#include "Menus.h"
#include "SkinFrame.h"
#include "SkinMenuBar.h"
#include "SysButtons.h"
#include "WinSkinData.h"
#include "WinSkinDlg.h"
#include "WinSkinForm.h"

namespace skin {

namespace {

// While the window lets the system handle a menu change, the system's frame painting must not show
// through: the skin paints nothing, and the switch comes back however the handling ends.
class TNonClientPaintingOff {
 public:
  explicit TNonClientPaintingOff(TSkinData& data) : data_(data), saved_(data.NonClientPainting) {
    data.NonClientPainting = false;
  }
  ~TNonClientPaintingOff() { data_.NonClientPainting = saved_; }
  TNonClientPaintingOff(const TNonClientPaintingOff&) = delete;
  TNonClientPaintingOff& operator=(const TNonClientPaintingOff&) = delete;

 private:
  TSkinData& data_;
  bool saved_;
};

bool IsSystemCommand(UINT id) {
  switch (id) {
    case SC_SIZE:
    case SC_MOVE:
    case SC_MINIMIZE:
    case SC_MAXIMIZE:
    case SC_NEXTWINDOW:
    case SC_PREVWINDOW:
    case SC_CLOSE:
    case SC_RESTORE:
      return true;
    default:
      return false;
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// The menu bar.

void TWinSkinForm::MakeMenuOwnerDraw(HMENU menu) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_SUBMENU;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
    if (!(info.fType & MFT_OWNERDRAW)) {
      info.fMask = MIIM_FTYPE;
      info.fType |= MFT_OWNERDRAW;
      SetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
    }
    if (info.hSubMenu) MakeMenuOwnerDraw(info.hSubMenu);
  }
}

void TWinSkinForm::CreateMenuBar() {
  menuBar_ = std::make_unique<TWinSkinMenu>(state_, *data_, form_);
  state_.MenuBarHeight = GetSystemMetrics(SM_CYMENU);
  menuBar_->LoadFromMainMenu();
}

void TWinSkinForm::FreeMenuBar(bool giveBack) {
  if (!menuBar_) return;
  if (giveBack) menuBar_->GiveBack();
  menuBar_.reset();
  state_.MenuBarHeight = 0;
}

void TWinSkinForm::PaintMenuBar(HDC dc, const RECT& rect) {
  if (menuBar_) menuBar_->PaintBar(dc, rect);
}

TNCObject* TWinSkinForm::MenuButtonAt(POINT framePoint) {
  return menuBar_ ? menuBar_->ButtonAt(framePoint) : nullptr;
}

TMenuBtn* TWinSkinForm::FindMenuAccel(wchar_t ch) const { return menuBar_ ? menuBar_->FindAccel(ch) : nullptr; }

void TWinSkinForm::OpenMenuButton(const TMenuBtn& button) {
  RECT window{};
  GetWindowRect(wnd_, &window);
  PostMessageW(wnd_, WM_NCLBUTTONDOWN, HTCLIENT,
               MAKELPARAM(button.Rect.left + window.left + 1, button.Rect.top + window.top + 1));
}

void TWinSkinForm::TrackMenuButton(TNCObject& object) {
  auto* button = dynamic_cast<TMenuBtn*>(&object);
  if (!button || !menuBar_ || menuTracking_) return;
  // Moving along the bar ends one drop-down and opens the next from here, one at a time.
  int index = button->Index;
  while (index >= 0 && menuBar_) {
    if (TMenuBtn* b = menuBar_->Button(index); b && b != state_.HotObject) b->MouseDown();
    index = TrackDropDown(index);
  }
  if (state_.HotObject && menuBar_ && dynamic_cast<TMenuBtn*>(state_.HotObject)) state_.HotObject->MouseLeave();
}

int TWinSkinForm::TrackDropDown(int index) {
  TMenuBtn* button = menuBar_->Button(index);
  if (!button) return -1;
  // What the drop-down needs is copied: a menu change while it is open rebuilds the bar afterwards.
  const bool enabled = button->Enabled;
  const HMENU subMenu = button->SubMenu;
  cl::TMenuItem* item = button->MenuItem;
  const RECT rect = button->Rect;
  if (!enabled) return -1;
  if (button->Command) PostMessageW(wnd_, WM_COMMAND, button->Command, 0);
  if (!subMenu) return -1;
  if (item) HideRedundantSeparators(*item);
  MakeMenuOwnerDraw(subMenu);
  RECT window{};
  GetWindowRect(wnd_, &window);
  if (TSkinManage* manager = SkinManager()) manager->PopupMenuKind = 1;

  menuTracking_ = true;
  int next = -1;
  bool rebuild = false;
  UINT command = 0;
  {
    TMenuTracking tracking(wnd_, *menuBar_, index, subMenu);
    tracking_ = &tracking;
    // The command comes back here (and is posted below) so that the window still sees the menu's
    // notifications, which the keyboard navigation and the items' refresh on opening need.
    command = static_cast<UINT>(TrackPopupMenu(subMenu, TPM_RIGHTBUTTON | TPM_RETURNCMD, rect.left + window.left,
                                               rect.bottom + window.top, 0, wnd_, nullptr));
    tracking_ = nullptr;
    next = tracking.NextIndex();
    rebuild = tracking.RebuildPending();
  }
  menuTracking_ = false;
  if (command) PostMessageW(wnd_, WM_COMMAND, command, 0);
  if (rebuild) {
    RebuildMenuBar();
    if (next >= menuBar_->ButtonCount()) next = -1;
  }
  return next;
}

LRESULT TWinSkinForm::MenuChanged(WPARAM wParam, LPARAM lParam) {
  {
    const TNonClientPaintingOff off(*data_);
    const LRESULT result = Default(cl::CM_MENUCHANGED, wParam, lParam);
    if (!menuBar_ || !data_->MenuUpdate()) return result;
    if (HMENU menu = GetMenu(wnd_)) menuBar_->SetMenuHandle(menu);
    if (!menuBar_->MenuHandle()) return result;
    if (tracking_) {
      // The button in use must stay until its drop-down has closed.
      tracking_->SetRebuildPending();
      return result;
    }
    if (data_->MenuMerge())
      menuBar_->LoadFromMenuHandle();
    else
      menuBar_->LoadFromMainMenu();
  }
  PaintNonClient(state_);
  return 0;
}

void TWinSkinForm::RebuildMenuBar() {
  if (!menuBar_) return;
  {
    const TNonClientPaintingOff off(*data_);
    if (data_->MenuMerge())
      menuBar_->LoadFromMenuHandle();
    else
      menuBar_->LoadFromMainMenu();
  }
  PaintNonClient(state_);
}

bool TWinSkinForm::DoDialogChar(cl::TMessage& m) {
  TMenuBtn* button = FindMenuAccel(static_cast<wchar_t>(m.WParam));
  cl::TShiftState alt;
  alt.Include(cl::ssAlt);
  if (button && cl::KeyDataToShiftState(m.LParam) == alt) {
    OpenMenuButton(*button);
    m.Result = 1;
    return true;
  }
  // A child has no bar of its own: Alt and a letter are the frame's (its MDI client's parent).
  if (IsMDIChild()) {
    const HWND client = GetParent(wnd_);
    if (auto* frame = dynamic_cast<cl::TCustomForm*>(cl::TWinControl::FindControl(client ? GetParent(client) : nullptr))) {
      if (const intptr_t taken = frame->Perform(cl::CM_DIALOGCHAR, m.WParam, m.LParam); taken != 0) {
        m.Result = taken;
        return true;
      }
    }
  }
  m.Result = 0;
  return false;
}

bool TWinSkinForm::WMSysCommand(WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (!menuTracking_ && (wParam & 0xFFF0) == SC_KEYMENU && lParam != ' ' && lParam != '-' && !GetCapture()) {
    // Alt alone does nothing visible; Alt and a letter arrives as CM_DIALOGCHAR and opens the button.
    if (lParam == 0 || FindMenuAccel(static_cast<wchar_t>(lParam))) {
      result = 1;
      return true;
    }
  }
  switch (wParam & 0xFFF0) {
    case SC_MINIMIZE:
      state_.WindowState = TWindowState::Minimized;
      if (IsMDIChild()) SetCaptionStyle(true);
      break;
    case SC_MAXIMIZE:
      state_.WindowState = TWindowState::Maximized;
      break;
    case SC_RESTORE:
      state_.WindowState = TWindowState::Normal;
      if (IsMDIChild()) SetCaptionStyle(false);
      break;
    default:
      break;
  }
  return false;
}

bool TWinSkinForm::WMCommand(WPARAM wParam) {
  // The system menu tracked as a popup sends its choice as a command.
  const UINT id = LOWORD(wParam);
  if (!IsSystemCommand(id)) return false;
  PostMessageW(wnd_, WM_SYSCOMMAND, id, 0);
  return true;
}

// ---------------------------------------------------------------------------------------------------------
// The system menu.

void TWinSkinForm::BuildSysMenu() {
  sysMenu_ = std::make_unique<cl::TPopupMenu>(this);
  sysMenu_->SetTag(kSysMenuTag);
  sysMenu_->SetOwnerDraw(true);
  struct TEntry {
    const char* caption;
    int tag;
    bool shown;
  };
  const TEntry entries[] = {{" Restore ", 0, true},
                            {" Maximize ", 1, (state_.StyleFlags & kStyleMaximizeBox) != 0},
                            {" Minimize ", 2, (state_.StyleFlags & kStyleMinimizeBox) != 0},
                            {"-", 100, true},
                            {" Close ", 3, true}};
  std::vector<cl::TMenuItem*> items;
  for (const TEntry& e : entries) {
    if (!e.shown) continue;
    auto* item = new cl::TMenuItem(sysMenu_.get());
    item->SetCaption(e.caption);
    item->SetTag(e.tag);
    item->SetImageIndex(e.tag);
    if (e.tag == 3) item->SetShortCut(cl::ShortCut(VK_F4, true, false, false));
    item->OnClick = cl::TNotifyEvent(this, &TWinSkinForm::SysMenuClick);
    item->OnDrawItem = cl::TMenuDrawItemEvent(this, &TWinSkinForm::DrawMenuItem);
    item->OnMeasureItem = cl::TMenuMeasureItemEvent(this, &TWinSkinForm::MeasurePopupItem);
    items.push_back(item);
  }
  sysMenu_->Items()->Add(items);
}

void TWinSkinForm::ShowSysMenu(int screenX, int screenY) {
  if (sysMenu_) {
    cl::TMenuItem* root = sysMenu_->Items();
    for (int i = 0; i < root->Count(); ++i) {
      cl::TMenuItem* item = root->Items(i);
      const int tag = item->Tag();
      if (tag >= 0 && tag <= 2) item->SetEnabled(static_cast<int>(state_.WindowState) != tag);
    }
  }
  const DWORD now = GetTickCount();
  if (now - lastSysMenuTime_ > GetDoubleClickTime()) {
    if (TSkinManage* manager = SkinManager()) manager->PopupMenuKind = 2;
    lastSysMenuTime_ = now;
    if (sysMenu_ && data_ && data_->SkinControls().Contains(xcSystemMenu) && !IsMDIChild()) {
      // The icons load the common controls: not before the menu is first shown.
      if (!sysMenu_->Images()) sysMenu_->SetImages(&data_->MenuIcons());
      sysMenu_->Popup(screenX, screenY);
    } else if (systemMenu_) {
      const UINT command = static_cast<UINT>(
          TrackPopupMenu(systemMenu_, TPM_RETURNCMD | TPM_RIGHTBUTTON, screenX, screenY, 0, wnd_, nullptr));
      if (command) PostMessageW(wnd_, WM_SYSCOMMAND, command, 0);
    }
  } else if (state_.HotObject) {
    // The system-menu button pressed twice closes the window.
    timer_.SetEnabled(false);
    PostMessageW(wnd_, WM_CLOSE, 0, 0);
  }
}

void TWinSkinForm::SysMenuClick(cl::TObject* sender) {
  auto* item = dynamic_cast<cl::TMenuItem*>(sender);
  if (!item) return;
  switch (item->Tag()) {
    case 0: Restore(state_); break;
    case 1: Maximize(state_); break;
    case 2: Minimize(state_); break;
    case 3:
      timer_.SetEnabled(false);
      PostMessageW(wnd_, WM_CLOSE, 0, 0);
      break;
    default: break;
  }
}

}  // namespace skin
