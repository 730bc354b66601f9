#include "QuickIni.h"

#include <gtest/gtest.h>

#include <string>

#include "Streams.h"

using skin::TQuickIni;
using namespace std::string_literals;

namespace {

TQuickIni Load(std::string_view text, unsigned codePage = 1252) {
  TQuickIni ini;
  ini.LoadFromBytes(text, codePage);
  return ini;
}

TEST(QuickIni, SectionsMatchWithoutCaseButSpacesInsideBracketsCount) {
  const TQuickIni ini = Load("[Personality]\r\na=1\r\n[ Colours ]\r\nb=2\r\n[fonts]\r\nc=3\r\n");
  EXPECT_EQ(ini.ReadString("PERSONALITY", "a", "-"), "1");
  EXPECT_EQ(ini.ReadString("Fonts", "c", "-"), "3");
  EXPECT_EQ(ini.ReadString("Colours", "b", "-"), "-");
  EXPECT_EQ(ini.ReadString(" Colours ", "b", "-"), "2");
  EXPECT_EQ(ini.ReadString("Missing", "a", "def"), "def");
  EXPECT_EQ(ini.FindSection("personality"), 0);
  EXPECT_EQ(ini.FindSection("Colours"), -1);
}

TEST(QuickIni, KeysMatchWithoutCaseAndValuesAreTrimmed) {
  const TQuickIni ini = Load("[S]\n  LeftWidth   =   12   \t\nTitle=a=b;c # d\nEmpty=\n");
  EXPECT_EQ(ini.ReadString("s", "leftwidth", "-"), "12");
  EXPECT_EQ(ini.ReadString("s", "LEFTWIDTH", "-"), "12");
  EXPECT_EQ(ini.ReadInteger("S", "LeftWidth", -1), 12);
  EXPECT_EQ(ini.ReadString("S", "title", "-"), "a=b;c # d");  // further '=' and ';' belong to the value
  EXPECT_EQ(ini.ReadString("S", "Empty", "def"), "def");
  EXPECT_EQ(ini.ReadString("S", "", "def"), "def");
}

TEST(QuickIni, FirstOccurrenceWinsEvenWhenEmpty) {
  const TQuickIni ini = Load("[S]\nkey=\nKEY=5\nother=1\nother=2\n[S]\nnew=7\n[T]\nkey=9\n");
  EXPECT_EQ(ini.ReadString("S", "key", "def"), "def");
  EXPECT_EQ(ini.ReadInteger("S", "other", 0), 1);
  EXPECT_EQ(ini.ReadString("S", "new", "def"), "def");  // only the first [S] is searched
  EXPECT_EQ(ini.ReadString("T", "key", "def"), "9");   // the next header ends a section
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"S", "S", "T"}));
}

// The index keeps the first header of a name, whatever the letter case of the later ones, and a second
// load forgets the first text's sections.
TEST(QuickIni, TheFirstOfManySectionsOfOneNameWins) {
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "[Sec" + std::to_string(i % 1000) + "]\nv=" + std::to_string(i) + "\n";
  text += "[sec7]\nv=late\n[SEC1000]\nv=new\n";
  TQuickIni ini = Load(text);
  EXPECT_EQ(ini.ReadInteger("SEC7", "v", -1), 7);
  EXPECT_EQ(ini.FindSection("sec7"), 14);
  EXPECT_EQ(ini.ReadInteger("Sec999", "v", -1), 999);
  EXPECT_EQ(ini.ReadString("sec1000", "v", "-"), "new");
  EXPECT_EQ(ini.SectionCount(), 3002);
  ini.LoadFromBytes("[Other]\nv=1\n");
  EXPECT_EQ(ini.FindSection("Sec7"), -1);
  EXPECT_EQ(ini.FindSection("other"), 0);
}

TEST(QuickIni, CommentsAndKeysBeforeTheFirstSection) {
  const TQuickIni ini = Load("top=1\n; [Hidden]\n  ;x=1\n[S]\n;a=1\na=2 ; note\n#b=3\n");
  EXPECT_EQ(ini.Lines(), (std::vector<std::string>{"top=1", "[S]", "a=2 ; note", "#b=3"}));
  EXPECT_EQ(ini.FindSection("Hidden"), -1);
  EXPECT_EQ(ini.ReadString("S", "a", "-"), "2 ; note");
  EXPECT_EQ(ini.ReadInteger("S", "a", -7), -7);  // the note makes it no number
  EXPECT_EQ(ini.ReadString("S", "#b", "-"), "3");
  EXPECT_EQ(ini.ReadString("", "top", "-"), "-");
}

