// Small window chores for the scripts that drive programs under Wine:
//   wintool find <class> [--tray] [--wait MS]    prints the handle (decimal) of the first top-level window
//                                                of that class (with --tray: one that has tray icon 0),
//                                                waiting up to MS milliseconds; exit code 1 when none
//   wintool post <handle> <message> <wParam> <lParam>
//                                                posts a message; <message> is a number or reg:<name>
//                                                for a registered one; exit code 1 when it failed
//   wintool child <handle> <class|-> [text]     prints the handle of the first window inside <handle>
//                                                (or inside a window it owns) of that class and text
//   wintool move <handle> <x> <y>                moves a window (screen coordinates), size and z-order kept
//   wintool hold                                 keeps Wine's desktop open until the wineserver ends: Wine
//                                                closes the desktop a second after its last program, and
//                                                whichever program opens it again starts the desktop
//                                                process, which inherits (and holds open) its output
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "Process.h"
#include "TrayProbe.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: wintool find <class> [--tray] [--wait MS]\n"
               "       wintool post <handle> <message|reg:name> <wParam> <lParam>\n"
               "       wintool child <handle> <class|-> [text]\n"
               "       wintool move <handle> <x> <y>\n"
               "       wintool hold\n");
  return 2;
}

struct Search {
  const std::wstring& cls;
  bool tray;
  HWND found;
};

BOOL CALLBACK FindProc(HWND w, LPARAM p) {
  auto& s = *reinterpret_cast<Search*>(p);
  wchar_t name[256];
  if (!GetClassNameW(w, name, 256) || s.cls != name) return TRUE;
  if (s.tray && !hktest::WindowHasTrayIcon(w)) return TRUE;
  s.found = w;
  return FALSE;
}

// The first top-level window of the class (any process) that passes the tray test when asked.
HWND Find(const std::wstring& cls, bool tray) {
  Search s{cls, tray, nullptr};
  EnumWindows(FindProc, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

int FindCommand(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::wstring cls = hktest::Widen(argv[2]);
  bool tray = false;
  DWORD wait = 0;
  for (int i = 3; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--tray") {
      tray = true;
    } else if (a == "--wait" && i + 1 < argc) {
      wait = static_cast<DWORD>(std::strtoul(argv[++i], nullptr, 0));
    } else {
      return Usage();
    }
  }
  const ULONGLONG end = GetTickCount64() + wait;
  for (;;) {
    if (HWND w = Find(cls, tray)) {
      std::printf("%llu\n", static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(w)));
      return 0;
    }
    if (GetTickCount64() >= end) return 1;
    Sleep(20);  // another process's windows announce nothing to us
  }
}

int PostCommand(int argc, char** argv) {
  if (argc != 6) return Usage();
  const HWND w = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(std::strtoull(argv[2], nullptr, 0)));
  const std::string m = argv[3];
  const UINT msg = m.rfind("reg:", 0) == 0 ? RegisterWindowMessageW(hktest::Widen(m.substr(4)).c_str())
                                           : static_cast<UINT>(std::strtoul(m.c_str(), nullptr, 0));
  const WPARAM wParam = static_cast<WPARAM>(std::strtoull(argv[4], nullptr, 0));
  const LPARAM lParam = static_cast<LPARAM>(std::strtoll(argv[5], nullptr, 0));
  if (!msg || !IsWindow(w) || !PostMessageW(w, msg, wParam, lParam)) {
    std::fprintf(stderr, "wintool: cannot post %s to %s\n", argv[3], argv[2]);
    return 1;
  }
  return 0;
}

struct ChildSearch {
  HWND owner;
  std::wstring cls;  // empty: any
  std::wstring text;
  bool anyText;
  HWND found;
};

BOOL CALLBACK ChildProc(HWND w, LPARAM p) {
  auto& s = *reinterpret_cast<ChildSearch*>(p);
  wchar_t name[256] = {};
  GetClassNameW(w, name, 256);
  wchar_t text[512] = {};
  GetWindowTextW(w, text, 512);
  if ((s.cls.empty() || _wcsicmp(s.cls.c_str(), name) == 0) && (s.anyText || s.text == text)) {
    s.found = w;
    return FALSE;
  }
  return TRUE;
}

// Top-level windows owned by the one searched: their controls count as its own.
BOOL CALLBACK OwnedProc(HWND w, LPARAM p) {
  auto& s = *reinterpret_cast<ChildSearch*>(p);
  if (GetWindow(w, GW_OWNER) != s.owner) return TRUE;
  EnumChildWindows(w, ChildProc, p);
  return s.found ? FALSE : TRUE;
}

int ChildCommand(int argc, char** argv) {
  if (argc != 4 && argc != 5) return Usage();
  const HWND w = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(std::strtoull(argv[2], nullptr, 0)));
  const std::string cls = argv[3];
  ChildSearch s{w, cls == "-" ? std::wstring() : hktest::Widen(cls), argc == 5 ? hktest::Widen(argv[4]) : L"",
                argc == 4, nullptr};
  if (!IsWindow(w)) return 1;
  EnumChildWindows(w, ChildProc, reinterpret_cast<LPARAM>(&s));
  if (!s.found) EnumThreadWindows(GetWindowThreadProcessId(w, nullptr), OwnedProc, reinterpret_cast<LPARAM>(&s));
  if (!s.found) return 1;
  std::printf("%llu\n", static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(s.found)));
  return 0;
}

int MoveCommand(int argc, char** argv) {
  if (argc != 5) return Usage();
  const HWND w = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(std::strtoull(argv[2], nullptr, 0)));
  const int x = std::atoi(argv[3]);
  const int y = std::atoi(argv[4]);
  return IsWindow(w) && SetWindowPos(w, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) ? 0 : 1;
}

}  // namespace

// A hidden window makes this process a user of the desktop; it waits for messages until it is ended.
int HoldCommand() {
  HWND wnd = CreateWindowExW(0, L"STATIC", L"wintool hold", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  if (!wnd) return 1;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  DestroyWindow(wnd);
  return 0;
}

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string cmd = argv[1];
  if (cmd == "find") return FindCommand(argc, argv);
  if (cmd == "post") return PostCommand(argc, argv);
  if (cmd == "child") return ChildCommand(argc, argv);
  if (cmd == "move") return MoveCommand(argc, argv);
  if (cmd == "hold") return HoldCommand();
  return Usage();
}
