// Files built by hand, field by field, little-endian.
#pragma once
#include <cstdint>
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

}  // namespace testsupport