TEST(QuickIni, ReadInteger) {
  const TQuickIni ini = Load(
      "[N]\nh1=0x1F\nh2=0XFF\nd=$ff\nneg=-12\npos=+7\nx=0x\ns=$\nmin=-2147483648\nmax=2147483647\n"
      "over=2147483648\nunder=-2147483649\nall=$FFFFFFFF\nbig=0x100000000\nzeros=0000000000000000042\n"
      "trail=12abc\nsignhex=-$10\nhexneg=0x-1\nspace=1 2\nlone=-\nzx=0x0\n");
  EXPECT_EQ(ini.ReadInteger("N", "h1", 0), 31);
  EXPECT_EQ(ini.ReadInteger("N", "h2", 0), 255);
  EXPECT_EQ(ini.ReadInteger("N", "d", 0), 255);
  EXPECT_EQ(ini.ReadInteger("N", "neg", 0), -12);
  EXPECT_EQ(ini.ReadInteger("N", "pos", 0), 7);
  EXPECT_EQ(ini.ReadInteger("N", "min", 0), INT32_MIN);
  EXPECT_EQ(ini.ReadInteger("N", "max", 0), INT32_MAX);
  EXPECT_EQ(ini.ReadInteger("N", "all", 0), -1);
  EXPECT_EQ(ini.ReadInteger("N", "zeros", 0), 42);
  EXPECT_EQ(ini.ReadInteger("N", "zx", 5), 0);
  for (const char* bad : {"x", "s", "over", "under", "big", "trail", "signhex", "hexneg", "space", "lone", "none"})
    EXPECT_EQ(ini.ReadInteger("N", bad, -99), -99) << bad;
}

TEST(QuickIni, LineEndsAndNul) {
  const TQuickIni ini = Load("[A]\ra=1\r\rb=2\n\rc=3\r\n\x01\x1F d = 4 \x7F\n"s + "[B]\ne=5\0[C]\nf=6\n"s);
  EXPECT_EQ(ini.ReadInteger("A", "a", 0), 1);
  EXPECT_EQ(ini.ReadInteger("A", "b", 0), 2);
  EXPECT_EQ(ini.ReadInteger("A", "c", 0), 3);
  EXPECT_EQ(ini.ReadString("A", "d", "-"), "4 \x7F");  // DEL is above 32: not trimmed
  EXPECT_EQ(ini.ReadInteger("B", "e", 0), 5);
  EXPECT_EQ(ini.FindSection("C"), -1);  // the NUL ended the text
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"A", "B"}));
}

TEST(QuickIni, OddHeaders) {
  const TQuickIni ini = Load("[]\nx=1\n[\n]\n[a]b]\ny=2\n[ [inner] ]\nz=3\n[x\n");
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"", "a]b", "[inner]"}));
  EXPECT_EQ(ini.ReadInteger("", "x", 0), 1);
  EXPECT_EQ(ini.ReadInteger("a]b", "y", 0), 2);
  EXPECT_EQ(ini.SectionCount(), 3);
  EXPECT_FALSE(TQuickIni::IsSectionLine(""));
  EXPECT_FALSE(TQuickIni::IsSectionLine("["));
  EXPECT_TRUE(TQuickIni::IsSectionLine(" [] "));
}

TEST(QuickIni, StreamsAndReloading) {
  cl::TMemoryStream stream;
  const std::string text = "garbage[S]\nk=old\n";
  stream.WriteBuffer(text.data(), text.size());
  stream.SetPosition(7);
  TQuickIni ini;
  ini.LoadFromStream(&stream);
  EXPECT_EQ(ini.ReadString("S", "k", "-"), "old");
  ini.LoadFromStream(nullptr);  // changes nothing
  EXPECT_EQ(ini.ReadString("S", "k", "-"), "old");
  ini.LoadFromBytes("[T]\nk=new\n");
  EXPECT_EQ(ini.ReadString("S", "k", "-"), "-");
  EXPECT_EQ(ini.ReadString("T", "k", "-"), "new");

  cl::TStringList list;
  list.Add("stale");
  ini.ReadSections(&list);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list[0], "T");
  ini.ReadSections(nullptr);

  ini.LoadFromBytes("");
  EXPECT_TRUE(ini.Lines().empty());
  EXPECT_EQ(ini.ReadString("T", "k", "def"), "def");
}

TEST(QuickIni, TextIsDecodedFromItsCodePage) {
  const TQuickIni ini = Load("[Caf\xE9]\nName=Cr\xE8me\n", 1252);
  EXPECT_EQ(ini.ReadString("Caf\xC3\xA9", "name", "-"), "Cr\xC3\xA8me");
}

TEST(QuickIni, EveryByteValueIsHarmless) {
  std::string all;
  for (int i = 0; i < 256; ++i) all += static_cast<char>(i == 0 ? 1 : i);
  for (unsigned cp : {1252u, 936u, 65001u}) {
    const TQuickIni ini = Load("[S]\n" + all + "=" + all + "\n[" + all + "]\n" + all, cp);
    for (const std::string& s : ini.ReadSections()) {
      ini.ReadString(s, all, "");
      ini.ReadInteger(s, "=", 0);
    }
    EXPECT_GE(ini.SectionCount(), 1);
  }
}

}  // namespace
