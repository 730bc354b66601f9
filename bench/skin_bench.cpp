// The skinned frame's cost: two windows of the same size and class, one wearing the skin of the package
// given on the command line and one with the system's frame, each repainted by frame repaints in one run;
// then the GDI objects of the process over many repaints and resizes of the skinned one.
// Usage: skin_bench.exe PACKAGE [repaints, default 1000] [resizes, default 200]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "BenchSupport.h"
#include "GdiObjects.h"
#include "MessageLoop.h"
#include "WinSkinData.h"
#include "WinSkinDlg.h"
#include "WinSkinForm.h"

namespace {

constexpr int kWidth = 480, kHeight = 360;

HWND MakeWindow(const wchar_t* text, int x) {
  static const ATOM atom = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"SkinBenchWindow";
    return RegisterClassExW(&wc);
  }();
  HWND wnd = CreateWindowExW(0, MAKEINTATOM(atom), text, WS_OVERLAPPEDWINDOW, x, 40, kWidth, kHeight, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  ShowWindow(wnd, SW_SHOWNOACTIVATE);
  UpdateWindow(wnd);
  return wnd;
}

// Milliseconds for `count` repaints of the whole frame, each painted at once.
double Repaint(HWND wnd, int count) {
  const LONGLONG start = benchsupport::Now();
  for (int i = 0; i < count; ++i) RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  return benchsupport::Ms(benchsupport::Now() - start);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: skin_bench PACKAGE [repaints] [resizes]\n");
    return 2;
  }
  const int repaints = argc > 2 ? std::atoi(argv[2]) : 1000;
  const int resizes = argc > 3 ? std::atoi(argv[3]) : 200;

  skin::TSkinData data(nullptr);
  data.SetSkinFile(argv[1]);
  if (data.NoSkin || !skin::SkinManager()) {
    std::fprintf(stderr, "skin_bench: %s is no skin package\n", argv[1]);
    return 1;
  }
  HWND plain = MakeWindow(L"Unskinned", 20);
  HWND skinned = MakeWindow(L"Skinned", 520);
  skin::TSkinManage& manager = *skin::SkinManager();
  manager.ManagerActive = true;
  if (!manager.SkinWindow(skinned)) {
    std::fprintf(stderr, "skin_bench: the window was not skinned\n");
    return 1;
  }
  skin::TWinSkinForm* form = manager.FindSkinForm(skinned);
  if (!hktest::PumpUntil([&] { return form->ControlsSkinned(); })) {
    std::fprintf(stderr, "skin_bench: the frame was never fitted\n");
    return 1;
  }

  // Warm both paths, then alternate so that neither gets the quieter half of the run.
  Repaint(plain, 20);
  Repaint(skinned, 20);
  double plainMs = 0, skinnedMs = 0;
  for (int round = 0; round < 10; ++round) {
    plainMs += Repaint(plain, repaints / 10);
    skinnedMs += Repaint(skinned, repaints / 10);
  }
  const double ratio = skinnedMs / plainMs;
  std::printf("frame repaints x%d: unskinned %.1f ms, skinned %.1f ms, ratio %.2f (target <= 2.00) %s\n", repaints,
              plainMs, skinnedMs, ratio, ratio <= 2.0 ? "PASS" : "FAIL");

  const long before = hktest::GdiObjectsInProcess();
  Repaint(skinned, repaints);
  const long afterRepaints = hktest::GdiObjectsInProcess();
  for (int i = 0; i < resizes; ++i) {
    const int grow = i % 2 ? 0 : 40 + i % 7;
    SetWindowPos(skinned, nullptr, 0, 0, kWidth + grow, kHeight + grow,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateWindow(skinned);
  }
  const long afterResizes = hktest::GdiObjectsInProcess();
  const bool flat = afterRepaints == before && afterResizes == before;
  std::printf("GDI objects: %ld before, %ld after %d repaints, %ld after %d resizes (target: flat) %s\n", before,
              afterRepaints, repaints, afterResizes, resizes, flat ? "PASS" : "FAIL");

  DestroyWindow(skinned);
  DestroyWindow(plain);
  return ratio <= 2.0 && flat ? 0 : 1;
}
