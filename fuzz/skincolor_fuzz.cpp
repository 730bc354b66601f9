// Skin colour text on arbitrary bytes: the result is always a plain RGB value, it does not depend on
// surrounding blanks, and it agrees with a straightforward reading of the digit runs.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "SkinColor.h"

namespace {
// The digit runs that a non-digit closes, and whether a run is still open at the end. A run whose value
// passes 2147483647 is not a number, and nothing after it is either.
cl::TColor Reference(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.remove_suffix(1);
  std::vector<std::string> closed;
  std::string run;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      run += c;
    } else if (!run.empty()) {
      closed.push_back(run);
      run.clear();
    }
  }
  if (!run.empty() && closed.size() == 2) closed.push_back(run);
  unsigned n[3] = {0, 0, 0};
  for (size_t i = 0; i < closed.size() && i < 3; ++i) {
    uint64_t v = 0;
    for (char c : closed[i]) {
      v = v * 10 + static_cast<unsigned>(c - '0');
      if (v > 0x7FFFFFFF) break;
    }
    if (v > 0x7FFFFFFF) break;
    n[i] = static_cast<unsigned>(v % 256);
  }
  return n[0] | n[1] << 8 | n[2] << 16;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const cl::TColor c = skin::ParseSkinColor(text);
  CHECK(c <= 0xFFFFFFu);
  CHECK(c == Reference(text));
  CHECK(skin::ParseSkinColor(" \t" + std::string(text) + "\r\n") == c);
  const cl::TColor r = skin::ReadSkinColor(text, cl::clNone);
  CHECK(r == c || r == cl::clNone);
  return 0;
}
