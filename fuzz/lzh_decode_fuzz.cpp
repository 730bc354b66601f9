// The skin package decoder on arbitrary streams: it must decode or refuse with ElzhException, never read
// or write out of bounds, and decoding twice must give the same bytes.
// Input: two bytes of unpacked length (little-endian), then the stream.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Lzh.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int32_t count = data[0] | (data[1] << 8);
  const std::string_view stream(reinterpret_cast<const char*>(data) + 2, size - 2);
  try {
    const std::string out = skin::LzhDecode(stream, count);
    if (out.size() != static_cast<size_t>(count) || skin::LzhDecode(stream, count) != out) {
      std::fprintf(stderr, "decoding is not repeatable\n");
      std::abort();
    }
  } catch (const skin::ElzhException&) {
  }
  return 0;
}
