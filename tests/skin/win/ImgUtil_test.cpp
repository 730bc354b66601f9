#include "ImgUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <set>
#include <tuple>
#include <vector>

#include "ByteBuilder.h"
#include "SkinGeometry.h"

namespace {

using cl::RGBColor;
using cl::TBitmap;
using cl::TColor;

constexpr TColor kKey = 0xFF00FF;
constexpr TColor kGreen = RGBColor(0, 200, 0);

TColor PixelAt(TBitmap& b, int x, int y) {
  const auto* p = static_cast<const uint8_t*>(b.ScanLine(y));
  const int bytes = b.PixelFormat() == cl::pf32bit ? 4 : 3;
  return RGBColor(p[x * bytes + 2], p[x * bytes + 1], p[x * bytes]);
}

// A 24-bit bitmap whose pixel (x, y) is colour(x, y).
std::unique_ptr<TBitmap> Make(int w, int h, const std::function<TColor(int, int)>& colour) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(cl::pf24bit);
  b->SetSize(w, h);
  for (int y = 0; y < h; ++y) {
    auto* p = static_cast<uint8_t*>(b->ScanLine(y));
    for (int x = 0; x < w; ++x) {
      const TColor c = colour(x, y);
      p[x * 3] = static_cast<uint8_t>(c >> 16);
      p[x * 3 + 1] = static_cast<uint8_t>(c >> 8);
      p[x * 3 + 2] = static_cast<uint8_t>(c);
    }
  }
  return b;
}

std::unique_ptr<TBitmap> Filled(int w, int h, TColor c) {
  return Make(w, h, [c](int, int) { return c; });
}

// Pixels of a distinct colour each, for following them through a transformation.
TColor Tag(int x, int y) { return RGBColor(static_cast<uint8_t>(x * 10 + 1), static_cast<uint8_t>(y * 10 + 1), 7); }

// A column's colour tells which source column a pixel came from.
TColor Column(int x, int) { return RGBColor(static_cast<uint8_t>(x), 50, 60); }

HDC DC(TBitmap& b) { return b.Canvas()->Handle(); }

std::string Bmp24(int w, int h, const std::function<TColor(int, int)>& colour) {
  return testsupport::Bmp24(w, h, colour);
}

skin::TSkinImage ImageOf(std::string bytes) {
  skin::TSkinImage image;
  auto info = skin::ProbeBmp(bytes);
  EXPECT_TRUE(info);
  if (info) image.AssignFile("a.bmp", std::make_shared<const std::string>(std::move(bytes)), *info);
  return image;
}

// ---------------------------------------------------------------------------------------------------------

TEST(ImgUtilTransform, MirrorFlipRotateAndGrayMovePixelsAsDescribed) {
  constexpr int W = 3, H = 2;
  auto b = Make(W, H, Tag);
  skin::MirrorBitmap(*b);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) EXPECT_EQ(PixelAt(*b, x, y), Tag(W - 1 - x, y)) << x << "," << y;

  b = Make(W, H, Tag);
  skin::FlipBitmap(*b);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) EXPECT_EQ(PixelAt(*b, x, y), Tag(x, H - 1 - y));

  b = Make(W, H, Tag);
  skin::RotateBitmapLeft(*b);
  ASSERT_EQ(b->Width(), H);
  ASSERT_EQ(b->Height(), W);
  for (int y = 0; y < W; ++y)
    for (int x = 0; x < H; ++x) EXPECT_EQ(PixelAt(*b, x, y), Tag(W - 1 - y, x)) << x << "," << y;
  skin::RotateBitmapRight(*b);  // back again
  ASSERT_EQ(b->Width(), W);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) EXPECT_EQ(PixelAt(*b, x, y), Tag(x, y));

  b = Make(W, H, Tag);
  skin::RotateBitmapRight(*b);
  for (int y = 0; y < W; ++y)
    for (int x = 0; x < H; ++x) EXPECT_EQ(PixelAt(*b, x, y), Tag(y, H - 1 - x)) << x << "," << y;

  b = Make(2, 1, [](int x, int) { return x ? RGBColor(255, 255, 254) : RGBColor(30, 60, 91); });
  skin::GrayBitmap(*b);
  EXPECT_EQ(PixelAt(*b, 0, 0), RGBColor(60, 60, 60));  // 181 div 3
  EXPECT_EQ(PixelAt(*b, 1, 0), RGBColor(254, 254, 254));
}

