// ID lists: the runner with its pauses, the command selection and keystroke dialogs made in this process,
// and lists run by the real program (in order, with pauses that keep it answering, nested lists doing
// nothing harmful).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ComCtrls.h"
#include "FileUtil.h"
#include "FormReader.h"
#include "Forms.h"
#include "HiddenWindow.h"
#include "KeyInput.h"
#include "MessageLoop.h"
#include "ProgramDriver.h"
#include "SaRegister.h"
#include "SpecialKeys.h"
#include "StdClasses.h"
#include "TestSupport.h"
#include "WinString.h"
#include "WindowTest.h"
#include "hkMulti.h"
#include "hkSelect.h"
#include "hkSpecial.h"
#include "FormsTestSupport.h"

namespace {

using formstest::AppTest;

// ------------------------------------------------------------------------------------------ the runner

hk::IdListStep Step(const char* data, int pause) { return {{hk::haOpenProgram, data, "Normal", ""}, pause}; }

class ListRunner : public AppTest {};

TEST_F(ListRunner, StepsRunInOrderAfterTheirPausesWhileMessagesAreHandled) {
  std::vector<std::string> events;
  std::vector<ULONGLONG> times;
  // Fires during the first pause: the thread keeps handling its messages.
  timers_.After(100, [&] { events.push_back("timer"); });
  const bool done = hk::RunIdListSteps({Step("one", 0), Step("two", 300), Step("three", 300)},
                                       [&](const hk::HotkeyCommand& c) {
                                         events.push_back(c.data);
                                         times.push_back(GetTickCount64());
                                       });
  EXPECT_TRUE(done);
  EXPECT_EQ(events, (std::vector<std::string>{"one", "timer", "two", "three"}));
  ASSERT_EQ(times.size(), 3u);
  EXPECT_GE(times[1] - times[0], 290u);
  EXPECT_GE(times[2] - times[1], 290u);
}

TEST_F(ListRunner, HotKeysPressedDuringAPauseRunAfterTheList) {
  std::vector<std::string> events;
  cl::THiddenWindow keys([&](cl::TMessage& m) {
    if (m.Msg == WM_HOTKEY) events.push_back("hot key");
  });
  timers_.After(50, [&] { PostMessageW(keys.Handle(), WM_HOTKEY, 7, 0); });
  auto record = [&](const hk::HotkeyCommand& c) { events.push_back(c.data); };
  EXPECT_TRUE(hk::RunIdListSteps({Step("one", 0), Step("two", 300)}, record));
  EXPECT_EQ(events, (std::vector<std::string>{"one", "two"}));
  app_->ProcessMessages();
  EXPECT_EQ(events, (std::vector<std::string>{"one", "two", "hot key"}));
}

TEST_F(ListRunner, TheEndOfTheProgramCutsAPauseShort) {
  std::vector<std::string> ran;
  auto record = [&](const hk::HotkeyCommand& c) { ran.push_back(c.data); };
  timers_.After(50, [&] { app_->Terminate(); });
  const ULONGLONG start = GetTickCount64();
  EXPECT_FALSE(hk::RunIdListSteps({Step("one", 0), Step("two", 5000), Step("three", 0)}, record));
  EXPECT_LT(GetTickCount64() - start, 3000u);
  EXPECT_EQ(ran, std::vector<std::string>{"one"});
  EXPECT_TRUE(app_->Terminated());
}

TEST_F(ListRunner, AnExceptionEndsTheList) {
  std::vector<std::string> ran;
  auto failing = [&](const hk::HotkeyCommand& c) {
    ran.push_back(c.data);
    if (c.data == "two") throw cl::Exception("failed");
  };
  std::vector<unsigned> pauses;
  EXPECT_THROW(hk::RunIdListSteps({Step("one", 0), Step("two", 7), Step("three", 0)}, failing,
                                  [&](unsigned ms) {
                                    pauses.push_back(ms);
                                    return true;
                                  }),
               cl::Exception);
  EXPECT_EQ(ran, (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(pauses, std::vector<unsigned>{7});
}

TEST_F(ListRunner, AStepThatRunsNothingStillPauses) {
  std::vector<std::string> ran;
  std::vector<unsigned> pauses;
  hk::IdListStep nothing = Step("nameless", 1000);
  nothing.runs = false;
  EXPECT_TRUE(hk::RunIdListSteps({Step("A", 0), nothing, Step("B", 1000)},
                                 [&](const hk::HotkeyCommand& c) { ran.push_back(c.data); },
                                 [&](unsigned ms) {
                                   pauses.push_back(ms);
                                   return true;
                                 }));
  EXPECT_EQ(ran, (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(pauses, (std::vector<unsigned>{1000, 1000}));
}

// ------------------------------------------------------------------------------------------ the dialogs

class ListDialogs : public hkwin::WindowTest {
 protected:
  static void Press(cl::TButton* button) { SendMessageW(button->Handle(), BM_CLICK, 0, 0); }
};

// The editor's table as the dialog gets it: caption, then ID, action name, data, hotkey, active, ...
void AddRow(cl::TListView* view, const std::string& caption, const std::string& id, const std::string& action) {
  cl::TListItem* row = view->Items()->Add();
  row->SetCaption(caption);
  for (const std::string& text : {id, action, std::string("data"), std::string("Ctrl+A"), std::string("True"),
                                  std::string("Normal"), std::string()})
    row->SubItems()->Add(text);
}

std::vector<std::string> Captions(cl::TListView* list) {
  std::vector<std::string> captions;
  for (int i = 0; i < list->Items()->Count(); ++i) captions.push_back(list->Items()->Item(i)->Caption());
  return captions;
}

void SelectOnly(cl::TListView* list, std::initializer_list<int> rows) {
  for (int i = 0; i < list->Items()->Count(); ++i) list->Items()->Item(i)->SetSelected(false);
  for (int i : rows) list->Items()->Item(i)->SetSelected(true);
}

TEST_F(ListDialogs, SelectionDialogBuildsAndEditsAList) {
  cl::TListView view(nullptr);
  AddRow(&view, "Notepad", "NOTE", "Open Program or File");
  AddRow(&view, "Keys", "KEYS", "Send Keystrokes");
  AddRow(&view, "List", "LIST", "Execute Multiple Commands");
  AddRow(&view, "Calc", "CALC", "Open Program or File");
  AddRow(&view, "Folder", "FOLD", "open a folder");
  AddRow(&view, "Last list", "LAST", "Execute Multiple Commands");

  std::unique_ptr<hk::TfrmSelect> dialog(cl::NewForm<hk::TfrmSelect>(nullptr));
  EXPECT_EQ(dialog->Caption(), "Select Commands");
  dialog->FillLists(&view, "D=500;CALC;;NOTE;ZZZZ");
  auto* source = cl::ComponentAs<cl::TListView>(dialog.get(), "lvSource");
  auto* destination = cl::ComponentAs<cl::TListView>(dialog.get(), "lvDestination");
  auto button = [&](const char* name) { return cl::ComponentAs<cl::TButton>(dialog.get(), name); };
  auto* edtDelay = cl::ComponentAs<cl::TEdit>(dialog.get(), "edtDelay");
  dialog->Show();
  Pump();

  // Lists are not offered, the listed entries have left the source, unknown IDs and empty elements are gone.
  EXPECT_EQ(Captions(source), (std::vector<std::string>{"Folder", "Keys"}));
  EXPECT_EQ(Captions(destination), (std::vector<std::string>{"Delay=500", "Calc", "Notepad"}));
  EXPECT_EQ(dialog->GetCommands(), "D=500;CALC;NOTE");
  EXPECT_TRUE(button("btnOk")->Enabled());
  EXPECT_FALSE(button("btnInclude")->Enabled());

  // ">" takes the selected source rows, selected; the up and down buttons follow the selection.
  SelectOnly(source, {1});
  Pump();
  EXPECT_TRUE(button("btnInclude")->Enabled());
  Press(button("btnInclude"));
  EXPECT_EQ(Captions(destination), (std::vector<std::string>{"Delay=500", "Calc", "Notepad", "Keys"}));
  EXPECT_TRUE(destination->Items()->Item(3)->Selected());
  EXPECT_TRUE(button("btnUp")->Enabled());
  EXPECT_FALSE(button("btnDown")->Enabled());

  // A selected delay row turns Add into Edit and shows its value; a typed value is kept within range,
  // also when the button is pressed without leaving the edit.
  SelectOnly(destination, {0});
  Pump();
  EXPECT_EQ(button("btnAddDelay")->Caption(), "&Edit");
  EXPECT_EQ(edtDelay->Text(), "500");
  edtDelay->SetText("40000");
  Press(button("btnAddDelay"));
  EXPECT_EQ(destination->Items()->Item(0)->Caption(), "Delay=32767");
  EXPECT_EQ(edtDelay->Text(), "32767");

  // Moving two rows up, then down again.
  SelectOnly(destination, {1, 2});
  Pump();
  Press(button("btnUp"));
  EXPECT_EQ(dialog->GetCommands(), "CALC;NOTE;D=32767;KEYS");
  EXPECT_FALSE(button("btnUp")->Enabled());
  Press(button("btnDown"));
  EXPECT_EQ(dialog->GetCommands(), "D=32767;CALC;NOTE;KEYS");

  // Add appends a delay at the end; text that is no number keeps the up-down's value.
  SelectOnly(destination, {});
  Pump();
  EXPECT_EQ(button("btnAddDelay")->Caption(), "&Add");
  edtDelay->SetText("-12");
  Press(button("btnAddDelay"));
  edtDelay->SetText("abc");
  Press(button("btnAddDelay"));
  EXPECT_EQ(dialog->GetCommands(), "D=32767;CALC;NOTE;KEYS;D=0;D=0");

  // A delay moved out is gone for good; entries go back to the sorted source.
  SelectOnly(destination, {0, 2});
  Pump();
  Press(button("btnExclude"));
  EXPECT_EQ(dialog->GetCommands(), "CALC;KEYS;D=0;D=0");
  EXPECT_EQ(Captions(source), (std::vector<std::string>{"Folder", "Notepad"}));
  Press(button("btnExclAll"));
  EXPECT_EQ(dialog->GetCommands(), "");
  EXPECT_EQ(Captions(source), (std::vector<std::string>{"Calc", "Folder", "Keys", "Notepad"}));
  EXPECT_FALSE(button("btnOk")->Enabled());
  EXPECT_FALSE(button("btnExclAll")->Enabled());
  Press(button("btnInclAll"));
  EXPECT_EQ(dialog->GetCommands(), "CALC;FOLD;KEYS;NOTE");
  EXPECT_TRUE(Captions(source).empty());
  EXPECT_TRUE(button("btnOk")->Enabled());
}

TEST_F(ListDialogs, SelectionDialogAnswersOkAndEscape) {
  cl::TListView view(nullptr);
  AddRow(&view, "Notepad", "NOTE", "Open Program or File");
  {
    std::unique_ptr<hk::TfrmSelect> dialog(cl::NewForm<hk::TfrmSelect>(nullptr));
    timers_.After(100, [&] { SendMessageW(cl::ComponentAs<cl::TButton>(dialog.get(), "btnOk")->Handle(), BM_CLICK, 0, 0); });
    timers_.Timeout();
    EXPECT_TRUE(dialog->SelectCommands(&view, "NOTE"));
    EXPECT_EQ(dialog->GetCommands(), "NOTE");
  }
  {
    std::unique_ptr<hk::TfrmSelect> dialog(cl::NewForm<hk::TfrmSelect>(nullptr));
    timers_.After(100, [] {
      const HWND focus = GetFocus();
      PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    });
    EXPECT_FALSE(dialog->SelectCommands(&view, "NOTE"));
  }
}

TEST_F(ListDialogs, SpecialKeysDialogRoundTripsEveryRowAndInsertsCodes) {
  std::unique_ptr<hk::TfrmSpecialChars> dialog(cl::NewForm<hk::TfrmSpecialChars>(nullptr));
  EXPECT_EQ(dialog->Caption(), "Send Keystrokes");
  auto* memo = cl::ComponentAs<cl::TMemo>(dialog.get(), "mmoText");
  auto* combo = cl::ComponentAs<cl::TComboBox>(dialog.get(), "cboSpecialChar");
  auto* insert = cl::ComponentAs<cl::TButton>(dialog.get(), "btnInsert");
  dialog->Show();
  Pump();

  ASSERT_EQ(combo->Items()->Count(), 44);
  EXPECT_EQ(combo->ItemIndex(), 0);
  EXPECT_TRUE(GetWindowLongW(combo->Handle(), GWL_STYLE) & CBS_OWNERDRAWFIXED);
  RedrawWindow(combo->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);  // draws through the handler

  for (int i = 0; i < 44; ++i) {
    const std::string code = hk::GetField(hk::SpecialKeyRows[static_cast<size_t>(i)], 2, '|');
    // Text to the dialog's form and back.
    dialog->SetKeys(code);
    EXPECT_EQ(dialog->GetKeys(), code) << i;
    // Inserted at the caret from the list.
    dialog->SetKeys("ab");
    SendMessageW(memo->Handle(), EM_SETSEL, 1, 1);
    combo->SetItemIndex(i);
    Press(insert);
    EXPECT_EQ(dialog->GetKeys(), "a" + code + "b") << i;
  }
  // A selection is replaced.
  dialog->SetKeys("abcd");
  SendMessageW(memo->Handle(), EM_SETSEL, 1, 3);
  combo->SetItemIndex(10);
  Press(insert);
  EXPECT_EQ(dialog->GetKeys(), "a{BS}d");

  // Enter keys are lines of the memo; a tilde in braces and character 255 stay as they are.
  const std::string y = testsupport::Utf8(u8"ÿ");
  dialog->SetKeys("Hello~World{ENTER}{~}" + y + "{enter}");
  EXPECT_EQ(memo->Text(), "Hello\r\nWorld\r\n{~}" + y + "{enter}");
  EXPECT_EQ(dialog->GetKeys(), "Hello~World~{~}" + y + "{enter}");
}

// ---------------------------------------------------------------------------------- the real program

using namespace hkprog;

FILETIME WriteTime(const std::string& file) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExW(cl::ToWide(file).c_str(), GetFileExInfoStandard, &data);
  return data.ftLastWriteTime;
}

long long Milliseconds(FILETIME t) {
  return static_cast<long long>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 10000);
}

class ListsProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    exe_ = hktest::CopyFileTo(HK_HOTKEYS_EXE, dir_.File(""));
    ASSERT_FALSE(exe_.empty());
    for (const char* sub : {"a", "b", "c"}) {
      const std::string folder = dir_.File(sub);
      CreateDirectoryW(cl::ToWide(folder).c_str(), nullptr);
      ASSERT_TRUE(CopyFileW(cl::ToWide(HK_LAUNCH_RECORDER).c_str(), cl::ToWide(folder + "\\rec.exe").c_str(), FALSE));
    }
  }
  std::string Record(const char* sub) const { return dir_.File(sub) + "\\launch-record.txt"; }
  bool Recorded(const char* sub) const { return cl::FileExists(Record(sub)); }
  void ClearRecords() const {
    for (const char* sub : {"a", "b", "c"}) DeleteFileW(cl::ToWide(Record(sub)).c_str());
  }
  hk::HotkeyEntry Recorder(const char* description, const char* sub) const {
    return Entry(description, "Open Program or File", dir_.File(sub) + "\\rec.exe", "", false);
  }

  testsupport::TempDir dir_;
  std::string exe_;
};

TEST_F(ListsProgram, ListsRunInOrderWithPausesAndNestedListsEnd) {
  hk::Definitions defs;
  hk::HotkeyEntry list = Entry("List", "Execute Multiple Commands", "RECA;D=1500;RECB;RECC", "Ctrl+Alt+Shift+F11", true);
  // A list naming itself and another list runs only its ordinary entry.
  hk::HotkeyEntry loop = Entry("Loop", "Execute Multiple Commands", "LOOP;NEST;RECA", "Ctrl+Alt+Shift+F10", true);
  hk::HotkeyEntry nested = Entry("Nest", "Execute Multiple Commands", "LOOP", "", false);
  defs.entries = {list, Recorder("RecA", "a"), Recorder("RecB", "b"), Recorder("RecC", "c"), loop, nested};
  hk::SaveDefinitions(dir_.File("Hotkeys.hkd"), defs);

  hktest::ChildProcess p;
  const HWND main = StartProgram(p, exe_, dir_.File(""));
  ASSERT_TRUE(main);
  ASSERT_TRUE(Eventually([] { return !CombinationFree(VK_F10) && !CombinationFree(VK_F11); }));

  FILETIME pressed{};
  {
    hktest::KeyboardLock lock;
    GetSystemTimeAsFileTime(&pressed);
    hktest::PressCombination(kMods, VK_F11);
    ASSERT_TRUE(Eventually([&] { return Recorded("a"); }));
  }
  // During the pause the program answers at once.
  DWORD_PTR answer = 0;
  const ULONGLONG asked = GetTickCount64();
  EXPECT_TRUE(SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer));
  const ULONGLONG waited = GetTickCount64() - asked;
  if (!Recorded("b")) {
    EXPECT_LT(waited, 1000u);
  }
  ASSERT_TRUE(Eventually([&] { return Recorded("c"); }));
  const long long a = Milliseconds(WriteTime(Record("a"))), b = Milliseconds(WriteTime(Record("b"))),
                  c = Milliseconds(WriteTime(Record("c")));
  EXPECT_LT(a, b);
  EXPECT_LT(b, c);
  // Both pauses lie between the press and the third start.
  EXPECT_GE(c - Milliseconds(pressed), 2900);

