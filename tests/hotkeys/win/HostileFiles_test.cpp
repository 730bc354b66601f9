// The real Hotkeys program given files that are damaged, locked or out of range: nothing the user had
// may be lost, and nothing may be hidden.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>

#include "Definitions.h"
#include "FileUtil.h"
#include "IniFiles.h"
#include "Process.h"
#include "ProgramDriver.h"
#include "SysUtils.h"
#include "TestSupport.h"
#include "WinString.h"
#include "hkList.h"

namespace {

using namespace hkprog;

HWND FindByText(HWND parent, const wchar_t* text) {
  for (HWND w : Descendants(parent))
    if (WindowText(w) == text) return w;
  return nullptr;
}

// Five entries on combinations nobody else uses; the third is the one a test damages.
hk::Definitions FiveEntries() {
  hk::Definitions defs;
  for (int i = 1; i <= 5; ++i)
    defs.entries.push_back(Entry("Entry " + std::to_string(i), "Minimize All Windows", "",
                                 "Ctrl+Alt+Shift+F" + std::to_string(i), false));
  return defs;
}

// The offset of the third record: it begins with its description, the first "Entry 3" in the file.
size_t ThirdRecord(const std::string& bytes) {
  const std::string description = std::string("\x06\x07") + "Entry 3";
  return bytes.find(description);
}

class HostileFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    exe_ = hktest::CopyFileTo(HK_HOTKEYS_EXE, dir_.File(""));
    ASSERT_FALSE(exe_.empty());
  }

  void TearDown() override {
    SetFileAttributesW(cl::ToWide(Definitions()).c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!p_.Running()) return;
    PostMessageW(main_, kExit, kExit, 0);
    if (!p_.WaitExit(3000)) {
      if (HWND box = Box()) PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
      p_.WaitExit(kWait);
    }
  }

  std::string Definitions() const { return dir_.File("Hotkeys.hkd"); }
  std::string Backup() const { return dir_.File("Hotkeys.hkd.bak"); }
  std::string Settings() const { return dir_.File("Hotkeys.ini"); }

  void Start() {
    main_ = StartProgram(p_, exe_, dir_.File(""));
    ASSERT_TRUE(main_);
  }

  void ShowEditor() {
    PostMessageW(main_, kShowEditor, kShowEditor, 0);
    ASSERT_TRUE(Eventually([&] { return IsWindowVisible(main_) != FALSE; }));
    list_ = nullptr;
    for (HWND w : Descendants(main_)) {
      wchar_t name[64] = {};
      GetClassNameW(w, name, 64);
      if (_wcsicmp(name, L"SysListView32") == 0) list_ = w;
    }
    ASSERT_TRUE(list_);
  }

  // The program's message box once it is on screen, else null.
  HWND Box() {
    HWND box = nullptr;
    Eventually([&] {
      box = hktest::FindProcessWindow("#32770", p_.Pid());
      return box && IsWindowVisible(box);
    });
    return box;
  }
  static std::wstring BoxText(HWND box) { return WindowText(GetDlgItem(box, 0xFFFF)); }
  static void Answer(HWND box, int button) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    EXPECT_TRUE(Eventually([&] { return !IsWindow(box); }));
  }

  // A button of the editor; posted, since it may open a box.
  void Click(const wchar_t* caption) {
    HWND b = FindByText(main_, caption);
    ASSERT_TRUE(b) << "no button";
    PostMessageW(GetParent(b), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(b), BN_CLICKED), reinterpret_cast<LPARAM>(b));
  }
  bool Enabled(const wchar_t* caption) { return IsWindowEnabled(FindByText(main_, caption)) != FALSE; }
  int Rows() const { return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)); }
  int ColumnWidth(int column) const { return static_cast<int>(SendMessageW(list_, LVM_GETCOLUMNWIDTH, column, 0)); }

  // The editor's box about a file read short: its text (after checking the caption), answered OK.
  std::wstring ShortReadReport() {
    HWND box = Box();
    if (!box) return L"(no message)";
    EXPECT_EQ(WindowText(box), L"Hotkey Editor");
    const std::wstring text = BoxText(box);
    Answer(box, IDOK);
    return text;
  }

  testsupport::TempDir dir_;
  std::string exe_;
  hktest::ChildProcess p_;
  HWND main_ = nullptr;
  HWND list_ = nullptr;
};

