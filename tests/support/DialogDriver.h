// Drives the system's modal dialogs from a test: finds the dialog window of this thread once it is up and
// presses its buttons. Used with formstest::TTimers, whose timers fire inside the dialog's own loop.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "FormsTestSupport.h"
#include "WinString.h"

namespace dialogtest {

inline std::string WindowText(HWND wnd) {
  wchar_t buffer[512] = {};
  GetWindowTextW(wnd, buffer, 512);
  return cl::FromWide(buffer);
}

// The visible dialog window (class "#32770") of this thread whose caption is `caption` (any caption when
// empty), else null.
inline HWND FindDialog(const std::string& caption = {}) {
  struct Search {
    std::wstring caption;
    HWND found = nullptr;
  } search{cl::ToWide(caption)};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND wnd, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        wchar_t cls[64] = {};
        GetClassNameW(wnd, cls, 64);
        if (std::wstring(cls) != L"#32770" || !IsWindowVisible(wnd)) return TRUE;
        wchar_t text[512] = {};
        GetWindowTextW(wnd, text, 512);
        if (!s->caption.empty() && s->caption != text) return TRUE;
        s->found = wnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Runs `action` with the dialog once it is showing; looks again every 50 ms, up to `tries` times (a
// failure is recorded when it never shows).
inline void WhenDialog(formstest::TTimers& timers, const std::string& caption, std::function<void(HWND)> action,
                       int tries = 200) {
  timers.After(50, [&timers, caption, action = std::move(action), tries]() mutable {
    if (HWND dialog = FindDialog(caption)) {
      action(dialog);
    } else if (tries > 1) {
      WhenDialog(timers, caption, std::move(action), tries - 1);
    } else {
      ADD_FAILURE() << "dialog \"" << caption << "\" never showed";
    }
  });
}

// Presses a button of the dialog (IDOK, IDCANCEL) as a click would.
inline void PressButton(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace dialogtest