TEST(ImgUtilTransform, PaletteBitmapsAreConvertedTo24BitsFirst) {
  // Odd widths: a 24-bit walk over 4- or 8-bit rows would run past them.
  const TColor red = RGBColor(255, 0, 0), blue = RGBColor(0, 0, 255);
  for (cl::TPixelFormat format : {cl::pf4bit, cl::pf8bit, cl::pf1bit}) {
    const TColor a = format == cl::pf1bit ? RGBColor(0, 0, 0) : red;
    const TColor c = format == cl::pf1bit ? RGBColor(255, 255, 255) : blue;
    auto b = Make(5, 3, [&](int x, int) { return x == 0 ? a : c; });
    b->SetPixelFormat(format);
    skin::MirrorBitmap(*b);
    EXPECT_EQ(b->PixelFormat(), cl::pf24bit);
    EXPECT_EQ(PixelAt(*b, 4, 1), a);
    EXPECT_EQ(PixelAt(*b, 0, 1), c);

    b = Make(5, 3, [&](int x, int y) { return x == 0 && y == 0 ? a : c; });
    b->SetPixelFormat(format);
    skin::RotateBitmapRight(*b);
    EXPECT_EQ(b->PixelFormat(), cl::pf24bit);
    ASSERT_EQ(b->Width(), 3);
    EXPECT_EQ(PixelAt(*b, 2, 0), a);  // old top-left ends at the top right
    EXPECT_EQ(PixelAt(*b, 0, 0), c);
  }
}

TEST(ImgUtilFrames, StripFrameNumberSelectsItsColumns) {
  auto strip = Make(90, 4, Column);
  auto target = Filled(30, 4, kGreen);
  skin::DrawSkinFrame(DC(*target), cl::Rect(0, 0, 30, 4), *strip, false, 3, 2);
  EXPECT_EQ(PixelAt(*target, 0, 2), Column(30, 0));
  EXPECT_EQ(PixelAt(*target, 29, 2), Column(59, 0));

  // Four frames of 90 pixels: 22 each, the last two columns never shown.
  target = Filled(22, 4, kGreen);
  skin::DrawSkinFrame(DC(*target), cl::Rect(0, 0, 22, 4), *strip, false, 4, 4);
  EXPECT_EQ(PixelAt(*target, 0, 0), Column(66, 0));
  EXPECT_EQ(PixelAt(*target, 21, 3), Column(87, 0));

  // Frames outside the strip draw nothing; a count below 1 counts as one frame.
  target = Filled(30, 4, kGreen);
  for (int frame : {0, 4, -1}) skin::DrawSkinFrame(DC(*target), cl::Rect(0, 0, 30, 4), *strip, false, 3, frame);
  skin::DrawSkinFrame(DC(*target), cl::Rect(0, 0, 30, 4), *strip, false, 3, 4);
  skin::DrawNineSlice(DC(*target), cl::Rect(0, 0, 30, 4), *strip, false, false, false, 3, 7, cl::Rect(1, 1, 1, 1));
  skin::DrawSkinFrameCentered(DC(*target), cl::Rect(0, 0, 30, 4), *strip, false, 3, 9);
  skin::DrawNineSliceCanvas(*target->Canvas(), cl::Rect(0, 0, 30, 4), *strip, false, false, 3, 0, cl::Rect(1, 0, 1, 0));
  EXPECT_EQ(PixelAt(*target, 0, 0), kGreen);
  EXPECT_EQ(PixelAt(*target, 29, 3), kGreen);
  target = Filled(90, 4, kGreen);
  skin::DrawSkinFrame(DC(*target), cl::Rect(0, 0, 90, 4), *strip, false, 0, 1);
  EXPECT_EQ(PixelAt(*target, 89, 0), Column(89, 0));

  // Inverted rectangles draw nothing.
  target = Filled(30, 4, kGreen);
  skin::DrawSkinFrame(DC(*target), cl::Rect(20, 0, 10, 4), *strip, false, 3, 1);
  skin::DrawSkinFrameCentered(DC(*target), cl::Rect(0, 4, 30, 0), *strip, false, 3, 1);
  EXPECT_EQ(PixelAt(*target, 15, 2), kGreen);
}