// One bad byte in record 3 of 5: the user is told that 2 entries were read, and the first save keeps the
// whole old file beside the new one; later saves leave that copy alone.
TEST_F(HostileFiles, ADamagedFileIsReportedAndKeptBesideTheFirstSave) {
  std::string bytes = hk::DefinitionsToBytes(FiveEntries());
  const size_t third = ThirdRecord(bytes);
  ASSERT_NE(third, std::string::npos);
  bytes[third] = '\x7F';  // a tag no value has
  cl::WriteFileAtomic(Definitions(), bytes);

  ASSERT_NO_FATAL_FAILURE(Start());
  const std::wstring text = ShortReadReport();
  const std::wstring path = cl::ToWide(cl::LowerCase(Definitions()));
  EXPECT_NE(text.find(L"only the first 2 entries could be read"), std::wstring::npos) << cl::FromWide(text);
  EXPECT_NE(text.find(path), std::wstring::npos) << cl::FromWide(text);
  EXPECT_NE(text.find(path + L".bak"), std::wstring::npos) << cl::FromWide(text);
  ASSERT_NO_FATAL_FAILURE(ShowEditor());
  EXPECT_EQ(Rows(), 2);
  EXPECT_FALSE(Enabled(L"&Apply"));
  EXPECT_FALSE(cl::FileExists(Backup()));

  Click(L"&New");
  ASSERT_TRUE(Eventually([&] { return Rows() == 3; }));
  Click(L"&Apply");
  ASSERT_TRUE(Eventually([&] { return !Enabled(L"&Apply"); }));
  EXPECT_EQ(cl::ReadFileBytes(Backup()), bytes);
  const hk::LoadedDefinitions saved = hk::LoadDefinitions(Definitions());
  EXPECT_TRUE(saved.complete);
  EXPECT_EQ(saved.entries.size(), 3u);

  // The file is whole now: the next save replaces it alone.
  Click(L"&New");
  ASSERT_TRUE(Eventually([&] { return Rows() == 4; }));
  Click(L"&Apply");
  ASSERT_TRUE(Eventually([&] { return !Enabled(L"&Apply"); }));
  EXPECT_EQ(hk::LoadDefinitions(Definitions()).entries.size(), 4u);
  EXPECT_EQ(cl::ReadFileBytes(Backup()), bytes);
}

// The damaged file is told once: "No" to the save question of an exit reads it again, and the program ends
// without telling it a second time.
TEST_F(HostileFiles, ADamagedFileIsToldOnceWhenNoDiscardsTheEditsAtExit) {
  std::string bytes = hk::DefinitionsToBytes(FiveEntries());
  bytes[ThirdRecord(bytes)] = '\x7F';
  cl::WriteFileAtomic(Definitions(), bytes);

  ASSERT_NO_FATAL_FAILURE(Start());
  EXPECT_NE(ShortReadReport().find(L"only the first 2 entries could be read"), std::wstring::npos);
  ASSERT_NO_FATAL_FAILURE(ShowEditor());
  Click(L"&New");
  ASSERT_TRUE(Eventually([&] { return Rows() == 3; }));

  PostMessageW(main_, kExit, kExit, 0);
  HWND question = Box();
  ASSERT_TRUE(question);
  EXPECT_EQ(BoxText(question), L"Hotkey definitions have changed. Save changes?");
  Answer(question, IDNO);
  const std::optional<DWORD> code = p_.WaitExit(kWait);
  if (!code) ADD_FAILURE() << "still running, showing: " << cl::FromWide(BoxText(Box()));
  EXPECT_EQ(code, std::optional<DWORD>(0));
  EXPECT_EQ(cl::ReadFileBytes(Definitions()), bytes);
  EXPECT_FALSE(cl::FileExists(Backup()));
}

// A save killed midway left its temporary files (of the file and of its backup): the next start removes
// them and reads the file as it is.
TEST_F(HostileFiles, TheLeftoversOfAKilledSaveGoAtTheNextStart) {
  const std::string bytes = hk::DefinitionsToBytes(FiveEntries());
  cl::WriteFileAtomic(Definitions(), bytes);
  const std::string leftovers[] = {Definitions() + ".tmp~", Backup() + ".tmp~"};
  for (const std::string& f : leftovers) cl::WriteFileAtomic(f, std::string(4 << 20, '\x5A'));

  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(ShowEditor());
  EXPECT_EQ(Rows(), 5);
  for (const std::string& f : leftovers) EXPECT_FALSE(cl::FileExists(f)) << f;
  EXPECT_EQ(cl::ReadFileBytes(Definitions()), bytes);
  EXPECT_FALSE(cl::FileExists(Backup()));
}

// A 64 KB file that reads no row: told so at start; the blank entry the editor offers, saved by "Yes" on
// the way out, replaces the file only once the 64 KB are kept beside it.
TEST_F(HostileFiles, AFileThatReadsNoRowIsKeptWhenItIsReplaced) {
  std::string bytes = hk::DefinitionsToBytes(hk::Definitions{});
  bytes.pop_back();  // no end of list: noise follows
  for (size_t i = 0; bytes.size() < 64 * 1024; ++i) bytes += static_cast<char>(0x20 + (i * 7919) % 0xDF);
  cl::WriteFileAtomic(Definitions(), bytes);

  ASSERT_NO_FATAL_FAILURE(Start());
  EXPECT_NE(ShortReadReport().find(L"only the first 0 entries could be read"), std::wstring::npos);
  ASSERT_NO_FATAL_FAILURE(ShowEditor());
  EXPECT_EQ(Rows(), 1);
  EXPECT_TRUE(Enabled(L"&Apply"));

  PostMessageW(main_, kExit, kExit, 0);
  HWND question = Box();
  ASSERT_TRUE(question);
  EXPECT_EQ(BoxText(question), L"Hotkey definitions have changed. Save changes?");
  Answer(question, IDYES);
  ASSERT_EQ(p_.WaitExit(kWait), std::optional<DWORD>(0));
  EXPECT_EQ(cl::ReadFileBytes(Backup()), bytes);
  const hk::LoadedDefinitions saved = hk::LoadDefinitions(Definitions());
  EXPECT_TRUE(saved.complete);
  EXPECT_EQ(saved.entries.size(), 1u);
}

