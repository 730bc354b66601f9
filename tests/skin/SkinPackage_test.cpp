// Skin packages: the layout written and read byte for byte, entry lookup, the old-package message, and
// damaged or hostile packages, which load nothing and leave the reader as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Lzh.h"
#include "SkinPack.h"
#include "SkinRead.h"
#include "TestSupport.h"

using skin::ElzhException;
using skin::ESkinPackageError;
using skin::TSkinReader;

namespace {

std::string Int32(int64_t v) {
  std::string s;
  for (int shift = 0; shift < 32; shift += 8)
    s.push_back(static_cast<char>((static_cast<uint32_t>(v) >> shift) & 0xFF));
  return s;
}

// A package around hand-made unpacked data.
std::string Package(const std::string& unpacked) {
  return Int32(static_cast<int64_t>(unpacked.size())) + skin::LzhEncode(unpacked);
}

// Unpacked data with the given name text, size table and entry bytes.
std::string Layout(const std::string& names, const std::vector<int64_t>& sizes, const std::string& data,
                   int64_t magic = 20000) {
  std::string s = Int32(magic) + Int32(static_cast<int64_t>(names.size())) + Int32(7) + Int32(-7) + names;
  for (int64_t size : sizes) s += Int32(size);
  return s + data;
}

std::string Entry(const TSkinReader& reader, const std::string& name) {
  cl::TMemoryStream target;
  reader.ReadEntry(name, target);
  EXPECT_EQ(target.Position(), 0);
  return std::string(target.Bytes());
}

bool Load(TSkinReader& reader, const std::string& package) {
  cl::TMemoryStream source(package);
  return reader.LoadFromStream(source);
}

const std::vector<skin::TSkinPackEntry> kEntries = {{"Skin.INI", "[Form]\r\nTile=1\r\n"},
                                                    {"Frame.bmp", std::string(300, 'f')},
                                                    {"b.bmp", std::string("BM\x00\x01", 4)}};

}  // namespace

TEST(SkinPackage, WritesTheLayoutByteForByte) {
  const std::string package = skin::BuildSkinPackage(kEntries);
  const std::string expected = std::string("\x20\x4E\x00\x00", 4) + Int32(28) + Int32(0) + Int32(0) +
                               "Skin.INI\r\nFrame.bmp\r\nb.bmp\r\n" + Int32(16) + Int32(300) + Int32(4) +
                               "[Form]\r\nTile=1\r\n" + std::string(300, 'f') + std::string("BM\x00\x01", 4);
  ASSERT_EQ(package.substr(0, 4), Int32(static_cast<int64_t>(expected.size())));
  EXPECT_EQ(skin::LzhDecode(package.substr(4), static_cast<int32_t>(expected.size())), expected);
  EXPECT_EQ(skin::BuildSkinPackage(kEntries), package);
  EXPECT_THROW(skin::BuildSkinPackage({{"a\nb", ""}}), ESkinPackageError);
}

TEST(SkinPackage, ReadsEntriesByName) {
  TSkinReader reader;
  ASSERT_TRUE(Load(reader, skin::BuildSkinPackage(kEntries)));
  ASSERT_EQ(reader.Count(), 3);
  EXPECT_EQ(reader.Names()[0], "skin.ini");
  EXPECT_EQ(reader.EntrySize(1), 300);
  EXPECT_EQ(Entry(reader, "SKIN.ini"), "[Form]\r\nTile=1\r\n");
  EXPECT_EQ(Entry(reader, "frame.BMP"), std::string(300, 'f'));
  EXPECT_EQ(Entry(reader, "b.bmp"), std::string("BM\x00\x01", 4));
  EXPECT_EQ(Entry(reader, "c.bmp"), "");

  cl::TMemoryStream target;
  std::string name = "unchanged";
  reader.FindEntry(".INI", target, name);  // names are lower case, the text is not
  EXPECT_EQ(target.Size(), 0);
  EXPECT_EQ(name, "unchanged");
  reader.FindEntry(".ini", target, name);
  EXPECT_EQ(name, "skin.ini");
  EXPECT_EQ(target.Bytes(), "[Form]\r\nTile=1\r\n");
  reader.FindEntry(".bmp", target, name);
  EXPECT_EQ(name, "frame.bmp");

  // The same package again gives the same entries: nothing carries over between unpackings.
  ASSERT_TRUE(Load(reader, skin::BuildSkinPackage(kEntries)));
  EXPECT_EQ(Entry(reader, "b.bmp"), std::string("BM\x00\x01", 4));
}

TEST(SkinPackage, NameTextSplitsLikeAStringList) {
  TSkinReader reader;
  // CR, LF and CR LF end lines; an empty line counts; a last line needs no line end.
  ASSERT_TRUE(Load(reader, Package(Layout("a\rb\n\r\nc", {1, 2, 3, 4}, "ABBCCCDDDD"))));
  ASSERT_EQ(reader.Count(), 4);
  EXPECT_EQ(reader.Names()[2], "");
  EXPECT_EQ(Entry(reader, "b"), "BB");
  EXPECT_EQ(Entry(reader, "c"), "DDDD");
  // Nothing after a NUL counts.
  ASSERT_TRUE(Load(reader, Package(Layout(std::string("x\r\ny\0z\r\n", 8), {1, 2}, "XYY"))));
  EXPECT_EQ(reader.Count(), 2);
  EXPECT_EQ(Entry(reader, "y"), "YY");
  // A repeated name: the first wins, and the second still takes its place in the offsets.
  ASSERT_TRUE(Load(reader, Package(Layout("d\r\nD\r\ne\r\n", {1, 2, 3}, "122333"))));
  EXPECT_EQ(Entry(reader, "d"), "1");
  EXPECT_EQ(Entry(reader, "e"), "333");
}

