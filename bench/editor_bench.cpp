// The editor with a 10,000-entry definitions file: the time from opening the file to the table holding
// every row and painted, from showing the editor to the table painted, and from a click on a column's
// header to the rows sorted, saved and painted; then with 100,000 entries the opening, the reload and the
// click again, each held to growing no worse than linearly. The program's own main window, description and code run
// here; the only difference from the program is that the clicks and commands come from this benchmark.
// Usage: editor_bench [runs, default 7] (the files are kept beside the benchmark)
// Exit code 0 when every target is met, 1 otherwise.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "Definitions.h"
#include "FileUtil.h"
#include "Forms.h"
#include "FormReader.h"
#include "HotkeyText.h"
#include "SaRegister.h"
#include "WinSkinData.h"
#include "SaSortListView.h"
#include "StdClasses.h"
#include "SysUtils.h"
#include "WinString.h"
#include "hkEdit.h"
#include "BenchHotkeys.h"
#include "BenchProgram.h"
#include "BenchSupport.h"

namespace {

using benchsupport::Median;
using benchsupport::Ms;
using benchsupport::Now;

constexpr int kEntries = 10000;
constexpr int kLargeEntries = 100000;
constexpr double kLoadTargetMs = 1000.0;
constexpr double kSortTargetMs = 200.0;

std::wstring ItemText(HWND list, int row, int column) {
  wchar_t buf[512] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buf;
  item.cchTextMax = 512;
  SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return buf;
}

using benchsupport::Fail;

class Bench {
 public:
  explicit Bench(cl::TApplication& application) : app_(application) {
    const std::string exe = app_.ExeName();
    dir_ = cl::ExtractFilePath(exe);
    small_ = dir_ + "editor_bench_small.hkd";
    big_ = dir_ + "editor_bench_10000.hkd";
    active_ = dir_ + "editor_bench_10000_active.hkd";
    large_ = dir_ + "editor_bench_100000.hkd";
    benchsupport::WriteBenchSettings(cl::ChangeFileExt(exe, ".ini"), small_, true);
    WriteSmall();
    inactiveDefs_ = benchsupport::MakeDefinitions(kEntries, false);
    activeDefs_ = benchsupport::MakeDefinitions(kEntries, true);
    hk::SaveDefinitions(big_, inactiveDefs_);

    app_.CreateForm(editor_);
    list_ = cl::ComponentAs<toolkit::TSaSortListView>(editor_, "lvHotkeys")->Handle();
    header_ = reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0));
    if (!header_) Fail("the table has no header");
  }

  ~Bench() {
    editor_->Hide();
    DeleteFileW(cl::ToWide(big_).c_str());
    DeleteFileW(cl::ToWide(active_).c_str());
    DeleteFileW(cl::ToWide(small_).c_str());
    DeleteFileW(cl::ToWide(large_).c_str());
  }

  // Opening the file while the editor is shown: what the Load button does once the file is chosen.
  double OpenShown(const std::string& file, const hk::Definitions& defs) {
    PrepareSmall(true);
    hk::SaveDefinitions(file, defs);
    rows_ = static_cast<int>(defs.entries.size());
    const LONGLONG start = Now();
    editor_->OpenDefinitionsFile(file);
    Paint();
    const double ms = Ms(Now() - start);
    CheckFilled();
    return ms;
  }

  // The file read again into the editor that shows it (what Undo does once confirmed).
  double Reload() {
    const LONGLONG start = Now();
    editor_->ReloadDefinitions();
    Paint();
    const double ms = Ms(Now() - start);
    CheckFilled();
    return ms;
  }

  // Opening the file while the editor is hidden (what the start does), then the editor shown (the tray
  // menu, a second start).
  double OpenThenShow(const std::string& file, const hk::Definitions& defs) {
    PrepareSmall(false);
    hk::SaveDefinitions(file, defs);
    rows_ = static_cast<int>(defs.entries.size());
    const LONGLONG start = Now();
    editor_->OpenDefinitionsFile(file);
    editor_->ShowEditor();
    Paint();
    const double ms = Ms(Now() - start);
    CheckFilled();
    return ms;
  }

  // Only the showing of an editor that holds the rows already.
  double Show() {
    editor_->Hide();
    app_.ProcessMessages();
    const LONGLONG start = Now();
    editor_->ShowEditor();
    Paint();
    const double ms = Ms(Now() - start);
    CheckFilled();
    return ms;
  }

  // A click on a column's header: the rows sorted (and, with no other changes pending, saved and the hot
  // keys registered again), the table painted.
  double ClickColumn(int column) {
    RECT r{};
    if (!SendMessageW(header_, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&r)))
      Fail("no such column");
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    const LONGLONG start = Now();
    SendMessageW(header_, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(header_, WM_LBUTTONUP, 0, at);
    Paint();
    const double ms = Ms(Now() - start);
    CheckFilled();
    CheckSorted(column);
    return ms;
  }

  const std::string& BigFile() const { return big_; }
  const std::string& ActiveFile() const { return active_; }
  const std::string& LargeFile() const { return large_; }
  const hk::Definitions& Inactive() const { return inactiveDefs_; }
  const hk::Definitions& Active() const { return activeDefs_; }

 private:
  void WriteSmall() { benchsupport::WriteOneRowDefinitions(small_); }

  // Back to the one-row file (untimed), the editor shown or hidden.
  void PrepareSmall(bool shown) {
    editor_->OpenDefinitionsFile(small_);
    if (shown) editor_->ShowEditor();
    else editor_->Hide();
    Paint();
    if (SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0) != 1) Fail("the one-row file did not load");
  }

  // Everything queued handled; the window paints last, when nothing else is waiting.
  void Paint() {
    app_.ProcessMessages();
    UpdateWindow(editor_->Handle());
  }

  void CheckFilled() {
    if (SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0) != rows_) Fail("the table does not hold every row");
    if (!IsWindowVisible(list_)) Fail("the table is not shown");
    if (GetUpdateRect(list_, nullptr, FALSE)) Fail("the table is not painted");
  }

  void CheckSorted(int column) {
    // The first rows in the order of the column one way or the other, and not all equal.
    const std::string a = cl::LowerCase(cl::FromWide(ItemText(list_, 0, column)));
    const std::string b = cl::LowerCase(cl::FromWide(ItemText(list_, 1, column)));
    const std::string z = cl::LowerCase(cl::FromWide(ItemText(list_, rows_ - 1, column)));
    if (!((a <= b && b <= z) || (a >= b && b >= z))) Fail("the rows are not sorted");
  }

  cl::TApplication& app_;
  std::string dir_, small_, big_, active_, large_;
  int rows_ = 0;
  hk::Definitions inactiveDefs_, activeDefs_;
  hk::TfrmHotkeyEdit* editor_ = nullptr;
  HWND list_ = nullptr;
  HWND header_ = nullptr;
};