// A read-only definitions file is not replaced by a save: the user is told, the edits stay unsaved, and
// the file keeps its contents and its attribute.
TEST_F(HostileFiles, AReadOnlyFileRefusesTheSaveAndTheEditsStay) {
  const std::string bytes = hk::DefinitionsToBytes(FiveEntries());
  cl::WriteFileAtomic(Definitions(), bytes);
  ASSERT_TRUE(SetFileAttributesW(cl::ToWide(Definitions()).c_str(), FILE_ATTRIBUTE_READONLY));

  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(ShowEditor());
  EXPECT_EQ(Rows(), 5);
  Click(L"&New");
  ASSERT_TRUE(Eventually([&] { return Rows() == 6; }));
  Click(L"&Apply");
  HWND box = Box();
  ASSERT_TRUE(box);
  EXPECT_EQ(WindowText(box), L"Hotkey Editor");
  const std::wstring text = BoxText(box);
  EXPECT_EQ(text.rfind(L"Unable to write to " + cl::ToWide(cl::LowerCase(Definitions())), 0), 0u) << cl::FromWide(text);
  EXPECT_NE(text.find(L"read-only"), std::wstring::npos) << cl::FromWide(text);
  Answer(box, IDOK);
  EXPECT_TRUE(Enabled(L"&Apply"));
  EXPECT_EQ(Rows(), 6);
  EXPECT_EQ(cl::ReadFileBytes(Definitions()), bytes);
  EXPECT_TRUE(GetFileAttributesW(cl::ToWide(Definitions()).c_str()) & FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(cl::FileExists(Backup()));
}

// Column widths in the settings file that are too wide or too narrow (negative, -2^31, 0): a column stays
// within what a window can show, one too narrow to show anything is at its design width, the rows are on
// screen, and the widths written back at the end are the ones shown.
TEST_F(HostileFiles, ColumnWidthsFromTheSettingsStayUsable) {
  cl::WriteFileAtomic(Definitions(), hk::DefinitionsToBytes(FiveEntries()));
  {
    cl::TIniFile ini(Settings());
    ini.WriteInteger("EWColumns", "Description", INT_MAX);
    ini.WriteInteger("EWColumns", "ID", INT_MIN);
    ini.WriteInteger("EWColumns", "Action", -1);
    ini.WriteInteger("EWColumns", "Data", -5000);
    ini.WriteInteger("EWColumns", "Hotkey", 0);
    ini.WriteInteger("EWColumns", "Active", 60);
  }
  const int widest = GetSystemMetrics(SM_CXMAXTRACK);
  ASSERT_GT(widest, 0);
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(ShowEditor());
  const int shown[] = {widest, 45, 95, 130, 75, 60};
  for (int c = 0; c < 6; ++c) EXPECT_EQ(ColumnWidth(c), shown[c]) << "column " << c;
  ASSERT_EQ(Rows(), 5);
  EXPECT_GT(SendMessageW(list_, LVM_GETCOUNTPERPAGE, 0, 0), 0);
  EXPECT_EQ(SendMessageW(list_, LVM_GETTOPINDEX, 0, 0), 0);

  PostMessageW(main_, kExit, kExit, 0);
  ASSERT_EQ(p_.WaitExit(kWait), std::optional<DWORD>(0));
  const cl::TIniFile ini(Settings());
  const char* const keys[] = {"Description", "ID", "Action", "Data", "Hotkey", "Active"};
  for (int c = 0; c < 6; ++c) EXPECT_EQ(ini.ReadInteger("EWColumns", keys[c], -7), shown[c]) << keys[c];
}

// The hotkey list window reads its widths through the same rule.
TEST(ColumnWidthFromSettings, KeepsAColumnWithinWhatAWindowCanShow) {
  const int widest = GetSystemMetrics(SM_CXMAXTRACK);
  EXPECT_EQ(hk::ColumnWidthFromSettings(INT_MAX, 145), widest);
  EXPECT_EQ(hk::ColumnWidthFromSettings(widest, 145), widest);
  EXPECT_EQ(hk::ColumnWidthFromSettings(146, 145), 146);
  EXPECT_EQ(hk::ColumnWidthFromSettings(hk::kMinColumnWidth, 145), hk::kMinColumnWidth);
  for (int tooNarrow : {INT_MIN, -5000, -2, -1, 0, hk::kMinColumnWidth - 1})
    EXPECT_EQ(hk::ColumnWidthFromSettings(tooNarrow, 145), 145) << tooNarrow;
}

}  // namespace
