// The hotkey editor of the real Hotkeys program, driven from outside through its controls' messages: the
// table's buttons and columns, the edit box, and what reaches the definitions file and the system.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "Definitions.h"
#include "HotkeyText.h"
#include "Process.h"
#include "SysUtils.h"
#include "TrayProbe.h"
#include "IniFiles.h"
#include "ProgramDriver.h"
#include "TestSupport.h"
#include "WinString.h"

namespace {

using namespace hkprog;

// Points inside the header of a column (Description 138 pixels wide, ID 45, Action 95).
constexpr int kDescriptionColumnX = 60;
constexpr int kActionColumnX = 138 + 45 + 40;

void Choose(HWND combo, int index, bool post = false) {
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  Notify(combo, CBN_SELCHANGE, post);
}

class Editor : public ::testing::Test {
 protected:
  // The file the program starts with.
  virtual hk::Definitions Initial() const {
    hk::Definitions defs;
    defs.entries = {
        Entry("Notepad", "Open Program or File", "notepad.exe", "Ctrl+Alt+Shift+F11", true),
        Entry("Tidy up", "Minimize All Windows", "", "Ctrl+Alt+Shift+F10", true),
        Entry("Sleeping", "Open Program or File", "calc.exe", "Ctrl+Alt+Shift+F9", false),
    };
    return defs;
  }

  void SetUp() override {
    exe_ = hktest::CopyFileTo(HK_HOTKEYS_EXE, dir_.File(""));
    ASSERT_FALSE(exe_.empty());
    hk::SaveDefinitions(Definitions(), Initial());
    Launch();
  }

  // Starts the program and finds the controls of its editor.
  void Launch() {
    main_ = StartProgram(p_, exe_, dir_.File(""));
    ASSERT_TRUE(main_);
    PostMessageW(main_, kShowEditor, kShowEditor, 0);
    ASSERT_TRUE(Eventually([&] { return IsWindowVisible(main_) != FALSE; }));
    list_ = FindByClass(main_, L"SysListView32");
    ASSERT_TRUE(list_);
    Click(L"&Edit");
    group_ = FindByText(main_, {L"Edit hotkey", L"Add hotkey"});
    ASSERT_TRUE(group_);
    description_ = ChildAt(group_, 88, 16);
    id_ = ChildAt(group_, 88, 41);
    commandLine_ = ChildAt(group_, 88, 91);
    hotkey_ = ChildAt(group_, 288, 141);
    ASSERT_TRUE(description_ && id_ && commandLine_ && hotkey_);
  }

  void TearDown() override {
    if (!p_.Running()) return;
    PostMessageW(main_, kExit, kExit, 0);
    if (!p_.WaitExit(3000)) {
      // An unsaved change asks first: the test is over, its edits are not wanted.
      if (HWND box = Question()) PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
      p_.WaitExit(kWait);
    }
  }

  std::string Definitions() const { return dir_.File("Hotkeys.hkd"); }
  std::string Settings() const { return dir_.File("Hotkeys.ini"); }

  // Ends the program through its exit message.
  void Exit() {
    PostMessageW(main_, kExit, kExit, 0);
    ASSERT_EQ(p_.WaitExit(kWait), std::optional<DWORD>(0));
    p_.Close();
  }

  HWND Button(const wchar_t* caption) { return FindByText(main_, {caption}); }
  void Click(const wchar_t* caption, bool post = false) {
    HWND b = Button(caption);
    ASSERT_TRUE(b) << "no button";
    Notify(b, BN_CLICKED, post);
  }

  HWND Question() {
    HWND box = nullptr;
    Eventually([&] {
      box = hktest::FindProcessWindow("#32770", p_.Pid());
      return box && IsWindowVisible(box);
    });
    return box;
  }

  // The conflict dialog, once it is on screen.
  HWND Conflict() {
    HWND dialog = nullptr;
    Eventually([&] {
      dialog = hktest::FindProcessWindow("TfrmHotkeyError", p_.Pid());
      return dialog && IsWindowVisible(dialog);
    });
    return dialog;
  }

  // Keyboard navigation: Home, then Down to the row.
  void Select(int row) {
    SendMessageW(list_, WM_KEYDOWN, VK_HOME, 0);
    for (int i = 0; i < row; ++i) SendMessageW(list_, WM_KEYDOWN, VK_DOWN, 0);
  }

