#include <gtest/gtest.h>

#include "TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "FileUtil.h"
#include "IniFiles.h"

using namespace cl;
namespace fs = std::filesystem;

using testsupport::TempDir;

namespace {
std::string DataFile(const std::string& name) { return testsupport::DataDir("ini") + name; }
std::string Data(const std::string& name) { return ReadFileBytes(DataFile(name)); }

using Lines = std::vector<std::string>;
Lines LinesOf(const TIniData& d) {
  Lines l;
  for (size_t i = 0; i < d.LineCount(); ++i) l.push_back(d.LineBytes(i));
  return l;
}

using testsupport::Utf8;
std::string Gbk(const std::u8string& s) { return Utf8ToCodePage(Utf8(s), 936); }


const char* const kSamples[][2] = {{"config.ini", "936"}, {"Hotkeys.ini", "1252"}, {"mixed.ini", "1252"},
                                   {"utf8bom.ini", "1252"}, {"utf16le.ini", "1252"}};
}  // namespace

TEST(IniData, ReadingAndRewritingOwnValuesKeepsEveryByte) {
  for (const auto& [name, cp] : kSamples) {
    SCOPED_TRACE(name);
    const std::string bytes = Data(name);
    TIniData d(bytes, static_cast<unsigned>(std::atoi(cp)));
    EXPECT_EQ(d.Bytes(), bytes);
    for (const std::string& s : d.ReadSections())
      for (const std::string& k : d.ReadSection(s)) EXPECT_FALSE(d.WriteString(s, k, d.ReadString(s, k, "")));
    EXPECT_EQ(d.Bytes(), bytes);
  }
}

TEST(IniData, LookupLikeTheSystemProfileFunctions) {
  TIniData d(Data("mixed.ini"), 1252);
  EXPECT_EQ(d.ReadString("a", "KEY1", "-"), "value 1");         // case, blanks around name and value
  EXPECT_EQ(d.ReadString(" A ", "key2", "-"), "quoted");        // quotes go, a lone CR ends the line
  EXPECT_EQ(d.ReadString("b", "X", "-"), "y");
  EXPECT_EQ(d.ReadString("A", "bare line", "-"), "-");          // a key without '=' has no value
  EXPECT_FALSE(d.ValueExists("A", "bare line"));
  EXPECT_EQ(d.ReadString("A", "; mixed line ends", "-"), "-");  // comments are no keys
  EXPECT_EQ(d.ReadString("C", "last", "-"), "1");               // no line end at the end of the file
  EXPECT_EQ(d.ReadSections(), (Lines{"A", "B", "C"}));           // the first of two [A] wins
  EXPECT_EQ(d.ReadSection("A"), (Lines{"key1", "Key2"}));
  EXPECT_EQ(d.ReadSectionValues("a"), (Lines{"key1=value 1", "Key2=quoted"}));
  EXPECT_TRUE(d.SectionExists("c"));
  EXPECT_FALSE(d.SectionExists("D"));
  EXPECT_TRUE(d.ValueExists("A", "KEY2"));

  TIniData q("[S]\r\n"
             "e=\r\nq1=\"\"\r\nq2='\"'\r\nq3=\"a'\r\nq4=\" spaced \"\r\nsemi=5 ;note\r\ndup=1\r\nDUP=2\r\nd2\r\nd2=3\r\n",
             1252);
  EXPECT_EQ(q.ReadString("S", "e", "-"), "");  // present but empty: not the default
  EXPECT_EQ(q.ReadString("S", "q1", "-"), "");
  EXPECT_EQ(q.ReadString("S", "q2", "-"), "\"");
  EXPECT_EQ(q.ReadString("S", "q3", "-"), "\"a'");
  EXPECT_EQ(q.ReadString("S", "q4", "-"), " spaced ");
  EXPECT_EQ(q.ReadString("S", "semi", "-"), "5 ;note");
  EXPECT_EQ(q.ReadInteger("S", "semi", -1), -1);
  EXPECT_EQ(q.ReadString("S", "dup", "-"), "1");
  EXPECT_EQ(q.ReadString("S", "d2", "-"), "-");  // the first line of a name decides
  EXPECT_EQ(q.ReadSection("S"), (Lines{"e", "q1", "q2", "q3", "q4", "semi", "dup"}));
}

