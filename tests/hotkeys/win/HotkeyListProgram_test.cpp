// The hotkey list window of the real Hotkeys program: opened by its action's hot key, Enter runs the
// chosen row through the program's own dispatch, and the window keeps its size across a restart.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "Definitions.h"
#include "FileUtil.h"
#include "IniFiles.h"
#include "KeyInput.h"
#include "Process.h"
#include "ProgramDriver.h"
#include "TestSupport.h"
#include "SysUtils.h"
#include "TrayProbe.h"
#include "WinString.h"

namespace {

using namespace hkprog;

HWND ListViewOf(HWND form) { return FindWindowExW(FindWindowExW(form, nullptr, nullptr, nullptr), nullptr, L"SysListView32", nullptr); }

class HotkeyListProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    exe_ = hktest::CopyFileTo(HK_HOTKEYS_EXE, dir_.File(""));
    ASSERT_FALSE(exe_.empty());
    ASSERT_TRUE(CopyFileW(cl::ToWide(HK_LAUNCH_RECORDER).c_str(), cl::ToWide(dir_.File("rec.exe")).c_str(), FALSE));
    hk::Definitions defs;
    defs.entries = {
        Entry("Sleeping", "Open Program or File", "calc.exe", "Ctrl+Alt+Shift+F9", false),
        Entry("View list", "View Hotkey List", "", "Ctrl+Alt+Shift+F8", true),
        Entry("Recorder", "Open Program or File", dir_.File("rec.exe"), "Ctrl+Alt+Shift+F7", true),
    };
    hk::SaveDefinitions(dir_.File("Hotkeys.hkd"), defs);
  }

  // Starts a copy (the restart needs a fresh process object); its main window.
  HWND Start(hktest::ChildProcess& p) {
    if (!p.Start(exe_, {}, dir_.File(""))) return nullptr;
    WaitForInputIdle(p.Handle(), kWait);
    pid_ = p.Pid();
    return hktest::WaitForWindow("TfrmHotkeyEdit", p.Pid(), kWait);
  }
  HWND Start() { return Start(p_); }

  // Presses the list's hot key; the list window once it is shown.
  HWND OpenList() {
    if (!Eventually([] { return !CombinationFree(VK_F8); })) return nullptr;
    HWND list = nullptr;
    hktest::KeyboardLock lock;
    hktest::PressCombination(kMods, VK_F8);
    Eventually([&] {
      list = hktest::FindProcessWindow("TfrmHotkeyList", pid_);
      return list && IsWindowVisible(list);
    });
    return list;
  }

  static void Exit(hktest::ChildProcess& p, HWND main) {
    PostMessageW(main, kExit, kExit, 0);
    EXPECT_EQ(p.WaitExit(kWait), std::optional<DWORD>(0)) << "the program did not end";
  }
  void Exit(HWND main) { Exit(p_, main); }

  testsupport::TempDir dir_;
  std::string exe_;
  hktest::ChildProcess p_;
  DWORD pid_ = 0;
};

TEST_F(HotkeyListProgram, EnterRunsTheChosenRowAndTheSizeIsKept) {
  HWND main = Start();
  ASSERT_TRUE(main);
  HWND form = OpenList();
  ASSERT_TRUE(form);
  EXPECT_EQ(WindowText(form), cl::ToWide("Hotkey List - " + cl::LowerCase(dir_.File("Hotkeys.hkd"))));
  HWND list = ListViewOf(form);
  ASSERT_TRUE(list);
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);

  // The second row, "Recorder": Enter runs it.
  const std::string record = dir_.File("launch-record.txt");
  SendMessageW(list, WM_KEYDOWN, VK_HOME, 0);
  SendMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
  SendMessageW(list, WM_CHAR, VK_RETURN, 0);
  EXPECT_TRUE(Eventually([&] { return cl::FileExists(record); }));

  // A new size, and Escape closes the window.
  SetWindowPos(form, nullptr, 0, 0, 620, 360, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(Eventually([&] { return !IsWindow(form); }));
  Exit(main);
  EXPECT_EQ(cl::TIniFile(dir_.File("Hotkeys.ini")).ReadInteger("ViewWindow", "Width", 0), 620);

  hktest::ChildProcess again;
  main = Start(again);
  ASSERT_TRUE(main);
  form = OpenList();
  ASSERT_TRUE(form);
  // The skin fits its frame once the shown window has handled the manager's posted request.
  RECT r{};
  EXPECT_TRUE(Eventually([&] {
    GetWindowRect(form, &r);
    return r.right - r.left == 620 && r.bottom - r.top == 360;
  })) << r.right - r.left << " x " << r.bottom - r.top;
  Exit(again, main);
}

