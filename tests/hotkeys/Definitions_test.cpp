#include <gtest/gtest.h>

#include "TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "Definitions.h"
#include "Registration.h"
#include "FileUtil.h"
#include "SysUtils.h"
#include "Unicode.h"

using namespace hk;
namespace fs = std::filesystem;

using testsupport::TempDir;

namespace {

// Builds a file image value by value from the encoding table, independent of the writer. The tag of
// each value is chosen by the test, not derived. mark() records where a record ends.
struct Hkd {
  std::string b;
  std::vector<size_t> recordEnds;

  Hkd& raw(std::string_view s) { b += s; return *this; }
  Hkd& byte(int v) { b += static_cast<char>(v); return *this; }
  Hkd& le32(std::int32_t v) {
    for (int i = 0; i < 4; ++i) byte(static_cast<int>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF));
    return *this;
  }
  Hkd& begin() { return byte(0x01); }
  Hkd& end() { return byte(0x00); }
  Hkd& i8(int v) { return byte(0x02).byte(v & 0xFF); }
  Hkd& i16(int v) { return byte(0x03).byte(v & 0xFF).byte((v >> 8) & 0xFF); }
  Hkd& i32(std::int32_t v) { return byte(0x04).le32(v); }
  Hkd& t() { return byte(0x09); }
  Hkd& f() { return byte(0x08); }
  Hkd& s06(std::string_view s) { return byte(0x06).byte(static_cast<int>(s.size())).raw(s); }
  Hkd& s0C(std::string_view s) { return byte(0x0C).le32(static_cast<std::int32_t>(s.size())).raw(s); }
  Hkd& s14(std::string_view utf8) { return byte(0x14).le32(static_cast<std::int32_t>(utf8.size())).raw(utf8); }
  Hkd& s12(std::u16string_view w) {
    byte(0x12).le32(static_cast<std::int32_t>(w.size()));
    for (char16_t c : w) byte(c & 0xFF).byte(c >> 8);
    return *this;
  }
  // Ctrl, Alt, Shift, Win and the key position as a 1-byte integer.
  Hkd& keys(bool c, bool a, bool s, bool w, int pos) {
    for (bool x : {c, a, s, w}) byte(x ? 0x09 : 0x08);
    return i8(pos);
  }
  Hkd& mark() { recordEnds.push_back(b.size()); return *this; }
};

std::string DataDir() { return testsupport::DataDir("hkd"); }

std::string Sample(const char* name) { return cl::ReadFileBytes(DataDir() + name); }

HotkeyEntry Row(std::string desc, std::string id, std::string action, int number, std::string data, std::string hotkey,
                bool active, std::string show = "Normal", std::string startIn = "") {
  HotkeyEntry e;
  e.description = std::move(desc);
  e.id = std::move(id);
  e.action = std::move(action);
  e.actionNumber = number;
  e.data = std::move(data);
  e.hotkey = std::move(hotkey);
  e.active = active ? "True" : "False";
  e.show = std::move(show);
  e.startIn = std::move(startIn);
  return e;
}


const std::string kDoku = "Dokumente \xE2\x80\x93 \xC3\x96" "ffnen";   // en dash, O umlaut
const std::string kDokuPath = "C:\\Users\\J\xC3\xBCrgen\\Dokumente";

// The rows of tests/data/hkd/v150_sample.hkd.
std::vector<HotkeyEntry> SampleRows() {
  return {
      Row("Notepad", "NOTE", "Open Program or File", 0, "notepad.exe %TEMP%\\a.txt", "Ctrl+Alt+N", true, "Maximized", "C:\\Temp"),
      Row("Type greeting", "TYPE", "Send Keystrokes", 1, "Hello{ENTER}", "Shift+F5", true),
      Row("Morning", "MORN", "Execute Multiple Commands", 2, "NOTE;D=500;TYPE", "Win+M", false),
      Row("Restart", "REST", "Exit Windows", 3, "Restart Windows", "Ctrl+Alt+Delete", true),
      Row("Clipboard 3", "CLI3", "Switch to Virtual Clipboard", 10, "3", "Win+3", true),
      Row("Clipboard 7", "CLI7", "Switch to Virtual Clipboard", 10, "7", "Win+7", true),
      Row("Clipboard 300", "C300", "Switch to Virtual Clipboard", 10, "300", "Ctrl+Win+3", true),
      Row("Clipboard far", "CFAR", "Switch to Virtual Clipboard", 10, "70001", "Ctrl+Win+4", true),
      Row("Louder", "LOUD", "Increase Volume", 6, "", "Win+Num +", true),
      Row(kDoku, "DOKU", "Open a Folder", 14, kDokuPath, "Ctrl+D", true),
      Row("Load Previous HKD File", "PHKD", "", 15, "c:\\hk\\old.hkd", "Win+L", true),
      Row(std::string(300, 'x'), "XXXX", "Minimize All Windows", 8, "", "Alt+Period(.)", false),
      Row("Empty program", "EMPT", "Open Program or File", 0, "", "Escape", false),
  };
}

