// A window of another thread that takes the activation while it lives, as another program's window would.
#pragma once
#include <windows.h>

#include <thread>

#include "KernelHandle.h"

namespace hktest {

class TForeignActiveWindow {
 public:
  TForeignActiveWindow()
      : done_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), thread_([done = done_.Get()] {
          HWND w = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                   nullptr, nullptr);
          SetForegroundWindow(w);
          while (MsgWaitForMultipleObjects(1, &done, FALSE, 5000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
          }
          DestroyWindow(w);
        }) {}
  ~TForeignActiveWindow() {
    SetEvent(done_.Get());
    thread_.join();
  }
  TForeignActiveWindow(const TForeignActiveWindow&) = delete;
  TForeignActiveWindow& operator=(const TForeignActiveWindow&) = delete;

 private:
  cl::TKernelHandle done_;
  std::thread thread_;
};

}  // namespace hktest
