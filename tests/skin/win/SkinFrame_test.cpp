// The skinned frame on real windows: the client size kept, the borders and title painted from the skin's
// frames, the hit test, the caption's place, the window region and its rebuilding, and no GDI growth.
#include "SkinFrame.h"

#include <gtest/gtest.h>

#include "DeviceContext.h"
#include "GdiObjects.h"
#include "NCFrameFixture.h"
#include "PaintSurface.h"

namespace {

using namespace ncframe;

SIZE ClientSize(HWND wnd) {
  RECT r{};
  GetClientRect(wnd, &r);
  return {r.right - r.left, r.bottom - r.top};
}

// The non-client area painted into a memory bitmap of the window's size.
struct Painted {
  explicit Painted(SkinnedWindow& w) : surface(w.Width(), w.Height()) { skin::PaintNonClient(w.s, surface.DC()); }
  COLORREF operator()(int x, int y) const { return surface.Pixel(x, y); }
  hktest::PaintSurface surface;
};

TEST(SkinFrame, TheClientSizeIsKeptForEveryBorderKind) {
  for (const TWindowRecipe* recipe : {&kOverlapped, &kSingle, &kDialog, &kPopupCaption}) {
    SkinnedWindow w(*recipe);
    SCOPED_TRACE(static_cast<int>(recipe->Border));
    const SIZE client = ClientSize(w.Wnd());
    EXPECT_EQ(client.cx, kClientW);
    EXPECT_EQ(client.cy, kClientH);
    EXPECT_EQ(w.Width(), kClientW + 2 * kSide);
    EXPECT_EQ(w.Height(), kClientH + kTop + kBottom);
    EXPECT_EQ(w.s.Left, kSide);
    EXPECT_EQ(w.s.Top, kTop);
    EXPECT_EQ(w.s.Bottom, kBottom);
  }
}

TEST(SkinFrame, AMenuBarSitsBetweenTitleAndClient) {
  SkinnedWindow w(kOverlapped, 20);
  EXPECT_EQ(ClientSize(w.Wnd()).cy, kClientH);
  EXPECT_EQ(w.Height(), kClientH + kTop + 20 + kBottom);
  POINT origin{0, 0};
  ClientToScreen(w.Wnd(), &origin);
  EXPECT_EQ(origin.x - w.WindowRect().left, kSide);
  EXPECT_EQ(origin.y - w.WindowRect().top, kTop + 20);
}

TEST(SkinFrame, AWindowWithoutBorderKeepsTheSystemsFrameAndPaintsNothing) {
  SkinnedWindow w(kBarePopup);
  EXPECT_EQ(w.s.Left + w.s.Top + w.s.Right + w.s.Bottom, 0);
  const SIZE client = ClientSize(w.Wnd());
  EXPECT_EQ(client.cx, kClientW);
  EXPECT_EQ(client.cy, kClientH);
  hktest::PaintSurface surface(w.Width(), w.Height());
  RECT all{0, 0, w.Width(), w.Height()};
  FillRect(surface.DC(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  skin::PaintNonClient(w.s, surface.DC());
  EXPECT_EQ(surface.Pixel(1, 1), RGB(255, 255, 255));
  EXPECT_EQ(surface.Pixel(w.Width() / 2, 10), RGB(255, 255, 255));
}

TEST(SkinFrame, BordersAndTitleShowFrameOneWhileActiveAndFrameTwoWhileNot) {
  SkinnedWindow w(kOverlapped);
  const int W = w.Width(), H = w.Height();
  for (int f = 0; f < 2; ++f) {
    SCOPED_TRACE(f == 0 ? "active" : "inactive");
    w.s.Active = f == 0;
    const Painted p(w);
    EXPECT_EQ(p(1, H / 2), kLeft[f]);
    EXPECT_EQ(p(0, 1), kLeft[f]);  // the side border runs the whole height
    EXPECT_EQ(p(W - 2, H / 2), kRight[f]);
    EXPECT_EQ(p(W / 2, H - 2), kBottomColour[f]);
    EXPECT_EQ(p(W / 2, 1), kTopColour[f]);
    EXPECT_EQ(p(W / 2, kTop - 1), kTopColour[f]);
    // The top border's corners are key pixels over the side borders' corners.
    EXPECT_EQ(p(kSide + 1, 1), kKey);
    EXPECT_EQ(p(W - kSide - 2, 1), kKey);
    // The buttons: frame 1 while active, the inactive frame 4 while not.
    const int frame = f == 0 ? 0 : 3;
    EXPECT_EQ(p(W - kCloseX + kButtonW / 2, kButtonY + kButtonH / 2), kClose[frame]);
    EXPECT_EQ(p(W - kMaxX + kButtonW / 2, kButtonY + kButtonH / 2), kMax[frame]);
    EXPECT_EQ(p(W - kMinX + kButtonW / 2, kButtonY + kButtonH / 2), kMin[frame]);
    EXPECT_EQ(p(kOwnX + kButtonW / 2, kButtonY + kButtonH / 2), kOwn[frame]);
    // The system-menu button shows the window's icon.
    EXPECT_EQ(p(kSysX + 8, kButtonY + 8), kIcon);
  }
  EXPECT_EQ(w.s.PaintedWidth, W);
  EXPECT_EQ(w.s.PaintedHeight, H);
}

TEST(SkinFrame, TheWindowItselfShowsTheFrame) {
  SkinnedWindow w(kOverlapped);
  w.s.Active = true;
  RedrawWindow(w.Wnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  const cl::TWindowDC dc(w.Wnd(), cl::TWindowDC::dcWholeWindow);
  EXPECT_EQ(GetPixel(dc.Get(), 1, w.Height() / 2), kLeft[0]);
  EXPECT_EQ(GetPixel(dc.Get(), w.Width() / 2, 2), kTopColour[0]);
  EXPECT_EQ(GetPixel(dc.Get(), w.Width() / 2, w.Height() - 1), kBottomColour[0]);
}

TEST(SkinFrame, WithPaintingSwitchedOffTheFrameIsLeftAlone) {
  SkinnedWindow w(kOverlapped);
  const cl::TWindowDC dc(w.Wnd(), cl::TWindowDC::dcWholeWindow);
  RECT left{0, 0, kSide, w.Height()};
  FillRect(dc.Get(), &left, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  w.PaintingOn = false;
  EXPECT_EQ(SendMessageW(w.Wnd(), WM_NCPAINT, 1, 0), 0);
  EXPECT_EQ(GetPixel(dc.Get(), 1, w.Height() / 2), RGB(255, 255, 255));
  w.PaintingOn = true;
  EXPECT_EQ(SendMessageW(w.Wnd(), WM_NCPAINT, 1, 0), 0);
  EXPECT_EQ(GetPixel(dc.Get(), 1, w.Height() / 2), kLeft[0]);
}

// Pixels of the caption's colour in the title bar between x0 and x1.
int TextPixels(const Painted& p, int x0, int x1, COLORREF text) {
  int n = 0;
  for (int y = 0; y < kTop; ++y)
    for (int x = x0; x < x1; ++x) n += p(x, y) == text;
  return n;
}

TEST(SkinFrame, TheCaptionStartsAtTheShiftAndEndsBeforeTheRightClip) {
  SkinnedWindow w(kOverlapped);
  const Painted p(w);
  EXPECT_EQ(w.s.CaptionRect.left, kSide + kTextShift);
  EXPECT_LE(w.s.CaptionRect.right, w.Width() - kSide - kTextRightClip);
  EXPECT_GT(TextPixels(p, w.s.CaptionRect.left, w.s.CaptionRect.right, RGB(255, 255, 255)), 10);
  EXPECT_EQ(TextPixels(p, 0, w.s.CaptionRect.left, RGB(255, 255, 255)), 0);
  // Inactive, in the inactive text colour.
  w.s.Active = false;
  const Painted q(w);
  EXPECT_GT(TextPixels(q, w.s.CaptionRect.left, w.s.CaptionRect.right, RGB(0, 0, 0)), 10);
}

TEST(SkinFrame, ALongCaptionIsClippedRightToLeftIsRightAlignedAndPopupsClipAtTheButtons) {
  const std::wstring longText(200, L'W');
  TWindowRecipe recipe = kOverlapped;
  recipe.Text = longText.c_str();
  {
    SkinnedWindow w(recipe);
    const Painted p(w);
    EXPECT_EQ(w.s.CaptionRect.right, w.Width() - kSide - kTextRightClip);
    EXPECT_EQ(TextPixels(p, w.s.CaptionRect.right, w.Width() - kCloseX - 1, RGB(255, 255, 255)), 0);
  }
  {
    TWindowRecipe rtl = kOverlapped;
    SkinnedWindow w(rtl);
    w.s.RightToLeft = true;
    const Painted p(w);
    EXPECT_EQ(w.s.CaptionRect.right, w.Width() - kSide - kTextRightClip);
    EXPECT_GT(w.s.CaptionRect.left, w.Width() / 2);
  }
  {
    TWindowRecipe popup = kPopupCaption;
    popup.Text = longText.c_str();
    SkinnedWindow w(popup);
    const Painted first(w);  // the first paint places the buttons
    const Painted p(w);
    EXPECT_EQ(w.s.ButtonClip, w.Width() - kCloseX);
    EXPECT_EQ(w.s.CaptionRect.right, w.Width() - kCloseX - 5);
  }
}

TEST(SkinFrame, AMessageDialogIsWidenedToItsTitle) {
  const std::wstring title(60, L'M');
  TWindowRecipe recipe = kDialog;
  recipe.Text = title.c_str();
  SkinnedWindow w(recipe);
  HWND child =
      CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE, 10, 20, 50, 20, w.Wnd(), nullptr, nullptr, nullptr);
  const int before = w.Width();
  SIZE text{};
  {
    const cl::TWindowDC dc(w.Wnd());
    const cl::TSelectedObject font(dc.Get(), GetStockObject(DEFAULT_GUI_FONT));
    GetTextExtentPoint32W(dc.Get(), title.c_str(), static_cast<int>(title.size()), &text);
  }
  const int needed = kTextShift + text.cx + kTextRightClip;
  ASSERT_GT(needed, before);
  w.s.MessageDialog = true;
  skin::UpdateFrameSize(w.s, false);
  EXPECT_EQ(w.Width(), needed);
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, w.Wnd(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 10 + (needed - before) / 2);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.right - r.left, 50);
}

struct HitCase {
  int x, y;  // frame point; negative x or y count from the right or bottom edge
  LRESULT expected;
};

void ExpectHits(SkinnedWindow& w, const std::vector<HitCase>& cases) {
  for (const HitCase& c : cases) {
    const int x = c.x < 0 ? w.Width() + c.x : c.x, y = c.y < 0 ? w.Height() + c.y : c.y;
    EXPECT_EQ(SendMessageW(w.Wnd(), WM_NCHITTEST, 0, w.ScreenParam(x, y)), c.expected) << "at " << x << "," << y;
  }
}

TEST(SkinFrame, HitTestGivesCaptionMenuClientAndBorderCodesWhereTheyLie) {
  {
    SkinnedWindow w(kOverlapped, 20);
    const int mid = w.Width() / 2;
    ExpectHits(w, {{mid, 10, HTCAPTION},
                   {mid, kTop - 1, HTCAPTION},
                   {mid, kTop, HTMENU},
                   {mid, kTop + 19, HTMENU},
                   {mid, kTop + 20, HTCLIENT},
                   {1, kTop + 5, HTLEFT},  // the side border beside the menu bar is no menu
                   {-2, kTop + 5, HTRIGHT},
                   {1, -60, HTLEFT},
                   {-1, -60, HTRIGHT},
                   {mid, -2, HTBOTTOM},
                   {1, -2, HTBOTTOMLEFT},
                   {-2, -2, HTBOTTOMRIGHT}});
    // The top rows keep the system's own answer.
    const POINT top = w.Screen(mid, 1);
    EXPECT_EQ(SendMessageW(w.Wnd(), WM_NCHITTEST, 0, MAKELPARAM(top.x, top.y)),
              skin::NCHitTest(w.s, top, DefWindowProcW(w.Wnd(), WM_NCHITTEST, 0, MAKELPARAM(top.x, top.y))));
  }
  {
    // A fixed frame cannot be sized: its borders are plain border.
    SkinnedWindow w(kSingle);
    const int mid = w.Width() / 2;
    ExpectHits(w, {{mid, 10, HTCAPTION}, {mid, kTop + 5, HTCLIENT}, {1, 60, HTBORDER}, {mid, -2, HTBORDER}});
  }
}

TEST(SkinFrame, TheRegionLeavesOutTheKeyCornersAndFollowsTheSize) {
  SkinnedWindow w(kOverlapped);
  auto inRegion = [&](int x, int y) {
    cl::TRegionHandle rgn(CreateRectRgn(0, 0, 0, 0));
    EXPECT_NE(GetWindowRgn(w.Wnd(), rgn.Get()), ERROR);
    return PtInRegion(rgn.Get(), x, y) != FALSE;
  };
  auto expectShape = [&](int W, int H) {
    EXPECT_FALSE(inRegion(kSide + 1, 1));
    EXPECT_FALSE(inRegion(kSide + 2, 2));
    EXPECT_TRUE(inRegion(kSide + 3, 1));
    EXPECT_TRUE(inRegion(kSide + 1, 3));
    EXPECT_FALSE(inRegion(W - kSide - 2, 1));
    EXPECT_TRUE(inRegion(W - kSide - 4, 1));
    EXPECT_TRUE(inRegion(1, 1));  // the opaque side border
    EXPECT_TRUE(inRegion(W / 2, H / 2));
    EXPECT_TRUE(inRegion(W - 1, H - 1));
    EXPECT_FALSE(inRegion(W, H / 2));
  };
  const int W = w.Width(), H = w.Height();
  expectShape(W, H);
  EXPECT_TRUE(w.s.RegionHeld);

  // After a paint (the title bitmap holds the old width) the window grows, its frame not repainted yet:
  // the region is built at the new size, with no hole where the old corner was.
  skin::PaintNonClient(w.s);
  SetWindowPos(w.Wnd(), nullptr, 0, 0, W + 80, H + 30, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  EXPECT_EQ(w.s.RegionWidth, W + 80);
  expectShape(W + 80, H + 30);
  EXPECT_TRUE(inRegion(W - kSide - 2, 1));

  skin::ClearWindowRegion(w.s);
  EXPECT_FALSE(w.s.RegionHeld);
  cl::TRegionHandle rgn(CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(GetWindowRgn(w.Wnd(), rgn.Get()), ERROR);
}

TEST(SkinFrame, RepeatedPaintsAndResizesHoldNoMoreGdiObjects) {
  SkinnedWindow w(kOverlapped);
  const int W = w.Width(), H = w.Height();
  auto round = [&](int i) {
    skin::PaintNonClient(w.s);
    w.s.Active = i % 2 == 0;
    SetWindowPos(w.Wnd(), nullptr, 0, 0, W + i % 7, H + i % 5, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  };
  round(1);  // first use of every image and cache
  const long before = hktest::GdiObjectsInProcess();
  const long library = cl::GdiHandlesHeld();
  for (int i = 0; i < 200; ++i) round(i);
  EXPECT_EQ(hktest::GdiObjectsInProcess(), before);
  EXPECT_EQ(cl::GdiHandlesHeld(), library);
}

}  // namespace