// A file of rows of every kind, with the end offset of every record.
Hkd MixedFile() {
  Hkd h;
  h.s06("Hotkey definitions, version 1.5").i8(-1).t().begin();
  h.s06("Run").s06("RUN0").i8(0).s06("a b.exe").keys(true, false, false, false, 28).t().s06("Normal").s06("").mark();
  h.s06("Keys").s06("KEYS").i8(1).s0C(std::string(256, 'k')).keys(false, true, false, false, 29).f().mark();
  h.s06("Off").s06("OFF0").i8(3).i8(0).keys(true, true, true, true, 0).t().mark();
  h.s06("Clip").s06("CLIP").i8(10).i8(0).keys(false, false, false, true, 18).t().mark();
  h.s14(kDoku).s06("DOKU").i8(14).s14(kDokuPath).keys(false, false, false, false, 106).t().mark();
  h.s06("Prev").s06("PHKD").i8(15).s06("x.hkd").keys(false, false, false, true, 39).t().mark();
  h.s06("Saver").s06("SAVE").i8(11).keys(false, false, true, false, 93).f().mark();
  h.end();
  return h;
}

}  // namespace

// ------------------------------------------------------------------------------------------------ writing

TEST(DefinitionsWriter, BytesFollowTheFormat) {
  Definitions d;
  d.sortColumn = 4;
  d.sortAscending = false;
  d.entries = {
      Row("Run", "RUN0", "Open Program or File", 0, "prog.exe -x", "Ctrl+Alt+R", true, "Minimized", "C:\\"),
      Row("Bye", "BYE0", "exit windows", 3, "Shutdown-Timer", "Win+F24", false),  // names match in any case
      Row("Clip", "CLIP", "Switch to Virtual Clipboard", 10, "12", "Shift+1", true),
      Row("Back", "BACK", "", 15, "d:\\old.hkd", "Win+L", true),
      Row(kDoku, std::string(300, 'i'), "Open a Folder", 14, kDokuPath, "Ctrl+Bogus", true),
      Row("Volume", "VOL0", "Decrease Volume", 7, "ignored", "", true),
      Row("Big key", "BIGK", "Launch Screen Saver", 11, "", "Alt+Quotes(')", true),
  };
  Hkd h;
  h.s06("Hotkey definitions, version 1.5").i8(4).f().begin();
  h.s06("Run").s06("RUN0").i8(0).s06("prog.exe -x").keys(true, true, false, false, 45).t().s06("Minimized").s06("C:\\");
  h.s06("Bye").s06("BYE0").i8(3).i8(3).keys(false, false, false, true, 92).f();
  h.s06("Clip").s06("CLIP").i8(10).i8(11).keys(false, false, true, false, 19).t();
  h.s06("Back").s06("BACK").i8(15).s06("d:\\old.hkd").keys(false, false, false, true, 39).t();
  h.s14(kDoku).s0C(std::string(300, 'i')).i8(14).s14(kDokuPath).keys(true, false, false, false, -1).t();
  h.s06("Volume").s06("VOL0").i8(7).keys(false, false, false, false, 65).t();
  h.s06("Big key").s06("BIGK").i8(11).keys(false, true, false, false, 106).t();
  h.end();
  EXPECT_EQ(DefinitionsToBytes(d), h.b);
}

TEST(DefinitionsWriter, IntegersTakeTheSmallestTagAndUnknownNamesBecomeMinusOne) {
  Definitions d;
  d.sortColumn = 300;  // written as it is: 2 bytes
  d.entries = {
      Row("A", "A000", "Exit Windows", 3, "Hibernate", "Win+A", true),  // no such parameter
      Row("B", "B000", "Switch to Virtual Clipboard", 10, "03", "Win+B", true),
      Row("C", "C000", "Switch to Virtual Clipboard", 10, "0", "Win+C", true),
      Row("D", "D000", "Switch to Virtual Clipboard", 10, "2147483648", "Win+D", true),
      Row("E", "E000", "Switch to Virtual Clipboard", 10, "2147483649", "Win+E", true),
      Row("F", "F000", "", 70000, "", "Win+F", true),  // a number without name is kept as it is
  };
  Hkd h;
  h.s06("Hotkey definitions, version 1.5").i16(300).t().begin();
  h.s06("A").s06("A000").i8(3).i8(-1).keys(false, false, false, true, 28).t();
  h.s06("B").s06("B000").i8(10).i8(-1).keys(false, false, false, true, 29).t();
  h.s06("C").s06("C000").i8(10).i8(-1).keys(false, false, false, true, 30).t();
  h.s06("D").s06("D000").i8(10).i32(2147483647).keys(false, false, false, true, 31).t();
  h.s06("E").s06("E000").i8(10).i8(-1).keys(false, false, false, true, 32).t();
  h.s06("F").s06("F000").i32(70000).keys(false, false, false, true, 33).t();
  h.end();
  EXPECT_EQ(DefinitionsToBytes(d), h.b);
}

