// A save with many active entries, and the tray's "Hot Programs" submenu they fill, in the program's own
// editor: for 1,000 and 10,000 active "Open Program or File" entries, the time from Apply to the program
// handling messages again (the file written, every hot key unregistered and registered again, the command
// list and the submenu rebuilt), and the time to open the submenu from the open tray menu until it is
// shown and idle. Meanwhile another thread asks the editor's window for an answer every 20 ms and keeps
// the longest wait. Targets: 10 times the entries cost at most 20 times the time (no worse than linear,
// with room for the machine), and no wait of a second or more.
// Usage: hotprograms_bench [runs, default 5]
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "BenchHotkeys.h"
#include "BenchProgram.h"
#include "BenchSupport.h"
#include "Definitions.h"
#include "FileUtil.h"
#include "FormReader.h"
#include "Forms.h"
#include "IniFiles.h"
#include "Menus.h"
#include "SaSysHot.h"
#include "WinSkinData.h"
#include "WinSkinDlg.h"
#include "WinString.h"
#include "WindowSubclass.h"
#include "hkEdit.h"

namespace {

using benchsupport::Fail;
using benchsupport::Median;
using benchsupport::Ms;
using benchsupport::Now;

constexpr double kLongestWaitMs = 1000.0;
constexpr double kGrowthLimit = 20.0;  // for ten times the entries

// Asks a window for an answer every 20 ms from its own thread and keeps the longest wait.
class TAnswerWatch {
 public:
  explicit TAnswerWatch(HWND wnd) : wnd_(wnd), thread_([this] { Run(); }) {}
  ~TAnswerWatch() {
    stop_ = true;
    thread_.join();
  }
  double LongestMs() const { return longestUs_.load() / 1000.0; }
  void Reset() { longestUs_ = 0; }

 private:
  void Run() {
    while (!stop_) {
      const LONGLONG start = Now();
      DWORD_PTR result = 0;
      SendMessageTimeoutW(wnd_, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result);
      const auto us = static_cast<long long>(Ms(Now() - start) * 1000.0);
      if (us > longestUs_) longestUs_ = us;
      Sleep(20);
    }
  }

  HWND wnd_;
  std::atomic<bool> stop_{false};
  std::atomic<long long> longestUs_{0};
  std::thread thread_;
};

// Active entries that all open a program, so that each one is an item of the submenu.
hk::Definitions HotPrograms(int count) {
  hk::Definitions defs = benchsupport::MakeDefinitions(count, true);
  for (size_t i = 0; i < defs.entries.size(); ++i) {
    hk::HotkeyEntry& e = defs.entries[i];
    e.action = std::string(hk::ActionNames[hk::haOpenProgram]);
    e.actionNumber = hk::haOpenProgram;
    e.data = "\"C:\\Program Files\\Tools\\app" + std::to_string(i) + ".exe\" -x";
    e.show = std::string(hk::ShowNames[0]);
    e.startIn = "C:\\Work";
  }
  return defs;
}

class Bench {
 public:
  explicit Bench(cl::TApplication& application) : app_(application) {
    const std::string exe = app_.ExeName();
    file_ = cl::ExtractFilePath(exe) + "hotprograms_bench.hkd";
    cl::TIniFile ini(cl::ChangeFileExt(exe, ".ini"));
    ini.WriteInteger("Settings", "AutoRun", 0);  // no autorun value for a benchmark
    ini.WriteString("Settings", "HKDFile", file_);
    benchsupport::WriteOneRowDefinitions(file_);
    app_.CreateForm(editor_);
    menu_ = cl::ComponentAs<cl::TPopupMenu>(editor_, "ppmTrayMenu");
    submenu_ = cl::ComponentAs<cl::TMenuItem>(editor_, "mnuHotkeys");
  }
  ~Bench() {
    // Back to one entry before the end, so that the program's end is not measured with the benchmark.
    benchsupport::WriteOneRowDefinitions(file_);
    editor_->OpenDefinitionsFile(file_);
    DeleteFileW(cl::ToWide(file_).c_str());
  }

  HWND Window() const { return editor_->Handle(); }

  void Open(int entries) {
    hk::SaveDefinitions(file_, HotPrograms(entries));
    editor_->OpenDefinitionsFile(file_);
    app_.ProcessMessages();
    if (submenu_->Count() != entries) Fail("the submenu does not hold every entry");
  }