TEST(ImgUtilFrames, CenteredFrameTruncatesItsOffsetTowardZero) {
  auto strip = Make(32, 4, Column);  // two frames of 16
  auto target = Filled(40, 4, kGreen);
  skin::DrawSkinFrameCentered(DC(*target), cl::Rect(10, 0, 25, 4), *strip, false, 2, 2);  // 15 wide: at 10 + 0
  EXPECT_EQ(PixelAt(*target, 9, 0), kGreen);
  EXPECT_EQ(PixelAt(*target, 10, 0), Column(16, 0));
  EXPECT_EQ(PixelAt(*target, 25, 0), Column(31, 0));
  target = Filled(40, 4, kGreen);
  skin::DrawSkinFrameCentered(DC(*target), cl::Rect(10, 0, 23, 4), *strip, false, 2, 1);  // 13 wide: at 10 - 1
  EXPECT_EQ(PixelAt(*target, 8, 0), kGreen);
  EXPECT_EQ(PixelAt(*target, 9, 0), Column(0, 0));
  EXPECT_EQ(PixelAt(*target, 24, 0), Column(15, 0));
}

// A 9 x 9 frame: corners A B C D (3 x 3), edges of one colour each, a centre of nine distinct pixels.
TColor Slice(int x, int y) {
  const int cx = x < 3 ? 0 : x < 6 ? 1 : 2, cy = y < 3 ? 0 : y < 6 ? 1 : 2;
  if (cx == 1 && cy == 1) return RGBColor(static_cast<uint8_t>(100 + (x - 3)), static_cast<uint8_t>(100 + (y - 3)), 9);
  return RGBColor(static_cast<uint8_t>(10 + cx * 40 + (cx != 1 ? x % 3 : 0)),
                  static_cast<uint8_t>(10 + cy * 40 + (cy != 1 ? y % 3 : 0)), 200);
}

TEST(ImgUtilNineSlice, CornersKeepTheirSizeEdgesAndCentreScale) {
  auto image = Make(18, 9, [](int x, int y) { return x < 9 ? RGBColor(1, 2, 3) : Slice(x - 9, y); });  // frame 2
  auto b = skin::BuildNineSliceBitmap(cl::Rect(5, 5, 25, 20), *image, cl::Rect(3, 3, 3, 3), false, false, 2, 2);
  ASSERT_TRUE(b);
  ASSERT_EQ(b->Width(), 20);
  ASSERT_EQ(b->Height(), 15);
  // Corners pixel for pixel.
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(PixelAt(*b, x, y), Slice(x, y));
      EXPECT_EQ(PixelAt(*b, 17 + x, y), Slice(6 + x, y));
      EXPECT_EQ(PixelAt(*b, x, 12 + y), Slice(x, 6 + y));
      EXPECT_EQ(PixelAt(*b, 17 + x, 12 + y), Slice(6 + x, 6 + y));
    }
  // Edges stretched along their length only: the top edge's rows keep their colours across.
  for (int x : {3, 10, 16}) {
    EXPECT_EQ(PixelAt(*b, x, 0), Slice(4, 0));
    EXPECT_EQ(PixelAt(*b, x, 2), Slice(4, 2));
    EXPECT_EQ(PixelAt(*b, x, 14), Slice(4, 8));
  }
  for (int y : {3, 7, 11}) {
    EXPECT_EQ(PixelAt(*b, 0, y), Slice(0, 4));
    EXPECT_EQ(PixelAt(*b, 19, y), Slice(8, 4));
  }
  // Centre stretched (14 x 9 from 3 x 3): its ends come from the source centre's ends.
  EXPECT_EQ(PixelAt(*b, 3, 3), Slice(3, 3));
  EXPECT_EQ(PixelAt(*b, 16, 11), Slice(5, 5));

  // Tiled: the centre repeats at its own size from the top-left.
  b = skin::BuildNineSliceBitmap(cl::Rect(0, 0, 20, 15), *image, cl::Rect(3, 3, 3, 3), false, true, 2, 2);
  for (int y = 3; y < 12; ++y)
    for (int x = 3; x < 17; ++x) EXPECT_EQ(PixelAt(*b, x, y), Slice(3 + (x - 3) % 3, 3 + (y - 3) % 3)) << x << "," << y;
  EXPECT_EQ(PixelAt(*b, 17, 4), Slice(6, 4));  // the right edge covers the last tile's overhang

  // Margins 10/10 on a 15-wide target are dropped: the top edge runs the whole width.
  b = skin::BuildNineSliceBitmap(cl::Rect(0, 0, 15, 15), *image, cl::Rect(10, 3, 10, 3), false, false, 2, 2);
  EXPECT_EQ(PixelAt(*b, 0, 0), Slice(0, 0));
  EXPECT_EQ(PixelAt(*b, 14, 1), Slice(8, 1));
  EXPECT_EQ(PixelAt(*b, 0, 7), Slice(0, 4));

  // Frames one above the other.
  auto stacked = Make(9, 18, [](int x, int y) { return y < 9 ? RGBColor(1, 2, 3) : Slice(x, y - 9); });
  b = skin::BuildNineSliceBitmap(cl::Rect(0, 0, 12, 12), *stacked, cl::Rect(3, 3, 3, 3), true, false, 2, 2);
  EXPECT_EQ(PixelAt(*b, 0, 0), Slice(0, 0));
  EXPECT_EQ(PixelAt(*b, 11, 11), Slice(8, 8));

  EXPECT_FALSE(skin::BuildNineSliceBitmap(cl::Rect(10, 0, 5, 5), *image, cl::Rect(3, 3, 3, 3), false, false, 2, 2));
}