TEST(DefinitionsWriter, SampleFileReadsAndWritesBackIdentically) {
  const std::string bytes = Sample("v150_sample.hkd");
  const LoadedDefinitions l = ReadDefinitions(bytes);
  ASSERT_TRUE(l.complete);
  EXPECT_EQ(l.version, 150);
  EXPECT_EQ(l.sortColumn, 2);
  EXPECT_EQ(l.sortAscending, false);
  const std::vector<HotkeyEntry> expected = SampleRows();
  ASSERT_EQ(l.entries.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(l.entries[i], expected[i]) << "row " << i;

  // Every stored number survives: the action without name (15) and clipboards beyond those offered.
  Definitions d{*l.sortColumn, *l.sortAscending, l.entries};
  EXPECT_EQ(DefinitionsToBytes(d), bytes);
}

TEST(DefinitionsWriter, CreateDefinitionsFileStoresTheFullPreviousPath) {
  TempDir dir;
  const std::string file = dir.File("new.hkd");
  CreateDefinitionsFile(file, "c:\\program files\\calderine\\hotkeys.hkd");
  Hkd h;
  h.s06("Hotkey definitions, version 1.5").i8(-1).t().begin();
  h.s06("Load Previous HKD File").s06("PHKD").i8(15).s06("c:\\program files\\calderine\\hotkeys.hkd");
  h.keys(false, false, false, true, 39).t().end();
  EXPECT_EQ(cl::ReadFileBytes(file), h.b);

  const LoadedDefinitions l = LoadDefinitions(file);
  ASSERT_EQ(l.entries.size(), 1u);
  EXPECT_EQ(l.entries[0], Row("Load Previous HKD File", "PHKD", "", 15, "c:\\program files\\calderine\\hotkeys.hkd", "Win+L", true));
  // A path with a drive is used as it is when the entry opens it.
  EXPECT_EQ(ExpandDefinitionsPath(l.entries[0].data, "C:\\Elsewhere\\", "C:\\Current"), l.entries[0].data);
}

TEST(DefinitionsWriter, SaveReplacesTheFileAndLeavesNoTemporaryFile) {
  TempDir dir;
  const std::string file = dir.File("defs.hkd");
  { std::ofstream(file, std::ios::binary) << "old contents"; }
  Definitions d;
  d.entries = SampleRows();
  SaveDefinitions(file, d);
  EXPECT_EQ(cl::ReadFileBytes(file), DefinitionsToBytes(d));
  size_t files = 0;
  for (const auto& entry : fs::directory_iterator(dir.path)) files += entry.is_regular_file() ? 1 : 0;
  EXPECT_EQ(files, 1u);
}

TEST(DefinitionsWriter, FailedSaveKeepsTheOldFileAndReportsTheError) {
  TempDir dir;
  const std::string file = dir.File("defs.hkd");
  const std::string old = Sample("v120_sample.hkd");
  { std::ofstream(file, std::ios::binary) << old; }
  Definitions d;
  d.entries = SampleRows();

  // The new contents cannot be written beside the file (its temporary name is taken by a folder).
  fs::create_directory(file + ".tmp~");
  EXPECT_THROW(SaveDefinitions(file, d), cl::EStreamError);
  EXPECT_EQ(cl::ReadFileBytes(file), old);

  // A folder that does not exist, and a name that is a folder.
  EXPECT_THROW(SaveDefinitions(dir.File("missing") + "/defs.hkd", d), cl::EFCreateError);
  const std::string folder = dir.File("folder.hkd");
  fs::create_directory(folder);
  EXPECT_THROW(SaveDefinitions(folder, d), cl::EStreamError);
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_FALSE(fs::exists(folder + ".tmp~"));
  EXPECT_THROW(CreateDefinitionsFile(folder, file), cl::EStreamError);
  EXPECT_THROW(SaveDefinitions("", d), cl::EFCreateError);
}

// What a save killed midway left beside the file (its temporary file, and its backup's) goes with the next
// save, also with one that is refused; a folder of that name stays.
TEST(DefinitionsWriter, TheNextSaveRemovesTheLeftoversOfAKilledOne) {
  TempDir dir;
  const std::string file = dir.File("defs.hkd");
  const std::string leftovers[] = {file + ".tmp~", DefinitionsBackupFile(file) + ".tmp~"};
  const auto leave = [&] {
    for (const std::string& f : leftovers) std::ofstream(f, std::ios::binary) << std::string(1 << 20, '\x5A');
  };
  Definitions d;
  d.entries = SampleRows();
  leave();
  SaveDefinitions(file, d);
  for (const std::string& f : leftovers) EXPECT_FALSE(fs::exists(f)) << f;
  EXPECT_TRUE(LoadDefinitions(file).complete);

  leave();
  const fs::perms writable = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  fs::permissions(file, writable, fs::perm_options::remove);
  EXPECT_THROW(SaveDefinitions(file, d), cl::EFCreateError);
  for (const std::string& f : leftovers) EXPECT_FALSE(fs::exists(f)) << f;
  fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);

  RemoveLeftoversOfSave(file);  // nothing left: nothing happens
  fs::create_directory(leftovers[1]);
  RemoveLeftoversOfSave(file);
  EXPECT_TRUE(fs::is_directory(leftovers[1]));
}

