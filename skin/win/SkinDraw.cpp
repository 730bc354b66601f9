#include "SkinDraw.h"

#include "Colors.h"
#include "ImgUtil.h"

namespace skin {

namespace {

bool Inverted(const RECT& r) { return r.right < r.left || r.bottom < r.top; }

cl::TRect ToRect(const RECT& r) { return cl::TRect{r.left, r.top, r.right, r.bottom}; }

void Line(HDC dc, int x1, int y1, int x2, int y2) {
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
}

}  // namespace

void DrawSkinElement(HDC dc, const RECT& rect, int frameCount, int frame, TDataSkinObject& element) {
  if (Inverted(rect)) return;
  cl::TBitmap* image = SkinImageBitmap(element.Image);
  if (!image) return;
  DrawNineSlice(dc, ToRect(rect), *image, false, element.Tile == 1, element.Trans == 1, frameCount, frame,
                element.Margins);
}

void DrawFrameKeyed(HDC dc, const RECT& rect, int frameCount, int frame, TSkinImage& image) {
  if (Inverted(rect)) return;
  cl::TBitmap* bitmap = SkinImageBitmap(image);
  if (!bitmap) return;
  DrawSkinFrame(dc, ToRect(rect), *bitmap, true, frameCount, frame);
}

void DrawCaptionText(HDC dc, const RECT& rect, UINT align, bool enabled, const std::wstring& text) {
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  RECT measured = rect;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured,
            align | DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS);
  const int textWidth = measured.right - measured.left, textHeight = measured.bottom - measured.top;
  if (align == DT_CENTER) {
    OffsetRect(&measured, ((rect.right - rect.left) - textWidth) / 2, 0);
  } else {
    measured.left = rect.left;
    measured.right = rect.right;
  }
  OffsetRect(&measured, 0, ((rect.bottom - rect.top) - textHeight) / 2 - 1);
  const COLORREF oldColor = enabled ? CLR_INVALID : SetTextColor(dc, cl::ColorToRGB(cl::clBtnShadow));
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured, align | DT_EXPANDTABS);
  if (oldColor != CLR_INVALID) SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
}

void DrawArrow(HDC dc, int x, int y, int direction) {
  switch (direction) {
    case adUp:
      Line(dc, x, y, x, y - 1);
      Line(dc, x + 1, y + 1, x + 4, y + 4);
      Line(dc, x, y + 1, x + 3, y + 4);
      Line(dc, x, y + 2, x + 2, y + 4);
      Line(dc, x - 1, y + 1, x - 4, y + 4);
      Line(dc, x, y + 2, x - 3, y + 4);
      Line(dc, x, y + 1, x - 2, y + 4);
      break;
    case adDown:
      Line(dc, x, y + 3, x, y + 4);
      Line(dc, x + 1, y + 2, x + 4, y - 1);
      Line(dc, x, y + 2, x + 3, y - 1);
      Line(dc, x, y + 1, x + 2, y);
      Line(dc, x - 1, y + 2, x - 4, y - 1);
      Line(dc, x, y + 2, x - 3, y - 1);
      Line(dc, x, y + 1, x - 2, y);
      break;
    case adLeft:
    case adRight: {
      const int s = direction == adLeft ? 1 : -1;
      const POINT points[] = {{x, y}, {x + s, y + 2}, {x + s, y - 2}, {x - s, y}, {x + s, y + 2}};
      Polyline(dc, points, 5);
      break;
    }
    default:
      break;
  }
}

}  // namespace skin
