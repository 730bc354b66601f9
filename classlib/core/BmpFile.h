// BMP files: reading one into memory, with every size and offset of its headers checked against the
// data before anything is allocated, and writing one. The window half of the library turns what is read
// into a DIB section.
#pragma once
#include <cstdint>
#include <vector>

#include "Streams.h"
#include "SysUtils.h"

namespace cl {

CL_DECLARE_EXCEPTION(EInvalidGraphic, Exception)

// The compression field of the info header.
enum TBmpCompression : uint32_t { bcRgb = 0, bcRle8 = 1, bcRle4 = 2, bcBitFields = 3 };

// A colour table entry, laid out as the file keeps it (blue first, one byte unused).
struct TBmpColor {
  uint8_t Blue = 0;
  uint8_t Green = 0;
  uint8_t Red = 0;
  uint8_t Reserved = 0;
  bool operator==(const TBmpColor&) const = default;
};

struct TBmpImage {
  int Width = 0;   // 0: the empty picture of an empty stream
  int Height = 0;  // always positive
  bool TopDown = false;  // the file gave a negative height: Pixels hold the top row first
  uint16_t BitCount = 0;  // 1, 4, 8, 16, 24 or 32
  TBmpCompression Compression = bcRgb;
  uint32_t Masks[3] = {0, 0, 0};  // red, green, blue of bit fields
  std::vector<TBmpColor> Palette;  // 1 to 2^BitCount entries for 1, 4 and 8 bits; else none
  // The pixel data as stored: Height rows of BmpStride(Width, BitCount) bytes, or the run-length codes.
  std::vector<uint8_t> Pixels;

  bool Empty() const { return Width == 0; }
  bool RunLength() const { return Compression == bcRle8 || Compression == bcRle4; }
};

// Bytes per row: whole 32-bit words.
int BmpStride(int width, int bits);

// Reads a BMP file from the stream's position and leaves the stream after its pixel data. 1, 4, 8, 16,
// 24 or 32 bits per pixel; uncompressed, bit fields or run-length encoded; the info header in any of its
// lengths, or the old 12-byte core header (read as an info header with RGB quads). Headers whose sizes or
// offsets do not fit the data raise EInvalidGraphic "Bitmap image is not valid"; an empty stream gives
// an empty image.
TBmpImage ReadBmp(TStream& stream);

// Writes a BMP file: file header, 40-byte info header, colour table (a full one is counted as 0),
// then rows, bottom row first, of BmpStride(width, bits) bytes each, as `rows` holds them.
void WriteBmp(TStream& stream, int width, int height, int bits, const std::vector<TBmpColor>& palette,
              const uint8_t* rows);

}  // namespace cl