// A file marked read-only stays as it is, on every system (renaming over it would succeed on some).
TEST(DefinitionsWriter, ReadOnlyFileIsNotReplacedAndGetsNoBackup) {
  TempDir dir;
  const std::string file = dir.File("defs.hkd");
  const std::string old = Sample("v120_sample.hkd");
  { std::ofstream(file, std::ios::binary) << old; }
  const fs::perms writable = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  fs::permissions(file, writable, fs::perm_options::remove);
  Definitions d;
  d.entries = SampleRows();
  try {
    SaveDefinitions(file, d, {}, OldDefinitionsFile::KeepBackup);
    ADD_FAILURE() << "no exception";
  } catch (const cl::EFCreateError& e) {
    EXPECT_EQ(e.Message(), "Cannot create file \"" + file + "\". The file is read-only.");
  }
  EXPECT_THROW(SaveDefinitions(file, d), cl::EFCreateError);
  EXPECT_EQ(cl::ReadFileBytes(file), old);
  EXPECT_TRUE(cl::IsReadOnlyFile(file));
  EXPECT_FALSE(fs::exists(DefinitionsBackupFile(file)));
  EXPECT_FALSE(fs::exists(file + ".tmp~"));
  fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
}

// A file that was not read to its end: the save keeps it, byte for byte, as "<name>.bak" (replacing an
// older copy) before the new contents replace it.
TEST(DefinitionsWriter, KeepBackupCopiesTheOldFileFirst) {
  TempDir dir;
  const std::string file = dir.File("Hotkeys.hkd");
  EXPECT_EQ(DefinitionsBackupFile(file), dir.File("Hotkeys.hkd.bak"));
  Hkd damaged = MixedFile();
  damaged.b[damaged.recordEnds[1]] = '\x7F';  // the third record's description has a wrong tag
  { std::ofstream(file, std::ios::binary) << damaged.b; }
  { std::ofstream(DefinitionsBackupFile(file), std::ios::binary) << "an older copy"; }
  const LoadedDefinitions read = LoadDefinitions(file);
  ASSERT_FALSE(read.complete);
  ASSERT_EQ(read.entries.size(), 2u);

  Definitions d;
  d.entries = read.entries;
  SaveDefinitions(file, d, {}, OldDefinitionsFile::KeepBackup);
  EXPECT_EQ(cl::ReadFileBytes(DefinitionsBackupFile(file)), damaged.b);
  EXPECT_EQ(cl::ReadFileBytes(file), DefinitionsToBytes(d));

  // Replace leaves the backup alone; KeepBackup of a file that is not there makes none.
  SaveDefinitions(file, Definitions{});
  EXPECT_EQ(cl::ReadFileBytes(DefinitionsBackupFile(file)), damaged.b);
  const std::string fresh = dir.File("fresh.hkd");
  SaveDefinitions(fresh, d, {}, OldDefinitionsFile::KeepBackup);
  EXPECT_FALSE(fs::exists(DefinitionsBackupFile(fresh)));
  EXPECT_EQ(cl::ReadFileBytes(fresh), DefinitionsToBytes(d));
}

// ------------------------------------------------------------------------------------------------ reading

