#include "BmpFile.h"

#include <string>

#include "ByteOrder.h"

namespace cl {

namespace {

constexpr char kInvalidBitmap[] = "Bitmap image is not valid";
[[noreturn]] void InvalidBitmap() { throw EInvalidGraphic(kInvalidBitmap); }

constexpr int32_t kMaxSide = 32767;
constexpr int64_t kMaxPixels = int64_t{1} << 26;

// Reads exactly count bytes or reports the picture as not valid.
void ReadExact(TStream& stream, void* buffer, size_t count) {
  if (stream.Read(buffer, count) != count) InvalidBitmap();
}

bool KnownDepth(uint16_t bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32; }

// What the rest of the file needs from its info header.
struct TInfoHeader {
  uint32_t Size = 0;
  bool Core = false;  // the old 12-byte header: RGB triples in the table
  uint32_t SizeImage = 0;
  uint32_t ColorsUsed = 0;
};

// The info header: 40 bytes or one of its longer versions (the extra fields are not needed), or the
// old 12-byte core header (16-bit sizes, bottom-up rows, no compression, a table of RGB triples). Its
// picture fields go into image; the colour masks of a longer header too.
TInfoHeader ReadInfoHeader(TStream& stream, uint32_t offBits, TBmpImage& image) {
  uint8_t header[124] = {};
  ReadExact(stream, header, 4);
  TInfoHeader info;
  info.Size = Le32(header);
  info.Core = info.Size == 12;
  if (!info.Core && info.Size != 40 && info.Size != 52 && info.Size != 56 && info.Size != 108 && info.Size != 124)
    InvalidBitmap();
  if (14 + info.Size > offBits) InvalidBitmap();
  ReadExact(stream, header + 4, info.Size - 4);
  const bool core = info.Core;
  const int32_t width = core ? Le16(header + 4) : static_cast<int32_t>(Le32(header + 4));
  const int32_t rawHeight = core ? Le16(header + 6) : static_cast<int32_t>(Le32(header + 8));
  const uint16_t planes = core ? Le16(header + 8) : Le16(header + 12);
  const uint16_t bits = core ? Le16(header + 10) : Le16(header + 14);
  const uint32_t compression = core ? bcRgb : Le32(header + 16);
  info.SizeImage = core ? 0 : Le32(header + 20);
  info.ColorsUsed = core ? 0 : Le32(header + 32);
  if (core && bits != 1 && bits != 4 && bits != 8 && bits != 24) InvalidBitmap();

  if (planes != 1 || width <= 0 || width > kMaxSide || rawHeight == 0 || rawHeight < -kMaxSide ||
      rawHeight > kMaxSide)
    InvalidBitmap();
  const bool topDown = rawHeight < 0;
  const int height = topDown ? -rawHeight : rawHeight;
  if (static_cast<int64_t>(width) * height > kMaxPixels) InvalidBitmap();

  switch (compression) {
    case bcRgb:
      if (!KnownDepth(bits)) InvalidBitmap();
      break;
    case bcRle8:
    case bcRle4:
      if (bits != (compression == bcRle8 ? 8 : 4) || topDown) InvalidBitmap();
      break;
    case bcBitFields:
      if (bits != 16 && bits != 32) InvalidBitmap();
      if (info.Size > 40)
        for (int i = 0; i < 3; ++i) image.Masks[i] = Le32(header + 40 + 4 * i);
      break;
    default:
      InvalidBitmap();
  }
  image.Width = width;
  image.Height = height;
  image.TopDown = topDown;
  image.BitCount = bits;
  image.Compression = static_cast<TBmpCompression>(compression);
  return info;
}

// The three colour masks of bit fields follow a 40-byte header. Returns the bytes read.
uint32_t ReadMasks(TStream& stream, uint64_t used, uint32_t offBits, TBmpImage& image) {
  if (used + 12 > offBits) InvalidBitmap();
  uint8_t raw[12];
  ReadExact(stream, raw, sizeof(raw));
  for (int i = 0; i < 3; ++i) image.Masks[i] = Le32(raw + 4 * i);
  return 12;
}

// The colour table of 1, 4 and 8 bits: "0 colours used" means all of them.
void ReadPalette(TStream& stream, const TInfoHeader& info, uint64_t used, uint32_t offBits, TBmpImage& image) {
  const uint32_t maxColors = 1u << image.BitCount;
  const uint32_t colors = info.ColorsUsed == 0 ? maxColors : info.ColorsUsed;
  if (colors > maxColors) InvalidBitmap();
  const size_t entrySize = info.Core ? 3 : 4;  // RGBTRIPLE or RGBQUAD, blue first in both
  if (used + uint64_t{colors} * entrySize > offBits) InvalidBitmap();
  std::vector<uint8_t> table(colors * entrySize);
  ReadExact(stream, table.data(), table.size());
  image.Palette.resize(colors);
  for (size_t i = 0; i < image.Palette.size(); ++i) {
    const uint8_t* e = table.data() + i * entrySize;
    image.Palette[i] = TBmpColor{e[0], e[1], e[2], 0};
  }
}

}  // namespace

int BmpStride(int width, int bits) {
  return static_cast<int>((static_cast<int64_t>(width) * bits + 31) / 32 * 4);
}

TBmpImage ReadBmp(TStream& stream) {
  TBmpImage image;
  const int64_t start = stream.Position();
  const int64_t available = stream.Size() - start;
  if (available <= 0) return image;
  uint8_t file[14];
  if (available < static_cast<int64_t>(sizeof(file))) InvalidBitmap();
  ReadExact(stream, file, sizeof(file));
  if (file[0] != 'B' || file[1] != 'M') InvalidBitmap();
  const uint32_t offBits = Le32(file + 10);
  if (offBits > available) InvalidBitmap();

  const TInfoHeader info = ReadInfoHeader(stream, offBits, image);
  uint64_t used = 14 + info.Size;
  if (image.Compression == bcBitFields && info.Size == 40) used += ReadMasks(stream, used, offBits, image);
  if (image.BitCount <= 8) ReadPalette(stream, info, used, offBits, image);

  // The data may lie anywhere after the tables; nothing is allocated for more than the stream holds.
  const int64_t dataBytes =
      image.RunLength() ? info.SizeImage : int64_t{BmpStride(image.Width, image.BitCount)} * image.Height;
  if (image.RunLength() && dataBytes == 0) InvalidBitmap();
  if (static_cast<int64_t>(offBits) + dataBytes > available) InvalidBitmap();
  stream.SetPosition(start + offBits);
  image.Pixels.resize(static_cast<size_t>(dataBytes));
  ReadExact(stream, image.Pixels.data(), image.Pixels.size());
  return image;
}

void WriteBmp(TStream& stream, int width, int height, int bits, const std::vector<TBmpColor>& palette,
              const uint8_t* rows) {
  const size_t paletteBytes = bits <= 8 ? palette.size() * 4 : 0;
  const uint32_t imageBytes = static_cast<uint32_t>(BmpStride(width, bits)) * static_cast<uint32_t>(height);
  const uint32_t offBits = static_cast<uint32_t>(14 + 40 + paletteBytes);
  std::string out;
  out.reserve(offBits);
  out += "BM";
  PutLe32(out, offBits + imageBytes);
  PutLe32(out, 0);
  PutLe32(out, offBits);
  PutLe32(out, 40);
  PutLe32(out, static_cast<uint32_t>(width));
  PutLe32(out, static_cast<uint32_t>(height));
  PutLe16(out, 1);
  PutLe16(out, static_cast<uint16_t>(bits));
  PutLe32(out, bcRgb);
  PutLe32(out, imageBytes);
  PutLe32(out, 0);
  PutLe32(out, 0);
  // A full table is written as "all colours" (0), a shorter one by its count.
  PutLe32(out, bits <= 8 && palette.size() != (1u << bits) ? static_cast<uint32_t>(palette.size()) : 0);
  PutLe32(out, 0);
  for (size_t i = 0; i < paletteBytes / 4; ++i) {
    const TBmpColor& c = palette[i];
    out += {static_cast<char>(c.Blue), static_cast<char>(c.Green), static_cast<char>(c.Red),
            static_cast<char>(c.Reserved)};
  }
  stream.WriteBuffer(out.data(), out.size());
  stream.WriteBuffer(rows, imageBytes);
}

}  // namespace cl
