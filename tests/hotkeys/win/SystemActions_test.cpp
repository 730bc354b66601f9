// The system actions and the shutdown privilege routines, run against fakes: nothing here leaves
// Windows, changes the volume, moves a drive door or minimises another program's window.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "KernelHandle.h"
#include "hkPower.h"
#include "hkSystem.h"

namespace {

// ---- fakes ----

struct ExitCall {
  UINT flags;
  DWORD reason;
  bool privilegeEnabled;  // the shutdown privilege's state when the call was made
};

// Leaves Windows on paper only. The token calls are the system's unless a refusal is asked for; the
// fake tracks the privilege state it was told to set and counts token handles.
class TFakePower : public hk::PowerCalls {
 public:
  enum class Refuse { None, Open, Lookup, Adjust, NotAllAssigned };
  Refuse refuse = Refuse::None;
  bool exitResult = true;
  std::vector<ExitCall> exits;
  int opened = 0, closed = 0, adjusts = 0;
  bool enabled = false;  // last state set by a successful adjust

  HANDLE OpenProcessToken(DWORD access) override {
    if (refuse == Refuse::Open) return nullptr;
    HANDLE token = PowerCalls::OpenProcessToken(access);
    if (token) ++opened;
    return token;
  }
  bool LookupPrivilege(const std::wstring& name, LUID& luid) override {
    if (refuse == Refuse::Lookup) return false;
    return PowerCalls::LookupPrivilege(name, luid);
  }
  bool AdjustTokenPrivileges(HANDLE token, TOKEN_PRIVILEGES& state, TOKEN_PRIVILEGES* previous, DWORD size,
                             DWORD& error) override {
    ++adjusts;
    if (refuse == Refuse::Adjust) {
      error = ERROR_ACCESS_DENIED;
      return false;
    }
    if (refuse == Refuse::NotAllAssigned) {
      error = ERROR_NOT_ALL_ASSIGNED;  // what the system says for a privilege the token lacks
      return true;
    }
    const bool ok = PowerCalls::AdjustTokenPrivileges(token, state, previous, size, error);
    if (ok) enabled = (state.Privileges[0].Attributes & SE_PRIVILEGE_ENABLED) != 0;
    return ok;
  }
  void CloseToken(HANDLE token) override {
    ++closed;
    PowerCalls::CloseToken(token);
  }
  bool ExitWindowsEx(UINT flags, DWORD reason) override {
    exits.push_back({flags, reason, enabled});
    return exitResult;
  }
};

struct ShellCall {
  HWND owner;
  std::wstring verb, file, parameters;
  int show;
};

class TFakeSystem : public hk::SystemCalls {
 public:
  int platform = hk::PLATFORM_NT;
  std::vector<ShellCall> shell;
  std::optional<float> master;  // none: a system without endpoint volume
  std::vector<float> masterSets;
  std::optional<DWORD> wave;
  std::vector<DWORD> waveSets;
  std::vector<std::pair<HWND, WPARAM>> sent, posted;
  std::vector<int> animationDuringSends;
  std::optional<int> animation = 1;
  int animationSets = 0;
  HWND throwOn = nullptr;
  std::vector<std::wstring> mci;

  int PlatformId() override { return platform; }
  bool ShellExecuteFile(HWND owner, const std::wstring& verb, const std::wstring& file,
                        const std::wstring& parameters, int show) override {
    shell.push_back({owner, verb, file, parameters, show});
    return true;
  }
  std::optional<float> GetMasterVolume() override { return master; }
  bool SetMasterVolume(float level) override {
    masterSets.push_back(level);
    master = level;
    return true;
  }
  std::optional<DWORD> GetWaveVolume() override { return wave; }
  bool SetWaveVolume(DWORD volume) override {
    waveSets.push_back(volume);
    wave = volume;
    return true;
  }
  bool SendSysCommand(HWND window, WPARAM command) override {
    if (window == throwOn) throw std::runtime_error("send failed");
    sent.emplace_back(window, command);
    animationDuringSends.push_back(animation.value_or(-1));
    return true;
  }
  bool PostSysCommand(HWND window, WPARAM command) override {
    posted.emplace_back(window, command);
    return true;
  }
  std::optional<int> GetMinAnimate() override { return animation; }
  bool SetMinAnimate(int value) override {
    ++animationSets;
    animation = value;
    return true;
  }
  bool MciCommand(const std::wstring& command) override {
    mci.push_back(command);
    return true;
  }
};

// Whether this process's token has the shutdown privilege enabled right now.
bool ShutdownPrivilegeEnabled() {
  HANDLE opened = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return false;
  const cl::TKernelHandle token(opened);
  LUID luid{};
  LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &luid);
  PRIVILEGE_SET set{};
  set.PrivilegeCount = 1;
  set.Control = PRIVILEGE_SET_ALL_NECESSARY;
  set.Privilege[0].Luid = luid;
  BOOL held = FALSE;
  PrivilegeCheck(token.Get(), &set, &held);
  return held != FALSE;
}

class PowerTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(power.opened, power.closed) << "every token handle opened is closed";
  }
  TFakePower power;
  hk::PowerCallsScope scope{power};
};

// ---- privilege routines ----

TEST_F(PowerTest, PrivilegeIsEnabledForTheExitAndDisabledAfterIt) {
  EXPECT_TRUE(hk::ExitWindowsWithPrivilege(hk::EXIT_FLAGS_SHUTDOWN));
  ASSERT_EQ(power.exits.size(), 1u);
  EXPECT_EQ(power.exits[0].flags, 13u);
  EXPECT_EQ(power.exits[0].reason, 0u);
  EXPECT_TRUE(power.exits[0].privilegeEnabled);
  EXPECT_FALSE(power.enabled);
  EXPECT_FALSE(ShutdownPrivilegeEnabled());

  // A failed exit is reported, and the privilege is still taken back.
  power.exitResult = false;
  EXPECT_FALSE(hk::ExitWindowsWithPrivilege(hk::EXIT_FLAGS_RESTART));
  ASSERT_EQ(power.exits.size(), 2u);
  EXPECT_EQ(power.exits[1].flags, 6u);
  EXPECT_FALSE(power.enabled);
}

TEST_F(PowerTest, SetTokenPrivilegeChangesThisProcessToken) {
  ASSERT_TRUE(hk::SetTokenPrivilege("SeShutdownPrivilege", true));
  EXPECT_TRUE(ShutdownPrivilegeEnabled());
  ASSERT_TRUE(hk::SetTokenPrivilege("SeShutdownPrivilege", false));
  EXPECT_FALSE(ShutdownPrivilegeEnabled());
  EXPECT_FALSE(hk::SetTokenPrivilege("SeNoSuchPrivilege", true));
}

TEST_F(PowerTest, EveryRefusalIsFailureAndNoExitIsAttempted) {
  for (auto refuse : {TFakePower::Refuse::Open, TFakePower::Refuse::Lookup, TFakePower::Refuse::Adjust,
                      TFakePower::Refuse::NotAllAssigned}) {
    SCOPED_TRACE(static_cast<int>(refuse));
    power.refuse = refuse;
    EXPECT_FALSE(hk::SetTokenPrivilege("SeShutdownPrivilege", true));
    EXPECT_FALSE(hk::ExitWindowsWithPrivilege(hk::EXIT_FLAGS_SHUTDOWN));
    EXPECT_TRUE(power.exits.empty());
    EXPECT_EQ(power.opened, power.closed);
  }
}

TEST(PowerCallsScopeTest, NothingInstalledCannotLeaveWindowsAndScopesNest) {
  hk::PowerCalls& unwired = hk::CurrentPowerCalls();
  EXPECT_NE(&unwired, &hk::SystemPowerCalls());
  {
    TFakePower outer;
    hk::PowerCallsScope a(outer);
    EXPECT_EQ(&hk::CurrentPowerCalls(), &outer);
    {
      TFakePower inner;
      hk::PowerCallsScope b(inner);
      EXPECT_EQ(&hk::CurrentPowerCalls(), &inner);
    }
    EXPECT_EQ(&hk::CurrentPowerCalls(), &outer);
  }
  EXPECT_EQ(&hk::CurrentPowerCalls(), &unwired);
}

// ---- Exit Windows ----

class ExitWindowsTest : public PowerTest {
 protected:
  TFakeSystem system;
  hk::SystemActions actions{system};
  HWND app = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
};