TEST(DefinitionsReader, Version10ShiftsActionsAndMakesIds) {
  const LoadedDefinitions l = LoadDefinitions(DataDir() + "v100_sample.hkd");
  ASSERT_TRUE(l.complete);
  EXPECT_EQ(l.version, 100);
  EXPECT_EQ(l.sortColumn, -1);
  EXPECT_EQ(l.sortAscending, true);
  const std::vector<HotkeyEntry> expected = {
      Row("Internet Explorer", "INTE", "Open Program or File", 0, "iexplore.exe", "Win+I", true),
      Row("Keys", "KEYS", "Send Keystrokes", 1, "abc~", "Ctrl+K", true),
      Row("Internet Radio", "INT1", "Exit Windows", 3, "Shutdown", "Ctrl+Alt+P", true),
      Row("Internet", "INT2", "Edit Calderine", 4, "", "Ctrl+Alt+E", false),
      Row("a-b", "AB00", "Switch to Virtual Clipboard", 10, "2", "Win+1", true),
      Row("", "0000", "Open a Folder", 14, "C:\\Windows", "Win+D", true),
  };
  EXPECT_EQ(l.entries, expected);

  const DefinitionRecords r = LoadDefinitionRecords(DataDir() + "v100_sample.hkd");
  ASSERT_TRUE(r.complete);
  ASSERT_EQ(r.records.size(), 6u);
  EXPECT_EQ(CommandText(CommandFromRecord(r.records[0])), "0=iexplore.exe;Normal;");
  EXPECT_EQ(r.records[0].id, "");
  EXPECT_EQ(CommandText(CommandFromRecord(r.records[2])), "3=0");
  EXPECT_EQ(CommandText(CommandFromRecord(r.records[3])), "4=");
  EXPECT_EQ(CommandText(CommandFromRecord(r.records[4])), "10=1");
}

TEST(DefinitionsReader, OlderVersionsFillWhatTheyLack) {
  const LoadedDefinitions v105 = LoadDefinitions(DataDir() + "v105_sample.hkd");
  ASSERT_TRUE(v105.complete);
  EXPECT_EQ(v105.version, 105);
  EXPECT_EQ(v105.entries, (std::vector<HotkeyEntry>{
                              Row("Calc", "CALC", "Open Program or File", 0, "calc.exe", "Ctrl+C", true),
                              Row("Quiet", "QUIE", "Decrease Volume", 7, "", "Win+Num -", true)}));

  const LoadedDefinitions v120 = LoadDefinitions(DataDir() + "v120_sample.hkd");
  ASSERT_TRUE(v120.complete);
  EXPECT_EQ(v120.version, 120);
  EXPECT_EQ(v120.sortColumn, -1);
  EXPECT_EQ(v120.entries, (std::vector<HotkeyEntry>{
                              Row("Paint", "PAIN", "Open Program or File", 0, "mspaint.exe", "Ctrl+P", true, "Minimized", ""),
                              Row("Exit", "EXIT", "Exit Windows", 3, "Shutdown-Timer", "Ctrl+Alt+Shift+Escape", true)}));

  // Version 1.3 holds UTF-16 strings here too.
  const LoadedDefinitions v130 = LoadDefinitions(DataDir() + "v130_sample.hkd");
  ASSERT_TRUE(v130.complete);
  EXPECT_EQ(v130.version, 130);
  EXPECT_EQ(v130.entries, (std::vector<HotkeyEntry>{
                              Row("Editor \xC3\xA9", "EDIT", "Open Program or File", 0, "edit.exe", "Alt+E", true, "Normal", "D:\\Work"),
                              Row("Eject", "EJEC", "Eject CD-ROM", 12, "", "Win+E", true)}));

  const DefinitionRecords r = LoadDefinitionRecords(DataDir() + "v120_sample.hkd");
  ASSERT_EQ(r.records.size(), 2u);
  EXPECT_EQ(CommandText(CommandFromRecord(r.records[0])), "0=mspaint.exe;Minimized;");
  EXPECT_EQ(CommandText(CommandFromRecord(r.records[1])), "3=3");
}

TEST(DefinitionsReader, RegistrationRecordsAndCommandTexts) {
  const DefinitionRecords r = ReadDefinitionRecords(Sample("v150_sample.hkd"));
  ASSERT_TRUE(r.complete);
  ASSERT_EQ(r.records.size(), 13u);
  const char* commands[] = {"0=notepad.exe %TEMP%\\a.txt;Maximized;C:\\Temp", "1=Hello{ENTER}", "2=NOTE;D=500;TYPE",
                            "3=2", "10=2", "10=6", "10=299", "10=70000", "6=", nullptr, "15=c:\\hk\\old.hkd",
                            "8=", "0=;Normal;"};
  for (size_t i = 0; i < r.records.size(); ++i)
    if (commands[i]) {
      EXPECT_EQ(CommandText(CommandFromRecord(r.records[i])), commands[i]) << "record " << i;
    }
  EXPECT_EQ(CommandText(CommandFromRecord(r.records[9])), "14=" + kDokuPath);
  EXPECT_EQ(r.records[0].hotkey, "Ctrl+Alt+N");
  EXPECT_EQ(r.records[9].description, kDoku);
  EXPECT_EQ(r.records[3].id, "REST");

  const bool registrable[] = {true, true, false, true, true, true, true, true, true, true, true, false, false};
  for (size_t i = 0; i < r.records.size(); ++i) EXPECT_EQ(IsRegistrable(r.records[i]), registrable[i]) << "record " << i;

  DefinitionRecord rec;
  rec.active = true;
  rec.action = haOpenProgram;
  EXPECT_FALSE(IsRegistrable(rec));  // an empty command line runs nothing
  rec.action = haSendKeystrokes;
  EXPECT_FALSE(IsRegistrable(rec));
  rec.action = -3;
  EXPECT_FALSE(IsRegistrable(rec));
  rec.action = haMinimizeAll;
  EXPECT_TRUE(IsRegistrable(rec));
  rec.action = 16;
  EXPECT_FALSE(IsRegistrable(rec));
  rec.action = 17;
  EXPECT_TRUE(IsRegistrable(rec));
}

