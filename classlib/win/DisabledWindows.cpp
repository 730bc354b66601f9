#include "DisabledWindows.h"

namespace cl {

TDisabledWindows::TDisabledWindows(HWND keep) : keep_(keep) {
  EnumThreadWindows(GetCurrentThreadId(), &TDisabledWindows::Collect, reinterpret_cast<LPARAM>(this));
  for (HWND w : windows_) EnableWindow(w, FALSE);
}

TDisabledWindows::~TDisabledWindows() {
  for (HWND w : windows_)
    if (IsWindow(w)) EnableWindow(w, TRUE);
}

BOOL CALLBACK TDisabledWindows::Collect(HWND wnd, LPARAM self) {
  auto* me = reinterpret_cast<TDisabledWindows*>(self);
  try {
    if (wnd != me->keep_ && IsWindowVisible(wnd) && IsWindowEnabled(wnd)) me->windows_.push_back(wnd);
  } catch (...) {
    return FALSE;  // out of memory: the windows found so far are disabled
  }
  return TRUE;
}

}  // namespace cl
