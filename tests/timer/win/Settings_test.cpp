// config.ini and the autorun value.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "Registry.h"
#include "TestSupport.h"
#include "TimerSettings.h"
#include "WinString.h"

namespace {

std::string ReadBytes(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), {}};
}

TEST(TimerConfigTest, ReadsTheSampleWithItsChineseNames) {
  const cl::TIniFile ini = pellwick::OpenConfig(testsupport::DataDir("ini"));
  const pellwick::TTimeSettings s = pellwick::ReadTimeSettings(ini);
  EXPECT_EQ(s.seconds, "3600");
  EXPECT_EQ(s.hour, 23);
  EXPECT_EQ(s.minute, 30);
  EXPECT_EQ(s.second, 0);
  EXPECT_TRUE(s.countDown);
  EXPECT_FALSE(s.exactTime);
  EXPECT_TRUE(s.remind);
  const pellwick::TOptions o = pellwick::ReadOptions(ini);
  EXPECT_TRUE(o.autoStartup);
  EXPECT_TRUE(o.saveTime);
  EXPECT_FALSE(o.autoTask);
  EXPECT_FALSE(pellwick::ReadRunTaskAtStart(ini));
}

TEST(TimerConfigTest, MissingFileAndKeysGiveTheDefaults) {
  testsupport::TempDir dir;
  const cl::TIniFile ini = pellwick::OpenConfig(dir.path.string());
  const pellwick::TTimeSettings s = pellwick::ReadTimeSettings(ini);
  EXPECT_EQ(s.seconds, "0");
  EXPECT_EQ(s.hour + s.minute + s.second, 0);
  EXPECT_FALSE(s.countDown);
  EXPECT_FALSE(s.exactTime);
  EXPECT_TRUE(s.remind);  // "Remind" defaults to on
  EXPECT_FALSE(pellwick::ReadRunTaskAtStart(ini));
}

TEST(TimerConfigTest, WritesTheNamesInCodePage936ByteForByte) {
  testsupport::TempDir dir;
  cl::TIniFile ini = pellwick::OpenConfig(dir.path.string());
  pellwick::TTimeSettings s;
  s.seconds = "3600";
  s.hour = 23;
  s.minute = 30;
  s.countDown = true;
  pellwick::WriteTimeSettings(ini, s);
  ini.WriteBool(pellwick::SectionSystem, pellwick::KeyAutoStartup, false);
  ini.WriteBool(pellwick::SectionSystem, pellwick::KeyAutoTask, true);
  ini.WriteBool(pellwick::SectionStartup, pellwick::KeyRunTaskAtStart, true);
  EXPECT_EQ(ReadBytes(dir.path / "config.ini"), ReadBytes(testsupport::DataDir("ini") + "/pellwick-saved.ini"));
}

TEST(TimerConfigTest, WritingTheSameSettingsLeavesTheFileAlone) {
  testsupport::TempDir dir;
  std::filesystem::copy_file(testsupport::DataDir("ini") + "/config.ini", dir.path / "config.ini");
  const std::string before = ReadBytes(dir.path / "config.ini");
  cl::TIniFile ini = pellwick::OpenConfig(dir.path.string());
  pellwick::WriteTimeSettings(ini, pellwick::ReadTimeSettings(ini));
  EXPECT_EQ(ReadBytes(dir.path / "config.ini"), before);
}

TEST(TimerConfigTest, SecondsTextIsOneToTenDigitsReadAs64Bits) {
  using pellwick::ParseSecondsText;
  for (const char* bad : {"", "12a", "-6", " 6", "6 ", "12345678901", "+6", "６"})
    EXPECT_FALSE(ParseSecondsText(bad).has_value()) << bad;
  EXPECT_EQ(ParseSecondsText("6"), 6);
  EXPECT_EQ(ParseSecondsText("0000000006"), 6);
  EXPECT_EQ(ParseSecondsText("2147483648"), int64_t{2147483648});
  EXPECT_EQ(ParseSecondsText("9999999999"), int64_t{9999999999});
}

TEST(TimerAutorunTest, WritesTheQuotedPathAndRemovesIt) {
  const std::string name = "Pellwick-Test-" + std::to_string(GetCurrentProcessId());
  pellwick::AddAutorun(name, "C:\\Program Files\\Timer Tools\\Pellwick.exe");
  cl::TRegistry reg;
  reg.SetRootKey(HKEY_CURRENT_USER);
  ASSERT_TRUE(reg.OpenKeyReadOnly(pellwick::AutorunKey));
  EXPECT_EQ(reg.ReadString(name), "\"C:\\Program Files\\Timer Tools\\Pellwick.exe\"");
  reg.CloseKey();

  pellwick::RemoveAutorun(name);
  ASSERT_TRUE(reg.OpenKeyReadOnly(pellwick::AutorunKey));
  EXPECT_FALSE(reg.ValueExists(name));
  reg.CloseKey();
  // Removing a value that is not there is no error.
  EXPECT_NO_THROW(pellwick::RemoveAutorun(name));
}

TEST(TimerAutorunTest, RemovingTheValueCreatesAMissingKey) {
  const std::string parent = "Software\\CalderineTests\\Pellwick-" + std::to_string(GetCurrentProcessId());
  const std::string key = parent + "\\Run";
  cl::TRegistry reg;
  reg.SetRootKey(HKEY_CURRENT_USER);
  ASSERT_FALSE(reg.KeyExists(key));
  pellwick::RemoveAutorun("Calderine-Timer", key);
  EXPECT_TRUE(reg.KeyExists(key));
  RegDeleteTreeW(HKEY_CURRENT_USER, cl::ToWide(parent).c_str());
}

TEST(TimerAutorunTest, ProgramPathIsThisModule) {
  const std::string path = pellwick::ProgramPath();
  EXPECT_NE(path.find("timer_program_tests"), std::string::npos) << path;
}

}  // namespace
