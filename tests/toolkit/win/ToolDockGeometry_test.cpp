// The tool windows' geometry and activation routines.
#include <gtest/gtest.h>
#include <windows.h>

#include "FormsTestSupport.h"
#include "StdClasses.h"
#include "ToolDockGeometry.h"

namespace {

// Counts its paints and validates itself.
int paints = 0;
LRESULT CALLBACK Painted(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_PAINT) {
    ++paints;
    ValidateRect(wnd, nullptr);
    return 0;
  }
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

class ToolDockGeometry : public formstest::AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    cl::RegisterStandardClasses();
    WNDCLASSW wc{};
    wc.lpfnWndProc = Painted;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ToolDockGeometry";
    RegisterClassW(&wc);
  }
  void TearDown() override {
    for (HWND w : windows_) DestroyWindow(w);
    UnregisterClassW(L"ToolDockGeometry", GetModuleHandleW(nullptr));
    AppTest::TearDown();
  }
  HWND NewWindow(DWORD exStyle, DWORD style = WS_POPUP | WS_VISIBLE) {
    HWND wnd = CreateWindowExW(exStyle, L"ToolDockGeometry", L"", style, 50, 50, 60, 60, nullptr, nullptr, nullptr,
                               nullptr);
    windows_.push_back(wnd);
    return wnd;
  }
  std::vector<HWND> windows_;
};

// A paint that its window validates meanwhile, or nothing left to paint, must not keep it waiting.
TEST_F(ToolDockGeometry, PendingPaintsAreDispatchedWithoutWaiting) {
  HWND wnd = NewWindow(0);
  UpdateWindow(wnd);
  paints = 0;
  InvalidateRect(wnd, nullptr, FALSE);
  toolkit::FlushPaintMessages();
  EXPECT_EQ(paints, 1);
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
  toolkit::FlushPaintMessages();
  EXPECT_EQ(paints, 1);
}

// Every drag and sizing loop starts with the flush: a program ended from a mouse-down handler must still end.
TEST_F(ToolDockGeometry, AQuitRequestStaysQueuedWithItsExitCodeWithOrWithoutAPaintPending) {
  HWND wnd = NewWindow(0);
  UpdateWindow(wnd);
  for (const bool paintPending : {false, true}) {
    SCOPED_TRACE(paintPending ? "a paint pending" : "no paint pending");
    if (paintPending) InvalidateRect(wnd, nullptr, FALSE);
    PostQuitMessage(paintPending ? 12 : 11);
    toolkit::FlushPaintMessages();
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, paintPending ? 12u : 11u);
    toolkit::FlushPaintMessages();  // the paint still pending goes now
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
  }
}

TEST_F(ToolDockGeometry, TheWindowToActivateIsAVisibleEnabledOneNormalBeforeTopmost) {
  HWND excluded = NewWindow(0);
  NewWindow(0, WS_POPUP);  // hidden
  HWND disabled = NewWindow(0);
  EnableWindow(disabled, FALSE);
  HWND topmost = NewWindow(WS_EX_TOPMOST);
  EXPECT_EQ(toolkit::FindWindowToActivate(excluded), topmost);
  HWND normal = NewWindow(0);
  EXPECT_EQ(toolkit::FindWindowToActivate(excluded), normal);
  for (HWND w : {topmost, normal}) ShowWindow(w, SW_HIDE);
  EXPECT_EQ(toolkit::FindWindowToActivate(excluded), nullptr);
}

TEST_F(ToolDockGeometry, AnMDIChildsParentIsItsFrameAndOtherFormsAreTheirOwn) {
  auto* frame = cl::NewForm<cl::TForm>(app_.get());
  frame->SetFormStyle(cl::fsMDIForm);
  frame->Show();
  auto* child = cl::NewForm<cl::TForm>(app_.get());
  child->SetFormStyle(cl::fsMDIChild);
  child->Show();
  auto* plain = cl::NewForm<cl::TForm>(app_.get());
  EXPECT_EQ(toolkit::GetMDIParentOf(child), frame);
  EXPECT_EQ(toolkit::GetMDIParentOf(plain), plain);
  EXPECT_EQ(toolkit::GetMDIParentOf(nullptr), nullptr);
  delete child;
  delete plain;
  delete frame;
}

// A second monitor right of the first, as fake monitor functions report it.
constexpr RECT kSecondWork{1280, 0, 2300, 740};
DWORD askedFlags = 0;
bool infoFails = false;
HMONITOR WINAPI FakeFromRect(LPCRECT r, DWORD flags) {
  askedFlags = flags;
  return r->left >= 1280 ? reinterpret_cast<HMONITOR>(2) : nullptr;
}
HMONITOR WINAPI FakeFromPoint(POINT p, DWORD flags) {
  askedFlags = flags;
  return p.x >= 1280 ? reinterpret_cast<HMONITOR>(2) : nullptr;
}
BOOL WINAPI FakeInfo(HMONITOR, LPMONITORINFO info) {
  if (infoFails || info->cbSize != 40) return FALSE;
  info->rcWork = kSecondWork;
  return TRUE;
}

TEST_F(ToolDockGeometry, MonitorFunctionsAreFoundByNameAndWithoutThemOrAnAnswerThePrimaryWorkAreaServes) {
  const RECT primary = toolkit::GetPrimaryWorkArea();
  toolkit::TMonitorFunctions funcs;
  EXPECT_TRUE(toolkit::LoadMonitorFunctions(GetModuleHandleW(L"user32.dll"), funcs));
  EXPECT_FALSE(toolkit::LoadMonitorFunctions(GetModuleHandleW(L"kernel32.dll"), funcs));
  EXPECT_EQ(funcs.fromRect, nullptr);
  EXPECT_FALSE(toolkit::LoadMonitorFunctions(nullptr, funcs));
  const auto same = [](const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; };
  EXPECT_TRUE(same(toolkit::RectWorkAreaWith(nullptr, RECT{1500, 10, 1600, 90}), primary));

  const toolkit::TMonitorFunctions fake{FakeFromRect, FakeFromPoint, FakeInfo};
  EXPECT_TRUE(same(toolkit::RectWorkAreaWith(&fake, RECT{1500, 10, 1600, 90}), kSecondWork));
  EXPECT_EQ(askedFlags, static_cast<DWORD>(MONITOR_DEFAULTTONEAREST));
  EXPECT_TRUE(same(toolkit::PointWorkAreaWith(&fake, POINT{1300, 700}), kSecondWork));
  EXPECT_TRUE(same(toolkit::PointWorkAreaWith(&fake, POINT{100, 700}), primary));  // no monitor there
  infoFails = true;
  EXPECT_TRUE(same(toolkit::PointWorkAreaWith(&fake, POINT{1300, 700}), primary));
  infoFails = false;
}

TEST_F(ToolDockGeometry, WorkAreasOfOneMonitorAreThePrimaryOne) {
  RECT primary{};
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &primary, 0));
  const RECT fromRect = toolkit::GetRectWorkArea(RECT{10, 10, 20, 20});
  const RECT fromPoint = toolkit::GetPointWorkArea(POINT{5000, 5000});
  EXPECT_TRUE(EqualRect(&fromRect, &primary));
  EXPECT_TRUE(EqualRect(&fromPoint, &primary));
  EXPECT_GT(toolkit::GetSmallCaptionHeight(), 0);
}

}  // namespace
