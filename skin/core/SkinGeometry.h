// Geometry of the skin images: frames of an image strip, the nine-slice and three-piece layouts and
// tiling. Pure arithmetic; the drawing code turns each TBlit into one stretch copy (or a plain copy
// where source and destination have the same size).
//
// Every layout keeps to two rules whatever it is given: a destination piece lies inside the target
// rectangle, and a source piece inside the frame. Pieces that would be empty are returned empty
// (all zero) and are not to be drawn.
#pragma once
#include <array>
#include <cstdint>
#include <functional>

#include "Types.h"

namespace skin {

// One copy: Source (in the image) stretched onto Dest (in the target).
struct TBlit {
  cl::TRect Source;
  cl::TRect Dest;
  constexpr bool IsEmpty() const { return Source.IsEmpty() || Dest.IsEmpty(); }
  friend constexpr bool operator==(const TBlit&, const TBlit&) = default;
};

// A frame count below 1 stands for the element's default (1 for an element without one): a count of 0
// cannot divide the strip, and a negative one would make negative frames.
int ValidFrameCount(int frameCount, int defaultCount = 1);

// The size of one frame of an image strip of `frameCount` frames side by side (width div count, full
// height) or, `vertical`, stacked (full width, height div count). Pixels left over by the division are
// never used. Negative image sizes count as 0; a count below 1 as 1.
cl::TSize FrameSize(cl::TSize image, int frameCount, bool vertical = false);
// Frame `frame` (numbered from 1) in the image; an empty rectangle for a frame outside 1..count.
cl::TRect FrameRect(cl::TSize image, int frameCount, int frame, bool vertical = false);

// The nine pieces, in the order they are drawn: the right and bottom pieces come after the centre.
enum TSlicePiece : int {
  spTopLeft, spBottomLeft, spTopRight, spLeft, spTop, spCentre, spBottomRight, spRight, spBottom
};

struct TNineSlice {
  // The margins in force: negative ones count as 0; Left and Right are dropped (0) when the target is
  // narrower than both together, Top and Bottom when it is lower.
  cl::TRect Margins;
  std::array<TBlit, 9> Pieces;  // indexed by TSlicePiece
};

// `frame` scaled into `dest` keeping its borders: corners at their own size, edges stretched along
// their length, the centre both ways (or tiled with ForEachTile). `margins` holds the widths of the left
// and right borders in Left and Right and the heights of the top and bottom borders in Top and Bottom.
// An inverted or empty `dest` or an empty `frame` gives no pieces.
TNineSlice NineSlice(const cl::TRect& dest, const cl::TRect& frame, const cl::TRect& margins);

// Tiling: `source` at its own size again and again from `dest`'s top-left corner, column by column,
// the last column and row clipped by `dest`. An empty source or target gives nothing.
uint64_t TileCount(const cl::TRect& dest, const cl::TRect& source);
void ForEachTile(const cl::TRect& dest, const cl::TRect& source, const std::function<void(const TBlit&)>& draw);

// A horizontal strip of three pieces: the frame's left part (Left wide) and right part (Right wide)
// stretched in height only to `dest`'s ends, and the middle part between them repeated across the rest
// (ForEachRepeat). Left and Right as in NineSlice; a frame whose margins leave no middle draws no middle.
struct TThreePiece {
  cl::TRect Margins;  // Left and Right in force; Top and Bottom 0
  TBlit LeftPart;
  TBlit Middle;  // Source: the frame's middle part; Dest: the whole area it repeats across
  TBlit RightPart;
};
TThreePiece ThreePiece(const cl::TRect& dest, const cl::TRect& frame, int left, int right);

// The repeats of `middle`: its source's width at a time from the left of its Dest, each stretched to
// Dest's height; the last one clipped by Dest's right.
uint64_t RepeatCount(const TBlit& middle);
void ForEachRepeat(const TBlit& middle, const std::function<void(const TBlit&)>& draw);

// A rectangle of `size` centred in `dest`: the offsets (dest size - size) / 2 truncate toward zero, and
// a size larger than `dest` is centred over it. Empty for an inverted `dest` or an empty size.
cl::TRect CenteredRect(const cl::TRect& dest, cl::TSize size);

}  // namespace skin