TEST_F(ExitWindowsTest, NtFamilyShutsDownAndRestartsThroughThePrivilege) {
  actions.ExitWindowsCommand(hk::EXIT_PARAM_SHUTDOWN, app, "C:\\Apps\\");
  actions.ExitWindowsCommand(hk::EXIT_PARAM_RESTART, app, "C:\\Apps\\");
  ASSERT_EQ(power.exits.size(), 2u);
  EXPECT_EQ(power.exits[0].flags, 13u);
  EXPECT_EQ(power.exits[0].reason, 0u);
  EXPECT_TRUE(power.exits[0].privilegeEnabled);
  EXPECT_EQ(power.exits[1].flags, 6u);
  EXPECT_EQ(power.exits[1].reason, 0u);
  EXPECT_FALSE(power.enabled);
  EXPECT_TRUE(system.shell.empty());
}

TEST_F(ExitWindowsTest, LogOffUsesPlainFlagsOnEveryPlatform) {
  for (int platform : {hk::PLATFORM_NT, hk::PLATFORM_WIN9X, 3}) {
    system.platform = platform;
    power.exits.clear();
    actions.ExitWindowsCommand(hk::EXIT_PARAM_LOGOFF, app, "C:\\Apps\\");
    ASSERT_EQ(power.exits.size(), 1u) << platform;
    EXPECT_EQ(power.exits[0].flags, 0u);
    EXPECT_EQ(power.exits[0].reason, 0u);
  }
}

TEST_F(ExitWindowsTest, NineXFamilyCallsDirectlyAndOtherPlatformsDoNothing) {
  system.platform = hk::PLATFORM_WIN9X;
  actions.ExitWindowsCommand(hk::EXIT_PARAM_SHUTDOWN, app, "C:\\Apps\\");
  actions.ExitWindowsCommand(hk::EXIT_PARAM_RESTART, app, "C:\\Apps\\");
  ASSERT_EQ(power.exits.size(), 2u);
  EXPECT_EQ(power.exits[0].flags, 13u);
  EXPECT_EQ(power.exits[0].reason, 0x20u);
  EXPECT_EQ(power.exits[1].flags, 6u);
  EXPECT_EQ(power.exits[1].reason, 0x20u);
  EXPECT_EQ(power.adjusts, 0) << "no privilege is asked for on the 9x family";

  system.platform = 3;
  actions.ExitWindowsCommand(hk::EXIT_PARAM_SHUTDOWN, app, "C:\\Apps\\");
  actions.ExitWindowsCommand(hk::EXIT_PARAM_RESTART, app, "C:\\Apps\\");
  EXPECT_EQ(power.exits.size(), 2u);
}

TEST_F(ExitWindowsTest, ShutdownTimerStartsTheTimerProgramBesideTheProgram) {
  actions.ExitWindowsCommand(hk::EXIT_PARAM_SHUTDOWN_TIMER, app, "C:\\Program Files\\Hot keys\\");
  actions.ExitWindowsCommand(hk::EXIT_PARAM_SHUTDOWN_TIMER, app, "D:\\Tools");
  ASSERT_EQ(system.shell.size(), 2u);
  EXPECT_EQ(system.shell[0].owner, app);
  EXPECT_EQ(system.shell[0].verb, L"open");
  EXPECT_EQ(system.shell[0].file, L"C:\\Program Files\\Hot keys\\Pellwick.exe");
  EXPECT_EQ(system.shell[0].parameters, L"");
  EXPECT_EQ(system.shell[0].show, SW_SHOWNORMAL);
  EXPECT_EQ(system.shell[1].file, L"D:\\Tools\\Pellwick.exe");
  EXPECT_TRUE(power.exits.empty());
}

TEST_F(ExitWindowsTest, UnknownParametersDoNothing) {
  for (int index : {4, 5, -1, 1000}) actions.ExitWindowsCommand(index, app, "C:\\Apps\\");
  EXPECT_TRUE(power.exits.empty());
  EXPECT_TRUE(system.shell.empty());
}

// ---- volume ----

