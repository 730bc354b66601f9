#include "BmpFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ByteBuilder.h"
#include "FileUtil.h"
#include "TestSupport.h"

using namespace cl;

namespace {

using testsupport::BmpHeader;
using testsupport::Bytes;

TBmpImage Read(const std::string& bytes) {
  TMemoryStream stream(bytes);
  return ReadBmp(stream);
}

std::string Write(const TBmpImage& image) {
  TMemoryStream out;
  WriteBmp(out, image.Width, image.Height, image.BitCount, image.Palette, image.Pixels.data());
  return std::string(out.Bytes());
}

// The message of reading bytes: "Bitmap image is not valid" for a refused file.
std::string ReadMessage(const std::string& bytes) {
  return testsupport::MessageOf<EInvalidGraphic>([&] { Read(bytes); });
}

// The BMP files the programs carry, and a stored sample.
std::vector<std::string> RealFiles() {
  const std::string root = testsupport::DataDir("..") + "../";
  return {root + "resources/icons/SortAscending.bmp", root + "resources/icons/SortDescending.bmp",
          root + "resources/skin/SkinMenu.bmp", testsupport::DataDir("graphics") + "checker.bmp"};
}

// The file with the fields the writer does not keep (resolution, colours used) cleared.
std::string WithoutResolutionAndCount(std::string file) {
  for (size_t i = 38; i < 50 && i < file.size(); ++i) file[i] = '\0';
  return file;
}

}  // namespace

TEST(BmpFile, RealFilesReadAndWriteBackTheirOwnBytes) {
  for (const std::string& path : RealFiles()) {
    SCOPED_TRACE(path);
    const std::string file = ReadFileBytes(path);
    TMemoryStream stream(file);
    const TBmpImage image = ReadBmp(stream);
    EXPECT_EQ(stream.Position(), static_cast<int64_t>(file.size()));  // left after the pixels
    ASSERT_FALSE(image.Empty());
    EXPECT_EQ(image.Compression, bcRgb);
    EXPECT_EQ(WithoutResolutionAndCount(Write(image)), WithoutResolutionAndCount(file));
  }
  // The sample's pixels as stored: bottom row first, blue-green-red.
  const TBmpImage checker = Read(ReadFileBytes(testsupport::DataDir("graphics") + "checker.bmp"));
  EXPECT_EQ(checker.Width, 4);
  EXPECT_EQ(checker.Height, 2);
  EXPECT_EQ(checker.BitCount, 24);
  EXPECT_FALSE(checker.TopDown);
  EXPECT_EQ(std::string(checker.Pixels.begin(), checker.Pixels.begin() + 6), std::string("\0\0\xFF\0\xFF\0", 6));
  const TBmpImage sort = Read(ReadFileBytes(RealFiles()[0]));
  EXPECT_EQ(sort.BitCount, 4);
  ASSERT_EQ(sort.Palette.size(), 16u);
  EXPECT_EQ(sort.Palette[0], (TBmpColor{0xFF, 0, 0xFF, 0}));
  EXPECT_EQ(sort.Palette[1], (TBmpColor{0x40, 0x40, 0x40, 0}));
  EXPECT_EQ(sort.Pixels.size(), 9u * 8u);  // 36 bits a row, padded to 64
}

TEST(BmpFile, WriterCountsAShortTableAndPadsRows) {
  TBmpImage mono;
  mono.Width = 10;
  mono.Height = 3;
  mono.BitCount = 1;
  mono.Palette = {TBmpColor{0, 0, 0, 0}, TBmpColor{0xFF, 0xFF, 0xFF, 0}};
  mono.Pixels = {0x80, 0x40, 0, 0, 0xFF, 0xC0, 0, 0, 0, 0, 0, 0};
  Bytes full = BmpHeader(62 + 12, 62, 10, 3, 1, 0, 12);
  full.u32(0x000000).u32(0xFFFFFF).raw(std::string(mono.Pixels.begin(), mono.Pixels.end()));
  EXPECT_EQ(Write(mono), full.s);  // a full table is written as "all colours"

  TBmpImage grey;
  grey.Width = 3;
  grey.Height = 1;
  grey.BitCount = 8;
  grey.Palette = {TBmpColor{1, 2, 3, 0}, TBmpColor{4, 5, 6, 0}};
  grey.Pixels = {0, 1, 0, 0};
  Bytes shortTable = BmpHeader(62 + 4, 62, 3, 1, 8, 0, 4, 2);
  shortTable.u32(0x030201).u32(0x060504).u32(0x00000100);
  EXPECT_EQ(Write(grey), shortTable.s);
  EXPECT_EQ(Read(shortTable.s).Palette, grey.Palette);
}

