// Costs of Hotkeys in the tray, measured against the yardsticks beside it:
//   a) CPU (user and kernel time) of an idle Hotkeys over some seconds once its icon is in the tray (target under 1% of a core);
//   b) CPU of a tray icon playing "Key being pressed" endlessly (target under 2%);
//   c) time from CreateProcess to the icon in the tray, Hotkeys against a bare tray program, runs
//      alternating (target: median ratio under 1.5).
// Usage: hotkeys_bench <Hotkeys.exe> <tray_minimal.exe> [<tray_animated.exe>] [seconds] [runs]
// A report, not a test: the exit code is 0 whatever the results (2 for bad arguments).
#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "Definitions.h"
#include "Process.h"
#include "TrayProbe.h"
#include "BenchSupport.h"

namespace {

using namespace benchsupport;

constexpr UINT kQuitMessage = 3028;
constexpr DWORD kTrayTimeoutMs = 30000;

// A few entries on combinations nobody presses during the run.
void WriteDefinitions(const std::string& file) {
  hk::Definitions defs;
  const char* rows[][4] = {{"Editor", "EDIT", "Ctrl+Alt+Shift+F9", "Open Program or File"},
                           {"List", "LIST", "Ctrl+Alt+Shift+F10", "View Hotkey List"},
                           {"Folder", "FOLD", "Ctrl+Alt+Shift+F11", "Open a Folder"},
                           {"Clipboard", "CLI1", "Ctrl+Alt+Shift+F12", "Switch to Virtual Clipboard"}};
  for (const auto& r : rows) {
    hk::HotkeyEntry e;
    e.description = r[0];
    e.id = r[1];
    e.hotkey = r[2];
    e.action = r[3];
    e.actionNumber = static_cast<int32_t>(std::find(hk::ActionNames.begin(), hk::ActionNames.end(), r[3]) -
                                          hk::ActionNames.begin());
    e.data = e.action == "Switch to Virtual Clipboard" ? "1"
             : e.action == "Open a Folder"             ? "C:\\"
             : e.action == "View Hotkey List"          ? ""
                                                       : "notepad.exe";
    defs.entries.push_back(e);
  }
  hk::SaveDefinitions(file, defs);
  const hk::LoadedDefinitions back = hk::LoadDefinitions(file);
  if (!back.complete || back.entries != defs.entries)
    std::printf("(the definitions file written does not read back as written)\n");
}

BOOL CALLBACK CloseProcessWindow(HWND w, LPARAM pid) {
  DWORD owner = 0;
  GetWindowThreadProcessId(w, &owner);
  if (owner == static_cast<DWORD>(pid)) PostMessageW(w, WM_CLOSE, 0, 0);
  return TRUE;
}

// Asks the program to end (message 3028 to its main window, else WM_CLOSE to its windows), then ends it.
void Stop(hktest::ChildProcess& child) {
  if (!child.Running()) return;
  // The tray icon may come before the main window: give that a moment to appear.
  HWND main = hktest::WaitForWindow("TfrmHotkeyEdit", child.Pid(), 2000);
  for (const char* cls : {"HkTrayMinimal", "HkTrayAnimated"})
    if (!main) main = hktest::FindProcessWindow(cls, child.Pid());
  if (main) {
    PostMessageW(main, kQuitMessage, kQuitMessage, 0);
  } else {
    EnumWindows(CloseProcessWindow, static_cast<LPARAM>(child.Pid()));
  }
  if (!child.WaitExit(5000)) std::printf("  (%lu did not end by itself; terminated)\n", child.Pid());
  child.Close();
}

// Starts exe in dir and returns the seconds until its icon was in the tray (nullopt: it never was).
// Polls about every millisecond: the shell tells nobody when an icon arrives.
std::optional<double> StartToTray(hktest::ChildProcess& child, const std::string& exe, const std::string& dir) {
  const LONGLONG start = Now();
  if (!child.Start(exe, {}, dir)) return std::nullopt;
  const LONGLONG end = start + static_cast<LONGLONG>(kTrayTimeoutMs / 1000.0 / Seconds(1));
  while (Now() < end) {
    if (hktest::ProcessHasTrayIcon(child.Pid())) return Seconds(Now() - start);
    if (!child.Running()) return std::nullopt;
    Sleep(1);
  }
  return std::nullopt;
}

// CPU use of a program over `seconds` once its icon is in the tray and its start-up is over, as % of
// one core.
std::optional<double> IdleCpu(const std::string& exe, const std::string& dir, double seconds) {
  hktest::ChildProcess child;
  if (!StartToTray(child, exe, dir)) {
    Stop(child);
    return std::nullopt;
  }
  // Idle means after start-up: once the program waits for input, and a moment more.
  WaitForInputIdle(child.Handle(), 5000);
  Sleep(500);
  const double cpu0 = CpuSeconds(child.Pid());
  const LONGLONG t0 = Now();
  const bool ended = WaitForSingleObject(child.Handle(), static_cast<DWORD>(seconds * 1000)) == WAIT_OBJECT_0;
  const double cpu1 = CpuSeconds(child.Pid());
  const double wall = Seconds(Now() - t0);
  Stop(child);
  if (ended) return std::nullopt;
  return 100.0 * (cpu1 - cpu0) / wall;
}

const char* Verdict(bool pass) { return pass ? "PASS" : "FAIL"; }

bool Exists(const std::string& path) {
  return GetFileAttributesW(hktest::Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: hotkeys_bench <Hotkeys.exe> <tray_minimal.exe> [<tray_animated.exe>|-] [seconds] [runs]\n");
    return 2;
  }
  setvbuf(stdout, nullptr, _IONBF, 0);
  const std::string hotkeys = FullPath(argv[1]);
  const std::string minimal = FullPath(argv[2]);
  const std::string animated = argc > 3 && std::string(argv[3]) != "-" ? FullPath(argv[3]) : std::string();
  const double seconds = argc > 4 ? std::max(1.0, std::atof(argv[4])) : 10.0;
  const int runs = argc > 5 ? std::max(1, std::atoi(argv[5])) : 7;

  // Hotkeys in a scratch folder of its own: copy, definitions file, settings left to their defaults.
  Scratch scratch("hk-bench");
  const std::string copy = hktest::CopyFileTo(hotkeys, scratch.path);
  if (copy.empty()) {
    std::printf("cannot copy %s to %s\n", hotkeys.c_str(), scratch.path.c_str());
    return 0;
  }
  const std::string base = copy.substr(0, copy.find_last_of('.'));
  try {
    WriteDefinitions(base + ".hkd");
  } catch (const std::exception& e) {
    std::printf("cannot write the definitions file: %s\n", e.what());
    return 0;
  }

  std::printf("a) idle Hotkeys, %.0f s after its icon is in the tray\n", seconds);
  if (const auto cpu = IdleCpu(copy, scratch.path, seconds))
    std::printf("   CPU %.3f%% of one core (target under 1%%): %s\n", *cpu, Verdict(*cpu < 1.0));
  else
    std::printf("   no icon in the tray within %lu s, or the program ended (target under 1%%): FAIL\n",
                kTrayTimeoutMs / 1000);

  std::printf("b) tray icon playing \"Key being pressed\" endlessly, over %.0f s\n", seconds);
  if (animated.empty() || !Exists(animated)) {
    std::printf("   tray_animated not built (target under 2%%): FAIL\n");
  } else if (const auto cpu = IdleCpu(animated, {}, seconds)) {
    std::printf("   CPU %.3f%% of one core (target under 2%%): %s\n", *cpu, Verdict(*cpu < 2.0));
  } else {
    std::printf("   no icon in the tray within %lu s, or the program ended (target under 2%%): FAIL\n",
                kTrayTimeoutMs / 1000);
  }

  std::printf("c) start to tray, %d runs each, alternating\n", runs);
  std::vector<double> hk, mini;
  for (int i = 0; i < runs; ++i) {
    for (int which = 0; which < 2; ++which) {
      hktest::ChildProcess child;
      const auto t = which == 0 ? StartToTray(child, minimal, {}) : StartToTray(child, copy, scratch.path);
      Stop(child);
      if (t) (which == 0 ? mini : hk).push_back(*t * 1000);
    }
  }
  if (hk.empty() || mini.empty()) {
    std::printf("   no icon in the tray (Hotkeys %zu/%d, minimal %zu/%d runs) (target ratio under 1.5): FAIL\n",
                hk.size(), runs, mini.size(), runs);
    return 0;
  }
  const double mh = Median(hk), mm = Median(mini);
  std::printf("   Hotkeys median %.1f ms (%zu/%d runs), tray_minimal median %.1f ms (%zu/%d runs)\n", mh, hk.size(),
              runs, mm, mini.size(), runs);
  std::printf("   ratio %.2f (target under 1.5): %s\n", mh / mm, Verdict(mh / mm < 1.5 && hk.size() == size_t(runs)));
  return 0;
}
