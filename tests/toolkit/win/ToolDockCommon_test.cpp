// The tool-window library's hook registry (counts, hooks, events, misbehaving callbacks), its list sort
// and its printing of self-drawn windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "DeviceContext.h"
#include "MenuWatch.h"
#include "MessageLoop.h"
#include "PaintSurface.h"
#include "ToolDockCommon.h"

namespace {

using toolkit::THookEvent;

struct TSeen {
  THookEvent event;
  HWND wnd;
};
std::vector<TSeen> seen;
std::vector<std::string> order;
HWND target = nullptr;  // the window whose events the ordering callbacks count

void Recorder(THookEvent event, HWND wnd, WPARAM, LPARAM) { seen.push_back({event, wnd}); }
void First(THookEvent, HWND wnd, WPARAM, LPARAM) {
  if (wnd != target) return;
  order.push_back("first");
  throw std::runtime_error("a callback that fails");
}
void Second(THookEvent, HWND wnd, WPARAM, LPARAM) {
  if (wnd == target) order.push_back("second");
}
// Takes itself and the second callback out while the registry is calling them.
void Leaver(THookEvent, HWND wnd, WPARAM, LPARAM) {
  if (wnd != target) return;
  order.push_back("leaver");
  toolkit::RemoveHookCallback(Leaver);
  toolkit::RemoveHookCallback(Second);
}

constexpr int kCallWndProc = 0, kCbt = 1, kGetMessage = 2;

class HookRegistry : public ::testing::Test {
 protected:
  void SetUp() override {
    seen.clear();
    order.clear();
    ASSERT_FALSE(toolkit::HookCallbacksRegistered());
  }
  void TearDown() override { EXPECT_FALSE(toolkit::HookCallbacksRegistered()) << "a test left a registration"; }
  static HWND NewWindow() {
    return CreateWindowExW(0, L"STATIC", L"hooked", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
  }
};

TEST_F(HookRegistry, EachRemovalUndoesExactlyItsRegistration) {
  toolkit::AddHookCallback(Recorder, {toolkit::heActivateApp}, false);
  // A second registration counts; its other events still need their hook, which its removal gives back.
  toolkit::AddHookCallback(Recorder, {toolkit::heMouseMove}, false);
  EXPECT_EQ(toolkit::HookCallbackCount(Recorder), 2);
  EXPECT_EQ(toolkit::HookUseCount(kCallWndProc), 1);
  EXPECT_EQ(toolkit::HookUseCount(kGetMessage), 1);
  EXPECT_TRUE(toolkit::HookInstalled(kCallWndProc));
  EXPECT_TRUE(toolkit::HookInstalled(kGetMessage));
  EXPECT_FALSE(toolkit::HookInstalled(kCbt));

  toolkit::RemoveHookCallback(Recorder);
  EXPECT_EQ(toolkit::HookCallbackCount(Recorder), 1);
  EXPECT_EQ(toolkit::HookUseCount(kCallWndProc), 1);
  EXPECT_EQ(toolkit::HookUseCount(kGetMessage), 0);
  EXPECT_FALSE(toolkit::HookInstalled(kGetMessage));
  toolkit::RemoveHookCallback(Recorder);
  EXPECT_FALSE(toolkit::HookCallbacksRegistered());
  for (int slot : {kCallWndProc, kCbt, kGetMessage}) EXPECT_FALSE(toolkit::HookInstalled(slot)) << slot;
}

TEST_F(HookRegistry, ADesignSurfaceCountsWithoutHooking) {
  toolkit::AddHookCallback(Recorder, {toolkit::hePreDestroyWindow, toolkit::heMouseMove}, true);
  EXPECT_EQ(toolkit::HookCallbackCount(Recorder), 1);
  for (int slot : {kCallWndProc, kCbt, kGetMessage}) {
    EXPECT_EQ(toolkit::HookUseCount(slot), 0) << slot;
    EXPECT_FALSE(toolkit::HookInstalled(slot)) << slot;
  }
  toolkit::RemoveHookCallback(Recorder);
  toolkit::RemoveHookCallback(Recorder);  // nothing left: no effect
}

TEST_F(HookRegistry, TheHooksReportTheirEvents) {
  toolkit::AddHookCallback(
      Recorder, {toolkit::heWindowPosChanged, toolkit::hePreDestroyWindow, toolkit::heMouseMove}, false);
  HWND wnd = NewWindow();
  SetWindowPos(wnd, nullptr, 10, 10, 60, 60, SWP_NOZORDER | SWP_NOACTIVATE);
  PostMessageW(wnd, WM_MOUSEMOVE, 0, MAKELPARAM(3, 4));
  hktest::PumpUntil([] { return false; }, 50);
  DestroyWindow(wnd);
  toolkit::RemoveHookCallback(Recorder);
  const auto saw = [&](THookEvent event) {
    for (const TSeen& s : seen)
      if (s.event == event && s.wnd == wnd) return true;
    return false;
  };
  EXPECT_TRUE(saw(toolkit::heWindowPosChanged));
  EXPECT_TRUE(saw(toolkit::heMouseMove));
  EXPECT_TRUE(saw(toolkit::hePreDestroyWindow));
  EXPECT_FALSE(saw(toolkit::heActivateApp));
}

// A failing callback does not stop the others, and callbacks may leave the registry while it calls them.
TEST_F(HookRegistry, CallbacksThatFailOrLeaveDoNotDisturbTheOthers) {
  toolkit::AddHookCallback(First, {toolkit::hePreDestroyWindow}, false);
  toolkit::AddHookCallback(Leaver, {toolkit::hePreDestroyWindow}, false);
  toolkit::AddHookCallback(Second, {toolkit::hePreDestroyWindow}, false);
  target = NewWindow();
  DestroyWindow(target);
  EXPECT_EQ(order, (std::vector<std::string>{"first", "leaver", "second"}));
  order.clear();
  target = NewWindow();
  DestroyWindow(target);
  EXPECT_EQ(order, (std::vector<std::string>{"first"}));
  toolkit::RemoveHookCallback(First);
}

// An owner-drawn popup and its submenu, each moved past by a window while it is open and idle: the events
// of that time reach the callbacks (the hook on sent messages keeps out of the way only while the items
// are measured), with the CBT hook there or not, and the hook is in place once the menu has closed.
TEST_F(HookRegistry, WindowsMovedWhileAnOwnerDrawnMenuIsOpenAreReported) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = [](HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
    if (msg == WM_MEASUREITEM) {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      item->itemWidth = 80;
      item->itemHeight = 16;
      return TRUE;
    }
    return msg == WM_DRAWITEM ? TRUE : DefWindowProcW(wnd, msg, wParam, lParam);
  };
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"HookRegistryMenuOwner";
  RegisterClassW(&wc);
  const HWND owner = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, nullptr,
                                     nullptr, wc.hInstance, nullptr);
  const HWND moved = NewWindow();
  const HMENU sub = CreatePopupMenu();
  const HMENU menu = CreatePopupMenu();
  for (UINT i = 0; i < 300; ++i) AppendMenuW(sub, MF_OWNERDRAW, 100 + i, nullptr);
  AppendMenuW(menu, MF_OWNERDRAW | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), nullptr);
  for (UINT i = 0; i < 20; ++i) AppendMenuW(menu, MF_OWNERDRAW, 500 + i, nullptr);
  const auto movesOf = [&] {
    int n = 0;
    for (const TSeen& s : seen) n += s.event == toolkit::heWindowPosChanged && s.wnd == moved;
    return n;
  };
  int x = 0;
  hktest::MenuWatch watch(owner, [&](HWND popup, HMENU open) {
    SetWindowPos(moved, nullptr, x += 5, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (open == menu) {
      // The first item, then into its submenu.
      for (WPARAM key : {VK_DOWN, VK_RIGHT}) PostMessageW(popup, WM_KEYDOWN, key, 0);
    } else {
      EndMenu();
    }
  });
  for (const bool cbt : {true, false}) {
    SCOPED_TRACE(cbt ? "with the CBT hook" : "without it");
    seen.clear();
    toolkit::AddHookCallback(Recorder, cbt ? toolkit::THookEvents{toolkit::heWindowPosChanged, toolkit::hePreDestroyWindow}
                                           : toolkit::THookEvents{toolkit::heWindowPosChanged}, false);
    watch.Opened.clear();
    SetForegroundWindow(owner);
    TrackPopupMenu(menu, TPM_RETURNCMD, 100, 100, 0, owner, nullptr);
    EXPECT_EQ(watch.Opened, (std::vector<HMENU>{menu, sub}));
    EXPECT_EQ(movesOf(), 2);
    EXPECT_TRUE(toolkit::HookInstalled(kCallWndProc));
    hktest::PumpUntil([] { return false; }, 20);
    SetWindowPos(moved, nullptr, 0, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(movesOf(), 3);
    toolkit::RemoveHookCallback(Recorder);
  }
  DestroyMenu(menu);
  DestroyWindow(moved);
  DestroyWindow(owner);
}

TEST(ToolDockSort, SortsByTheCompareWithItsDataAndLeavesShortListsAlone) {
  cl::TList list;
  int calls = 0;
  const toolkit::TListCompare count = [&](void*, void*, intptr_t) { return ++calls, 0; };
  toolkit::SortList(list, count, 0);
  list.Add(reinterpret_cast<void*>(intptr_t{5}));
  toolkit::SortList(list, count, 0);
  EXPECT_EQ(calls, 0);

  for (intptr_t v : {9, 2, 7, 2, 11, 0, 4}) list.Add(reinterpret_cast<void*>(v));
  // Descending through the data: -1 turns the order round.
  toolkit::SortList(
      list,
      [](void* a, void* b, intptr_t sign) {
        const auto x = reinterpret_cast<intptr_t>(a), y = reinterpret_cast<intptr_t>(b);
        return static_cast<int>(sign * ((x > y) - (x < y)));
      },
      -1);
  std::vector<intptr_t> values;
  for (int i = 0; i < list.Count(); ++i) values.push_back(reinterpret_cast<intptr_t>(list.Items(i)));
  EXPECT_EQ(values, (std::vector<intptr_t>{11, 9, 7, 5, 4, 2, 2, 0}));
}

// A window with a 10-pixel border of its own: the non-client drawing is red, the client green.
LRESULT CALLBACK SelfDrawn(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCALCSIZE) {
    auto* r = reinterpret_cast<RECT*>(lParam);
    InflateRect(r, -10, -10);
    return 0;
  }
  if (msg == WM_PRINTCLIENT) {
    RECT c{};
    GetClientRect(wnd, &c);
    const cl::TBrushHandle green(CreateSolidBrush(RGB(0, 200, 0)));
    FillRect(reinterpret_cast<HDC>(wParam), &c, green.Get());
    return 0;
  }
  if (msg == WM_ERASEBKGND) return 1;
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

TEST(ToolDockPrint, ASelfDrawnWindowPrintsItsFrameAndClientInPlace) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = SelfDrawn;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"ToolDockPrint";
  RegisterClassW(&wc);
  HWND wnd = CreateWindowExW(0, L"ToolDockPrint", L"", WS_POPUP | WS_VISIBLE, 100, 100, 80, 60, nullptr, nullptr,
                             nullptr, nullptr);
  ASSERT_NE(wnd, nullptr);
  hktest::PaintSurface surface(80, 60);
  cl::TMessage m{WM_PRINT, reinterpret_cast<uintptr_t>(surface.DC()), PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND, 0};
  toolkit::PrintWindowToDC(wnd, m, [](HWND, HDC dc) {
    const RECT all{0, 0, 80, 60};
    const cl::TBrushHandle red(CreateSolidBrush(RGB(200, 0, 0)));
    FillRect(dc, &all, red.Get());
  });
  EXPECT_EQ(m.Result, 1);
  EXPECT_EQ(surface.Pixel(2, 2), RGB(200, 0, 0));
  EXPECT_EQ(surface.Pixel(10, 10), RGB(0, 200, 0));
  EXPECT_EQ(surface.Pixel(69, 49), RGB(0, 200, 0));
  EXPECT_EQ(surface.Pixel(75, 55), RGB(200, 0, 0));

  // An invisible window asked to print only when visible prints nothing.
  ShowWindow(wnd, SW_HIDE);
  hktest::PaintSurface blank(80, 60);
  cl::TMessage hidden{WM_PRINT, reinterpret_cast<uintptr_t>(blank.DC()), PRF_CHECKVISIBLE | PRF_CLIENT, 0};
  const COLORREF before = blank.Pixel(20, 20);
  toolkit::PrintWindowToDC(wnd, hidden, nullptr);
  EXPECT_EQ(hidden.Result, 1);
  EXPECT_EQ(blank.Pixel(20, 20), before);
  DestroyWindow(wnd);
  UnregisterClassW(L"ToolDockPrint", GetModuleHandleW(nullptr));
}

TEST(ToolDockPrint, TheWholeWindowsRegionLeavesTheDCUnclipped) {
  HWND wnd = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 30, 40, 50, 50, nullptr, nullptr,
                             nullptr, nullptr);
  const cl::TWindowDC dc(wnd, cl::TWindowDC::dcWholeWindow);
  toolkit::ClipToUpdateRegion(wnd, dc.Get(), reinterpret_cast<HRGN>(1));
  const cl::TRegionHandle probe(CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(GetClipRgn(dc.Get(), probe.Get()), 0) << "no clip region";
  // A region in screen coordinates ends up in window coordinates.
  const cl::TRegionHandle update(CreateRectRgn(35, 45, 45, 55));
  toolkit::ClipToUpdateRegion(wnd, dc.Get(), update.Get());
  RECT box{};
  GetClipBox(dc.Get(), &box);
  EXPECT_EQ(box.left, 5);
  EXPECT_EQ(box.top, 5);
  EXPECT_EQ(box.right, 15);
  DestroyWindow(wnd);
}

}  // namespace
