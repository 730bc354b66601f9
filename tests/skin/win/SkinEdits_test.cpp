// The edit painter's flat frame: drawn over the system's border after each paint and each non-client
// paint, never on a field without a border, and into a caller's DC on WM_PRINT.
#include <gtest/gtest.h>
#include <windows.h>

#include "DeviceContext.h"
#include "FormsTestSupport.h"
#include "PaintSurface.h"
#include "PainterFormTest.h"
#include "SkinEdits.h"
#include "SkinTestForms.h"
#include "StdCtrls.h"
#include "WinSkinData.h"

namespace {

using skintest::WindowPixel;

class SkinEditTest : public skintest::PainterFormTest {
 protected:
  void SetUp() override {
    PainterFormTest::SetUp();
    MakeForm(60, 60, 320, 200);
    LoadPackage(skin::BuildSkinPackage({{"edit.ini", "[Colours]\r\nButtonFace=10 20 30\r\nButtonShadow=200 0 0\r\n"}}));
    form_->Show();
  }
  cl::TEdit* NewEdit(bool border) {
    auto* edit = NewControl<cl::TEdit>(10, 10, 120, 24);
    if (!border) {
      const HWND wnd = edit->Handle();
      SetWindowLongPtrW(wnd, GWL_EXSTYLE, GetWindowLongPtrW(wnd, GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE);
      SetWindowLongPtrW(wnd, GWL_STYLE, GetWindowLongPtrW(wnd, GWL_STYLE) & ~WS_BORDER);
      SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    }
    auto* painter = new skin::TSkinEdit(edit);
    painter->AttachHandle(edit->Handle(), data_, nullptr);
    RedrawWindow(edit->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    return edit;
  }
};

constexpr COLORREF kShadow = RGB(200, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

TEST_F(SkinEditTest, AFieldWithABorderWearsTheFlatFrameAlsoAfterANonClientPaint) {
  const HWND wnd = NewEdit(true)->Handle();
  EXPECT_EQ(WindowPixel(wnd, 0, 0), kShadow);
  EXPECT_EQ(WindowPixel(wnd, 60, 23), kShadow);
  EXPECT_EQ(WindowPixel(wnd, 1, 1), kWhite);
  EXPECT_EQ(WindowPixel(wnd, 118, 12), kWhite);
  // The system draws its border on a non-client paint alone: ours comes back over it.
  SendMessageW(wnd, WM_NCPAINT, 1, 0);
  EXPECT_EQ(WindowPixel(wnd, 0, 0), kShadow);
  EXPECT_EQ(WindowPixel(wnd, 1, 1), kWhite);
}

TEST_F(SkinEditTest, AFieldWithoutABorderGetsNoFrame) {
  const HWND wnd = NewEdit(false)->Handle();
  EXPECT_EQ(WindowPixel(wnd, 0, 0), kWhite);
  EXPECT_EQ(WindowPixel(wnd, 119, 23), kWhite);
}

TEST_F(SkinEditTest, PrintingTheFieldDrawsTheFrameIntoTheCallersDC) {
  const HWND wnd = NewEdit(true)->Handle();
  hktest::PaintSurface surface(120, 24);
  SelectObject(surface.DC(), GetStockObject(WHITE_BRUSH));
  SendMessageW(wnd, WM_PRINT, reinterpret_cast<WPARAM>(surface.DC()), PRF_NONCLIENT | PRF_CLIENT);
  EXPECT_EQ(surface.Pixel(0, 0), kShadow);
  EXPECT_EQ(surface.Pixel(119, 23), kShadow);
  EXPECT_EQ(surface.Pixel(1, 1), kWhite);
}

}  // namespace
