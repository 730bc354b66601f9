#include "SkinGeometry.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

using cl::Rect;
using cl::TRect;
using cl::TSize;
using namespace skin;

namespace {

std::vector<TBlit> Tiles(const TRect& dest, const TRect& source) {
  std::vector<TBlit> out;
  ForEachTile(dest, source, [&](const TBlit& b) { out.push_back(b); });
  return out;
}

std::vector<TBlit> Repeats(const TBlit& middle) {
  std::vector<TBlit> out;
  ForEachRepeat(middle, [&](const TBlit& b) { out.push_back(b); });
  return out;
}

TEST(SkinGeometry, FramesOfAStrip) {
  EXPECT_EQ(FrameRect({90, 20}, 3, 2), Rect(30, 0, 60, 20));
  // 4 frames of 90 pixels: 22 each, columns 88 and 89 never used.
  EXPECT_EQ(FrameSize({90, 20}, 4), (TSize{22, 20}));
  EXPECT_EQ(FrameRect({90, 20}, 4, 4), Rect(66, 0, 88, 20));
  EXPECT_EQ(FrameRect({16, 50}, 5, 3, true), Rect(0, 20, 16, 30));
  EXPECT_EQ(FrameSize({16, 50}, 5, true), (TSize{16, 10}));
  EXPECT_EQ(FrameRect({16, 50}, 5, 5, true), Rect(0, 40, 16, 50));
}

TEST(SkinGeometry, FramesOutOfRangeAndBadCounts) {
  for (int frame : {0, -1, 4, INT_MAX, INT_MIN}) EXPECT_TRUE(FrameRect({90, 20}, 3, frame).IsEmpty()) << frame;
  // A count below 1 is one frame: the whole image.
  EXPECT_EQ(FrameRect({90, 20}, 0, 1), Rect(0, 0, 90, 20));
  EXPECT_EQ(FrameRect({90, 20}, -3, 1, true), Rect(0, 0, 90, 20));
  EXPECT_EQ(FrameSize({90, 20}, INT_MIN), (TSize{90, 20}));
  EXPECT_TRUE(FrameRect({90, 20}, -3, 2).IsEmpty());
  EXPECT_EQ(ValidFrameCount(0, 5), 5);
  EXPECT_EQ(ValidFrameCount(-2, 0), 1);
  EXPECT_EQ(ValidFrameCount(3, 5), 3);
  // Fewer pixels than frames, empty or negative images.
  EXPECT_TRUE(FrameRect({2, 20}, 3, 1).IsEmpty());
  EXPECT_TRUE(FrameRect({0, 0}, 1, 1).IsEmpty());
  EXPECT_TRUE(FrameRect({-10, 20}, 1, 1).IsEmpty());
  EXPECT_EQ(FrameSize({-10, -5}, 2), (TSize{0, 0}));
  EXPECT_EQ(FrameRect({INT_MAX, INT_MAX}, 2, 2), Rect(INT_MAX / 2, 0, INT_MAX / 2 * 2, INT_MAX));
}

TEST(SkinGeometry, NineSliceOfAFrame) {
  // Frame 2 of a 2-frame strip of 40 x 30; margins L 3, T 4, R 5, B 6; target 100 x 50 at (10, 20).
  const TRect frame = FrameRect({80, 30}, 2, 2);
  const TNineSlice s = NineSlice(Rect(10, 20, 110, 70), frame, Rect(3, 4, 5, 6));
  EXPECT_EQ(s.Margins, Rect(3, 4, 5, 6));
  const TBlit expected[9] = {
      {Rect(40, 0, 43, 4), Rect(10, 20, 13, 24)},      // top-left
      {Rect(40, 24, 43, 30), Rect(10, 64, 13, 70)},    // bottom-left
      {Rect(75, 0, 80, 4), Rect(105, 20, 110, 24)},    // top-right
      {Rect(40, 4, 43, 24), Rect(10, 24, 13, 64)},     // left
      {Rect(43, 0, 75, 4), Rect(13, 20, 105, 24)},     // top
      {Rect(43, 4, 75, 24), Rect(13, 24, 105, 64)},    // centre
      {Rect(75, 24, 80, 30), Rect(105, 64, 110, 70)},  // bottom-right
      {Rect(75, 4, 80, 24), Rect(105, 24, 110, 64)},   // right
      {Rect(43, 24, 75, 30), Rect(13, 64, 105, 70)},   // bottom
  };
  for (int i = 0; i < 9; ++i) EXPECT_EQ(s.Pieces[i], expected[i]) << i;
}

TEST(SkinGeometry, NineSliceMarginsThatDoNotFit) {
  // 10/10 on a 15-pixel-wide target: left and right dropped, the whole width is centre.
  const TNineSlice s = NineSlice(Rect(0, 0, 15, 30), Rect(0, 0, 40, 40), Rect(10, 5, 10, 5));
  EXPECT_EQ(s.Margins, Rect(0, 5, 0, 5));
  EXPECT_EQ(s.Pieces[spCentre], (TBlit{Rect(0, 5, 40, 35), Rect(0, 5, 15, 25)}));
  EXPECT_EQ(s.Pieces[spTop], (TBlit{Rect(0, 0, 40, 5), Rect(0, 0, 15, 5)}));
  for (TSlicePiece p : {spTopLeft, spBottomLeft, spTopRight, spLeft, spBottomRight, spRight})
    EXPECT_TRUE(s.Pieces[p].IsEmpty()) << p;

  // Negative margins count as 0.
  EXPECT_EQ(NineSlice(Rect(0, 0, 20, 20), Rect(0, 0, 8, 8), Rect(-4, -1, 2, -9)).Margins, Rect(0, 0, 2, 0));

  // A margin wider than the frame takes no pixel from outside it.
  const TNineSlice wide = NineSlice(Rect(0, 0, 100, 100), Rect(10, 0, 20, 10), Rect(15, 2, 15, 2));
  EXPECT_EQ(wide.Pieces[spTopLeft], (TBlit{Rect(10, 0, 20, 2), Rect(0, 0, 15, 2)}));
  EXPECT_EQ(wide.Pieces[spTopRight], (TBlit{Rect(10, 0, 20, 2), Rect(85, 0, 100, 2)}));
  EXPECT_TRUE(wide.Pieces[spCentre].IsEmpty());
  EXPECT_TRUE(wide.Pieces[spTop].IsEmpty());
}

TEST(SkinGeometry, NineSliceOfNothing) {
  const TRect frame = Rect(0, 0, 30, 30);
  for (const TRect& dest : {Rect(10, 10, 5, 40), Rect(10, 10, 40, 5), Rect(10, 10, 10, 40), Rect(0, 0, 0, 0)})
    for (const TBlit& b : NineSlice(dest, frame, Rect(2, 2, 2, 2)).Pieces) EXPECT_TRUE(b.IsEmpty());
  for (const TBlit& b : NineSlice(Rect(0, 0, 50, 50), FrameRect({90, 30}, 3, 7), Rect(2, 2, 2, 2)).Pieces)
    EXPECT_TRUE(b.IsEmpty());
}

TEST(SkinGeometry, NineSliceCoversTheTargetOnceAtTheExtremes) {
  const TRect dest = Rect(INT_MIN + 5, INT_MIN + 5, INT_MAX, INT_MAX);
  const TNineSlice s = NineSlice(dest, Rect(0, 0, 64, 64), Rect(INT_MAX, 7, INT_MAX, 9));
  EXPECT_EQ(s.Margins, Rect(0, 7, 0, 9));  // together wider than the target: dropped
  for (const TBlit& b : s.Pieces) {
    if (!b.IsEmpty()) {
      EXPECT_TRUE(dest.Contains(b.Dest));
    }
  }
  EXPECT_EQ(s.Pieces[spTop].Dest, Rect(INT_MIN + 5, INT_MIN + 5, INT_MAX, INT_MIN + 12));
  EXPECT_EQ(s.Pieces[spBottom].Dest, Rect(INT_MIN + 5, INT_MAX - 9, INT_MAX, INT_MAX));
  // Two margins that just fit the widest target are kept.
  EXPECT_EQ(NineSlice(Rect(INT_MIN, 0, INT_MAX, 1), Rect(0, 0, 64, 64), Rect(INT_MAX, 0, INT_MAX, 0)).Margins,
            Rect(INT_MAX, 0, INT_MAX, 0));
}

TEST(SkinGeometry, TilingClipsTheLastColumnAndRow) {
  const std::vector<TBlit> t = Tiles(Rect(5, 5, 30, 15), Rect(40, 0, 50, 4));
  ASSERT_EQ(t.size(), 9u);
  EXPECT_EQ(TileCount(Rect(5, 5, 30, 15), Rect(40, 0, 50, 4)), 9u);
  EXPECT_EQ(t[0], (TBlit{Rect(40, 0, 50, 4), Rect(5, 5, 15, 9)}));
  EXPECT_EQ(t[2], (TBlit{Rect(40, 0, 50, 2), Rect(5, 13, 15, 15)}));
  EXPECT_EQ(t[8], (TBlit{Rect(40, 0, 45, 2), Rect(25, 13, 30, 15)}));
  EXPECT_EQ(Tiles(Rect(0, 0, 20, 8), Rect(0, 0, 10, 4)).size(), 4u);  // exact fit: no sliver
  EXPECT_TRUE(Tiles(Rect(0, 0, 20, 8), Rect(0, 0, 0, 4)).empty());
  EXPECT_TRUE(Tiles(Rect(0, 0, 20, 8), Rect(5, 0, 0, 4)).empty());
  EXPECT_TRUE(Tiles(Rect(0, 0, -20, 8), Rect(0, 0, 10, 4)).empty());
  EXPECT_EQ(TileCount(Rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX), Rect(0, 0, 1, 1)), 0xFFFFFFFFull * 0xFFFFFFFFull);
}

