#include "SkinMenuBar.h"

#include <algorithm>

#include "DeviceContext.h"
#include "Forms.h"
#include "ImgUtil.h"
#include "Menus.h"
#include "SkinFrame.h"
#include "StdCtrls.h"
#include "WinSkinData.h"
#include "WinString.h"

namespace skin {

namespace {

// Raw entries' texts are read up to this many characters.
constexpr int kRawTextLength = 80;
// Space around each caption on the bar.
constexpr int kCaptionPadding = 10;

HFONT MenuFont() { return const_cast<cl::TFont&>(cl::Screen().MenuFont()).Handle(); }

int CaptionWidth(HDC dc, const std::wstring& caption) {
  if (caption.empty()) return 0;
  RECT r{0, 0, 0, 0};
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r, DT_CALCRECT | DT_SINGLELINE | DT_NOCLIP);
  return (r.right - r.left) + kCaptionPadding;
}

// The hook reaches the drop-down open on its thread through this; the tracking object sets and clears it.
thread_local TMenuTracking* currentTracking = nullptr;

}  // namespace

void DrawBarCaption(const TSkinData& data, HDC dc, const RECT& rect, const std::wstring& caption, bool enabled) {
  if (caption.empty()) return;
  const cl::TSelectedObject font(dc, MenuFont());
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor =
      SetTextColor(dc, cl::ColorToRGB(enabled ? data.Colors.MenuBarText : data.Colors.ButtonShadow));
  RECT measured = rect;
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &measured,
            DT_CENTER | DT_CALCRECT | DT_NOCLIP | DT_SINGLELINE | DT_EXPANDTABS);
  const int w = measured.right - measured.left, h = measured.bottom - measured.top;
  RECT at{rect.left + ((rect.right - rect.left) - w) / 2, rect.top + ((rect.bottom - rect.top) - h) / 2, 0, 0};
  at.right = at.left + w;
  at.bottom = at.top + h;
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &at, DT_CENTER | DT_SINGLELINE | DT_EXPANDTABS);
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
}

void HideRedundantSeparators(cl::TMenuItem& item) {
  const int n = item.Count();
  int first = -1, last = -1;
  for (int i = 0; i < n; ++i) {
    const cl::TMenuItem* sub = item.Items(i);
    if (!sub->IsLine() && sub->Visible()) {
      if (first < 0) first = i;
      last = i;
    }
  }
  for (int i = 0; i < n; ++i) {
    cl::TMenuItem* sub = item.Items(i);
    if (!sub->IsLine()) continue;
    // Of a run of separators between visible items only the last shows.
    bool keep = first >= 0 && i > first && i < last;
    for (int j = i + 1; keep && j < n; ++j) {
      const cl::TMenuItem* next = item.Items(j);
      if (next->IsLine())
        keep = false;
      else if (next->Visible())
        break;
    }
    if (sub->Visible() != keep) sub->SetVisible(keep);
  }
}

// ---------------------------------------------------------------------------------------------------------
// TMenuBtn.

void TMenuBtn::Paint() {
  const TNCFrameState& s = Form();
  if (!Visible || IsRectEmpty(&Rect) || bar_.BarBitmap().Empty()) return;
  const cl::TWindowDC dc(s.Wnd, cl::TWindowDC::dcWholeWindow);
  if (!dc) return;
  const RECT bar = bar_.BarRect();
  cl::TBitmap& background = bar_.BarBitmap();
  BitBlt(dc.Get(), Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top, background.Canvas()->Handle(),
         Rect.left - bar.left, Rect.top - bar.top, SRCCOPY);
  if (State == kNCHot || State == kNCPressed) {
    const cl::TBrushHandle brush(CreateSolidBrush(cl::ColorToRGB(bar_.Data().Colors.ButtonHilight)));
    FrameRect(dc.Get(), &Rect, brush.Get());
  }
  DrawBarCaption(bar_.Data(), dc.Get(), Rect, Caption, Enabled);
}

// ---------------------------------------------------------------------------------------------------------
// TWinSkinMenu.

TWinSkinMenu::TWinSkinMenu(TNCFrameState& state, TSkinData& data, cl::TCustomForm* form)
    : state_(state), data_(data), form_(form) {}

cl::TMainMenu* TWinSkinMenu::MainMenu() const noexcept { return form_ ? form_->Menu() : nullptr; }

