// The actions of the running program, dispatched the way the user and other programs reach them (hot
// keys, message 3027, the tray's "Hot Programs" items) in the build whose system calls are only recorded
// (ActionRecorder.h): each action must reach its own call with its own arguments. Also the hot keys'
// life around edits and typed keystrokes, and the program's place in the clipboard-viewer chain.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Definitions.h"
#include "FileUtil.h"
#include "KeyInput.h"
#include "Process.h"
#include "ProgramDriver.h"
#include "SysUtils.h"
#include "TestSupport.h"
#include "TrayProbe.h"
#include "WinString.h"

namespace {

using namespace hkprog;

std::string Key(const char* name) { return std::string("Ctrl+Alt+Shift+") + name; }

std::string HexOf(HWND w) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%llx", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(w)));
  return buf;
}

// Field i of a "|"-separated line.
std::string Field(const std::string& line, int i) {
  size_t start = 0;
  for (int n = 0; n < i; ++n) {
    start = line.find('|', start);
    if (start == std::string::npos) return {};
    ++start;
  }
  return line.substr(start, line.find('|', start) - start);
}

LRESULT CALLBACK PlainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }

// A visible top-level window of this process, made for the program to see.
class TestWindow {
 public:
  explicit TestWindow(const wchar_t* className = L"HkActionsTestWindow", WNDPROC proc = PlainProc) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    RegisterClassW(&wc);  // a second registration fails harmlessly
    FWindow = CreateWindowExW(0, className, L"actions test", WS_POPUP | WS_VISIBLE, 20, 20, 200, 60, nullptr, nullptr,
                              wc.hInstance, nullptr);
  }
  ~TestWindow() { DestroyWindow(FWindow); }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  HWND Handle() const { return FWindow; }

 private:
  HWND FWindow;
};

// Opens the clipboard once the program (which looks into it after every change) has let go of it.
bool OpenClipboardSoon() { return Eventually([] { return OpenClipboard(nullptr) != FALSE; }); }

// The system clipboard's text, or "(empty)" when it holds nothing at all.
std::wstring ClipboardText() {
  if (!OpenClipboardSoon()) return L"(busy)";
  std::wstring text = L"(empty)";
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* p = static_cast<const wchar_t*>(GlobalLock(h))) {
      text = p;
      GlobalUnlock(h);
    }
  } else if (EnumClipboardFormats(0) != 0) {
    text = L"(other)";
  }
  CloseClipboard();
  return text;
}

void SetClipboardText(const std::wstring& text) {
  ASSERT_TRUE(OpenClipboardSoon());
  EmptyClipboard();
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes);
  std::memcpy(GlobalLock(h), text.c_str(), bytes);
  GlobalUnlock(h);
  SetClipboardData(CF_UNICODETEXT, h);
  CloseClipboard();
}