  // A click on the column's header (x: a point inside the column).
  void ClickColumn(int x) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0));
    ASSERT_TRUE(header);
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 5));
    SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(x, 5));
  }

  int Rows() const { return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)); }

  // The file once it satisfies `condition`.
  hk::LoadedDefinitions SavedWhen(bool (*condition)(const hk::LoadedDefinitions&)) {
    hk::LoadedDefinitions saved;
    Eventually([&] {
      saved = hk::LoadDefinitions(Definitions());
      return condition(saved);
    });
    return saved;
  }

  testsupport::TempDir dir_;
  std::string exe_;
  hktest::ChildProcess p_;
  HWND main_ = nullptr;
  HWND list_ = nullptr;
  HWND group_ = nullptr;
  HWND description_ = nullptr;
  HWND id_ = nullptr;
  HWND commandLine_ = nullptr;
  HWND hotkey_ = nullptr;
};

TEST_F(Editor, TheEditButtonShowsTheToolWindowAndCloseHidesIt) {
  // SetUp pressed "&Edit": the edit box is in a captioned top-level window that the editor owns.
  HWND tool = nullptr;
  for (HWND w : OwnedWindows(main_))
    if (WindowText(w) == L"Calderine Editor") tool = w;
  ASSERT_TRUE(tool);
  EXPECT_TRUE(Eventually([&] { return IsWindowVisible(tool) != FALSE; }));
  EXPECT_TRUE(IsChild(tool, group_));
  EXPECT_TRUE(GetWindowLongPtrW(tool, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  // It opens at the editor's client origin plus (44, 10).
  POINT origin{0, 0};
  ClientToScreen(main_, &origin);
  RECT r;
  GetWindowRect(tool, &r);
  EXPECT_EQ(r.left, origin.x + 44);
  EXPECT_EQ(r.top, origin.y + 10);
  // Sizing it: the description follows the width, the command line stays 130 pixels narrower.
  const auto width = [](HWND w) {
    RECT b;
    GetWindowRect(w, &b);
    return static_cast<int>(b.right - b.left);
  };
  const int description = width(description_);
  SetWindowPos(tool, nullptr, 0, 0, width(tool) + 100, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(Eventually([&] { return width(description_) == description + 100; }));
  EXPECT_EQ(width(commandLine_), width(description_) - 130);
  HWND close = FindByText(tool, {L"&Close"});
  ASSERT_TRUE(close);
  Notify(close, BN_CLICKED);
  EXPECT_TRUE(Eventually([&] { return !IsWindowVisible(tool); }));
  EXPECT_TRUE(IsWindowVisible(main_));
  Click(L"&Edit");
  EXPECT_TRUE(Eventually([&] { return IsWindowVisible(tool) != FALSE; }));
}

TEST_F(Editor, EscapeInTheToolWindowGoesBackToTheEditorAndF1ThereOpensNothing) {
  // Keys as the keyboard gives them, through the program's message loop; a character posted after each
  // shows when the key has been handled (the queue keeps their order).
  const auto press = [&](HWND target, WPARAM key) {
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
  };
  const auto handled = [&](wchar_t mark) {
    PostMessageW(description_, WM_CHAR, mark, 1);
    return Eventually([&] { return WindowText(description_).find(mark) != std::wstring::npos; });
  };
  Type(description_, L"");
  press(description_, VK_ESCAPE);
  ASSERT_TRUE(handled(L'e'));
  // Esc in the editor itself would hide it (after the save question): the tool window kept the key.
  EXPECT_TRUE(IsWindowVisible(main_));
  EXPECT_FALSE(hktest::FindProcessWindow("#32770", p_.Pid()));
  GUITHREADINFO gui{sizeof(gui)};
  ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(main_, nullptr), &gui));
  EXPECT_TRUE(gui.hwndFocus && IsChild(main_, gui.hwndFocus)) << "the focus went back to the editor";

  press(description_, VK_F1);
  ASSERT_TRUE(handled(L'f'));
  EXPECT_FALSE(hktest::FindProcessWindow("#32770", p_.Pid())) << "F1 in the tool window opened something";
  // In the editor F1 asks for the help page, which this folder lacks: the program says so.
  press(list_, VK_F1);
  HWND box = Question();
  ASSERT_TRUE(box);
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_TRUE(Eventually([&] { return !IsWindow(box); }));
}

TEST_F(Editor, NewEntryIsWrittenByApplyAndRegistered) {
  ASSERT_TRUE(CombinationFree(VK_F7));
  EXPECT_FALSE(IsWindowEnabled(Button(L"&Apply")));
  Click(L"&New");
  EXPECT_EQ(Rows(), 4);
  EXPECT_EQ(WindowText(group_), L"Add hotkey");
  EXPECT_TRUE(IsWindowEnabled(Button(L"&Apply")));
  Type(description_, L"Calculator");
  Type(commandLine_, L"calc.exe");
  // Typing an ID keeps letters and digits, upper-cased and padded; one that is taken is numbered.
  Type(id_, L"n-o");
  Choose(hotkey_, hk::KeyPositionFromName("F7"));
  for (const wchar_t* box : {L"Ctrl", L"Alt", L"Shift"}) Notify(FindByText(group_, {box}), BN_CLICKED);
  Click(L"&Apply");
  EXPECT_FALSE(IsWindowEnabled(Button(L"&Apply")));

  const hk::LoadedDefinitions saved = hk::LoadDefinitions(Definitions());
  ASSERT_EQ(saved.entries.size(), 4u);
  const hk::HotkeyEntry& e = saved.entries[3];
  EXPECT_EQ(e.description, "Calculator");
  EXPECT_EQ(e.id, "NO00");
  EXPECT_EQ(e.action, "Open Program or File");
  EXPECT_EQ(e.data, "calc.exe");
  EXPECT_EQ(e.hotkey, "Ctrl+Alt+Shift+F7");
  EXPECT_EQ(e.active, "True");
  EXPECT_TRUE(Eventually([] { return !CombinationFree(VK_F7); }));
}

TEST_F(Editor, IdsAreMadeUnique) {
  Click(L"&New");
  Type(id_, L"note");
  Click(L"&New");
  Type(id_, L"NOTE");
  Click(L"&Apply");
  const hk::LoadedDefinitions saved = hk::LoadDefinitions(Definitions());
  ASSERT_EQ(saved.entries.size(), 5u);
  EXPECT_EQ(saved.entries[0].id, "NOTE");
  EXPECT_EQ(saved.entries[3].id, "NOT1");
  EXPECT_EQ(saved.entries[4].id, "NOT2");
}

TEST_F(Editor, DeleteRemovesTheCurrentRowAndUndoAsksFirst) {
  Select(1);
  EXPECT_EQ(WindowText(description_), L"Tidy up");
  Click(L"&Delete");
  EXPECT_EQ(Rows(), 2);

  // Undo answered No keeps the edit; Yes reads the file again.
  Click(L"&Undo", true);
  HWND box = Question();
  ASSERT_TRUE(box);
  EXPECT_EQ(WindowText(box), L"Warning");
  EXPECT_EQ(WindowText(GetDlgItem(box, 0xFFFF)), L"Undoing will discard all changes since the last save. Continue?");
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
  EXPECT_TRUE(Eventually([&] { return !IsWindow(box); }));
  EXPECT_EQ(Rows(), 2);
  EXPECT_TRUE(IsWindowEnabled(Button(L"&Apply")));

  Click(L"&Undo", true);
  box = Question();
  ASSERT_TRUE(box);
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
  EXPECT_TRUE(Eventually([&] { return Rows() == 3; }));
  EXPECT_FALSE(IsWindowEnabled(Button(L"&Apply")));

  // Delete and Apply: the file loses the row.
  Select(1);
  Click(L"&Delete");
  Click(L"&Apply");
  const hk::LoadedDefinitions saved = hk::LoadDefinitions(Definitions());
  ASSERT_EQ(saved.entries.size(), 2u);
  EXPECT_EQ(saved.entries[0].description, "Notepad");
  EXPECT_EQ(saved.entries[1].description, "Sleeping");
}

TEST_F(Editor, ColumnClicksSortAndSaveAtOnce) {
  ClickColumn(kActionColumnX);  // ascending
  hk::LoadedDefinitions saved = SavedWhen([](const hk::LoadedDefinitions& d) { return d.sortColumn == 2; });
  EXPECT_EQ(saved.sortColumn, std::optional<std::int32_t>(2));
  EXPECT_EQ(saved.sortAscending, std::optional<bool>(true));
  ASSERT_EQ(saved.entries.size(), 3u);
  EXPECT_EQ(saved.entries[0].description, "Tidy up");

  ClickColumn(kActionColumnX);  // descending
  saved = SavedWhen([](const hk::LoadedDefinitions& d) { return d.sortAscending == false; });
  EXPECT_EQ(saved.sortColumn, std::optional<std::int32_t>(2));
  EXPECT_EQ(saved.sortAscending, std::optional<bool>(false));
  ASSERT_EQ(saved.entries.size(), 3u);
  EXPECT_EQ(saved.entries[2].description, "Tidy up");

  // A new row stays last and the sort is off until Apply restores it, also after a second New.
  ClickColumn(kDescriptionColumnX);
  Click(L"&New");
  Type(description_, L"Alpha");
  Click(L"&New");
  Type(description_, L"Beta");
  Click(L"&Apply");
  saved = hk::LoadDefinitions(Definitions());
  EXPECT_EQ(saved.sortColumn, std::optional<std::int32_t>(0));
  ASSERT_EQ(saved.entries.size(), 5u);
  EXPECT_EQ(saved.entries[0].description, "Alpha");
  EXPECT_EQ(saved.entries[1].description, "Beta");
}

TEST_F(Editor, SwitchingTheActionTakesTheDataOfItsControl) {
  HWND actions = ChildAt(group_, 88, 66);
  HWND startIn = ChildAt(group_, 88, 116);
  ASSERT_TRUE(actions && startIn);
  Select(2);  // Sleeping: Open Program or File, calc.exe
  ASSERT_EQ(WindowText(commandLine_), L"calc.exe");
  Choose(actions, hk::haOpenFolder);
  EXPECT_FALSE(ShownInside(commandLine_));
  // The folder typed into the start-in edit is the data of "Open a Folder", not its start directory.
  Type(startIn, L"C:\\Tools");
  Click(L"&Apply");
  hk::LoadedDefinitions saved = hk::LoadDefinitions(Definitions());
  ASSERT_EQ(saved.entries.size(), 3u);
  EXPECT_EQ(saved.entries[2].action, "Open a Folder");
  EXPECT_EQ(saved.entries[2].data, "C:\\Tools");

  // Back to "Open Program or File": the data is what the command-line edit last showed.
  Choose(actions, hk::haOpenProgram);
  EXPECT_TRUE(ShownInside(commandLine_));
  Click(L"&Apply");
  saved = hk::LoadDefinitions(Definitions());
  EXPECT_EQ(saved.entries[2].action, "Open Program or File");
  EXPECT_EQ(saved.entries[2].data, "calc.exe");
}

TEST_F(Editor, ACombinationOfAnotherActiveEntryIsAskedAbout) {
  Select(2);  // Sleeping: Ctrl+Alt+Shift+F9, inactive
  ASSERT_EQ(WindowText(description_), L"Sleeping");
  Choose(hotkey_, hk::KeyPositionFromName("F11"), true);  // Notepad's
  HWND box = Conflict();
  ASSERT_TRUE(box);
  EXPECT_EQ(WindowText(box), L"Hotkey Definition Error");
  Notify(FindByText(box, {L"Reset"}), BN_CLICKED, true);
  // Reset: the key list shows the stored key again and nothing changed.
  EXPECT_TRUE(Eventually([&] {
    return SendMessageW(hotkey_, CB_GETCURSEL, 0, 0) == hk::KeyPositionFromName("F9");
  }));
  EXPECT_FALSE(IsWindowEnabled(Button(L"&Apply")));

  // Continue takes it.
  Choose(hotkey_, hk::KeyPositionFromName("F11"), true);
  box = Conflict();
  ASSERT_TRUE(box);
  Notify(FindByText(box, {L"Continue"}), BN_CLICKED, true);
  EXPECT_TRUE(Eventually([&] { return IsWindowEnabled(Button(L"&Apply")) != FALSE; }));
  Click(L"&Apply");
  EXPECT_EQ(hk::LoadDefinitions(Definitions()).entries.at(2).hotkey, "Ctrl+Alt+Shift+F11");
}

TEST_F(Editor, ACombinationHeldByAnotherProgramIsRefused) {
  ASSERT_TRUE(RegisterHotKey(nullptr, 0x5A5C, kMods, VK_F8));
  Select(2);
  Choose(hotkey_, hk::KeyPositionFromName("F8"), true);
  HWND box = Question();
  ASSERT_TRUE(box);
  EXPECT_EQ(WindowText(box), L"Hotkey combination error");
  EXPECT_EQ(WindowText(GetDlgItem(box, 0xFFFF)), L"This hotkey combination is in use by another application.");
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_TRUE(Eventually([&] {
    return SendMessageW(hotkey_, CB_GETCURSEL, 0, 0) == hk::KeyPositionFromName("F9");
  }));
  UnregisterHotKey(nullptr, 0x5A5C);
  EXPECT_FALSE(IsWindowEnabled(Button(L"&Apply")));

  // Choosing the row's own combination again (ours, registered) is no conflict and no change.
  Select(0);
  Choose(hotkey_, hk::KeyPositionFromName("F11"));
  EXPECT_FALSE(hktest::FindProcessWindow("#32770", p_.Pid()));
  EXPECT_FALSE(IsWindowEnabled(Button(L"&Apply")));
}

// The start-in folder's browse button opens the folder dialog; cancelling it keeps the folder.
TEST_F(Editor, TheStartInButtonOpensTheFolderDialog) {
  Select(0);
  Click(L"&Edit");
  // The visible browse edits of the first entry: the command line and, below it, the start-in folder.
  HWND edit = nullptr;
  LONG lowestTop = LONG_MIN;
  for (HWND w : VisibleBrowseEdits(group_)) {
    RECT r;
    GetWindowRect(w, &r);
    if (r.top > lowestTop) {
      lowestTop = r.top;
      edit = w;
    }
  }
  ASSERT_TRUE(edit);
  const std::wstring before = WindowText(edit);
  ClickBrowseButton(edit);
  HWND dialog = Question();
  ASSERT_TRUE(dialog);
  EXPECT_EQ(WindowText(dialog), L"Select Startup Directory");
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_TRUE(Eventually([&] { return !IsWindow(dialog); }));
  EXPECT_EQ(WindowText(edit), before);
}

// Leaving the command line fills an empty start-in folder with the deepest existing folder of its path,
// and only when the path begins with a drive.
TEST_F(Editor, LeavingTheCommandLineFillsTheStartInFolderFromItsDrive) {
  HWND startIn = ChildAt(group_, 88, 116);
  ASSERT_TRUE(startIn);
  const UINT kExitMessage = 0xB01B;  // what the edit gets when the focus leaves it
  Select(2);  // Sleeping: calc.exe, no folder
  ASSERT_EQ(WindowText(startIn), L"");
  PostMessageW(commandLine_, kExitMessage, 0, 0);
  hktest::PumpWait(nullptr, 300);
  EXPECT_EQ(WindowText(startIn), L"");

  std::wstring folder = cl::ToWide(dir_.File(""));  // a folder that exists
  std::replace(folder.begin(), folder.end(), L'/', L'\\');
  while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  ASSERT_GT(folder.size(), 3u);
  ASSERT_EQ(folder[1], L':');
  Type(commandLine_, L"\"" + folder + L"\\tool.exe\" -x");
  PostMessageW(commandLine_, kExitMessage, 0, 0);
  EXPECT_TRUE(Eventually([&] { return WindowText(startIn) == folder; }, 3000)) << cl::FromWide(WindowText(startIn));

  Type(startIn, L"");
  Type(commandLine_, L"C:\\tool.exe");
  PostMessageW(commandLine_, kExitMessage, 0, 0);
  EXPECT_TRUE(Eventually([&] { return WindowText(startIn) == L"C:\\"; }, 3000));
}

// An ID list is checked when its edit is left: every ID must name an entry that is not itself a list.
TEST_F(Editor, AnIdListWithAMissingIdOrAListIdIsReported) {
  HWND actions = ChildAt(group_, 88, 66);
  ASSERT_TRUE(actions);
  Select(2);  // Sleeping, ID SLEE
  Choose(actions, hk::haExecuteMultiple);
  // The data edits share one place; the list's is the visible one.
  HWND ids = ChildAt(group_, 88, 91, true);
  ASSERT_TRUE(ids);
  const UINT kExitMessage = 0xB01B;  // what the edit gets when the focus leaves it
  auto leave = [&] { PostMessageW(ids, kExitMessage, 0, 0); };

  Type(ids, L"NOTE;D=500;TIDY");
  leave();
  hktest::PumpWait(nullptr, 500);
  EXPECT_FALSE(hktest::FindProcessWindow("#32770", p_.Pid()));

  for (const wchar_t* list : {L"NOTE;SLEE", L"TIDY;NOPE"}) {  // the entry itself; an ID nobody has
    Type(ids, list);
    leave();
    HWND box = Question();
    ASSERT_TRUE(box) << cl::FromWide(list);
    EXPECT_EQ(WindowText(box), L"Invalid IDs found");
    EXPECT_EQ(WindowText(GetDlgItem(box, 0xFFFF)),
              L"This entry contains one or more invalid IDs (ID does not exist or ID belongs to Multiple Action "
              L"command).");
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(Eventually([&] { return !IsWindow(box); }));
  }
  // Only the message tells: the list stays in the row.
  Click(L"&Apply");
  const hk::LoadedDefinitions saved = hk::LoadDefinitions(Definitions());
  ASSERT_EQ(saved.entries.size(), 3u);
  EXPECT_EQ(saved.entries[2].action, "Execute Multiple Commands");
  EXPECT_EQ(saved.entries[2].data, "TIDY;NOPE");
}

// ------------------------------------------------------------------------------------ the options

std::optional<std::wstring> AutorunValue() {
  wchar_t value[MAX_PATH * 2] = {};
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"Calderine",
                   RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
    return std::nullopt;
  return std::wstring(value);
}

TEST_F(Editor, TheAutorunOptionWritesAndRemovesTheValue) {
  HWND option = Button(L"Auto Startup with &Windows");
  ASSERT_TRUE(option);
  const std::optional<std::wstring> quoted = cl::ToWide("\"" + exe_ + "\"");
  // On by default: the start wrote the program's path in quotes.
  ASSERT_EQ(SendMessageW(option, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(AutorunValue(), quoted);

  Notify(option, BN_CLICKED);
  EXPECT_EQ(SendMessageW(option, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(AutorunValue(), std::nullopt);
  EXPECT_EQ(cl::TIniFile(Settings()).ReadString("Settings", "AutoRun", ""), "0");

  Notify(option, BN_CLICKED);
  EXPECT_EQ(AutorunValue(), quoted);
  EXPECT_EQ(cl::TIniFile(Settings()).ReadString("Settings", "AutoRun", ""), "1");

  // Off at the next start: the start leaves the registry alone.
  Notify(option, BN_CLICKED);
  ASSERT_NO_FATAL_FAILURE(Exit());
  RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"Calderine", REG_SZ,
                  L"left alone", sizeof L"left alone");
  ASSERT_NO_FATAL_FAILURE(Launch());
  EXPECT_EQ(SendMessageW(Button(L"Auto Startup with &Windows"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(AutorunValue(), std::optional<std::wstring>(L"left alone"));
  RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"Calderine");
}

TEST_F(Editor, SettingsSurviveARestart) {
  hk::SaveDefinitions(dir_.File("other.hkd"), Initial());
  SetWindowPos(main_, nullptr, 0, 0, 640, 480, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(list_, LVM_SETCOLUMNWIDTH, 3, 210);  // Data
  HWND updown = FindByClass(main_, L"msctls_updown32");
  ASSERT_TRUE(updown);
  HWND clipboards = FindByClass(GetParent(updown), L"Edit");  // the count, beside its arrows
  ASSERT_TRUE(clipboards);
  ASSERT_EQ(WindowText(clipboards), L"5");
  Type(clipboards, L"7");
  EXPECT_FALSE(IsWindowEnabled(Button(L"&Apply")));
  HWND icon = Button(L"&Show Calderine icon on Windows taskbar");
  ASSERT_TRUE(icon);
  Notify(icon, BN_CLICKED);
  EXPECT_TRUE(Eventually([&] { return !hktest::ProcessHasTrayIcon(p_.Pid()); }));

  // Another definitions file through Load and its open dialog.
  Click(L"&Load...", true);
  HWND dialog = Question();
  ASSERT_TRUE(dialog);
  EXPECT_EQ(WindowText(dialog), L"Select Hotkey Definition File");
  HWND name = GetDlgItem(dialog, 0x480);  // the file name edit
  if (!name) name = GetDlgItem(dialog, 0x47C);
  ASSERT_TRUE(name);
  const std::wstring other = cl::ToWide(dir_.File("other.hkd"));
  SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(other.c_str()));
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  // Nothing was pending (the count and the options do not touch the rows), so Load switches at once.
  EXPECT_TRUE(Eventually([&] { return WindowText(main_).find(L"other.hkd") != std::wstring::npos; }));

  ASSERT_NO_FATAL_FAILURE(Exit());
  // The skinned window comes back at the size it had: the skin keeps the client area when it replaces
  // the system's frame, so what is stored is the size with the system's frame around that client area.
  const cl::TIniFile stored(Settings());
  const int storedWidth = stored.ReadInteger("EditorWindow", "Width", 0);
  const int storedHeight = stored.ReadInteger("EditorWindow", "Height", 0);
  ASSERT_NO_FATAL_FAILURE(Launch());
  // The skin fits its frame once the shown window has handled the manager's posted request.
  RECT r{};
  EXPECT_TRUE(Eventually([&] {
    GetWindowRect(main_, &r);
    return r.right - r.left == 640 && r.bottom - r.top == 480;
  })) << r.right - r.left << " x " << r.bottom - r.top;
  EXPECT_EQ(SendMessageW(list_, LVM_GETCOLUMNWIDTH, 3, 0), 210);
  EXPECT_EQ(SendMessageW(list_, LVM_GETCOLUMNWIDTH, 0, 0), 138);
  updown = FindByClass(main_, L"msctls_updown32");
  EXPECT_EQ(WindowText(FindByClass(GetParent(updown), L"Edit")), L"7");
  EXPECT_EQ(SendMessageW(updown, UDM_GETPOS32, 0, 0), 7);
  EXPECT_EQ(SendMessageW(Button(L"&Show Calderine icon on Windows taskbar"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_FALSE(hktest::ProcessHasTrayIcon(p_.Pid()));
  EXPECT_EQ(cl::LowerCase(cl::FromWide(WindowText(main_))), cl::LowerCase("Calderine Editor - " + dir_.File("other.hkd")));
  const cl::TIniFile ini(Settings());
  EXPECT_EQ(ini.ReadInteger("Settings", "ClipboardCount", 0), 7);
  EXPECT_EQ(ini.ReadString("Settings", "ShowTaskbarIcon", ""), "0");
  // Again: the stored size does not creep from one start to the next.
  ASSERT_NO_FATAL_FAILURE(Exit());
  const cl::TIniFile again(Settings());
  EXPECT_EQ(again.ReadInteger("EditorWindow", "Width", 0), storedWidth);
  EXPECT_EQ(again.ReadInteger("EditorWindow", "Height", 0), storedHeight);
}

// ------------------------------------------------------------------------------- moving rows by drag

class EditorDrag : public Editor {
 protected:
  hk::Definitions Initial() const override {
    hk::Definitions defs;
    for (const char* name : {"Row A", "Row B", "Row C", "Row D", "Row E", "Row F"})
      defs.entries.push_back(Entry(name, "Minimize All Windows", "", "", false));
    defs.sortColumn = 0;  // sorted by description: the move must switch that off
    defs.sortAscending = true;
    return defs;
  }

  // A row's bounds in the table's client area, read in the program's own memory.
  RECT RowRect(int row) {
    RECT r{LVIR_BOUNDS, 0, 0, 0};
    void* remote = VirtualAllocEx(p_.Handle(), nullptr, sizeof r, MEM_COMMIT, PAGE_READWRITE);
    if (!remote) return RECT{};
    WriteProcessMemory(p_.Handle(), remote, &r, sizeof r, nullptr);
    if (!SendMessageW(list_, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote))) r = RECT{};
    else ReadProcessMemory(p_.Handle(), remote, &r, sizeof r, nullptr);
    VirtualFreeEx(p_.Handle(), remote, 0, MEM_RELEASE);
    return r;
  }
  POINT RowPoint(int row) {
    const RECT r = RowRect(row);
    return POINT{r.left + 40, (r.top + r.bottom) / 2};
  }

  // Drops find their target by what is on screen: the table must be on top where the mouse goes. Windows
  // of the program itself (the edit box) are moved out of the way.
  bool Uncovered(std::initializer_list<POINT> points) {
    return Eventually(
        [&] {
          SetWindowPos(main_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
          for (POINT p : points) {
            ClientToScreen(list_, &p);
            HWND root = GetAncestor(WindowFromPoint(p), GA_ROOT);
            if (root == main_) continue;
            DWORD pid = 0;
            GetWindowThreadProcessId(root, &pid);
            if (pid == p_.Pid()) SetWindowPos(root, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
            return false;
          }
          return true;
        },
        5000);
  }

  static void Post(HWND w, UINT msg, WPARAM keys, POINT p) { PostMessageW(w, msg, keys, MAKELPARAM(p.x, p.y)); }
  static void Pause(DWORD ms) { hktest::PumpWait(nullptr, ms); }

  // The button is pressed and released for real, the moves between are posted. A move the system makes up
  // meanwhile (for the cursor set, or a window raised under it) then says the button is down, as it is; with
  // a posted press such a move would say it is up, and the table would give up the drag it is about to see.
  static bool PressButton(DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    return SendInput(1, &in, sizeof in) == 1;
  }
  void Drag(POINT from, POINT to) {
    POINT screen = from;
    ClientToScreen(list_, &screen);
    SetCursorPos(screen.x, screen.y);
    PressButton(MOUSEEVENTF_LEFTDOWN);
    Pause(100);
    for (int step = 1; step <= 6; ++step) {
      Post(list_, WM_MOUSEMOVE, MK_LBUTTON, POINT{from.x + step, from.y + (to.y - from.y) * step / 6});
      Pause(60);
    }
    screen = to;
    ClientToScreen(list_, &screen);
    SetCursorPos(screen.x, screen.y);
    PressButton(MOUSEEVENTF_LEFTUP);
  }

  std::vector<std::string> SavedOrder() {
    std::vector<std::string> order;
    for (const hk::HotkeyEntry& e : hk::LoadDefinitions(Definitions()).entries) order.push_back(e.description);
    return order;
  }
};

TEST_F(EditorDrag, DraggingRowFiveOntoRowTwoPutsItThereAndSavesTheManualOrder) {
  ASSERT_EQ(Rows(), 6);
  const std::vector<std::string> before = SavedOrder();
  const std::vector<std::string> moved{"Row A", "Row B", "Row F", "Row C", "Row D", "Row E"};
  // Another program's window passing over the table can take the drag: it is tried again then.
  for (int attempt = 0; attempt < 3 && SavedOrder() != moved; ++attempt) {
    ASSERT_EQ(SavedOrder(), before);
    Select(5);
    const POINT from = RowPoint(5);
    const POINT to = RowPoint(2);
    ASSERT_TRUE(Uncovered({from, to}));
    Drag(from, to);
    Eventually([&] { return SavedOrder() != before; }, 3000);
  }
  // Nothing else was pending, so the move was saved at once, with no sort column.
  EXPECT_EQ(SavedOrder(), moved);
  const hk::LoadedDefinitions saved = hk::LoadDefinitions(Definitions());
  EXPECT_EQ(saved.sortColumn, std::optional<std::int32_t>(-1));
  EXPECT_FALSE(IsWindowEnabled(Button(L"&Apply")));
  // The moved row is the selected row and the one the edit box shows.
  EXPECT_EQ(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 2);
  EXPECT_EQ(WindowText(description_), L"Row F");

  // A drop beside the rows moves nothing.
  const RECT last = RowRect(5);
  const POINT below{last.left + 40, last.bottom + 30};
  RECT client;
  GetClientRect(list_, &client);
  ASSERT_LT(below.y, client.bottom - 12);
  ASSERT_TRUE(Uncovered({RowPoint(0), below}));
  Select(0);
  Drag(RowPoint(0), below);
  Pause(500);
  EXPECT_EQ(SavedOrder(), moved);
  EXPECT_FALSE(IsWindowEnabled(Button(L"&Apply")));
}

// While other changes are pending the move waits for Apply, which records the manual order.
TEST_F(EditorDrag, AMoveWhileModifiedWaitsForApply) {
  Select(0);
  Type(description_, L"Row A changed");
  ASSERT_TRUE(IsWindowEnabled(Button(L"&Apply")));
  const std::vector<std::string> moved{"Row A changed", "Row C", "Row D", "Row B", "Row E", "Row F"};
  std::vector<std::string> shown;
  auto table = [&] {
    std::vector<std::string> rows;
    for (int i = 0; i < Rows(); ++i) {
      Select(i);
      rows.push_back(cl::FromWide(WindowText(description_)));
    }
    return rows;
  };
  for (int attempt = 0; attempt < 3 && shown != moved; ++attempt) {
    Select(1);
    const POINT from = RowPoint(1);
    const POINT to = RowPoint(4);
    ASSERT_TRUE(Uncovered({from, to}));
    Drag(from, to);
    Pause(400);
    shown = table();
  }
  EXPECT_EQ(shown, moved);
  EXPECT_EQ(SavedOrder()[0], "Row A");  // nothing saved yet
  Click(L"&Apply");
  EXPECT_EQ(SavedOrder(), moved);
  EXPECT_EQ(hk::LoadDefinitions(Definitions()).sortColumn, std::optional<std::int32_t>(-1));
}

}  // namespace
