#include "SkinImage.h"

#include <algorithm>

namespace skin {

namespace {

uint32_t U32(std::string_view b, size_t at) {
  return static_cast<uint32_t>(static_cast<uint8_t>(b[at])) |
         static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(b[at + 2])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}
uint16_t U16(std::string_view b, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8);
}

constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3;
constexpr size_t kFileHeader = 14;

}  // namespace

std::optional<TBmpInfo> ProbeBmp(std::string_view b) {
  if (b.size() < kFileHeader + 12 || b[0] != 'B' || b[1] != 'M') return std::nullopt;
  const uint64_t offBits = U32(b, 10);
  const uint32_t headerSize = U32(b, 14);
  TBmpInfo info;
  int64_t width = 0, height = 0;
  uint16_t planes = 0;
  if (headerSize == 12) {  // the old core header: 16-bit sizes, no compression
    width = U16(b, 18);
    height = U16(b, 20);
    planes = U16(b, 22);
    info.BitCount = U16(b, 24);
    if (info.BitCount != 1 && info.BitCount != 4 && info.BitCount != 8 && info.BitCount != 24) return std::nullopt;
  } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 || headerSize == 124) {
    if (b.size() < kFileHeader + headerSize) return std::nullopt;
    width = static_cast<int32_t>(U32(b, 18));
    height = static_cast<int32_t>(U32(b, 22));
    planes = U16(b, 26);
    info.BitCount = U16(b, 28);
    info.Compression = U32(b, 30);
  } else {
    return std::nullopt;
  }
  if (planes != 1) return std::nullopt;
  if (height < 0) {
    info.TopDown = true;
    height = -height;  // int64: the most negative 32-bit value does not overflow
  }
  if (width < 1 || height < 1 || width > kMaxSkinImageSide || height > kMaxSkinImageSide ||
      width * height > kMaxSkinImagePixels)
    return std::nullopt;
  switch (info.Compression) {
    case kBiRgb:
      if (info.BitCount != 1 && info.BitCount != 4 && info.BitCount != 8 && info.BitCount != 16 &&
          info.BitCount != 24 && info.BitCount != 32)
        return std::nullopt;
      break;
    case kBiRle8:
    case kBiRle4:
      if (info.TopDown || info.BitCount != (info.Compression == kBiRle8 ? 8 : 4)) return std::nullopt;
      break;
    case kBiBitfields:
      if (info.BitCount != 16 && info.BitCount != 32) return std::nullopt;
      break;
    default:
      return std::nullopt;
  }
  // The colour masks of a plain info header with bit fields follow the header.
  const uint64_t headersEnd = kFileHeader + headerSize + (headerSize == 40 && info.Compression == kBiBitfields ? 12 : 0);
  if (offBits < headersEnd || offBits > b.size()) return std::nullopt;
  if (info.Compression == kBiRgb || info.Compression == kBiBitfields) {
    const uint64_t stride = (static_cast<uint64_t>(width) * info.BitCount + 31) / 32 * 4;
    if (offBits + stride * static_cast<uint64_t>(height) > b.size()) return std::nullopt;
  } else if (offBits == b.size()) {
    return std::nullopt;  // run-length data needs at least its end mark
  }
  info.Width = static_cast<int>(width);
  info.Height = static_cast<int>(height);
  return info;
}

void TSkinImage::AssignFile(std::string name, std::shared_ptr<const std::string> file, const TBmpInfo& info) {
  Clear();
  Name = std::move(name);
  File = std::move(file);
  Width = info.Width;
  Height = info.Height;
  Part = cl::Rect(0, 0, Width, Height);
}

TSkinImage TSkinImage::Section(const cl::TRect& part) const {
  TSkinImage r = *this;
  r.Bitmap.reset();
  const int left = std::clamp(part.Left, 0, Width), right = std::clamp(part.Right, left, Width);
  const int top = std::clamp(part.Top, 0, Height), bottom = std::clamp(part.Bottom, top, Height);
  // Part is in the coordinates of the unmirrored picture.
  const int x0 = Mirrored ? Width - right : left;
  r.Part = cl::Rect(Part.Left + x0, Part.Top + top, Part.Left + x0 + (right - left), Part.Top + bottom);
  r.Width = right - left;
  r.Height = bottom - top;
  return r;
}

TSkinImage TSkinImage::MirroredCopy() const {
  TSkinImage r = *this;
  r.Bitmap.reset();
  r.Mirrored = !Mirrored;
  return r;
}

}  // namespace skin