// A copy of the recording build, named as the program, in a scratch folder of its own.
class RecordingProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    exe_ = dir_.File("Hotkeys.exe");
    ASSERT_TRUE(CopyFileW(cl::ToWide(HK_HOTKEYS_RECORDING_EXE).c_str(), cl::ToWide(exe_).c_str(), FALSE));
  }
  void TearDown() override {
    if (!p_.Running()) return;
    PostMessageW(main_, kExit, kExit, 0);
    if (!p_.WaitExit(3000)) {
      // An edit left unsaved asks first: the test is over, its edits are not wanted.
      if (HWND box = hktest::FindProcessWindow("#32770", p_.Pid()))
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
      p_.WaitExit(kWait);
    }
  }

  // Writes the definitions and starts the program; false when it did not come up.
  bool Start(const hk::Definitions& defs) {
    hk::SaveDefinitions(dir_.File("Hotkeys.hkd"), defs);
    main_ = StartProgram(p_, exe_, dir_.File(""));
    return main_ != nullptr;
  }

  std::vector<std::string> Log() const {
    std::vector<std::string> lines;
    std::string text;
    try {
      text = cl::ReadFileBytes(dir_.File("actions.log"));
    } catch (const cl::Exception&) {
      return lines;
    }
    for (size_t start = 0, nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
      lines.push_back(text.substr(start, nl - start));
    return lines;
  }

  // The next line the program records (every line is taken once, in order); empty after the deadline.
  std::string Next(DWORD ms = kWait) {
    std::vector<std::string> lines;
    if (!Eventually([&] { return (lines = Log()).size() > taken_; }, ms)) return {};
    return lines[taken_++];
  }
  // Returns once the program has handled what was sent or posted to it before.
  void Sync() const {
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_NORMAL, kWait, &answer);
  }
  // Nothing more is recorded: every line in the log has been taken.
  bool NothingMore() {
    Sync();
    return Log().size() == taken_;
  }

  void Press(UINT vk) {
    hktest::KeyboardLock lock;
    hktest::PressCombination(kMods, vk);
  }
  bool Registered(UINT vk) { return Eventually([&] { return !CombinationFree(vk); }); }

  // Opens the tray menu and chooses the item of "Hot Programs" that `downs` presses of Down reach from its
  // first item.
  void ChooseHotProgram(int downs) {
    HWND tray = nullptr;
    ASSERT_TRUE(Eventually([&] { return (tray = hktest::TrayWindowOf(p_.Pid())) != nullptr; }));
    PostMessageW(tray, RegisterWindowMessageW(L"TSaAnimatedTrayIconCallBackMsg"), 0, WM_RBUTTONDOWN);
    HWND menu = nullptr;
    ASSERT_TRUE(Eventually([&] { return (menu = hktest::FindProcessWindow("#32768", p_.Pid())) != nullptr; }));
    // Characters posted as such: a key press would be translated into a character queued behind the keys
    // posted after it. "Hot &Programs" opens with its first item selected.
    PostMessageW(menu, WM_CHAR, L'p', 0);
    for (int i = 0; i < downs; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menu, WM_CHAR, L'\r', 0);
    ASSERT_TRUE(Eventually([&] { return hktest::FindProcessWindow("#32768", p_.Pid()) == nullptr; }));
  }

  testsupport::TempDir dir_;
  std::string exe_;
  hktest::ChildProcess p_;
  HWND main_ = nullptr;
  size_t taken_ = 0;
};

