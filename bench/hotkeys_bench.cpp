// Costs of Hotkeys in the tray, measured against the yardsticks beside it:
//   a) CPU (user and kernel time) of an idle Hotkeys over some seconds once its icon is in the tray (target under 1% of a core);
//   b) CPU of a tray icon playing "Key being pressed" endlessly (target under 2%), and of Hotkeys playing it
//      while a hot key of an action that does nothing here is pressed as each play ends, against the bare
//      program in four back-to-back pairs of runs (target: median ratio of the pairs at most 1.2), both from
//      the host kernel's account;
//   c) time from CreateProcess to the icon in the tray and to ready (start-up over: the program first
//      waits for input; for Hotkeys its definitions are read and its hot keys held by then), Hotkeys
//      against a bare tray program under the same conditions: the same pause after the previous program
//      has ended, the order alternating (target: median ratio to the icon under 1.5; the ratio to ready is
//      told without a target, since the bare program has nothing to get ready: Hotkeys makes its editor's
//      windows, reads its definitions and registers its hot keys before it first waits).
// Usage: hotkeys_bench <Hotkeys.exe> <tray_minimal.exe> [<tray_animated.exe>] [seconds] [runs]
// Exit code 0 when every target is met, 1 otherwise (a step that measured nothing fails), 2 for bad
// arguments.
#include <windows.h>
#include <winternl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
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
// The quiet time before every start of either program, after the previous one has ended.
constexpr DWORD kPauseMs = 500;

// A few entries on combinations nobody presses during the run.
void WriteDefinitions(const std::string& file) {
  hk::Definitions defs;
  const char* rows[][4] = {{"Editor", "EDIT", "Ctrl+Alt+Shift+F9", "Open Program or File"},
                           {"List", "LIST", "Ctrl+Alt+Shift+F10", "View Hotkey List"},
                           {"Folder", "FOLD", "Ctrl+Alt+Shift+F11", "Open a Folder"},
                           {"Clipboard", "CLI1", "Ctrl+Alt+Shift+F12", "Switch to Virtual Clipboard"},
                           {"Animate", "ANIM", "Ctrl+Alt+Shift+F8", "Undo Minimize All"}};
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
             : e.action == "Undo Minimize All"         ? ""
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

// A program measured here: its file, the folder it starts in and the class of the window that ends it.
struct Program {
  std::string exe;
  std::string dir;
  const char* mainClass;
};

// Asks the program to end (message 3028 to its main window, else WM_CLOSE to its windows), then ends it.
void Stop(hktest::ChildProcess& child, const Program& program) {
  if (!child.Running()) return;
  if (HWND main = hktest::FindProcessWindow(program.mainClass, child.Pid())) {
    PostMessageW(main, kQuitMessage, kQuitMessage, 0);
  } else {
    EnumWindows(CloseProcessWindow, static_cast<LPARAM>(child.Pid()));
  }
  if (!child.WaitExit(5000)) std::printf("  (%lu did not end by itself; terminated)\n", child.Pid());
  child.Close();
}

// Starts the program and returns the seconds until its icon was in the tray (nullopt: it never was).
// Polls about every millisecond: the shell tells nobody when an icon arrives.
std::optional<double> StartToTray(hktest::ChildProcess& child, const Program& program) {
  const LONGLONG start = Now();
  if (!child.Start(program.exe, {}, program.dir)) return std::nullopt;
  const LONGLONG end = start + static_cast<LONGLONG>(kTrayTimeoutMs / 1000.0 / Seconds(1));
  while (Now() < end) {
    if (hktest::ProcessHasTrayIcon(child.Pid())) return Seconds(Now() - start);
    if (!child.Running()) return std::nullopt;
    Sleep(1);
  }
  return std::nullopt;
}

// Seconds from the start to the icon and to ready: the first time the program waits for input, which
// is when its start-up is over (the system's input-idle signal, the same for both programs).
struct StartTimes {
  std::optional<double> icon;
  std::optional<double> ready;
};

StartTimes StartToReady(hktest::ChildProcess& child, const Program& program) {
  StartTimes times;
  const LONGLONG start = Now();
  if (!child.Start(program.exe, {}, program.dir)) return times;
  const LONGLONG end = start + static_cast<LONGLONG>(kTrayTimeoutMs / 1000.0 / Seconds(1));
  while (Now() < end && (!times.icon || !times.ready)) {
    if (!times.icon && hktest::ProcessHasTrayIcon(child.Pid())) times.icon = Seconds(Now() - start);
    if (!times.ready && WaitForInputIdle(child.Handle(), 0) == 0) times.ready = Seconds(Now() - start);
    if (!child.Running()) break;
    Sleep(1);
  }
  return times;
}

// Whether the combination Ctrl+Alt+Shift+key is taken by another program (it is given back at once).
// Asked only once the program is ready, so it cannot race the program's own registration.
bool CombinationHeld(UINT key) {
  if (!RegisterHotKey(nullptr, 0x5A5A, MOD_CONTROL | MOD_ALT | MOD_SHIFT, key)) return true;
  UnregisterHotKey(nullptr, 0x5A5A);
  return false;
}

// CPU use of a program over `seconds` once its icon is in the tray and its start-up is over, as % of
// one core.
std::optional<double> IdleCpu(const Program& program, double seconds) {
  hktest::ChildProcess child;
  if (!StartToTray(child, program)) {
    Stop(child, program);
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
  Stop(child, program);
  if (ended) return std::nullopt;
  return 100.0 * (cpu1 - cpu0) / wall;
}

// Every verdict given; the exit code says whether all passed.
bool allPass = true;

const char* Verdict(bool pass) {
  allPass = allPass && pass;
  return pass ? "PASS" : "FAIL";
}

// Runs of each program for the animation's CPU. The machine's load moves one run's figure by a third
// and more, so the target is held to the median ratio of several back-to-back pairs.
constexpr int kCpuRounds = 4;

double Least(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }
double Most(const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); }

// A press after the play has ended: a press during a play changes nothing.
constexpr DWORD kPressAfterMs = 20;

// Ctrl+Alt+Shift+F8 pressed and released, as the keyboard would.
void PressAnimateKey() {
  const BYTE keys[] = {VK_CONTROL, VK_MENU, VK_SHIFT, VK_F8};
  for (BYTE k : keys) keybd_event(k, 0, 0, 0);
  for (size_t i = std::size(keys); i-- > 0;) keybd_event(keys[i], 0, KEYEVENTF_KEYUP, 0);
}

int ThreadCount(DWORD pid) {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snap == INVALID_HANDLE_VALUE) return -1;
  THREADENTRY32 t{};
  t.dwSize = sizeof t;
  int count = 0;
  for (BOOL more = Thread32First(snap, &t); more; more = Thread32Next(snap, &t))
    if (t.th32OwnerProcessID == pid) ++count;
  CloseHandle(snap);
  return count;
}

