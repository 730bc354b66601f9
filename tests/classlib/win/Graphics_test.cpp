#include "Graphics.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ByteBuilder.h"
#include "TestSupport.h"
#include "WinString.h"

namespace {

using cl::TBitmap;
using cl::TColor;

using testsupport::BmpHeader;
using testsupport::Bytes;

// A 3 x 2 24-bit file as the writer makes it: rows of 9 bytes padded to 12, bottom row first.
std::string Bmp24() {
  Bytes b = BmpHeader(54 + 24, 54, 3, 2, 24, 0, 24);
  b.raw(std::string("\x00\x00\xFF" "\x00\xFF\x00" "\xFF\x00\x00" "\x01\x02\x03", 12));  // bottom: red green blue
  b.raw(std::string("\xFF\xFF\xFF" "\x00\x00\x00" "\x80\x80\x80" "\x00\x00\x00", 12));  // top: white black grey
  return b.s;
}

// A 10 x 3 1-bit file: black/white table, rows of 2 bytes padded to 4.
std::string Bmp1() {
  Bytes b = BmpHeader(62 + 12, 62, 10, 3, 1, 0, 12);
  b.u32(0x000000).u32(0xFFFFFF);
  b.raw(std::string("\x80\x40\x00\x00", 4));  // bottom row: pixel 0 and pixel 9 white
  b.raw(std::string("\xFF\xC0\x00\x00", 4));  // all white
  b.raw(std::string("\x00\x00\x00\x00", 4));  // top row: all black
  return b.s;
}

TColor At(TBitmap& bmp, int x, int y) {
  auto* row = static_cast<const uint8_t*>(bmp.ScanLine(y));
  const int bytes = bmp.PixelFormat() == cl::pf32bit ? 4 : 3;
  return cl::RGBColor(row[x * bytes + 2], row[x * bytes + 1], row[x * bytes]);
}

void Load(TBitmap& bmp, const std::string& bytes) {
  cl::TMemoryStream stream(bytes);
  bmp.LoadFromStream(stream);
}

std::string Save(cl::TGraphic& g) {
  cl::TMemoryStream out;
  g.SaveToStream(out);
  return std::string(out.Bytes());
}

TEST(Graphics, FillRectWithFixedAndSystemColours) {
  TBitmap bmp;
  bmp.SetSize(20, 10);
  EXPECT_EQ(bmp.PixelFormat(), cl::pf24bit);
  EXPECT_EQ(At(bmp, 19, 9), cl::clWhite);  // a new bitmap is white
  cl::TCanvas* c = bmp.Canvas();
  c->Brush()->SetColor(cl::clRed);
  c->FillRect(cl::Rect(0, 0, 10, 10));
  c->Brush()->SetColor(cl::clBtnFace);
  c->FillRect(cl::Rect(10, 0, 20, 5));
  c->Brush()->SetColor(cl::clHighlight);
  c->FillRect(cl::Rect(10, 5, 20, 10));

  EXPECT_EQ(At(bmp, 0, 0), cl::RGBColor(255, 0, 0));
  EXPECT_EQ(At(bmp, 9, 9), cl::RGBColor(255, 0, 0));
  EXPECT_EQ(At(bmp, 10, 0), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(At(bmp, 19, 9), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(c->Pixels(15, 2), cl::ColorToRGB(cl::clBtnFace));
  EXPECT_EQ(c->Pixels(25, 2), cl::clNone);  // outside

  c->SetPixels(3, 4, cl::clFuchsia);
  EXPECT_EQ(At(bmp, 3, 4), 0xFF00FFu);
  c->Pen()->SetColor(cl::clBlue);
  c->MoveTo(0, 8);
  c->LineTo(5, 8);
  EXPECT_EQ(At(bmp, 4, 8), cl::clBlue);
  EXPECT_EQ(At(bmp, 5, 8), cl::clRed);  // the end point is not drawn
  EXPECT_EQ(c->PenPos(), cl::Point(5, 8));

  c->Brush()->SetColor(cl::clLime);
  c->FrameRect(cl::Rect(12, 1, 18, 4));
  EXPECT_EQ(At(bmp, 12, 1), cl::clLime);
  EXPECT_EQ(At(bmp, 14, 2), GetSysColor(COLOR_BTNFACE));  // inside stays
}

TEST(Graphics, TextIsDrawnInTheFontColourOnTheBrush) {
  TBitmap bmp;
  bmp.SetSize(120, 30);
  cl::TCanvas* c = bmp.Canvas();
  c->Brush()->SetColor(cl::clWhite);
  c->FillRect(cl::Rect(0, 0, 120, 30));
  c->Font()->SetColor(cl::clBlack);
  c->Font()->SetName("Tahoma");
  c->Font()->SetSize(10);
  const cl::TSize extent = c->TextExtent("Hello");
  EXPECT_GT(extent.cx, 10);
  EXPECT_GT(extent.cy, 8);
  EXPECT_EQ(c->TextWidth("HelloHello") > extent.cx, true);
  c->Brush()->SetStyle(cl::bsClear);
  c->TextOut(2, 2, "Hello");
  int black = 0, outside = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 120; ++x) {
      const TColor p = At(bmp, x, y);
      const bool inText = x >= 2 && x < 2 + extent.cx && y >= 2 && y < 2 + extent.cy;
      if (p != cl::clWhite && !inText) ++outside;
      if (p == cl::clBlack && inText) ++black;
    }
  EXPECT_GT(black, 10);
  EXPECT_EQ(outside, 0);

  // Opaque text fills its cell with the brush colour; TextRect clips to its rectangle.
  c->Brush()->SetStyle(cl::bsSolid);
  c->Brush()->SetColor(cl::clYellow);
  c->TextRect(cl::Rect(60, 0, 70, 30), 60, 2, "WWWWWW");
  EXPECT_EQ(At(bmp, 60, 29), cl::clYellow);  // the whole rectangle is filled
  EXPECT_EQ(At(bmp, 71, 5), cl::clWhite);    // nothing beyond it
}

TEST(Graphics, TransparentDrawingLeavesTheKeyColourOut) {
  TBitmap sprite;
  sprite.SetSize(4, 4);
  sprite.Canvas()->Brush()->SetColor(cl::clFuchsia);
  sprite.Canvas()->FillRect(cl::Rect(0, 0, 4, 4));
  sprite.Canvas()->Brush()->SetColor(cl::clBlue);
  sprite.Canvas()->FillRect(cl::Rect(1, 1, 3, 3));
  sprite.SetTransparent(true);
  EXPECT_EQ(sprite.TransparentMode(), cl::tmAuto);
  EXPECT_EQ(sprite.TransparentColor(), 0xFF00FFu);  // the bottom-left pixel

  TBitmap back;
  back.SetSize(12, 8);
  back.Canvas()->Brush()->SetColor(cl::clGreen);
  back.Canvas()->FillRect(cl::Rect(0, 0, 12, 8));
  back.Canvas()->Draw(0, 0, &sprite);
  EXPECT_EQ(At(back, 0, 0), cl::clGreen);
  EXPECT_EQ(At(back, 3, 3), cl::clGreen);
  EXPECT_EQ(At(back, 1, 1), cl::clBlue);
  EXPECT_EQ(At(back, 2, 2), cl::clBlue);

  // Stretched to twice the size, the key still stays out.
  back.Canvas()->StretchDraw(cl::Rect(4, 0, 12, 8), &sprite);
  EXPECT_EQ(At(back, 4, 0), cl::clGreen);
  EXPECT_EQ(At(back, 5, 1), cl::clGreen);
  EXPECT_EQ(At(back, 6, 2), cl::clBlue);
  EXPECT_EQ(At(back, 9, 5), cl::clBlue);
  EXPECT_EQ(At(back, 11, 7), cl::clGreen);

  // A fixed colour: now the blue part is left out and the magenta drawn.
  sprite.SetTransparentColor(cl::clBlue);
  EXPECT_EQ(sprite.TransparentMode(), cl::tmFixed);
  back.Canvas()->Draw(0, 4, &sprite);
  EXPECT_EQ(At(back, 0, 4), 0xFF00FFu);
  EXPECT_EQ(At(back, 1, 5), cl::clGreen);

  // The mask operation: white where the colour was.
  TBitmap mask;
  mask.Assign(&sprite);
  mask.Mask(cl::clFuchsia);
  EXPECT_EQ(mask.PixelFormat(), cl::pf1bit);
  EXPECT_EQ(mask.Canvas()->Pixels(0, 0), cl::clWhite);
  EXPECT_EQ(mask.Canvas()->Pixels(1, 1), cl::clBlack);
}

TEST(Graphics, BmpFilesRoundTripByteForByte) {
  TBitmap bmp;
  Load(bmp, Bmp24());
  ASSERT_EQ(bmp.Width(), 3);
  ASSERT_EQ(bmp.Height(), 2);
  EXPECT_EQ(bmp.PixelFormat(), cl::pf24bit);
  EXPECT_EQ(At(bmp, 0, 1), cl::clRed);
  EXPECT_EQ(At(bmp, 2, 1), cl::clBlue);
  EXPECT_EQ(At(bmp, 2, 0), cl::RGBColor(128, 128, 128));
  EXPECT_EQ(Save(bmp), Bmp24());

  TBitmap mono;
  Load(mono, Bmp1());
  ASSERT_EQ(mono.PixelFormat(), cl::pf1bit);
  EXPECT_EQ(mono.Canvas()->Pixels(0, 2), cl::clWhite);
  EXPECT_EQ(mono.Canvas()->Pixels(1, 2), cl::clBlack);
  EXPECT_EQ(mono.Canvas()->Pixels(9, 2), cl::clWhite);
  EXPECT_EQ(mono.Canvas()->Pixels(5, 0), cl::clBlack);
  EXPECT_EQ(Save(mono), Bmp1());

  // A copy saves the same bytes; an empty bitmap saves none.
  TBitmap copy;
  copy.Assign(&bmp);
  EXPECT_EQ(Save(copy), Bmp24());
  copy.Assign(nullptr);
  EXPECT_TRUE(copy.Empty());
  EXPECT_EQ(Save(copy), "");

  // Through a file, and a stream that holds more after the picture.
  testsupport::TempDir dir;
  bmp.SaveToFile(dir.File("a.bmp"));
  TBitmap fromFile;
  fromFile.LoadFromFile(dir.File("a.bmp"));
  EXPECT_EQ(Save(fromFile), Bmp24());
  cl::TMemoryStream two(Bmp1() + "tail");
  fromFile.LoadFromStream(two);
  EXPECT_EQ(two.Position(), static_cast<int64_t>(Bmp1().size()));
}

TEST(Graphics, OtherBmpLayoutsAreRead) {
  // 8 bits with a 2-colour table, top-down rows.
  Bytes b8 = BmpHeader(54 + 8 + 8, 62, 2, -2, 8, 0, 0, 2);
  b8.u32(0x00FF0000).u32(0x0000FF00);  // index 0 red, 1 green (blue-green-red-x)
  b8.raw(std::string("\x00\x01\x00\x00", 4)).raw(std::string("\x01\x01\x00\x00", 4));
  TBitmap bmp;
  Load(bmp, b8.s);
  EXPECT_EQ(bmp.PixelFormat(), cl::pf8bit);
  EXPECT_EQ(bmp.Canvas()->Pixels(0, 0), cl::clRed);
  EXPECT_EQ(bmp.Canvas()->Pixels(1, 0), cl::clLime);
  EXPECT_EQ(bmp.Canvas()->Pixels(0, 1), cl::clLime);

  // 4 bits, run-length encoded: 3 pixels of index 1 (blue), end of line, 3 of index 0; end of bitmap.
  Bytes rle = BmpHeader(54 + 8 + 8, 62, 3, 2, 4, BI_RLE4, 8, 2);
  rle.u32(0x00000000).u32(0x000000FF);
  rle.raw(std::string("\x03\x11\x00\x00\x03\x00\x00\x01", 8));
  Load(bmp, rle.s);
  EXPECT_EQ(bmp.PixelFormat(), cl::pf4bit);
  EXPECT_EQ(bmp.Canvas()->Pixels(2, 1), cl::clBlue);  // the first row of the file is the bottom one
  EXPECT_EQ(bmp.Canvas()->Pixels(0, 0), cl::clBlack);

  // 16 bits (5-5-5) comes in as 24 bits.
  Bytes b16 = BmpHeader(54 + 4, 54, 2, 1, 16);
  b16.u16(0x7C00).u16(0x001F);  // red, blue
  Load(bmp, b16.s);
  EXPECT_EQ(bmp.PixelFormat(), cl::pf24bit);
  EXPECT_EQ(At(bmp, 0, 0), cl::clRed);
  EXPECT_EQ(At(bmp, 1, 0), cl::clBlue);

  // 32 bits.
  Bytes b32 = BmpHeader(54 + 4, 54, 1, 1, 32);
  b32.u32(0x0011FF22);
  Load(bmp, b32.s);
  EXPECT_EQ(bmp.PixelFormat(), cl::pf32bit);
  EXPECT_EQ(At(bmp, 0, 0), cl::RGBColor(0x11, 0xFF, 0x22));
}

// One picture in both header forms: the 12-byte core header with a table of RGB triples, and the
// 40-byte info header with RGB quads, as the writer makes it (full tables, bottom-up rows).
struct TwoForms {
  std::string core, info;
};
TwoForms PictureInBothForms(unsigned bits, int width, int height) {
  const uint32_t colours = bits <= 8 ? 1u << bits : 0;
  const uint32_t stride = (static_cast<uint32_t>(width) * bits + 31) / 32 * 4;
  std::string rows;
  for (int y = 0; y < height; ++y)
    for (uint32_t i = 0; i < stride; ++i)  // any bytes: every index is inside the full table
      rows.push_back(static_cast<char>(i < (static_cast<uint32_t>(width) * bits + 7) / 8 ? 37 * y + 11 * i + 5 : 0));
  Bytes core, info;
  const uint32_t coreOff = 14 + 12 + 3 * colours, infoOff = 14 + 40 + 4 * colours;
  core.u8('B').u8('M').u32(coreOff + static_cast<uint32_t>(rows.size())).u32(0).u32(coreOff);
  core.u32(12).u16(static_cast<unsigned>(width)).u16(static_cast<unsigned>(height)).u16(1).u16(bits);
  info = BmpHeader(infoOff + static_cast<uint32_t>(rows.size()), infoOff, width, height, bits, 0,
                   static_cast<uint32_t>(rows.size()));
  for (uint32_t i = 0; i < colours; ++i) {
    const unsigned b = (i * 53) & 0xFF, g = (i * 101 + 7) & 0xFF, r = (255 - i * 29) & 0xFF;
    core.u8(b).u8(g).u8(r);
    info.u8(b).u8(g).u8(r).u8(0);
  }
  core.raw(rows);
  info.raw(rows);
  return {core.s, info.s};
}

std::vector<PALETTEENTRY> Entries(HPALETTE palette) {
  std::vector<PALETTEENTRY> entries(GetPaletteEntries(palette, 0, 0, nullptr));
  GetPaletteEntries(palette, 0, static_cast<UINT>(entries.size()), entries.data());
  return entries;
}

TEST(Graphics, ABitmapsPaletteIsItsColourTableOrTheOneGivenAndGoesWithIt) {
  const long held = cl::GdiHandlesHeld();
  {
    Bytes b8 = BmpHeader(54 + 8 + 8, 62, 2, -2, 8, 0, 0, 2);
    b8.u32(0x00FF0000).u32(0x0000FF00);  // red, green
    b8.raw(std::string("\x00\x01\x00\x00", 4)).raw(std::string("\x01\x01\x00\x00", 4));
    TBitmap bmp;
    Load(bmp, b8.s);
    const HPALETTE table = bmp.Palette();
    ASSERT_NE(table, nullptr);
    const std::vector<PALETTEENTRY> entries = Entries(table);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(RGB(entries[0].peRed, entries[0].peGreen, entries[0].peBlue), RGB(255, 0, 0));
    EXPECT_EQ(RGB(entries[1].peRed, entries[1].peGreen, entries[1].peBlue), RGB(0, 255, 0));
    EXPECT_EQ(bmp.Palette(), table);  // kept

    // 24 bits have no table, so no palette, until one is given; a copy of the bitmap copies it.
    TBitmap deep;
    deep.Assign(&bmp);
    deep.SetPixelFormat(cl::pf24bit);
    EXPECT_EQ(deep.Palette(), nullptr);
    int changes = 0;
    deep.OnChange = [&](cl::TObject*) { ++changes; };
    deep.SetPalette(cl::CopyPalette(table));
    EXPECT_EQ(changes, 1);
    ASSERT_NE(deep.Palette(), nullptr);
    EXPECT_NE(deep.Palette(), table);
    EXPECT_EQ(Entries(deep.Palette()).size(), 2u);
    TBitmap copy;
    copy.Assign(&deep);
    ASSERT_NE(copy.Palette(), nullptr);
    EXPECT_NE(copy.Palette(), deep.Palette());
    EXPECT_EQ(Entries(copy.Palette())[1].peGreen, 255);
    EXPECT_EQ(cl::CopyPalette(nullptr), nullptr);
  }
  EXPECT_EQ(cl::GdiHandlesHeld(), held);
}

TEST(Graphics, CoreHeaderBmpsReadAsTheirInfoHeaderTwins) {
  for (unsigned bits : {1u, 4u, 8u, 24u}) {
    SCOPED_TRACE("bits " + std::to_string(bits));
    const TwoForms forms = PictureInBothForms(bits, 7, 3);
    TBitmap fromCore, fromInfo;
    Load(fromCore, forms.core);
    Load(fromInfo, forms.info);
    ASSERT_EQ(fromCore.Width(), 7);
    ASSERT_EQ(fromCore.Height(), 3);
    EXPECT_EQ(fromCore.PixelFormat(), fromInfo.PixelFormat());
    EXPECT_EQ(Save(fromInfo), forms.info);  // the twin is the writer's own form...
    EXPECT_EQ(Save(fromCore), forms.info);  // ...and the core form reads to the same bytes
  }
  // The 1-bit table's order holds: index 0 is the first triple.
  Bytes mono;
  mono.u8('B').u8('M').u32(14 + 12 + 6 + 4).u32(0).u32(14 + 12 + 6);
  mono.u32(12).u16(2).u16(1).u16(1).u16(1);
  mono.u8(0).u8(0).u8(255).u8(255).u8(0).u8(0);  // red, blue
  mono.raw(std::string("\x40\0\0\0", 4));       // pixel 0 index 0, pixel 1 index 1
  TBitmap bmp;
  Load(bmp, mono.s);
  EXPECT_EQ(bmp.Canvas()->Pixels(0, 0), cl::clRed);
  EXPECT_EQ(bmp.Canvas()->Pixels(1, 0), cl::clBlue);
}

TEST(Graphics, HostileCoreHeadersAreRefused) {
  TBitmap bmp;
  auto refused = [&](const std::string& bytes) {
    return testsupport::MessageOf<cl::EInvalidGraphic>([&] { Load(bmp, bytes); }) == "Bitmap image is not valid";
  };
  auto core = [](uint32_t offBits, unsigned w, unsigned h, unsigned planes, unsigned bits) {
    Bytes b;
    b.u8('B').u8('M').u32(0).u32(0).u32(offBits).u32(12).u16(w).u16(h).u16(planes).u16(bits);
    return b;
  };
  const std::string table8(3 * 256, '\x10');
  EXPECT_FALSE(refused(core(26 + 768, 2, 2, 1, 8).raw(table8).raw(std::string(8, '\0')).s));  // the good one
  EXPECT_TRUE(refused(core(26 + 768, 2, 2, 1, 8).raw(table8).raw(std::string(7, '\0')).s));   // rows cut off
  EXPECT_TRUE(refused(core(26 + 300, 2, 2, 1, 8).raw(table8).raw(std::string(8, '\0')).s));   // table runs into rows
  EXPECT_TRUE(refused(core(26, 2, 2, 1, 16).raw(std::string(8, '\0')).s));    // no 16 bits in the old form
  EXPECT_TRUE(refused(core(26, 2, 2, 1, 32).raw(std::string(16, '\0')).s));   // nor 32
  EXPECT_TRUE(refused(core(26, 0, 2, 1, 24).raw(std::string(8, '\0')).s));    // no columns
  EXPECT_TRUE(refused(core(26, 2, 0, 1, 24).raw(std::string(8, '\0')).s));    // no rows
  EXPECT_TRUE(refused(core(26, 2, 2, 2, 24).raw(std::string(16, '\0')).s));   // two planes
  EXPECT_TRUE(refused(core(26, 65535, 65535, 1, 24).raw(std::string(16, '\0')).s));  // far too large
  EXPECT_TRUE(refused(core(20, 2, 2, 1, 24).raw(std::string(16, '\0')).s));   // offset inside the header
  EXPECT_TRUE(refused(core(26, 2, 2, 1, 24).s.substr(0, 20)));                // header cut off
}

TEST(Graphics, HostileBmpHeadersAreRefused) {
  TBitmap bmp;
  Load(bmp, Bmp24());
  const std::string good = Save(bmp);
  auto refused = [&](const std::string& bytes) {
    const std::string message = testsupport::MessageOf<cl::EInvalidGraphic>([&] { Load(bmp, bytes); });
    return message == "Bitmap image is not valid" && Save(bmp) == good;  // and the picture is kept
  };
  std::string s = Bmp24();
  EXPECT_TRUE(refused(s.substr(0, 10)));                       // shorter than its file header
  EXPECT_TRUE(refused(s.substr(0, 60)));                       // pixel rows cut off
  EXPECT_TRUE(refused("XX" + s.substr(2)));                    // not a bitmap
  EXPECT_TRUE(refused(BmpHeader(78, 54, 0x7FFFFFFF, 2, 24).raw(std::string(24, '\0')).s));  // huge width
  EXPECT_TRUE(refused(BmpHeader(78, 54, 30000, 30000, 24).raw(std::string(24, '\0')).s));  // rows not there
  EXPECT_TRUE(refused(BmpHeader(78, 54, 3, 0, 24).raw(std::string(24, '\0')).s));          // no rows
  EXPECT_TRUE(refused(BmpHeader(78, 0xFFFFFF00u, 3, 2, 24).raw(std::string(24, '\0')).s));  // offset past the end
  EXPECT_TRUE(refused(BmpHeader(78, 20, 3, 2, 24).raw(std::string(24, '\0')).s));          // offset inside the header
  EXPECT_TRUE(refused(BmpHeader(78, 54, 3, 2, 7).raw(std::string(24, '\0')).s));           // no such depth
  EXPECT_TRUE(refused(BmpHeader(78, 54, 3, 2, 24, 9).raw(std::string(24, '\0')).s));       // no such compression
  EXPECT_TRUE(refused(BmpHeader(70, 62, 2, 2, 1, 0, 0, 3).raw(std::string(16, '\0')).s));  // 3 colours for 1 bit
  EXPECT_TRUE(refused(BmpHeader(70, 54, 2, 2, 8, 0, 0, 2).raw(std::string(16, '\0')).s));  // table runs into pixels
  EXPECT_TRUE(refused(BmpHeader(70, 54, 4, -2, 8, BI_RLE8, 8).raw(std::string(8, '\0')).s));  // top-down RLE
  EXPECT_TRUE(refused(BmpHeader(70, 54, 4, 2, 8, BI_RLE8, 0xFFFFFF).raw(std::string(8, '\0')).s));  // RLE past end
  Bytes bigHeader;
  bigHeader.u8('B').u8('M').u32(200).u32(0).u32(200).u32(5000);
  EXPECT_TRUE(refused(bigHeader.raw(std::string(186, '\0')).s));  // header size unknown

  // An empty stream is an empty picture.
  Load(bmp, "");
  EXPECT_TRUE(bmp.Empty());
}

TEST(Graphics, SizeAndFormatChangesKeepThePixels) {
  TBitmap bmp;
  bmp.SetSize(4, 4);
  bmp.Canvas()->Brush()->SetColor(cl::clBlack);
  bmp.Canvas()->FillRect(cl::Rect(0, 0, 2, 2));
  SetStretchBltMode(bmp.Canvas()->Handle(), COLORONCOLOR);
  const HDC dc = bmp.Canvas()->Handle();
  bmp.SetSize(6, 3);
  EXPECT_EQ(bmp.Canvas()->Handle(), dc);  // the same context, with its settings
  EXPECT_EQ(GetStretchBltMode(dc), COLORONCOLOR);
  EXPECT_EQ(At(bmp, 1, 1), cl::clBlack);
  EXPECT_EQ(At(bmp, 2, 1), cl::clWhite);
  EXPECT_EQ(At(bmp, 5, 2), cl::clWhite);  // new pixels are white

  bmp.SetPixelFormat(cl::pf1bit);
  EXPECT_EQ(bmp.BytesPerScanLine(), 4);
  EXPECT_EQ(static_cast<uint8_t*>(bmp.ScanLine(0))[0] & 0xFC, 0x3C);  // 2 black, 4 white, high bit first
  bmp.SetPixelFormat(cl::pf32bit);
  EXPECT_EQ(At(bmp, 0, 0), cl::clBlack);
  EXPECT_EQ(At(bmp, 3, 0), cl::clWhite);
  EXPECT_EQ(testsupport::MessageOf<cl::EInvalidGraphicOperation>([&] { bmp.ScanLine(3); }),
            "Scan line index out of range");

  // The handle may be used elsewhere and given away.
  HBITMAP h = bmp.Handle();
  BITMAP info{};
  ASSERT_EQ(GetObjectW(h, sizeof(info), &info), static_cast<int>(sizeof(info)));
  EXPECT_EQ(info.bmWidth, 6);
  h = bmp.ReleaseHandle();
  EXPECT_TRUE(bmp.Empty());
  TBitmap other;
  other.SetHandle(h);  // and taken back by another
  EXPECT_EQ(other.Width(), 6);
  EXPECT_EQ(other.PixelFormat(), cl::pf32bit);
  EXPECT_EQ(At(other, 0, 0), cl::clBlack);
}

TEST(Graphics, ResourcesAndCanvasBinding) {
  TBitmap bmp;
  bmp.LoadFromResourceName(GetModuleHandleW(nullptr), "HKCHECKER");
  ASSERT_EQ(bmp.Width(), 4);
  EXPECT_EQ(bmp.Canvas()->Pixels(0, 1), cl::clRed);
  EXPECT_EQ(bmp.Canvas()->Pixels(3, 0), 0xFF00FFu);
  EXPECT_EQ(testsupport::MessageOf<cl::EResNotFound>(
                [&] { bmp.LoadFromResourceName(GetModuleHandleW(nullptr), "NOSUCHBMP"); }),
            "Resource NOSUCHBMP not found");

  cl::TCanvas canvas;
  EXPECT_EQ(testsupport::MessageOf<cl::EInvalidOperation>([&] { canvas.FillRect(cl::Rect(0, 0, 1, 1)); }),
            "Canvas does not allow drawing");
  // A borrowed context: the canvas's objects leave it when the canvas lets go.
  HDC dc = CreateCompatibleDC(nullptr);
  const HGDIOBJ stockFont = GetCurrentObject(dc, OBJ_FONT);
  int released = 0;
  canvas.SetHandle(dc, [&](HDC d) {
    ++released;
    DeleteDC(d);
  });
  canvas.TextExtent("x");
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), canvas.Font()->Handle());
  canvas.Font()->SetHeight(-20);  // the font changes: out of the context first
  EXPECT_NE(GetCurrentObject(dc, OBJ_FONT), canvas.Font()->Handle());
  canvas.SetHandle(nullptr);
  EXPECT_EQ(released, 1);
  (void)stockFont;

