#include "DisabledWindows.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <thread>

#include "KernelHandle.h"

namespace {

// A top-level window of the calling thread, destroyed with the object (unless destroyed before).
class TopWindow {
 public:
  explicit TopWindow(bool visible, bool enabled = true)
      : wnd_(CreateWindowExW(0, L"STATIC", L"", WS_POPUP | (visible ? WS_VISIBLE : 0) | (enabled ? 0 : WS_DISABLED),
                             0, 0, 40, 30, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr)) {}
  ~TopWindow() { Destroy(); }
  TopWindow(const TopWindow&) = delete;
  TopWindow& operator=(const TopWindow&) = delete;
  HWND Get() const { return wnd_; }
  bool Enabled() const { return IsWindowEnabled(wnd_) != FALSE; }
  void Destroy() {
    if (wnd_) DestroyWindow(wnd_);
    wnd_ = nullptr;
  }

 private:
  HWND wnd_;
};

TEST(DisabledWindows, TheThreadsOtherWindowsTakeNoInputMeanwhileAndGetItBackAfter) {
  TopWindow kept(true), plain(true), second(true);
  TopWindow alreadyDisabled(true, false);
  TopWindow hidden(false);
  {
    const cl::TDisabledWindows disabled(kept.Get());
    EXPECT_TRUE(kept.Enabled());
    EXPECT_FALSE(plain.Enabled());
    EXPECT_FALSE(second.Enabled());
    EXPECT_FALSE(alreadyDisabled.Enabled());
    EXPECT_TRUE(hidden.Enabled());  // hidden windows are left alone
  }
  EXPECT_TRUE(kept.Enabled());
  EXPECT_TRUE(plain.Enabled());
  EXPECT_TRUE(second.Enabled());
  EXPECT_FALSE(alreadyDisabled.Enabled());  // it was disabled before, so it stays so
  EXPECT_TRUE(hidden.Enabled());
}

TEST(DisabledWindows, AWindowDestroyedMeanwhileIsSkippedAndTheOthersComeBack) {
  TopWindow before(true), goner(true), after(true);
  {
    const cl::TDisabledWindows disabled(nullptr);
    EXPECT_FALSE(goner.Enabled());
    goner.Destroy();
  }
  EXPECT_TRUE(before.Enabled());
  EXPECT_TRUE(after.Enabled());
}

TEST(DisabledWindows, WindowsOfOtherThreadsAreNotTouched) {
  HWND foreign = nullptr;
  const cl::TKernelHandle created(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  const cl::TKernelHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::thread other([&] {
    TopWindow window(true);
    foreign = window.Get();
    SetEvent(created.Get());
    WaitForSingleObject(done.Get(), 10000);
  });
  const bool ready = WaitForSingleObject(created.Get(), 10000) == WAIT_OBJECT_0;
  EXPECT_TRUE(ready);
  TopWindow own(true);
  if (ready) {
    const cl::TDisabledWindows disabled(nullptr);
    EXPECT_FALSE(own.Enabled());
    EXPECT_TRUE(IsWindowEnabled(foreign));
  }
  SetEvent(done.Get());
  other.join();
}

}  // namespace