// Every action number, from its hot key to the call it makes; neighbours that differ only in their
// arguments (volume up and down, door open and closed, the four ways out of Windows, two clipboards)
// are told apart by what they recorded.
TEST_F(RecordingProgram, EachActionReachesItsOwnCallWithItsOwnArguments) {
  hk::Definitions other;
  other.entries = {Entry("Other file", "Minimize All Windows", "", Key("Y"), true)};
  hk::SaveDefinitions(dir_.File("other.hkd"), other);

  hk::HotkeyEntry run = Entry("Run", "Open Program or File", "\"C:\\Tools\\app.exe\" -x", Key("F2"), true);
  run.show = "Maximized";
  run.startIn = "C:\\Work";
  hk::HotkeyEntry definitions = Entry("Definitions", "", "other.hkd", Key("D"), true);
  definitions.actionNumber = hk::haOpenDefinitions;
  hk::Definitions defs;
  defs.entries = {
      run,
      Entry("Listed", "Open Program or File", "listed.exe", "", false),
      Entry("Multiple", "Execute Multiple Commands", "", Key("F3"), true),
      Entry("Shutdown", "Exit Windows", "Shutdown", Key("F4"), true),
      Entry("Log off", "Exit Windows", "Log off", Key("F5"), true),
      Entry("Restart", "Exit Windows", "Restart Windows", Key("F6"), true),
      Entry("Timer", "Exit Windows", "Shutdown-Timer", Key("F7"), true),
      Entry("Editor", "Edit Calderine", "", Key("F8"), true),
      Entry("View", "View Hotkey List", "", Key("F9"), true),
      Entry("Louder", "Increase Volume", "", Key("F10"), true),
      Entry("Softer", "Decrease Volume", "", Key("F11"), true),
      Entry("Minimize", "Minimize All Windows", "", Key("F12"), true),
      Entry("Undo", "Undo Minimize All", "", Key("U"), true),
      Entry("Clip three", "Switch to Virtual Clipboard", "3", Key("C"), true),
      Entry("Clip one", "Switch to Virtual Clipboard", "1", Key("V"), true),
      Entry("Saver", "Launch Screen Saver", "", Key("S"), true),
      Entry("Eject", "Eject CD-ROM", "", Key("E"), true),
      Entry("Close", "Close CD-ROM", "", Key("L"), true),
      Entry("Folder", "Open a Folder", "$WINDOWS$\\Fonts", Key("O"), true),
      definitions,
  };
  // "Multiple" lists the inactive "Listed" entry.
  defs.entries[2].data = defs.entries[1].id;
  ASSERT_TRUE(Start(defs));
  ASSERT_TRUE(Registered('D'));

  // 0: the command line split, its folder and show state passed on.
  Press(VK_F2);
  EXPECT_EQ(Next(), "launch|\"C:\\Tools\\app.exe\"|-x|C:\\Work|3");
  // 2: the list runs its entry.
  Press(VK_F3);
  EXPECT_EQ(Next(), "launch|listed.exe|||1");
  // 3: each parameter its own way out; the timer program is started beside the program.
  Press(VK_F4);
  EXPECT_EQ(Next(), "exit|13|0");
  Press(VK_F5);
  EXPECT_EQ(Next(), "exit|0|0");
  Press(VK_F6);
  EXPECT_EQ(Next(), "exit|6|0");
  Press(VK_F7);
  const std::string timer = Next();
  EXPECT_EQ(Field(timer, 0), "shell") << timer;
  EXPECT_EQ(Field(timer, 2), "open") << timer;
  EXPECT_EQ(cl::LowerCase(Field(timer, 3)), cl::LowerCase(dir_.File("Pellwick.exe"))) << timer;
  EXPECT_EQ(Field(timer, 4) + "|" + Field(timer, 5), "|1") << timer;

  // 4 and 5: the editor and the hotkey list window.
  Press(VK_F8);
  EXPECT_TRUE(Eventually([&] { return IsWindowVisible(main_) != FALSE; }));
  PostMessageW(main_, WM_CLOSE, 0, 0);
  EXPECT_TRUE(Eventually([&] { return !IsWindowVisible(main_); }));
  Press(VK_F9);
  HWND list = nullptr;
  EXPECT_TRUE(Eventually([&] {
    list = hktest::FindProcessWindow("TfrmHotkeyList", p_.Pid());
    return list && IsWindowVisible(list);
  }));
  if (list) PostMessageW(list, WM_CLOSE, 0, 0);

  // 6 and 7: one level up from 8, then one down again, on both channels.
  Press(VK_F10);
  EXPECT_EQ(Next(), "wave|90009000");
  Press(VK_F11);
  EXPECT_EQ(Next(), "wave|80008000");

  // 8 and 9: a window of ours is minimised, then restored.
  {
    TestWindow window;
    const std::string ours = HexOf(window.Handle());
    Press(VK_F12);
    std::vector<std::string> lines;
    EXPECT_TRUE(Eventually([&] {
      lines = Log();
      return std::find(lines.begin(), lines.end(), "send|" + ours + "|f020") != lines.end();
    }));
    Sync();  // every window has had its line
    taken_ = Log().size();
    Press('U');
    EXPECT_TRUE(Eventually([&] {
      lines = Log();
      return std::find(lines.begin() + static_cast<std::ptrdiff_t>(taken_), lines.end(), "send|" + ours + "|f120") !=
             lines.end();
    }));
    Sync();
    lines = Log();
    for (size_t i = taken_; i < lines.size(); ++i) EXPECT_EQ(Field(lines[i], 2), "f120") << lines[i];
    taken_ = lines.size();
  }

  // 10: clipboard 1's text leaves the system clipboard for clipboard 3 and comes back with clipboard 1.
  // The clipboard is read only once the program is done with it: a reader holding it open meanwhile
  // would make the switch change nothing.
  auto switchBy = [&](UINT vk) {
    const DWORD before = GetClipboardSequenceNumber();
    Press(vk);
    Eventually([&] { return GetClipboardSequenceNumber() != before; });
    Sync();
    return ClipboardText();
  };
  SetClipboardText(L"one");
  EXPECT_EQ(switchBy('C'), L"(empty)");
  SetClipboardText(L"three");
  EXPECT_EQ(switchBy('V'), L"one");
  EXPECT_EQ(switchBy('C'), L"three");

  // 11 to 14: the screen saver by a message to the main window, the door both ways, the folder as it is.
  Press('S');
  EXPECT_EQ(Next(), "post|" + HexOf(main_) + "|f140");
  Press('E');
  EXPECT_EQ(Next(), "mci|Set cdaudio door open wait");
  Press('L');
  EXPECT_EQ(Next(), "mci|Set cdaudio door closed wait");
  Press('O');
  EXPECT_EQ(Next(), "shell|" + HexOf(main_) + "|open|$WINDOWS$\\Fonts||1");

  // 15: the other file is the one in use now.
  Press('D');
  EXPECT_TRUE(Registered('Y'));
  EXPECT_TRUE(CombinationFree(VK_F2));
  EXPECT_TRUE(NothingMore());
}

