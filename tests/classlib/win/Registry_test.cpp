#include "Registry.h"

#include <gtest/gtest.h>

#include <string>

#include "WinString.h"

namespace {

using cl::ERegistryException;
using cl::TRegistry;

// Each test works below a top-level key of its own, so test programs running side by side never meet: a
// shared parent key could be deleted by one test while another is creating a key beneath it.
class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::string("Software\\CalderineTests-") + info->name() + "-" + std::to_string(GetCurrentProcessId());
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, cl::ToWide(path_).c_str());
  }
  std::string Abs() const { return "\\" + path_; }
  template <typename Fn>
  static std::string MessageOf(Fn fn) {
    try {
      fn();
    } catch (const ERegistryException& e) {
      return e.Message();
    }
    return "(no exception)";
  }

  std::string path_;
};

TEST_F(RegistryTest, ValuesRoundTripAndMissingValues) {
  TRegistry reg;
  EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
  ASSERT_FALSE(reg.OpenKey(Abs(), false));  // not there yet, and not created
  ASSERT_TRUE(reg.OpenKey(Abs(), true));
  const std::string text = "\"C:\\Program Files\\Z\xC3\xBCrich \xE6\x9D\xB1\xE4\xBA\xAC\\x.exe\"";
  reg.WriteString("Calderine", text);
  reg.WriteString("", "default");
  reg.WriteString("Empty", "");
  reg.WriteInteger("Neg", -5);
  EXPECT_EQ(reg.ReadString("Calderine"), text);
  EXPECT_EQ(reg.ReadString(""), "default");
  EXPECT_EQ(reg.ReadString("Empty"), "");
  EXPECT_TRUE(reg.ValueExists("Empty"));
  EXPECT_EQ(reg.ReadInteger("Neg"), -5);
  EXPECT_EQ(reg.ReadString("Missing"), "");
  EXPECT_FALSE(reg.ValueExists("Missing"));

  // The value is really there, as REG_SZ in UTF-16.
  wchar_t raw[128] = {};
  DWORD size = sizeof(raw);
  DWORD type = 0;
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, cl::ToWide(path_).c_str(), L"Calderine", RRF_RT_ANY, &type, raw, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(cl::FromWide(raw), text);

  EXPECT_TRUE(reg.DeleteValue("Calderine"));
  EXPECT_FALSE(reg.ValueExists("Calderine"));
  EXPECT_FALSE(reg.DeleteValue("Calderine"));  // a missing value is no error
}

TEST_F(RegistryTest, FailuresNameTheValue) {
  TRegistry reg;
  // No key open: nothing can be written or read.
  EXPECT_EQ(MessageOf([&] { reg.WriteString("Calderine-Timer", "x"); }), "Failed to set data for 'Calderine-Timer'");
  EXPECT_EQ(MessageOf([&] { reg.ReadInteger("N"); }), "Failed to get data for 'N'");
  EXPECT_FALSE(reg.ValueExists("N"));
  EXPECT_FALSE(reg.DeleteValue("N"));

  ASSERT_TRUE(reg.OpenKey(Abs(), true));
  reg.WriteString("S", "text");
  reg.WriteInteger("N", 7);
  EXPECT_EQ(MessageOf([&] { reg.ReadInteger("Missing"); }), "Failed to get data for 'Missing'");
  EXPECT_EQ(MessageOf([&] { reg.ReadInteger("S"); }), "Invalid data type for 'S'");
  EXPECT_EQ(MessageOf([&] { reg.ReadString("N"); }), "Invalid data type for 'N'");

  // A read-only key refuses writes and keeps its values.
  ASSERT_TRUE(reg.OpenKeyReadOnly(Abs()));
  EXPECT_EQ(MessageOf([&] { reg.WriteString("S", "other"); }), "Failed to set data for 'S'");
  EXPECT_EQ(MessageOf([&] { reg.WriteInteger("N", 8); }), "Failed to set data for 'N'");
  EXPECT_FALSE(reg.DeleteValue("S"));
  EXPECT_EQ(reg.ReadString("S"), "text");
  EXPECT_EQ(reg.ReadInteger("N"), 7);
}

TEST_F(RegistryTest, RawDataWithoutTerminatorOrOfOddLength) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(Abs(), true));
  const HKEY key = reg.CurrentKey();
  const wchar_t abc[] = {L'a', L'b', L'c'};
  ASSERT_EQ(RegSetValueExW(key, L"NoNul", 0, REG_SZ, reinterpret_cast<const BYTE*>(abc), sizeof(abc)), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExW(key, L"Odd", 0, REG_SZ, reinterpret_cast<const BYTE*>(abc), 5), ERROR_SUCCESS);
  const wchar_t embedded[] = L"ab\0cd";
  ASSERT_EQ(RegSetValueExW(key, L"Embedded", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(embedded), sizeof(embedded)),
            ERROR_SUCCESS);
  const BYTE small[2] = {1, 2};
  ASSERT_EQ(RegSetValueExW(key, L"Short", 0, REG_DWORD, small, sizeof(small)), ERROR_SUCCESS);
  EXPECT_EQ(reg.ReadString("NoNul"), "abc");
  EXPECT_EQ(reg.ReadString("Odd"), "ab");
  EXPECT_EQ(reg.ReadString("Embedded"), "ab");
  EXPECT_EQ(MessageOf([&] { reg.ReadInteger("Short"); }), "Invalid data type for 'Short'");
}

TEST_F(RegistryTest, KeyPathsAbsoluteRelativeAndTrailingBackslash) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(Abs() + "\\Run\\", true));
  EXPECT_EQ(reg.CurrentPath(), path_ + "\\Run");
  reg.WriteString("Calderine-Timer", "C:\\t.exe");

  // Relative to the open key.
  ASSERT_TRUE(reg.OpenKey(Abs(), false));
  EXPECT_TRUE(reg.KeyExists("Run"));
  EXPECT_FALSE(reg.KeyExists("Walk"));
  ASSERT_TRUE(reg.OpenKey("Run\\", false));
  EXPECT_EQ(reg.CurrentPath(), path_ + "\\Run");
  EXPECT_EQ(reg.ReadString("Calderine-Timer"), "C:\\t.exe");

  // A failed open keeps the key that was open.
  EXPECT_FALSE(reg.OpenKey("\\" + path_ + "\\Nowhere", false));
  EXPECT_EQ(reg.CurrentPath(), path_ + "\\Run");

  // Without an open key a relative path starts at the root.
  reg.CloseKey();
  EXPECT_EQ(reg.CurrentKey(), nullptr);
  EXPECT_TRUE(reg.KeyExists(path_ + "\\Run"));
  ASSERT_TRUE(reg.OpenKeyReadOnly(path_ + "\\Run"));
  EXPECT_TRUE(reg.ValueExists("Calderine-Timer"));

  // Another root closes the key; the same path is not there.
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_EQ(reg.CurrentKey(), nullptr);
  EXPECT_FALSE(reg.KeyExists(Abs()));
}

TEST(Registry, ReadsTheSystemFolders) {
  TRegistry reg;
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion"));
  ASSERT_TRUE(reg.ValueExists("ProgramFilesDir"));
  EXPECT_NE(reg.ReadString("ProgramFilesDir").find(":\\"), std::string::npos);
  EXPECT_NE(reg.ReadString("CommonFilesDir").find(":\\"), std::string::npos);
}

}  // namespace