  // CopyRect between two bitmaps.
  TBitmap target;
  target.SetSize(8, 2);
  target.Canvas()->CopyRect(cl::Rect(0, 0, 8, 2), bmp.Canvas(), cl::Rect(0, 0, 4, 2));
  EXPECT_EQ(target.Canvas()->Pixels(0, 1), cl::clRed);
  EXPECT_EQ(target.Canvas()->Pixels(7, 0), 0xFF00FFu);
}

TEST(Graphics, FontsPensAndBrushes) {
  cl::TFont font;
  EXPECT_EQ(font.Name(), "MS Sans Serif");
  EXPECT_EQ(font.Height(), -11);
  EXPECT_EQ(font.Size(), 8);  // at 96 pixels per inch
  int changes = 0;
  font.OnChange = [&](cl::TObject*) { ++changes; };
  font.SetSize(8);
  EXPECT_EQ(changes, 0);  // the same value
  font.SetStyle({cl::fsBold, cl::fsUnderline});
  font.SetName("Tahoma");
  EXPECT_EQ(changes, 2);
  LOGFONTW lf{};
  ASSERT_TRUE(GetObjectW(font.Handle(), sizeof(lf), &lf));
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_TRUE(lf.lfUnderline);
  EXPECT_EQ(cl::FromWide(lf.lfFaceName), "Tahoma");

  // A font made elsewhere: the properties come from it.
  LOGFONTW made{};
  made.lfHeight = -15;
  made.lfItalic = TRUE;
  made.lfCharSet = 134;
  wcscpy(made.lfFaceName, L"Arial");
  cl::TFont other;
  other.SetHandle(CreateFontIndirectW(&made));
  EXPECT_EQ(other.Name(), "Arial");
  EXPECT_EQ(other.Height(), -15);
  EXPECT_EQ(other.Style(), cl::TFontStyles{cl::fsItalic});
  EXPECT_EQ(other.Charset(), 134);
  font.Assign(&other);
  EXPECT_EQ(font.Name(), "Arial");
  EXPECT_EQ(changes, 3);

  cl::TBrush brush;
  brush.SetStyle(cl::bsClear);
  LOGBRUSH lb{};
  ASSERT_TRUE(GetObjectW(brush.Handle(), sizeof(lb), &lb));
  EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_HOLLOW));
  cl::TPen pen;
  pen.SetWidth(3);
  pen.SetColor(cl::clBtnShadow);
  LOGPEN lp{};
  ASSERT_TRUE(GetObjectW(pen.Handle(), sizeof(lp), &lp));
  EXPECT_EQ(lp.lopnWidth.x, 3);
  EXPECT_EQ(lp.lopnColor, GetSysColor(COLOR_BTNSHADOW));
}