TEST(VolumeTest, WaveVolumeStepsTheRightChannelAndEqualisesBoth) {
  TFakeSystem system;
  hk::SystemActions actions(system);
  struct Case {
    DWORD before;
    int step;
    DWORD after;
  };
  const Case cases[] = {
      {0x7000'3000, +1, 0x8000'8000},  // right 7, left 3: both become 8
      {0x7FFF'F000, -1, 0x6000'6000},  // the low bits of the right channel do not count
      {0xF000'F000, +1, 0xF000'F000},  // loudest stays loudest
      {0xFFFF'FFFF, +1, 0xF000'F000},  // full scale is level 15
      {0x0000'0000, -1, 0x0000'0000},  // silent stays silent
      {0x0FFF'0FFF, -1, 0x0000'0000},
      {0x5000'5000, -100, 0x0000'0000},
      {0x5000'5000, +100, 0xF000'F000},
  };
  for (const Case& c : cases) {
    system.wave = c.before;
    system.waveSets.clear();
    actions.ChangeVolume(c.step);
    ASSERT_EQ(system.waveSets.size(), 1u);
    EXPECT_EQ(system.waveSets[0], c.after) << std::hex << c.before << " " << std::dec << c.step;
  }
  // A device that cannot be read is left alone.
  system.wave.reset();
  system.waveSets.clear();
  actions.ChangeVolume(+1);
  EXPECT_TRUE(system.waveSets.empty());
  EXPECT_TRUE(system.masterSets.empty());
}

TEST(VolumeTest, MasterVolumeIsPreferredInTheSameSixteenSteps) {
  TFakeSystem system;
  hk::SystemActions actions(system);
  system.wave = 0x3000'3000;
  struct Case {
    float before;
    int step;
    float after;
  };
  const Case cases[] = {
      {0.5f, +1, 9.0f / 15}, {0.5f, -1, 7.0f / 15}, {1.0f, +1, 1.0f},
      {0.99f, +1, 1.0f},     {0.0f, -1, 0.0f},      {0.05f, -1, 0.0f},
  };
  for (const Case& c : cases) {
    system.master = c.before;
    system.masterSets.clear();
    actions.ChangeVolume(c.step);
    ASSERT_EQ(system.masterSets.size(), 1u);
    EXPECT_FLOAT_EQ(system.masterSets[0], c.after) << c.before << " " << c.step;
  }
  EXPECT_TRUE(system.waveSets.empty());

  // Every level reached by the keys reads back as itself: fifteen steps up from silence end at full.
  system.master = 0.0f;
  system.masterSets.clear();
  for (int i = 0; i < 15; ++i) actions.ChangeVolume(+1);
  EXPECT_FLOAT_EQ(*system.master, 1.0f);
  for (int i = 0; i < 15; ++i) actions.ChangeVolume(-1);
  EXPECT_FLOAT_EQ(*system.master, 0.0f);
  EXPECT_EQ(system.masterSets.size(), 30u);
}

// ---- minimise all ----

LRESULT CALLBACK PlainWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }

class MinimizeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterPlainClass(L"HkSystemActionsTestWindow");
    RegisterPlainClass(hk::TASKBAR_WINDOW_CLASS);
  }
  void TearDown() override {
    for (HWND w : windows)
      if (IsWindow(w)) DestroyWindow(w);
  }
  static void RegisterPlainClass(const wchar_t* name) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = PlainWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = name;
    RegisterClassW(&wc);  // a second registration fails harmlessly
  }
  HWND Make(const wchar_t* className, DWORD style) {
    HWND w = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, className, L"system actions test",
                             WS_OVERLAPPEDWINDOW | style, 10, 10, 120, 80, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    windows.push_back(w);
    return w;
  }
  // The collected windows of this test, in the order they were sent to.
  std::vector<HWND> Ours(const std::vector<std::pair<HWND, WPARAM>>& sent, WPARAM command) const {
    std::vector<HWND> result;
    for (const auto& [w, c] : sent) {
      EXPECT_EQ(c, command);
      if (std::find(windows.begin(), windows.end(), w) != windows.end()) result.push_back(w);
    }
    return result;
  }

  std::vector<HWND> windows;
  TFakeSystem system;
  hk::SystemActions actions{system};
};

