// Idle CPU of Pellwick (user and kernel time of its threads) over some seconds, in three states:
//   a) no task, the main window shown, the cursor away from it: also its wake-ups (target: none from
//      timers; the host kernel's count of the window thread's sleeps, under one a second);
//   b) a count-down running (started by the program itself from its config.ini), in the tray;
//   c) waiting for a time of day nearly a day away, in the tray.
// Target: under 1% of one core in each. The tasks are set a day long: nothing here falls due.
// Usage: pellwick_bench <Pellwick.exe> [seconds]
// Exit code 0 when every target is met, 1 otherwise (2 for bad arguments).
#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "Process.h"
#include "TimerSettings.h"
#include "TrayProbe.h"
#include "BenchSupport.h"

namespace {

using namespace benchsupport;

enum class Mode { NoTask, CountDown, TimeOfDay };

// The settings that start the task half a second after start-up, with "Remind" on.
void WriteConfig(const std::string& dir, Mode mode) {
  cl::TIniFile ini = pellwick::OpenConfig(dir);
  pellwick::TTimeSettings s;
  s.remind = true;
  if (mode == Mode::CountDown) {
    s.countDown = true;
    s.seconds = "86400";
  } else {
    // Two minutes ago: due again only tomorrow.
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const int target = ((now.wHour * 60 + now.wMinute) * 60 + now.wSecond - 120 + 86400) % 86400;
    s.exactTime = true;
    s.hour = target / 3600;
    s.minute = target / 60 % 60;
    s.second = target % 60;
  }
  pellwick::WriteTimeSettings(ini, s);
  ini.WriteBool(pellwick::SectionStartup, pellwick::KeyRunTaskAtStart, true);
}

struct Idle {
  double cpu = 0;          // % of one core
  double wakeups = -1;     // a second, of the window thread; negative: not counted
};

// CPU of the program in `mode` over `seconds`, as % of one core; nullopt when it did not reach the state.
std::optional<Idle> IdleCpu(const std::string& exe, Mode mode, double seconds) {
  Scratch scratch("pw-bench-" + std::to_string(static_cast<int>(mode)));
  const std::string copy = hktest::CopyFileTo(exe, scratch.path);
  if (copy.empty()) return std::nullopt;
  if (mode != Mode::NoTask) WriteConfig(scratch.path, mode);
  hktest::ChildProcess child;
  if (!child.Start(copy, {}, scratch.path)) return std::nullopt;
  std::optional<Idle> result;
  const std::string tag = scratch.path.substr(scratch.path.find_last_of('\\') + 1) + "\\pellwick.exe";
  if (HWND main = hktest::WaitForWindow("TForm1", child.Pid(), 30000); !main) {
    std::printf("   (no main window within 30 s)\n");
  } else {
    WaitForInputIdle(child.Handle(), 5000);
    // With a task, the program is in the tray once the task runs; a moment more for start-up to settle.
    const ULONGLONG end = GetTickCount64() + 10000;
    bool ready = mode == Mode::NoTask;
    while (!ready && GetTickCount64() < end) {
      ready = hktest::ProcessHasTrayIcon(child.Pid(), 1);
      Sleep(20);
    }
    // The cursor well away from the window, where nothing of it is hot.
    RECT r{};
    GetWindowRect(main, &r);
    SetCursorPos(r.right + 100 < GetSystemMetrics(SM_CXSCREEN) ? r.right + 100 : 0,
                 r.bottom + 100 < GetSystemMetrics(SM_CYSCREEN) ? r.bottom + 100 : 0);
    Sleep(1000);
    if (!ready) std::printf("   (no tray icon within 10 s)\n");
    if (!child.Running()) std::printf("   (the program ended)\n");
    if (ready && child.Running()) {
      LARGE_INTEGER f, c0, c1;
      QueryPerformanceFrequency(&f);
      const double cpu0 = CpuSeconds(child.Pid());
      const long wake0 = HostWakeups(tag);
      QueryPerformanceCounter(&c0);
      const bool ended = WaitForSingleObject(child.Handle(), static_cast<DWORD>(seconds * 1000)) == WAIT_OBJECT_0;
      const double cpu1 = CpuSeconds(child.Pid());
      const long wake1 = HostWakeups(tag);
      QueryPerformanceCounter(&c1);
      const double wall = static_cast<double>(c1.QuadPart - c0.QuadPart) / static_cast<double>(f.QuadPart);
      if (!ended)
        result = Idle{100.0 * (cpu1 - cpu0) / wall,
                      wake0 >= 0 && wake1 >= 0 ? static_cast<double>(wake1 - wake0) / wall : -1.0};
    }
  }
  child.Close();  // ends it: nothing of it is kept
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: pellwick_bench <Pellwick.exe> [seconds]\n");
    return 2;
  }
  setvbuf(stdout, nullptr, _IONBF, 0);
  const std::string exe = FullPath(argv[1]);
  const double seconds = argc > 2 ? std::max(1.0, std::atof(argv[2])) : 10.0;
  const struct {
    Mode mode;
    const char* what;
  } runs[] = {{Mode::NoTask, "a) no task, main window shown"},
              {Mode::CountDown, "b) count-down running, in the tray"},
              {Mode::TimeOfDay, "c) waiting for a time of day, in the tray"}};
  bool ok = true;
  for (const auto& run : runs) {
    std::printf("%s, over %.0f s\n", run.what, seconds);
    const auto idle = IdleCpu(exe, run.mode, seconds);
    if (!idle) {
      std::printf("   the program did not reach that state, or ended (target under 1%%): FAIL\n");
      ok = false;
      continue;
    }
    std::printf("   CPU %.3f%% of one core (target under 1%%): %s\n", idle->cpu, idle->cpu < 1.0 ? "PASS" : "FAIL");
    ok = ok && idle->cpu < 1.0;
    if (run.mode != Mode::NoTask) continue;
    if (idle->wakeups < 0) {
      std::printf("   wake-ups of its window thread not counted (no host process folder found): FAIL\n");
      ok = false;
    } else {
      std::printf("   %.2f wake-ups a second of its window thread (target under 1: no timer): %s\n", idle->wakeups,
                  idle->wakeups < 1.0 ? "PASS" : "FAIL");
      ok = ok && idle->wakeups < 1.0;
    }
  }
  return ok ? 0 : 1;
}