TEST(DefinitionsReader, NumbersWithoutNamesReadAsEmptyTextAndDoNotStopReading) {
  Hkd h;
  h.s06("Hotkey definitions, version 1.5").i8(6).t().begin();  // sort column 6 is none: the table keeps its own
  h.s06("A").s06("A000").i8(3).i8(4).keys(false, false, false, true, 28).t();
  h.s06("B").s06("B000").i8(10).i8(-1).keys(false, false, false, true, 29).t();
  h.s06("C").s06("C000").i8(22).keys(false, false, false, true, 107).t();
  h.s06("D").s06("D000").i8(-5).keys(false, false, false, true, 30).byte(0x05);  // any byte but 09 is False
  h.end();
  const LoadedDefinitions l = ReadDefinitions(h.b);
  ASSERT_TRUE(l.complete);
  EXPECT_FALSE(l.sortColumn.has_value());
  EXPECT_EQ(l.sortAscending, true);
  EXPECT_EQ(l.entries, (std::vector<HotkeyEntry>{Row("A", "A000", "Exit Windows", 3, "", "Win+A", true),
                                                 Row("B", "B000", "Switch to Virtual Clipboard", 10, "", "Win+B", true),
                                                 Row("C", "C000", "", 22, "", "Win+", true),
                                                 Row("D", "D000", "", -5, "", "Win+C", false)}));
}

TEST(DefinitionsReader, AnsiStringsAreConvertedAndAnEmptyListIsComplete) {
  Hkd h;
  h.s06("Hotkey definitions, version 1.5").i8(0).t().begin();
  h.s06("Caf\xE9").s06("CAFE").i8(8).keys(false, false, false, true, 28).t();
  h.end();
  const LoadedDefinitions l = ReadDefinitions(h.b);
  ASSERT_EQ(l.entries.size(), 1u);
  EXPECT_EQ(l.entries[0].description, cl::CodePageToUtf8("Caf\xE9", cl::AnsiCodePage()));

  Hkd empty;
  empty.s06("Hotkey definitions, version 1.5").i8(-1).t().begin().end();
  const LoadedDefinitions e = ReadDefinitions(empty.b);
  EXPECT_TRUE(e.complete);
  EXPECT_TRUE(e.entries.empty());

  const LoadedDefinitions missing = LoadDefinitions(DataDir() + "no-such-file.hkd");
  EXPECT_FALSE(missing.complete);
  EXPECT_EQ(missing.version, 0);
  EXPECT_FALSE(missing.sortColumn.has_value());
  EXPECT_TRUE(missing.entries.empty());
  EXPECT_FALSE(LoadDefinitionRecords(DataDir() + "no-such-file.hkd").complete);
}

TEST(DefinitionsReader, FileCutAtEveryOffsetKeepsExactlyTheCompleteRows) {
  const Hkd h = MixedFile();
  const LoadedDefinitions full = ReadDefinitions(h.b);
  const DefinitionRecords fullRecords = ReadDefinitionRecords(h.b);
  ASSERT_TRUE(full.complete);
  ASSERT_EQ(full.entries.size(), h.recordEnds.size());
  ASSERT_EQ(fullRecords.records.size(), h.recordEnds.size());
  for (size_t cut = 0; cut <= h.b.size(); ++cut) {
    SCOPED_TRACE(cut);
    size_t rows = 0;
    while (rows < h.recordEnds.size() && h.recordEnds[rows] <= cut) ++rows;
    const std::string_view part(h.b.data(), cut);
    const LoadedDefinitions l = ReadDefinitions(part);
    ASSERT_EQ(l.entries.size(), rows);
    for (size_t i = 0; i < rows; ++i) EXPECT_EQ(l.entries[i], full.entries[i]);
    EXPECT_EQ(l.complete, cut == h.b.size());
    const DefinitionRecords r = ReadDefinitionRecords(part);
    ASSERT_EQ(r.records.size(), rows);
    for (size_t i = 0; i < rows; ++i) EXPECT_EQ(r.records[i], fullRecords.records[i]);
    EXPECT_EQ(r.complete, cut == h.b.size());
  }
}