// The tray menu's "&About..." item, chosen by its mnemonic in the open menu, shows the about box; OK
// closes it and the item works again.
TEST_F(HotkeyListProgram, TheAboutItemOpensTheAboutBox) {
  HWND main = Start();
  ASSERT_TRUE(main);
  HWND tray = nullptr;
  ASSERT_TRUE(Eventually([&] { return (tray = hktest::TrayWindowOf(p_.Pid())) != nullptr; }));
  const UINT callback = RegisterWindowMessageW(L"TSaAnimatedTrayIconCallBackMsg");
  for (int round = 0; round < 2; ++round) {
    PostMessageW(tray, callback, 0, WM_RBUTTONDOWN);
    HWND menu = nullptr;
    ASSERT_TRUE(Eventually([&] { return (menu = hktest::FindProcessWindow("#32768", p_.Pid())) != nullptr; }));
    PostMessageW(menu, WM_KEYDOWN, 'A', 0);
    HWND about = nullptr;
    ASSERT_TRUE(Eventually([&] {
      about = hktest::FindProcessWindow("TfrmAbout", p_.Pid());
      return about && IsWindowVisible(about);
    }));
    EXPECT_EQ(WindowText(about), L"About Calderine");
    HWND ok = FindWindowExW(about, nullptr, nullptr, L"OK");
    ASSERT_TRUE(ok);
    PostMessageW(about, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(ok), BN_CLICKED), reinterpret_cast<LPARAM>(ok));
    EXPECT_TRUE(Eventually([&] { return !IsWindow(about); }));
  }
  Exit(main);
}

// The text of a message box of the program: its static control with text.
std::wstring MessageBoxText(HWND box) {
  std::wstring text;
  EnumChildWindows(
      box,
      [](HWND child, LPARAM p) {
        wchar_t cls[32] = {};
        GetClassNameW(child, cls, 32);
        if (_wcsicmp(cls, L"Static") == 0 && !WindowText(child).empty()) *reinterpret_cast<std::wstring*>(p) = WindowText(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&text));
  return text;
}

// Without its help page beside it, F1 in the list window and the editor's Help button say so.
TEST_F(HotkeyListProgram, AMissingHelpPageIsReported) {
  HWND main = Start();
  ASSERT_TRUE(main);
  const std::wstring expected = cl::ToWide("The help page " + dir_.File("Help\\help.html") + " was not found.");
  auto answer = [&] {
    HWND box = nullptr;
    if (!Eventually([&] {
          box = hktest::FindProcessWindow("#32770", p_.Pid());
          return box && IsWindowVisible(box);
        }))
      return std::wstring(L"(no message)");
    EXPECT_EQ(WindowText(box), L"Calderine Help");
    const std::wstring text = MessageBoxText(box);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(Eventually([&] { return !IsWindow(box); }));
    return text;
  };
  HWND form = OpenList();
  ASSERT_TRUE(form);
  PostMessageW(ListViewOf(form), WM_KEYDOWN, VK_F1, 1);
  EXPECT_TRUE(cl::SameText(cl::FromWide(answer()), cl::FromWide(expected)));
  PostMessageW(ListViewOf(form), WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_TRUE(Eventually([&] { return !IsWindow(form); }));

  PostMessageW(main, kShowEditor, kShowEditor, 0);
  ASSERT_TRUE(Eventually([&] { return IsWindowVisible(main) != FALSE; }));
  HWND help = nullptr;
  for (HWND w : Descendants(main))
    if (WindowText(w) == L"&Help") help = w;
  ASSERT_TRUE(help);
  PostMessageW(GetParent(help), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(help), BN_CLICKED), reinterpret_cast<LPARAM>(help));
  EXPECT_TRUE(cl::SameText(cl::FromWide(answer()), cl::FromWide(expected)));
  Exit(main);
}

BOOL CALLBACK FindIconOption(HWND w, LPARAM p) {
  if (WindowText(w) != L"&Show Calderine icon on Windows taskbar") return TRUE;
  *reinterpret_cast<HWND*>(p) = w;
  return FALSE;
}

// Switching the tray icon off shows the notice while it is wanted; its check box answers for next time.
TEST_F(HotkeyListProgram, SwitchingTheIconOffShowsTheNoticeUntilItIsDeclined) {
  HWND main = Start();
  ASSERT_TRUE(main);
  PostMessageW(main, kShowEditor, kShowEditor, 0);
  ASSERT_TRUE(Eventually([&] { return IsWindowVisible(main) != FALSE; }));
  HWND icon = nullptr;
  EnumChildWindows(main, FindIconOption, reinterpret_cast<LPARAM>(&icon));
  ASSERT_TRUE(icon);
  auto click = [](HWND button) {
    SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
  };
  SendMessageW(icon, BM_SETCHECK, BST_UNCHECKED, 0);
  click(icon);
  HWND notice = nullptr;
  ASSERT_TRUE(Eventually([&] {
    notice = hktest::FindProcessWindow("TForm1", p_.Pid());
    return notice && IsWindowVisible(notice);
  }));
  // "Don't show me again." ticked: recorded at once.
  HWND dont = FindWindowExW(notice, nullptr, nullptr, L"Don't show me again.");
  ASSERT_TRUE(dont);
  SendMessageW(dont, BM_SETCHECK, BST_CHECKED, 0);
  click(dont);
  const std::string ini = dir_.File("Hotkeys.ini");
  EXPECT_TRUE(Eventually([&] { return cl::TIniFile(ini).ReadInteger("Settings", "showme", 1) == 0; }));
  click(FindWindowExW(notice, nullptr, nullptr, L"OK"));
  EXPECT_TRUE(Eventually([&] { return !IsWindowVisible(notice); }));

  // On and off again: no notice now.
  SendMessageW(icon, BM_SETCHECK, BST_CHECKED, 0);
  click(icon);
  SendMessageW(icon, BM_SETCHECK, BST_UNCHECKED, 0);
  click(icon);
  hktest::PumpWait(nullptr, 500);
  EXPECT_FALSE(IsWindowVisible(notice));
  Exit(main);
}

}  // namespace
