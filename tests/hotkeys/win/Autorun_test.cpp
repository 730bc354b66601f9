// The autorun option against a store that records or refuses, and the registry store itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "IniFiles.h"
#include "TestSupport.h"
#include "WinString.h"
#include "hkAutorun.h"

namespace {

class FakeStore : public hk::AutorunStore {
 public:
  explicit FakeStore(bool works) : works_(works) {}
  bool Write(const std::string& programFile) override {
    writes.push_back(programFile);
    return works_;
  }
  bool Remove() override {
    ++removes;
    return works_;
  }
  std::vector<std::string> writes;
  int removes = 0;

 private:
  bool works_;
};

class Autorun : public ::testing::Test {
 protected:
  bool Apply(hk::AutorunStore& store, bool on) {
    return hk::ApplyAutorun(store, on, kProgram, Ini(), [this](const std::string& text) { told.push_back(text); });
  }
  std::string Ini() const { return dir_.File("Hotkeys.ini"); }
  std::string AutoRunSetting() const { return cl::TIniFile(Ini()).ReadString("Settings", "AutoRun", "absent"); }

  static constexpr char kProgram[] = "C:\\Program Files\\Hotkeys\\Hotkeys.exe";
  testsupport::TempDir dir_;
  std::vector<std::string> told;
};

TEST_F(Autorun, AWrittenValueKeepsTheOptionOnAndAnUntickRemovesIt) {
  FakeStore store(true);
  EXPECT_TRUE(Apply(store, true));
  EXPECT_EQ(store.writes, std::vector<std::string>{kProgram});
  EXPECT_EQ(AutoRunSetting(), "1");

  EXPECT_FALSE(Apply(store, false));
  EXPECT_EQ(store.removes, 1);
  EXPECT_EQ(store.writes.size(), 1u);
  EXPECT_EQ(AutoRunSetting(), "0");
  EXPECT_TRUE(told.empty());
}

// Without the rights to the key the program would not start with Windows: the option goes off, the
// setting says so, and the user hears it once.
TEST_F(Autorun, AValueThatCannotBeWrittenTurnsTheOptionOffAndTellsTheUserOnce) {
  FakeStore store(false);
  EXPECT_FALSE(Apply(store, true));
  EXPECT_EQ(AutoRunSetting(), "0");
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0], hk::AutorunFailedText);
  EXPECT_EQ(store.removes, 0);

  // A removal that fails has nothing to tell: the option is off either way.
  EXPECT_FALSE(Apply(store, false));
  EXPECT_EQ(AutoRunSetting(), "0");
  EXPECT_EQ(told.size(), 1u);
}

// The program's own store: the value "Calderine" under the Run key of HKEY_LOCAL_MACHINE, quoted.
TEST_F(Autorun, TheRegistryStoreWritesTheQuotedPathAndRemovesIt) {
  static constexpr wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  auto read = []() -> std::optional<std::wstring> {
    wchar_t value[MAX_PATH * 2] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kRun, L"Calderine", RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
      return std::nullopt;
    return std::wstring(value);
  };
  const std::optional<std::wstring> before = read();  // another test's program may have left its own

  const auto store = hk::RegistryAutorun();
  ASSERT_TRUE(store->Write(kProgram));
  EXPECT_EQ(read(), std::optional<std::wstring>(cl::ToWide(std::string("\"") + kProgram + "\"")));
  EXPECT_TRUE(store->Remove());
  EXPECT_EQ(read(), std::nullopt);
  EXPECT_TRUE(store->Remove());  // nothing left to remove is no failure

  if (before) RegSetKeyValueW(HKEY_LOCAL_MACHINE, kRun, L"Calderine", REG_SZ, before->c_str(),
                              static_cast<DWORD>((before->size() + 1) * sizeof(wchar_t)));
}

}  // namespace
