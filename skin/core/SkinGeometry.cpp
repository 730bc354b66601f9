#include "SkinGeometry.h"

#include <algorithm>
#include <limits>

namespace skin {
namespace {

// Widths and sums are worked out in 64 bits: a rectangle may span the whole int range.
using i64 = int64_t;

i64 W(const cl::TRect& r) { return i64{r.Right} - r.Left; }
i64 H(const cl::TRect& r) { return i64{r.Bottom} - r.Top; }

// The rectangle (l, t, r, b) cut to `clip`; empty pieces become all zero.
cl::TRect Clip(i64 l, i64 t, i64 r, i64 b, const cl::TRect& clip) {
  l = std::max<i64>(l, clip.Left);
  t = std::max<i64>(t, clip.Top);
  r = std::min<i64>(r, clip.Right);
  b = std::min<i64>(b, clip.Bottom);
  if (r <= l || b <= t) return {};
  return {static_cast<int>(l), static_cast<int>(t), static_cast<int>(r), static_cast<int>(b)};
}

TBlit Piece(const cl::TRect& source, const cl::TRect& dest) {
  if (source.IsEmpty() || dest.IsEmpty()) return {};
  return {source, dest};
}

// Negative margins count as 0; a pair that does not fit the target's extent together is dropped.
void FitMargins(i64& a, i64& b, i64 extent) {
  a = std::max<i64>(a, 0);
  b = std::max<i64>(b, 0);
  if (extent < a + b) a = b = 0;
}

i64 CeilDiv(i64 a, i64 b) { return a / b + (a % b != 0 ? 1 : 0); }

}  // namespace

int ValidFrameCount(int frameCount, int defaultCount) {
  if (frameCount >= 1) return frameCount;
  return defaultCount >= 1 ? defaultCount : 1;
}

cl::TSize FrameSize(cl::TSize image, int frameCount, bool vertical) {
  const int count = ValidFrameCount(frameCount);
  const int w = std::max(image.cx, 0), h = std::max(image.cy, 0);
  return vertical ? cl::TSize{w, h / count} : cl::TSize{w / count, h};
}

cl::TRect FrameRect(cl::TSize image, int frameCount, int frame, bool vertical) {
  const int count = ValidFrameCount(frameCount);
  if (frame < 1 || frame > count) return {};
  const cl::TSize f = FrameSize(image, count, vertical);
  if (f.cx <= 0 || f.cy <= 0) return {};
  // (frame - 1) * size stays below the image size: frame <= count and size = image div count.
  return vertical ? cl::Bounds(0, (frame - 1) * f.cy, f.cx, f.cy) : cl::Bounds((frame - 1) * f.cx, 0, f.cx, f.cy);
}

TNineSlice NineSlice(const cl::TRect& dest, const cl::TRect& frame, const cl::TRect& margins) {
  TNineSlice s{};
  if (dest.IsEmpty() || frame.IsEmpty()) return s;
  i64 l = margins.Left, r = margins.Right, t = margins.Top, b = margins.Bottom;
  FitMargins(l, r, W(dest));
  FitMargins(t, b, H(dest));
  s.Margins = {static_cast<int>(l), static_cast<int>(t), static_cast<int>(r), static_cast<int>(b)};

  // Source pieces are cut to the frame: a margin wider than the frame never reaches into the
  // neighbouring frame or outside the image.
  const i64 fl = frame.Left, ft = frame.Top, fr = frame.Right, fb = frame.Bottom;
  const i64 dl = dest.Left, dt = dest.Top, dr = dest.Right, db = dest.Bottom;
  auto src = [&](i64 a, i64 b2, i64 c, i64 d) { return Clip(a, b2, c, d, frame); };
  auto dst = [&](i64 a, i64 b2, i64 c, i64 d) { return Clip(a, b2, c, d, dest); };

  s.Pieces[spTopLeft] = Piece(src(fl, ft, fl + l, ft + t), dst(dl, dt, dl + l, dt + t));
  s.Pieces[spBottomLeft] = Piece(src(fl, fb - b, fl + l, fb), dst(dl, db - b, dl + l, db));
  s.Pieces[spTopRight] = Piece(src(fr - r, ft, fr, ft + t), dst(dr - r, dt, dr, dt + t));
  s.Pieces[spLeft] = Piece(src(fl, ft + t, fl + l, fb - b), dst(dl, dt + t, dl + l, db - b));
  s.Pieces[spTop] = Piece(src(fl + l, ft, fr - r, ft + t), dst(dl + l, dt, dr - r, dt + t));
  s.Pieces[spCentre] = Piece(src(fl + l, ft + t, fr - r, fb - b), dst(dl + l, dt + t, dr - r, db - b));
  s.Pieces[spBottomRight] = Piece(src(fr - r, fb - b, fr, fb), dst(dr - r, db - b, dr, db));
  s.Pieces[spRight] = Piece(src(fr - r, ft + t, fr, fb - b), dst(dr - r, dt + t, dr, db - b));
  s.Pieces[spBottom] = Piece(src(fl + l, fb - b, fr - r, fb), dst(dl + l, db - b, dr - r, db));
  return s;
}

uint64_t TileCount(const cl::TRect& dest, const cl::TRect& source) {
  if (dest.IsEmpty() || source.IsEmpty()) return 0;
  return static_cast<uint64_t>(CeilDiv(W(dest), W(source))) * static_cast<uint64_t>(CeilDiv(H(dest), H(source)));
}

void ForEachTile(const cl::TRect& dest, const cl::TRect& source, const std::function<void(const TBlit&)>& draw) {
  if (dest.IsEmpty() || source.IsEmpty() || !draw) return;
  const i64 cw = W(source), ch = H(source);
  for (i64 x = dest.Left; x < dest.Right; x += cw) {
    const i64 w = std::min<i64>(cw, dest.Right - x);
    for (i64 y = dest.Top; y < dest.Bottom; y += ch) {
      const i64 h = std::min<i64>(ch, dest.Bottom - y);
      draw(TBlit{cl::Rect(source.Left, source.Top, static_cast<int>(source.Left + w), static_cast<int>(source.Top + h)),
                 cl::Rect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(x + w), static_cast<int>(y + h))});
    }
  }
}