// Message 3027 from another program: lParam is the registration id of the list entry. Ids outside the
// command list and another wParam run nothing; an empty element ends the list.
TEST_F(RecordingProgram, Message3027RunsTheListOfItsRegistrationId) {
  hk::Definitions defs;
  defs.entries = {
      Entry("Alpha", "Open Program or File", "alpha.exe", Key("F2"), true),          // id 0
      Entry("Beta", "Open Program or File", "beta.exe", "", false),                  // not registered
      Entry("Gamma", "Open Program or File", "gamma.exe", "", false),                // not registered
      Entry("First list", "Execute Multiple Commands", "ALPH;BETA;;GAMM", Key("F3"), true),  // id 1
      Entry("Second list", "Execute Multiple Commands", "GAMM;D=300;BETA", Key("F4"), true),  // id 2
  };
  ASSERT_TRUE(Start(defs));
  ASSERT_TRUE(Registered(VK_F4));

  PostMessageW(main_, 3027, 3027, 1);
  EXPECT_EQ(Next(), "launch|alpha.exe|||1");
  EXPECT_EQ(Next(), "launch|beta.exe|||1");
  PostMessageW(main_, 3027, 3027, 2);
  EXPECT_EQ(Next(), "launch|gamma.exe|||1");
  EXPECT_EQ(Next(), "launch|beta.exe|||1");

  for (LPARAM id : {LPARAM{3}, LPARAM{100}, LPARAM{-1}}) PostMessageW(main_, 3027, 3027, id);
  PostMessageW(main_, 3027, 0, 1);
  PostMessageW(main_, 3027, 3028, 2);
  EXPECT_TRUE(NothingMore());
}

// Commands chosen while a list pauses (a tray item here) wait for the list and run after it, in order;
// hot keys pressed meanwhile do the same.
TEST_F(RecordingProgram, CommandsChosenWhileAListPausesRunAfterIt) {
  hk::Definitions defs;
  defs.entries = {
      Entry("Alpha", "Open Program or File", "alpha.exe", Key("F2"), true),  // id 0, tray item 0
      Entry("Zulu", "Open Program or File", "zulu.exe", "", false),
      Entry("Slow list", "Execute Multiple Commands", "ALPH;D=2500;ZULU", Key("F3"), true),  // id 1, item 1
      Entry("Folder", "Open a Folder", "C:\\Folder", Key("F4"), true),  // id 2, item 2
  };
  ASSERT_TRUE(Start(defs));
  ASSERT_TRUE(Registered(VK_F4));

  Press(VK_F3);
  EXPECT_EQ(Next(), "launch|alpha.exe|||1");
  // The list pauses now: the folder from the tray, then Alpha by its hot key.
  ChooseHotProgram(2);
  Press(VK_F2);
  EXPECT_EQ(Next(), "launch|zulu.exe|||1");
  EXPECT_EQ(Next(), "shell|" + HexOf(main_) + "|open|C:\\Folder||1");
  EXPECT_EQ(Next(), "launch|alpha.exe|||1");
  EXPECT_TRUE(NothingMore());
}