TEST(BmpFile, OtherLayoutsReadAsStored) {
  // 8 bits, top-down, two colours.
  Bytes b8 = BmpHeader(54 + 8 + 8, 62, 2, -2, 8, 0, 0, 2);
  b8.u32(0x0000FF).u32(0x00FF00).raw(std::string("\x00\x01\0\0\x01\x00\0\0", 8));
  TBmpImage image = Read(b8.s);
  EXPECT_TRUE(image.TopDown);
  EXPECT_EQ(image.Height, 2);
  EXPECT_EQ(image.Pixels, (std::vector<uint8_t>{0, 1, 0, 0, 1, 0, 0, 0}));

  // Run-length codes are kept as they are, as many as the header says.
  Bytes rle = BmpHeader(54 + 8 + 6, 62, 3, 2, 4, bcRle4, 6, 2);
  rle.u32(0).u32(0xFF).raw(std::string("\x03\x01\x00\x00\x00\x01", 6)).raw("tail");
  image = Read(rle.s);
  EXPECT_TRUE(image.RunLength());
  EXPECT_EQ(image.Pixels.size(), 6u);

  // Bit fields: the masks after a 40-byte header, or inside a longer one.
  Bytes b16 = BmpHeader(54 + 12 + 4, 66, 2, 1, 16, bcBitFields);
  b16.u32(0xF800).u32(0x07E0).u32(0x001F).u16(0xF800).u16(0x001F);
  image = Read(b16.s);
  EXPECT_EQ(image.Masks[0], 0xF800u);
  EXPECT_EQ(image.Masks[2], 0x001Fu);
  EXPECT_EQ(image.Pixels.size(), 4u);
  Bytes v4;
  v4.u8('B').u8('M').u32(0).u32(0).u32(14 + 108).u32(108).u32(1).u32(1).u16(1).u16(32).u32(bcBitFields);
  v4.u32(4).u32(0).u32(0).u32(0).u32(0).u32(0xFF0000).u32(0xFF00).u32(0xFF).raw(std::string(108 - 52, '\0'));
  v4.u32(0x00112233);
  image = Read(v4.s);
  EXPECT_EQ(image.Masks[0], 0xFF0000u);
  EXPECT_EQ(image.Masks[1], 0xFF00u);
  EXPECT_EQ(image.Masks[2], 0xFFu);

  // The old core header: triples become quads.
  Bytes core;
  core.u8('B').u8('M').u32(0).u32(0).u32(14 + 12 + 6).u32(12).u16(2).u16(1).u16(1).u16(1);
  core.u8(1).u8(2).u8(3).u8(4).u8(5).u8(6).raw(std::string("\x40\0\0\0", 4));
  image = Read(core.s);
  EXPECT_EQ(image.Palette, (std::vector<TBmpColor>{{1, 2, 3, 0}, {4, 5, 6, 0}}));
  EXPECT_EQ(image.Pixels, (std::vector<uint8_t>{0x40, 0, 0, 0}));

  EXPECT_TRUE(Read("").Empty());  // an empty stream is an empty picture
}

