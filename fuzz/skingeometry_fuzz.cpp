// Skin image geometry on arbitrary numbers: every piece stays inside its target and its frame, pieces
// never overlap, sizes are never negative, and repeats and tiles end.
// Input: 32-bit integers: target rectangle, image width and height, frame count, frame, margins, flags.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "FuzzCheck.h"
#include "SkinGeometry.h"

namespace {
using i128 = __int128;

// Widths in 64 bits: a rectangle may span more than the int range.
int64_t W(const cl::TRect& r) { return int64_t{r.Right} - r.Left; }
int64_t H(const cl::TRect& r) { return int64_t{r.Bottom} - r.Top; }
i128 Area(const cl::TRect& r) { return r.IsEmpty() ? 0 : i128(W(r)) * H(r); }

bool Overlap(const cl::TRect& a, const cl::TRect& b) {
  return !a.IsEmpty() && !b.IsEmpty() && a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

void CheckPiece(const skin::TBlit& b, const cl::TRect& dest, const cl::TRect& frame) {
  if (b.IsEmpty()) {
    CHECK(b == skin::TBlit{});
    return;
  }
  CHECK(dest.Contains(b.Dest));
  CHECK(frame.Contains(b.Source));
}

constexpr uint64_t kMaxSteps = 20000;  // tiles and repeats walked per input
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  int32_t v[14] = {};
  std::memcpy(v, data, std::min(size, sizeof v));
  const cl::TRect dest = cl::Rect(v[0], v[1], v[2], v[3]);
  const cl::TSize image{v[4], v[5]};
  const int count = v[6], frameNo = v[7];
  const cl::TRect margins = cl::Rect(v[8], v[9], v[10], v[11]);
  const bool vertical = v[12] & 1;

  // Frames lie inside the image.
  const cl::TSize fs = skin::FrameSize(image, count, vertical);
  CHECK(fs.cx >= 0 && fs.cy >= 0);
  const cl::TRect frame = skin::FrameRect(image, count, frameNo, vertical);
  if (!frame.IsEmpty()) {
    CHECK(cl::Rect(0, 0, image.cx, image.cy).Contains(frame));
    CHECK(frame.Size() == fs);
    CHECK(frameNo >= 1 && frameNo <= skin::ValidFrameCount(count));
  } else {
    CHECK(frame == cl::TRect{});
  }
  // The frame itself, or (every other input) any rectangle, as the source.
  const cl::TRect source = (v[12] & 2) ? cl::Rect(v[4], v[5], v[13], v[6]) : frame;

  // Nine-slice: pieces inside, disjoint, and covering the whole target when the frame has room for
  // every margin.
  const skin::TNineSlice s = skin::NineSlice(dest, source, margins);
  const cl::TRect& m = s.Margins;
  CHECK(m.Left >= 0 && m.Top >= 0 && m.Right >= 0 && m.Bottom >= 0);
  if (!dest.IsEmpty()) {
    CHECK(int64_t{m.Left} + m.Right <= W(dest));
    CHECK(int64_t{m.Top} + m.Bottom <= H(dest));
  }
  i128 covered = 0;
  for (int i = 0; i < 9; ++i) {
    CheckPiece(s.Pieces[i], dest, source);
    covered += Area(s.Pieces[i].Dest);
    for (int j = 0; j < i; ++j) CHECK(!Overlap(s.Pieces[i].Dest, s.Pieces[j].Dest));
  }
  CHECK(covered <= Area(dest));
  if (!source.IsEmpty() && int64_t{m.Left} + m.Right < W(source) && int64_t{m.Top} + m.Bottom < H(source))
    CHECK(covered == Area(dest));

  // Tiling the centre.
  const skin::TBlit& centre = s.Pieces[skin::spCentre];
  const uint64_t tiles = skin::TileCount(centre.Dest, centre.Source);
  CHECK((tiles == 0) == centre.IsEmpty());
  if (tiles <= kMaxSteps) {
    uint64_t n = 0;
    i128 area = 0;
    skin::ForEachTile(centre.Dest, centre.Source, [&](const skin::TBlit& t) {
      ++n;
      CHECK(!t.IsEmpty());
      CHECK(centre.Dest.Contains(t.Dest));
      CHECK(centre.Source.Contains(t.Source));
      CHECK(W(t.Source) == W(t.Dest) && H(t.Source) == H(t.Dest));
      area += Area(t.Dest);
    });
    CHECK(n == tiles);
    CHECK(area == Area(centre.Dest));
  }

  // Three-piece strip.
  const skin::TThreePiece t = skin::ThreePiece(dest, source, margins.Left, margins.Right);
  CheckPiece(t.LeftPart, dest, source);
  CheckPiece(t.Middle, dest, source);
  CheckPiece(t.RightPart, dest, source);
  CHECK(!Overlap(t.LeftPart.Dest, t.Middle.Dest) && !Overlap(t.Middle.Dest, t.RightPart.Dest) &&
        !Overlap(t.LeftPart.Dest, t.RightPart.Dest));
  const uint64_t repeats = skin::RepeatCount(t.Middle);
  CHECK((repeats == 0) == t.Middle.IsEmpty());
  if (repeats <= kMaxSteps) {
    uint64_t n = 0;
    int64_t width = 0;
    skin::ForEachRepeat(t.Middle, [&](const skin::TBlit& r) {
      ++n;
      CHECK(!r.IsEmpty());
      CHECK(t.Middle.Dest.Contains(r.Dest) && t.Middle.Source.Contains(r.Source));
      CHECK(r.Dest.Top == t.Middle.Dest.Top && r.Dest.Bottom == t.Middle.Dest.Bottom);
      CHECK(W(r.Source) == W(r.Dest));
      width += W(r.Dest);
    });
    CHECK(n == repeats);
    CHECK(width == W(t.Middle.Dest));
  }

  // Centring keeps the size.
  const cl::TRect c = skin::CenteredRect(dest, fs);
  if (!c.IsEmpty()) CHECK(c.Size() == fs);
  return 0;
}