TWinSkinMenu::~TWinSkinMenu() { ClearButtons(); }

void TWinSkinMenu::ClearButtons() {
  // The frame must not keep pointing at a button that is going.
  for (const auto& b : buttons_) {
    if (state_.HotObject == b.get()) state_.HotObject = nullptr;
    if (state_.PressedObject == b.get()) state_.PressedObject = nullptr;
  }
  buttons_.clear();
}

TMenuBtn& TWinSkinMenu::AddButton() {
  auto button = std::make_unique<TMenuBtn>(state_, *this);
  button->Index = static_cast<int>(buttons_.size());
  buttons_.push_back(std::move(button));
  return *buttons_.back();
}

TMenuBtn* TWinSkinMenu::Button(int index) const {
  return index >= 0 && index < ButtonCount() ? buttons_[static_cast<size_t>(index)].get() : nullptr;
}

void TWinSkinMenu::LoadFromMainMenu() {
  if (HMENU menu = GetMenu(state_.Wnd)) menuHandle_ = menu;
  if (!menuHandle_) return;
  // A bare window has no menu component: its bar comes from the menu's own entries.
  cl::TMainMenu* mainMenu = MainMenu();
  if (!mainMenu) {
    LoadFromMenuHandle();
    return;
  }
  ClearButtons();
  cl::TMenuItem* root = mainMenu->Items();
  for (int i = 0; i < root->Count(); ++i) {
    cl::TMenuItem* item = root->Items(i);
    TMenuBtn& b = AddButton();
    b.Visible = item->Visible();
    b.Enabled = item->Enabled();
    b.Command = item->Command();
    b.Caption = cl::ToWide(item->Caption());
    b.MenuItem = item;
    b.SubMenu = item->Count() > 0 ? item->Handle() : nullptr;
  }
  SetMenu(state_.Wnd, nullptr);
}

void TWinSkinMenu::LoadFromMenuHandle() {
  if (HMENU menu = GetMenu(state_.Wnd)) menuHandle_ = menu;
  LoadEntries(false);
}

void TWinSkinMenu::LoadFromMDIMenu(HMENU menu) {
  if (menu) menuHandle_ = menu;
  LoadEntries(true);
}

void TWinSkinMenu::LoadEntries(bool byCommand) {
  if (!menuHandle_) return;
  const int count = GetMenuItemCount(menuHandle_);
  if (count <= 0) return;
  ClearButtons();
  for (int i = 0; i < count; ++i) {
    wchar_t text[kRawTextLength + 1] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING | MIIM_FTYPE;
    info.dwTypeData = text;
    info.cch = kRawTextLength;
    TMenuBtn& b = AddButton();
    b.Visible = true;
    if (!GetMenuItemInfoW(menuHandle_, static_cast<UINT>(i), TRUE, &info)) continue;
    b.SubMenu = info.hSubMenu;
    b.Enabled = !(info.fState & (MFS_GRAYED | MFS_DISABLED));
    b.Command = info.wID;
    b.Caption = text;
    cl::TMainMenu* mainMenu = MainMenu();
    cl::TMenuItem* root = mainMenu ? mainMenu->Items() : nullptr;
    if (b.Caption.empty() && root && byCommand) {
      // The MDI frame's menu holds the entries in its own order: the item of that command tells.
      for (int k = 0; k < root->Count(); ++k) {
        cl::TMenuItem* item = root->Items(k);
        if (item->Command() != info.wID) continue;
        b.MenuItem = item;
        b.Caption = cl::ToWide(item->Caption());
        b.Enabled = item->Enabled();
        b.Command = item->Command();
        b.SubMenu = item->Count() > 0 ? item->Handle() : nullptr;
      }
    } else if (b.Caption.empty() && root && i < root->Count()) {
      // Owner-drawn entries carry no text: the menu component's item at that place tells it.
      cl::TMenuItem* item = root->Items(i);
      b.MenuItem = item;
      b.Caption = cl::ToWide(item->Caption());
      b.Enabled = item->Enabled();
      b.Command = GetMenuItemID(menuHandle_, i);
      b.SubMenu = item->Count() > 0 ? item->Handle() : nullptr;
    }
  }
  SetMenu(state_.Wnd, nullptr);
}

void TWinSkinMenu::GiveBack() {
  if (menuHandle_ && IsWindow(state_.Wnd) && GetMenu(state_.Wnd) != menuHandle_) SetMenu(state_.Wnd, menuHandle_);
}