// Milliseconds from a press to the end of the play it starts, told by the animation's timing thread, which
// lives only while the animation plays; 0 when the press plays nothing.
double PlayMs(const hktest::ChildProcess& child) {
  const int idle = ThreadCount(child.Pid());
  const LONGLONG start = Now();
  PressAnimateKey();
  bool began = false;
  while (Seconds(Now() - start) < 3.0) {
    const int now = ThreadCount(child.Pid());
    if (now > idle) began = true;
    else if (began) return 1000.0 * Seconds(Now() - start);
    Sleep(2);
  }
  return 0;
}

// CPU use of a program over `seconds` once its start-up is over, as % of one core, from the host kernel's
// account of the process whose command line holds `tag`. With `playMs`, the animation key is pressed as
// each play ends (the play's length measured first, untimed): the presses' own cost counts against it.
std::optional<double> HostCpu(const Program& program, const std::string& tag, double seconds, double* playMs) {
  hktest::ChildProcess child;
  std::optional<double> result;
  if (StartToTray(child, program)) {
    WaitForInputIdle(child.Handle(), 5000);
    Sleep(500);
    DWORD period = 100;
    if (playMs) {
      *playMs = PlayMs(child);
      period = static_cast<DWORD>(*playMs) + kPressAfterMs;
      Sleep(period);
    }
    if (!playMs || *playMs > 0) {
      const double cpu0 = HostCpuSeconds(tag);
      const LONGLONG t0 = Now();
      const LONGLONG end = t0 + static_cast<LONGLONG>(seconds / Seconds(1));
      bool ended = false;
      while (!ended && Now() < end) {
        if (playMs) PressAnimateKey();
        ended = WaitForSingleObject(child.Handle(), period) == WAIT_OBJECT_0;
      }
      const double cpu1 = HostCpuSeconds(tag);
      const double wall = Seconds(Now() - t0);
      if (!ended && cpu0 >= 0 && cpu1 >= 0) result = 100.0 * (cpu1 - cpu0) / wall;
    }
  }
  Stop(child, program);
  return result;
}

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
    std::printf("cannot copy %s to %s: FAIL\n", hotkeys.c_str(), scratch.path.c_str());
    return 1;
  }
  const std::string base = copy.substr(0, copy.find_last_of('.'));
  try {
    WriteDefinitions(base + ".hkd");
  } catch (const std::exception& e) {
    std::printf("cannot write the definitions file: %s: FAIL\n", e.what());
    return 1;
  }

  std::printf("a) idle Hotkeys, %.0f s after its icon is in the tray\n", seconds);
  const Program hotkeysProgram{copy, scratch.path, "TfrmHotkeyEdit"};
  const Program minimalProgram{minimal, scratch.path, "HkTrayMinimal"};
  if (const auto cpu = IdleCpu(hotkeysProgram, seconds))
    std::printf("   CPU %.3f%% of one core (target under 1%%): %s\n", *cpu, Verdict(*cpu < 1.0));
  else
    std::printf("   no icon in the tray within %lu s, or the program ended (target under 1%%): %s\n",
                kTrayTimeoutMs / 1000, Verdict(false));

  std::printf("b) tray icon playing \"Key being pressed\", %.0f s a run, %d runs each, alternating, CPU from the host "
              "kernel's account of the whole process\n", seconds, kCpuRounds);
  const std::string animatedCopy = animated.empty() || !Exists(animated) ? std::string()
                                                                          : hktest::CopyFileTo(animated, scratch.path);
  if (animatedCopy.empty()) {
    std::printf("   tray_animated not built or not copied (target under 2%%): FAIL\n");
    allPass = false;
  } else if (CombinationHeld(VK_F8)) {
    std::printf("   Ctrl+Alt+Shift+F8 is held by another program: no measurement (target ratio at most 1.2): FAIL\n");
    allPass = false;
  } else {
    const Program animatedProgram{animatedCopy, scratch.path, "HkTrayAnimated"};
    const std::string folder = scratch.path.substr(scratch.path.find_last_of('\\') + 1);
    std::vector<double> bare, playing, ratio;
    double play = 0;
    for (int round = 0; round < kCpuRounds; ++round) {
      std::optional<double> a, h;
      for (int k = 0; k < 2; ++k) {
        Sleep(kPauseMs);
        if ((round + k) % 2 == 0)
          a = HostCpu(animatedProgram, folder + "\\tray_animated.exe", seconds, nullptr);
        else
          h = HostCpu(hotkeysProgram, folder + "\\hotkeys.exe", seconds, &play);
      }
      if (a) bare.push_back(*a);
      if (h) playing.push_back(*h);
      if (a && h && *a > 0) ratio.push_back(*h / *a);
    }
    const size_t rounds = kCpuRounds;
    if (bare.size() != rounds || playing.size() != rounds || ratio.size() != rounds) {
      std::printf("   no result (tray_animated %zu/%zu, Hotkeys %zu/%zu runs; the process or its account not found, or "
                  "the hot key did not play the animation): %s\n",
                  bare.size(), rounds, playing.size(), rounds, Verdict(false));
    } else {
      std::printf("   tray_animated, playing without end: CPU median %.3f%% of one core (%.3f-%.3f) (target under 2%%): %s\n",
                  Median(bare), Least(bare), Most(bare), Verdict(Median(bare) < 2.0));
      std::printf("   Hotkeys, its hot key pressed %.0f ms after each play began (a play lasting %.0f ms): CPU median %.3f%% "
                  "(%.3f-%.3f), median ratio of the pairs %.2f (%.2f-%.2f) (target at most 1.20): %s\n",
                  play + kPressAfterMs, play, Median(playing), Least(playing), Most(playing), Median(ratio), Least(ratio),
                  Most(ratio),
                  Verdict(Median(ratio) <= 1.2));
    }
  }

  std::printf("c) start to tray icon and to ready, %d runs each, alternating, %lu ms pause before every start\n",
              runs, kPauseMs);
  // Index 0: tray_minimal, 1: Hotkeys.
  const Program* programs[2] = {&minimalProgram, &hotkeysProgram};
  std::vector<double> icon[2], ready[2];
  int early = 0;
  for (int i = 0; i < runs; ++i) {
    // ABBA: neither program always follows the other.
    for (int k = 0; k < 2; ++k) {
      const int which = (i % 2 == 0) ? k : 1 - k;
      // The same quiet time after the previous program ended, whichever it was.
      Sleep(kPauseMs);
      hktest::ChildProcess child;
      const StartTimes t = StartToReady(child, *programs[which]);
      // Hotkeys is ready only with its hot keys held: checked now that it waits for input.
      const bool held = which == 0 || (t.ready && CombinationHeld(VK_F12));
      if (which == 1 && t.ready && !held) ++early;
      Stop(child, *programs[which]);
      if (t.icon) icon[which].push_back(*t.icon * 1000);
      if (t.ready && held) ready[which].push_back(*t.ready * 1000);
    }
  }
  if (early) std::printf("   (%d Hotkeys runs waited for input before their hot keys were held: not counted)\n", early);
  const auto report = [&](const char* what, const std::vector<double> (&times)[2], bool target) {
    if (times[0].empty() || times[1].empty()) {
      std::printf("   %-5s no result (Hotkeys %zu/%d, tray_minimal %zu/%d runs)%s\n", what, times[1].size(), runs,
                  times[0].size(), runs, target ? " (target ratio under 1.5): FAIL" : "");
      allPass = allPass && !target;
      return;
    }
    const double mh = Median(times[1]), mm = Median(times[0]);
    std::printf("   %-5s Hotkeys median %.1f ms (%zu/%d runs), tray_minimal median %.1f ms (%zu/%d runs), ratio %.2f", what,
                mh, times[1].size(), runs, mm, times[0].size(), runs, mh / mm);
    if (target)
      std::printf(" (target under 1.5): %s\n", Verdict(mh / mm < 1.5 && times[1].size() == size_t(runs)));
    else
      std::printf(" (no target)\n");
  };
  report("icon", icon, true);
  report("ready", ready, false);
  return allPass ? 0 : 1;
}
