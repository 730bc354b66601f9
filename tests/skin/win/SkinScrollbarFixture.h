// A form wearing a skin whose scroll-bar images are flat colours, one per frame, so that a pixel of an
// overlay tells which image and which frame was drawn there.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ByteBuilder.h"
#include "DeviceContext.h"
#include "FormsTestSupport.h"
#include "PainterFormTest.h"
#include "Forms.h"
#include "SkinPack.h"
#include "SkinScrollbars.h"
#include "StdClasses.h"
#include "WinSkinData.h"

namespace scrolltest {

constexpr COLORREF kFace = RGB(10, 20, 30);
// Frame f (from 1) of each strip.
inline COLORREF ArrowColour(int f) { return RGB(10 * f, 200, 50); }
inline COLORREF VertTrackColour(int f) { return RGB(200, 30 * f, 0); }
inline COLORREF HorzTrackColour(int f) { return RGB(0, 30 * f, 200); }
inline COLORREF VertThumbColour(int f) { return RGB(120, 0, 40 * f); }
inline COLORREF HorzThumbColour(int f) { return RGB(40 * f, 120, 0); }
inline COLORREF HeaderColour(int f) { return RGB(60 + 20 * f, 60, 160); }
inline COLORREF CheckColour(int f) { return RGB(30 * f, 30, 90); }
constexpr int kCheckSize = 13;

// A strip of `frames` flat frames, w by h each, side by side.
inline std::string FlatStrip(int frames, int w, int h, COLORREF (*colour)(int)) {
  return testsupport::Bmp24(w * frames, h, [=](int x, int) { return static_cast<uint32_t>(colour(x / w + 1)); });
}

inline int ArrowSize() { return GetSystemMetrics(SM_CXHSCROLL); }

inline std::string ScrollSkinPackage() {
  const int a = ArrowSize();
  const std::string ini =
      "[Colours]\r\nButtonFace=10 20 30\r\n"
      "[Scrollbar]\r\nImage=arrows.bmp\r\n"
      "[VertScroll]\r\nImage=vtrack.bmp\r\n"
      "[HorzScroll]\r\nImage=htrack.bmp\r\n"
      "[VertScrollThumb]\r\nImage=vthumb.bmp\r\nFrameCount=3\r\n"
      "[HorzScrollThumb]\r\nImage=hthumb.bmp\r\nFrameCount=3\r\n"
      "[Headerbar]\r\nImage=header.bmp\r\n"
      "[Buttons]\r\nCheckButton=check.bmp\r\nCheckButtonFrame=5\r\n";
  return skin::BuildSkinPackage({{"scroll.ini", ini},
                                 {"arrows.bmp", FlatStrip(23, a, a, ArrowColour)},
                                 {"vtrack.bmp", FlatStrip(4, a, 20, VertTrackColour)},
                                 {"htrack.bmp", FlatStrip(4, 20, a, HorzTrackColour)},
                                 {"vthumb.bmp", FlatStrip(3, a, 12, VertThumbColour)},
                                 {"hthumb.bmp", FlatStrip(3, 12, a, HorzThumbColour)},
                                 {"header.bmp", FlatStrip(5, 20, 12, HeaderColour)},
                                 {"check.bmp", FlatStrip(5, kCheckSize, kCheckSize, CheckColour)}});
}

inline COLORREF Pixel(HWND wnd, int x, int y) {
  const cl::TWindowDC dc(wnd);
  return GetPixel(dc.Get(), x, y);
}

inline COLORREF WindowPixel(HWND wnd, int x, int y) {
  const cl::TWindowDC dc(wnd, cl::TWindowDC::dcWholeWindow);
  return GetPixel(dc.Get(), x, y);
}

inline void PaintNow(HWND wnd) {
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// The overlay windows among a window's children.
inline std::vector<HWND> Overlays(HWND parent) {
  std::vector<HWND> found;
  for (HWND child = GetTopWindow(parent); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t name[64] = {};
    GetClassNameW(child, name, 64);
    if (std::wstring(name) == L"TWScrollbar") found.push_back(child);
  }
  return found;
}

inline RECT BarRect(HWND wnd, LONG object) {
  SCROLLBARINFO info{};
  info.cbSize = sizeof(info);
  EXPECT_TRUE(GetScrollBarInfo(wnd, object, &info));
  return info.rcScrollBar;
}

inline RECT ScreenRect(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  return r;
}

inline bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class ScrollSkinTest : public skintest::PainterFormTest {
 protected:
  void SetUp() override {
    PainterFormTest::SetUp();
    MakeForm(60, 60, 420, 320);
    LoadPackage(ScrollSkinPackage());
    form_->Show();
  }
};

}  // namespace scrolltest
