#include "SkinRanges.h"

#include <algorithm>
#include <cstdint>

#include "DeviceContext.h"
#include "Graphics.h"
#include "ImgUtil.h"
#include "SkinDraw.h"
#include "WinSkinData.h"

namespace skin {

namespace {

cl::TRect ToRect(const RECT& r) { return cl::Rect(r.left, r.top, r.right, r.bottom); }

HDC DCOf(cl::TBitmap& bitmap) { return bitmap.Canvas()->Handle(); }

bool HasStyle(HWND wnd, LONG style) { return (GetWindowLongW(wnd, GWL_STYLE) & style) != 0; }

// A new 24-bit bitmap of the given size, filled by the caller.
std::unique_ptr<cl::TBitmap> WorkBitmap(int width, int height) {
  auto work = std::make_unique<cl::TBitmap>();
  work->SetPixelFormat(cl::pf24bit);
  work->SetSize(width, height);
  return work;
}

// A rectangle in `pen` filled with `brush`.
void FramedBox(HDC dc, const RECT& rect, COLORREF pen, HBRUSH brush) {
  const cl::TPenHandle penHandle(CreatePen(PS_SOLID, 1, pen));
  const cl::TSelectedObject selectedPen(dc, penHandle.Get());
  const cl::TSelectedObject selectedBrush(dc, brush);
  Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// Track bar.

// Only a redraw: taking the focus to recolour the bar would move the user's focus.
void TSkinTrackBar::ApplySkinColor() { Redraw(); }

bool TSkinTrackBar::BeforeMessage(cl::TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND:
      // The control fills its background as it paints.
      m.Result = 1;
      return false;
    case WM_NOTIFY:
    case cl::CN_NOTIFY: {
      // The control's parent hands its custom-draw notifications back to it; those of another window
      // (a tooltip of the bar) are not ours to answer.
      auto* header = reinterpret_cast<NMHDR*>(m.LParam);
      if (!header || header->code != static_cast<UINT>(NM_CUSTOMDRAW) || header->hwndFrom != Handle()) return true;
      m.Result = CustomDraw(*reinterpret_cast<NMCUSTOMDRAW*>(m.LParam));
      return false;
    }
    default:
      return TSkinControl::BeforeMessage(m);
  }
}

LRESULT TSkinTrackBar::CustomDraw(const NMCUSTOMDRAW& draw) {
  if (draw.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw.dwDrawStage == CDDS_ITEMPREPAINT && draw.dwItemSpec == TBCD_THUMB) {
    DrawThumb(draw);
    return CDRF_SKIPDEFAULT;
  }
  // The channel, the ticks and every other stage: the control's own drawing.
  return CDRF_DODEFAULT;
}

TSkinImage* TSkinTrackBar::ThumbImage() const {
  TSkinData* data = Data();
  if (!data) return nullptr;
  if (HasStyle(Handle(), TBS_VERT) && data->TrackbarThumbVert) return &data->TrackbarThumbVert->Image;
  if (data->TrackbarThumbHorz) return &data->TrackbarThumbHorz->Image;
  return nullptr;
}

void TSkinTrackBar::DrawThumb(const NMCUSTOMDRAW& draw) {
  if (!IsWindow(Handle())) return;
  RECT thumb{};
  SendMessageW(Handle(), TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
  TSkinImage* image = ThumbImage();
  if (image && SkinImageBitmap(*image)) {
    // The same frame whatever the thumb's state.
    DrawFrameKeyed(draw.hdc, thumb, 5, 2, *image);
    return;
  }
  const cl::TColor shadow = Data() ? Data()->Colors.ButtonShadow : cl::clBtnShadow;
  FramedBox(draw.hdc, thumb, cl::ColorToRGB(shadow), static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

// ---------------------------------------------------------------------------------------------------------
// Up-down.

bool TSkinUpDown::BeforeMessage(cl::TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT:
      PaintClient(m);
      m.Result = 0;
      return false;
    case WM_ERASEBKGND:
      EraseBackground(m);
      m.Result = 1;
      return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      CallDefault(m);
      SetMouseFlag(kMousePressed, true);
      PaintFrame(nullptr);
      return false;
    case WM_LBUTTONUP:
      SetMouseFlag(kMousePressed, false);
      CallDefault(m);
      PaintFrame(nullptr);
      return false;
    default:
      return TSkinControl::BeforeMessage(m);
  }
}

void TSkinUpDown::EraseBackground(const cl::TMessage& m) {
  // A control of the class library paints every pixel itself; a bare window starts white.
  if (Control() || !m.WParam) return;
  RECT client{};
  GetClientRect(Handle(), &client);
  FillRect(reinterpret_cast<HDC>(m.WParam), &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

int TSkinUpDown::ButtonState(bool enabled, bool underCursor) const {
  if (!enabled) return bsDisabled;
  if (!underCursor) return bsNormal;
  if (Pressed()) return bsPressed;
  if (Hot()) return bsHot;
  return bsNormal;
}

void TSkinUpDown::DrawSkin(HDC dc, const RECT& rect) {
  RECT c{};
  GetClientRect(Handle(), &c);
  auto work = WorkBitmap(c.right, c.bottom);
  HDC workDc = DCOf(*work);
  FillSkinColor(workDc, c);
  if (insideEdit_) InflateRect(&c, -1, -1);

  POINT cursor{};
  GetCursorPos(&cursor);
  ScreenToClient(Handle(), &cursor);
  const bool enabled = !HasStyle(Handle(), WS_DISABLED);
  const bool horizontal = HasStyle(Handle(), UDS_HORZ);

  // The first button (up or left) takes the half before the split, the second the rest.
  RECT first = c, second = c;
  int split = 0, coordinate = 0;
  if (horizontal) {
    split = c.left + (c.right - c.left) / 2;
    first.right = second.left = split;
    coordinate = cursor.x;
  } else {
    split = c.top + (c.bottom - c.top) / 2;
    first.bottom = second.top = split;
    coordinate = cursor.y;
  }
  const int firstState = ButtonState(enabled, coordinate < split);
  const int secondState = ButtonState(enabled, coordinate >= split);
  const int firstDirection = horizontal ? adLeft : adUp;
  const int secondDirection = horizontal ? adRight : adDown;

  TSkinData* data = Data();
  TDataSkinBorder* element = !data ? nullptr : horizontal ? data->UpDownHorz.get() : data->UpDownVert.get();
  if (element && SkinImageBitmap(element->Image)) {
    DrawUpDownButton(workDc, first, firstDirection, firstState, *element);
    DrawUpDownButton(workDc, second, secondDirection, secondState, *element);
  } else {
    DrawPlainButton(workDc, first, firstDirection, firstState);
    DrawPlainButton(workDc, second, secondDirection, secondState);
  }
  BitBlt(dc, rect.left, rect.top, c.right, c.bottom, workDc, 0, 0, SRCCOPY);
}

void TSkinUpDown::DrawUpDownButton(HDC dc, const RECT& rect, int direction, int state, TDataSkinBorder& element) {
  // Frames 1 to 4: the up or left button; 5 to 8: the down or right one.
  const int frame = state + (direction == adDown || direction == adRight ? 4 : 0);
  constexpr int kFrames = 8;
  if (cl::TBitmap* image = SkinImageBitmap(element.Image)) DrawSkinFrame(dc, ToRect(rect), *image, true, kFrames, frame);
  cl::TBitmap* glyph = SkinImageBitmap(element.Image2);
  if (!glyph) return;
  const int cellWidth = glyph->Width() / kFrames, cellHeight = glyph->Height();
  const int left = rect.left + ((rect.right - rect.left) - cellWidth) / 2;
  const int top = rect.top + ((rect.bottom - rect.top) - cellHeight) / 2;
  DrawSkinFrame(dc, cl::Bounds(left, top, cellWidth, cellHeight), *glyph, true, kFrames, frame);
}

void TSkinUpDown::DrawPlainButton(HDC dc, const RECT& rect, int direction, int state) {
  TSkinData* data = Data();
  const TSkinColors colors = data ? data->Colors : TSkinColors{};
  const bool sunk = state == bsPressed || state == bsHot;
  const cl::TBrushHandle brush(CreateSolidBrush(cl::ColorToRGB(sunk ? colors.ButtonShadow : colors.ButtonFace)));
  const COLORREF line = cl::ColorToRGB(colors.ButtonDkShadow);
  FramedBox(dc, rect, line, brush.Get());
  const int x = rect.left + (rect.right - rect.left) / 2;
  int y = rect.top + (rect.bottom - rect.top) / 2;
  if (direction == adUp || direction == adDown) y -= 2;
  const cl::TPenHandle pen(CreatePen(PS_SOLID, 1, line));
  const cl::TSelectedObject selected(dc, pen.Get());
  DrawArrow(dc, x, y, direction);
}

// ---------------------------------------------------------------------------------------------------------
// Progress bar.

TDataSkinBorder* TSkinProgress::Element() const {
  TSkinData* data = Data();
  if (!data || !data->Progress || !SkinImageBitmap(data->Progress->Image)) return nullptr;
  return data->Progress.get();
}

bool TSkinProgress::BeforeMessage(cl::TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT:
      if (!Element()) return true;  // the bar paints itself
      PaintClient(m);
      m.Result = 0;
      return false;
    case WM_ERASEBKGND:
      // The bar covers its whole client area, skinned or not.
      m.Result = 1;
      return false;
    default:
      return TSkinControl::BeforeMessage(m);
  }
}

void TSkinProgress::DrawSkin(HDC dc, const RECT& rect) {
  TDataSkinBorder* element = Element();
  if (!element) return;
  cl::TBitmap* image = SkinImageBitmap(element->Image);
  if (element->Style == 1)
    DrawChunks(dc, rect, *element, *image);
  else
    DrawStretched(dc, rect, *element, *image);
}

int TSkinProgress::DoneLength(int length) const {
  PBRANGE range{};
  SendMessageW(Handle(), PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
  const int64_t low = range.iLow, high = range.iHigh;
  if (high <= low || length <= 0) return 0;
  const int64_t position = std::clamp<int64_t>(static_cast<int>(SendMessageW(Handle(), PBM_GETPOS, 0, 0)), low, high);
  const int64_t span = high - low;
  // Rounded to the nearest pixel.
  return static_cast<int>((length * (position - low) * 2 + span) / (2 * span));
}

void TSkinProgress::DrawStretched(HDC dc, const RECT& rect, TDataSkinBorder& element, cl::TBitmap& image) {
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  // A vertical bar is drawn lying, filled from its left, and turned so that the filled part rises from
  // the bottom.
  const bool vertical = HasStyle(Handle(), PBS_VERTICAL);
  const cl::TRect bar = vertical ? cl::Rect(0, 0, height, width) : cl::Rect(0, 0, width, height);
  auto work = WorkBitmap(bar.Width(), bar.Height());
  HDC workDc = DCOf(*work);
  FillSkinColor(workDc, RECT{0, 0, bar.Right, bar.Bottom});
  const bool tile = element.Tile == 1;
  // The whole height is filled: a bar drawn shorter left the control's own background showing below it.
  DrawNineSlice(workDc, bar, image, false, tile, true, 2, 1, element.Margins);
  if (const int done = DoneLength(bar.Width()); done > 0)
    DrawNineSlice(workDc, cl::Rect(0, 0, done, bar.Bottom), image, false, tile, true, 2, 2, element.Margins);
  if (vertical) RotateBitmapLeft(*work);
  // Turning made new pixels: the bitmap's context is asked for again.
  BitBlt(dc, rect.left, rect.top, width, height, DCOf(*work), 0, 0, SRCCOPY);
}

void TSkinProgress::DrawChunks(HDC dc, const RECT& rect, TDataSkinBorder& element, cl::TBitmap& image) {
  cl::TBitmap* chunk = SkinImageBitmap(element.Image2);
  if (!chunk) return;
  // Chunk bars are drawn lying, whatever their style, on the engine's shared work bitmap.
  cl::TBitmap& work = Data()->WorkBitmap();
  work.SetSize(rect.right, rect.bottom);
  HDC workDc = DCOf(work);
  FillSkinColor(workDc, rect);
  DrawNineSlice(workDc, ToRect(rect), image, false, element.Tile == 1, true, 1, 1, element.Margins);

  // The chunks run between the bar's left and right borders (not over them), the last one cut where the
  // done part ends.
  const int left = rect.left + element.Margins.Left;
  const int right = rect.right - element.Margins.Right;
  const int done = DoneLength(right - left);
  const int chunkWidth = chunk->Width(), chunkHeight = chunk->Height();
  if (done > 0 && chunkWidth > 0) {
    auto strip = WorkBitmap(done, chunkHeight);
    TileBitmapRect(DCOf(*strip), cl::Rect(0, 0, done, chunkHeight), DCOf(*chunk), cl::Rect(0, 0, chunkWidth, chunkHeight));
    const int top = rect.top + ((rect.bottom - rect.top) - chunkHeight) / 2;
    DrawTransparent(workDc, cl::Bounds(left, top, done, chunkHeight), *strip, kSkinKeyColor);
  }
  BitBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, workDc, rect.left, rect.top, SRCCOPY);
}

}  // namespace skin
