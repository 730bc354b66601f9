#include "DeviceContext.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>
#include <tuple>

#include "Buttons.h"
#include "Forms.h"
#include "FormsTestSupport.h"
#include "GdiObjects.h"
#include "Graphics.h"
#include "StdCtrls.h"

namespace {

// A visible top-level window, destroyed with the object.
class TestWindow {
 public:
  TestWindow(const wchar_t* windowClass, DWORD style, int x, int y, int w, int h)
      : wnd_(CreateWindowExW(0, windowClass, L"", style | WS_VISIBLE, x, y, w, h, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr)) {}
  ~TestWindow() {
    if (wnd_) DestroyWindow(wnd_);
  }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  HWND Get() const { return wnd_; }

 private:
  HWND wnd_;
};

// With a caption and frame, so that its client area and whole area differ.
class FramedWindow : public TestWindow {
 public:
  FramedWindow() : TestWindow(L"STATIC", WS_OVERLAPPEDWINDOW, 50, 60, 200, 150) {}
};

TEST(DeviceContext, WindowContextsAreGivenBackEveryTime) {
  FramedWindow window;
  auto takeAll = [&] {
    const cl::TWindowDC client(window.Get());
    const cl::TWindowDC whole(window.Get(), cl::TWindowDC::dcWholeWindow);
    const cl::TWindowDC screen(nullptr);
    EXPECT_TRUE(client && whole && screen);
  };
  takeAll();  // the system's cache of contexts fills once
  const long before = hktest::GdiObjectsInProcess();
  for (int i = 0; i < 200; ++i) takeAll();
  EXPECT_EQ(hktest::GdiObjectsInProcess(), before);
}

TEST(DeviceContext, TheWholeWindowContextStartsAtTheFrameTheClientContextInside) {
  FramedWindow window;
  RECT frame{};
  GetWindowRect(window.Get(), &frame);
  POINT client{0, 0};
  ClientToScreen(window.Get(), &client);
  ASSERT_NE(client.y, frame.top);  // the caption lies between them
  POINT origin{};
  {
    const cl::TWindowDC whole(window.Get(), cl::TWindowDC::dcWholeWindow);
    GetDCOrgEx(whole.Get(), &origin);
  }
  EXPECT_EQ(origin.x, frame.left);
  EXPECT_EQ(origin.y, frame.top);
  {
    const cl::TWindowDC inside(window.Get());
    GetDCOrgEx(inside.Get(), &origin);
  }
  EXPECT_EQ(origin.x, client.x);
  EXPECT_EQ(origin.y, client.y);
}

TEST(DeviceContext, ASelectedObjectGoesBackAtScopeEndAlsoWhenAnExceptionLeaves) {
  const cl::TDCHandle dc(CreateCompatibleDC(nullptr));
  const HGDIOBJ original = GetCurrentObject(dc.Get(), OBJ_FONT);
  const cl::TFontHandle font(CreateFontW(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial"));
  {
    const cl::TSelectedObject selected(dc.Get(), font.Get());
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_FONT), font.Get());
  }
  EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_FONT), original);
  try {
    const cl::TSelectedObject selected(dc.Get(), font.Get());
    throw std::runtime_error("drawing failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_FONT), original);
  const cl::TSelectedObject nothing(dc.Get(), nullptr);  // selects nothing, restores nothing
  EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_FONT), original);
}

