// The skinned window's menu items: the owner-drawing handlers it gives to its form's menus, and the
// measuring and drawing of raw items of menus the class library does not own.
#include <algorithm>
#include <memory>
#include <string>

#include "DeviceContext.h"
#include "Forms.h"
#include "ImgUtil.h"
#include "Menus.h"
#include "WinSkinData.h"
#include "WinSkinDlg.h"
#include "WinSkinForm.h"
#include "WinSkinMenu.h"
#include "WinString.h"

namespace skin {

namespace {

// Raw items' texts are read up to this many characters.
constexpr int kRawTextLength = 80;
// Measuring and drawing flags of item texts.
constexpr UINT kMeasureFlags = DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS | DT_SINGLELINE;
constexpr UINT kDrawFlags = DT_EXPANDTABS | DT_SINGLELINE;

// The class library's own command ids run up to this; raw items of system menus lie above.
constexpr UINT kLastLibraryCommand = 4095;

int LeftWidthOf(const TSkinData& data) { return data.MenuItem ? data.MenuItem->Margins.Left : 0; }

RECT ToRECT(const cl::TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

void ForEachItem(cl::TMenuItem* item, const std::function<void(cl::TMenuItem*, int depth)>& f, int depth = 0) {
  for (int i = 0; i < item->Count(); ++i) {
    cl::TMenuItem* sub = item->Items(i);
    f(sub, depth + 1);
    ForEachItem(sub, f, depth + 1);
  }
}

// The system's check mark centred in box (one pixel down and right), in clBtnText over what lies there.
void DrawCheckMark(HDC dc, const RECT& box) {
  constexpr WORD kSystemCheckMark = 32760;  // OBM_CHECK, declared only with OEMRESOURCE
  const cl::TBitmapHandle mark(
      static_cast<HBITMAP>(LoadImageW(nullptr, MAKEINTRESOURCEW(kSystemCheckMark), IMAGE_BITMAP, 0, 0, 0)));
  BITMAP info{};
  if (!mark || !GetObjectW(mark.Get(), sizeof info, &info)) return;
  const cl::TDCHandle source(CreateCompatibleDC(dc));
  if (!source) return;
  const cl::TSelectedObject selected(source.Get(), mark.Get());
  const cl::TBrushHandle ink(CreateSolidBrush(cl::ColorToRGB(cl::clBtnText)));
  const cl::TSelectedObject brush(dc, ink.Get());
  // The mark's black pixels take the brush, its white ones leave the item as it is.
  const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
  const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
  const int x = box.left + ((box.right - box.left) - info.bmWidth) / 2 + 1;
  const int y = box.top + ((box.bottom - box.top) - info.bmHeight) / 2 + 1;
  constexpr DWORD kBrushWhereSourceIsBlack = 0x00B8074A;
  BitBlt(dc, x, y, info.bmWidth, info.bmHeight, source.Get(), 0, 0, kBrushWhereSourceIsBlack);
  SetBkColor(dc, oldBack);
  SetTextColor(dc, oldText);
}

// The dotted clBtnFace and clBtnHighlight ground of a checked item's image.
void FillCheckedGround(HDC dc, const RECT& box) {
  static const WORD kDots[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
  const cl::TBitmapHandle pattern(CreateBitmap(8, 8, 1, 1, kDots));
  const cl::TBrushHandle brush(CreatePatternBrush(pattern.Get()));
  if (!brush) return;
  const COLORREF oldText = SetTextColor(dc, cl::ColorToRGB(cl::clBtnFace));
  const COLORREF oldBack = SetBkColor(dc, cl::ColorToRGB(cl::clBtnHighlight));
  FillRect(dc, &box, brush.Get());
  SetBkColor(dc, oldBack);
  SetTextColor(dc, oldText);
}

std::wstring RawMenuString(HMENU menu, UINT id) {
  wchar_t text[kRawTextLength + 1] = {};
  GetMenuStringW(menu, id, text, kRawTextLength + 1, MF_BYCOMMAND);
  return text;
}

}  // namespace

// Draws an item's text: bold for the default item, in the colour of its state; a "-" is an etched line.
void DrawMenuItemText(const TSkinData& data, const cl::TMenuItem& item, HDC dc, std::wstring text, RECT& rect,
                      UINT flags, bool selected) {
  const bool measuring = (flags & DT_CALCRECT) != 0;
  if (measuring && (text.empty() || text == L"&")) text += L' ';
  if (text == L"-") {
    if (!measuring) {
      RECT line = rect;
      line.top += 4;
      DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    }
    return;
  }
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  cl::TColor color = data.Colors.MenuText;
  if (!item.Enabled())
    color = data.Colors.ButtonShadow == data.Colors.MenuText ? cl::clBtnShadow : data.Colors.ButtonShadow;
  else if (selected)
    color = data.Colors.HilightText;
  const COLORREF oldColor = SetTextColor(dc, cl::ColorToRGB(color));
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, flags);
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
}

// The glyph (image or check mark), the caption and the short cut of an item inside rect; right to left,
// mirrored: the glyph at the right, the caption ending left of it, the short cut at the left.
void DrawMenuItemContent(const TSkinData& data, cl::TMenuItem& item, cl::TCanvas& canvas, bool selected,
                         const RECT& rect, bool rightToLeft) {
  HDC dc = canvas.Handle();
  const std::wstring caption = cl::ToWide(item.Caption());
  cl::TImageList* images = item.GetImageList();
  const int glyph = images ? std::max(images->Width(), item.Checked() ? 16 : 0) : 16;
  const int leftWidth = LeftWidthOf(data);
  const int boxLeft = rightToLeft ? rect.right - 1 - leftWidth - glyph : rect.left + 1 + leftWidth;
  const RECT box{boxLeft, rect.top + 1, boxLeft + glyph, rect.top + 1 + glyph};
  if (!item.IsLine()) {
    if (images && item.ImageIndex() >= 0 && item.ImageIndex() < images->Count()) {
      if (item.Checked()) {
        FillCheckedGround(dc, box);
        RECT edge = box;
        DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
      }
      images->Draw(&canvas, box.left, box.top, item.ImageIndex(), item.Enabled());
    } else if (item.Checked()) {
      DrawCheckMark(dc, box);
    }
  }
  const UINT align = rightToLeft ? DT_RIGHT : 0;
  RECT text = rightToLeft ? RECT{rect.left + 1, rect.top, box.left - 3, rect.bottom}
                          : RECT{box.right + 3, rect.top, rect.right - 1, rect.bottom};
  RECT measured = text;
  DrawMenuItemText(data, item, dc, caption, measured, kMeasureFlags | align, selected);
  const int height = measured.bottom - measured.top;
  text.top = rect.top + ((rect.bottom - rect.top) - height) / 2;
  text.bottom = text.top + height;
  DrawMenuItemText(data, item, dc, caption, text, kDrawFlags | align, selected);
  if (const std::string key = cl::ShortCutToText(item.ShortCut()); !key.empty()) {
    RECT keyRect = rightToLeft ? RECT{text.left + 10, text.top, text.right, text.bottom}
                               : RECT{measured.right, text.top, rect.right - 1 - 10, text.bottom};
    DrawMenuItemText(data, item, dc, cl::ToWide(key), keyRect, kDrawFlags | (rightToLeft ? 0 : DT_RIGHT), selected);
  }
}

// ---------------------------------------------------------------------------------------------------------
// Handlers of the form's menus.

void TWinSkinForm::SkinPopupMenus(cl::TCustomForm* form, bool on) {
  if (!form || !data_ || form->ClassName() == std::string_view("TwwRichEditForm")) return;
  for (int i = 0; i < form->ComponentCount(); ++i) {
    auto* menu = dynamic_cast<cl::TPopupMenu*>(form->Components(i));
    if (!menu || !data_->SkinControls().Contains(xcPopupMenu) || menu->Tag() % 100 == data_->DisableTag()) continue;
    menu->SetOwnerDraw(on);
    // Applied again at each opening, so that items made since are skinned too.
    ForEachItem(menu->Items(), [&](cl::TMenuItem* item, int) {
      item->OnDrawItem = on ? cl::TMenuDrawItemEvent(this, &TWinSkinForm::DrawMenuItem) : nullptr;
      item->OnMeasureItem = on ? cl::TMenuMeasureItemEvent(this, &TWinSkinForm::MeasurePopupItem) : nullptr;
    });
  }
}

void TWinSkinForm::SkinMainMenus(cl::TCustomForm* form, bool on) {
  if (!form || !data_) return;
  for (int i = 0; i < form->ComponentCount(); ++i) {
    auto* menu = dynamic_cast<cl::TMainMenu*>(form->Components(i));
    if (!menu) continue;
    menu->SetOwnerDraw(on);
    ForEachItem(menu->Items(), [&](cl::TMenuItem* item, int depth) {
      if (!on) {
        item->OnDrawItem = nullptr;
        item->OnMeasureItem = nullptr;
      } else if (depth >= 2 && !item->OnDrawItem) {
        item->OnDrawItem = cl::TMenuDrawItemEvent(this, &TWinSkinForm::DrawMenuItem);
        item->OnMeasureItem = cl::TMenuMeasureItemEvent(this, &TWinSkinForm::MeasureMenuItem);
      }
    });
  }
}

void TWinSkinForm::MeasureMenuItem(cl::TObject* sender, cl::TCanvas*, int& width, int&) {
  // The item's own default size comes in.
  auto* item = dynamic_cast<cl::TMenuItem*>(sender);
  if (!item || !data_) return;
  width += LeftWidthOf(*data_) + (item->GetImageList() ? 10 : 35);
}

void TWinSkinForm::MeasurePopupItem(cl::TObject* sender, cl::TCanvas*, int& width, int&) {
  auto* item = dynamic_cast<cl::TMenuItem*>(sender);
  if (!item || !data_) return;
  width += LeftWidthOf(*data_) + (item->GetImageList() ? 12 : 35);
}

// The background under an item: the open popup's frame picture where the item lies, or the menu colour.
void TWinSkinForm::DrawMenuBackground(HDC dc, const RECT& itemRect, const RECT& target, HMENU menu) const {
  TSkinManage* manager = SkinManager();
  cl::TBitmap* frame = manager ? manager->FindPopupMenuBitmap(menu) : nullptr;
  if (frame) {
    BitBlt(dc, target.left, target.top, target.right - target.left, target.bottom - target.top,
           frame->Canvas()->Handle(), itemRect.left + kPopupMenuBorder, itemRect.top + kPopupMenuBorder, SRCCOPY);
    return;
  }
  const cl::TBrushHandle brush(CreateSolidBrush(cl::ColorToRGB(data_->Colors.Menu)));
  FillRect(dc, &target, brush.Get());
}

void TWinSkinForm::DrawMenuItem(cl::TObject* sender, cl::TCanvas* canvas, const cl::TRect& rect, bool selected) {
  auto* item = dynamic_cast<cl::TMenuItem*>(sender);
  if (!item || !canvas || !data_) return;
  if (!data_->MenuItem || !SkinImageBitmap(data_->MenuItem->Image)) {
    DrawPlainMenuItem(*item, *canvas, ToRECT(rect), selected);
    return;
  }
  const HMENU menu = item->Parent() ? item->Parent()->Handle() : nullptr;
  DrawSkinnedMenuItem(*item, *canvas, ToRECT(rect), selected, menu);
}

void TWinSkinForm::DrawSkinnedMenuItem(cl::TMenuItem& item, cl::TCanvas& canvas, const RECT& rect, bool selected,
                                       HMENU menu) {
  const int w = rect.right - rect.left, h = rect.bottom - rect.top;
  if (w <= 0 || h <= 0) return;
  // Composed off screen, then put at the item's place in one copy.
  // The skin's shared work bitmap: no bitmap made and freed for each item painted.
  cl::TBitmap& work = data_->WorkBitmap();
  work.SetSize(w, h);
  HDC dc = work.Canvas()->Handle();
  const RECT local{0, 0, w, h};
  DrawMenuBackground(dc, rect, local, menu);
  TDataSkinObject& element = *data_->MenuItem;
  cl::TBitmap& image = *SkinImageBitmap(element.Image);
  if (item.IsLine()) {
    DrawMenuSeparator(dc, local, image, element);
  } else {
    DrawNineSlice(dc, cl::Rect(0, 0, w, h), image, false, element.Tile == 1, element.Trans == 1, 5, selected ? 4 : 1,
                  element.Margins);
    work.Canvas()->Font()->Assign(canvas.Font());
    DrawMenuItemContent(*data_, item, *work.Canvas(), selected, local, state_.RightToLeft);
  }
  BitBlt(canvas.Handle(), rect.left, rect.top, w, h, dc, 0, 0, SRCCOPY);
}

// Frame 2 of the item strip over the background: its left and right parts at their own widths, the middle
// stretched, from the image's bottom when the item is lower than the image.
void TWinSkinForm::DrawMenuSeparator(HDC dc, const RECT& rect, cl::TBitmap& image, const TDataSkinObject& element) {
  const int frameWidth = image.Width() / 5;
  const int w = rect.right - rect.left, h = std::min<int>(rect.bottom - rect.top, image.Height());
  const int sourceTop = image.Height() - h;
  const int left = std::clamp<int>(element.Margins.Left, 0, frameWidth);
  const int right = std::clamp<int>(element.Margins.Right, 0, frameWidth - left);
  if (w <= 0 || h <= 0 || frameWidth <= 0) return;
  cl::TBitmap piece;
  piece.SetSize(w, h);
  HDC p = piece.Canvas()->Handle();
  HDC src = image.Canvas()->Handle();
  const int x0 = frameWidth;  // frame 2 starts one frame in
  const int oldMode = SetStretchBltMode(p, COLORONCOLOR);
  BitBlt(p, 0, 0, left, h, src, x0, sourceTop, SRCCOPY);
  BitBlt(p, w - right, 0, right, h, src, x0 + frameWidth - right, sourceTop, SRCCOPY);
  StretchBlt(p, left, 0, w - left - right, h, src, x0 + left, sourceTop, frameWidth - left - right, h, SRCCOPY);
  SetStretchBltMode(p, oldMode);
  DrawTransparent(dc, cl::Rect(rect.left, rect.top, rect.left + w, rect.top + h), piece, kSkinKeyColor);
}

void TWinSkinForm::DrawPlainMenuItem(cl::TMenuItem& item, cl::TCanvas& canvas, const RECT& rect, bool selected) {
  const cl::TBrushHandle brush(CreateSolidBrush(cl::ColorToRGB(selected ? data_->Colors.Hilight : data_->Colors.Menu)));
  FillRect(canvas.Handle(), &rect, brush.Get());
  DrawMenuItemContent(*data_, item, canvas, selected, rect, state_.RightToLeft);
}

// ---------------------------------------------------------------------------------------------------------
// Raw items: entries of menus the class library does not own.

std::unique_ptr<cl::TMenuItem> TWinSkinForm::MenuItemFromHandle(HMENU menu, UINT id) {
  auto item = std::make_unique<cl::TMenuItem>(nullptr);
  const std::wstring text = RawMenuString(menu, id);
  item->SetCaption(text.empty() ? "-" : cl::FromWide(text));
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STATE;
  if (GetMenuItemInfoW(menu, id, FALSE, &info)) {
    item->SetEnabled(!(info.fState & (MFS_GRAYED | MFS_DISABLED)));
    item->SetChecked((info.fState & MFS_CHECKED) != 0);
  }
  return item;
}

void TWinSkinForm::MeasureRawMenuItem(MEASUREITEMSTRUCT& m, HMENU menu) {
  const std::wstring text = RawMenuString(menu, m.itemID);
  const cl::TWindowDC screen(nullptr);
  const cl::TSelectedObject font(screen.Get(), const_cast<cl::TFont&>(cl::Screen().MenuFont()).Handle());
  RECT r{0, 0, 0, 0};
  DrawTextW(screen.Get(), text.c_str(), static_cast<int>(text.size()), &r, kMeasureFlags);
  m.itemWidth = static_cast<UINT>((r.right - r.left) + 26 + (data_ ? LeftWidthOf(*data_) : 0));
  m.itemHeight = text.empty() ? 8 : static_cast<UINT>(std::max<LONG>(m.itemHeight, r.bottom - r.top) + 4);
}

void TWinSkinForm::DrawRawMenuItem(const DRAWITEMSTRUCT& d) {
  const HMENU menu = reinterpret_cast<HMENU>(d.hwndItem);
  std::unique_ptr<cl::TMenuItem> item = MenuItemFromHandle(menu, d.itemID);
  cl::TCanvas canvas;
  canvas.SetHandle(d.hDC);
  canvas.Font()->Assign(&cl::Screen().MenuFont());
  const bool selected = (d.itemState & ODS_SELECTED) != 0;
  if (data_->MenuItem && SkinImageBitmap(data_->MenuItem->Image))
    DrawSkinnedMenuItem(*item, canvas, d.rcItem, selected, menu);
  else
    DrawPlainMenuItem(*item, canvas, d.rcItem, selected);
  canvas.SetHandle(nullptr);
}

namespace {

// A canvas on dc in the menu font (bold for the default item), let go when the scope ends.
class TMenuItemCanvas {
 public:
  TMenuItemCanvas(HDC dc, const cl::TMenuItem& item) {
    canvas_.SetHandle(dc);
    canvas_.Font()->Assign(&cl::Screen().MenuFont());
    if (item.Default()) canvas_.Font()->SetStyle(cl::TFontStyles(canvas_.Font()->Style()).Include(cl::fsBold));
  }
  ~TMenuItemCanvas() { canvas_.SetHandle(nullptr); }
  TMenuItemCanvas(const TMenuItemCanvas&) = delete;
  TMenuItemCanvas& operator=(const TMenuItemCanvas&) = delete;
  cl::TCanvas& Get() noexcept { return canvas_; }