// "Hot Programs" holds the active entries of programs, lists and folders in file order, and its items run
// their entries. The first edit takes every hot key away (the tray items still run the saved commands);
// the save registers them again and builds the submenu anew.
TEST_F(RecordingProgram, TheHotProgramsSubmenuFollowsTheSavedFile) {
  hk::Definitions defs;
  defs.entries = {
      Entry("Alpha", "Open Program or File", "alpha.exe", Key("F2"), true),         // id 0, item 0
      Entry("Louder", "Increase Volume", "", Key("F3"), true),                      // id 1, no item
      Entry("Folder", "Open a Folder", "C:\\Folder", Key("F4"), true),              // id 2, item 1
      Entry("Zulu", "Open Program or File", "zulu.exe", Key("F5"), false),          // inactive
      Entry("List", "Execute Multiple Commands", "ZULU", Key("F6"), true),          // id 3, item 2
  };
  ASSERT_TRUE(Start(defs));
  ASSERT_TRUE(Registered(VK_F6));

  ChooseHotProgram(0);
  EXPECT_EQ(Next(), "launch|alpha.exe|||1");
  ChooseHotProgram(1);
  EXPECT_EQ(Next(), "shell|" + HexOf(main_) + "|open|C:\\Folder||1");
  ChooseHotProgram(2);
  EXPECT_EQ(Next(), "launch|zulu.exe|||1");
  ChooseHotProgram(3);  // three items: the fourth Down is back at the first
  EXPECT_EQ(Next(), "launch|alpha.exe|||1");

  // The first edit: Alpha's command line.
  PostMessageW(main_, kShowEditor, kShowEditor, 0);
  ASSERT_TRUE(Eventually([&] { return IsWindowVisible(main_) != FALSE; }));
  Notify(FindByText(main_, {L"&Edit"}), BN_CLICKED);
  HWND group = FindByText(main_, {L"Edit hotkey"});
  ASSERT_TRUE(group);
  HWND table = FindByClass(main_, L"SysListView32");
  SendMessageW(table, WM_KEYDOWN, VK_HOME, 0);
  HWND commandLine = ChildAt(group, 88, 91);
  ASSERT_TRUE(commandLine);
  Type(commandLine, L"alpha2.exe");
  for (UINT vk : {VK_F2, VK_F3, VK_F4, VK_F6}) EXPECT_TRUE(CombinationFree(vk)) << vk;
  ChooseHotProgram(0);
  EXPECT_EQ(Next(), "launch|alpha.exe|||1");

  // Folder deleted, then saved: two items now, the new command line, and the keys back.
  SendMessageW(table, WM_KEYDOWN, VK_DOWN, 0);
  SendMessageW(table, WM_KEYDOWN, VK_DOWN, 0);
  Notify(FindByText(main_, {L"&Delete"}), BN_CLICKED);
  Notify(FindByText(main_, {L"&Apply"}), BN_CLICKED);
  EXPECT_TRUE(Registered(VK_F6));
  EXPECT_FALSE(CombinationFree(VK_F2));
  EXPECT_TRUE(CombinationFree(VK_F4));
  PostMessageW(main_, WM_CLOSE, 0, 0);
  ASSERT_TRUE(Eventually([&] { return !IsWindowVisible(main_); }));
  ChooseHotProgram(0);
  EXPECT_EQ(Next(), "launch|alpha2.exe|||1");
  ChooseHotProgram(1);
  EXPECT_EQ(Next(), "launch|zulu.exe|||1");
  ChooseHotProgram(2);
  EXPECT_EQ(Next(), "launch|alpha2.exe|||1");
  EXPECT_TRUE(NothingMore());
}

// ------------------------------------------------------------------------- keystrokes typed for real

LRESULT CALLBACK FrameProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }

// The program types into an edit window of this process, which has to be the foreground window.
TEST_F(RecordingProgram, HotKeysAreOffWhileKeystrokesAreTypedAndBackAfter) {
  hk::Definitions defs;
  defs.entries = {
      Entry("Type", "Send Keystrokes", "{DELAY=300}hkeys", Key("F2"), true),
      Entry("Other", "Increase Volume", "", Key("F3"), true),
  };
  ASSERT_TRUE(Start(defs));
  ASSERT_TRUE(Registered(VK_F3));

  TestWindow frame(L"HkActionsTypingFrame", FrameProc);
  HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 200, 30, frame.Handle(),
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  auto typed = [&] {
    wchar_t buf[64] = {};
    GetWindowTextW(edit, buf, 64);
    return std::wstring(buf);
  };

  hktest::KeyboardLock lock;
  SetForegroundWindow(frame.Handle());
  SetFocus(edit);
  ASSERT_EQ(GetForegroundWindow(), frame.Handle());
  ASSERT_EQ(GetFocus(), edit);
  hktest::PressCombination(kMods, VK_F2);
  // Halfway through the typing (300 ms after each key), the program holds none of its keys.
  ASSERT_TRUE(Eventually([&] { return typed().size() >= 2; }));
  EXPECT_TRUE(CombinationFree(VK_F3));
  EXPECT_TRUE(CombinationFree(VK_F2));
  ASSERT_TRUE(Eventually([&] { return typed() == L"hkeys"; }));
  EXPECT_TRUE(Registered(VK_F3));
  EXPECT_TRUE(Registered(VK_F2));
  EXPECT_TRUE(NothingMore());
}