TEST(DeviceContext, ASavedStateComesBackAtScopeEndAlsoWhenAnExceptionLeaves) {
  const cl::TDCHandle dc(CreateCompatibleDC(nullptr));
  const cl::TBitmapHandle bitmap(CreateCompatibleBitmap(dc.Get(), 100, 80));
  const cl::TSelectedObject canvas(dc.Get(), bitmap.Get());
  auto state = [&] {
    POINT org{};
    GetViewportOrgEx(dc.Get(), &org);
    RECT clip{};
    GetClipBox(dc.Get(), &clip);
    return std::make_tuple(org.x, org.y, clip.left, clip.top, clip.right, clip.bottom, GetBkMode(dc.Get()));
  };
  const auto before = state();
  auto change = [&] {
    OffsetViewportOrgEx(dc.Get(), 7, 9, nullptr);
    IntersectClipRect(dc.Get(), 0, 0, 10, 10);
    SetBkMode(dc.Get(), GetBkMode(dc.Get()) == OPAQUE ? TRANSPARENT : OPAQUE);
    ASSERT_NE(state(), before);
  };
  {
    const cl::TSavedDC saved(dc.Get());
    change();
  }
  EXPECT_EQ(state(), before);
  try {
    const cl::TSavedDC saved(dc.Get());
    change();
    throw std::runtime_error("painting failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(state(), before);
}

// Paints with the paint context owner and counts its paints.
LRESULT CALLBACK PaintingProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != WM_PAINT) return DefWindowProcW(wnd, msg, wp, lp);
  const cl::TPaintDC paint(wnd);
  if (paint) FillRect(paint.Get(), &paint.PaintStruct().rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  SetWindowLongPtrW(wnd, GWLP_USERDATA, GetWindowLongPtrW(wnd, GWLP_USERDATA) + 1);
  return 0;
}

// Repaints 100 times: each paint validates the window, and no GDI object is left behind.
void ExpectPaintsBalanced(HWND wnd) {
  ASSERT_TRUE(wnd);
  UpdateWindow(wnd);
  const long before = hktest::GdiObjectsInProcess();
  for (int i = 0; i < 100; ++i) {
    InvalidateRect(wnd, nullptr, FALSE);
    UpdateWindow(wnd);
    EXPECT_FALSE(GetUpdateRect(wnd, nullptr, FALSE));
  }
  EXPECT_EQ(GetWindowLongPtrW(wnd, GWLP_USERDATA), 101);
  EXPECT_EQ(hktest::GdiObjectsInProcess(), before);
}

TEST(DeviceContext, APaintContextValidatesWhatItPaintedAndIsGivenBack) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = &PaintingProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"DeviceContextTestPainter";
  RegisterClassW(&wc);
  {
    const TestWindow window(wc.lpszClassName, WS_POPUP, 10, 10, 60, 40);
    ExpectPaintsBalanced(window.Get());
  }
  UnregisterClassW(wc.lpszClassName, wc.hInstance);
}

// The forms' painting paths: a form of our own class with a windowless button, a system control (a group
// box) with a windowless label on top of what it paints, both painted and printed many times.
class DeviceContextPainting : public formstest::AppTest {};

TEST_F(DeviceContextPainting, FormsAndControlsLeaveNoGdiObjectBehind) {
  auto* form = cl::NewForm<cl::TForm>(app_.get());
  form->SetBounds(40, 40, 320, 220);
  auto* button = new cl::TSpeedButton(form);
  button->SetBounds(10, 10, 80, 24);
  button->SetCaption("Button");
  button->SetParent(form);
  auto* box = new cl::TGroupBox(form);
  box->SetBounds(10, 50, 200, 120);
  box->SetCaption("Group");
  box->SetParent(form);
  auto* label = new cl::TLabel(form);
  label->SetBounds(20, 30, 100, 20);
  label->SetCaption("On the box");
  label->SetParent(box);
  form->Show();
  const cl::TDCHandle memory(CreateCompatibleDC(nullptr));
  const cl::TBitmapHandle bitmap(CreateCompatibleBitmap(memory.Get(), 200, 120));
  const cl::TSelectedObject target(memory.Get(), bitmap.Get());
  auto paintAll = [&] {
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SendMessageW(box->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.Get()), PRF_CLIENT | PRF_ERASEBKGND);
    SendMessageW(form->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.Get()), PRF_CLIENT | PRF_ERASEBKGND);
  };
  paintAll();  // fonts, brushes and cached contexts are made once
  const long before = hktest::GdiObjectsInProcess();
  for (int i = 0; i < 50; ++i) paintAll();
  EXPECT_EQ(hktest::GdiObjectsInProcess(), before);
  EXPECT_TRUE(errors_.empty());
}

}  // namespace
