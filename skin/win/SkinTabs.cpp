#include "SkinTabs.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>

#include "Controls.h"
#include "DeviceContext.h"
#include "ImgUtil.h"
#include "Lists.h"
#include "SkinDraw.h"
#include "SkinRanges.h"
#include "WinSkinData.h"
#include "WinString.h"

namespace skin {

namespace {

// The border image's unscaled edges.
constexpr cl::TRect kBorderMargins{4, 5, 4, 4};
// An old-style tab is this much wider than its text.
constexpr int kTabSetPadding = 9;

TDataSkinBorder* TabsElement(TSkinData* data) {
  TDataSkinBorder* tabs = data ? data->Tabs.get() : nullptr;
  return tabs && !tabs->Image.Empty() ? tabs : nullptr;
}

// A 24-bit copy of the image's bitmap; false when it has none.
bool CopyImage(TSkinImage& image, cl::TBitmap& copy) {
  cl::TBitmap* bitmap = SkinImageBitmap(image);
  if (!bitmap) return false;
  copy.Assign(bitmap);
  copy.SetPixelFormat(cl::pf24bit);
  return true;
}

cl::TRect ToRect(const RECT& r) { return cl::TRect{r.left, r.top, r.right, r.bottom}; }

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// TSkinTab.

void TSkinTab::AttachHandle(HWND wnd, TSkinData* data, TWinSkinForm* form) {
  TSkinControl::AttachHandle(wnd, data, form);
  PrepareImages();
  FindTabUpDown();
}

void TSkinTab::ApplySkinColor() {
  // The images first: the redraw shows them.
  PrepareImages();
  TSkinControl::ApplySkinColor();
}

TTabSide TSkinTab::ReadSide() const {
  const LONG style = GetWindowLongW(Handle(), GWL_STYLE);
  const bool bottom = (style & TCS_BOTTOM) != 0, vertical = (style & TCS_VERTICAL) != 0;
  if (vertical) return bottom ? tsRight : tsLeft;
  return bottom ? tsBottom : tsTop;
}

void TSkinTab::PrepareImages() {
  side_ = ReadSide();
  tabImage_.Assign(nullptr);
  borderImage_.Assign(nullptr);
  TDataSkinBorder* tabs = TabsElement(Data());
  if (!tabs || !CopyImage(tabs->Image, tabImage_)) return;
  if (side_ == tsBottom) FlipBitmap(tabImage_);
  // Without a Border image the tabs are still the skin's; the page keeps no skinned border.
  if (!CopyImage(tabs->Image2, borderImage_)) return;
  switch (side_) {
    case tsBottom:
      FlipBitmap(borderImage_);
      break;
    case tsLeft:
      RotateBitmapLeft(borderImage_);
      break;
    case tsRight:
      RotateBitmapRight(borderImage_);
      break;
    case tsTop:
      break;
  }
}

bool TSkinTab::FindTabUpDown() {
  const HWND arrows = FindWindowExW(Handle(), nullptr, UPDOWN_CLASSW, nullptr);
  if (!arrows) return false;
  if (!upDown_) {
    auto* painter = new TSkinUpDown(Owner());
    try {
      painter->AttachHandle(arrows, Data(), Form());
      upDown_ = painter;
      FreeNotification(painter);
    } catch (const std::exception&) {
      delete painter;
    }
  }
  return (GetWindowLongW(arrows, GWL_STYLE) & WS_VISIBLE) != 0;
}

void TSkinTab::Notification(cl::TComponent* component, cl::TOperation operation) {
  TSkinControl::Notification(component, operation);
  if (operation == cl::opRemove && component == upDown_) upDown_ = nullptr;
}

void TSkinTab::DrawTab(HDC dc, const RECT& rect, int frame) {
  const TDataSkinBorder* tabs = TabsElement(Data());
  if (!tabs || tabImage_.Empty()) return;
  DrawNineSlice(dc, ToRect(rect), tabImage_, false, tabs->Tile == 1, tabs->Trans == 1, tabs->FrameCount, frame,
                tabs->Margins);
}

void TSkinTab::DrawSkin(HDC dc, const RECT& rect) {
  if (!TabsElement(Data()) || tabImage_.Empty()) return;
  // The page, with its border reaching 4 pixels past the display area and its tab-side edge one pixel
  // into it.
  RECT body = rect;
  SendMessageW(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&body));
  InflateRect(&body, 4, 4);
  RECT strip = rect;
  switch (side_) {
    case tsTop:
      ++body.top;
      strip.bottom = body.top;
      break;
    case tsBottom:
      --body.bottom;
      strip.top = body.bottom;
      break;
    case tsLeft:
      ++body.left;
      strip.right = body.left;
      break;
    case tsRight:
      --body.right;
      strip.left = body.right;
      break;
  }
  DrawStrip(dc, rect, body, strip);
  if (!borderImage_.Empty()) DrawNineSliceDirect(dc, ToRect(body), borderImage_, false, 1, 1, kBorderMargins);
}

RECT TSkinTab::ItemInStrip(RECT r, const RECT& rect, const RECT& body) const {
  const int w = strip_.Width();
  switch (side_) {
    case tsTop:
      OffsetRect(&r, 0, 1);
      return r;
    case tsBottom:
      OffsetRect(&r, 0, -(body.bottom + 1));
      return r;
    case tsLeft:
      // The strip lies on its side until it is turned counter-clockwise.
      return RECT{w - r.bottom, r.left, w - r.top, r.right};
    case tsRight:
      return RECT{r.top - 1, rect.right - r.right, r.bottom - 1, rect.right - r.left};
  }
  return r;
}

void TSkinTab::DrawStrip(HDC dc, const RECT& rect, const RECT& body, const RECT& strip) {
  const int width = strip.right - strip.left, height = strip.bottom - strip.top;
  if (width <= 0 || height <= 0) return;
  const TDataSkinBorder& tabs = *TabsElement(Data());
  const bool lying = side_ == tsLeft || side_ == tsRight;
  strip_.SetPixelFormat(cl::pf24bit);
  strip_.SetSize(lying ? height : width, lying ? width : height);
  const HDC stripDc = strip_.Canvas()->Handle();
  FillParentColor(stripDc, RECT{0, 0, strip_.Width(), strip_.Height()});
  const auto font = reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0));
  const HGDIOBJ oldFont = SelectObject(stripDc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
  const int count = static_cast<int>(SendMessageW(Handle(), TCM_GETITEMCOUNT, 0, 0));
  const int current = static_cast<int>(SendMessageW(Handle(), TCM_GETCURFOCUS, 0, 0));
  const auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(Handle(), TCM_GETIMAGELIST, 0, 0));
  const bool enabled = IsWindowEnabled(Handle()) != FALSE;
  for (int i = 0; i < count; ++i) {
    wchar_t text[80] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_STATE;
    item.pszText = text;
    item.cchTextMax = static_cast<int>(std::size(text));
    if (!SendMessageW(Handle(), TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item))) {
      text[0] = L'\0';
      item.iImage = -1;
    }
    text[std::size(text) - 1] = L'\0';
    RECT r{};
    if (!SendMessageW(Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r))) continue;
    r = ItemInStrip(r, rect, body);
    const int frame = i == current ? 2 : 1;
    DrawTab(stripDc, r, frame);
    SetTextColor(stripDc, cl::ColorToRGB(frame == 1 ? tabs.NormalColour2 : tabs.MouseOverColour2));
    DrawImageText(stripDc, r, 1, text, item.iImage, images, enabled);
  }
  SelectObject(stripDc, oldFont);
  if (side_ == tsRight) RotateBitmapRight(strip_);
  if (side_ == tsLeft) RotateBitmapLeft(strip_);
  const cl::TSavedDC saved(dc);
  // The skinned scroll arrows stay in front of the strip.
  if (FindTabUpDown() && upDown_) {
    RECT arrows{}, window{};
    GetWindowRect(upDown_->Handle(), &arrows);
    GetWindowRect(Handle(), &window);
    OffsetRect(&arrows, -window.left, -window.top);
    ExcludeClipRect(dc, arrows.left, arrows.top, arrows.right, arrows.bottom);
  }
  BitBlt(dc, strip.left, strip.top, width, height, strip_.Canvas()->Handle(), 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------------------------------------------------
// TSkinTab31.

void TSkinTab31::Attach(TWinSkinForm* form, TSkinData* data, bool) {
  if (State() != kPainterNew) return;
  auto* tabSet = dynamic_cast<cl::TWinControl*>(Owner());
  if (!tabSet) return;
  AttachHandle(tabSet->Handle(), data, form);
  PrepareTabSetImage();
}

void TSkinTab31::PrepareTabSetImage() {
  tabImage_.Assign(nullptr);
  if (TDataSkinBorder* tabs = TabsElement(Data()); tabs && CopyImage(tabs->Image, tabImage_)) FlipBitmap(tabImage_);
}

bool TSkinTab31::BeforeMessage(cl::TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT:
      // Painted before and after the tab set's own paint: what it draws outside the update region is
      // covered again.
      PaintClient(m);
      return true;
    case WM_ERASEBKGND:
      m.Result = 1;
      return false;
    default:
      return TSkinControl::BeforeMessage(m);
  }
}