  // What Apply does with a change pending, until the messages queued meanwhile are handled.
  double Save() {
    editor_->SetModified(true);
    const LONGLONG start = Now();
    editor_->SaveDefinitions();
    app_.ProcessMessages();
    return Ms(Now() - start);
  }

  // The menu drawn by the system instead of the skin: which of the two the opening costs.
  void SetSkinned(bool on) {
    skin::SkinManager()->ManagerActive = on;
    menu_->SetOwnerDraw(on);
  }

  // Every hot key unregistered and registered again, alone.
  double Reregister() {
    auto* keys = cl::ComponentAs<toolkit::TSaSysHotKey>(editor_, "SysHotkeys");
    const LONGLONG start = Now();
    keys->SetActive(false);
    keys->SetActive(true);
    return Ms(Now() - start);
  }

  // The tray menu opened; once it is idle, "p" opens the submenu; once that is shown and idle, both close.
  double OpenSubmenu() {
    LONGLONG start = 0, end = 0;
    bool submenuUp = false;
    const HMENU submenu = submenu_->Handle();
    cl::TWindowSubclass watch(Window(), [&](HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
      if (msg == WM_INITMENUPOPUP && reinterpret_cast<HMENU>(wParam) == submenu) submenuUp = true;
      if (msg == WM_ENTERIDLE && wParam == MSGF_MENU) {
        if (!start) {
          start = Now();
          PostMessageW(wnd, WM_CHAR, 'p', 0);
        } else if (submenuUp && !end) {
          end = Now();
          EndMenu();
        }
      }
      return cl::TWindowSubclass::CallPrevious(wnd, msg, wParam, lParam);
    });
    menu_->Popup(200, 200);
    if (!end) Fail("the submenu did not open");
    return Ms(end - start);
  }

 private:
  cl::TApplication& app_;
  std::string file_;
  hk::TfrmHotkeyEdit* editor_ = nullptr;
  cl::TPopupMenu* menu_ = nullptr;
  cl::TMenuItem* submenu_ = nullptr;
};

struct Result {
  double save = 0, registration = 0, submenu = 0, longestWait = 0;
};

Result Measure(Bench& bench, TAnswerWatch& watch, int entries, int runs) {
  bench.Open(entries);
  bench.Save();  // warm-up
  bench.OpenSubmenu();
  watch.Reset();
  std::vector<double> saves, registrations, opens;
  for (int i = 0; i < runs; ++i) {
    saves.push_back(bench.Save());
    registrations.push_back(bench.Reregister());
    opens.push_back(bench.OpenSubmenu());
  }
  Result r{Median(saves), Median(registrations), Median(opens), watch.LongestMs()};
  bench.SetSkinned(false);
  std::vector<double> plainOpens;
  for (int i = 0; i < runs; ++i) plainOpens.push_back(bench.OpenSubmenu());
  bench.SetSkinned(true);
  std::printf("%6d active entries: save to responsive %7.1f ms, open the submenu %7.1f ms (unskinned %7.1f ms), "
              "longest wait for an answer %7.1f ms %s; the hot keys alone registered again %6.1f ms\n",
              entries, r.save, r.submenu, Median(plainOpens), r.longestWait,
              r.longestWait < kLongestWaitMs ? "PASS" : "FAIL", r.registration);
  std::fflush(stdout);
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = std::max(argc > 1 ? std::atoi(argv[1]) : 5, 1);
  cl::TApplication application;
  benchsupport::InitializeProgram(application);

  Bench bench(application);
  TAnswerWatch watch(bench.Window());
  const Result small = Measure(bench, watch, 1000, runs);
  const Result large = Measure(bench, watch, 10000, runs);
  const double saveGrowth = large.save / small.save, openGrowth = large.submenu / small.submenu;
  const double registrationGrowth = large.registration / small.registration;
  std::printf("ten times the entries: save %.1f times (the hot keys %.1f times), submenu %.1f times the time "
              "(target: at most %.0f) %s\n",
              saveGrowth, registrationGrowth, openGrowth, kGrowthLimit,
              saveGrowth <= kGrowthLimit && openGrowth <= kGrowthLimit ? "PASS" : "FAIL");
  return 0;
}
