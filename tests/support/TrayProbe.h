// Whether a process has put an icon into the notification area. The shell offers no list of icons, but
// it accepts a modification (with nothing to change) only for an icon it holds: asking that for icon 0
// of each top-level window of the process tells present from absent without altering anything.
#pragma once
#include <windows.h>
#include <shellapi.h>

namespace hktest {

// True when the shell holds icon uID of window.
inline bool WindowHasTrayIcon(HWND window, UINT uID = 0) {
  NOTIFYICONDATAW nid{};
  nid.cbSize = sizeof nid;
  nid.hWnd = window;
  nid.uID = uID;
  nid.uFlags = 0;
  return Shell_NotifyIconW(NIM_MODIFY, &nid) != FALSE;
}

namespace detail {
struct TraySearch {
  DWORD pid;
  UINT id;
  HWND found;
};
inline BOOL CALLBACK TrayWindowProc(HWND w, LPARAM p) {
  auto& s = *reinterpret_cast<TraySearch*>(p);
  DWORD owner = 0;
  GetWindowThreadProcessId(w, &owner);
  if (owner != s.pid || !WindowHasTrayIcon(w, s.id)) return TRUE;
  s.found = w;
  return FALSE;
}
}  // namespace detail

// The top-level window (shown or hidden) of process pid that has a tray icon with uID id, or null.
inline HWND TrayWindowOf(DWORD pid, UINT id = 0) {
  detail::TraySearch s{pid, id, nullptr};
  EnumWindows(detail::TrayWindowProc, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

inline bool ProcessHasTrayIcon(DWORD pid, UINT id = 0) { return TrayWindowOf(pid, id) != nullptr; }

}  // namespace hktest
