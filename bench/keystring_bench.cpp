// Parses a key string of 100 KB (text, prefixes, named keys, accented and other non-ASCII letters) again
// and again and prints the parse speed.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "KeyString.h"

namespace {

std::string MakeKeyString(std::size_t bytes) {
  static const char* const pieces[] = {
      "Hello, World! ", "^c", "^v", "+{TAB}", "%{F4}", "#r", "{ENTER}", "~", "{LEFT}{LEFT}+{RIGHT}",
      "{+}{{}{}}", "Gr\xC3\xBC\xC3\x9F\x65 ", "caf\xC3\xA9 ", "\xC4\x81\xE4\xB8\xAD ", "{PGDN}{HOME}",
      "The quick brown fox jumps over the lazy dog 0123456789. ", "{UNKNOWN}",
  };
  std::string out = "{DELAY=10}";
  for (std::size_t i = 0; out.size() < bytes; ++i) out += pieces[(i * 7) % std::size(pieces)];
  return out;
}

}  // namespace

int main() {
  const std::string keys = MakeKeyString(100 * 1024);
  const hk::UsKeyLayout layout;
  std::size_t steps = hk::ParseKeyString(keys, layout).size();  // warm-up
  const int rounds = 50;
  double best = 1e30;
  for (int r = 0; r < rounds; ++r) {
    const auto t0 = std::chrono::steady_clock::now();
    steps = hk::ParseKeyString(keys, layout).size();
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    best = std::min(best, s);
  }
  std::printf("key string: %zu bytes -> %zu steps; best of %d: %.3f ms, %.1f MB/s\n", keys.size(), steps,
              rounds, best * 1e3, static_cast<double>(keys.size()) / best / 1e6);
  return 0;
}
