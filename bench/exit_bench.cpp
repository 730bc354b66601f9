// The program's end and its save once its tray menu and the "Hot Programs" submenu have been opened, at
// 1,000 and 10,000 active entries that each have an item there: the program's own main window in this
// process, its tray menu opened as the user opens it (the submenu by the keyboard), then a save (which
// rebuilds the submenu) and the end (destroying the window with its menus). Both must grow linearly with
// the entries (target: ten times the entries cost at most 20 times as much). Each figure is the median of
// three runs of the window, the save's of five saves each.
// Usage: exit_bench [smaller count, default 1000]
// A report, not a test: the exit code is 0 whatever the results (1 when the menu could not be opened).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchHotPrograms.h"
#include "BenchProgram.h"
#include "BenchSupport.h"
#include "Definitions.h"
#include "FileUtil.h"
#include "FormReader.h"
#include "Forms.h"
#include "WinString.h"
#include "hkEdit.h"

namespace {

using namespace benchsupport;

constexpr double kGrowthTarget = 20.0;

struct Run {
  double saveSeconds = 0;
  double exitSeconds = 0;
};

constexpr int kSaves = 5;  // per program run, the median taken
constexpr int kRuns = 3;   // program runs per size, the median of each figure taken

// One program run: the editor made on `file`, its menus opened, saved kSaves times (the menus opened
// again after each), then ended.
Run MeasureOnce(cl::TApplication& application, const std::string& file, int count) {
  hk::TfrmHotkeyEdit* editor = nullptr;
  application.CreateForm(editor);
  application.ProcessMessages();
  if (static_cast<int>(editor->Commands().size()) != count) Fail("the entries were not all registered");
  if (OpenTrayMenuAndSubmenu(*editor) < 0) Fail("the Hot Programs submenu did not open");

  std::vector<double> saves;
  for (int i = 0; i < kSaves; ++i) {
    const LONGLONG start = Now();
    if (!editor->SaveDefinitions()) Fail("the save failed");
    application.ProcessMessages();
    saves.push_back(Seconds(Now() - start));
    if (OpenTrayMenuAndSubmenu(*editor) < 0) Fail("the Hot Programs submenu did not open after the save");
  }

  Run run;
  run.saveSeconds = Median(saves);
  const LONGLONG start = Now();
  delete editor;
  application.ProcessMessages();
  run.exitSeconds = Seconds(Now() - start);
  return run;
}

Run Measure(cl::TApplication& application, int count) {
  const std::string dir = cl::ExtractFilePath(application.ExeName());
  const std::string file = dir + "exit_bench.hkd";
  hk::SaveDefinitions(file, HotPrograms(count));
  benchsupport::WriteBenchSettings(cl::ChangeFileExt(application.ExeName(), ".ini"), file, true);
  std::vector<double> saves, exits;
  for (int i = 0; i < kRuns; ++i) {
    const Run run = MeasureOnce(application, file, count);
    saves.push_back(run.saveSeconds);
    exits.push_back(run.exitSeconds);
  }
  DeleteFileW(cl::ToWide(file).c_str());
  return Run{Median(saves), Median(exits)};
}

}  // namespace

int main(int argc, char** argv) {
  const int smaller = std::max(argc > 1 ? std::atoi(argv[1]) : 1000, 100);
  const int larger = smaller * 10;
  cl::TApplication application;
  InitializeProgram(application);

  const Run a = Measure(application, smaller);
  std::printf("%6d entries in Hot Programs, the submenu opened: save %.3f s, exit %.3f s\n", smaller,
              a.saveSeconds, a.exitSeconds);
  std::fflush(stdout);
  const Run b = Measure(application, larger);
  std::printf("%6d entries in Hot Programs, the submenu opened: save %.3f s, exit %.3f s\n", larger,
              b.saveSeconds, b.exitSeconds);
  const auto growth = [&](const char* what, double x, double y) {
    const double ratio = y / std::max(x, 1e-6);
    std::printf("%s grows %.1f times for ten times the entries (target: at most %.0f) %s\n", what, ratio,
                kGrowthTarget, ratio <= kGrowthTarget ? "PASS" : "FAIL");
  };
  growth("save", a.saveSeconds, b.saveSeconds);
  growth("exit", a.exitSeconds, b.exitSeconds);
  return 0;
}