// An icon file of one 32-bit image of n x n pixels of one opaque colour.
std::string IconFile(int n, TColor rgb) {
  const int andStride = (n + 31) / 32 * 4;
  const uint32_t imageSize = 40 + n * n * 4 + andStride * n;
  Bytes b;
  b.u16(0).u16(1).u16(1);
  b.u8(n).u8(n).u8(0).u8(0).u16(1).u16(32).u32(imageSize).u32(22);
  b.u32(40).u32(n).u32(2 * n).u16(1).u16(32).u32(0).u32(imageSize - 40).u32(0).u32(0).u32(0).u32(0);
  for (int i = 0; i < n * n; ++i) b.u8((rgb >> 16) & 0xFF).u8((rgb >> 8) & 0xFF).u8(rgb & 0xFF).u8(0xFF);
  b.raw(std::string(static_cast<size_t>(andStride) * n, '\0'));
  return b.s;
}

TEST(Graphics, IconsFromFilesAndResources) {
  cl::TIcon icon;
  icon.SetSize(16, 16);
  {
    cl::TMemoryStream stream(IconFile(16, cl::clRed));
    icon.LoadFromStream(stream);
  }
  ASSERT_FALSE(icon.Empty());
  EXPECT_EQ(icon.Width(), 16);
  EXPECT_EQ(Save(icon), IconFile(16, cl::clRed));  // the file as read

  TBitmap bmp;
  bmp.SetSize(20, 20);
  bmp.Canvas()->Draw(2, 2, &icon);
  EXPECT_EQ(At(bmp, 2, 2), cl::clRed);
  EXPECT_EQ(At(bmp, 17, 17), cl::clRed);
  EXPECT_EQ(At(bmp, 18, 18), cl::clWhite);

  // The image of the wanted size is picked from a file with two.
  const std::string file = testsupport::DataDir("graphics") + "two-sizes.ico";
  cl::TIcon large;
  large.SetSize(32, 32);
  large.LoadFromFile(file);
  EXPECT_EQ(large.Width(), 32);
  bmp.Canvas()->Draw(0, 0, &large);
  EXPECT_EQ(At(bmp, 5, 5), cl::clBlue);
  cl::TIcon small;
  small.SetSize(16, 16);
  small.LoadFromFile(file);
  EXPECT_EQ(small.Width(), 16);
  small.SetSize(32, 32);  // for the next load
  EXPECT_EQ(small.Width(), 16);
  small.LoadFromFile(file);
  EXPECT_EQ(small.Width(), 32);
  small.SetSize(16, 16);
  small.LoadFromFile(file);

  // From a resource, at the size asked for.
  cl::TIcon res;
  res.SetSize(16, 16);
  res.LoadFromResourceName(GetModuleHandleW(nullptr), "HKTWOSIZES");
  EXPECT_EQ(res.Width(), 16);
  bmp.Canvas()->Draw(0, 0, &res);
  EXPECT_EQ(At(bmp, 5, 5), cl::clRed);
  // An icon without file data is saved from its handle, and reads back the same.
  cl::TIcon again;
  again.SetSize(16, 16);
  {
    cl::TMemoryStream stream(Save(res));
    again.LoadFromStream(stream);
  }
  EXPECT_EQ(again.Width(), 16);
  bmp.Canvas()->Brush()->SetColor(cl::clWhite);
  bmp.Canvas()->FillRect(cl::Rect(0, 0, 20, 20));
  bmp.Canvas()->Draw(0, 0, &again);
  EXPECT_EQ(At(bmp, 15, 15), cl::clRed);

  cl::TIcon copy;
  copy.Assign(&small);
  EXPECT_NE(copy.Handle(), small.Handle());
  EXPECT_EQ(Save(copy), Save(small));
}