// Lookups go through an index of the names: each change must leave every later lookup right, also for
// lines that moved, and a copy keeps reading its own text.
TEST(IniData, LookupsFollowEveryChange) {
  cl::TIniData d("[A]\r\nx=1\r\n[B]\r\ny=2\r\n[A]\r\nz=9\r\n", 1252);
  EXPECT_EQ(d.ReadString("B", "y", "-"), "2");
  const cl::TIniData copy = d;
  ASSERT_TRUE(d.WriteString("A", "new", "3"));  // inserted before [B]: its lines move down
  EXPECT_EQ(d.ReadString("B", "y", "-"), "2");
  EXPECT_EQ(d.ReadString("A", "new", "-"), "3");
  EXPECT_EQ(d.ReadString("A", "z", "-"), "-");  // the second [A] is still not read
  ASSERT_TRUE(d.DeleteKey("A", "x"));
  EXPECT_EQ(d.ReadString("A", "x", "-"), "-");
  EXPECT_EQ(d.ReadString("B", "y", "-"), "2");
  ASSERT_TRUE(d.EraseSection("A"));
  EXPECT_FALSE(d.SectionExists("A"));
  ASSERT_TRUE(d.WriteString("C", "w", "4"));
  EXPECT_EQ(d.ReadSection("C"), std::vector<std::string>{"w"});
  d.Load("[b]\r\nY=5\r\n");
  EXPECT_EQ(d.ReadString("B", "y", "-"), "5");
  EXPECT_EQ(copy.ReadString("A", "x", "-"), "1");
  EXPECT_EQ(copy.ReadString("A", "new", "-"), "-");
}

TEST(IniData, HotkeysSettings) {
  TIniData d(Data("Hotkeys.ini"), 1252);
  EXPECT_EQ(d.ReadString("Settings", "HKDFile", ""), "c:\\program files\\calderine\\hotkeys.hkd");
  EXPECT_EQ(d.ReadInteger("settings", "clipboardcount", 0), 5);
  EXPECT_FALSE(d.ReadBool("Settings", "showme", true));  // written as "Showme"
  EXPECT_TRUE(d.ReadBool("Settings", "AutoRun", false));
  EXPECT_EQ(d.ReadInteger("EditorWindow", "Missing", 575), 575);
  EXPECT_EQ(d.ReadSectionValues("VWColumns"),
            (Lines{"Description=145", "ID=45", "Action=100", "Data=135", "Hotkey=90"}));
}

TEST(IniData, NumbersAndBooleans) {
  TIniData d("[N]\na=12\nb=-5\nc=+7\nd=0x1F\ne=0XfF\nf=$10\ng=0x\nh=12abc\ni=2147483648\nj=-2147483648\n"
             "k=0xFFFFFFFF\nl='42'\nm=0x100000000\nn=\nb1=2\nb0=0\nbx=yes\n",
             1252);
  const std::pair<const char*, int> cases[] = {{"a", 12},  {"b", -5},  {"c", 7},           {"d", 31},
                                               {"e", 255}, {"f", 16},  {"g", 99},          {"h", 99},
                                               {"i", 99},  {"j", -2147483647 - 1}, {"k", -1}, {"l", 42},
                                               {"m", 99},  {"n", 99},  {"none", 99}};
  for (const auto& [key, want] : cases) EXPECT_EQ(d.ReadInteger("N", key, 99), want) << key;
  EXPECT_TRUE(d.ReadBool("N", "b1", false));
  EXPECT_FALSE(d.ReadBool("N", "b0", true));
  EXPECT_TRUE(d.ReadBool("N", "bx", true));
  EXPECT_FALSE(d.ReadBool("N", "bx", false));

  TIniData w;
  w.WriteInteger("N", "i", -2147483647 - 1);
  w.WriteBool("N", "t", true);
  w.WriteBool("N", "f", false);
  EXPECT_EQ(w.Bytes(), "[N]\r\ni=-2147483648\r\nt=1\r\nf=0\r\n");
}

