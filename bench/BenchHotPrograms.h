// What the benchmarks of the tray's "Hot Programs" submenu share: definitions whose active entries all
// have an item there, and the tray menu opened with that submenu as the user opens it.
#pragma once
#include <windows.h>

#include <string>

#include "BenchHotkeys.h"
#include "BenchSupport.h"
#include "Definitions.h"
#include "FormReader.h"
#include "Menus.h"
#include "WindowSubclass.h"
#include "hkEdit.h"

namespace benchsupport {

// `count` active entries that all go to "Hot Programs" (programs, ID lists and folders in turn).
inline hk::Definitions HotPrograms(int count) {
  hk::Definitions defs;
  defs.entries.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    hk::HotkeyEntry e;
    e.description = "Program " + std::to_string(i);
    e.id = std::string("P").append(std::to_string(i % 1000));  // not "P" + ...: GCC 12 warns wrongly
    switch (i % 3) {
      case 0:
        e.data = "C:\\Tools\\app" + std::to_string(i) + ".exe";
        break;
      case 1:
        e.action = std::string(hk::ActionNames[hk::haExecuteMultiple]);
        e.actionNumber = hk::haExecuteMultiple;
        e.data = "P1;P2";
        break;
      default:
        e.action = std::string(hk::ActionNames[hk::haOpenFolder]);
        e.actionNumber = hk::haOpenFolder;
        e.data = "C:\\Work";
        break;
    }
    e.hotkey = CombinationText(i % (107 * 14));
    defs.entries.push_back(std::move(e));
  }
  return defs;
}

// Opens the tray menu at a point, walks up to "Hot Programs" and opens it with the keyboard, and closes
// both once the submenu is shown and idle. The milliseconds from the tray menu idle to the submenu idle;
// below zero when the submenu did not open.
inline double OpenTrayMenuAndSubmenu(hk::TfrmHotkeyEdit& editor) {
  auto* tray = cl::ComponentAs<cl::TPopupMenu>(&editor, "ppmTrayMenu");
  auto* hot = cl::ComponentAs<cl::TMenuItem>(&editor, "mnuHotkeys");
  const HWND owner = editor.Handle();
  bool submenuShown = false;
  HWND first = nullptr;
  LONGLONG start = 0, end = 0;
  cl::TWindowSubclass driver(owner, [&](HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITMENUPOPUP && reinterpret_cast<HMENU>(wParam) == hot->Handle()) submenuShown = true;
    if (msg == WM_ENTERIDLE && wParam == MSGF_MENU) {
      const HWND menuWindow = reinterpret_cast<HWND>(lParam);
      if (!first) {
        // From nothing selected: "E&xit", then "Hot &Programs" (separators are skipped), then open it.
        first = menuWindow;
        start = Now();
        for (WPARAM key : {VK_UP, VK_UP, VK_RIGHT}) {
          PostMessageW(menuWindow, WM_KEYDOWN, key, 0);
          PostMessageW(menuWindow, WM_KEYUP, key, 0xC0000000);
        }
      } else if (menuWindow != first || submenuShown) {
        if (!end) end = Now();
        EndMenu();
      }
    }
    return cl::TWindowSubclass::CallPrevious(wnd, msg, wParam, lParam);
  });
  tray->Popup(100, 100);
  return submenuShown && end ? Ms(end - start) : -1.0;
}

}  // namespace benchsupport
