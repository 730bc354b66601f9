// Shared by the tests that start the real Hotkeys program and drive it from outside.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "Definitions.h"
#include "Process.h"

namespace hkprog {

constexpr UINT kShowEditor = 3025;
constexpr UINT kExit = 3028;
constexpr DWORD kWait = 15000;
// The modifiers of the combinations the tests use: no other test and no usual desktop uses them.
constexpr UINT kMods = MOD_CONTROL | MOD_ALT | MOD_SHIFT;

inline hk::HotkeyEntry Entry(std::string description, std::string action, std::string data, std::string hotkey,
                             bool active) {
  hk::HotkeyEntry e;
  e.description = std::move(description);
  e.id = hk::IdFromText(e.description);
  e.action = std::move(action);
  e.data = std::move(data);
  e.hotkey = std::move(hotkey);
  e.active = active ? "True" : "False";
  return e;
}

// Whether another program may take the combination mods + vk now (it is given back at once).
inline bool CombinationFree(UINT vk, UINT mods = kMods) {
  if (!RegisterHotKey(nullptr, 0x5A5A, mods, vk)) return false;
  UnregisterHotKey(nullptr, 0x5A5A);
  return true;
}

// Polls a condition that another process brings about (it sends this process nothing to wait for).
template <class F>
bool Eventually(F condition, DWORD ms = kWait) {
  const ULONGLONG end = GetTickCount64() + ms;
  while (!condition()) {
    if (GetTickCount64() >= end) return false;
    hktest::PumpWait(nullptr, 20);
  }
  return true;
}

// The window's own text (GetWindowText would give another process's edits their creation text).
inline std::wstring WindowText(HWND w) {
  wchar_t buf[512] = {};
  SendMessageW(w, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buf));
  return buf;
}

// Starts the copy `exe` in `folder`; its main window, or null when it did not start or show one in time.
inline HWND StartProgram(hktest::ChildProcess& p, const std::string& exe, const std::string& folder) {
  if (!p.Start(exe, {}, folder)) return nullptr;
  WaitForInputIdle(p.Handle(), kWait);
  return hktest::WaitForWindow("TfrmHotkeyEdit", p.Pid(), kWait);
}

// The top-level windows of `wnd`'s thread for which `keep` holds.
template <class Keep>
std::vector<HWND> ThreadWindows(HWND wnd, Keep keep) {
  std::pair<Keep*, std::vector<HWND>> search{&keep, {}};
  EnumThreadWindows(
      GetWindowThreadProcessId(wnd, nullptr),
      [](HWND w, LPARAM p) {
        auto& s = *reinterpret_cast<std::pair<Keep*, std::vector<HWND>>*>(p);
        if ((*s.first)(w)) s.second.push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.second;
}

// The top-level windows of `owner`'s thread that it owns.
inline std::vector<HWND> OwnedWindows(HWND owner) {
  return ThreadWindows(owner, [owner](HWND w) { return GetWindow(w, GW_OWNER) == owner; });
}

// The hidden tool windows of `wnd`'s thread: a floating tool window is owned by the form it floats over
// only while it is shown (while the program is not active, it is hidden and owned by its hidden carrier).
inline std::vector<HWND> HiddenToolWindows(HWND wnd) {
  const auto isTool = [](HWND x) { return (GetWindowLongPtrW(x, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0; };
  return ThreadWindows(wnd, [&](HWND w) {
    const HWND owner = GetWindow(w, GW_OWNER);
    return !IsWindowVisible(w) && isTool(w) && owner && isTool(owner);
  });
}

// The windows inside `parent` and inside the top-level windows it owns or that may float over it (the
// edit box's tool window).
inline std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> all;
  const auto collect = [](HWND w, LPARAM p) {
    reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
    return TRUE;
  };
  EnumChildWindows(parent, collect, reinterpret_cast<LPARAM>(&all));
  for (HWND owned : OwnedWindows(parent)) EnumChildWindows(owned, collect, reinterpret_cast<LPARAM>(&all));
  for (HWND tool : HiddenToolWindows(parent)) EnumChildWindows(tool, collect, reinterpret_cast<LPARAM>(&all));
  return all;
}

// The descendant whose text is one of `texts`, or null.
inline HWND FindByText(HWND parent, std::initializer_list<const wchar_t*> texts) {
  for (HWND w : Descendants(parent))
    for (const wchar_t* t : texts)
      if (WindowText(w) == t) return w;
  return nullptr;
}

inline HWND FindByClass(HWND parent, const wchar_t* className) {
  for (HWND w : Descendants(parent)) {
    wchar_t buf[64] = {};
    GetClassNameW(w, buf, 64);
    if (_wcsicmp(buf, className) == 0) return w;
  }
  return nullptr;
}

// The direct child of `parent` whose top left corner lies at (x, y) of the parent's client area (with
// `visible`, the one of those that is shown).
inline HWND ChildAt(HWND parent, int x, int y, bool visible = false) {
  for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (visible && !IsWindowVisible(w)) continue;
    RECT r;
    GetWindowRect(w, &r);
    POINT p{r.left, r.top};
    ScreenToClient(parent, &p);
    if (p.x == x && p.y == y) return w;
  }
  return nullptr;
}

// What a control tells its parent, as the control itself would. Posted when it may open a modal box.
inline void Notify(HWND control, WORD code, bool post = false) {
  const WPARAM w = MAKEWPARAM(GetDlgCtrlID(control), code);
  if (post) PostMessageW(GetParent(control), WM_COMMAND, w, reinterpret_cast<LPARAM>(control));
  else SendMessageW(GetParent(control), WM_COMMAND, w, reinterpret_cast<LPARAM>(control));
}

inline void Type(HWND edit, const std::wstring& text) {
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  Notify(edit, EN_CHANGE);
}

// Shown inside its top-level window (it and every parent below that one carry WS_VISIBLE), whether or not
// that window is on screen now: the editor's tool window hides while the program is not active.
inline bool ShownInside(HWND w) {
  for (; w && (GetWindowLongW(w, GWL_STYLE) & WS_CHILD); w = GetParent(w))
    if (!(GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE)) return false;
  return w != nullptr;
}

// The visible browse edits inside `parent` and its owned windows: edits of the multi-line kind that keep
// one line (the program has no other multi-line edit there).
inline std::vector<HWND> VisibleBrowseEdits(HWND parent) {
  std::vector<HWND> edits;
  for (HWND w : Descendants(parent)) {
    wchar_t cls[16] = {};
    GetClassNameW(w, cls, 16);
    if (_wcsicmp(cls, L"Edit") == 0 && ShownInside(w) && (GetWindowLongW(w, GWL_STYLE) & ES_MULTILINE))
      edits.push_back(w);
  }
  return edits;
}

// A click of a browse edit's button, which is drawn inside the edit's right end: the edit gets the mouse.
inline void ClickBrowseButton(HWND edit) {
  RECT r{};
  GetClientRect(edit, &r);
  const LPARAM at = MAKELPARAM(r.right - 8, r.bottom / 2);
  PostMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(edit, WM_LBUTTONUP, 0, at);
}

}  // namespace hkprog
