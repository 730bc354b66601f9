// The skin package encoder: whatever the data, the decoder must give it back exactly, and the stream must
// stay within the decoder's bound of 48 bytes per packed byte.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Lzh.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string packed = skin::LzhEncode(input);
  if (skin::LzhDecode(packed, static_cast<int32_t>(size)) != input || packed != skin::LzhEncode(input)) {
    std::fprintf(stderr, "round trip failed\n");
    std::abort();
  }
  return 0;
}
