// Turning skin images into pixels: in-place bitmap transformations, frames taken out of image strips, nine-slice and
// three-piece scaling, colour-keyed drawing, window regions from bitmaps, the combo-box strip, the engine's shared work
// bitmap, and the bitmaps hung on the skin description's images.
//
// Every drawing routine does nothing for an inverted target rectangle (Right < Left or Bottom < Top), a frame count
// below 1 counts as 1, and a frame outside 1..count draws nothing. Skin images are strips of equal frames numbered from
// 1 (SkinGeometry.h). GDI failures are not reported.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string_view>

#include "Graphics.h"
#include "SkinImage.h"
#include "Types.h"

namespace skin {

// Skin images mark their transparent pixels with magenta.
constexpr cl::TColor kSkinKeyColor = 0xFF00FF;

// ---------------------------------------------------------------------------------------------------------
// In-place transformations. Each first converts the bitmap to 24 bits per pixel, so 1-, 4- and 8-bit bitmaps are
// handled too; the result is always 24 bits per pixel.

// Each pixel's channels become their mean (blue + green + red) div 3.
void GrayBitmap(cl::TBitmap& bitmap);
// Left and right exchanged.
void MirrorBitmap(cl::TBitmap& bitmap);
// Top and bottom exchanged.
void FlipBitmap(cl::TBitmap& bitmap);
// Turned 90 degrees counter-clockwise (the old top edge becomes the left edge, read from the bottom up); width and
// height exchanged.
void RotateBitmapLeft(cl::TBitmap& bitmap);
// Turned 90 degrees clockwise (the old left edge becomes the top edge, read from right to left).
void RotateBitmapRight(cl::TBitmap& bitmap);

// ---------------------------------------------------------------------------------------------------------
// Drawing frames of image strips. `image` is the whole strip; frames lie side by side, or with `vertical` one above the
// other. Margins: Left and Right are the widths of the frame's left and right borders, Top and Bottom the heights of
// its top and bottom borders; a pair that does not fit the target together is dropped.

// A new bitmap of rect's size holding frame `frame` scaled nine-slice: corners at their own size, edges stretched along
// their length, the centre stretched both ways or, with `tile`, repeated at its own size. Null for an inverted rect. A
// frame outside the strip leaves the bitmap white.
std::unique_ptr<cl::TBitmap> BuildNineSliceBitmap(const cl::TRect& rect, cl::TBitmap& image, const cl::TRect& margins,
                                                  bool vertical, bool tile, int frameCount, int frame);
// The nine-slice bitmap drawn at rect, keyed with kSkinKeyColor when `transparent`, else copied.
void DrawNineSlice(HDC dc, const cl::TRect& rect, cl::TBitmap& image, bool vertical, bool tile, bool transparent,
                   int frameCount, int frame, const cl::TRect& margins);
// Only the eight border pieces, stretched straight onto the DC; what lies under the centre stays.
void DrawNineSliceDirect(HDC dc, const cl::TRect& rect, cl::TBitmap& image, bool vertical, int frameCount, int frame,
                         const cl::TRect& margins);
// A horizontal three-piece strip at rect: the frame's left part (margins.Left wide) and right part (margins.Right wide)
// stretched in height only, the middle repeated between them at its own width. A frame whose margins leave no middle
// gets none. margins.Top and .Bottom are not used.
void DrawNineSliceCanvas(cl::TCanvas& canvas, const cl::TRect& rect, cl::TBitmap& image, bool vertical,
                         bool transparent, int frameCount, int frame, const cl::TRect& margins);
// Frame `frame` (side by side) stretched into rect.
void DrawSkinFrame(HDC dc, const cl::TRect& rect, cl::TBitmap& image, bool transparent, int frameCount, int frame);
// Frame `frame` (side by side) at its own size, centred in rect (or over it, when larger); the offsets (rect size -
// frame size) div 2 truncate toward zero.
void DrawSkinFrameCentered(HDC dc, const cl::TRect& rect, cl::TBitmap& image, bool transparent, int frameCount,
                           int frame);

// The top-left part of `bitmap` of rect's size copied to rect, pixels of `keyColour` left out (the destination shows
// through them). The bitmap is not stretched.
void DrawTransparent(HDC dc, const cl::TRect& rect, cl::TBitmap& bitmap, cl::TColor keyColour);

// `cell` of `source` at its own size, again and again from dest's top-left corner, column by column, the last column
// and row clipped by dest. An empty cell or dest draws nothing.
void TileBitmapRect(HDC dc, const cl::TRect& dest, HDC source, const cl::TRect& cell);

// The region of the bitmap's non-key pixels, moved by (offsetX, offsetY); empty when every pixel is a key pixel. A
// pixel is a key pixel when each channel lies between the key colour's channel and that plus its tolerance (at most
// 255). Side effect: the bitmap becomes 32 bits per pixel.
cl::TRegionHandle RegionFromBitmap(cl::TBitmap& bitmap, int offsetX, int offsetY, uint8_t toleranceBlue,
                                   uint8_t toleranceGreen, uint8_t toleranceRed, cl::TColor keyColour);

// The engine's shared work bitmap: no pixels of its own, COLORONCOLOR stretching on its canvas. The engine owns the one
// it makes; painters size it and compose on it.
std::unique_ptr<cl::TBitmap> NewSharedWorkBitmap();

// The skin manager's diagnostic lines go nowhere.
void DebugLog(std::string_view line);

// ---------------------------------------------------------------------------------------------------------
// Bitmaps of the skin description's images.

// What the drawing side hangs on a TSkinImage: its picture, 24 bits per pixel.
class TWinSkinBitmap : public TSkinBitmap {
 public:
  cl::TBitmap Bitmap;
};

// A new 24-bit bitmap made from the image's recipe: the bitmap file's picture, cut to Part and mirrored when Mirrored,
// or the composed combo strip. Null for an empty image, and for a file whose pixel data turns out to be damaged.
std::unique_ptr<cl::TBitmap> LoadSkinImage(const TSkinImage& image);

// The image's bitmap, made from its recipe on first use and kept in its Bitmap slot. Null for an empty image; a damaged
// file makes the image empty (no pixels, no file), so painters draw nothing of it.
cl::TBitmap* SkinImageBitmap(TSkinImage& image);

// The combo-box strip of a recipe: Frames cells side by side, CellWidth by CellHeight each, 24 bits per pixel (see
// TComboStrip). Each cell starts as key colour, so nothing of one frame shows in the next.
std::unique_ptr<cl::TBitmap> BuildComboStrip(const TComboStrip& strip);

}  // namespace skin
