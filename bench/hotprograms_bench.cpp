// A save with many active entries, and the tray's "Hot Programs" submenu they fill, in the program's own
// editor: for 1,000 and 10,000 active entries that each have an item there, the time from Apply to the
// program handling messages again (the file written, every hot key unregistered and registered again, the
// command list and the submenu rebuilt), and the time to open the submenu from the open tray menu until
// it is shown and idle. Meanwhile another thread asks the editor's window for an answer every 20 ms and
// keeps the longest wait. Beside them, a bare menu of as many entries for a plain window, of strings and
// owner-drawn (as the skin draws the submenu): what the system itself costs, also before the program's
// windows exist (a thread hook on sent messages would be called for every entry measured, were it not to
// step aside while a menu measures, and the skinned owner's subclass on every one). Targets: 10 times the
// entries cost at most 20 times the time (no worse than linear, with room for the machine), and no wait
// of a second or more. Each figure is the median of the runs.
// Usage: hotprograms_bench [runs, default 5]
// A report, not a test: the exit code is 0 whatever the results (1 when a step did not happen).
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "BenchHotPrograms.h"
#include "BenchProgram.h"
#include "BenchSupport.h"
#include "Definitions.h"
#include "FileUtil.h"
#include "FormReader.h"
#include "Forms.h"
#include "Menus.h"
#include "SaSysHot.h"
#include "WinSkinData.h"
#include "WinSkinDlg.h"
#include "WinString.h"
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

// A bare popup of `count` items for a plain window of this program, strings or owner-drawn (measured at a
// fixed size), opened by TrackPopupMenu until it is shown and idle: what the system itself costs for such
// a menu, nothing of the class library or the skin in the way. The window keeps the time it went idle.
LRESULT CALLBACK BareProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_MEASUREITEM) {
    auto* d = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    d->itemWidth = 120;
    d->itemHeight = 18;
    return TRUE;
  }
  if (msg == WM_DRAWITEM) return TRUE;
  if (msg == WM_ENTERIDLE && wParam == MSGF_MENU) {
    auto* idle = reinterpret_cast<LONGLONG*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (idle && !*idle) *idle = Now();
    EndMenu();
  }
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

double BareOpen(int count, bool ownerDraw) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = BareProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"BareMenuOwner";
  RegisterClassW(&wc);  // from the second time on, it exists already
  const HWND wnd = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                                   wc.hInstance, nullptr);
  if (!wnd) Fail("no window for the bare menu");
  LONGLONG idle = 0;
  SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&idle));
  const HMENU menu = CreatePopupMenu();
  for (int i = 0; i < count; ++i) {
    const std::wstring text = L"Program " + std::to_wstring(i);
    AppendMenuW(menu, ownerDraw ? MF_OWNERDRAW : MF_STRING, 1 + i, ownerDraw ? nullptr : text.c_str());
  }
  SetForegroundWindow(wnd);
  const LONGLONG start = Now();
  TrackPopupMenu(menu, TPM_RETURNCMD, 200, 200, 0, wnd, nullptr);
  DestroyMenu(menu);
  DestroyWindow(wnd);
  if (!idle) Fail("the bare menu did not open");
  return Ms(idle - start);
}

