// The hotkey editor of the real Hotkeys program, driven from outside through its controls' messages: the
// table's buttons and columns, the edit box, and what reaches the definitions file and the system.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "Definitions.h"
#include "HotkeyText.h"
#include "Process.h"
#include "ProgramDriver.h"
#include "TestSupport.h"

namespace {

using namespace hkprog;

// Points inside the header of a column (Description 138 pixels wide, ID 45, Action 95).
constexpr int kDescriptionColumnX = 60;
constexpr int kActionColumnX = 138 + 45 + 40;

std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> all;
  EnumChildWindows(
      parent,
      [](HWND w, LPARAM p) {
        reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&all));
  return all;
}

// The descendant whose text is one of `texts`, or null.
HWND FindByText(HWND parent, std::initializer_list<const wchar_t*> texts) {
  for (HWND w : Descendants(parent))
    for (const wchar_t* t : texts)
      if (WindowText(w) == t) return w;
  return nullptr;
}

HWND FindByClass(HWND parent, const wchar_t* className) {
  for (HWND w : Descendants(parent)) {
    wchar_t buf[64] = {};
    GetClassNameW(w, buf, 64);
    if (_wcsicmp(buf, className) == 0) return w;
  }
  return nullptr;
}

// The direct child of `parent` whose top left corner lies at (x, y) of the parent's client area.
HWND ChildAt(HWND parent, int x, int y) {
  for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    RECT r;
    GetWindowRect(w, &r);
    POINT p{r.left, r.top};
    ScreenToClient(parent, &p);
    if (p.x == x && p.y == y) return w;
  }
  return nullptr;
}

// What a control tells its parent, as the control itself would. Posted when it may open a modal box.
void Notify(HWND control, WORD code, bool post = false) {
  const WPARAM w = MAKEWPARAM(GetDlgCtrlID(control), code);
  if (post) PostMessageW(GetParent(control), WM_COMMAND, w, reinterpret_cast<LPARAM>(control));
  else SendMessageW(GetParent(control), WM_COMMAND, w, reinterpret_cast<LPARAM>(control));
}

void Type(HWND edit, const std::wstring& text) {
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  Notify(edit, EN_CHANGE);
}

void Choose(HWND combo, int index, bool post = false) {
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  Notify(combo, CBN_SELCHANGE, post);
}

class Editor : public ::testing::Test {
 protected:
  void SetUp() override {
    exe_ = hktest::CopyFileTo(HK_HOTKEYS_EXE, dir_.File(""));
    ASSERT_FALSE(exe_.empty());
    hk::Definitions defs;
    defs.entries = {
        Entry("Notepad", "Open Program or File", "notepad.exe", "Ctrl+Alt+Shift+F11", true),
        Entry("Tidy up", "Minimize All Windows", "", "Ctrl+Alt+Shift+F10", true),
        Entry("Sleeping", "Open Program or File", "calc.exe", "Ctrl+Alt+Shift+F9", false),
    };
    hk::SaveDefinitions(Definitions(), defs);
    ASSERT_TRUE(p_.Start(exe_, {}, dir_.File("")));
    WaitForInputIdle(p_.Handle(), kWait);
    main_ = hktest::WaitForWindow("TfrmHotkeyEdit", p_.Pid(), kWait);
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
  EXPECT_FALSE(IsWindowVisible(commandLine_));
  // The folder typed into the start-in edit is the data of "Open a Folder", not its start directory.
  Type(startIn, L"C:\\Tools");
  Click(L"&Apply");
  hk::LoadedDefinitions saved = hk::LoadDefinitions(Definitions());
  ASSERT_EQ(saved.entries.size(), 3u);
  EXPECT_EQ(saved.entries[2].action, "Open a Folder");
  EXPECT_EQ(saved.entries[2].data, "C:\\Tools");

  // Back to "Open Program or File": the data is what the command-line edit last showed.
  Choose(actions, hk::haOpenProgram);
  EXPECT_TRUE(IsWindowVisible(commandLine_));
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
  // The visible browse buttons of the first entry: the command line's and, below it, the start-in folder's.
  HWND lowest = nullptr;
  LONG lowestTop = LONG_MIN;
  for (HWND w : Descendants(group_)) {
    wchar_t cls[64] = {};
    GetClassNameW(w, cls, 64);
    if (wcscmp(cls, L"TSaBrowseButton") != 0 || !IsWindowVisible(w)) continue;
    RECT r;
    GetWindowRect(w, &r);
    if (r.top > lowestTop) {
      lowestTop = r.top;
      lowest = w;
    }
  }
  ASSERT_TRUE(lowest);
  HWND edit = GetParent(lowest);
  const std::wstring before = WindowText(edit);
  PostMessageW(lowest, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  PostMessageW(lowest, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  HWND dialog = Question();
  ASSERT_TRUE(dialog);
  EXPECT_EQ(WindowText(dialog), L"Select Startup Directory");
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_TRUE(Eventually([&] { return !IsWindow(dialog); }));
  EXPECT_EQ(WindowText(edit), before);
}

}  // namespace
