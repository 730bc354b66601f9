// The tool window's drag loop against the plainest drawing of what it shows: a floating tool-window-like
// popup dragged along a path of cursor steps through the loop (the outline following on the desktop, over
// a dock on part of the way), and the outline alone moved along the same steps on the desktop by a plain
// message loop, in alternating rounds of one run; then the GDI objects of the process before and after all
// the drags.
// Usage: tooldrag_bench [steps, default 1000]
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <vector>

#include "BenchSupport.h"
#include "GdiObjects.h"
#include "ToolWinDrag.h"
#include "ToolWinFrame.h"

namespace {

constexpr int kWidth = 150, kHeight = 100;
constexpr POINT kGrab{40, 10};  // window coordinates: on the caption
constexpr UINT kStep = WM_APP + 1;

// The tool window's floating frame around a white client area.
LRESULT CALLBACK ToolProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  static const toolkit::TFloatingFrame frame{};
  switch (msg) {
    case WM_NCCALCSIZE: {
      auto* r = reinterpret_cast<RECT*>(lParam);
      *r = toolkit::FloatingNonClientSize(frame.options.resizable, frame.options.showCaption).Inner(*r);
      return 0;
    }
    case WM_NCPAINT:
      toolkit::PaintFloatingFrame(wnd, frame, toolkit::kAllParts, reinterpret_cast<HRGN>(wParam));
      return 0;
    case WM_NCACTIVATE: return TRUE;
    default: return DefWindowProcW(wnd, msg, wParam, lParam);
  }
}

// The driver: one step of the path per message it posts to itself, so that each step is served before
// the next is taken. The step and the end are the caller's.
LRESULT CALLBACK DriverProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != kStep) return DefWindowProcW(wnd, msg, wParam, lParam);
  (*reinterpret_cast<std::function<void()>*>(GetWindowLongPtrW(wnd, GWLP_USERDATA)))();
  return 0;
}

HWND MakeWindow(const wchar_t* className, WNDPROC proc, DWORD style, HWND parent, const RECT& r) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = className;
  RegisterClassW(&wc);
  HWND wnd = CreateWindowExW(0, className, L"Calderine Editor", style, r.left, r.top, r.right - r.left,
                             r.bottom - r.top, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (style & WS_VISIBLE) UpdateWindow(wnd);
  return wnd;
}

// A loop around the middle of the screen that passes over the dock at its top.
std::vector<POINT> Path(int steps) {
  std::vector<POINT> path;
  for (int i = 0; i < steps; ++i) {
    const double a = 2 * 3.141592653589793 * i / steps;
    path.push_back({500 + static_cast<int>(std::lround(250 * std::cos(a))),
                    360 + static_cast<int>(std::lround(250 * std::sin(a)))});
  }
  return path;
}

// Milliseconds for the path's steps served through the driver, then `end`, while `run` pumps until done.
double Drive(HWND driver, const std::vector<POINT>& path, const std::function<void(POINT)>& step,
             const std::function<void()>& end, const std::function<void()>& run) {
  size_t next = 0;
  std::function<void()> serve = [&] {
    if (next < path.size()) {
      step(path[next++]);
      PostMessageW(driver, kStep, 0, 0);
    } else {
      end();
    }
  };
  SetWindowLongPtrW(driver, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&serve));
  SetCursorPos(path[0].x, path[0].y);
  PostMessageW(driver, kStep, 0, 0);
  const LONGLONG start = benchsupport::Now();
  run();
  return benchsupport::Ms(benchsupport::Now() - start);
}

}  // namespace

