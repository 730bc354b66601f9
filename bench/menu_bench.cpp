// The skinned popup menu's cost in the program's own editor: its tray menu opened, painted and closed
// again, skinned (the skin's frame, owner-drawn items) and unskinned (the system's menu) in alternating
// rounds of one run.
// Usage: menu_bench [openings, default 200]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "BenchHotkeys.h"
#include "BenchProgram.h"
#include "BenchSupport.h"
#include "FileUtil.h"
#include "Forms.h"
#include "FormReader.h"
#include "Menus.h"
#include "MessageLoop.h"
#include "SaRegister.h"
#include "StdClasses.h"
#include "WinSkinData.h"
#include "WinSkinDlg.h"
#include "WinSkinForm.h"
#include "WindowSubclass.h"
#include "hkEdit.h"

namespace {

using benchsupport::Fail;

// Milliseconds for `count` openings of the menu, each closed as soon as it is shown and idle.
double Open(cl::TPopupMenu& menu, HWND owner, int count) {
  // The owner hears when the open menu has nothing more to do: then it closes.
  cl::TWindowSubclass closer(owner, [](HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ENTERIDLE && wParam == MSGF_MENU) EndMenu();
    return cl::TWindowSubclass::CallPrevious(wnd, msg, wParam, lParam);
  });
  const LONGLONG start = benchsupport::Now();
  for (int i = 0; i < count; ++i) menu.Popup(200, 200);
  return benchsupport::Ms(benchsupport::Now() - start);
}

}  // namespace

int main(int argc, char** argv) {
  const int openings = std::max(argc > 1 ? std::atoi(argv[1]) : 200, 10);
  cl::TApplication application;
  benchsupport::InitializeProgram(application);
  const std::string exe = application.ExeName();
  const std::string definitions = cl::ExtractFilePath(exe) + "menu_bench.hkd";
  benchsupport::WriteBenchSettings(cl::ChangeFileExt(exe, ".ini"), definitions);
  benchsupport::WriteOneRowDefinitions(definitions);

  hk::TfrmHotkeyEdit* editor = nullptr;
  application.CreateForm(editor);
  editor->ShowEditor();
  skin::TWinSkinForm* form = nullptr;
  if (!hktest::PumpUntil([&] {
        form = skin::SkinManager() ? skin::SkinManager()->FindSkinForm(editor->Handle()) : nullptr;
        return form && form->ControlsSkinned();
      }, 10000))
    Fail("the editor was not skinned");
  auto* menu = cl::ComponentAs<cl::TPopupMenu>(editor, "ppmTrayMenu");
  if (!menu->OwnerDraw()) Fail("the tray menu is not owner-drawn");
  skin::TSkinManage& manager = *skin::SkinManager();

  // Unskinned: no frame skin for new menu windows, the system draws the items.
  const auto skinned = [&](bool on) {
    manager.ManagerActive = on;
    menu->SetOwnerDraw(on);
  };
  skinned(true);
  Open(*menu, editor->Handle(), 5);
  skinned(false);
  Open(*menu, editor->Handle(), 5);
  double plainMs = 0, skinnedMs = 0;
  for (int round = 0; round < 10; ++round) {
    plainMs += Open(*menu, editor->Handle(), openings / 10);
    skinned(true);
    skinnedMs += Open(*menu, editor->Handle(), openings / 10);
    skinned(false);
  }
  const double ratio = skinnedMs / plainMs;
  std::printf("tray menu opened, painted and closed x%d: unskinned %.1f ms, skinned %.1f ms, ratio %.2f "
              "(target <= 2.00) %s\n",
              openings, plainMs, skinnedMs, ratio, ratio <= 2.0 ? "PASS" : "FAIL");
  skinned(true);
  editor->Hide();
  return ratio <= 2.0 ? 0 : 1;
}