TEST(Graphics, HostileIconFilesAreRefused) {
  cl::TIcon icon;
  auto message = [&](const std::string& bytes) {
    return testsupport::MessageOf<cl::EInvalidGraphic>([&] {
      cl::TMemoryStream stream(bytes);
      icon.LoadFromStream(stream);
    });
  };
  const std::string good = IconFile(16, cl::clRed);
  EXPECT_EQ(message(good.substr(0, 4)), "Icon image is not valid");
  EXPECT_EQ(message(good.substr(0, good.size() - 1)), "Icon image is not valid");  // image cut short
  std::string s = good;
  s[2] = 2;  // a cursor
  EXPECT_EQ(message(s), "Icon image is not valid");
  s = good;
  s[4] = 0;  // no images
  s[5] = 0;
  EXPECT_EQ(message(s), "Icon image is not valid");
  s = good;
  s[18] = '\x7F';  // image offset far past the end
  EXPECT_EQ(message(s), "Icon image is not valid");
  s = good;
  s[22 + 8] = '\x7F';  // the image's own height beyond its bytes
  EXPECT_EQ(message(s), "Icon image is not valid");
  EXPECT_TRUE(icon.Empty());
}

TEST(Graphics, ImageListsAddAndDraw) {
  cl::TImageList list(nullptr);
  EXPECT_EQ(list.Width(), 16);
  TBitmap strip;
  strip.SetSize(32, 16);
  strip.Canvas()->Brush()->SetColor(cl::clFuchsia);
  strip.Canvas()->FillRect(cl::Rect(0, 0, 32, 16));
  strip.Canvas()->Brush()->SetColor(cl::clRed);
  strip.Canvas()->FillRect(cl::Rect(4, 4, 12, 12));
  strip.Canvas()->Brush()->SetColor(cl::clBlue);
  strip.Canvas()->FillRect(cl::Rect(20, 4, 28, 12));
  EXPECT_EQ(list.AddMasked(&strip, cl::clFuchsia), 0);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(At(strip, 0, 0), 0xFF00FFu);  // the caller's bitmap is not touched

  TBitmap back;
  back.SetSize(16, 16);
  back.Canvas()->Brush()->SetColor(cl::clGreen);
  back.Canvas()->FillRect(cl::Rect(0, 0, 16, 16));
  list.Draw(back.Canvas(), 0, 0, 1);
  EXPECT_EQ(At(back, 0, 0), cl::clGreen);
  EXPECT_EQ(At(back, 5, 5), cl::clBlue);

  // Disabled: the shape in the shadow colour, its highlight edge below right.
  back.Canvas()->FillRect(cl::Rect(0, 0, 16, 16));
  list.Draw(back.Canvas(), 0, 0, 0, false);
  EXPECT_EQ(At(back, 5, 5), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(At(back, 12, 12), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(At(back, 1, 1), cl::clGreen);

  cl::TIcon icon;
  icon.SetSize(16, 16);
  cl::TMemoryStream stream(IconFile(16, cl::clYellow));
  icon.LoadFromStream(stream);
  EXPECT_EQ(list.AddIcon(&icon), 2);
  cl::TIcon out;
  list.GetIcon(2, &out);
  EXPECT_EQ(out.Width(), 16);
  back.Canvas()->Draw(0, 0, &out);
  EXPECT_EQ(At(back, 8, 8), cl::clYellow);

  EXPECT_EQ(testsupport::MessageOf<cl::EListError>([&] { list.Delete(3); }), "List index out of bounds (3)");
  list.Delete(0);
  EXPECT_EQ(list.Count(), 2);
  list.SetWidth(32);  // a new size empties the list
  EXPECT_EQ(list.Count(), 0);
}

TEST(Graphics, NoHandleOutlivesItsOwner) {
  const long held = cl::GdiHandlesHeld();
  const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  HFONT lastFont = nullptr;
  HBITMAP lastBitmap = nullptr;
  HICON lastIcon = nullptr;
  for (int i = 0; i < 40; ++i) {
    TBitmap bmp;
    bmp.SetSize(30, 20);
    bmp.Canvas()->Font()->SetStyle({cl::fsBold});
    bmp.Canvas()->TextOut(0, 0, "x");
    bmp.Canvas()->Font()->SetHeight(-9 - i % 5);  // replaced while selected
    bmp.Canvas()->TextOut(0, 0, "y");
    bmp.SetPixelFormat(cl::pf1bit);
    bmp.SetTransparent(true);
    TBitmap copy;
    copy.Assign(&bmp);
    copy.Canvas()->Draw(0, 0, &bmp);
    Load(copy, Bmp24());
    lastFont = bmp.Canvas()->Font()->Handle();
    lastBitmap = copy.Handle();
    cl::TIcon icon;
    cl::TMemoryStream stream(IconFile(16, cl::clRed));
    icon.LoadFromStream(stream);
    lastIcon = icon.Handle();
    cl::TImageList list(nullptr);
    list.AddIcon(&icon);
    list.AddMasked(&copy, cl::clWhite);
    list.Draw(bmp.Canvas(), 0, 0, 0, false);
  }
  EXPECT_EQ(cl::GdiHandlesHeld(), held);
  EXPECT_EQ(GetObjectType(lastFont), 0u);
  EXPECT_EQ(GetObjectType(lastBitmap), 0u);
  EXPECT_FALSE(DestroyIcon(lastIcon));  // already gone
  const DWORD after = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (before != 0) {
    EXPECT_LE(after, before + 2);  // where the system counts them
  }
}

}  // namespace
