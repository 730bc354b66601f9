// The Hotkeys program, started for real from a scratch folder and driven from outside as the user's
// system would: tray icon, registered combinations, second starts, its messages, the save question.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>

#include "Definitions.h"
#include "FileUtil.h"
#include "IniFiles.h"
#include "KernelHandle.h"
#include "KeyInput.h"
#include "Process.h"
#include "ProgramDriver.h"
#include "SysUtils.h"
#include "TestSupport.h"
#include "TrayProbe.h"
#include "WinString.h"

namespace {

using namespace hkprog;

constexpr char kActiveProgramKey[] = "Ctrl+Alt+Shift+F11";
constexpr char kActiveMinimizeKey[] = "Ctrl+Alt+Shift+F10";
constexpr char kInactiveKey[] = "Ctrl+Alt+Shift+F9";
// Single keys, for presses that follow a change of the active window (a box closed, the editor shown).
// When Wine's X11 driver takes the focus-in or pointer-enter event of such a change in the program, it
// re-reads the key state from the X server, where injected keys are never down: modifiers pressed before
// the key and still held are released, the key comes without them and the combination never fires. A
// single key cannot be split that way.
constexpr char kSingleKey[] = "F24";
constexpr UINT kSingleVk = VK_F24;
constexpr char kOtherSingleKey[] = "F23";
constexpr UINT kOtherSingleVk = VK_F23;

hk::Definitions SampleDefinitions() {
  hk::Definitions defs;
  defs.entries = {
      Entry("Notepad", "Open Program or File", "notepad.exe", kActiveProgramKey, true),
      Entry("Tidy up", "Minimize All Windows", "", kActiveMinimizeKey, true),
      Entry("Sleeping", "Open Program or File", "calc.exe", kInactiveKey, false),
  };
  return defs;
}

// Whether another program may take the combination now (it is given back at once).
int CountWindows(const wchar_t* className) {
  int count = 0;
  for (HWND w = FindWindowW(className, nullptr); w; w = FindWindowExW(nullptr, w, className, nullptr)) ++count;
  return count;
}

// The save question of process pid, once it is on screen.
HWND WaitForQuestion(DWORD pid) {
  HWND box = nullptr;
  Eventually([&] {
    box = hktest::FindProcessWindow("#32770", pid);
    return box && IsWindowVisible(box);
  });
  return box;
}

void Answer(HWND box, int button) { PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0); }

// A copy of Hotkeys in a scratch folder of its own, so that its settings and definitions files (which
// live beside the program) belong to this test alone.
class HotkeysProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    exe_ = hktest::CopyFileTo(HK_HOTKEYS_EXE, dir_.File(""));
    ASSERT_FALSE(exe_.empty());
    ASSERT_EQ(CountWindows(L"TfrmHotkeyEdit"), 0) << "an instance of an earlier test is still running";
    // Without a definitions file the editor opens with a blank entry, an unsaved change that Exit would
    // ask about; most tests want a plain exit.
    hk::SaveDefinitions(Definitions(), SampleDefinitions());
  }

  std::string Definitions() const { return dir_.File("Hotkeys.hkd"); }
  std::string Settings() const { return dir_.File("Hotkeys.ini"); }

  // Starts a copy and waits until it handles messages; its main window, or null.
  HWND Start(hktest::ChildProcess& p, const std::vector<std::string>& args = {}) {
    if (!p.Start(exe_, args, dir_.File(""))) return nullptr;
    WaitForInputIdle(p.Handle(), kWait);
    return hktest::WaitForWindow("TfrmHotkeyEdit", p.Pid(), kWait);
  }

  // Asks a copy to end through its exit message; its exit code.
  static std::optional<DWORD> Exit(hktest::ChildProcess& p, HWND main) {
    PostMessageW(main, kExit, kExit, 0);
    return p.WaitExit(kWait);
  }

  testsupport::TempDir dir_;
  std::string exe_;
};

