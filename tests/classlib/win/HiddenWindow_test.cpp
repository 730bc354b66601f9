#include "HiddenWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using cl::TMessage;

TEST(HiddenWindow, MessagesReachTheMethodAndItsResultIsReturned) {
  std::vector<TMessage> seen;
  cl::THiddenWindow window([&](TMessage& m) {
    seen.push_back(m);
    m.Result = m.Msg == WM_APP + 1 ? static_cast<intptr_t>(m.WParam + m.LParam) : 0;
  });
  const HWND wnd = window.Handle();
  ASSERT_TRUE(IsWindow(wnd));
  EXPECT_FALSE(IsWindowVisible(wnd));
  EXPECT_EQ(GetAncestor(wnd, GA_PARENT), GetDesktopWindow());  // top-level, so it also hears broadcasts

  EXPECT_EQ(SendMessageW(wnd, WM_APP + 1, 40, 2), 42);
  ASSERT_TRUE(PostMessageW(wnd, WM_APP + 2, 7, -1));
  MSG msg;
  while (PeekMessageW(&msg, wnd, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].Msg, static_cast<uint32_t>(WM_APP + 2));
  EXPECT_EQ(seen[1].WParam, 7u);
  EXPECT_EQ(seen[1].LParam, -1);
}

TEST(HiddenWindow, EscapingExceptionGoesToTheDefaultHandler) {
  std::string handled;
  cl::SetExceptionHandler([&](const std::exception& e) { handled = e.what(); });
  {
    cl::THiddenWindow window([](TMessage& m) {
      if (m.Msg == WM_APP) throw cl::EConvertError("bad value");
    });
    EXPECT_EQ(SendMessageW(window.Handle(), WM_APP, 0, 0), 0);
  }
  cl::SetExceptionHandler(nullptr);
  EXPECT_EQ(handled, "bad value");
}

TEST(HiddenWindow, DestructionIsSeenWithTheHandleStillValid) {
  auto alive = std::make_shared<int>(0);
  cl::THiddenWindow window;
  HWND during = nullptr;
  std::vector<uint32_t> last;
  window = cl::THiddenWindow([&, alive](TMessage& m) {
    if (m.Msg == WM_DESTROY) during = window.Handle();
    last.push_back(m.Msg);
  });
  const HWND wnd = window.Handle();
  EXPECT_EQ(alive.use_count(), 2);
  window.Reset();
  EXPECT_FALSE(window);
  EXPECT_FALSE(IsWindow(wnd));
  EXPECT_EQ(during, wnd);
  ASSERT_GE(last.size(), 2u);
  EXPECT_EQ(last[last.size() - 2], static_cast<uint32_t>(WM_DESTROY));
  EXPECT_EQ(last.back(), static_cast<uint32_t>(WM_NCDESTROY));
  EXPECT_EQ(alive.use_count(), 1);  // the method was freed with the window
}

// The binding lives in the window's extra bytes: the user data is free for whoever wants it.
TEST(HiddenWindow, TheUserDataIsLeftFree) {
  int seen = 0;
  cl::THiddenWindow window([&](TMessage& m) {
    if (m.Msg == WM_APP) ++seen;
  });
  SetWindowLongPtrW(window.Handle(), GWLP_USERDATA, 0x1234);
  SendMessageW(window.Handle(), WM_APP, 0, 0);
  EXPECT_EQ(seen, 1);
  EXPECT_EQ(GetWindowLongPtrW(window.Handle(), GWLP_USERDATA), 0x1234);
}

TEST(HiddenWindow, MethodMayFreeItsOwnWindow) {
  auto alive = std::make_shared<int>(0);
  HWND wnd = nullptr;
  int afterFree = 0;
  wnd = cl::AllocateHWnd([&, alive](TMessage& m) {
    if (m.Msg != WM_APP) return;
    cl::DeallocateHWnd(wnd);
    afterFree = *alive + 1;  // the method's own state is still there
  });
  SendMessageW(wnd, WM_APP, 0, 0);
  EXPECT_EQ(afterFree, 1);
  EXPECT_FALSE(IsWindow(wnd));
  EXPECT_EQ(alive.use_count(), 1);
}

}  // namespace
