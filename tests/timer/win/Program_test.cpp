// The Pellwick program itself, built with the recording power-off, started from a scratch folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "IniFiles.h"
#include "Process.h"
#include "TestSupport.h"
#include "TimerSettings.h"
#include "TrayProbe.h"

namespace {

TEST(PellwickProgramTest, ShortCountAtStartReachesThePowerOffWithoutInput) {
  testsupport::TempDir dir;
  const std::string exe = hktest::CopyFileTo(HK_PELLWICK_EXE, dir.path.string());
  ASSERT_FALSE(exe.empty());
  {
    cl::TIniFile ini = pellwick::OpenConfig(dir.path.string());
    pellwick::TTimeSettings s;
    s.seconds = "6";
    s.countDown = true;
    s.remind = false;
    pellwick::WriteTimeSettings(ini, s);
    ini.WriteBool(pellwick::SectionStartup, pellwick::KeyRunTaskAtStart, true);
  }
  hktest::ChildProcess child;
  ASSERT_TRUE(child.Start(exe, {}, dir.path.string()));
  ASSERT_TRUE(hktest::WaitForWindow("TForm1", child.Pid(), 10000));
  // The task starts by itself and the program goes into the notification area before it powers off. A
  // busy notification area is tried again every 2 s, so the icon may come late: it is looked for as long as
  // the program runs.
  bool inTray = false;
  const ULONGLONG end = GetTickCount64() + 20000;
  while (!inTray && child.Running() && GetTickCount64() < end) {
    inTray = hktest::ProcessHasTrayIcon(child.Pid(), 1);
    if (!inTray) Sleep(50);
  }
  EXPECT_TRUE(inTray);
  const auto code = child.WaitExit(20000);
  ASSERT_TRUE(code.has_value());
  std::ifstream log(dir.path / "poweroff.log", std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(log), {}};
  EXPECT_EQ(text, "ExitWindowsEx 13 0\n");
}

TEST(PellwickProgramTest, ItsShownMainWindowIsSkinned) {
  testsupport::TempDir dir;
  const std::string exe = hktest::CopyFileTo(HK_PELLWICK_EXE, dir.path.string());
  ASSERT_FALSE(exe.empty());
  hktest::ChildProcess child;
  ASSERT_TRUE(child.Start(exe, {}, dir.path.string()));
  const HWND main = hktest::WaitForWindow("TForm1", child.Pid(), 10000);
  ASSERT_TRUE(main);
  // The skin answers its query once the window has been activated; the process's state can only be
  // asked from here, until a deadline.
  bool skinned = false;
  const ULONGLONG end = GetTickCount64() + 10000;
  while (!skinned && child.Running() && GetTickCount64() < end) {
    DWORD_PTR answer = 0;
    skinned = SendMessageTimeoutW(main, 0x3504, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer) && answer == 1;
    if (!skinned) Sleep(50);
  }
  EXPECT_TRUE(skinned);
  EXPECT_TRUE(child.Running());
}

}  // namespace
