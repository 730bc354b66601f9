// Files built by hand, field by field, little-endian.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace testsupport {

struct Bytes {
  std::string s;
  Bytes& u8(unsigned v) {
    s.push_back(static_cast<char>(v));
    return *this;
  }
  Bytes& u16(unsigned v) { return u8(v & 0xFF).u8(v >> 8); }
  Bytes& u32(uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
  Bytes& raw(const std::string& r) {
    s += r;
    return *this;
  }
};

// A BMP file header and 40-byte info header.
inline Bytes BmpHeader(uint32_t fileSize, uint32_t offBits, int32_t width, int32_t height, unsigned bits,
                       uint32_t compression = 0, uint32_t imageSize = 0, uint32_t colorsUsed = 0) {
  Bytes b;
  b.u8('B').u8('M').u32(fileSize).u32(0).u32(offBits);
  b.u32(40).u32(static_cast<uint32_t>(width)).u32(static_cast<uint32_t>(height)).u16(1).u16(bits);
  b.u32(compression).u32(imageSize).u32(0).u32(0).u32(colorsUsed).u32(0);
  return b;
}

// A bitmap file: 24 bits per pixel, bottom-up rows padded to 4 bytes; pixel (x, y) is colour(x, y), a
// COLORREF (red in the low byte).
inline std::string Bmp24(int w, int h, const std::function<uint32_t(int, int)>& colour) {
  const int stride = (w * 3 + 3) / 4 * 4;
  const uint32_t size = 54 + static_cast<uint32_t>(stride) * static_cast<uint32_t>(h);
  std::string f = BmpHeader(size, 54, w, h, 24).s;
  f.resize(size, '\0');
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t c = colour(x, y);
      const size_t at = 54 + static_cast<size_t>(h - 1 - y) * stride + static_cast<size_t>(x) * 3;
      f[at] = static_cast<char>(c >> 16);
      f[at + 1] = static_cast<char>(c >> 8);
      f[at + 2] = static_cast<char>(c);
    }
  return f;
}

}  // namespace testsupport
