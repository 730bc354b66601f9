#include "SkinDraw.h"

#include <algorithm>

#include "Colors.h"
#include "DeviceContext.h"
#include "Graphics.h"
#include "ImgUtil.h"

namespace skin {

namespace {

bool Inverted(const RECT& r) { return r.right < r.left || r.bottom < r.top; }

cl::TRect ToRect(const RECT& r) { return cl::TRect{r.left, r.top, r.right, r.bottom}; }

void Line(HDC dc, int x1, int y1, int x2, int y2) {
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
}

// A plain copy (not bold, italic, underlined or struck out) of the DC's font, for captions drawn plain
// whatever font the control has; null when that font is plain already.
cl::TFontHandle PlainFontOf(HDC dc) {
  LOGFONTW lf{};
  if (!GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof lf, &lf)) return {};
  const bool plain = (lf.lfWeight == FW_NORMAL || lf.lfWeight == FW_DONTCARE) && !lf.lfItalic &&
                     !lf.lfUnderline && !lf.lfStrikeOut;
  if (plain) return {};
  lf.lfWeight = FW_NORMAL;
  lf.lfItalic = lf.lfUnderline = lf.lfStrikeOut = FALSE;
  return cl::TFontHandle(CreateFontIndirectW(&lf));
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
  const cl::TFontHandle plainFont = PlainFontOf(dc);
  const cl::TSelectedObject plain(dc, plainFont.Get());
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

void DrawImageText(HDC dc, const RECT& rect, int align, const std::wstring& text, int imageIndex,
                   HIMAGELIST images, bool enabled) {
  constexpr UINT kLine = DT_SINGLELINE | DT_EXPANDTABS | DT_END_ELLIPSIS;
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  int imageWidth = 0, imageHeight = 0;
  const bool hasImage = imageIndex != -1 && images &&
                        ImageList_GetIconSize(images, &imageWidth, &imageHeight) && imageWidth < width;
  if (!hasImage) imageWidth = imageHeight = 0;
  RECT textRect = rect;
  if (imageWidth) textRect.right += imageWidth + 2;
  if (text.empty()) {
    textRect.right = textRect.left;
  } else {
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect, kLine | DT_CALCRECT | DT_NOCLIP);
  }
  const int textWidth = textRect.right - textRect.left, textHeight = textRect.bottom - textRect.top;
  int start = 2;
  if (align == 1) start = (width - textWidth - imageWidth) / 2;
  if (align == 2) start = width - textWidth - imageWidth - 2;
  start = std::max(start, 2);
  if (hasImage)
    ImageList_Draw(images, imageIndex, dc, rect.left + start, rect.top + (height - imageHeight) / 2, ILD_TRANSPARENT);
  if (text.empty()) return;
  textRect.left = std::max(rect.left + start + imageWidth + 1, rect.left);
  textRect.right = std::min(textRect.left + textWidth, rect.right);
  textRect.top = rect.top + (height - textHeight) / 2;
  textRect.bottom = textRect.top + textHeight;
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor = enabled ? CLR_INVALID : SetTextColor(dc, cl::ColorToRGB(cl::clBtnShadow));
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect, kLine);
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
