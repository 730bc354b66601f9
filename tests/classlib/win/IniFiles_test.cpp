#include <gtest/gtest.h>

#include "TestSupport.h"
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "FileUtil.h"
#include "IniFiles.h"
#include "WinString.h"

using namespace cl;
namespace fs = std::filesystem;

using testsupport::TempDir;

namespace {
std::string DataFile(const std::string& name) { return testsupport::DataDir("ini") + name; }
using testsupport::Utf8;


// A NUL-separated list as the profile functions return it.
std::vector<std::string> Split(const wchar_t* buf, DWORD n) {
  std::vector<std::string> out;
  for (const wchar_t* p = buf; p < buf + n && *p; p += wcslen(p) + 1) out.push_back(FromWide(p));
  return out;
}
}  // namespace

TEST(IniFileWin, Cp936ConfigUnderAnotherSystemCodePage) {
  ASSERT_NE(GetACP(), 936u);
  TempDir dir;
  const std::string path = dir.File("config.ini");
  const std::string original = ReadFileBytes(DataFile("config.ini"));
  WriteFileAtomic(path, original);

  TIniFile ini(path, 936);
  const std::string timing = Utf8(u8"定时设置");
  EXPECT_EQ(ini.ReadString(timing, Utf8(u8"倒计时"), "0"), "3600");
  EXPECT_EQ(ini.ReadInteger(timing, Utf8(u8"分"), 0), 30);
  EXPECT_FALSE(ini.ReadBool(Utf8(u8"系统参数"), "checkbox4", true));
  for (const std::string& s : ini.ReadSections())
    for (const std::string& k : ini.ReadSection(s)) ini.WriteString(s, k, ini.ReadString(s, k, ""));
  EXPECT_EQ(ReadFileBytes(path), original);

  ini.WriteInteger(timing, Utf8(u8"秒"), 15);
  std::string want = original;
  const std::string line = Utf8ToCodePage(Utf8(u8"秒=0\r\n"), 936);
  want.replace(want.find(line), line.size(), Utf8ToCodePage(Utf8(u8"秒=15\r\n"), 936));
  EXPECT_EQ(ReadFileBytes(path), want);
}

TEST(IniFileWin, AgreesWithTheSystemProfileFunctions) {
  TempDir dir;
  const std::string path = dir.File("Hotkeys.ini");
  WriteFileAtomic(path, "; settings\r\n"
                        "[Settings]\r\n"
                        "  ShowMe = 0  \r\n"
                        "Quoted=\"a b\"\r\n"
                        "Single='x'\r\n"
                        "Odd=\"a'\r\n"
                        "bare\r\n"
                        ";Comment=1\r\n"
                        "Empty=\r\n"
                        "\r\n"
                        "[ EditorWindow ]\r\n"
                        "Width=575\r\n");
  const std::wstring wpath = ToWide(path);
  TIniFile ini(path);
  const char* const queries[][2] = {{"settings", "SHOWME"}, {"Settings", "quoted"},     {"Settings", "Single"},
                                    {"Settings", "Odd"},    {"Settings", "bare"},       {"Settings", "Empty"},
                                    {"Settings", "none"},   {"EDITORWINDOW", "width"},  {"Missing", "Width"}};
  for (const auto& [section, key] : queries) {
    wchar_t buf[256];
    GetPrivateProfileStringW(ToWide(section).c_str(), ToWide(key).c_str(), L"<default>", buf, 256, wpath.c_str());
    EXPECT_EQ(ini.ReadString(section, key, "<default>"), FromWide(buf)) << section << "/" << key;
  }
  wchar_t list[1024];
  DWORD n = GetPrivateProfileStringW(L"Settings", nullptr, L"", list, 1024, wpath.c_str());
  EXPECT_EQ(ini.ReadSection("Settings"), Split(list, n));
  n = GetPrivateProfileSectionNamesW(list, 1024, wpath.c_str());
  EXPECT_EQ(ini.ReadSections(), Split(list, n));
}

TEST(IniFileWin, ReadOnlyFileIsLeftAloneAndReported) {
  TempDir dir;
  const std::string path = dir.File("ro.ini");
  const std::string original = "[Settings]\r\nClipboardCount=5\r\n";
  WriteFileAtomic(path, original);
  ASSERT_TRUE(SetFileAttributesW(ToWide(path).c_str(), FILE_ATTRIBUTE_READONLY));
  TIniFile ini(path);
  try {
    ini.WriteInteger("Settings", "ClipboardCount", 6);
    FAIL() << "no exception";
  } catch (const EIniFileException& e) {
    EXPECT_EQ(e.Message(), "Unable to write to " + path);
  }
  EXPECT_EQ(ReadFileBytes(path), original);
  EXPECT_EQ(ini.ReadInteger("Settings", "ClipboardCount", 0), 5);
}