int main(int argc, char** argv) {
  const int steps = std::max(argc > 1 ? std::atoi(argv[1]) : 1000, 10);
  const std::vector<POINT> path = Path(steps);
  const POINT home{path[0].x - kGrab.x, path[0].y - kGrab.y};
  const RECT homeRect{home.x, home.y, home.x + kWidth, home.y + kHeight};
  HWND tool = MakeWindow(L"ToolDragBenchTool", ToolProc, WS_POPUP | WS_VISIBLE, nullptr, homeRect);
  HWND plain = MakeWindow(L"ToolDragBenchPlain", DefWindowProcW, WS_POPUP | WS_VISIBLE, nullptr, homeRect);
  HWND form = MakeWindow(L"ToolDragBenchForm", DefWindowProcW, WS_POPUP | WS_VISIBLE, nullptr, {300, 100, 700, 300});
  HWND dock = MakeWindow(L"ToolDragBenchDock", DefWindowProcW, WS_CHILD | WS_VISIBLE, form, {0, 0, 400, 30});
  HWND driver = MakeWindow(L"ToolDragBenchDriver", DriverProc, 0, HWND_MESSAGE, {0, 0, 0, 0});

  toolkit::TDragState drag;
  drag.Grab = toolkit::GrabAt({kGrab.x, kGrab.y}, kWidth, kHeight);
  drag.Frame = toolkit::DragFloatingFrame(true, true);
  drag.FloatingOutline = {kWidth, kHeight};
  RECT dockRect{};
  GetWindowRect(dock, &dockRect);
  drag.Docks.push_back({dock, {dockRect.left, dockRect.top, dockRect.right, dockRect.bottom}, false, {kWidth, 34}});

  int docked = 0, floated = 0, overDock = 0;
  const auto dragOnce = [&] {
    std::optional<toolkit::TDragDrop> drop;
    const double ms = Drive(
        driver, path,
        [&](POINT p) {
          SetCursorPos(p.x, p.y);
          PostMessageW(tool, WM_MOUSEMOVE, 0, 0);
        },
        [&] { PostMessageW(tool, WM_LBUTTONUP, 0, 0); },
        [&] { drop = toolkit::RunDragLoop(tool, drag, [&](const toolkit::TDragDock&) { return ++overDock > 0; }); });
    ++(drop && drop->Dock ? docked : floated);
    return ms;
  };
  const auto moveOnce = [&] {
    bool done = false;
    toolkit::TDesktopDrawSession session(plain, drag.Frame.SideX, toolkit::TCursorConfinement::None);
    return Drive(
        driver, path,
        [&](POINT p) {
          SetCursorPos(p.x, p.y);
          const RECT outline{p.x - kGrab.x, p.y - kGrab.y, p.x - kGrab.x + kWidth, p.y - kGrab.y + kHeight};
          session.ShowOutline(&outline, false);
        },
        [&] { done = true; },
        [&] {
          MSG msg;
          while (!done && GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
          }
        });
  };

  // Warm-up: both paths once, so that the GDI count after it is the resting one.
  moveOnce();
  dragOnce();
  const long gdiBefore = hktest::GdiObjectsInProcess();
  constexpr int kRounds = 5;
  std::vector<double> plainMs, dragMs;
  for (int round = 0; round < kRounds; ++round) {
    plainMs.push_back(moveOnce());
    dragMs.push_back(dragOnce());
  }
  const long gdiAfter = hktest::GdiObjectsInProcess();

  const double plainStep = benchsupport::Median(plainMs) * 1000 / steps;
  const double dragStep = benchsupport::Median(dragMs) * 1000 / steps;
  const double ratio = dragStep / plainStep;
  const bool flat = gdiAfter == gdiBefore;
  std::printf(
      "%d steps, median of %d rounds: the outline alone moved %.1f us/step, tool window dragged %.1f us/step, "
      "ratio %.2f (target <= 3.00) %s\n",
      steps, kRounds, plainStep, dragStep, ratio, ratio <= 3.0 ? "PASS" : "FAIL");
  std::printf("GDI objects before the drags %ld, after %d more drags %ld: %s\n", gdiBefore, kRounds, gdiAfter,
              flat ? "flat PASS" : "FAIL");
  std::printf("drops: %d into the dock, %d floating; the dock caught %d cursor positions\n", docked, floated, overDock);
  DestroyWindow(driver);
  DestroyWindow(form);
  DestroyWindow(plain);
  DestroyWindow(tool);
  return ratio <= 3.0 && flat ? 0 : 1;
}