TEST_F(HotkeysProgram, StartsHiddenInTheTrayWithItsActiveEntriesRegistered) {
  hktest::ChildProcess p;
  HWND main = Start(p);
  ASSERT_TRUE(main);
  EXPECT_TRUE(Eventually([&] { return hktest::ProcessHasTrayIcon(p.Pid()); }));
  EXPECT_FALSE(IsWindowVisible(main));

  // Active entries hold their combinations: another program is refused them. The inactive one is free.
  EXPECT_TRUE(Eventually([] { return !CombinationFree(VK_F11); }));
  EXPECT_FALSE(CombinationFree(VK_F10));
  EXPECT_TRUE(CombinationFree(VK_F9));

  EXPECT_EQ(Exit(p, main), std::optional<DWORD>(0));
  // Gone with the program: the combinations are free again.
  EXPECT_TRUE(CombinationFree(VK_F11));
}

TEST_F(HotkeysProgram, AStartWithoutSettingsWritesTheDefaultsAndExitWritesTheRest) {
  hktest::ChildProcess p;
  HWND main = Start(p);
  ASSERT_TRUE(main);
  // A wrong number in wParam is not the exit message.
  PostMessageW(main, kExit, 0, 0);
  EXPECT_FALSE(p.WaitExit(300).has_value());
  ASSERT_EQ(Exit(p, main), std::optional<DWORD>(0));

  cl::TIniFile ini(Settings());
  EXPECT_EQ(cl::LowerCase(ini.ReadString("Settings", "HKDFile", "")), cl::LowerCase(Definitions()));
  EXPECT_EQ(ini.ReadString("Settings", "ShowTaskbarIcon", ""), "1");
  EXPECT_EQ(ini.ReadString("Settings", "AutoRun", ""), "1");
  EXPECT_EQ(ini.ReadInteger("Settings", "ClipboardCount", 0), 5);
  EXPECT_EQ(ini.ReadInteger("EditorWindow", "Width", 0), 575);
  EXPECT_EQ(ini.ReadInteger("EditorWindow", "Height", 0), 442);
  EXPECT_EQ(ini.ReadInteger("EWColumns", "Description", 0), 138);
  EXPECT_EQ(ini.ReadInteger("EWColumns", "Active", 0), 45);

  // AutoRun defaults to on, so the start wrote the autorun value: the program's path in quotes.
  wchar_t value[MAX_PATH * 2] = {};
  DWORD size = sizeof value;
  ASSERT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"Calderine",
                         RRF_RT_REG_SZ, nullptr, value, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(cl::LowerCase(cl::FromWide(value)), cl::LowerCase("\"" + exe_ + "\""));
}

TEST_F(HotkeysProgram, SettingsAreReadAtStart) {
  hk::SaveDefinitions(dir_.File("other.hkd"), SampleDefinitions());
  {
    cl::TIniFile ini(Settings());
    ini.WriteString("Settings", "HKDFile", "other.hkd");  // a bare name lives beside the program
    ini.WriteString("Settings", "ShowTaskbarIcon", "2");  // only 1 shows the icon
    ini.WriteString("Settings", "ClipboardCount", "500");  // kept within 1..100
    ini.WriteInteger("EditorWindow", "Width", 640);
    ini.WriteInteger("EWColumns", "Data", 222);
  }
  hktest::ChildProcess p;
  HWND main = Start(p);
  ASSERT_TRUE(main);
  EXPECT_TRUE(Eventually([] { return !CombinationFree(VK_F11); }));
  EXPECT_FALSE(hktest::ProcessHasTrayIcon(p.Pid()));
  ASSERT_EQ(Exit(p, main), std::optional<DWORD>(0));

  cl::TIniFile ini(Settings());
  EXPECT_EQ(cl::LowerCase(ini.ReadString("Settings", "HKDFile", "")), cl::LowerCase(dir_.File("other.hkd")));
  EXPECT_EQ(ini.ReadString("Settings", "ShowTaskbarIcon", ""), "0");
  EXPECT_EQ(ini.ReadInteger("Settings", "ClipboardCount", 0), 100);
  EXPECT_EQ(ini.ReadInteger("EditorWindow", "Width", 0), 640);
  EXPECT_EQ(ini.ReadInteger("EWColumns", "Data", 0), 222);
}

