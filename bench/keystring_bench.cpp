// Parses a key string of 100 KB (text, prefixes, named keys, accented and other non-ASCII letters) again
// and again and prints the parse speed.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchKeyStrings.h"
#include "KeyString.h"

int main() {
  const std::string keys = benchsupport::MakeKeyString(100 * 1024);
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