void TSkinTab31::DrawSkin(HDC dc, const RECT& rect) {
  const TDataSkinBorder* tabs = TabsElement(Data());
  auto* tabSet = dynamic_cast<cl::TControl*>(Owner());
  if (!tabs || tabImage_.Empty() || !tabSet) return;
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return;
  cl::TBitmap work;
  work.SetPixelFormat(cl::pf24bit);
  work.SetSize(width, height);
  const HDC workDc = work.Canvas()->Handle();
  FillSkinColor(workDc, RECT{0, 0, width, height});
  const HGDIOBJ oldFont = SelectObject(workDc, tabSet->Font()->Handle());
  const auto* list = dynamic_cast<const cl::TStrings*>(
      GetObjectPropByName(tabSet, "Tabs", cl::TStrings::StaticClass()));
  const int64_t tabIndex = GetOrdPropByName(tabSet, "TabIndex");
  const int64_t limit = width - GetOrdPropByName(tabSet, "EndMargin");
  int64_t x = GetOrdPropByName(tabSet, "StartMargin");
  const bool enabled = IsWindowEnabled(Handle()) != FALSE;
  const int first = static_cast<int>(std::clamp<int64_t>(GetOrdPropByName(tabSet, "FirstIndex"), 0, INT32_MAX));
  for (int i = first; list && i < list->Count(); ++i) {
    const std::wstring text = cl::ToWide(list->Strings(i));
    SIZE size{};
    GetTextExtentPoint32W(workDc, text.c_str(), static_cast<int>(text.size()), &size);
    const int64_t right = x + size.cx + kTabSetPadding;
    // The tab set shows no tab after the first that does not fit; neither may its look.
    if (right > limit) break;
    const RECT r{static_cast<int>(x), 0, static_cast<int>(right), height};
    const int frame = i == tabIndex ? 2 : 1;
    DrawNineSlice(workDc, ToRect(r), tabImage_, false, tabs->Tile == 1, tabs->Trans == 1, tabs->FrameCount, frame,
                  tabs->Margins);
    SetTextColor(workDc, cl::ColorToRGB(frame == 1 ? tabs->NormalColour2 : tabs->MouseOverColour2));
    DrawCaptionText(workDc, r, DT_CENTER, enabled, text);
    x = right;
  }
  SelectObject(workDc, oldFont);
  BitBlt(dc, rect.left, rect.top, width, height, workDc, 0, 0, SRCCOPY);
}

}  // namespace skin