TMenuBtn* TWinSkinMenu::ButtonAt(POINT p) const {
  for (const auto& b : buttons_)
    if (!b->Caption.empty() && PtInRect(&b->Rect, p)) return b.get();
  return nullptr;
}

TMenuBtn* TWinSkinMenu::FindAccel(wchar_t ch) const {
  for (const auto& b : buttons_)
    if (b->Enabled && b->Visible && cl::IsAccel(ch, cl::FromWide(b->Caption))) return b.get();
  return nullptr;
}

void TWinSkinMenu::DrawBackground(cl::TBitmap& bitmap, int& startX) const {
  const int w = bitmap.Width(), h = bitmap.Height();
  TDataSkinObject* element = data_.MenuBar.get();
  cl::TBitmap* image = element ? SkinImageBitmap(element->Image) : nullptr;
  if (!image) {
    const cl::TBrushHandle brush(CreateSolidBrush(cl::ColorToRGB(data_.Colors.Menubar)));
    const RECT all{0, 0, w, h};
    FillRect(bitmap.Canvas()->Handle(), &all, brush.Get());
    startX = 6;
    return;
  }
  const int frame = state_.Active ? 1 : 2;
  const cl::TRect rect = cl::Rect(0, 0, w, h);
  if (element->Tile == 1)
    DrawNineSlice(bitmap.Canvas()->Handle(), rect, *image, true, true, false, 2, frame, element->Margins);
  else
    DrawNineSliceCanvas(*bitmap.Canvas(), rect, *image, true, false, 2, frame, element->Margins);
  startX = RightToLeft() ? element->Margins.Right + 8 : element->Margins.Left + 4;
  if (w < startX) startX = 12;
}

void TWinSkinMenu::PaintBar(HDC dc, const RECT& rect) {
  const int w = rect.right - rect.left, h = rect.bottom - rect.top;
  if (w <= 0 || h <= 0) return;
  barRect_ = rect;
  barBitmap_.SetPixelFormat(cl::pf24bit);
  barBitmap_.SetSize(w, h);
  int startX = 0;
  DrawBackground(barBitmap_, startX);

  // Composed on the work bitmap over a copy of the background, then put on the window in one copy.
  cl::TBitmap& work = data_.WorkBitmap();
  work.SetSize(w, h);
  HDC wdc = work.Canvas()->Handle();
  BitBlt(wdc, 0, 0, w, h, barBitmap_.Canvas()->Handle(), 0, 0, SRCCOPY);
  {
    const cl::TSelectedObject font(wdc, MenuFont());
    int x = RightToLeft() ? w - startX : startX;
    for (const auto& b : buttons_) {
      if (!b->Visible) {
        b->Rect = RECT{};
        continue;
      }
      const int bw = CaptionWidth(wdc, b->Caption);
      RECT cell = RightToLeft() ? RECT{x - bw, 0, x, h - 1} : RECT{x, 0, x + bw, h - 1};
      DrawBarCaption(data_, wdc, cell, b->Caption, b->Enabled);
      OffsetRect(&cell, rect.left, rect.top);
      b->Rect = cell;
      x += RightToLeft() ? -bw : bw;
    }
  }
  PaintMDIChildButtons(wdc, rect);
  BitBlt(dc, rect.left, rect.top, w, h, wdc, 0, 0, SRCCOPY);
}

void TWinSkinMenu::PaintMDIChildButtons(HDC dc, const RECT& barRect) {
  if (!state_.Host || !state_.Host->IsMDIChildMaximized()) return;
  for (const auto& button : state_.SysButtons) {
    TDataSkinSysButton& d = *button->Data;
    cl::TBitmap* image = d.Visibility == 100 && !d.Image.Empty() ? SkinImageBitmap(d.Image) : nullptr;
    if (!image) continue;
    RECT r = button->Rect;
    OffsetRect(&r, -barRect.left, -barRect.top);
    DrawSkinFrame(dc, cl::TRect{r.left, r.top, r.right, r.bottom}, *image, true, d.FrameCount, 1);
  }
  // The children follow: a maximised child shows no frame of its own while its buttons are here.
  state_.Host->SetMDIChildrenMaximized();
}

// ---------------------------------------------------------------------------------------------------------
// TMenuTracking.