  // Nested and self-naming lists end.
  ClearRecords();
  {
    hktest::KeyboardLock lock;
    hktest::PressCombination(kMods, VK_F10);
    EXPECT_TRUE(Eventually([&] { return Recorded("a"); }));
  }
  EXPECT_TRUE(SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer));
  EXPECT_FALSE(Recorded("b") || Recorded("c"));

  PostMessageW(main, kExit, kExit, 0);
  EXPECT_EQ(p.WaitExit(kWait), std::optional<DWORD>(0));
}

HWND FindChild(HWND parent, const wchar_t* className, const wchar_t* text = nullptr, bool visible = false) {
  for (HWND w : Descendants(parent)) {
    wchar_t cls[64] = {};
    GetClassNameW(w, cls, 64);
    if (_wcsicmp(cls, className) != 0 || (text && WindowText(w) != text) || (visible && !IsWindowVisible(w))) continue;
    return w;
  }
  return nullptr;
}

void Command(HWND control, WORD code, bool post) {
  const WPARAM w = MAKEWPARAM(GetDlgCtrlID(control), code);
  if (post) PostMessageW(GetParent(control), WM_COMMAND, w, reinterpret_cast<LPARAM>(control));
  else SendMessageW(GetParent(control), WM_COMMAND, w, reinterpret_cast<LPARAM>(control));
}

