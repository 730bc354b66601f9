#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include "KernelHandle.h"
#include "MessageLoop.h"
#include "Process.h"
#include "TrayProbe.h"

namespace {

constexpr UINT kQuitMessage = 3028;

// A hidden window of this process, for icons of our own.
struct OwnWindow {
  HWND handle = CreateWindowExW(0, L"STATIC", L"probe", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ~OwnWindow() { DestroyWindow(handle); }
};

bool SetIcon(HWND window, DWORD action) {
  NOTIFYICONDATAW nid{};
  nid.cbSize = sizeof nid;
  nid.hWnd = window;
  nid.uID = 0;
  nid.uFlags = NIF_ICON;
  nid.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  return Shell_NotifyIconW(action, &nid) != FALSE;
}

TEST(TrayProbe, TellsAnIconFromNoneInThisProcess) {
  OwnWindow w;
  ASSERT_NE(w.handle, nullptr);
  EXPECT_FALSE(hktest::ProcessHasTrayIcon(GetCurrentProcessId()));
  ASSERT_TRUE(SetIcon(w.handle, NIM_ADD));
  EXPECT_TRUE(hktest::ProcessHasTrayIcon(GetCurrentProcessId()));
  EXPECT_TRUE(hktest::WindowHasTrayIcon(w.handle, 0));
  EXPECT_FALSE(hktest::WindowHasTrayIcon(w.handle, 1));  // another id of the same window
  ASSERT_TRUE(SetIcon(w.handle, NIM_DELETE));
  EXPECT_FALSE(hktest::ProcessHasTrayIcon(GetCurrentProcessId()));
}

TEST(ChildProcess, QuotesArgumentsAsTheChildSplitsThem) {
  for (const std::wstring arg : {L"plain", L"two words", L"", L"a\"quote", L"tail\\", L"dir\\ x\\\\",
                                 L"back\\\\\"q"}) {
    const std::wstring line = L"prog.exe " + hktest::QuoteArgument(arg);
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(line.c_str(), &argc);
    ASSERT_NE(argv, nullptr);
    EXPECT_EQ(argc, 2) << line;
    if (argc == 2) {
      EXPECT_EQ(std::wstring(argv[1]), arg) << line;
    }
    LocalFree(argv);
  }
}

#ifdef HK_TRAY_MINIMAL
TEST(ChildProcess, FindsTheTrayProgramsWindowAndIconAndEndsIt) {
  hktest::ChildProcess child;
  ASSERT_TRUE(child.Start(HK_TRAY_MINIMAL));
  EXPECT_TRUE(child.Running());
  const HWND window = hktest::WaitForWindow("HkTrayMinimal", child.Pid(), 10000);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(hktest::WaitForWindow("HkTrayMinimal", GetCurrentProcessId(), 0), nullptr);  // not ours
  EXPECT_TRUE(hktest::PumpUntil([&] { return hktest::ProcessHasTrayIcon(child.Pid()); }, 10000));
  EXPECT_FALSE(child.WaitExit(50).has_value());

  PostMessageW(window, kQuitMessage, kQuitMessage, 0);
  const auto code = child.WaitExit(10000);
  ASSERT_TRUE(code.has_value());
  EXPECT_EQ(*code, 0u);
  EXPECT_FALSE(child.Running());
  EXPECT_EQ(hktest::FindProcessWindow("HkTrayMinimal", child.Pid()), nullptr);
}

TEST(ChildProcess, EndsAProgramStillRunningWhenItGoes) {
  HANDLE duplicate = nullptr;
  {
    hktest::ChildProcess child;
    ASSERT_TRUE(child.Start(HK_TRAY_MINIMAL));
    ASSERT_NE(hktest::WaitForWindow("HkTrayMinimal", child.Pid(), 10000), nullptr);
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), child.Handle(), GetCurrentProcess(), &duplicate, SYNCHRONIZE,
                                FALSE, 0));
  }
  const cl::TKernelHandle process(duplicate);
  EXPECT_EQ(WaitForSingleObject(process.Get(), 0), WAIT_OBJECT_0);
}
#endif

TEST(ChildProcess, AProgramThatCannotStartIsReported) {
  hktest::ChildProcess child;
  EXPECT_FALSE(child.Start("Z:\\no\\such\\program.exe"));
  EXPECT_FALSE(child.Running());
  EXPECT_FALSE(child.WaitExit(0).has_value());
}

}  // namespace