TEST(IniData, WritesChangeOnlyTheirLines) {
  const std::string mixed = Data("mixed.ini");
  TIniData d(mixed, 1252);

  // An existing value: the key's spelling, the blanks around the value and the line end stay.
  EXPECT_TRUE(d.WriteString("a", "KEY1", "new"));
  std::string want = mixed;
  want.replace(want.find("value 1 "), 8, "new ");
  EXPECT_EQ(d.Bytes(), want);

  // A new key goes after the section's last key line; a lone CR line end of a neighbour stays.
  EXPECT_TRUE(d.WriteString("A", "added", "1"));
  want.insert(want.find("[a]"), "added=1\r\n");
  EXPECT_EQ(d.Bytes(), want);

  // Before the blank lines that end a section.
  EXPECT_TRUE(d.WriteString("B", "z", "2"));
  want.insert(want.find("\n\n[C]") + 1, "z=2\r\n");
  EXPECT_EQ(d.Bytes(), want);

  // At the unterminated end of the file the last line gets the dominant line end (CR LF here) first.
  EXPECT_TRUE(d.WriteString("C", "more", "3"));
  want += "\r\nmore=3\r\n";
  EXPECT_EQ(d.Bytes(), want);
  EXPECT_TRUE(d.WriteString("New", "k", "v"));
  want += "[New]\r\nk=v\r\n";
  EXPECT_EQ(d.Bytes(), want);

  // A key without '=' gets its value on its own line.
  EXPECT_TRUE(d.WriteString("A", "BARE LINE", "x"));
  want.replace(want.find("bare line"), 9, "bare line=x");
  EXPECT_EQ(d.Bytes(), want);

  EXPECT_TRUE(d.DeleteKey("A", "key2"));
  want.erase(want.find("\tKey2"), 15);
  EXPECT_EQ(d.Bytes(), want);
  EXPECT_FALSE(d.DeleteKey("A", "key2"));

  // Both [A] and [a] go, with all their lines.
  EXPECT_TRUE(d.EraseSection("A"));
  want.erase(want.find("[A]"), want.find("[ B ]") - want.find("[A]"));
  EXPECT_EQ(d.Bytes(), want);
  EXPECT_FALSE(d.EraseSection("A"));

  TIniData lf("[S]\nk=1\n", 1252);  // new lines follow the text's own line ends
  lf.WriteString("T", "k", "2");
  EXPECT_EQ(lf.Bytes(), "[S]\nk=1\n[T]\nk=2\n");
  TIniData empty;
  empty.WriteString(" S ", " k ", "v");
  EXPECT_EQ(empty.Bytes(), "[S]\r\nk=v\r\n");
}

TEST(IniData, UnstorableWritesThrowAndChangeNothing) {
  const std::string text = "[S]\r\nk=1\r\n";
  TIniData d(text, 1252);
  const char* const keys[] = {"", "  ", "a=b", ";a", "[a]", "a\r\nb"};
  for (const char* k : keys) EXPECT_THROW(d.WriteString("S", k, "1"), EIniFileException) << k;
  EXPECT_THROW(d.WriteString("", "k", "1"), EIniFileException);
  EXPECT_THROW(d.WriteString("S\n[T", "k", "1"), EIniFileException);
  EXPECT_THROW(d.WriteString("S", "k", "1\r\n[T]"), EIniFileException);
  EXPECT_THROW(d.WriteString("S", "k", Utf8(u8"\u4E2D")), EIniFileException);  // not in code page 1252
  EXPECT_EQ(d.Bytes(), text);
  TIniData b("[S]\r\n[x=1\r\n", 1252);  // a key "[x" whose new value would make its line a header
  EXPECT_THROW(b.WriteString("S", "[x", "a]"), EIniFileException);
  EXPECT_EQ(b.ReadString("S", "[x", ""), "1");
}