// ---------------------------------------------------------------------------- clipboard-viewer chain

// A clipboard viewer of this process that passes everything on, as a viewer must, and counts changes.
struct Viewer {
  HWND window = nullptr;
  HWND next = nullptr;
  int changes = 0;
};

LRESULT CALLBACK ViewerProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  auto* v = reinterpret_cast<Viewer*>(GetWindowLongPtrW(w, GWLP_USERDATA));
  if (v && m == WM_DRAWCLIPBOARD) {
    // Counted once passed on: when the first viewer's count moves, the whole chain has seen the change.
    if (v->next) SendMessageW(v->next, m, wp, lp);
    ++v->changes;
    return 0;
  }
  if (v && m == WM_CHANGECBCHAIN) {
    if (reinterpret_cast<HWND>(wp) == v->next) v->next = reinterpret_cast<HWND>(lp);
    else if (v->next) SendMessageW(v->next, m, wp, lp);
    return 0;
  }
  return DefWindowProcW(w, m, wp, lp);
}

class ViewerWindow {
 public:
  ViewerWindow() : FWindow(L"HkActionsViewer", ViewerProc) {
    FViewer.window = FWindow.Handle();
    SetWindowLongPtrW(FWindow.Handle(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&FViewer));
    FViewer.next = SetClipboardViewer(FWindow.Handle());
    FJoined = true;
  }
  ~ViewerWindow() { Leave(); }
  void Leave() {
    if (FJoined) ChangeClipboardChain(FWindow.Handle(), FViewer.next);
    FJoined = false;
  }
  Viewer& State() { return FViewer; }

 private:
  TestWindow FWindow;
  Viewer FViewer;
  bool FJoined = false;
};

// The chain runs: last joined -> the program -> first joined -> the one before it. Viewers leaving
// after the program and further along are taken out; clipboard changes still reach everyone left.
TEST_F(RecordingProgram, TheViewerChainPassesChangesOnWhenAViewerLeaves) {
  ViewerWindow farther;  // farthest along the chain
  ViewerWindow after;    // the program's next viewer
  hk::Definitions defs;
  defs.entries = {Entry("Louder", "Increase Volume", "", Key("F3"), true)};
  ASSERT_TRUE(Start(defs));
  ASSERT_TRUE(Registered(VK_F3));
  ViewerWindow first;  // ahead of the program
  ASSERT_EQ(first.State().next, main_);

  // A change reaches every viewer: when the head of the chain has counted it, the rest have too.
  auto change = [&](const wchar_t* text) {
    const int before = first.State().changes;
    SetClipboardText(text);
    return Eventually([&] { return first.State().changes > before; });
  };
  int afterChanges = after.State().changes, fartherChanges = farther.State().changes;
  ASSERT_TRUE(change(L"one"));
  EXPECT_EQ(after.State().changes, afterChanges + 1);
  EXPECT_EQ(farther.State().changes, fartherChanges + 1);

  // The viewer farther along leaves: the program passes the news on to the viewer before it.
  farther.Leave();
  EXPECT_EQ(after.State().next, farther.State().next);
  ASSERT_TRUE(change(L"two"));
  EXPECT_EQ(after.State().changes, afterChanges + 2);
  EXPECT_EQ(farther.State().changes, fartherChanges + 1);

  // The program's own next viewer leaves: the program takes the one after it, and changes stop there.
  after.Leave();
  ASSERT_TRUE(change(L"three"));
  EXPECT_EQ(after.State().changes, afterChanges + 2);
  EXPECT_EQ(farther.State().changes, fartherChanges + 1);
  EXPECT_TRUE(NothingMore());
}

}  // namespace