class Bench {
 public:
  explicit Bench(cl::TApplication& application) : app_(application) {
    const std::string exe = app_.ExeName();
    file_ = cl::ExtractFilePath(exe) + "hotprograms_bench.hkd";
    benchsupport::WriteBenchSettings(cl::ChangeFileExt(exe, ".ini"), file_);
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
    hk::SaveDefinitions(file_, benchsupport::HotPrograms(entries));
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
  // Whether the submenu's entries are owner-drawn (the skin may make them so again as the menu opens).
  bool SubmenuOwnerDrawn() {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    GetMenuItemInfoW(submenu_->Handle(), 0, TRUE, &info);
    return (info.fType & MFT_OWNERDRAW) != 0;
  }

  // Every hot key unregistered and registered again, alone.
  double Reregister() {
    auto* keys = cl::ComponentAs<toolkit::TSaSysHotKey>(editor_, "SysHotkeys");
    const LONGLONG start = Now();
    keys->SetActive(false);
    keys->SetActive(true);
    return Ms(Now() - start);
  }

  // The tray menu opened, then the submenu, until that is shown and idle.
  double OpenSubmenu() {
    const double ms = benchsupport::OpenTrayMenuAndSubmenu(*editor_);
    if (ms < 0) Fail("the submenu did not open");
    return ms;
  }

 private:
  cl::TApplication& app_;
  std::string file_;
  hk::TfrmHotkeyEdit* editor_ = nullptr;
  cl::TPopupMenu* menu_ = nullptr;
  cl::TMenuItem* submenu_ = nullptr;
};

struct Result {
  double save = 0, registration = 0, submenu = 0, unskinned = 0, bareStrings = 0, bareOwnerDrawn = 0,
         longestWait = 0;
};

template <class F>
double MedianOf(int runs, F&& f) {
  std::vector<double> v;
  for (int i = 0; i < runs; ++i) v.push_back(f());
  return Median(v);
}

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
  Result r;
  r.save = Median(saves);
  r.registration = Median(registrations);
  r.submenu = Median(opens);
  r.longestWait = watch.LongestMs();
  bench.SetSkinned(false);
  r.unskinned = MedianOf(runs, [&] { return bench.OpenSubmenu(); });
  const bool stillOwnerDrawn = bench.SubmenuOwnerDrawn();
  bench.SetSkinned(true);
  r.bareStrings = MedianOf(runs, [&] { return BareOpen(entries, false); });
  r.bareOwnerDrawn = MedianOf(runs, [&] { return BareOpen(entries, true); });
  std::printf("%6d active entries: save to responsive %7.1f ms (the hot keys alone registered again %6.1f ms); "
              "open the submenu %7.1f ms (unskinned %7.1f ms, %s; a bare menu of as many entries: strings %7.1f ms, "
              "owner-drawn %7.1f ms); longest wait for an answer %7.1f ms (target: under %.0f) %s\n",
              entries, r.save, r.registration, r.submenu, r.unskinned,
              stillOwnerDrawn ? "the skin made the entries owner-drawn again" : "the entries drawn by the system",
              r.bareStrings, r.bareOwnerDrawn, r.longestWait,
              kLongestWaitMs, r.longestWait < kLongestWaitMs ? "PASS" : "FAIL");
  std::fflush(stdout);
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = std::max(argc > 1 ? std::atoi(argv[1]) : 5, 1);
  cl::TApplication application;
  benchsupport::InitializeProgram(application);

  // Before the program's windows exist: no hook of the thread's messages yet (a tool window raises one)
  // and no skin: the yardstick for the bare menu opened with them there.
  double unhooked[2] = {};
  for (int i = 0; i < 2; ++i)
    unhooked[i] = MedianOf(runs, [&] { return BareOpen(i ? 10000 : 1000, true); });
  std::printf("a bare owner-drawn menu before the program's windows exist: %.1f ms at 1000 entries, %.1f ms at 10000\n",
              unhooked[0], unhooked[1]);

  Bench bench(application);
  TAnswerWatch watch(bench.Window());
  const Result small = Measure(bench, watch, 1000, runs);
  const Result large = Measure(bench, watch, 10000, runs);
  const auto growth = [](const char* what, double x, double y) {
    const double ratio = y / std::max(x, 1e-6);
    std::printf("%s grows %.1f times for ten times the entries (target: at most %.0f) %s\n", what, ratio, kGrowthLimit,
                ratio <= kGrowthLimit ? "PASS" : "FAIL");
  };
  growth("save to responsive", small.save, large.save);
  growth("opening the submenu", small.submenu, large.submenu);
  growth("a bare owner-drawn menu's opening", small.bareOwnerDrawn, large.bareOwnerDrawn);
  std::printf("of the submenu's opening at 10000 entries, %.0f ms are the system's own owner-drawn menu with the "
              "program's windows there (%.0f ms before them)\n",
              large.bareOwnerDrawn, unhooked[1]);
  return 0;
}