TEST(ImgUtilNineSlice, DirectDrawingLeavesTheCentreAndKeyedDrawingTheKeyPixels) {
  auto image = Make(9, 9, Slice);
  auto target = Filled(30, 30, kGreen);
  skin::DrawNineSliceDirect(DC(*target), cl::Rect(5, 5, 25, 20), *image, false, 1, 1, cl::Rect(3, 3, 3, 3));
  EXPECT_EQ(PixelAt(*target, 5, 5), Slice(0, 0));
  EXPECT_EQ(PixelAt(*target, 24, 19), Slice(8, 8));
  EXPECT_EQ(PixelAt(*target, 15, 12), kGreen);  // centre untouched
  EXPECT_EQ(PixelAt(*target, 4, 4), kGreen);

  // Key-coloured pixels of the frame leave the destination as it was.
  auto keyed = Make(9, 9, [](int x, int y) { return x == 4 || y == 4 ? kKey : Slice(x, y); });
  target = Filled(30, 30, kGreen);
  skin::DrawNineSlice(DC(*target), cl::Rect(0, 0, 9, 9), *keyed, false, false, true, 1, 1, cl::Rect(3, 3, 3, 3));
  EXPECT_EQ(PixelAt(*target, 4, 0), kGreen);
  EXPECT_EQ(PixelAt(*target, 4, 4), kGreen);
  EXPECT_EQ(PixelAt(*target, 3, 3), Slice(3, 3));
  EXPECT_EQ(PixelAt(*target, 0, 0), Slice(0, 0));
  EXPECT_EQ(PixelAt(*target, 9, 9), kGreen);
}

TEST(ImgUtilNineSlice, ThreePieceRepeatsTheMiddleBetweenItsEnds) {
  auto image = Make(40, 3, Column);  // two frames of 20
  auto target = Filled(50, 5, kGreen);
  skin::DrawNineSliceCanvas(*target->Canvas(), cl::Rect(5, 1, 45, 4), *image, false, false, 2, 2, cl::Rect(4, 9, 4, 9));
  for (int x = 0; x < 40; ++x) {
    const int src = x < 4 ? x : x >= 36 ? 16 + (x - 36) : 4 + (x - 4) % 12;
    EXPECT_EQ(PixelAt(*target, 5 + x, 2), Column(20 + src, 0)) << x;
  }
  EXPECT_EQ(PixelAt(*target, 10, 0), kGreen);
  EXPECT_EQ(PixelAt(*target, 4, 2), kGreen);

  // Margins that leave no middle: the ends are drawn, nothing repeats (and nothing hangs).
  target = Filled(50, 5, kGreen);
  skin::DrawNineSliceCanvas(*target->Canvas(), cl::Rect(0, 0, 40, 5), *image, false, false, 2, 1,
                            cl::Rect(12, 0, 12, 0));
  EXPECT_EQ(PixelAt(*target, 0, 0), Column(0, 0));
  EXPECT_EQ(PixelAt(*target, 11, 0), Column(11, 0));
  EXPECT_EQ(PixelAt(*target, 39, 0), Column(19, 0));

  // Transparent: key pixels show what was there.
  auto keyed = Make(20, 3, [](int x, int) { return x == 1 ? kKey : Column(x, 0); });
  target = Filled(30, 3, kGreen);
  skin::DrawNineSliceCanvas(*target->Canvas(), cl::Rect(0, 0, 30, 3), *keyed, false, true, 1, 1, cl::Rect(4, 0, 4, 0));
  EXPECT_EQ(PixelAt(*target, 1, 1), kGreen);
  EXPECT_EQ(PixelAt(*target, 0, 1), Column(0, 0));
}