bool allPass = true;

void Report(const char* what, const std::vector<double>& times, double target) {
  const double median = Median(times);
  const double best = *std::min_element(times.begin(), times.end());
  const double worst = *std::max_element(times.begin(), times.end());
  std::printf("%s: median %.0f ms (%.0f-%.0f) over %zu runs", what, median, best, worst, times.size());
  if (target > 0) {
    allPass = allPass && median < target;
    std::printf(" (target: under %.0f ms) %s", target, median < target ? "PASS" : "FAIL");
  }
  std::printf("\n");
  std::fflush(stdout);
}

// The same step with ten times the rows: no worse than ten times the time.
void ReportGrowth(const char* what, const std::vector<double>& large, const std::vector<double>& small) {
  const double factor = Median(large) / Median(small);
  const bool pass = factor <= static_cast<double>(kLargeEntries) / kEntries;
  allPass = allPass && pass;
  std::printf("%s: median %.0f ms (%.0f-%.0f) over %zu runs against %.0f ms with %d entries, factor %.1f "
              "(target: at most %d, linear) %s\n",
              what, Median(large), *std::min_element(large.begin(), large.end()),
              *std::max_element(large.begin(), large.end()), large.size(), Median(small), kEntries, factor,
              kLargeEntries / kEntries, pass ? "PASS" : "FAIL");
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = std::max(argc > 1 ? std::atoi(argv[1]) : 7, 1);
  cl::TApplication application;
  benchsupport::InitializeProgram(application);

  Bench bench(application);
  std::printf("editor with %d entries (combinations inactive unless said)\n", kEntries);

  std::vector<double> open, openShow, show, reload, sort;
  for (int i = 0; i < runs; ++i) open.push_back(bench.OpenShown(bench.BigFile(), bench.Inactive()));
  Report("  open the file in the shown editor to the table painted", open, kLoadTargetMs);
  for (int i = 0; i < runs; ++i) openShow.push_back(bench.OpenThenShow(bench.BigFile(), bench.Inactive()));
  Report("  open the file hidden, then show the editor, to the table painted", openShow, kLoadTargetMs);
  for (int i = 0; i < runs; ++i) show.push_back(bench.Show());
  Report("  show the editor holding the rows", show, 0);
  for (int i = 0; i < runs; ++i) reload.push_back(bench.Reload());
  Report("  reload the file in the shown editor to the table painted", reload, kLoadTargetMs);

  // Description up and down, then other columns: each click reorders every row.
  static const int columns[] = {0, 0, 1, 2, 4, 3, 5, 1, 0};
  for (int i = 0; i < std::max(runs, static_cast<int>(std::size(columns))); ++i)
    sort.push_back(bench.ClickColumn(columns[static_cast<size_t>(i) % std::size(columns)]));
  Report("  click a column header to the rows sorted, saved and painted", sort, kSortTargetMs);

  // What the open does besides the table: reading the file for the table and again for the registration.
  std::vector<double> read, plan;
  for (int i = 0; i < runs; ++i) {
    LONGLONG start = Now();
    const hk::LoadedDefinitions loaded = hk::LoadDefinitions(bench.BigFile());
    read.push_back(Ms(Now() - start));
    start = Now();
    const hk::RegistrationPlan registration = hk::PlanRegistration(hk::LoadDefinitionRecords(bench.BigFile()).records);
    plan.push_back(Ms(Now() - start));
    if (loaded.entries.size() != static_cast<size_t>(kEntries)) Fail("the file does not read back");
  }
  Report("    of which reading the file for the table", read, 0);
  Report("    of which reading it again and planning the registration", plan, 0);

  // Inactive and active in turn, so that a drift of the machine's speed touches both alike; the cost is
  // the median of the pairs' differences.
  std::vector<double> inactive, active, difference;
  for (int i = 0; i < runs; ++i) {
    inactive.push_back(bench.OpenShown(bench.BigFile(), bench.Inactive()));
    active.push_back(bench.OpenShown(bench.ActiveFile(), bench.Active()));
    difference.push_back(active.back() - inactive.back());
  }
  std::printf("  with every combination active (1,605 distinct, registered; the rest repeat them), in turn with none:\n");
  Report("    open the file in the shown editor, every combination active", active, 0);
  Report("    open the file in the shown editor, none active", inactive, 0);
  std::printf("    registration costs %.0f ms (median of %zu pairs; %.0f to %.0f)\n", Median(difference),
              difference.size(), *std::min_element(difference.begin(), difference.end()),
              *std::max_element(difference.begin(), difference.end()));

  const hk::Definitions large = benchsupport::MakeDefinitions(kLargeEntries, false);
  const int largeRuns = std::max(runs / 2, 1);
  std::printf("editor with %d entries (inactive)\n", kLargeEntries);
  std::vector<double> largeOpen, largeReload, largeSort;
  for (int i = 0; i < largeRuns; ++i) largeOpen.push_back(bench.OpenShown(bench.LargeFile(), large));
  ReportGrowth("  open the file in the shown editor to the table painted", largeOpen, open);
  for (int i = 0; i < largeRuns; ++i) largeReload.push_back(bench.Reload());
  ReportGrowth("  reload the file in the shown editor to the table painted", largeReload, reload);
  for (int i = 0; i < largeRuns; ++i)
    largeSort.push_back(bench.ClickColumn(columns[static_cast<size_t>(i) % std::size(columns)]));
  ReportGrowth("  click a column header to the rows sorted, saved and painted", largeSort, sort);
  std::printf("%s\n", allPass ? "PASS" : "FAIL");
  return allPass ? 0 : 1;
}