TThreePiece ThreePiece(const cl::TRect& dest, const cl::TRect& frame, int left, int right) {
  TThreePiece s{};
  if (dest.IsEmpty() || frame.IsEmpty()) return s;
  i64 l = left, r = right;
  FitMargins(l, r, W(dest));
  s.Margins = {static_cast<int>(l), 0, static_cast<int>(r), 0};
  const i64 fl = frame.Left, ft = frame.Top, fr = frame.Right, fb = frame.Bottom;
  const i64 dl = dest.Left, dt = dest.Top, dr = dest.Right, db = dest.Bottom;
  s.LeftPart = Piece(Clip(fl, ft, fl + l, fb, frame), Clip(dl, dt, dl + l, db, dest));
  s.Middle = Piece(Clip(fl + l, ft, fr - r, fb, frame), Clip(dl + l, dt, dr - r, db, dest));
  s.RightPart = Piece(Clip(fr - r, ft, fr, fb, frame), Clip(dr - r, dt, dr, db, dest));
  return s;
}

uint64_t RepeatCount(const TBlit& middle) {
  if (middle.IsEmpty()) return 0;
  return static_cast<uint64_t>(CeilDiv(W(middle.Dest), W(middle.Source)));
}

void ForEachRepeat(const TBlit& middle, const std::function<void(const TBlit&)>& draw) {
  if (middle.IsEmpty() || !draw) return;
  const cl::TRect& s = middle.Source;
  const cl::TRect& d = middle.Dest;
  const i64 step = W(s);  // at least 1: the source is not empty
  for (i64 x = d.Left; x < d.Right; x += step) {
    const i64 w = std::min<i64>(step, d.Right - x);
    draw(TBlit{cl::Rect(s.Left, s.Top, static_cast<int>(s.Left + w), s.Bottom),
               cl::Rect(static_cast<int>(x), d.Top, static_cast<int>(x + w), d.Bottom)});
  }
}

cl::TRect CenteredRect(const cl::TRect& dest, cl::TSize size) {
  if (size.cx <= 0 || size.cy <= 0 || dest.Right < dest.Left || dest.Bottom < dest.Top) return {};
  const i64 l = dest.Left + (W(dest) - size.cx) / 2;
  const i64 t = dest.Top + (H(dest) - size.cy) / 2;
  constexpr i64 lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
  if (l < lo || t < lo || l + size.cx > hi || t + size.cy > hi) return {};
  return cl::Bounds(static_cast<int>(l), static_cast<int>(t), size.cx, size.cy);
}

}  // namespace skin