TEST(ImgUtilDraw, TransparentLeavesKeyPixelsBackgroundUntouched) {
  auto bitmap = Make(6, 4, [](int x, int y) { return (x + y) % 3 == 0 ? kKey : Tag(x, y); });
  auto target = Filled(10, 10, kGreen);
  // 5 x 3 of the bitmap's top-left.
  skin::DrawTransparent(DC(*target), cl::Rect(2, 3, 7, 6), *bitmap, kKey);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      const int bx = x - 2, by = y - 3;
      const bool inside = bx >= 0 && bx < 5 && by >= 0 && by < 3;
      const TColor want = inside && (bx + by) % 3 != 0 ? Tag(bx, by) : kGreen;
      EXPECT_EQ(PixelAt(*target, x, y), want) << x << "," << y;
    }
}

TEST(ImgUtilDraw, TileRepeatsTheCellClippedAtTheEnds) {
  auto source = Make(10, 10, Tag);
  auto target = Filled(12, 8, kGreen);
  skin::TileBitmapRect(DC(*target), cl::Rect(1, 1, 11, 7), DC(*source), cl::Rect(2, 3, 6, 5));  // 4 x 2 cell
  for (int y = 1; y < 7; ++y)
    for (int x = 1; x < 11; ++x) EXPECT_EQ(PixelAt(*target, x, y), Tag(2 + (x - 1) % 4, 3 + (y - 1) % 2));
  EXPECT_EQ(PixelAt(*target, 11, 1), kGreen);
  EXPECT_EQ(PixelAt(*target, 1, 7), kGreen);
}

std::set<std::tuple<long, long, long, long>> RectsOf(HRGN region) {
  std::set<std::tuple<long, long, long, long>> out;
  const DWORD size = GetRegionData(region, 0, nullptr);
  std::vector<unsigned char> data(size);
  if (!size || !GetRegionData(region, size, reinterpret_cast<RGNDATA*>(data.data()))) return out;
  const auto* header = reinterpret_cast<const RGNDATAHEADER*>(data.data());
  const auto* rects = reinterpret_cast<const RECT*>(data.data() + header->dwSize);
  for (DWORD i = 0; i < header->nCount; ++i) out.emplace(rects[i].left, rects[i].top, rects[i].right, rects[i].bottom);
  return out;
}

