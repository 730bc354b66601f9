// The tab painters: a bare tab control's tabs and page border from the Tabs element on each of its four
// sides (the selected tab from frame 2), and an old-style tab set painted exactly where it hit-tests,
// with no tab drawn after the first that does not fit.
#include "SkinTabs.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ByteBuilder.h"
#include "DeviceContext.h"
#include "FormsTestSupport.h"
#include "NCFrameFixture.h"
#include "PainterFormTest.h"
#include "PaintSurface.h"
#include "SkinDraw.h"
#include "SkinRanges.h"
#include "SkinPack.h"
#include "StdClasses.h"
#include "Tabs.h"
#include "WinSkinData.h"
#include "WinString.h"

namespace {

using skin::TSkinTab;
using skin::TSkinTab31;

// Frames 1-5 of the Tabs image (1 a tab, 2 the selected tab); the border's edges and its middle.
constexpr COLORREF kTab[5] = {RGB(200, 40, 40), RGB(40, 200, 40), RGB(40, 40, 200), RGB(200, 200, 40),
                              RGB(40, 200, 200)};
constexpr COLORREF kBorder = RGB(150, 60, 150);
constexpr COLORREF kBorderMiddle = RGB(60, 150, 150);
constexpr COLORREF kFace = RGB(10, 20, 30);

std::string TabsPackage(bool withBorder = true) {
  const std::string border = testsupport::Bmp24(20, 20, [](int x, int y) -> uint32_t {
    return x >= 6 && x < 14 && y >= 6 && y < 14 ? kBorderMiddle : kBorder;
  });
  return skin::BuildSkinPackage(
      {{"tabs.ini",
        "[Colours]\r\nButtonFace=10 20 30\r\n"
        "[Tabs]\r\nImage=tabs.bmp\r\n" + std::string(withBorder ? "Border=border.bmp\r\n" : "") + "LeftWidth=2\r\nTopHeight=2\r\nRightWidth=2\r\n"
        "BottomHeight=2\r\nNormalColour2=255 255 255\r\nMouseOverColour2=0 0 0\r\n"},
       {"tabs.bmp", ncframe::Strip(5, 10, 10, false, kTab)},
       {"border.bmp", border}});
}

class SkinTabsTest : public skintest::PainterFormTest {
 protected:
  void SetUp() override {
    PainterFormTest::SetUp();
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    MakeForm(60, 60, 400, 320);
    LoadPackage(TabsPackage());
    form_->Show();
  }
  static void Repaint(HWND wnd) {
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
  }
  static COLORREF Pixel(HWND wnd, int x, int y) { return skintest::WindowPixel(wnd, x, y); }

};

// ---------------------------------------------------------------------------------------------------------
// Tab controls.

struct TSideCase {
  const char* name;
  DWORD style;
  skin::TTabSide side;
};

class SkinTabSideTest : public SkinTabsTest, public ::testing::WithParamInterface<TSideCase> {
 protected:
  HWND NewTabControl(DWORD style) {
    const HWND wnd = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, 10,
                                     10, 300, 220, form_->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
    for (const wchar_t* text : {L"One tab", L"Two tab", L"Three"}) {
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = const_cast<wchar_t*>(text);
      SendMessageW(wnd, TCM_INSERTITEMW, SendMessageW(wnd, TCM_GETITEMCOUNT, 0, 0), reinterpret_cast<LPARAM>(&item));
    }
    SendMessageW(wnd, TCM_SETCURSEL, 1, 0);
    return wnd;
  }
};

TEST_P(SkinTabSideTest, TabsAndPageBorderComeFromTheTabsElement) {
  const HWND wnd = NewTabControl(GetParam().style);
  auto* painter = new TSkinTab(form_);
  painter->AttachHandle(wnd, data_, nullptr);
  EXPECT_EQ(painter->Side(), GetParam().side);
  Repaint(wnd);

  for (int i = 0; i < 3; ++i) {
    RECT r{};
    ASSERT_TRUE(SendMessageW(wnd, TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r)));
    // A point inside the tab, at its end away from the page and clear of its text.
    POINT p{r.left + 3, r.top + 2};
    if (GetParam().side == skin::tsBottom) p = {r.left + 3, r.bottom - 3};
    if (GetParam().side == skin::tsLeft) p = {r.left + 2, r.top + 3};
    if (GetParam().side == skin::tsRight) p = {r.right - 3, r.top + 3};
    EXPECT_EQ(Pixel(wnd, p.x, p.y), kTab[i == 1 ? 1 : 0]) << "tab " << i;
  }