TEST_F(MinimizeTest, CollectsVisibleWindowsAndRestoresThemInReverse) {
  actions.UndoMinimizeAll();  // before any Minimize All: nothing to restore
  EXPECT_TRUE(system.sent.empty());

  HWND first = Make(L"HkSystemActionsTestWindow", WS_VISIBLE);
  HWND hidden = Make(L"HkSystemActionsTestWindow", 0);
  HWND iconic = Make(L"HkSystemActionsTestWindow", 0);
  ShowWindow(iconic, SW_SHOWMINNOACTIVE);
  ASSERT_TRUE(IsIconic(iconic));
  HWND second = Make(L"HkSystemActionsTestWindow", WS_VISIBLE);
  // A stand-in taskbar, at the bottom of the order so that nothing looking for the real one finds it,
  // and only for as long as the collection runs.
  HWND taskbar = Make(hk::TASKBAR_WINDOW_CLASS, 0);
  SetWindowPos(taskbar, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  ASSERT_TRUE(IsWindowVisible(taskbar));
  EXPECT_FALSE(hk::SystemActions::IsMinimizable(taskbar));

  actions.MinimizeAllWindows();
  DestroyWindow(taskbar);

  // Top of the order first: the later window was made above the earlier one.
  EXPECT_EQ(Ours(system.sent, SC_MINIMIZE), (std::vector<HWND>{second, first}));
  for (HWND w : {hidden, iconic, taskbar})
    EXPECT_EQ(std::count(actions.MinimizedWindows().begin(), actions.MinimizedWindows().end(), w), 0);
  // The animation is off for the sends and back afterwards.
  for (int a : system.animationDuringSends) EXPECT_EQ(a, 0);
  EXPECT_EQ(system.animation, 1);

  system.sent.clear();
  actions.UndoMinimizeAll();
  EXPECT_EQ(Ours(system.sent, SC_RESTORE), (std::vector<HWND>{first, second}));
  EXPECT_EQ(system.animation, 1);

  // The list stays: a second undo restores the same windows, but not one that is gone.
  DestroyWindow(second);
  system.sent.clear();
  actions.UndoMinimizeAll();
  EXPECT_EQ(Ours(system.sent, SC_RESTORE), (std::vector<HWND>{first}));
  for (const auto& sent : system.sent) EXPECT_TRUE(IsWindow(sent.first));
}

TEST_F(MinimizeTest, AnimationIsRestoredWhenASendFails) {
  HWND w = Make(L"HkSystemActionsTestWindow", WS_VISIBLE);
  system.animation = 2;
  system.throwOn = w;
  EXPECT_THROW(actions.MinimizeAllWindows(), std::runtime_error);
  EXPECT_EQ(system.animation, 2);
  system.animation = 3;
  EXPECT_THROW(actions.UndoMinimizeAll(), std::runtime_error);
  EXPECT_EQ(system.animation, 3);
}

TEST(AnimationTest, SetReturnsTheFormerSettingAndWritesOnlyChanges) {
  TFakeSystem system;
  hk::SystemActions actions(system);
  system.animation = 1;
  EXPECT_EQ(actions.SetMinimizeAnimation(1), 1);
  EXPECT_EQ(system.animationSets, 0);
  EXPECT_EQ(actions.SetMinimizeAnimation(0), 1);
  EXPECT_EQ(system.animation, 0);
  EXPECT_EQ(system.animationSets, 1);
  // Unreadable: nothing is written, and restoring with the returned value changes nothing either.
  system.animation.reset();
  EXPECT_EQ(actions.SetMinimizeAnimation(0), 0);
  EXPECT_EQ(system.animationSets, 1);
}

// ---- screen saver and drive door ----

TEST(SystemCommandTest, ScreenSaverDoorAndFolderCommands) {
  TFakeSystem system;
  hk::SystemActions actions(system);
  HWND main = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x4321));
  actions.LaunchScreenSaver(main);
  ASSERT_EQ(system.posted.size(), 1u);
  EXPECT_EQ(system.posted[0].first, main);
  EXPECT_EQ(system.posted[0].second, 0xF140u);
  EXPECT_TRUE(system.sent.empty());

  actions.EjectCd();
  actions.CloseCd();
  EXPECT_EQ(system.mci, (std::vector<std::wstring>{L"Set cdaudio door open wait", L"Set cdaudio door closed wait"}));

  // A folder is opened by the shell as it is written: no macro is expanded.
  actions.OpenFolder(main, "$WINDOWS$\\Fonts");
  ASSERT_EQ(system.shell.size(), 1u);
  EXPECT_EQ(system.shell[0].owner, main);
  EXPECT_EQ(system.shell[0].verb, L"open");
  EXPECT_EQ(system.shell[0].file, L"$WINDOWS$\\Fonts");
  EXPECT_EQ(system.shell[0].parameters, L"");
  EXPECT_EQ(system.shell[0].show, SW_SHOWNORMAL);
}

}  // namespace