// The edit box's buttons open the two dialogs, and what they return lands in the edit fields.
TEST_F(ListsProgram, TheEditBoxButtonsOpenTheDialogs) {
  hk::Definitions defs;
  defs.entries = {Entry("Multi", "Execute Multiple Commands", "D=20;NOTE", "Ctrl+Alt+Shift+F11", false),
                  Entry("Note", "Open Program or File", "notepad.exe", "Ctrl+Alt+Shift+F10", false),
                  Entry("Keys", "Send Keystrokes", "a~b{~}", "Ctrl+Alt+Shift+F9", false)};
  hk::SaveDefinitions(dir_.File("Hotkeys.hkd"), defs);
  hktest::ChildProcess p;
  const HWND main = StartProgram(p, exe_, dir_.File(""));
  ASSERT_TRUE(main);
  PostMessageW(main, kShowEditor, kShowEditor, 0);
  ASSERT_TRUE(Eventually([&] { return IsWindowVisible(main) != FALSE; }));
  const HWND list = FindChild(main, L"SysListView32");
  ASSERT_TRUE(list);
  const HWND edit = FindChild(main, L"BUTTON", L"&Edit");
  ASSERT_TRUE(edit);
  Command(edit, BN_CLICKED, false);

  // Opens the dialog behind the one visible browse button of row `row` and returns its window.
  auto open = [&](int row, const char* dialogClass) -> HWND {
    SendMessageW(list, WM_KEYDOWN, VK_HOME, 0);
    for (int i = 0; i < row; ++i) SendMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
    const auto edits = VisibleBrowseEdits(main);
    if (edits.size() != 1) return nullptr;
    ClickBrowseButton(edits[0]);
    HWND dialog = nullptr;
    Eventually([&] {
      dialog = hktest::FindProcessWindow(dialogClass, p.Pid());
      return dialog && IsWindowVisible(dialog);
    });
    return dialog;
  };

  HWND dialog = open(0, "TfrmSelect");
  ASSERT_TRUE(dialog);
  EXPECT_EQ(WindowText(dialog), L"Select Commands");
  // ">>" takes the other entries (the list itself is not offered), OK returns the new list.
  Command(FindChild(dialog, L"BUTTON", L">>"), BN_CLICKED, false);
  Command(FindChild(dialog, L"BUTTON", L"OK"), BN_CLICKED, true);
  ASSERT_TRUE(Eventually([&] { return !IsWindow(dialog); }));
  auto browseEdit = [&] {
    const auto edits = VisibleBrowseEdits(main);
    return edits.size() == 1 ? edits[0] : nullptr;
  };
  EXPECT_EQ(WindowText(browseEdit()), L"D=20;NOTE;KEYS");

  dialog = open(2, "TfrmSpecialChars");
  ASSERT_TRUE(dialog);
  EXPECT_EQ(WindowText(dialog), L"Send Keystrokes");
  const HWND memo = FindChild(dialog, L"EDIT");
  ASSERT_TRUE(memo);
  EXPECT_EQ(WindowText(memo), L"a\r\nb{~}");
  SendMessageW(memo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"x\r\ny"));
  Command(FindChild(dialog, L"BUTTON", L"OK"), BN_CLICKED, true);
  ASSERT_TRUE(Eventually([&] { return !IsWindow(dialog); }));
  EXPECT_EQ(WindowText(browseEdit()), L"x~y");

  PostMessageW(main, kExit, kExit, 0);
  if (!p.WaitExit(3000)) {
    // The edits ask to be saved: not wanted.
    if (HWND box = hktest::FindProcessWindow("#32770", p.Pid())) PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
    p.WaitExit(kWait);
  }
}

}  // namespace