TEST(ImgUtilRegion, RunsOfNonKeyPixelsMakeTheRegion) {
  // Magenta corners, and one pixel of red 255, green 1, blue 255 (a key pixel within tolerance 1).
  auto b = Make(6, 4, [](int x, int y) {
    if ((x == 0 || x == 5) && (y == 0 || y == 3)) return kKey;
    if (x == 2 && y == 1) return RGBColor(255, 1, 255);
    if (x == 4 && y == 2) return RGBColor(255, 2, 255);  // beyond the tolerance
    return RGBColor(10, 20, 30);
  });
  cl::TRegionHandle region = skin::RegionFromBitmap(*b, 10, 20, 1, 1, 1, kKey);
  ASSERT_TRUE(region);
  EXPECT_EQ(b->PixelFormat(), cl::pf32bit);
  const std::set<std::tuple<long, long, long, long>> want = {
      {11, 20, 15, 21}, {10, 21, 12, 22}, {13, 21, 16, 22}, {10, 22, 16, 23}, {11, 23, 15, 24}};
  EXPECT_EQ(RectsOf(region.Get()), want);
  EXPECT_FALSE(PtInRegion(region.Get(), 10, 20));
  EXPECT_TRUE(PtInRegion(region.Get(), 11, 20));
  EXPECT_FALSE(PtInRegion(region.Get(), 12, 21));
  EXPECT_TRUE(PtInRegion(region.Get(), 14, 22));
  EXPECT_FALSE(PtInRegion(region.Get(), 15, 23));

  auto all = Filled(5, 5, kKey);
  region = skin::RegionFromBitmap(*all, 0, 0, 1, 1, 1, kKey);
  ASSERT_TRUE(region);
  RECT box;
  EXPECT_EQ(GetRgnBox(region.Get(), &box), NULLREGION);

  // More runs than one batch holds: 2 per row over 1500 rows.
  auto tall = Make(3, 1500, [](int x, int) { return x == 1 ? kKey : RGBColor(1, 1, 1); });
  region = skin::RegionFromBitmap(*tall, 0, 0, 1, 1, 1, kKey);
  EXPECT_EQ(GetRgnBox(region.Get(), &box), COMPLEXREGION);
  EXPECT_EQ(box.right, 3);
  EXPECT_EQ(box.bottom, 1500);
  for (int y : {0, 999, 1000, 1499}) {
    EXPECT_TRUE(PtInRegion(region.Get(), 0, y));
    EXPECT_FALSE(PtInRegion(region.Get(), 1, y));
    EXPECT_TRUE(PtInRegion(region.Get(), 2, y));
  }
}

TEST(ImgUtilImages, BitmapFileIsCutToItsPartAndMirrored) {
  skin::TSkinImage whole = ImageOf(Bmp24(4, 2, Column));
  skin::TSkinImage image = whole.Section(cl::Rect(1, 0, 3, 2)).MirroredCopy();
  TBitmap* b = skin::SkinImageBitmap(image);
  ASSERT_TRUE(b);
  EXPECT_EQ(b->PixelFormat(), cl::pf24bit);
  ASSERT_EQ(b->Width(), 2);
  ASSERT_EQ(b->Height(), 2);
  EXPECT_EQ(PixelAt(*b, 0, 1), Column(2, 0));
  EXPECT_EQ(PixelAt(*b, 1, 0), Column(1, 0));
  EXPECT_EQ(skin::SkinImageBitmap(image), b);  // made once, then kept

  skin::TSkinImage none;
  EXPECT_EQ(skin::SkinImageBitmap(none), nullptr);
}

TEST(ImgUtilImages, DamagedBitmapEntryLeavesTheImageEmpty) {
  // The header checks pass, but the colour table claims 300 colours for 8 bits per pixel.
  std::string bytes(54 + 1024 + 4, '\0');
  const uint32_t values[][2] = {
      {2, static_cast<uint32_t>(bytes.size())}, {10, 54 + 1024}, {14, 40}, {18, 1}, {22, 1}, {46, 300}};
  for (auto [at, v] : values)
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
  bytes[0] = 'B';
  bytes[1] = 'M';
  bytes[26] = 1;
  bytes[28] = 8;
  skin::TSkinImage image = ImageOf(bytes);
  ASSERT_FALSE(image.Empty());
  EXPECT_EQ(skin::SkinImageBitmap(image), nullptr);
  EXPECT_TRUE(image.Empty());
  EXPECT_EQ(image.Name, "a.bmp");
}