TMenuTracking::TMenuTracking(HWND wnd, TWinSkinMenu& bar, int openIndex, HMENU popup)
    : wnd_(wnd), bar_(bar), openIndex_(openIndex), popup_(popup), previous_(currentTracking) {
  GetCursorPos(&lastPoint_);
  currentTracking = this;
  hook_ = SetWindowsHookExW(WH_MSGFILTER, &TMenuTracking::HookProc, nullptr, GetCurrentThreadId());
}

TMenuTracking::~TMenuTracking() {
  if (hook_) UnhookWindowsHookEx(hook_);
  currentTracking = previous_;
}

TMenuTracking* TMenuTracking::Current() noexcept { return currentTracking; }

LRESULT CALLBACK TMenuTracking::HookProc(int code, WPARAM wParam, LPARAM lParam) {
  TMenuTracking* tracking = currentTracking;
  auto* msg = reinterpret_cast<MSG*>(lParam);
  if (tracking && msg && code == MSGF_MENU && tracking->bar_.RightToLeft() && msg->message == WM_KEYDOWN) {
    // A right-to-left bar runs the other way.
    if (msg->wParam == VK_LEFT)
      msg->wParam = VK_RIGHT;
    else if (msg->wParam == VK_RIGHT)
      msg->wParam = VK_LEFT;
  }
  const LRESULT result = CallNextHookEx(tracking ? tracking->hook_ : nullptr, code, wParam, lParam);
  if (result || code != MSGF_MENU || !tracking || !msg) return result;
  return tracking->Filter(*msg) ? 1 : 0;
}

void TMenuTracking::MenuSelect(WPARAM wParam, LPARAM lParam) {
  const UINT flags = HIWORD(wParam);
  const auto menu = reinterpret_cast<HMENU>(lParam);
  if (flags == 0xFFFF && !menu) return;  // the menu closes
  currentParent_ = menu;
  currentSubMenu_ = (flags & MF_POPUP) && menu ? GetSubMenu(menu, LOWORD(wParam)) : nullptr;
  current_ = nullptr;
  if (cl::TMainMenu* main = bar_.MainMenu()) {
    current_ = currentSubMenu_ ? main->FindItem(reinterpret_cast<uintptr_t>(currentSubMenu_), cl::fkHandle)
                               : main->FindItem(LOWORD(wParam), cl::fkCommand);
  }
}

bool TMenuTracking::CurrentIsNested() const {
  return currentParent_ && currentParent_ != popup_ && currentSubMenu_ != popup_;
}

bool TMenuTracking::CurrentHasSubItems() const { return currentSubMenu_ != nullptr; }

bool TMenuTracking::Filter(MSG& msg) {
  if (!firstKey_ && msg.hwnd) {
    // The drop-down opens with its first item selected.
    firstKey_ = true;
    PostMessageW(msg.hwnd, WM_KEYDOWN, VK_DOWN, 0);
  }
  const int count = bar_.ButtonCount();
  if (count <= 0) return false;
  int step = 0;
  switch (msg.message) {
    case WM_KEYDOWN:
      if (msg.wParam == VK_LEFT && !CurrentIsNested()) step = -1;
      if (msg.wParam == VK_RIGHT && !CurrentHasSubItems()) step = 1;
      break;
    case WM_MOUSEMOVE:
      if (msg.pt.x != lastPoint_.x || msg.pt.y != lastPoint_.y) {
        lastPoint_ = msg.pt;
        const TMenuBtn* b = bar_.ButtonAt(ScreenToFrame(bar_.State(), msg.pt));
        if (b && b->Index != openIndex_ && b->SubMenu && b->Enabled) {
          SwitchTo(b->Index);
          return false;
        }
      }
      return false;
    default:
      return false;
  }
  if (!step) return false;
  // The next button along that has a drop-down: a command item is not run by passing over it.
  for (int i = 1; i <= count; ++i) {
    const int index = ((openIndex_ + step * i) % count + count) % count;
    const TMenuBtn* b = bar_.Button(index);
    if (index == openIndex_) return false;
    if (b->Visible && b->SubMenu && b->Enabled) {
      SwitchTo(index);
      return true;
    }
  }
  return false;
}

void TMenuTracking::SwitchTo(int index) {
  // The present drop-down ends; its owner opens the next one when TrackPopupMenu has returned.
  nextIndex_ = index;
  EndMenu();
}

}  // namespace skin