TEST(IniData, Cp936ConfigReadAndRewrittenWhateverTheSystemCodePage) {
  ASSERT_NE(AnsiCodePage(), 936u);
  const std::string bytes = Data("config.ini");
  TIniData d(bytes, 936);
  EXPECT_EQ(d.ReadSections(), (Lines{Utf8(u8"系统参数"), Utf8(u8"定时设置"), Utf8(u8"启动设置")}));
  EXPECT_EQ(d.ReadString(Utf8(u8"定时设置"), Utf8(u8"倒计时"), "0"), "3600");
  EXPECT_EQ(d.ReadInteger(Utf8(u8"定时设置"), Utf8(u8"时"), 0), 23);
  EXPECT_TRUE(d.ReadBool(Utf8(u8"定时设置"), Utf8(u8"关机提醒"), false));
  EXPECT_TRUE(d.ReadBool(Utf8(u8"系统参数"), "CHECKBOX2", false));

  EXPECT_TRUE(d.WriteInteger(Utf8(u8"定时设置"), Utf8(u8"分"), 45));
  std::string want = bytes;
  const std::string line = Gbk(u8"分=30\r\n");
  want.replace(want.find(line), line.size(), Gbk(u8"分=45\r\n"));
  EXPECT_EQ(d.Bytes(), want);

  // Trail bytes that look like ']' or like ASCII letters belong to their characters: "乚" ends in 0x5D,
  // "丄" and "乤" differ only in a trail byte 'A' / 'a'.
  TIniData dbcs(Gbk(u8"[启动设置] ;乚\r\n丄=1\r\n乤=2\r\n"), 936);
  EXPECT_EQ(dbcs.ReadSections(), (Lines{Utf8(u8"启动设置")}));
  EXPECT_EQ(dbcs.ReadString(Utf8(u8"启动设置"), Utf8(u8"乤"), "-"), "2");
}

TEST(IniData, ByteOrderMarks) {
  const std::string u8file = Data("utf8bom.ini");
  TIniData a(u8file, 1252);  // the mark wins over the code page given
  EXPECT_EQ(a.CodePage(), 65001u);
  EXPECT_EQ(a.ReadString("sect", "name", ""), Utf8(u8"Grüße"));
  a.WriteString("Sect", Utf8(u8"中"), Utf8(u8"文"));
  EXPECT_EQ(a.Bytes(), u8file + Utf8(u8"中=文\r\n"));

  const std::string u16file = Data("utf16le.ini");
  TIniData b(u16file, 1252);
  EXPECT_EQ(b.CodePage(), 1200u);
  EXPECT_EQ(b.ReadString("SECT", "Name", ""), Utf8(u8"Grüße 中"));
  EXPECT_EQ(b.ReadSection("Sect"), (Lines{"Name"}));
  b.WriteString("Sect", "Name", "'x'");
  b.WriteString("T", "k", "1");
  const std::u16string want = u"\uFEFF[Sect]\r\nName='x'\r\n[T]\r\nk=1\r\n";
  EXPECT_EQ(b.Bytes(), std::string(reinterpret_cast<const char*>(want.data()), want.size() * 2));
  EXPECT_EQ(b.ReadString("Sect", "Name", ""), "x");

  // A stray last byte stays last.
  TIniData odd(std::string("\xFF\xFE[\0S\0]\0\x01", 9), 1252);
  odd.WriteString("S", "k", "v");
  const std::u16string w2 = u"\uFEFF[S]\r\nk=v\r\n";
  EXPECT_EQ(odd.Bytes(), std::string(reinterpret_cast<const char*>(w2.data()), w2.size() * 2) + "\x01");
}

