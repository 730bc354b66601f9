// The control painters' cost in the program's own editor: every control that has a painter is repainted
// skinned and, in alternating rounds of the same run, with the skin taken off the editor (no painter, no
// subclass: the control as it is unskinned); then the GDI objects of the process over many painted
// repaints.
// Usage: controls_bench [repaints, default 1000]; exit code 0 when every target is met, 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchHotkeys.h"
#include "BenchProgram.h"
#include "BenchSkin.h"
#include "BenchSupport.h"
#include "FileUtil.h"
#include "Forms.h"
#include "GdiObjects.h"
#include "MessageLoop.h"
#include "SaRegister.h"
#include "SkinControl.h"
#include "StdClasses.h"
#include "WinSkinData.h"
#include "WinSkinDlg.h"
#include "WinSkinForm.h"
#include "hkEdit.h"

namespace {

using benchsupport::Fail;

// The editor reads its settings and a one-row definitions file beside the benchmark.
void PrepareFiles(const std::string& exe) {
  const std::string definitions = cl::ExtractFilePath(exe) + "controls_bench.hkd";
  benchsupport::WriteBenchSettings(cl::ChangeFileExt(exe, ".ini"), definitions);
  benchsupport::WriteOneRowDefinitions(definitions);
}

class Painted {
 public:
  explicit Painted(const skin::TWinSkinForm& form) {
    for (skin::TSkinControl* p : form.Painters())
      if (p->Handle()) windows_.push_back(p->Handle());
  }
  size_t Count() const { return windows_.size(); }
  // Milliseconds for `count` repaints of every painted control, each painted at once.
  double Repaint(int count) const {
    const LONGLONG start = benchsupport::Now();
    for (int i = 0; i < count; ++i)
      for (HWND wnd : windows_) RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return benchsupport::Ms(benchsupport::Now() - start);
  }

 private:
  std::vector<HWND> windows_;
};

}  // namespace

int main(int argc, char** argv) {
  const int repaints = std::max(argc > 1 ? std::atoi(argv[1]) : 1000, 10);
  cl::TApplication application;
  benchsupport::InitializeProgram(application);
  PrepareFiles(application.ExeName());

  hk::TfrmHotkeyEdit* editor = nullptr;
  application.CreateForm(editor);
  editor->ShowEditor();
  const skin::TWinSkinForm* form = benchsupport::SkinnedForm(editor->Handle());
  if (!form) Fail("the editor was not skinned");
  const Painted painted(*form);
  if (painted.Count() == 0) Fail("no control of the editor has a painter");
  const auto skinned = [&](bool on) {
    if (!benchsupport::SetSkinned(editor, editor->Handle(), on)) Fail(on ? "the skin did not come back" : "the skin did not go");
  };

  // Warm both paths, then alternate so that neither gets the quieter half of the run.
  painted.Repaint(10);
  skinned(false);
  painted.Repaint(10);
  double plainMs = 0, skinnedMs = 0;
  for (int round = 0; round < 10; ++round) {
    plainMs += painted.Repaint(repaints / 10);
    skinned(true);
    skinnedMs += painted.Repaint(repaints / 10);
    skinned(false);
  }
  const double ratio = skinnedMs / plainMs;
  const bool ratioPass = ratio <= 2.0;
  std::printf("%zu painted controls of the editor, repainted x%d: unskinned %.1f ms, skinned %.1f ms, "
              "ratio %.2f (target <= 2.00) %s\n",
              painted.Count(), repaints, plainMs, skinnedMs, ratio, ratioPass ? "PASS" : "FAIL");

  skinned(true);
  const long before = hktest::GdiObjectsInProcess();
  painted.Repaint(repaints);
  const long after = hktest::GdiObjectsInProcess();
  std::printf("GDI objects: %ld before, %ld after %d repaints (target: flat) %s\n", before, after, repaints,
              after == before ? "PASS" : "FAIL");
  editor->Hide();
  return ratioPass && after == before ? 0 : 1;
}
