#include "hkMulti.h"

#include <windows.h>

#include "Forms.h"

namespace hk {

bool PauseHandlingMessages(unsigned ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  for (;;) {
    // Hot keys pressed meanwhile stay queued: they run after the list, as they would after any other
    // action, instead of meeting the busy flag and being lost.
    if (cl::Application) {
      cl::Application->ProcessMessagesExcept(WM_HOTKEY);
      if (cl::Application->Terminated()) return false;
    } else {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, WM_HOTKEY - 1, PM_REMOVE) ||
             PeekMessageW(&msg, nullptr, WM_HOTKEY + 1, 0xFFFFFFFFu, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
          PostQuitMessage(static_cast<int>(msg.wParam));
          return false;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return true;
    // Wakes for the next message other than a hot key, or at the end of the pause, whichever comes first.
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(end - now), QS_ALLINPUT & ~QS_HOTKEY,
                                MWMO_INPUTAVAILABLE);
  }
}

bool RunIdListSteps(const std::vector<IdListStep>& steps, const std::function<void(const HotkeyCommand&)>& run,
                    const std::function<bool(unsigned)>& pause) {
  for (const IdListStep& step : steps) {
    if (step.pauseMs > 0 && !pause(static_cast<unsigned>(step.pauseMs))) return false;
    if (cl::Application && cl::Application->Terminated()) return false;
    if (step.runs) run(step.command);
  }
  return true;
}

}  // namespace hk
