// Message loops for Win32 tests: every wait ends by a timeout at the latest.
#pragma once
#include <windows.h>

namespace hktest {

// Dispatches this thread's messages until done() holds or the time is up; true when done() held.
template <typename Done>
inline bool PumpUntil(Done done, DWORD timeoutMs = 5000) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done()) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
  }
}

// Runs the thread's message loop until WM_QUIT (true) or until ms have passed (false).
inline bool RunLoop(DWORD ms) {
  const UINT_PTR watchdog = SetTimer(nullptr, 0, ms, nullptr);
  MSG msg{};
  bool quit = true;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == nullptr && msg.wParam == watchdog) {
      quit = false;
      break;
    }
    DispatchMessageW(&msg);
  }
  KillTimer(nullptr, watchdog);
  return quit;
}

}  // namespace hktest
