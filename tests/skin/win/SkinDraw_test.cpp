// The painters' caption text: drawn plain, whatever the font's style, and the caller's font kept.
#include "SkinDraw.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "Graphics.h"
#include "PaintSurface.h"

namespace {

std::vector<COLORREF> CaptionPixels(HFONT font) {
  hktest::PaintSurface surface(120, 30);
  const RECT all{0, 0, 120, 30};
  FillRect(surface.DC(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const HGDIOBJ old = SelectObject(surface.DC(), font);
  skin::DrawCaptionText(surface.DC(), all, DT_CENTER, true, L"Caption");
  EXPECT_EQ(GetCurrentObject(surface.DC(), OBJ_FONT), font);
  SelectObject(surface.DC(), old);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 120; ++x) pixels.push_back(surface.Pixel(x, y));
  return pixels;
}

cl::TFontHandle Font(int weight, bool italic, bool underline) {
  LOGFONTW lf{};
  lf.lfHeight = -13;
  lf.lfWeight = weight;
  lf.lfItalic = italic;
  lf.lfUnderline = underline;
  wcscpy_s(lf.lfFaceName, L"Arial");
  return cl::TFontHandle(CreateFontIndirectW(&lf));
}

TEST(SkinDraw, CaptionTextIsDrawnPlainWhateverTheFontsStyle) {
  const cl::TFontHandle plain = Font(FW_NORMAL, false, false);
  const cl::TFontHandle styled = Font(FW_BOLD, true, true);
  const std::vector<COLORREF> expected = CaptionPixels(plain.Get());
  EXPECT_EQ(CaptionPixels(styled.Get()), expected);
}

}  // namespace
