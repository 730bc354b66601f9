// The dock's painting: its bound lines and the fill of its non-client area, the tiled background (shared
// with its bars) and the transparent copy of the background.
#include <cstdint>

#include "DeviceContext.h"
#include "ToolDock.h"

namespace toolkit::dock {

namespace {

void DrawLine(HDC dc, int x1, int y1, int x2, int y2) {
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
}

}  // namespace

void TToolDock::PaintNCArea(HRGN updateRegion) {
  if (!HandleAllocated()) return;
  const cl::TWindowDC dc(Handle(), cl::TWindowDC::dcWholeWindow);
  if (!dc) return;
  ClipToUpdateRegion(Handle(), dc.Get(), updateRegion);
  DrawNCArea(dc.Get());
}

void TToolDock::DrawNCArea(HDC dc) {
  RECT window;
  GetWindowRect(Handle(), &window);
  const RECT r{0, 0, window.right - window.left, window.bottom - window.top};
  RECT inner = r;
  const cl::TSavedDC saved(dc);
  // An empty dock shows no lines outside the designer.
  if (!boundLines_.Empty() && (Designing() || HasShownBars())) {
    const cl::TPenHandle shadow(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW)));
    const cl::TPenHandle highlight(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT)));
    {
      const cl::TSelectedObject pen(dc, shadow.Get());
      if (boundLines_.Contains(blTop)) {
        DrawLine(dc, r.left, r.top, r.right, r.top);
        ++inner.top;
      }
      if (boundLines_.Contains(blLeft)) {
        DrawLine(dc, r.left, r.top, r.left, r.bottom);
        ++inner.left;
      }
    }
    const cl::TSelectedObject pen(dc, highlight.Get());
    if (boundLines_.Contains(blBottom)) {
      DrawLine(dc, r.left, r.bottom - 1, r.right, r.bottom - 1);
      --inner.bottom;
    }
    if (boundLines_.Contains(blRight)) {
      DrawLine(dc, r.right - 1, r.top, r.right - 1, r.bottom);
      --inner.right;
    }
  }
  // What lies between the lines and the client area is filled with the dock's colour.
  RECT client;
  GetClientRect(Handle(), &client);
  MapWindowPoints(Handle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
  OffsetRect(&client, -window.left, -window.top);
  if (!IsRectEmpty(&client)) {
    if (EqualRect(&client, &inner)) return;
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
  }
  const cl::TBrushHandle brush(CreateSolidBrush(cl::ColorToRGB(Color())));
  FillRect(dc, &inner, brush.Get());
}

void TToolDock::Paint() {
  HDC dc = Canvas()->Handle();
  const cl::TRect client = ClientRect();
  RECT r{client.Left, client.Top, client.Right, client.Bottom};
  if (Designing()) {
    const cl::TSavedDC saved(dc);
    const cl::TPenHandle dotted(CreatePen(PS_DOT, 1, cl::ColorToRGB(cl::clBtnShadow)));
    const cl::TSelectedObject pen(dc, dotted.Get());
    const cl::TSelectedObject brush(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
    InflateRect(&r, -1, -1);
  }
  if (HasBackground()) DrawBackground(dc, r, TileRectFor(Handle(), r, false), nullptr);
}

// ---------------------------------------------------------------------------------------------------------
// The background.

bool TToolDock::HasBackground() const noexcept { return background_->Width() > 0 && background_->Height() > 0; }

void TToolDock::RepaintBackgrounds() {
  if (ComponentState().Contains(cl::csDestroying)) return;
  Invalidate();
  for (TCustomToolWin* bar : shownBars_) {
    bar->InvalidateFrame(kFramePart);
    bar->Invalidate();
  }
}

void TToolDock::BackgroundBitmapChanged() {
  transparentCopy_.reset();
  RepaintBackgrounds();
}

void TToolDock::BuildTransparentCopy() {
  // The background in 24 bits, its bottom-left colour replaced by the dock's colour.
  auto copy = std::make_unique<cl::TBitmap>();
  copy->Assign(background_.get());
  copy->SetPixelFormat(cl::pf24bit);
  const int width = copy->Width();
  const int height = copy->Height();
  const auto* corner = static_cast<const uint8_t*>(copy->ScanLine(height - 1));
  const uint8_t key[3] = {corner[0], corner[1], corner[2]};
  const COLORREF fill = cl::ColorToRGB(Color());
  const uint8_t paint[3] = {GetBValue(fill), GetGValue(fill), GetRValue(fill)};
  for (int y = 0; y < height; ++y) {
    auto* row = static_cast<uint8_t*>(copy->ScanLine(y));
    for (int x = 0; x < width; ++x) {
      uint8_t* pixel = row + 3 * x;
      if (pixel[0] == key[0] && pixel[1] == key[1] && pixel[2] == key[2]) {
        pixel[0] = paint[0];
        pixel[1] = paint[1];
        pixel[2] = paint[2];
      }
    }
  }
  // On a palette display it is drawn with the background's colours.
  copy->SetPalette(cl::CopyPalette(background_->Palette()));
  transparentCopy_ = std::move(copy);
}

cl::TBitmap& TToolDock::Picture() {
  if (!backgroundTransparent_) return *background_;
  if (!transparentCopy_) BuildTransparentCopy();
  return *transparentCopy_;
}

RECT TToolDock::TileRectFor(HWND wnd, const RECT& rect, bool windowCoordinates) const {
  // The client origin of the dock's parent, in wnd's coordinates.
  POINT origin{0, 0};
  if (Parent() && Parent()->HandleAllocated()) ::ClientToScreen(Parent()->Handle(), &origin);
  if (windowCoordinates) {
    RECT window;
    GetWindowRect(wnd, &window);
    origin.x -= window.left;
    origin.y -= window.top;
  } else {
    ::ScreenToClient(wnd, &origin);
  }
  return RECT{origin.x, origin.y, rect.right, rect.bottom};
}

void TToolDock::DrawBackground(HDC dc, const RECT& clipRect, const RECT& tileRect, const RECT* exclude) {
  cl::TBitmap& picture = Picture();
  const int width = picture.Width();
  const int height = picture.Height();
  if (width <= 0 || height <= 0) return;
  const cl::TSavedDC saved(dc);
  IntersectClipRect(dc, clipRect.left, clipRect.top, clipRect.right, clipRect.bottom);
  if (exclude) ExcludeClipRect(dc, exclude->left, exclude->top, exclude->right, exclude->bottom);
  // The DC's state, its palette with it, is given back below.
  if (const HPALETTE palette = picture.Palette()) {
    SelectPalette(dc, palette, TRUE);
    RealizePalette(dc);
  }
  const cl::TDCHandle memory(CreateCompatibleDC(dc));
  const cl::TSelectedObject selected(memory.Get(), picture.Handle());
  // Tiles wholly before the clip rectangle are skipped: they would be clipped away.
  const auto first = [](int start, int clip, int step) { return clip > start ? start + (clip - start) / step * step : start; };
  for (int x = first(tileRect.left, clipRect.left, width); x < tileRect.right && x < clipRect.right; x += width) {
    for (int y = first(tileRect.top, clipRect.top, height); y < tileRect.bottom && y < clipRect.bottom; y += height)
      BitBlt(dc, x, y, width, height, memory.Get(), 0, 0, SRCCOPY);
  }
}

}  // namespace toolkit::dock