TEST_F(HotkeysProgram, ASecondStartShowsTheRunningEditorAndEnds) {
  hktest::ChildProcess first;
  HWND main = Start(first);
  ASSERT_TRUE(main);
  ASSERT_FALSE(IsWindowVisible(main));

  hktest::ChildProcess second;
  ASSERT_TRUE(second.Start(exe_, {}, dir_.File("")));
  EXPECT_EQ(second.WaitExit(kWait), std::optional<DWORD>(0));
  EXPECT_TRUE(IsWindowVisible(main));
  EXPECT_EQ(CountWindows(L"TfrmHotkeyEdit"), 1);

  // "debug" in lower case is no debug start either.
  ShowWindow(main, SW_HIDE);
  hktest::ChildProcess third;
  ASSERT_TRUE(third.Start(exe_, {"debug"}, dir_.File("")));
  EXPECT_EQ(third.WaitExit(kWait), std::optional<DWORD>(0));
  EXPECT_TRUE(IsWindowVisible(main));

  EXPECT_EQ(Exit(first, main), std::optional<DWORD>(0));
}

// Two starts at the same moment, before either has its window: one hands over to the other, which shows its
// editor; one instance, one window. Ten times, since a race that is lost now and then is still lost.
TEST_F(HotkeysProgram, TwoStartsAtOnceLeaveOneInstance) {
  for (int round = 0; round < 10; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    hktest::ChildProcess starts[2];
    ASSERT_TRUE(starts[0].Start(exe_, {}, dir_.File("")));
    ASSERT_TRUE(starts[1].Start(exe_, {}, dir_.File("")));
    ASSERT_TRUE(Eventually([&] { return !starts[0].Running() || !starts[1].Running(); }));
    hktest::ChildProcess& ended = starts[0].Running() ? starts[1] : starts[0];
    hktest::ChildProcess& running = starts[0].Running() ? starts[0] : starts[1];
    EXPECT_EQ(ended.WaitExit(0), std::optional<DWORD>(0));
    ASSERT_TRUE(running.Running());
    HWND main = hktest::FindProcessWindow("TfrmHotkeyEdit", running.Pid());
    ASSERT_TRUE(main);
    EXPECT_TRUE(IsWindowVisible(main));  // the hand-over waited until the editor was shown
    EXPECT_EQ(CountWindows(L"TfrmHotkeyEdit"), 1);
    ASSERT_EQ(Exit(running, main), std::optional<DWORD>(0));
  }
}

TEST_F(HotkeysProgram, TheShownEditorWearsTheSkinAndTheProgramStillEndsCleanly) {
  hktest::ChildProcess first;
  HWND main = Start(first);
  ASSERT_TRUE(main);
  hktest::ChildProcess second;
  ASSERT_TRUE(second.Start(exe_, {}, dir_.File("")));
  EXPECT_EQ(second.WaitExit(kWait), std::optional<DWORD>(0));
  ASSERT_TRUE(IsWindowVisible(main));
  // Its first activation skinned it: it answers the skin's query.
  EXPECT_TRUE(Eventually([&] {
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(main, 0x3504, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer) && answer == 1;
  }));
  EXPECT_EQ(Exit(first, main), std::optional<DWORD>(0));
}

TEST_F(HotkeysProgram, ADebugStartRunsBesideTheFirst) {
  hktest::ChildProcess first;
  HWND main = Start(first);
  ASSERT_TRUE(main);

  hktest::ChildProcess debug;
  HWND debugMain = Start(debug, {"DEBUG"});
  ASSERT_TRUE(debugMain);
  EXPECT_TRUE(debug.Running());
  EXPECT_FALSE(IsWindowVisible(main));
  EXPECT_EQ(CountWindows(L"TfrmHotkeyEdit"), 2);

  EXPECT_EQ(Exit(debug, debugMain), std::optional<DWORD>(0));
  EXPECT_EQ(Exit(first, main), std::optional<DWORD>(0));
}

