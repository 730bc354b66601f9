// Owner-drawn menus: measuring and drawing items, and the WM_MEASUREITEM and WM_DRAWITEM that reach a
// menu's owner window.
#include <algorithm>

#include "DeviceContext.h"
#include "Forms.h"
#include "Menus.h"
#include "WinString.h"

namespace cl {

namespace {

// Room around the glyph column and the caption, in pixels.
constexpr int kGlyphMargin = 2;
constexpr int kTextGap = 6;
constexpr int kShortCutGap = 16;
constexpr int kRightMargin = 8;
constexpr int kSeparatorHeight = 8;

int GlyphSize(const TMenuItem& item) {
  const TImageList* images = item.GetImageList();
  return std::max(images ? images->Width() : 16, 16);
}

SIZE TextSize(HDC dc, const std::wstring& text) {
  RECT r{0, 0, 0, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
  return {r.right - r.left, r.bottom - r.top};
}

// The item that data names, searched by address among the items of `item` (nothing is read through data
// before it is found).
TMenuItem* FindByData(TMenuItem* item, ULONG_PTR data) {
  if (reinterpret_cast<ULONG_PTR>(item) == data) return item;
  for (int i = 0; i < item->Count(); ++i)
    if (TMenuItem* found = FindByData(item->Items(i), data)) return found;
  return nullptr;
}

// Owner drawing measures and draws in the menu font, bold for the default item.
void UseMenuFont(TCanvas& canvas, HDC dc, const TMenuItem& item) {
  canvas.SetHandle(dc);
  canvas.Font()->Assign(&Screen().MenuFont());
  if (item.Default()) canvas.Font()->SetStyle(TFontStyles(canvas.Font()->Style()).Include(fsBold));
}

}  // namespace

TImageList* TMenuItem::GetImageList() const noexcept {
  const TMenu* menu = GetParentMenu();
  return menu ? menu->Images() : nullptr;
}

void TMenuItem::MeasureItem(TCanvas& canvas, int& width, int& height) {
  DefaultMeasure(canvas, width, height);
  OnMeasureItem(this, &canvas, width, height);
}

void TMenuItem::DrawItem(TCanvas& canvas, const TRect& rect, bool selected) {
  if (OnDrawItem) {
    OnDrawItem(this, &canvas, rect, selected);
    return;
  }
  DefaultDraw(canvas, rect, selected);
}

void TMenuItem::DefaultMeasure(TCanvas& canvas, int& width, int& height) const {
  if (IsLine()) {
    width = 0;
    height = kSeparatorHeight;
    return;
  }
  HDC dc = canvas.Handle();
  const int glyph = GlyphSize(*this);
  const SIZE text = TextSize(dc, ToWide(caption_));
  width = kGlyphMargin + glyph + kTextGap + text.cx + kRightMargin;
  if (const std::string key = ShortCutToText(shortCut_); !key.empty())
    width += kShortCutGap + TextSize(dc, ToWide(key)).cx;
  height = std::max(static_cast<int>(text.cy), glyph) + 4;
}

void TMenuItem::DefaultDraw(TCanvas& canvas, const TRect& rect, bool selected) {
  HDC dc = canvas.Handle();
  const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  FillRect(dc, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
  if (IsLine()) {
    RECT line{r.left, r.top + (r.bottom - r.top) / 2 - 1, r.right, r.bottom};
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    return;
  }
  const int glyph = GlyphSize(*this);
  const RECT box{r.left + kGlyphMargin, r.top + (r.bottom - r.top - glyph) / 2, r.left + kGlyphMargin + glyph,
                 r.top + (r.bottom - r.top - glyph) / 2 + glyph};
  if (TImageList* images = GetImageList(); images && imageIndex_ >= 0 && imageIndex_ < images->Count()) {
    images->Draw(&canvas, box.left, box.top, imageIndex_, enabled_);
  } else if (checked_) {
    RECT mark = box;
    DrawFrameControl(dc, &mark, DFC_MENU, radioItem_ ? DFCS_MENUBULLET : DFCS_MENUCHECK);
  }
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor =
      SetTextColor(dc, GetSysColor(!enabled_ ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
  RECT text{box.right + kTextGap, r.top, r.right - kRightMargin, r.bottom};
  const std::wstring caption = ToWide(caption_);
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS);
  if (const std::string key = ShortCutToText(shortCut_); !key.empty()) {
    const std::wstring wide = ToWide(key);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &text, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
  }
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
}

// ---------------------------------------------------------------------------------------------------------

TMenuItem* TMenu::ItemOfData(ULONG_PTR data) const { return data ? FindByData(items_, data) : nullptr; }

TMenuItem* TMenu::ItemOfEntry(ULONG_PTR data, UINT command) const {
  if (command && command <= 0xFFFF) {
    const auto it = commands_.find(static_cast<uint16_t>(command));
    if (it != commands_.end() && reinterpret_cast<ULONG_PTR>(it->second) == data) return it->second;
  }
  return ItemOfData(data);  // separators, and entries of other menus
}

bool TMenu::DispatchItemMessage(TMessage& m) {
  if (m.Msg == WM_MEASUREITEM) {
    auto* d = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
    TMenuItem* item = d && d->CtlType == ODT_MENU ? ItemOfEntry(d->itemData, d->itemID) : nullptr;
    if (!item) return false;
    if (!measureDC_) measureDC_.Reset(CreateCompatibleDC(nullptr));
    if (!measureDC_) return false;
    TCanvas canvas;
    UseMenuFont(canvas, measureDC_.Get(), *item);
    int width = 0, height = 0;
    item->MeasureItem(canvas, width, height);
    canvas.SetHandle(nullptr);
    d->itemWidth = static_cast<UINT>(std::max(width, 0));
    d->itemHeight = static_cast<UINT>(std::max(height, 0));
    m.Result = TRUE;
    return true;
  }
  if (m.Msg == WM_DRAWITEM) {
    auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
    TMenuItem* item = d && d->CtlType == ODT_MENU ? ItemOfEntry(d->itemData, d->itemID) : nullptr;
    if (!item) return false;
    const TSavedDC saved(d->hDC);
    TCanvas canvas;
    UseMenuFont(canvas, d->hDC, *item);
    const TRect rect{d->rcItem.left, d->rcItem.top, d->rcItem.right, d->rcItem.bottom};
    item->DrawItem(canvas, rect, (d->itemState & ODS_SELECTED) != 0);
    canvas.SetHandle(nullptr);
    m.Result = TRUE;
    return true;
  }
  return false;
}

void TMenu::SetOwnerDraw(bool value) {
  if (value == ownerDraw_) return;
  ownerDraw_ = value;
  items_->RebuildAll();
}

void TMenu::SetImages(TImageList* value) {
  if (value == images_) return;
  if (images_) images_->RemoveFreeNotification(this);
  images_ = value;
  if (images_) images_->FreeNotification(this);
  if (ownerDraw_) items_->RebuildAll();
}

void TMenu::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == images_) images_ = nullptr;
}

}  // namespace cl