  RECT body{};
  GetClientRect(wnd, &body);
  SendMessageW(wnd, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&body));
  const int middleX = (body.left + body.right) / 2, middleY = (body.top + body.bottom) / 2;
  // The border reaches 4 pixels past the display area; its middle is not drawn.
  EXPECT_EQ(Pixel(wnd, body.left - 2, middleY), kBorder);
  EXPECT_EQ(Pixel(wnd, body.right + 1, middleY), kBorder);
  EXPECT_EQ(Pixel(wnd, middleX, body.top - 1), kBorder);
  EXPECT_EQ(Pixel(wnd, middleX, body.bottom), kBorder);
  EXPECT_NE(Pixel(wnd, middleX, middleY), kBorderMiddle);
}

INSTANTIATE_TEST_SUITE_P(Sides, SkinTabSideTest,
                         ::testing::Values(TSideCase{"Top", 0, skin::tsTop},
                                           TSideCase{"Bottom", TCS_BOTTOM, skin::tsBottom},
                                           TSideCase{"Left", TCS_VERTICAL | TCS_MULTILINE, skin::tsLeft},
                                           TSideCase{"Right", TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE,
                                                     skin::tsRight}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SkinTabSideTest, WithoutABorderImageTheTabsAreStillTheSkins) {
  LoadPackage(TabsPackage(false));
  for (const DWORD style : {DWORD{0}, DWORD{TCS_BOTTOM}}) {
    SCOPED_TRACE(style);
    const HWND wnd = NewTabControl(style);
    auto* painter = new TSkinTab(form_);
    painter->AttachHandle(wnd, data_, nullptr);
    Repaint(wnd);
    for (int i = 0; i < 3; ++i) {
      RECT r{};
      ASSERT_TRUE(SendMessageW(wnd, TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r)));
      EXPECT_EQ(Pixel(wnd, r.left + 3, style ? r.bottom - 3 : r.top + 2), kTab[i == 1 ? 1 : 0]) << "tab " << i;
    }
    delete painter;
    DestroyWindow(wnd);
  }
}