// An instance that no longer answers must not take the next start down with it.
TEST_F(HotkeysProgram, ASecondStartGivesUpOnAHungInstance) {
  const cl::TKernelHandle created(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  const cl::TKernelHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::thread hung([&] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TfrmHotkeyEdit";
    RegisterClassW(&wc);
    HWND w = CreateWindowW(L"TfrmHotkeyEdit", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
    SetEvent(created.Get());
    WaitForSingleObject(release.Get(), INFINITE);  // never handles a message meanwhile
    DestroyWindow(w);
    UnregisterClassW(L"TfrmHotkeyEdit", wc.hInstance);
  });
  WaitForSingleObject(created.Get(), kWait);

  hktest::ChildProcess second;
  ASSERT_TRUE(second.Start(exe_, {}, dir_.File("")));
  const std::optional<DWORD> code = second.WaitExit(30000);
  SetEvent(release.Get());
  hung.join();
  EXPECT_EQ(code, std::optional<DWORD>(0));
}

TEST_F(HotkeysProgram, ExitWithUnsavedChangesAsksAndObeys) {
  // A file with no entry opens with one blank entry, which is an unsaved change.
  hk::SaveDefinitions(Definitions(), hk::Definitions{});
  hktest::ChildProcess p;
  HWND main = Start(p);
  ASSERT_TRUE(main);

  // Exit, then Cancel: the program stays.
  PostMessageW(main, kExit, kExit, 0);
  HWND box = WaitForQuestion(p.Pid());
  ASSERT_TRUE(box);
  EXPECT_EQ(WindowText(box), L"Hotkey Editor");
  EXPECT_EQ(WindowText(GetDlgItem(box, 0xFFFF)), L"Hotkey definitions have changed. Save changes?");
  Answer(box, IDCANCEL);
  EXPECT_FALSE(p.WaitExit(500).has_value());

  // A plain close after the cancelled exit hides the editor again instead of ending the program. No
  // discards the edits (the empty file gives its blank entry again).
  PostMessageW(main, kShowEditor, kShowEditor, 0);
  ASSERT_TRUE(Eventually([&] { return IsWindowVisible(main) != FALSE; }));
  PostMessageW(main, WM_CLOSE, 0, 0);
  box = WaitForQuestion(p.Pid());
  ASSERT_TRUE(box);
  Answer(box, IDNO);
  EXPECT_TRUE(Eventually([&] { return !IsWindowVisible(main); }));
  EXPECT_FALSE(p.WaitExit(500).has_value());

  // Exit, then Yes: saved, and the program ends.
  PostMessageW(main, kExit, kExit, 0);
  box = WaitForQuestion(p.Pid());
  ASSERT_TRUE(box);
  Answer(box, IDYES);
  EXPECT_EQ(p.WaitExit(kWait), std::optional<DWORD>(0));
  const hk::LoadedDefinitions saved = hk::LoadDefinitions(Definitions());
  ASSERT_EQ(saved.entries.size(), 1u);
  EXPECT_EQ(saved.entries[0].description, "");
  EXPECT_EQ(saved.entries[0].action, "Open Program or File");
}

// A settings file that cannot be written (read-only, or impossible to make because a folder has its name)
// costs the settings only: the start goes on to the end, and the failure is told once, after it.
TEST_F(HotkeysProgram, ASettingsFileThatCannotBeWrittenIsToldOnceAndTheStartGoesOn) {
  // ShowTaskbarIcon and AutoRun are missing: the start writes both.
  const std::string stored = "[Settings]\r\nClipboardCount=3\r\n";
  const std::wstring settings = cl::ToWide(Settings());
  const std::wstring told = cl::ToWide(cl::LowerCase("Unable to write to " + Settings()));
  for (const bool readOnly : {true, false}) {
    SCOPED_TRACE(readOnly ? "read-only file" : "a folder in its place");
    if (readOnly) {
      cl::WriteFileAtomic(Settings(), stored);
      ASSERT_TRUE(SetFileAttributesW(settings.c_str(), FILE_ATTRIBUTE_READONLY));
    } else {
      ASSERT_TRUE(CreateDirectoryW(settings.c_str(), nullptr));
    }
    hktest::ChildProcess p;
    HWND main = Start(p);
    ASSERT_TRUE(main);
    HWND box = WaitForQuestion(p.Pid());
    ASSERT_TRUE(box);
    EXPECT_EQ(WindowText(box), L"Calderine");
    EXPECT_EQ(cl::ToWide(cl::LowerCase(cl::FromWide(WindowText(GetDlgItem(box, 0xFFFF))))), told);
    // While it is told, the start-up is over: icon shown, the active entries' combinations held.
    EXPECT_TRUE(hktest::ProcessHasTrayIcon(p.Pid()));
    EXPECT_FALSE(CombinationFree(VK_F11));
    EXPECT_FALSE(CombinationFree(VK_F10));
    EXPECT_TRUE(CombinationFree(VK_F9));
    Answer(box, IDOK);

    // Told once: the message queued behind the answer is handled with no second box on screen.
    PostMessageW(main, kShowEditor, kShowEditor, 0);
    ASSERT_TRUE(Eventually([&] { return IsWindowVisible(main) != FALSE; }));
    box = hktest::FindProcessWindow("#32770", p.Pid());
    EXPECT_FALSE(box && IsWindowVisible(box));

    // What the exit keeps cannot be kept either: said, and the program ends all the same.
    PostMessageW(main, kExit, kExit, 0);
    box = WaitForQuestion(p.Pid());
    ASSERT_TRUE(box);
    EXPECT_EQ(cl::ToWide(cl::LowerCase(cl::FromWide(WindowText(GetDlgItem(box, 0xFFFF))))), told);
    Answer(box, IDOK);
    EXPECT_EQ(p.WaitExit(kWait), std::optional<DWORD>(0));

    // The file (or the folder) is as it was.
    const DWORD attributes = GetFileAttributesW(settings.c_str());
    if (readOnly) {
      EXPECT_EQ(cl::ReadFileBytes(Settings()), stored);
      EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY));
      SetFileAttributesW(settings.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(settings.c_str());
    } else {
      EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
      RemoveDirectoryW(settings.c_str());
    }
  }
}

