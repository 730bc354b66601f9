// Times the skin package decoder on 8 MB of mixed data (text, random bytes, runs, bitmap-like rows),
// memory to memory, and, where the system's LHA library is present, its -lh1- decoder on the same streams
// (our encoder refers only to the ring's spaces, which both decoders start with).
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "Lzh.h"

#include "LhaDecode.h"

namespace {

constexpr size_t kPart = 2 << 20;  // four kinds of 2 MB each

std::string MakeText(std::mt19937& rng) {
  static const char* const words[] = {"skin",   "window", "caption", "button", "frame",  "bitmap", "the",
                                      "border", "menu",   "colour",  "=",      "255",    "0",      "[Form]",
                                      "Tile",   "Trans",  "Left",    "Top",    "hotkey", "of"};
  std::string s;
  while (s.size() < kPart) {
    s += words[rng() % std::size(words)];
    s += (rng() % 8 == 0) ? "\r\n" : " ";
  }
  s.resize(kPart);
  return s;
}

std::string MakeRandom(std::mt19937& rng) {
  std::string s(kPart, '\0');
  for (char& c : s) c = static_cast<char>(rng());
  return s;
}

std::string MakeRuns(std::mt19937& rng) {
  std::string s;
  while (s.size() < kPart) s.append(1 + rng() % 200, static_cast<char>(rng() % 4));
  s.resize(kPart);
  return s;
}

// 24-bit rows of a gradient with a few flat shapes and noise, the kind of picture a skin holds.
std::string MakeBitmap(std::mt19937& rng) {
  std::string s;
  const int width = 640;
  for (int y = 0; s.size() < kPart; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool shape = (x / 40 + y / 40) % 3 == 0;
      const int noise = rng() % 16 == 0 ? static_cast<int>(rng() % 3) : 0;
      s.push_back(static_cast<char>(shape ? 0xFF : (x / 3 + noise) & 0xFF));
      s.push_back(static_cast<char>(shape ? 0x00 : (y / 2) & 0xFF));
      s.push_back(static_cast<char>(shape ? 0xFF : 0x80 + noise));
    }
  }
  s.resize(kPart);
  return s;
}

#ifdef HK_HAVE_LHASA
using lhatest::LhaDecode;
#endif

template <class F>
double BestSeconds(int rounds, F f) {
  double best = 1e30;
  for (int i = 0; i < rounds; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
  }
  return best;
}

}  // namespace

int main() {
  std::mt19937 rng(20000);
  const std::vector<std::pair<const char*, std::string>> parts = {{"text", MakeText(rng)},
                                                                  {"random", MakeRandom(rng)},
                                                                  {"runs", MakeRuns(rng)},
                                                                  {"bitmap", MakeBitmap(rng)}};

  std::vector<std::string> streams;
  size_t total = 0, packed = 0;
  for (const auto& [name, data] : parts) {
    streams.push_back(skin::LzhEncode(data));
    total += data.size();
    packed += streams.back().size();
    std::printf("%-7s %8zu -> %8zu bytes\n", name, data.size(), streams.back().size());
  }
  std::printf("total   %8zu -> %8zu bytes\n", total, packed);

  const int rounds = 5;
  bool ok = true;
  double ours = 0, lha = 0;
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::string& data = parts[i].second;
    const double t = BestSeconds(
        rounds, [&] { ok &= skin::LzhDecode(streams[i], static_cast<int32_t>(data.size())) == data; });
    ours += t;
    std::printf("%-7s ours  %.4f s", parts[i].first, t);
#ifdef HK_HAVE_LHASA
    const double u = BestSeconds(rounds, [&] { ok &= LhaDecode(streams[i], data.size()) == data; });
    lha += u;
    std::printf("   lhasa %.4f s", u);
#endif
    std::printf("\n");
  }
  std::printf("ours:  %.3f s (%.1f MB/s)\n", ours, total / ours / 1e6);
#ifdef HK_HAVE_LHASA
  std::printf("lhasa: %.3f s (%.1f MB/s)\n", lha, total / lha / 1e6);
  std::printf("ratio lhasa/ours: %.2f (above 1: ours is faster)\n", lha / ours);
#else
  (void)lha;
  std::printf("lhasa: not available in this build\n");
#endif
  if (!ok) std::printf("WRONG OUTPUT\n");
  return ok ? 0 : 1;
}
