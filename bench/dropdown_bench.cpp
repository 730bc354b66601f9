// The skinned menu bar's drop-down in Pellwick's main window: its "Options" drop-down opened from the
// skin's bar (the skin's frame, items drawn from the skin), painted and closed, against the same menu
// opened by the system with the skin's menus off, in alternating rounds of one run.
// Usage: dropdown_bench [openings, default 200]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "BenchSupport.h"
#include "Forms.h"
#include "Menus.h"
#include "MessageLoop.h"
#include "SkinMenuBar.h"
#include "StdClasses.h"
#include "TimerTrayIcon.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "WinSkinData.h"
#include "WinSkinDlg.h"
#include "WinSkinForm.h"
#include "WindowSubclass.h"

namespace {

using benchsupport::Fail;

// Closes each menu of the window as soon as it is shown and idle, and counts them.
class TMenuCloser {
 public:
  explicit TMenuCloser(HWND wnd)
      : subclass_(wnd, [this](HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
          if (msg == WM_ENTERIDLE && wParam == MSGF_MENU) EndMenu();
          if (msg == WM_EXITMENULOOP) ++closed;
          return cl::TWindowSubclass::CallPrevious(w, msg, wParam, lParam);
        }) {}
  int closed = 0;

 private:
  cl::TWindowSubclass subclass_;
};

}  // namespace

int main(int argc, char** argv) {
  const int openings = std::max(argc > 1 ? std::atoi(argv[1]) : 200, 10);
  cl::TApplication application;
  application.Initialize();
  cl::RegisterStandardClasses();
  pellwick::RegisterTimerTrayIcon();
  skin::RegisterSkinComponents();
  benchsupport::Scratch scratch("dropdown-bench");
  auto* form1 = new pellwick::TForm1(&application, scratch.path);
  form1->AfterConstruction();
  auto* form2 = cl::NewForm<pellwick::TForm2>(form1);
  auto* form3 = cl::NewForm<pellwick::TForm3>(form1);
  form1->Attach(form2, form3);
  form1->Show();
  skin::TWinSkinForm* skinned = nullptr;
  if (!hktest::PumpUntil([&] {
        skinned = skin::SkinManager() ? skin::SkinManager()->FindSkinForm(form1->Handle()) : nullptr;
        return skinned && skinned->ControlsSkinned();
      }, 10000))
    Fail("Pellwick's window was not skinned");
  skin::TWinSkinMenu* bar = skinned->MenuBar();
  if (!bar || bar->ButtonCount() == 0) Fail("no skinned menu bar");
  HMENU options = form1->Menu()->Items()->Items(0)->Handle();
  skin::TSkinManage& manager = *skin::SkinManager();
  const HWND wnd = form1->Handle();
  TMenuCloser closer(wnd);

  // Skinned: pressed on the skin's bar, as a click or Alt+O opens it.
  const auto openSkinned = [&](int count) {
    manager.ManagerActive = true;
    const LONGLONG start = benchsupport::Now();
    for (int i = 0; i < count; ++i) {
      const int before = closer.closed;
      skinned->OpenMenuButton(*bar->Button(0));
      if (!hktest::PumpUntil([&] { return closer.closed > before; }, 5000)) Fail("the drop-down did not open");
    }
    return benchsupport::Ms(benchsupport::Now() - start);
  };
  // Unskinned: the same menu by the system, no frame skin, the items the system's own.
  const auto openPlain = [&](int count) {
    manager.ManagerActive = false;
    const LONGLONG start = benchsupport::Now();
    for (int i = 0; i < count; ++i) TrackPopupMenu(options, TPM_RIGHTBUTTON | TPM_RETURNCMD, 200, 200, 0, wnd, nullptr);
    const double ms = benchsupport::Ms(benchsupport::Now() - start);
    manager.ManagerActive = true;
    return ms;
  };
  openSkinned(5);
  openPlain(5);
  double plainMs = 0, skinnedMs = 0;
  for (int round = 0; round < 10; ++round) {
    plainMs += openPlain(openings / 10);
    skinnedMs += openSkinned(openings / 10);
  }
  const double ratio = skinnedMs / plainMs;
  std::printf("Pellwick's Options drop-down opened, painted and closed x%d: unskinned %.1f ms, skinned %.1f ms, "
              "ratio %.2f (target <= 2.00) %s\n",
              openings, plainMs, skinnedMs, ratio, ratio <= 2.0 ? "PASS" : "FAIL");
  delete form1;
  return 0;
}