TEST(SkinPackage, ManyMoreEntriesThanAThousand) {
  std::vector<skin::TSkinPackEntry> entries;
  for (int i = 0; i < 1500; ++i) entries.push_back({"e" + std::to_string(i) + ".bmp", std::to_string(i * 7)});
  TSkinReader reader;
  ASSERT_TRUE(Load(reader, skin::BuildSkinPackage(entries)));
  EXPECT_EQ(reader.Count(), 1500);
  EXPECT_EQ(Entry(reader, "e1499.bmp"), std::to_string(1499 * 7));
  EXPECT_EQ(Entry(reader, "e1001.bmp"), std::to_string(1001 * 7));
}

TEST(SkinPackage, OlderPackageShowsItsMessageAndKeepsTheReader) {
  TSkinReader reader;
  std::vector<std::string> shown;
  reader.OnMessage = [&](const std::string& text) { shown.push_back(text); };
  ASSERT_TRUE(Load(reader, skin::BuildSkinPackage(kEntries)));

  EXPECT_FALSE(Load(reader, Package(Layout("a\r\n", {1}, "A", 19999))));
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "This is Older Skin File\rPlease update to new version !");
  // A declared length of 0 decodes nothing, so there is no magic either.
  EXPECT_FALSE(Load(reader, Int32(0)));
  EXPECT_EQ(shown.size(), 2u);
  EXPECT_EQ(reader.Count(), 3);
  EXPECT_EQ(Entry(reader, "b.bmp"), std::string("BM\x00\x01", 4));
}

TEST(SkinPackage, DamagedPackagesLoadNothing) {
  TSkinReader reader;
  ASSERT_TRUE(Load(reader, skin::BuildSkinPackage(kEntries)));
  auto keeps = [&] {
    EXPECT_EQ(reader.Count(), 3);
    EXPECT_EQ(Entry(reader, "frame.bmp"), std::string(300, 'f'));
  };
  const std::string good = Package(Layout("a\r\nb\r\n", {2, 3}, "AABBB"));
  const std::string stream = good.substr(4);

  // The declared length: negative, beyond any limit, beyond what the stream can hold.
  EXPECT_THROW(Load(reader, Int32(-5) + stream), ElzhException);
  EXPECT_THROW(Load(reader, Int32(0x7FFFFFFF) + stream), ElzhException);
  EXPECT_THROW(Load(reader, Int32(static_cast<int64_t>(48 * stream.size() + 1)) + stream), ElzhException);
  // A longer length than the stream decodes to runs out of input.
  EXPECT_THROW(Load(reader, Int32(static_cast<int64_t>(stream.size() * 4)) + stream), ElzhException);
  keeps();
  // Cut anywhere.
  for (size_t cut = 0; cut < good.size(); ++cut)
    EXPECT_THROW(Load(reader, good.substr(0, cut)), ElzhException) << cut;
  keeps();

  using testsupport::MessageOf;
  // Names beyond the data, negative name length, a size table or entries beyond the data, negative sizes.
  std::string layout = Layout("a\r\nb\r\n", {2, 3}, "AABBB");
  layout.replace(4, 4, Int32(1000));
  EXPECT_EQ(MessageOf<ESkinPackageError>([&] { Load(reader, Package(layout)); }),
            "Skin package: the name text (1000 bytes) exceeds the data");
  layout.replace(4, 4, Int32(-1));
  EXPECT_THROW(Load(reader, Package(layout)), ESkinPackageError);
  EXPECT_EQ(MessageOf<ESkinPackageError>([&] { Load(reader, Package(Layout("a\r\nb\r\nc\r\n", {2}, ""))); }),
            "Skin package: the size table of 3 entries exceeds the data");
  EXPECT_EQ(MessageOf<ESkinPackageError>([&] {
              Load(reader, Package(Layout("a\r\nb\r\n", {2, 4}, "AABBB")));
            }),
            "Skin package: the entries (6 bytes) exceed the data");
  EXPECT_THROW(Load(reader, Package(Layout("a\r\nb\r\n", {0x7FFFFFFF, 0x7FFFFFFF}, "AABBB"))),
               ESkinPackageError);
  EXPECT_EQ(MessageOf<ESkinPackageError>([&] {
              Load(reader, Package(Layout("a\r\nb\r\n", {-1, 3}, "AABBB")));
            }),
            "Skin package: invalid entry size -1");
  EXPECT_THROW(Load(reader, Package(std::string("\x20\x4E\x00\x00\x01", 5))), ESkinPackageError);
  keeps();
  // Trailing bytes after the entries are harmless.
  ASSERT_TRUE(Load(reader, Package(Layout("a\r\nb\r\n", {2, 3}, "AABBBxyz"))));
  EXPECT_EQ(Entry(reader, "b"), "BBB");
}
