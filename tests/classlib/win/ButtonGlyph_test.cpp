// Buttons with a glyph: the bit button and the speed button publish the glyph, its cells, layout, margin
// and spacing (and the speed button its flatness) for whoever draws them; and a windowless control is
// painted along its message path, where a handler stacked on it may draw it instead.
#include "Buttons.h"

#include <gtest/gtest.h>

#include <windows.h>

#include "DeviceContext.h"
#include "Forms.h"
#include "FormsTestSupport.h"
#include "TypInfo.h"

namespace {

using formstest::FormTest;

TEST_F(FormTest, BitAndSpeedButtonsReadTheirGlyphSettingsAndKeepTheirDefaults) {
  LoadForm(
      "object frmGlyphs: TForm\n"
      "  object btnPlain: TBitBtn\n"
      "  end\n"
      "  object btnSet: TBitBtn\n"
      "    Default = True\n"
      "    Layout = blGlyphTop\n"
      "    Margin = 2\n"
      "    NumGlyphs = 4\n"
      "    Spacing = -1\n"
      "  end\n"
      "  object sbtSet: TSpeedButton\n"
      "    Flat = True\n"
      "    Layout = blGlyphBottom\n"
      "    Margin = 3\n"
      "    NumGlyphs = 2\n"
      "    Spacing = 0\n"
      "  end\n"
      "end\n");
  auto* plain = cl::ComponentAs<cl::TBitBtn>(form_, "btnPlain");
  ASSERT_NE(plain, nullptr);
  EXPECT_TRUE(plain->InheritsFrom(cl::TButton::StaticClass()));
  EXPECT_EQ(plain->Layout(), cl::blGlyphLeft);
  EXPECT_EQ(plain->Margin(), -1);
  EXPECT_EQ(plain->Spacing(), 4);
  EXPECT_EQ(plain->NumGlyphs(), 1);
  EXPECT_TRUE(plain->Glyph()->Empty());

  auto* set = cl::ComponentAs<cl::TBitBtn>(form_, "btnSet");
  EXPECT_TRUE(set->Default());
  EXPECT_EQ(cl::GetEnumProp(set, cl::GetPropInfo(set, "Layout")), "blGlyphTop");
  EXPECT_EQ(set->Margin(), 2);
  EXPECT_EQ(set->NumGlyphs(), 4);
  EXPECT_EQ(set->Spacing(), -1);
  EXPECT_EQ(cl::FindObjectProp(set, "Glyph"), set->Glyph());

  auto* speed = cl::ComponentAs<cl::TSpeedButton>(form_, "sbtSet");
  EXPECT_TRUE(speed->Flat());
  EXPECT_EQ(speed->Layout(), cl::blGlyphBottom);
  EXPECT_EQ(speed->Margin(), 3);
  EXPECT_EQ(speed->NumGlyphs(), 2);
  EXPECT_EQ(speed->Spacing(), 0);

  // A glyph strip has one to four cells.
  speed->SetNumGlyphs(0);
  EXPECT_EQ(speed->NumGlyphs(), 1);
  speed->SetNumGlyphs(9);
  EXPECT_EQ(speed->NumGlyphs(), 4);
}

TEST_F(FormTest, AWindowlessControlIsPaintedAlongItsMessagePath) {
  LoadForm(
      "object frmPaint: TForm\n"
      "  Left = 80\n"
      "  Top = 80\n"
      "  Width = 300\n"
      "  Height = 200\n"
      "  object sbtPaint: TSpeedButton\n"
      "    Left = 20\n"
      "    Top = 30\n"
      "    Width = 40\n"
      "    Height = 20\n"
      "  end\n"
      "end\n");
  auto* speed = cl::ComponentAs<cl::TSpeedButton>(form_, "sbtPaint");
  HDC given = nullptr;
  cl::TMessageLink painter(speed->WindowProc, [&](cl::TMessage& m, const cl::TMessageChain::TNext& next) {
    if (m.Msg != WM_PAINT) return next(m);
    // The parent's context, its origin at the button's corner.
    given = reinterpret_cast<HDC>(m.WParam);
    const RECT r{0, 0, speed->Width(), speed->Height()};
    FillRect(given, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  });
  form_->Show();
  RedrawWindow(form_->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_NE(given, nullptr);
  const cl::TWindowDC dc(form_->Handle());
  EXPECT_EQ(GetPixel(dc.Get(), 20, 30), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(dc.Get(), 59, 49), RGB(0, 0, 0));
  EXPECT_NE(GetPixel(dc.Get(), 60, 49), RGB(0, 0, 0));
  EXPECT_NE(GetPixel(dc.Get(), 19, 30), RGB(0, 0, 0));
}

}  // namespace
