// The test run itself. Under Wine the desktop closes a second after its last program ends, and the next
// program that opens it starts the desktop process, which inherits that program's standard output. When
// that program is a test, ctest reads the test's output until the desktop closes again, at the end of the
// run: the test seems to hang. So the run holds the desktop open from before the first test to after the
// last ("wintool hold", started by the test scripts).
#include <windows.h>

#include <gtest/gtest.h>

namespace {

bool UnderWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

TEST(WineDesktop, IsHeldOpenForTheWholeRun) {
  if (!UnderWine()) GTEST_SKIP() << "the desktop of Windows stays open";
  EXPECT_NE(FindWindowW(L"Static", L"wintool hold"), nullptr)
      << "nothing holds the desktop open: a test may start the desktop process and wait for it";
}

}  // namespace