TEST(DefinitionsReader, Version10FileCutAtEveryOffset) {
  const std::string bytes = Sample("v100_sample.hkd");
  const LoadedDefinitions full = ReadDefinitions(bytes);
  ASSERT_TRUE(full.complete);
  size_t previous = 0;
  for (size_t cut = 0; cut <= bytes.size(); ++cut) {
    const LoadedDefinitions l = ReadDefinitions(std::string_view(bytes.data(), cut));
    ASSERT_GE(l.entries.size(), previous);
    ASSERT_LE(l.entries.size(), full.entries.size());
    for (size_t i = 0; i < l.entries.size(); ++i) ASSERT_EQ(l.entries[i], full.entries[i]);
    previous = l.entries.size();
  }
  EXPECT_EQ(previous, full.entries.size());
}

TEST(DefinitionsReader, HostileLengthsAndWrongTagsStopCleanly) {
  auto prefix = [] {
    Hkd h;
    h.s06("Hotkey definitions, version 1.5").i8(-1).t().begin();
    h.s06("Good").s06("GOOD").i8(6).keys(false, false, false, true, 28).t();
    return h;
  };
  std::vector<std::pair<const char*, Hkd>> cases;
  cases.emplace_back("0C length beyond the data", prefix().byte(0x0C).le32(0x7FFFFFFF).raw("abc"));
  cases.emplace_back("0C length one past the data", prefix().byte(0x0C).le32(4).raw("abc"));
  cases.emplace_back("0C negative length", prefix().byte(0x0C).le32(-1).raw("abc"));
  cases.emplace_back("12 length beyond the data", prefix().byte(0x12).le32(0x40000000).raw("a\0b\0"));
  cases.emplace_back("12 odd byte count", prefix().byte(0x12).le32(2).raw(std::string_view("a\0b", 3)));
  cases.emplace_back("14 length beyond the data", prefix().byte(0x14).le32(0x7FFFFFFF).raw("xyz"));
  cases.emplace_back("06 length beyond the data", prefix().byte(0x06).byte(200).raw("short"));
  cases.emplace_back("length cut", prefix().byte(0x14).raw("\x01\x00"));
  cases.emplace_back("integer where a string belongs", prefix().i8(5));
  cases.emplace_back("string where an integer belongs", prefix().s06("Bad").s06("BAD0").s06("7"));
  cases.emplace_back("unknown tag", prefix().byte(0x07));
  cases.emplace_back("Boolean tag as string", prefix().t());
  cases.emplace_back("nested list", prefix().begin().end().end());
  cases.emplace_back("cut integer", prefix().s06("X").s06("X000").byte(0x04).raw("\x01\x02"));
  for (auto& [what, h] : cases) {
    SCOPED_TRACE(what);
    h.s06("Later").s06("LATE").i8(6).keys(false, false, false, true, 29).t().end();
    const LoadedDefinitions l = ReadDefinitions(h.b);
    EXPECT_FALSE(l.complete);
    ASSERT_EQ(l.entries.size(), 1u);
    EXPECT_EQ(l.entries[0].description, "Good");
    const DefinitionRecords r = ReadDefinitionRecords(h.b);
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(r.records.size(), 1u);
  }

  // Damage before the records.
  EXPECT_FALSE(ReadDefinitions(Hkd().i8(1).b).complete);                                   // header not a string
  EXPECT_EQ(ReadDefinitions(Hkd().s06("Hotkey definitions, version 1.5").s06("x").b).version, 150);
  EXPECT_FALSE(ReadDefinitions(Hkd().s06("Hotkey definitions, version 1.3").end().b).complete);  // no list
  EXPECT_FALSE(ReadDefinitions(Hkd().s06("Some other file").i8(0).t().begin().b).complete);   // no end of list
  EXPECT_TRUE(ReadDefinitions(Hkd().s06("Some other file").i8(0).t().begin().end().b).complete);
  EXPECT_FALSE(ReadDefinitions("").complete);
}

// ---------------------------------------------------------------------------------------------------- IDs