TEST(SkinGeometry, ThreePieceStrip) {
  // Left 4 and Right 4 of a 20-pixel frame: a 12-pixel middle repeated, the last repeat cut at W - Right.
  const TThreePiece s = ThreePiece(Rect(100, 0, 130, 10), Rect(20, 0, 40, 6), 4, 4);
  EXPECT_EQ(s.LeftPart, (TBlit{Rect(20, 0, 24, 6), Rect(100, 0, 104, 10)}));
  EXPECT_EQ(s.RightPart, (TBlit{Rect(36, 0, 40, 6), Rect(126, 0, 130, 10)}));
  EXPECT_EQ(s.Middle, (TBlit{Rect(24, 0, 36, 6), Rect(104, 0, 126, 10)}));
  EXPECT_EQ(RepeatCount(s.Middle), 2u);
  const std::vector<TBlit> r = Repeats(s.Middle);
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0], (TBlit{Rect(24, 0, 36, 6), Rect(104, 0, 116, 10)}));
  EXPECT_EQ(r[1], (TBlit{Rect(24, 0, 34, 6), Rect(116, 0, 126, 10)}));
}

TEST(SkinGeometry, ThreePieceWithoutMiddle) {
  // Margins that fill the frame exactly, or more than fill it: no middle, and no endless repeat.
  for (int m : {10, 12, INT_MAX / 4}) {
    const TThreePiece s = ThreePiece(Rect(0, 0, INT_MAX, 10), Rect(0, 0, 20, 6), m, m);
    EXPECT_TRUE(s.Middle.IsEmpty()) << m;
    EXPECT_EQ(RepeatCount(s.Middle), 0u);
    EXPECT_TRUE(Repeats(s.Middle).empty());
    EXPECT_FALSE(s.LeftPart.IsEmpty());
    EXPECT_TRUE(Rect(0, 0, 20, 6).Contains(s.RightPart.Source));
  }
  // Margins wider than the target are dropped: the middle covers it all.
  const TThreePiece d = ThreePiece(Rect(0, 0, 6, 10), Rect(0, 0, 20, 6), 4, 4);
  EXPECT_TRUE(d.LeftPart.IsEmpty() && d.RightPart.IsEmpty());
  EXPECT_EQ(d.Middle, (TBlit{Rect(0, 0, 20, 6), Rect(0, 0, 6, 10)}));
  EXPECT_TRUE(ThreePiece(Rect(5, 0, 4, 10), Rect(0, 0, 20, 6), 1, 1).Middle.IsEmpty());
}

TEST(SkinGeometry, CenteredRectTruncatesTowardZero) {
  EXPECT_EQ(CenteredRect(Rect(10, 10, 25, 26), {16, 16}), Rect(10, 10, 26, 26));  // half of -1 is 0
  EXPECT_EQ(CenteredRect(Rect(10, 10, 23, 30), {16, 16}), Rect(9, 12, 25, 28));   // half of -3 is -1
  EXPECT_EQ(CenteredRect(Rect(0, 0, 0, 0), {4, 4}), Rect(-2, -2, 2, 2));
  EXPECT_TRUE(CenteredRect(Rect(10, 10, 5, 30), {4, 4}).IsEmpty());
  EXPECT_TRUE(CenteredRect(Rect(0, 0, 10, 10), {0, 4}).IsEmpty());
  EXPECT_TRUE(CenteredRect(Rect(INT_MAX - 1, 0, INT_MAX, 10), {INT_MAX, 4}).IsEmpty());
}

}  // namespace
