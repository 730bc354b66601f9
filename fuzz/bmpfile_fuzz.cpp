// BMP reading on arbitrary bytes: either EInvalidGraphic, or an image whose sizes agree with each other
// and with the input (nothing larger than the input is kept). An uncompressed image written again reads
// back the same, and its file writes the same bytes again.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "BmpFile.h"

namespace {
using namespace cl;

void CheckShape(const TBmpImage& image, size_t inputSize) {
  CHECK(image.Width >= 1 && image.Width <= 32767 && image.Height >= 1 && image.Height <= 32767);
  CHECK(int64_t{image.Width} * image.Height <= int64_t{1} << 26);
  CHECK(image.Pixels.size() <= inputSize);
  if (!image.RunLength())
    CHECK(image.Pixels.size() == size_t(BmpStride(image.Width, image.BitCount)) * size_t(image.Height));
  if (image.BitCount <= 8)
    CHECK(!image.Palette.empty() && image.Palette.size() <= (1u << image.BitCount));
  else
    CHECK(image.Palette.empty());
}

// The rows bottom first, as the writer takes them.
std::vector<uint8_t> BottomUp(const TBmpImage& image) {
  if (!image.TopDown) return image.Pixels;
  const size_t stride = size_t(BmpStride(image.Width, image.BitCount));
  std::vector<uint8_t> rows(image.Pixels.size());
  for (int y = 0; y < image.Height; ++y)
    std::memcpy(rows.data() + (size_t(image.Height) - 1 - y) * stride, image.Pixels.data() + y * stride, stride);
  return rows;
}

std::string Write(const TBmpImage& image, const std::vector<uint8_t>& rows) {
  TMemoryStream out;
  WriteBmp(out, image.Width, image.Height, image.BitCount, image.Palette, rows.data());
  return std::string(out.Bytes());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream input(std::string_view(reinterpret_cast<const char*>(data), size));
  TBmpImage image;
  try {
    image = ReadBmp(input);
  } catch (const EInvalidGraphic&) {
    return 0;
  }
  if (image.Empty()) {
    CHECK(size == 0);
    return 0;
  }
  CheckShape(image, size);
  if (image.Compression != bcRgb) return 0;

  const std::vector<uint8_t> rows = BottomUp(image);
  const std::string written = Write(image, rows);
  TMemoryStream again(written);
  const TBmpImage back = ReadBmp(again);
  CHECK(again.Position() == again.Size());
  CHECK(back.Width == image.Width && back.Height == image.Height && back.BitCount == image.BitCount);
  CHECK(!back.TopDown && back.Compression == bcRgb);
  CHECK(back.Palette == image.Palette);
  CHECK(back.Pixels == rows);
  CHECK(Write(back, back.Pixels) == written);
  return 0;
}