TEST(BmpFile, HostileHeadersAreRefused) {
  const std::string invalid = "Bitmap image is not valid";
  Bytes good = BmpHeader(54 + 24, 54, 3, 2, 24, 0, 24);
  good.raw(std::string(24, '\x10'));
  const std::string s = good.s;
  ASSERT_EQ(ReadMessage(s), "(no exception)");
  EXPECT_EQ(ReadMessage(s.substr(0, 10)), invalid);     // shorter than its file header
  EXPECT_EQ(ReadMessage(s.substr(0, 60)), invalid);     // pixel rows cut off
  EXPECT_EQ(ReadMessage("XX" + s.substr(2)), invalid);  // not a bitmap
  const std::string rows(24, '\0');
  EXPECT_EQ(ReadMessage(BmpHeader(78, 54, 0x7FFFFFFF, 2, 24).raw(rows).s), invalid);  // huge width
  EXPECT_EQ(ReadMessage(BmpHeader(78, 54, 30000, 30000, 24).raw(rows).s), invalid);  // too many pixels
  EXPECT_EQ(ReadMessage(BmpHeader(78, 54, 8000, 8000, 24).raw(rows).s), invalid);    // rows not there
  EXPECT_EQ(ReadMessage(BmpHeader(78, 54, 3, 0, 24).raw(rows).s), invalid);          // no rows
  EXPECT_EQ(ReadMessage(BmpHeader(78, 54, -3, 2, 24).raw(rows).s), invalid);         // negative width
  EXPECT_EQ(ReadMessage(BmpHeader(78, 0xFFFFFF00u, 3, 2, 24).raw(rows).s), invalid);  // offset past the end
  EXPECT_EQ(ReadMessage(BmpHeader(78, 20, 3, 2, 24).raw(rows).s), invalid);          // offset inside the header
  EXPECT_EQ(ReadMessage(BmpHeader(78, 54, 3, 2, 7).raw(rows).s), invalid);           // no such depth
  EXPECT_EQ(ReadMessage(BmpHeader(78, 54, 3, 2, 24, 9).raw(rows).s), invalid);       // no such compression
  EXPECT_EQ(ReadMessage(BmpHeader(78, 54, 3, 2, 24, bcBitFields).raw(rows).s), invalid);  // fields of 24 bits
  EXPECT_EQ(ReadMessage(BmpHeader(78, 54, 3, 2, 8, bcRle4).raw(rows).s), invalid);   // 4-bit codes for 8 bits
  EXPECT_EQ(ReadMessage(BmpHeader(70, 62, 2, 2, 1, 0, 0, 3).raw(std::string(16, '\0')).s), invalid);  // 3 colours
  EXPECT_EQ(ReadMessage(BmpHeader(70, 54, 2, 2, 8, 0, 0, 2).raw(std::string(16, '\0')).s), invalid);  // table overlaps
  EXPECT_EQ(ReadMessage(BmpHeader(70, 54, 4, -2, 8, bcRle8, 8).raw(std::string(8, '\0')).s), invalid);  // top-down RLE
  EXPECT_EQ(ReadMessage(BmpHeader(70, 54, 4, 2, 8, bcRle8, 0xFFFFFF).raw(std::string(8, '\0')).s), invalid);
  EXPECT_EQ(ReadMessage(BmpHeader(70, 54, 4, 2, 8, bcRle8, 0).raw(std::string(8, '\0')).s), invalid);  // no codes
  // Masks running into the pixels.
  EXPECT_EQ(ReadMessage(BmpHeader(66, 54, 2, 1, 16, bcBitFields).raw(std::string(8, '\0')).s), invalid);
  Bytes planes = BmpHeader(78, 54, 3, 2, 24);
  planes.s[26] = 2;
  EXPECT_EQ(ReadMessage(planes.raw(rows).s), invalid);  // two planes
  Bytes bigHeader;
  bigHeader.u8('B').u8('M').u32(200).u32(0).u32(200).u32(5000);
  EXPECT_EQ(ReadMessage(bigHeader.raw(std::string(186, '\0')).s), invalid);  // header size unknown

  auto core = [](uint32_t offBits, unsigned w, unsigned h, unsigned planeCount, unsigned bits) {
    Bytes b;
    b.u8('B').u8('M').u32(0).u32(0).u32(offBits).u32(12).u16(w).u16(h).u16(planeCount).u16(bits);
    return b;
  };
  const std::string table8(3 * 256, '\x10');
  EXPECT_EQ(ReadMessage(core(26 + 768, 2, 2, 1, 8).raw(table8).raw(std::string(8, '\0')).s), "(no exception)");
  EXPECT_EQ(ReadMessage(core(26 + 768, 2, 2, 1, 8).raw(table8).raw(std::string(7, '\0')).s), invalid);
  EXPECT_EQ(ReadMessage(core(26 + 300, 2, 2, 1, 8).raw(table8).raw(std::string(8, '\0')).s), invalid);
  EXPECT_EQ(ReadMessage(core(26, 2, 2, 1, 16).raw(std::string(8, '\0')).s), invalid);  // no 16 bits in the old form
  EXPECT_EQ(ReadMessage(core(26, 65535, 65535, 1, 24).raw(std::string(16, '\0')).s), invalid);
  EXPECT_EQ(ReadMessage(core(26, 2, 2, 1, 24).s.substr(0, 20)), invalid);  // header cut off
}

TEST(BmpFile, EveryCutOfARealFileIsRefused) {
  for (const std::string& path : RealFiles()) {
    SCOPED_TRACE(path);
    const std::string file = ReadFileBytes(path);
    for (size_t n = 1; n < file.size(); ++n)
      ASSERT_EQ(ReadMessage(file.substr(0, n)), "Bitmap image is not valid") << "cut at " << n;
  }
}
