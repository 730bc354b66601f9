// Title-bar buttons on real windows: the visibility tables, the places by Align, hot and pressed frames,
// what a click runs (only when released over the pressed button), the double click, the timer's leave,
// and the window icon.
#include "SysButtons.h"

#include <gtest/gtest.h>

#include "DeviceContext.h"
#include "NCFrameFixture.h"
#include "PaintSurface.h"

namespace {

using namespace ncframe;
using skin::TBorderKind;
using skin::TWindowState;

// ---------------------------------------------------------------------------------------------------------
// Visibility.

struct VisCase {
  int visibility, visibility1, action;
  uint8_t flags;
  TWindowState state;
  bool active;
  TBorderKind border;
  bool expected;
};

constexpr uint8_t kSys = skin::kStyleSysMenu, kMaxBox = skin::kStyleMaximizeBox, kMinBox = skin::kStyleMinimizeBox;
constexpr auto N = TWindowState::Normal, M = TWindowState::Maximized;
constexpr auto S = TBorderKind::Sizeable, D = TBorderKind::Dialog;

TEST(SysButtons, VisibilityFollowsBothTablesAndTheActionRules) {
  SkinnedWindow w(kOverlapped);
  skin::TWinSysButton& b = w.Button("BUTTON.OWN");
  const size_t index = 3;
  ASSERT_EQ(w.s.SysButtons[index].get(), &b);
  const VisCase cases[] = {
      // Visibility 0: always, but a close button (Action 0) needs a system menu.
      {0, 0, 40, 0, N, true, S, true},
      {0, 0, 0, 0, N, true, S, false},
      {0, 0, 0, kSys, N, true, S, true},
      {1, 0, 40, 0, M, true, S, true},
      {1, 0, 40, 0, N, true, S, false},
      {2, 0, 40, 0, N, true, S, true},
      {2, 0, 40, 0, M, true, S, false},
      {3, 0, 40, 0, N, true, S, true},
      {3, 0, 40, 0, N, false, S, false},
      {4, 0, 40, 0, N, false, S, true},
      {5, 0, 40, 0xFF, N, true, S, false},
      {6, 0, 40, kMaxBox, N, true, S, false},  // needs the system menu too
      {6, 0, 40, kMaxBox | kSys, N, true, S, true},
      {7, 0, 40, kMaxBox, N, true, S, false},
      {7, 0, 40, 0, N, true, S, true},
      {8, 0, 40, kMinBox | kSys, N, true, S, true},
      {8, 0, 40, kSys, N, true, S, false},
      {9, 0, 40, kMinBox, N, true, S, false},
      {9, 0, 40, 0, N, true, S, true},
      {50, 0, 40, 0xFF, N, true, S, false},
      {200, 0, 40, 0, N, true, D, true},
      {200, 0, 40, 0, N, true, S, false},
      {500, 0, 40, 0, N, true, S, true},
      {-1, 0, 40, 0xFF, N, true, S, false},
      {2001, 0, 40, 0xFF, N, true, S, false},
      // Visibility1.
      {500, 6, 40, kMaxBox, N, true, S, true},  // the maximise box alone
      {500, 6, 40, kSys, N, true, S, false},
      {500, 8, 40, kMinBox, N, true, S, true},
      {500, 1, 40, 0, N, true, S, false},
      {500, 4, 40, 0, N, false, S, true},
      {500, 200, 40, 0, N, true, D, true},
      {500, 200, 40, 0, N, true, S, false},
      {500, 1500, 40, 0, N, true, S, true},
      {500, 5, 40, 0xFF, N, true, S, false},
      {500, 150, 40, 0xFF, N, true, S, false},
      {500, -1, 40, 0xFF, N, true, S, false},
      // Action rules.
      {500, 0, 1, kSys, N, true, S, false},
      {500, 0, 1, kMaxBox, N, true, S, true},
      {500, 0, 2, kMaxBox, N, true, S, false},
      {500, 0, 2, kMinBox, N, true, S, true},
      {500, 0, 3, 0, N, true, D, false},
      {500, 0, 11, 0, N, true, D, false},
      {500, 0, 12, 0, N, true, D, false},
      {500, 0, 12, 0, N, true, S, true},
  };
  for (const VisCase& c : cases) {
    b.Data->Visibility = c.visibility;
    b.Data->Visibility1 = c.visibility1;
    b.Data->Action = c.action;
    w.s.StyleFlags = c.flags;
    w.s.WindowState = c.state;
    w.s.Active = c.active;
    w.s.BorderKind = c.border;
    EXPECT_EQ(skin::IsSysButtonVisible(w.s, index), c.expected)
        << "Visibility " << c.visibility << " Visibility1 " << c.visibility1 << " Action " << c.action;
    EXPECT_EQ(b.Visible, c.expected);
  }
}

TEST(SysButtons, DialogVisibilityLeavesOutMessageDialogsAndMDIButtonsNeedAMaximisedChildAndAMenuBar) {
  SkinnedWindow w(kDialog);
  skin::TWinSysButton& b = w.Button("BUTTON.OWN");
  b.Data->Visibility = 200;
  EXPECT_TRUE(skin::IsSysButtonVisible(w.s, 3));
  w.s.MessageDialog = true;
  EXPECT_FALSE(skin::IsSysButtonVisible(w.s, 3));

  b.Data->Visibility = 100;
  b.Data->Visibility1 = 100;
  w.s.MenuBarHeight = 20;
  EXPECT_FALSE(skin::IsSysButtonVisible(w.s, 3));
  w.MDIChildMaximized = true;
  EXPECT_TRUE(skin::IsSysButtonVisible(w.s, 3));
  w.s.MenuBarHeight = 0;
  EXPECT_FALSE(skin::IsSysButtonVisible(w.s, 3));
}

TEST(SysButtons, VisibilityFromTheWindowAsksItWithItsIndex) {
  SkinnedWindow w(kOverlapped);
  skin::TWinSysButton& b = w.Button("BUTTON.OWN");
  b.Data->Visibility = 1000;
  w.VisibleAsked.clear();
  EXPECT_FALSE(skin::IsSysButtonVisible(w.s, 3));  // a window that does not answer hides it
  w.VisibleAnswer = 1;
  EXPECT_TRUE(skin::IsSysButtonVisible(w.s, 3));
  EXPECT_EQ(w.VisibleAsked, (std::vector<WPARAM>{3, 3}));
}

// ---------------------------------------------------------------------------------------------------------
// Places.

TEST(SysButtons, EachAlignPlacesTheButtonWhereItSays) {
  SkinnedWindow w(kOverlapped, 20);
  w.MDIChildMaximized = true;
  hktest::PaintSurface surface(w.Width(), w.Height());
  skin::PaintNonClient(w.s, surface.DC());
  const int W = w.Width();
  const RECT caption = w.s.CaptionRect;
  skin::TWinSysButton& b = w.Button("BUTTON.OWN");
  struct AlignCase {
    int align;
    bool rtl;
    POINT at;
  };
  const int mdiY = (20 - kButtonH) / 2 + kTop;
  const AlignCase cases[] = {
      {0, false, {7, 3}},
      {1, false, {W - 7, 3}},
      {2, false, {caption.left - kButtonW - 7, 3}},
      {8, false, {caption.left - kButtonW - 7, 3}},
      {3, false, {caption.right + 7, 3}},
      {9, false, {caption.right + 7, 3}},
      {100, false, {W - 7 - kSide, mdiY}},  // the skin has no menu-bar element: no LeftWidth
      {100, true, {7 + kSide, mdiY}},
      {5, false, {0, 0}},
  };
  b.Data->Xcoord = 7;
  b.Data->Ycoord = 3;
  for (const AlignCase& c : cases) {
    b.Data->Align = c.align;
    w.s.RightToLeft = c.rtl;
    w.s.CaptionRect = caption;
    skin::ArrangeSysButtons(w.s);
    EXPECT_EQ(b.Rect.left, c.at.x) << "Align " << c.align;
    EXPECT_EQ(b.Rect.top, c.at.y) << "Align " << c.align;
    EXPECT_EQ(b.Rect.right - b.Rect.left, kButtonW);
    EXPECT_EQ(b.Rect.bottom - b.Rect.top, kButtonH);
  }
  // The largest left edge of the right-aligned buttons (the close button's, now) clips popup captions.
  EXPECT_EQ(w.s.ButtonClip, W - kCloseX);
}

TEST(SysButtons, ButtonsAreFoundByPointOnlyWhenVisibleWithAnAction) {
  SkinnedWindow w(kOverlapped);
  skin::PaintNonClient(w.s);
  const int W = w.Width();
  EXPECT_EQ(skin::SysButtonAt(w.s, {W - kCloseX + 1, kButtonY + 1}), &w.Button("BUTTON.CLOSE"));
  EXPECT_EQ(skin::SysButtonAt(w.s, {W - kCloseX - 1, kButtonY + 1}), nullptr);
  EXPECT_EQ(skin::SysButtonAt(w.s, {kSysX + 2, kButtonY + 2}), &w.Button("BUTTON.SYSMENU"));
  w.Button("BUTTON.CLOSE").Data->Action = -1;
  EXPECT_EQ(skin::SysButtonAt(w.s, {W - kCloseX + 1, kButtonY + 1}), nullptr);
}

// ---------------------------------------------------------------------------------------------------------
// The mouse.

struct MouseFixture : ::testing::Test {
  MouseFixture() : w(kOverlapped) {
    w.s.Active = true;
    skin::PaintNonClient(w.s);
    w.Pump();
    w.SysCommands.clear();
  }
  POINT Centre(skin::TWinSysButton& b) const {
    return {(b.Rect.left + b.Rect.right) / 2, (b.Rect.top + b.Rect.bottom) / 2};
  }
  LRESULT Send(UINT msg, WPARAM hit, skin::TWinSysButton& b) {
    const POINT c = Centre(b);
    return SendMessageW(w.Wnd(), msg, hit, w.ScreenParam(c.x, c.y));
  }
  COLORREF OnWindow(skin::TWinSysButton& b) const {
    const POINT c = Centre(b);
    const cl::TWindowDC dc(w.Wnd(), cl::TWindowDC::dcWholeWindow);
    return GetPixel(dc.Get(), c.x, c.y);
  }
  SkinnedWindow w;
};

TEST_F(MouseFixture, AMoveOverAButtonShowsItsHotFrameAndTheTimerTakesItAway) {
  skin::TWinSysButton& close = w.Button("BUTTON.CLOSE");
  EXPECT_EQ(Send(WM_NCMOUSEMOVE, HTCAPTION, close), 0);
  EXPECT_EQ(w.s.HotObject, &close);
  EXPECT_EQ(close.State, skin::kNCHot);
  EXPECT_EQ(OnWindow(close), kClose[2]);

  skin::TimerTick(w.s, w.Screen(Centre(close).x, Centre(close).y));  // still over it
  EXPECT_EQ(w.s.HotObject, &close);
  skin::TimerTick(w.s, w.Screen(w.Width() / 2, 100));
  EXPECT_EQ(w.s.HotObject, nullptr);
  EXPECT_EQ(close.State, skin::kNCNormal);
  EXPECT_EQ(OnWindow(close), kClose[0]);

  // Moving from one button to the next hands the hot state over.
  skin::TWinSysButton& min = w.Button("BUTTON.MIN");
  Send(WM_NCMOUSEMOVE, HTCAPTION, close);
  Send(WM_NCMOUSEMOVE, HTCAPTION, min);
  EXPECT_EQ(w.s.HotObject, &min);
  EXPECT_EQ(close.State, skin::kNCNormal);
  EXPECT_EQ(OnWindow(min), kMin[2]);
}

TEST_F(MouseFixture, AnInactiveWindowIgnoresMoves) {
  w.s.Active = false;
  skin::TWinSysButton& close = w.Button("BUTTON.CLOSE");
  EXPECT_EQ(Send(WM_NCMOUSEMOVE, HTCAPTION, close), 0);
  EXPECT_EQ(w.s.HotObject, nullptr);
}

TEST_F(MouseFixture, ClearingTheButtonsClearsTheHotObject) {
  Send(WM_NCMOUSEMOVE, HTCAPTION, w.Button("BUTTON.CLOSE"));
  ASSERT_NE(w.s.HotObject, nullptr);
  skin::ClearSysButtons(w.s);
  EXPECT_EQ(w.s.HotObject, nullptr);
  EXPECT_EQ(w.s.PressedObject, nullptr);
  skin::TimerTick(w.s, w.Screen(1, 1));  // nothing left to reach
  skin::CreateSysButtons(w.s);
  EXPECT_EQ(w.s.SysButtons.size(), w.Data.SysButtons.size());
}

TEST_F(MouseFixture, ReleasingOverThePressedButtonRunsIt) {
  skin::TWinSysButton& close = w.Button("BUTTON.CLOSE");
  EXPECT_EQ(Send(WM_NCLBUTTONDOWN, HTCAPTION, close), 0);
  EXPECT_EQ(close.State, skin::kNCPressed);
  EXPECT_EQ(OnWindow(close), kClose[1]);
  EXPECT_EQ(Send(WM_NCLBUTTONUP, HTCAPTION, close), 0);
  EXPECT_EQ(close.State, skin::kNCHot);
  w.Pump();
  EXPECT_EQ(w.SysCommands, std::vector<WPARAM>{SC_CLOSE});
  EXPECT_FALSE(w.TimerEnabled);
}

TEST_F(MouseFixture, ReleasingOverAnotherButtonRunsNothing) {
  skin::TWinSysButton& close = w.Button("BUTTON.CLOSE");
  skin::TWinSysButton& min = w.Button("BUTTON.MIN");
  Send(WM_NCLBUTTONDOWN, HTCAPTION, close);
  Send(WM_NCMOUSEMOVE, HTCAPTION, min);  // min becomes hot on the way
  EXPECT_EQ(Send(WM_NCLBUTTONUP, HTCAPTION, min), 0);
  w.Pump();
  EXPECT_TRUE(w.SysCommands.empty());
  EXPECT_EQ(w.s.WindowState, TWindowState::Normal);
  // A release without a press on this window runs nothing either.
  Send(WM_NCMOUSEMOVE, HTCAPTION, close);
  Send(WM_NCLBUTTONUP, HTCAPTION, close);
  w.Pump();
  EXPECT_TRUE(w.SysCommands.empty());
}

TEST_F(MouseFixture, EachActionRunsItsCommand) {
  auto click = [&](const char* name) {
    skin::TWinSysButton& b = w.Button(name);
    Send(WM_NCLBUTTONDOWN, HTCAPTION, b);
    Send(WM_NCLBUTTONUP, HTCAPTION, b);
    w.Pump();
  };
  click("BUTTON.MIN");
  EXPECT_EQ(w.s.WindowState, TWindowState::Minimized);
  w.s.WindowState = TWindowState::Normal;  // the window itself never acts on the commands here
  click("BUTTON.MAX");
  EXPECT_EQ(w.s.WindowState, TWindowState::Maximized);
  click("BUTTON.OWN");
  click("BUTTON.SYSMENU");
  EXPECT_EQ(w.SysCommands, (std::vector<WPARAM>{SC_MINIMIZE, SC_MAXIMIZE}));
  EXPECT_EQ(w.SkinActions, std::vector<WPARAM>{40});
  ASSERT_EQ(w.SysMenuAt.size(), 1u);
  const POINT c = Centre(w.Button("BUTTON.SYSMENU"));
  EXPECT_EQ(w.SysMenuAt[0].x, w.Screen(c.x, c.y).x + 1);
  EXPECT_EQ(w.SysMenuAt[0].y, w.Screen(c.x, c.y).y + 1);
}

TEST_F(MouseFixture, MaximiseRestoreAndMinimiseToggle) {
  skin::Maximize(w.s);
  skin::Maximize(w.s);
  skin::Minimize(w.s);
  skin::Minimize(w.s);
  w.Pump();
  EXPECT_EQ(w.SysCommands, (std::vector<WPARAM>{SC_MAXIMIZE, SC_RESTORE, SC_MINIMIZE, SC_RESTORE}));
  EXPECT_EQ(w.s.WindowState, TWindowState::Normal);
}

TEST_F(MouseFixture, ADoubleClickMaximisesOnlyOnTheCaption) {
  const POINT caption = w.Screen(w.Width() / 2, 10);
  SendMessageW(w.Wnd(), WM_NCLBUTTONDBLCLK, HTLEFT, MAKELPARAM(caption.x, caption.y));
  SendMessageW(w.Wnd(), WM_NCLBUTTONDBLCLK, HTBOTTOM, MAKELPARAM(caption.x, caption.y));
  w.Pump();
  EXPECT_TRUE(w.SysCommands.empty());
  // Over a button, the second click presses the button.
  skin::TWinSysButton& close = w.Button("BUTTON.CLOSE");
  Send(WM_NCLBUTTONDBLCLK, HTCAPTION, close);
  w.Pump();
  EXPECT_TRUE(w.SysCommands.empty());
  EXPECT_EQ(close.State, skin::kNCPressed);
  Send(WM_NCLBUTTONUP, HTCAPTION, close);
  w.Pump();
  EXPECT_EQ(w.SysCommands, std::vector<WPARAM>{SC_CLOSE});
  w.SysCommands.clear();

  EXPECT_EQ(SendMessageW(w.Wnd(), WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(caption.x, caption.y)), 0);
  w.Pump();
  EXPECT_EQ(w.SysCommands, std::vector<WPARAM>{SC_MAXIMIZE});
  SendMessageW(w.Wnd(), WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(caption.x, caption.y));
  w.Pump();
  EXPECT_EQ(w.SysCommands, (std::vector<WPARAM>{SC_MAXIMIZE, SC_RESTORE}));
}

TEST_F(MouseFixture, ARightClickOnTheCaptionOpensTheSystemMenu) {
  const POINT caption = w.Screen(w.Width() / 2, 10);
  EXPECT_EQ(SendMessageW(w.Wnd(), WM_NCRBUTTONDOWN, HTCAPTION, MAKELPARAM(caption.x, caption.y)), 0);
  ASSERT_EQ(w.SysMenuAt.size(), 1u);
  EXPECT_EQ(w.SysMenuAt[0].x, caption.x);
  SendMessageW(w.Wnd(), WM_NCRBUTTONDOWN, HTLEFT, MAKELPARAM(caption.x, caption.y));
  EXPECT_EQ(w.SysMenuAt.size(), 1u);
}

// ---------------------------------------------------------------------------------------------------------
// The window icon.

TEST(SysButtons, TheWindowIconIsCopiedForTheSystemMenuButton) {
  SkinnedWindow w(kOverlapped);
  const int size = GetSystemMetrics(SM_CXSMICON);
  EXPECT_EQ(w.s.WindowIcon, w.Icon);
  EXPECT_EQ(w.s.IconSize, size);
  ASSERT_FALSE(w.s.IconBitmap.Empty());
  EXPECT_EQ(w.s.IconBitmap.Width(), size);
  EXPECT_EQ(w.s.IconBitmap.Canvas()->Pixels(size / 2, size / 2), static_cast<cl::TColor>(kIcon));
  // The system-menu button took the icon's size and one frame.
  skin::TWinSysButton& sys = w.Button("BUTTON.SYSMENU");
  EXPECT_EQ(sys.Data->Image.Width, size);
  EXPECT_EQ(sys.Data->FrameCount, 1);

  hktest::PaintSurface surface(40, 40);
  skin::DrawFormIcon(w.s, surface.DC(), 10, 10);
  EXPECT_EQ(surface.Pixel(10 + size / 2, 10 + size / 2), kIcon);
}

// CopyImage as it answers for an icon that did not come from a resource.
HANDLE WINAPI CopyImageWithoutResource(HANDLE image, UINT type, int cx, int cy, UINT flags) {
  if (flags & LR_COPYFROMRESOURCE) return nullptr;
  return CopyImage(image, type, cx, cy, flags);
}

TEST(SysButtons, AnIconWithoutResourceIsStillDrawn) {
  SkinnedWindow w(kOverlapped);
  hktest::PaintSurface surface(40, 40);
  skin::DrawFormIcon(w.s, surface.DC(), 10, 10, &CopyImageWithoutResource);
  EXPECT_EQ(surface.Pixel(10 + w.s.IconSize / 2, 10 + w.s.IconSize / 2), kIcon);
}

TEST(SysButtons, AWindowWithoutIconTakesTheFallbackAndDrawsNothing) {
  SkinnedWindow w(kOverlapped);
  SendMessageW(w.Wnd(), WM_SETICON, ICON_SMALL, 0);
  cl::TBitmap fallback;
  fallback.SetPixelFormat(cl::pf24bit);
  fallback.SetSize(16, 16);
  fallback.Canvas()->Brush()->SetColor(cl::clLime);
  fallback.Canvas()->FillRect(cl::Rect(0, 0, 16, 16));
  skin::TNCFrameState& s = w.s;
  s.IconBitmap.Assign(nullptr);
  skin::GetFormIcon(s, &fallback);
  EXPECT_EQ(s.WindowIcon, nullptr);
  ASSERT_FALSE(s.IconBitmap.Empty());
  EXPECT_EQ(s.IconBitmap.Canvas()->Pixels(3, 3), cl::clLime);

  hktest::PaintSurface surface(40, 40);
  RECT all{0, 0, 40, 40};
  FillRect(surface.DC(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  skin::DrawFormIcon(s, surface.DC(), 10, 10);
  EXPECT_EQ(surface.Pixel(18, 18), RGB(255, 255, 255));
}

}  // namespace