TEST(ImgUtilImages, ComboStripCellsStartFromTheKeyColour) {
  const TColor red = RGBColor(200, 0, 0), blue = RGBColor(0, 0, 200), yellow = RGBColor(200, 200, 0);
  auto strip = std::make_shared<skin::TComboStrip>();
  strip->Frames = 2;
  strip->ButtonWidth = 10;
  // SunkEdge frame 1 solid red, frame 2 all key colour.
  strip->SunkEdge = ImageOf(Bmp24(8, 4, [&](int x, int) { return x < 4 ? red : kKey; }));
  strip->SunkEdgeFrames = 2;
  strip->SunkEdgeTrans = true;
  strip->SunkEdgeMargins = cl::Rect(1, 1, 1, 1);
  strip->Button = ImageOf(Bmp24(4, 4, [&](int, int) { return blue; }));  // one frame only
  strip->ButtonFrames = 1;
  strip->HasExtra = true;
  strip->Extra = ImageOf(Bmp24(2, 2, [&](int, int) { return yellow; }));
  strip->ExtraFrames = 1;

  skin::TSkinImage image;
  image.Width = skin::TComboStrip::CellWidth * 2;
  image.Height = skin::TComboStrip::CellHeight;
  image.Part = cl::Rect(0, 0, image.Width, image.Height);
  image.Combo = strip;
  TBitmap* b = skin::SkinImageBitmap(image);
  ASSERT_TRUE(b);
  ASSERT_EQ(b->Width(), 100);
  ASSERT_EQ(b->Height(), 21);
  // Cell 1: the red edge, the blue button with the yellow glyph in its middle, a key-coloured text area.
  EXPECT_EQ(PixelAt(*b, 0, 0), red);
  EXPECT_EQ(PixelAt(*b, 1, 20), red);
  EXPECT_EQ(PixelAt(*b, 20, 10), kKey);
  EXPECT_EQ(PixelAt(*b, 41, 10), blue);
  // The 2 x 2 glyph centred in (40, 0, 50, 21) lies at (44, 9).
  EXPECT_EQ(PixelAt(*b, 44, 9), yellow);
  EXPECT_EQ(PixelAt(*b, 45, 10), yellow);
  // Cell 2: the edge is all key colour and button and glyph have no second frame: nothing of cell 1 remains.
  for (int y = 0; y < 21; ++y)
    for (int x = 50; x < 100; ++x) EXPECT_EQ(PixelAt(*b, x, y), kKey) << x << "," << y;

  // The mirrored strip reverses the frame order.
  skin::TSkinImage mirrored = image.MirroredCopy();
  TBitmap* m = skin::SkinImageBitmap(mirrored);
  ASSERT_TRUE(m);
  EXPECT_EQ(PixelAt(*m, 99, 0), red);
  EXPECT_EQ(PixelAt(*m, 58, 10), blue);
  EXPECT_EQ(PixelAt(*m, 0, 0), kKey);
}

TEST(ImgUtilImages, SharedWorkBitmapStretchesColorOnColor) {
  auto work = skin::NewSharedWorkBitmap();
  ASSERT_TRUE(work);
  EXPECT_TRUE(work->Empty());
  work->SetSize(20, 10);
  EXPECT_EQ(GetStretchBltMode(work->Canvas()->Handle()), COLORONCOLOR);
}

TEST(ImgUtilResources, NoGdiHandleIsLeft) {
  const long held = cl::GdiHandlesHeld();
  {
    auto image = Make(18, 9, [](int x, int y) { return x % 5 == 0 ? kKey : Tag(x, y); });
    auto target = Filled(40, 30, kGreen);
    HDC dc = DC(*target);
    skin::DrawNineSlice(dc, cl::Rect(0, 0, 30, 20), *image, false, true, true, 2, 1, cl::Rect(2, 2, 2, 2));
    skin::DrawNineSliceDirect(dc, cl::Rect(0, 0, 30, 20), *image, false, 2, 2, cl::Rect(2, 2, 2, 2));
    skin::DrawNineSliceCanvas(*target->Canvas(), cl::Rect(0, 0, 30, 20), *image, false, true, 2, 1,
                              cl::Rect(2, 0, 2, 0));
    skin::DrawSkinFrame(dc, cl::Rect(0, 0, 30, 20), *image, true, 2, 1);
    skin::DrawSkinFrameCentered(dc, cl::Rect(0, 0, 30, 20), *image, true, 2, 2);
    skin::DrawTransparent(dc, cl::Rect(0, 0, 18, 9), *image, kKey);
    skin::RegionFromBitmap(*image, 0, 0, 1, 1, 1, kKey);
    skin::GrayBitmap(*image);
    skin::RotateBitmapLeft(*image);
    skin::TSkinImage file = ImageOf(Bmp24(4, 2, Column));
    skin::SkinImageBitmap(file);
    auto work = skin::NewSharedWorkBitmap();
  }
  EXPECT_EQ(cl::GdiHandlesHeld(), held);
}

}  // namespace