 private:
  cl::TCanvas canvas_;
};

// Puts an item's OnMeasureItem aside for a scope: the skin adds to the item's own size.
class TMeasureHandlerAside {
 public:
  explicit TMeasureHandlerAside(cl::TMenuItem& item) : item_(item), saved_(std::move(item.OnMeasureItem)) {
    item.OnMeasureItem = nullptr;
  }
  ~TMeasureHandlerAside() { item_.OnMeasureItem = std::move(saved_); }
  TMeasureHandlerAside(const TMeasureHandlerAside&) = delete;
  TMeasureHandlerAside& operator=(const TMeasureHandlerAside&) = delete;

 private:
  cl::TMenuItem& item_;
  cl::TMenuMeasureItemEvent saved_;
};

}  // namespace

// The item of the form's main menu that an entry names (by the item data its entries carry), else null.
cl::TMenuItem* TWinSkinForm::MainMenuItemOf(ULONG_PTR itemData) const {
  const cl::TMainMenu* menu = form_ ? form_->Menu() : nullptr;
  return menu ? menu->ItemOfData(itemData) : nullptr;
}

// The form's main-menu items of the bar's drop-downs are measured and drawn from the skin; other ids of
// the class library (a popup menu's) go to the form; raw items are handled here.
bool TWinSkinForm::WMMeasureItem(WPARAM, LPARAM lParam, LRESULT& result) {
  auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
  if (!m || m->CtlType != ODT_MENU || !windowMenu_ || !data_) return false;
  if (form_) {
    if (cl::TMenuItem* item = MainMenuItemOf(m->itemData)) {
      const cl::TWindowDC screen(wnd_);
      TMenuItemCanvas canvas(screen.Get(), *item);
      int width = 0, height = 0;
      {
        const TMeasureHandlerAside aside(*item);
        item->MeasureItem(canvas.Get(), width, height);
      }
      MeasureMenuItem(item, &canvas.Get(), width, height);
      m->itemWidth = static_cast<UINT>(std::max(width, 0));
      m->itemHeight = static_cast<UINT>(std::max(height, 0));
      result = TRUE;
      return true;
    }
    if (m->itemID >= 1 && m->itemID <= kLastLibraryCommand) return false;
  }
  MeasureRawMenuItem(*m, openPopup_ ? openPopup_ : windowMenu_);
  result = TRUE;
  return true;
}

bool TWinSkinForm::WMDrawItem(WPARAM, LPARAM lParam, LRESULT& result) {
  auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
  if (!d || d->CtlType != ODT_MENU || !windowMenu_ || !data_) return false;
  if (form_) {
    if (cl::TMenuItem* item = MainMenuItemOf(d->itemData)) {
      const cl::TSavedDC saved(d->hDC);
      TMenuItemCanvas canvas(d->hDC, *item);
      DrawMenuItem(item, &canvas.Get(), cl::Rect(d->rcItem.left, d->rcItem.top, d->rcItem.right, d->rcItem.bottom),
                   (d->itemState & ODS_SELECTED) != 0);
      result = TRUE;
      return true;
    }
    if (d->itemID >= 1 && d->itemID <= kLastLibraryCommand) return false;
  }
  DrawRawMenuItem(*d);
  result = TRUE;
  return true;
}

}  // namespace skin