// A hot key starts its program through the shell: macros expanded, a quoted path with blanks kept whole
// with its arguments after it, the start-in folder and the show state passed on.
TEST_F(HotkeysProgram, AHotkeyPressStartsItsProgram) {
  const std::string appDir = dir_.File("app dir");
  CreateDirectoryW(cl::ToWide(appDir).c_str(), nullptr);
  ASSERT_TRUE(CopyFileW(cl::ToWide(HK_LAUNCH_RECORDER).c_str(), cl::ToWide(appDir + "\\rec.exe").c_str(), FALSE));
  SetEnvironmentVariableW(L"HK_RECORDER_DIR", cl::ToWide(appDir).c_str());  // the program inherits it

  hk::Definitions defs;
  hk::HotkeyEntry quoted = Entry("Quoted", "Open Program or File", "\"%HK_RECORDER_DIR%\\rec.exe\" first \"second arg\"",
                                 kActiveProgramKey, true);
  quoted.show = "Maximized";
  quoted.startIn = "%HK_RECORDER_DIR%";
  hk::HotkeyEntry bare = Entry("Bare", "Open Program or File", "%HK_RECORDER_DIR%\\rec.exe", kActiveMinimizeKey, true);
  bare.show = "minimized";  // show names match in any case
  defs.entries = {quoted, bare};
  hk::SaveDefinitions(Definitions(), defs);

  hktest::ChildProcess p;
  HWND main = Start(p);
  ASSERT_TRUE(main);
  ASSERT_TRUE(Eventually([] { return !CombinationFree(VK_F10); }));
  const std::string record = appDir + "\\launch-record.txt";
  auto pressAndRead = [&](UINT vk) -> std::vector<std::string> {
    DeleteFileW(cl::ToWide(record).c_str());
    {
      hktest::KeyboardLock lock;
      hktest::PressCombination(kMods, vk);
      if (!Eventually([&] { return cl::FileExists(record); })) return {};
    }
    std::vector<std::string> lines;
    std::string text = cl::ReadFileBytes(record);
    for (size_t start = 0, nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
      lines.push_back(text.substr(start, nl - start));
    return lines;
  };

  std::vector<std::string> lines = pressAndRead(VK_F11);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_NE(cl::LowerCase(lines[0]).find("rec.exe"), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find("first \"second arg\""), std::string::npos) << lines[0];
  EXPECT_EQ(cl::LowerCase(lines[1]), cl::LowerCase(appDir));
  EXPECT_EQ(lines[2], std::to_string(SW_SHOWMAXIMIZED));

  // An unquoted path of an existing file runs whole, blanks and all.
  lines = pressAndRead(VK_F10);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_NE(cl::LowerCase(lines[0]).find("app dir\\rec.exe"), std::string::npos) << lines[0];
  EXPECT_EQ(lines[2], std::to_string(SW_SHOWMINIMIZED));

  EXPECT_EQ(Exit(p, main), std::optional<DWORD>(0));
}

// Action 15 makes another definitions file the one in use: its entries are registered instead. A name
// that does not exist is offered for creation; No changes nothing. The second press follows the closing
// of the box: single keys.
TEST_F(HotkeysProgram, AHotkeyOpensAnotherDefinitionsFile) {
  hk::Definitions first;
  first.entries = {Entry("Other file", "", "other.hkd", kSingleKey, true),
                   Entry("Missing file", "", "missing.hkd", kOtherSingleKey, true)};
  first.entries[0].actionNumber = hk::haOpenDefinitions;
  first.entries[1].actionNumber = hk::haOpenDefinitions;
  hk::SaveDefinitions(Definitions(), first);
  hk::Definitions other;
  other.entries = {Entry("Tidy up", "Minimize All Windows", "", kActiveMinimizeKey, true)};
  hk::SaveDefinitions(dir_.File("other.hkd"), other);

  hktest::ChildProcess p;
  HWND main = Start(p);
  ASSERT_TRUE(main);
  ASSERT_TRUE(Eventually([] { return !CombinationFree(kOtherSingleVk, 0); }));

  // The missing file: No keeps everything as it is.
  {
    hktest::KeyboardLock lock;
    hktest::PressCombination(0, kOtherSingleVk);
  }
  HWND box = WaitForQuestion(p.Pid());
  ASSERT_TRUE(box);
  EXPECT_EQ(WindowText(box), L"Hotkey definition file not found");
  EXPECT_EQ(WindowText(GetDlgItem(box, 0xFFFF)), L"missing.hkd does not exist. Do you want to create it?");
  Answer(box, IDNO);
  EXPECT_TRUE(Eventually([&] { return !IsWindow(box); }));
  EXPECT_FALSE(CombinationFree(kSingleVk, 0));
  EXPECT_FALSE(cl::FileExists(dir_.File("missing.hkd")));

  // The other file: its entry holds its key now, and the first file's keys are free.
  {
    hktest::KeyboardLock lock;
    hktest::PressCombination(0, kSingleVk);
  }
  EXPECT_TRUE(Eventually([] { return !CombinationFree(VK_F10); }));
  EXPECT_TRUE(CombinationFree(kSingleVk, 0));
  EXPECT_EQ(Exit(p, main), std::optional<DWORD>(0));
  EXPECT_EQ(cl::LowerCase(cl::TIniFile(Settings()).ReadString("Settings", "HKDFile", "")),
            cl::LowerCase(dir_.File("other.hkd")));
}

// Keys typed while the editor is in front would land in it: the action refuses and says why, and so does
// a list that sends keystrokes. Both presses follow a change of the active window: single keys.
TEST_F(HotkeysProgram, KeystrokesAreRefusedWhileTheEditorIsInFront) {
  hk::Definitions defs;
  defs.entries = {Entry("Type", "Send Keystrokes", "abc", kSingleKey, true),
                  Entry("List", "Execute Multiple Commands", "TYPE", kOtherSingleKey, true)};
  hk::SaveDefinitions(Definitions(), defs);
  hktest::ChildProcess p;
  HWND main = Start(p);
  ASSERT_TRUE(main);
  ASSERT_TRUE(Eventually([] { return !CombinationFree(kSingleVk, 0) && !CombinationFree(kOtherSingleVk, 0); }));
  PostMessageW(main, kShowEditor, kShowEditor, 0);
  ASSERT_TRUE(Eventually([&] { return GetForegroundWindow() == main; }));
  for (UINT key : {kSingleVk, kOtherSingleVk}) {
    SCOPED_TRACE(key == kSingleVk ? "keystrokes" : "list");
    {
      hktest::KeyboardLock lock;
      hktest::PressCombination(0, key);
    }
    HWND box = WaitForQuestion(p.Pid());
    ASSERT_TRUE(box);
    EXPECT_EQ(WindowText(box), L"Hotkey Editor Active");
    Answer(box, IDOK);
    EXPECT_TRUE(Eventually([&] { return !IsWindow(box); }));
    ASSERT_TRUE(Eventually([&] { return GetForegroundWindow() == main; }));
  }
  EXPECT_EQ(Exit(p, main), std::optional<DWORD>(0));
}

// The editor cannot be made smaller than its controls need, and Escape hides it again.
TEST_F(HotkeysProgram, EditorWindowSizeAndEscape) {
  hktest::ChildProcess p;
  HWND main = Start(p);
  ASSERT_TRUE(main);
  PostMessageW(main, kShowEditor, kShowEditor, 0);
  ASSERT_TRUE(Eventually([&] { return IsWindowVisible(main) != FALSE; }));
  SetWindowPos(main, nullptr, 0, 0, 100, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT r{};
  GetWindowRect(main, &r);
  EXPECT_GE(r.right - r.left, 411);
  EXPECT_GE(r.bottom - r.top, 244);

  PostMessageW(main, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(Eventually([&] { return !IsWindowVisible(main); }));
  EXPECT_TRUE(p.Running());
  EXPECT_EQ(Exit(p, main), std::optional<DWORD>(0));
}

// "Exit Windows" with "Shutdown-Timer" starts the timer program beside Hotkeys (here our recorder under
// its name), and nothing else: no shutdown is asked for.
TEST_F(HotkeysProgram, TheShutdownTimerParameterStartsPellwick) {
  ASSERT_TRUE(CopyFileW(cl::ToWide(HK_LAUNCH_RECORDER).c_str(), cl::ToWide(dir_.File("Pellwick.exe")).c_str(), FALSE));
  hk::Definitions defs;
  defs.entries = {Entry("Timer", "Exit Windows", "Shutdown-Timer", kActiveProgramKey, true)};
  hk::SaveDefinitions(Definitions(), defs);
  hktest::ChildProcess p;
  HWND main = Start(p);
  ASSERT_TRUE(main);
  ASSERT_TRUE(Eventually([] { return !CombinationFree(VK_F11); }));
  const std::string record = dir_.File("launch-record.txt");
  {
    hktest::KeyboardLock lock;
    hktest::PressCombination(kMods, VK_F11);
    ASSERT_TRUE(Eventually([&] { return cl::FileExists(record); }));
  }
  const std::string text = cl::ReadFileBytes(record);
  EXPECT_NE(cl::LowerCase(text).find("pellwick.exe"), std::string::npos) << text;
  EXPECT_NE(text.find("\n" + std::to_string(SW_SHOWNORMAL) + "\n"), std::string::npos) << text;
  EXPECT_TRUE(p.Running());
  EXPECT_EQ(Exit(p, main), std::optional<DWORD>(0));
}

}  // namespace