TEST(HotkeyIds, IdFromTextAndUniqueHotkeyId) {
  EXPECT_EQ(IdFromText("Internet Explorer"), "INTE");
  EXPECT_EQ(IdFromText("a-b"), "AB");
  EXPECT_EQ(IdFromText("\xC3\xA9t\xC3\xA9 9x"), "T9X");
  EXPECT_EQ(IdFromText(""), "");

  const std::vector<std::string> none;
  EXPECT_EQ(UniqueHotkeyId(none, -1, "Internet Explorer"), "INTE");
  EXPECT_EQ(UniqueHotkeyId(none, -1, "a-b"), "AB00");
  EXPECT_EQ(UniqueHotkeyId(none, -1, ""), "0000");

  std::vector<std::string> ids = {"AB00", ""};
  EXPECT_EQ(UniqueHotkeyId(ids, 1, "a-b"), "AB01");
  EXPECT_EQ(UniqueHotkeyId(ids, 0, "a-b"), "AB00");  // a row does not clash with itself
  // A table of one row is not searched.
  EXPECT_EQ(UniqueHotkeyId(std::vector<std::string>{"AB00"}, -1, "a-b"), "AB00");

  ids = {"NOTE", ""};
  EXPECT_EQ(UniqueHotkeyId(ids, 1, "Notepad"), "NOT1");
  ids = {"NOTE", "NOT1", ""};
  EXPECT_EQ(UniqueHotkeyId(ids, 2, "Notepad"), "NOT2");
  // A clash with a row earlier than the one that caused the renaming is found in a later pass.
  ids = {"NOT2", "NOT1", "NOTE", ""};
  EXPECT_EQ(UniqueHotkeyId(ids, 3, "Notepad"), "NOT3");
  ids = {"NOTE", "NOT1", "NOT2", "NOT3", "NOT4", "NOT5", "NOT6", "NOT7", "NOT8", "NOT9", ""};
  EXPECT_EQ(UniqueHotkeyId(ids, 10, "Notes"), "NO10");
}

// -------------------------------------------------------------------------------------------------- paths

TEST(DefinitionsPath, ExpandDefinitionsPath) {
  const std::string prog = "C:\\Program Files\\Calderine\\";
  const std::string cur = "D:\\Work\\Sub";
  EXPECT_EQ(ExpandDefinitionsPath("E:\\x\\y.hkd", prog, cur), "E:\\x\\y.hkd");
  EXPECT_EQ(ExpandDefinitionsPath("  e:y.hkd\t", prog, cur), "e:y.hkd");  // a drive is enough
  EXPECT_EQ(ExpandDefinitionsPath("defs.hkd", prog, cur), prog + "defs.hkd");
  EXPECT_EQ(ExpandDefinitionsPath("defs.hkd", "C:\\Calderine", cur), "C:\\Calderine\\defs.hkd");
  EXPECT_EQ(ExpandDefinitionsPath("sets\\defs.hkd", prog, cur), "D:\\Work\\Sub\\sets\\defs.hkd");
  EXPECT_EQ(ExpandDefinitionsPath("..\\defs.hkd", prog, cur), "D:\\Work\\defs.hkd");
  EXPECT_EQ(ExpandDefinitionsPath(".\\a\\.\\b\\..\\defs.hkd", prog, cur), "D:\\Work\\Sub\\a\\defs.hkd");
  EXPECT_EQ(ExpandDefinitionsPath("..\\..\\..\\..\\defs.hkd", prog, cur), "D:\\defs.hkd");
  EXPECT_EQ(ExpandDefinitionsPath("\\top\\defs.hkd", prog, cur), "D:\\top\\defs.hkd");
  EXPECT_EQ(ExpandDefinitionsPath("\\\\server\\share\\d\\..\\defs.hkd", prog, cur), "\\\\server\\share\\defs.hkd");
  EXPECT_EQ(ExpandDefinitionsPath("a\\b:c.hkd", prog, cur), "D:\\Work\\Sub\\a\\b:c.hkd");  // ":" not second
  EXPECT_EQ(ExpandDefinitionsPath("x\\", prog, "D:\\"), "D:\\x\\");
  EXPECT_EQ(ExpandDefinitionsPath("   ", prog, cur), "");
  EXPECT_EQ(ExpandDefinitionsPath("\r\n\t", prog, cur), "");
  EXPECT_EQ(ExpandDefinitionsPath("", prog, cur), "");
}

TEST(DefinitionsPath, SettingNeverGivesAnEmptyName) {
  const std::string exe = "C:\\Program Files\\Calderine\\Hotkeys.exe";
  EXPECT_EQ(DefaultDefinitionsFile(exe), "C:\\Program Files\\Calderine\\Hotkeys.hkd");
  EXPECT_EQ(DefaultDefinitionsFile("C:\\a.b\\prog"), "C:\\a.b\\prog.hkd");
  EXPECT_EQ(DefinitionsFileFromSetting("", exe, "D:\\"), "c:\\program files\\calderine\\hotkeys.hkd");
  EXPECT_EQ(DefinitionsFileFromSetting(" \t ", exe, "D:\\"), "c:\\program files\\calderine\\hotkeys.hkd");
  EXPECT_EQ(DefinitionsFileFromSetting("My.HKD", exe, "D:\\"), "c:\\program files\\calderine\\my.hkd");
  EXPECT_EQ(DefinitionsFileFromSetting("Sets\\My.hkd", exe, "D:\\Cur"), "d:\\cur\\sets\\my.hkd");
  EXPECT_EQ(DefinitionsFileFromSetting("E:\\Other.hkd", exe, "D:\\"), "e:\\other.hkd");
}
