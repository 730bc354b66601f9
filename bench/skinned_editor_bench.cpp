// The skinned editor with a 10,000-entry definitions file: a page scrolled in the table and a click on a
// column's header (the rows sorted and painted, a change pending so nothing is saved), skinned and, in
// alternating rounds of the same run, with the skin taken off the editor (no painter, no subclass); each
// held to its ratio and the click to its time; then the GDI objects of the process over many skinned
// scrolls and clicks.
// Usage: skinned_editor_bench [rounds, default 10] (the files are kept beside the benchmark); exit code 0
// when every target is met, 1 otherwise.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchHotkeys.h"
#include "BenchProgram.h"
#include "BenchSkin.h"
#include "BenchSupport.h"
#include "Definitions.h"
#include "FileUtil.h"
#include "Forms.h"
#include "FormReader.h"
#include "GdiObjects.h"
#include "MessageLoop.h"
#include "SaRegister.h"
#include "SaSortListView.h"
#include "SkinControl.h"
#include "StdClasses.h"
#include "WinSkinData.h"
#include "WinSkinDlg.h"
#include "WinSkinForm.h"
#include "WinString.h"
#include "hkEdit.h"

namespace {

using benchsupport::Ms;
using benchsupport::Now;

constexpr int kEntries = 10000;
// Per round and mode: page scrolls, then column clicks.
constexpr int kPages = 20;
constexpr int kClicks = 3;
constexpr double kClickTargetMs = 200.0;
bool allPass = true;

using benchsupport::Fail;

class Bench {
 public:
  explicit Bench(cl::TApplication& application) : app_(application) {
    const std::string exe = app_.ExeName();
    file_ = cl::ExtractFilePath(exe) + "skinned_editor_bench.hkd";
    benchsupport::WriteBenchSettings(cl::ChangeFileExt(exe, ".ini"), file_, false);
    hk::SaveDefinitions(file_, benchsupport::MakeDefinitions(kEntries, false));

    app_.CreateForm(editor_);
    editor_->ShowEditor();
    list_ = cl::ComponentAs<toolkit::TSaSortListView>(editor_, "lvHotkeys")->Handle();
    header_ = reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0));
    if (!header_) Fail("the table has no header");
    const skin::TWinSkinForm* form = benchsupport::SkinnedForm(editor_->Handle());
    if (!form) Fail("the editor was not skinned");
    for (skin::TSkinControl* p : form->Painters())
      if (p->Handle()) painted_.push_back(p->Handle());
    if (painted_.empty()) Fail("no control of the editor has a painter");
    Paint();
    if (SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0) != kEntries) Fail("the table does not hold every row");
    // With a change pending a column click sorts and paints and leaves the saving to Apply: the time of
    // writing 10,000 rows to disk is no painter's, and it varies with whatever else the disk does.
    editor_->SetModified(true);
  }

  ~Bench() {
    editor_->SetModified(false);
    editor_->Hide();
    DeleteFileW(cl::ToWide(file_).c_str());
  }

  size_t PaintedCount() const { return painted_.size(); }

  void Switch(bool on) {
    if (!benchsupport::SetSkinned(editor_, editor_->Handle(), on))
      Fail(on ? "the skin did not come back" : "the skin did not go");
    Paint();
  }

  // One page down, painted; at the last page the table goes back to the top first (untimed).
  double PageDown() {
    const int top = static_cast<int>(SendMessageW(list_, LVM_GETTOPINDEX, 0, 0));
    const int page = static_cast<int>(SendMessageW(list_, LVM_GETCOUNTPERPAGE, 0, 0));
    if (top + 2 * page >= kEntries) {
      SendMessageW(list_, WM_VSCROLL, SB_TOP, 0);
      Paint();
    }
    const LONGLONG start = Now();
    SendMessageW(list_, WM_VSCROLL, SB_PAGEDOWN, 0);
    Paint();
    const double ms = Ms(Now() - start);
    if (SendMessageW(list_, LVM_GETTOPINDEX, 0, 0) == top) Fail("the page did not scroll");
    return ms;
  }

  // A click on a column's header: the rows sorted, the table painted. The table is first brought to the
  // top, or to its middle (untimed).
  double ClickColumn(int column, bool middle = false) {
    SendMessageW(list_, WM_VSCROLL, SB_TOP, 0);
    if (middle) {
      RECT item{LVIR_BOUNDS, 0, 0, 0};
      SendMessageW(list_, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
      SendMessageW(list_, LVM_SCROLL, 0, (kEntries / 2) * (item.bottom - item.top));
    }
    Paint();
    RECT r{};
    if (!SendMessageW(header_, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&r)))
      Fail("no such column");
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    const LONGLONG start = Now();
    SendMessageW(header_, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(header_, WM_LBUTTONUP, 0, at);
    Paint();
    return Ms(Now() - start);
  }

 private:
  // Everything queued handled, then whatever is left to paint in the editor and its controls.
  void Paint() {
    app_.ProcessMessages();
    RedrawWindow(editor_->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    if (GetUpdateRect(list_, nullptr, FALSE)) Fail("the table is not painted");
  }

  cl::TApplication& app_;
  std::string file_;
  hk::TfrmHotkeyEdit* editor_ = nullptr;
  HWND list_ = nullptr;
  HWND header_ = nullptr;
  std::vector<HWND> painted_;
};

struct Times {
  double pages = 0;
  double clicks = 0;
};

// One round of one mode: the pages, then the clicks (description, ID, action; each reorders every row),
// each from the top of the table; the last page is where the next round goes on.
void Round(Bench& bench, Times& times) {
  for (int i = 0; i < kPages; ++i) times.pages += bench.PageDown();
  for (int i = 0; i < kClicks; ++i) times.clicks += bench.ClickColumn(i);
}

// A click with the table scrolled to its middle: the editor's own cost there, for comparison.
double MiddleClicks(Bench& bench) {
  double ms = 0;
  for (int i = 0; i < kClicks; ++i) ms += bench.ClickColumn(i, true);
  return ms;
}

// The ratio against its target and, where there is one, each skinned step against its time.
void Report(const char* what, double plain, double skinned, int count, double eachTargetMs = 0) {
  const double ratio = skinned / plain;
  bool pass = ratio <= 2.0;
  std::printf("%s x%d: unskinned %.1f ms (%.2f each), skinned %.1f ms (%.2f each", what, count, plain, plain / count,
              skinned, skinned / count);
  if (eachTargetMs > 0) {
    std::printf(", target under %.0f", eachTargetMs);
    pass = pass && skinned / count < eachTargetMs;
  }
  std::printf("), ratio %.2f (target <= 2.00) %s\n", ratio, pass ? "PASS" : "FAIL");
  allPass = allPass && pass;
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = std::max(argc > 1 ? std::atoi(argv[1]) : 10, 1);
  cl::TApplication application;
  benchsupport::InitializeProgram(application);

  Bench bench(application);
  std::printf("skinned editor with %d entries, %zu painted controls\n", kEntries, bench.PaintedCount());

  // Warm both paths, then alternate so that neither gets the quieter half of the run.
  Times warm;
  Round(bench, warm);
  bench.Switch(false);
  Round(bench, warm);
  Times plain, skinned;
  for (int round = 0; round < rounds; ++round) {
    Round(bench, plain);
    bench.Switch(true);
    Round(bench, skinned);
    bench.Switch(false);
  }
  Report("page down in the table", plain.pages, skinned.pages, rounds * kPages);
  Report("column click at the top, rows sorted and painted", plain.clicks, skinned.clicks, rounds * kClicks,
         kClickTargetMs);
  // In alternating rounds too: a few clicks alone say more of the machine than of the painters.
  double plainMiddle = 0, skinnedMiddle = 0;
  for (int round = 0; round < rounds; ++round) {
    plainMiddle += MiddleClicks(bench);
    bench.Switch(true);
    skinnedMiddle += MiddleClicks(bench);
    if (round + 1 < rounds) bench.Switch(false);
  }
  Report("column click in the middle of the table", plainMiddle, skinnedMiddle, rounds * kClicks, kClickTargetMs);

  const long before = hktest::GdiObjectsInProcess();
  Times more;
  for (int round = 0; round < rounds; ++round) Round(bench, more);
  const long after = hktest::GdiObjectsInProcess();
  std::printf("GDI objects: %ld before, %ld after %d skinned scrolls and %d clicks (target: flat) %s\n", before,
              after, rounds * kPages, rounds * kClicks, after == before ? "PASS" : "FAIL");
  return allPass && after == before ? 0 : 1;
}
