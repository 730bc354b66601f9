#include "SkinListView.h"

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <iterator>
#include <string>

#include "DeviceContext.h"
#include "Graphics.h"
#include "ImgUtil.h"
#include "SkinDraw.h"
#include "TypInfo.h"
#include "WinSkinData.h"

namespace skin {

namespace {

// The header text a painter reads: 200 characters and the terminating null.
constexpr int kHeaderTextChars = 201;

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// The arrow of a sorted column, 9 pixels wide, 5 pixels left of the item's right edge, centred down.
void DrawSortArrow(HDC dc, const RECT& item, bool ascending) {
  const cl::TPenHandle pen(CreatePen(PS_SOLID, 1, GetTextColor(dc)));
  const cl::TSelectedObject selected(dc, pen.Get());
  const int x = item.right - 10;
  const int y = item.top + (Height(item) - 6) / 2 + 1;
  DrawArrow(dc, x, y, ascending ? adUp : adDown);
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// The list view.

TSkinListView::~TSkinListView() {
  if (header_) header_->RemoveFreeNotification(this);
}

void TSkinListView::AttachScrollbars(cl::TWinControl* control, TSkinData* data, TWinSkinForm* form) {
  if (State() != kPainterNew) return;
  TSkinScrollbar::AttachScrollbars(control, data, form);
  if (State() == kPainterNew) return;
  const HWND wnd = reinterpret_cast<HWND>(SendMessageW(control->Handle(), LVM_GETHEADER, 0, 0));
  if (!wnd) return;
  auto* header = new TSkinHeader(control);
  try {
    header->AttachHandle(wnd, data, form);
  } catch (const std::exception&) {
    delete header;  // a header that cannot be subclassed keeps its own look
    return;
  }
  header_ = header;
  header_->FreeNotification(this);
}

void TSkinListView::Notification(cl::TComponent* component, cl::TOperation operation) {
  TSkinScrollbar::Notification(component, operation);
  if (operation == cl::opRemove && component == header_) header_ = nullptr;
}

// ---------------------------------------------------------------------------------------------------------
// The header.

TDataSkinObject* TSkinHeader::Bar() const {
  TDataSkinObject* bar = Data() ? Data()->Headerbar.get() : nullptr;
  return bar && SkinImageBitmap(bar->Image) ? bar : nullptr;
}

bool TSkinHeader::BeforeMessage(cl::TMessage& m) {
  if (m.Msg != WM_ERASEBKGND || !Bar()) return TSkinControl::BeforeMessage(m);
  m.Result = 1;  // the paint covers all of it
  return false;
}

int TSkinHeader::SortMark(int index, int format) const {
  if (format & HDF_SORTUP) return 1;
  if (format & HDF_SORTDOWN) return -1;
  const cl::TComponent* owner = Owner();
  if (!owner || !cl::IsPublishedProp(owner, "SortColumn") || GetOrdPropByName(owner, "SortColumn") != index) return 0;
  std::string ascending = GetEnumPropByName(owner, "SortAscending");
  std::transform(ascending.begin(), ascending.end(), ascending.begin(), [](unsigned char c) { return std::tolower(c); });
  return ascending == "false" ? -1 : 1;
}

void TSkinHeader::DrawSkin(HDC dc, const RECT& rect) {
  TDataSkinObject* bar = Bar();
  if (!bar || Width(rect) <= 0 || Height(rect) <= 0) return;
  cl::TBitmap& image = *SkinImageBitmap(bar->Image);
  const HWND header = Handle();
  cl::TBitmap work;
  work.SetSize(Width(rect), Height(rect));
  const HDC to = work.Canvas()->Handle();
  const cl::TSelectedObject font(to, reinterpret_cast<HGDIOBJ>(SendMessageW(header, WM_GETFONT, 0, 0)));
  SetBkMode(to, TRANSPARENT);
  const auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(header, HDM_GETIMAGELIST, 0, 0));
  const auto face = [&](const RECT& r) {
    DrawNineSlice(to, cl::TRect{r.left, r.top, r.right, r.bottom}, image, false, bar->Tile == 1, false,
                  bar->FrameCount, 1, bar->Margins);
  };
  const bool enabled = IsWindowEnabled(header) != FALSE;
  int right = 0;
  const int count = Header_GetItemCount(header);
  for (int i = 0; i < count; ++i) {
    RECT item{};
    if (!Header_GetItemRect(header, i, &item)) continue;
    wchar_t text[kHeaderTextChars] = {};
    HDITEMW hdi{};
    hdi.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE;
    hdi.pszText = text;
    hdi.cchTextMax = static_cast<int>(std::size(text));
    if (!SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&hdi))) continue;
    face(item);
    const UINT align = (hdi.fmt & HDF_RIGHT) ? DT_RIGHT : (hdi.fmt & HDF_CENTER) ? DT_CENTER : DT_LEFT;
    const int imageIndex = (hdi.fmt & (HDF_IMAGE | HDF_OWNERDRAW)) ? hdi.iImage : -1;
    if (text[0]) DrawImageText(to, item, static_cast<int>(align), text, imageIndex, images, enabled);
    if (const int mark = SortMark(i, hdi.fmt)) DrawSortArrow(to, item, mark > 0);
    right = std::max(right, static_cast<int>(item.right));
  }
  if (right < rect.right) face(RECT{right, 0, rect.right, Height(rect)});
  BitBlt(dc, rect.left, rect.top, Width(rect), Height(rect), to, 0, 0, SRCCOPY);
}

}  // namespace skin