TEST_F(SkinTabSideTest, TheStripLeavesTheScrollArrowsAloneAndLongTextsFitTheirBuffer) {
  const HWND wnd = NewTabControl(0);
  // Far more tabs than fit, one with a text longer than the painter reads.
  const std::wstring longText(150, L'W');
  for (int i = 0; i < 10; ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(i == 0 ? longText.c_str() : L"More");
    SendMessageW(wnd, TCM_INSERTITEMW, SendMessageW(wnd, TCM_GETITEMCOUNT, 0, 0), reinterpret_cast<LPARAM>(&item));
  }
  auto* painter = new TSkinTab(form_);
  painter->AttachHandle(wnd, data_, nullptr);
  Repaint(wnd);
  const HWND arrows = FindWindowExW(wnd, nullptr, UPDOWN_CLASSW, nullptr);
  ASSERT_NE(arrows, nullptr);
  ASSERT_TRUE(IsWindowVisible(arrows));
  ASSERT_NE(painter->UpDown(), nullptr);
  EXPECT_EQ(painter->UpDown()->Handle(), arrows);

  // The arrows are marked, then the tab control alone is painted again: the mark must stay.
  constexpr COLORREF kMark = RGB(1, 2, 3);
  RECT r{};
  GetClientRect(arrows, &r);
  {
    const cl::TWindowDC dc(arrows);
    const cl::TBrushHandle mark(CreateSolidBrush(kMark));
    FillRect(dc.Get(), &r, mark.Get());
  }
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
  int overdrawn = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (Pixel(arrows, x, y) != kMark) ++overdrawn;
  EXPECT_EQ(overdrawn, 0);
  // Left of the arrows the strip is drawn.
  RECT first{};
  SendMessageW(wnd, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  EXPECT_EQ(Pixel(wnd, first.left + 3, first.top + 2), kTab[0]);
}

// ---------------------------------------------------------------------------------------------------------
// Tab items' image and text.

class DrawImageTextTest : public ::testing::Test {
 protected:
  static constexpr int kWidth = 120, kHeight = 24;
  static constexpr COLORREF kWhite = RGB(255, 255, 255), kImage = RGB(220, 0, 0);
  void SetUp() override {
    SelectObject(surface_.DC(), GetStockObject(DEFAULT_GUI_FONT));
    SetTextColor(surface_.DC(), RGB(0, 0, 0));
    const RECT all{0, 0, kWidth, kHeight};
    FillRect(surface_.DC(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    images_.Reset(ImageList_Create(16, 16, ILC_COLOR24, 1, 0));
    hktest::PaintSurface picture(16, 16);
    const RECT cell{0, 0, 16, 16};
    const cl::TBrushHandle red(CreateSolidBrush(kImage));
    FillRect(picture.DC(), &cell, red.Get());
    const cl::TBitmapHandle bitmap(CreateCompatibleBitmap(picture.DC(), 16, 16));
    {
      const cl::TDCHandle copy(CreateCompatibleDC(picture.DC()));
      const HGDIOBJ old = SelectObject(copy.Get(), bitmap.Get());
      BitBlt(copy.Get(), 0, 0, 16, 16, picture.DC(), 0, 0, SRCCOPY);
      SelectObject(copy.Get(), old);
    }
    ImageList_Add(images_.Get(), bitmap.Get(), nullptr);
  }
  // The columns holding pixels that pass `is`: first and one past the last; {0, 0} for none.
  std::pair<int, int> Columns(const std::function<bool(COLORREF)>& is) const {
    int first = -1, last = -1;
    for (int x = 0; x < kWidth; ++x)
      for (int y = 0; y < kHeight; ++y)
        if (is(surface_.Pixel(x, y))) {
          if (first < 0) first = x;
          last = x;
        }
    return first < 0 ? std::pair{0, 0} : std::pair{first, last + 1};
  }
  static bool IsText(COLORREF c) { return c != kWhite && c != kImage; }

  hktest::PaintSurface surface_{kWidth, kHeight};
  cl::TImageListHandle images_;
};

TEST_F(DrawImageTextTest, AnItemWithoutAnImageCentresItsTextAlone) {
  skin::DrawImageText(surface_.DC(), RECT{0, 0, kWidth, kHeight}, 1, L"Tab", -1, images_.Get(), true);
  const auto [left, right] = Columns(IsText);
  ASSERT_LT(left, right);
  EXPECT_LE(std::abs(left - (kWidth - right)), 3);
  EXPECT_EQ(Columns([](COLORREF c) { return c == kImage; }).second, 0);
}

TEST_F(DrawImageTextTest, AnImageGoesFirstAndTheTwoAreCentredTogether) {
  skin::DrawImageText(surface_.DC(), RECT{0, 0, kWidth, kHeight}, 1, L"Tab", 0, images_.Get(), true);
  const auto [imageLeft, imageRight] = Columns([](COLORREF c) { return c == kImage; });
  const auto [textLeft, textRight] = Columns(IsText);
  EXPECT_EQ(imageRight - imageLeft, 16);
  EXPECT_GT(textLeft, imageRight);
  EXPECT_LE(std::abs(imageLeft - (kWidth - textRight)), 4);
}

TEST_F(DrawImageTextTest, DisabledTextIsInTheShadowColour) {
  skin::DrawImageText(surface_.DC(), RECT{0, 0, kWidth, kHeight}, 0, L"Tab", -1, nullptr, false);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  EXPECT_EQ(Columns([](COLORREF c) { return c == RGB(0, 0, 0); }).second, 0);
  EXPECT_GT(Columns([&](COLORREF c) { return c == shadow; }).second, 0);
  // From the left: two pixels in, one more for the (absent) image's gap.
  EXPECT_GE(Columns(IsText).first, 3);
}

// ---------------------------------------------------------------------------------------------------------
// Tab sets.

int TextWidth(cl::TControl& control, const std::wstring& text) {
  const cl::TWindowDC screen(nullptr);
  const HGDIOBJ old = SelectObject(screen.Get(), control.Font()->Handle());
  SIZE size{};
  GetTextExtentPoint32W(screen.Get(), text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(screen.Get(), old);
  return size.cx;
}

TEST_F(SkinTabsTest, ATabSetIsPaintedWhereItHitTestsAndNoTabAfterOneThatDoesNotFit) {
  auto* tabSet = new cl::TTabSet(form_);
  tabSet->SetParent(form_);
  for (const char* text : {"Alpha", "Beta", "A much longer caption than the rest", "C"})
    tabSet->Tabs()->Add(text);
  // Room for the first two and for "C", not for the long one.
  const int width = 5 + TextWidth(*tabSet, L"Alpha") + 9 + TextWidth(*tabSet, L"Beta") + 9 +
                    TextWidth(*tabSet, L"C") + 9 + 5 + 2;
  tabSet->SetBounds(10, 250, width, 24);
  tabSet->SetTabIndex(0);
  auto* painter = new TSkinTab31(tabSet);
  painter->Attach(nullptr, data_, false);
  const HWND wnd = tabSet->Handle();

  const auto expectPaintedAsHitTested = [&] {
    Repaint(wnd);
    int shown = 0;
    for (int x = 0; x < width; ++x) {
      const int hit = tabSet->ItemAtPos(cl::TPoint{x, 2});
      const COLORREF expected = hit < 0 ? kFace : kTab[hit == tabSet->TabIndex() ? 1 : 0];
      EXPECT_EQ(Pixel(wnd, x, 2), expected) << "x " << x << ", tab " << hit;
      if (hit >= 0) ++shown;
    }
    EXPECT_GT(shown, 0);
  };
  expectPaintedAsHitTested();
  EXPECT_TRUE(tabSet->ItemRect(3).IsEmpty());

  const cl::TRect beta = tabSet->ItemRect(1);
  SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(beta.Left + 3, 10));
  SendMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(beta.Left + 3, 10));
  EXPECT_EQ(tabSet->TabIndex(), 1);
  expectPaintedAsHitTested();
}

}  // namespace