TEST(IniData, HostileBytesStayAsTheyAre) {
  std::string junk("[S\0]\r\r\n\0=\0\n\xFF\xFE\x81]\n[S]\n\x81\x5D=\x80\r[\n", 26);
  junk += std::string(1 << 20, 'x') + "=" + std::string(1 << 20, '\0');
  for (unsigned cp : {1252u, 936u, 65001u}) {
    TIniData d(junk, cp);
    EXPECT_EQ(d.Bytes(), junk);
    for (const std::string& s : d.ReadSections()) d.ReadSectionValues(s);
    const Lines before = LinesOf(d);
    ASSERT_TRUE(d.WriteString("S", "k", "v"));
    Lines after = LinesOf(d);
    ASSERT_EQ(after.size(), before.size() + 1);
    // After the last line of [S], the unterminated huge one, which first gets the dominant line end (LF).
    EXPECT_EQ(after[before.size() - 1], before.back() + "\n");
    EXPECT_EQ(after.back(), "k=v\n");
  }
}

TEST(IniFile, FileRoundTrip) {
  TempDir dir;
  const std::string path = dir.File("Hotkeys.ini");
  TIniFile ini(path);
  EXPECT_EQ(ini.FileName(), path);
  EXPECT_EQ(ini.ReadInteger("Settings", "ShowTaskbarIcon", 1), 1);  // missing file: defaults
  EXPECT_FALSE(FileExists(path));
  ini.DeleteKey("Settings", "x");  // changes nothing, creates nothing
  EXPECT_FALSE(FileExists(path));

  ini.WriteInteger("Settings", "ShowTaskbarIcon", 1);
  TIniFile other(path);  // a second object on the same file sees every change at once
  other.WriteInteger("settings", "Showme", 0);
  ini.WriteString("EWColumns", "Description", "140");
  EXPECT_EQ(ReadFileBytes(path), "[Settings]\r\nShowTaskbarIcon=1\r\nShowme=0\r\n[EWColumns]\r\nDescription=140\r\n");
  ini.EraseSection("EWColumns");
  other.UpdateFile();
  EXPECT_EQ(other.ReadSections(), (Lines{"Settings"}));

  const std::string config = dir.File("config.ini");
  fs::copy_file(DataFile("config.ini"), dir.path / "config.ini");
  TIniFile cfg(config, 936);
  cfg.WriteString(Utf8(u8"定时设置"), Utf8(u8"倒计时"), "3600");
  EXPECT_EQ(ReadFileBytes(config), Data("config.ini"));
  cfg.WriteBool(Utf8(u8"启动设置"), Utf8(u8"启动时执行定时任务"), true);
  EXPECT_EQ(ReadFileBytes(config), Data("config.ini").substr(0, Data("config.ini").size() - 3) + "1\r\n");
}

TEST(IniFile, FailedWriteKeepsTheOldFileAndThrows) {
  TempDir dir;
  const std::string missing = dir.File("no/such/dir/x.ini");
  try {
    TIniFile(missing).WriteString("S", "k", "v");
    FAIL() << "no exception";
  } catch (const EIniFileException& e) {
    EXPECT_EQ(e.Message(), "Unable to write to " + missing);
  }

  const std::string path = dir.File("ro.ini");
  fs::copy_file(DataFile("Hotkeys.ini"), dir.path / "ro.ini");
  fs::permissions(dir.path / "ro.ini", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  TIniFile ini(path);
  EXPECT_THROW(ini.WriteInteger("Settings", "ClipboardCount", 6), EIniFileException);
  EXPECT_THROW(ini.EraseSection("Settings"), EIniFileException);
  ini.WriteInteger("Settings", "ClipboardCount", 5);  // no change, nothing to write: no error
  EXPECT_EQ(ReadFileBytes(path), Data("Hotkeys.ini"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);  // no temporary left
  EXPECT_THROW(TIniFile(path).WriteString("S", "a=b", "1"), EIniFileException);
}
