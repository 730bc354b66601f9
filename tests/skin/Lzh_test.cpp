// The skin package codec: hand-built streams, round trips, hostile streams, and agreement with a plain
// transcription of the reference decoder and (natively) with the system's LHA library's -lh1- decoder.
#include "Lzh.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "TestSupport.h"

#include "LhaDecode.h"

using skin::ElzhException;
using skin::LzhDecode;
using skin::LzhEncode;

namespace {

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int v : b) s.push_back(static_cast<char>(v));
  return s;
}

// The reference decoder as written down for the format, kept deliberately plain: a 16-bit bit buffer
// filled a byte at a time, a ring buffer, linear searches in the tree. `allSpaces` fills the whole ring with
// spaces, as LHA's -lh1- method does, instead of only the N - F bytes before the write position.
struct TReference {
  std::string out;  // may run past the count by the rest of the last match
  bool overran = false;
};

TReference ReferenceDecode(std::string_view in, int count, bool allSpaces = false) {
  enum { N = 4096, F = 60, N_CHAR = 314, T = 627, R = 626 };
  const unsigned MAX_FREQ = 0x8000;
  unsigned char d_code[256], d_len[256];
  {
    const int runs[][3] = {{0, 0, 32}, {1, 3, 16}, {4, 11, 8}, {12, 23, 4}, {24, 47, 2}, {48, 63, 1}};
    const int lens[][2] = {{3, 32}, {4, 48}, {5, 64}, {6, 48}, {7, 48}, {8, 16}};
    int i = 0;
    for (const auto& r : runs)
      for (int v = r[0]; v <= r[1]; ++v)
        for (int k = 0; k < r[2]; ++k) d_code[i++] = static_cast<unsigned char>(v);
    i = 0;
    for (const auto& l : lens)
      for (int k = 0; k < l[1]; ++k) d_len[i++] = static_cast<unsigned char>(l[0]);
  }
  std::vector<unsigned> freq(T + 1), prnt(T + N_CHAR), son(T);
  for (int i = 0; i < N_CHAR; ++i) {
    freq[i] = 1;
    son[i] = i + T;
    prnt[i + T] = i;
  }
  for (int i = 0, j = N_CHAR; j <= R; i += 2, ++j) {
    freq[j] = freq[i] + freq[i + 1];
    son[j] = i;
    prnt[i] = prnt[i + 1] = j;
  }
  freq[T] = 0xFFFF;
  prnt[R] = 0;

  auto reconst = [&] {
    int j = 0;
    for (int i = 0; i < T; ++i)
      if (son[i] >= T) {
        freq[j] = (freq[i] + 1) / 2;
        son[j] = son[i];
        ++j;
      }
    for (int i = 0, j2 = N_CHAR; j2 < T; i += 2, ++j2) {
      const unsigned f = freq[j2] = freq[i] + freq[i + 1];
      int k = j2 - 1;
      while (f < freq[k]) --k;
      ++k;
      for (int m = j2; m > k; --m) {
        freq[m] = freq[m - 1];
        son[m] = son[m - 1];
      }
      freq[k] = f;
      son[k] = i;
    }
    for (int i = 0; i < T; ++i) {
      const unsigned k = son[i];
      prnt[k] = i;
      if (k < T) prnt[k + 1] = i;
    }
  };
  auto update = [&](unsigned c) {
    if (freq[R] == MAX_FREQ) reconst();
    c = prnt[c + T];
    do {
      const unsigned k = ++freq[c];
      unsigned l = c + 1;
      if (k > freq[l]) {
        while (k > freq[++l]) {
        }
        --l;
        freq[c] = freq[l];
        freq[l] = k;
        const unsigned i = son[c];
        prnt[i] = l;
        if (i < T) prnt[i + 1] = l;
        const unsigned j = son[l];
        son[l] = i;
        prnt[j] = c;
        if (j < T) prnt[j + 1] = c;
        son[c] = j;
        c = l;
      }
    } while ((c = prnt[c]) != 0);
  };

  unsigned bitbuf = 0, bitcount = 0;
  size_t inpos = 0, requested = 0;
  auto fill = [&] {
    while (bitcount < 9) {
      ++requested;
      const unsigned b = inpos < in.size() ? static_cast<unsigned char>(in[inpos++]) : 0;
      bitbuf = (bitbuf | (b << (8 - bitcount))) & 0xFFFF;
      bitcount += 8;
    }
  };
  auto getBit = [&] {
    fill();
    const unsigned b = bitbuf >> 15;
    bitbuf = (bitbuf << 1) & 0xFFFF;
    --bitcount;
    return b;
  };
  auto getByte = [&] {
    fill();
    const unsigned b = bitbuf >> 8;
    bitbuf = (bitbuf << 8) & 0xFFFF;
    bitcount -= 8;
    return b;
  };
  auto decodeChar = [&] {
    unsigned c = son[R];
    while (c < T) c = son[c + getBit()];
    c -= T;
    update(c);
    return c;
  };
  auto decodePosition = [&] {
    unsigned i = getByte();
    const unsigned c = unsigned{d_code[i]} << 6;
    for (int j = d_len[i] - 2; j > 0; --j) i = (i << 1) + getBit();
    return c | (i & 63);
  };

  std::vector<unsigned char> ring(N + F - 1, 0);
  std::fill(ring.begin(), ring.begin() + (allSpaces ? N : N - F), ' ');
  unsigned r = N - F;
  TReference result;
  for (int written = 0; written < count;) {
    unsigned c = decodeChar();
    if (c < 256) {
      result.out.push_back(static_cast<char>(c));
      ring[r++] = static_cast<unsigned char>(c);
      r &= N - 1;
      ++written;
    } else {
      const unsigned i = (r - decodePosition() - 1) & (N - 1);
      const unsigned j = c - 253;
      for (unsigned k = 0; k < j; ++k) {
        c = ring[(i + k) & (N - 1)];
        result.out.push_back(static_cast<char>(c));
        ring[r++] = static_cast<unsigned char>(c);
        r &= N - 1;
        ++written;
      }
    }
  }
  result.overran = requested * 8 - bitcount > in.size() * 8;
  return result;
}

std::string RandomBytes(std::mt19937& rng, size_t n, unsigned alphabet = 256) {
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(rng() % alphabet);
  return s;
}

std::string Text(std::mt19937& rng, size_t n) {
  static const char* const words[] = {"[Title]", "Left=",  "12",   "Trans=1", "skin",      "the",  "window",
                                      "caption", "button", "\r\n", "colour",  "255,0,255", "frame"};
  std::string s;
  while (s.size() < n) s += std::string(words[rng() % std::size(words)]) + " ";
  s.resize(n);
  return s;
}

std::string Periodic(size_t period, size_t n) {
  std::mt19937 rng(static_cast<unsigned>(period));
  const std::string unit = RandomBytes(rng, period);
  std::string s;
  while (s.size() < n) s += unit;
  s.resize(n);
  return s;
}

// Inputs that reach every part of the code: empty, single bytes, runs, the ring's spaces, matches at the
// window's edge, incompressible data, and data long enough to rebuild the tree several times.
std::vector<std::pair<std::string, std::string>> Samples() {
  std::mt19937 rng(4101);
  std::vector<std::pair<std::string, std::string>> s = {
      {"empty", ""},
      {"one byte", "A"},
      {"one zero byte", std::string(1, '\0')},
      {"zeros 4096", std::string(4096, '\0')},
      {"same 100000", std::string(100000, 'x')},
      {"spaces 5000", std::string(5000, ' ')},
      {"short text", "Hello, world!\r\n"},
      {"ini text 10K", Text(rng, 10000)},
      {"random 1K", RandomBytes(rng, 1000)},
      {"random 70000", RandomBytes(rng, 70000)},
      {"text 200K", Text(rng, 200000)},
      {"period 4095", Periodic(4095, 20000)},
      {"period 4096", Periodic(4096, 20000)},
      {"period 4097", Periodic(4097, 20000)},
      {"period 7", Periodic(7, 3000)},
      {"four letters 30K", RandomBytes(rng, 30000, 4)},
      {"two values 9000", RandomBytes(rng, 9000, 2)},
  };
  std::string ramp;
  for (int i = 0; i < 20 * 256; ++i) ramp.push_back(static_cast<char>(i));
  s.emplace_back("ramp", ramp);
  std::string runs;
  while (runs.size() < 50000) runs.append(1 + rng() % 150, static_cast<char>(rng() % 5));
  s.emplace_back("runs 50K", runs);
  std::string bitmap;
  for (int y = 0; bitmap.size() < 60000; ++y)
    for (int x = 0; x < 100; ++x) bitmap += Bytes({x % 7 == 0 ? 0xFF : x, y, 0x80});
  s.emplace_back("bitmap 60K", bitmap);
  s.emplace_back("spaces then zeros", std::string(70, ' ') + std::string(100, '\0') + "end");
  return s;
}

}  // namespace

// Hand-derived: in the fresh tree symbol n's leaf is node n and a node's parent is 314 + node / 2, so 'A'
// (65) climbs 65, 346, 487, 557, 592, 610, 619, 623, 625: code 111001101.
TEST(Lzh, FirstLiteralHasTheFreshTreesCode) {
  EXPECT_EQ(LzhEncode("A"), Bytes({0xE6, 0x80}));
  EXPECT_EQ(LzhDecode(Bytes({0xE6, 0x80}), 1), "A");
}

// Length symbol 256 (3 bytes) has code 10001100 in the fresh tree; position code 000 (upper 0) or
// 11111111 (upper 63), then the lower 6 bits.
TEST(Lzh, MatchIntoTheInitialRing) {
  // distance 1: the space before the first byte, repeated.
  EXPECT_EQ(LzhDecode(Bytes({0x8C, 0x00, 0x00}), 3), "   ");
  // position 4035: distance 4036, the first of the ring's spaces.
  EXPECT_EQ(LzhDecode(Bytes({0x8C, 0xFF, 0x0C}), 3), "   ");
  // position 4036 and 4095: the F bytes after the write position, zero until written; the first
  // reaches one zero byte, then the spaces.
  EXPECT_EQ(LzhDecode(Bytes({0x8C, 0xFF, 0x10}), 3), Bytes({0, ' ', ' '}));
  EXPECT_EQ(LzhDecode(Bytes({0x8C, 0xFF, 0xFC}), 3), std::string(3, '\0'));
}

TEST(Lzh, LastMatchStopsAtTheDeclaredLength) {
  EXPECT_EQ(LzhDecode(Bytes({0x8C, 0x00, 0x00}), 2), "  ");
  EXPECT_EQ(LzhDecode(Bytes({0x8C, 0x00, 0x00}), 1), " ");
  EXPECT_EQ(LzhDecode("", 0), "");
}

TEST(Lzh, RoundTripsAndMatchesTheReferenceDecoder) {
  for (const auto& [name, data] : Samples()) {
    SCOPED_TRACE(name);
    const std::string packed = LzhEncode(data);
    EXPECT_EQ(LzhEncode(data), packed);  // deterministic
    EXPECT_EQ(LzhDecode(packed, static_cast<int32_t>(data.size())), data);
    const TReference ref = ReferenceDecode(packed, static_cast<int>(data.size()));
    EXPECT_FALSE(ref.overran);
    EXPECT_EQ(ref.out, data);
  }
  // Compression does its job on the easy cases.
  EXPECT_LT(LzhEncode(std::string(100000, 'x')).size(), 2200u);  // 1667 matches of at least 10 bits
  std::mt19937 rng(1);
  EXPECT_LT(LzhEncode(Text(rng, 200000)).size(), 60000u);
}

// Arbitrary bit streams: every symbol, position and tree state the data can reach, including matches
// into the ring's zero bytes and truncated input.
TEST(Lzh, ArbitraryStreamsDecodeLikeTheReference) {
  std::mt19937 rng(27);
  int overran = 0, complete = 0;
  for (int round = 0; round < 400; ++round) {
    const std::string in = RandomBytes(rng, 1 + rng() % 300);
    const int count = static_cast<int>(rng() % (6 * in.size() + 1));
    const TReference ref = ReferenceDecode(in, count);
    if (ref.overran) {
      ++overran;
      EXPECT_THROW(LzhDecode(in, count), ElzhException);
    } else {
      ++complete;
      EXPECT_EQ(LzhDecode(in, count), ref.out.substr(0, static_cast<size_t>(count)));
    }
  }
  EXPECT_GT(overran, 20);
  EXPECT_GT(complete, 20);
  // Long enough to rebuild the tree with matches of every kind.
  const std::string big = RandomBytes(rng, 40000);
  const TReference ref = ReferenceDecode(big, 200000);
  ASSERT_FALSE(ref.overran);
  EXPECT_EQ(LzhDecode(big, 200000), ref.out.substr(0, 200000));
}

TEST(Lzh, RefusesImpossibleLengthsAndShortStreams) {
  using testsupport::MessageOf;
  const std::string packed = LzhEncode(std::string(1000, 'q'));
  EXPECT_EQ(MessageOf<ElzhException>([&] { LzhDecode(packed, -1); }), "LZH : Invalid unpacked length -1");
  EXPECT_EQ(MessageOf<ElzhException>([&] { LzhDecode("0123456789", 0x7FFFFFFF); }),
            "LZH : Unpacked length 2147483647 exceeds the limit of 67108864 bytes");
  EXPECT_EQ(MessageOf<ElzhException>([&] { LzhDecode("0123456789", 481); }),
            "LZH : Unpacked length 481 is more than 10 packed bytes can hold");
  EXPECT_THROW(LzhDecode("", 1), ElzhException);
  // The bound is tight: a long run comes close to 48 bytes per packed byte and is accepted.
  const std::string run(480000, 'z');
  const std::string runPacked = LzhEncode(run);
  EXPECT_GT(run.size(), 47 * runPacked.size());
  EXPECT_EQ(LzhDecode(runPacked, static_cast<int32_t>(run.size())), run);
  // Every cut of a stream is noticed.
  for (size_t cut = 0; cut < packed.size(); ++cut)
    EXPECT_THROW(LzhDecode(packed.substr(0, cut), 1000), ElzhException) << cut;
}

TEST(Lzh, UnpacksThroughProcedures) {
  std::mt19937 rng(5);
  const std::string data = Text(rng, 150000);  // more than one 64 KB write
  cl::TMemoryStream source(LzhEncode(data)), target;
  skin::TLZH lzh(&source, &target);
  int writes = 0;
  lzh.Unpack(
      static_cast<int32_t>(data.size()),
      [&](const void* b, uint16_t n) {
        ++writes;
        return lzh.LZHWriteToStream(b, n);
      },
      [&](void* b, uint16_t n) { return lzh.LZHReadFromStream(b, n); });
  EXPECT_EQ(target.Bytes(), data);
  EXPECT_EQ(writes, 3);
  source.SetPosition(0);
  EXPECT_THROW(lzh.Unpack(
                   static_cast<int32_t>(data.size()), [](const void*, uint16_t n) { return uint16_t(n - 1); },
                   [&](void* b, uint16_t n) { return lzh.LZHReadFromStream(b, n); }),
               cl::EWriteError);
}

#ifdef HK_HAVE_LHASA
using lhatest::LhaDecode;

// LHA's -lh1- method reads the same code; it differs only in starting with a ring full of spaces. Our
// encoder refers only to the spaces both share, so LHA must read back every sample.
TEST(LzhWithLhasa, LhaReadsOurStreams) {
  int big = 0;
  const auto samples = Samples();
  ASSERT_GE(samples.size(), 20u);
  for (const auto& [name, data] : samples) {
    SCOPED_TRACE(name);
    EXPECT_EQ(LhaDecode(LzhEncode(data), data.size()), data);
    if (data.size() >= 48 * 1024) ++big;
  }
  EXPECT_GE(big, 2);
}

// On arbitrary streams LHA agrees with the reference transcription set to its all-spaces ring, which
// pins the transcription's tree and position code to an independent implementation.
TEST(LzhWithLhasa, ArbitraryStreamsMatchTheReference) {
  std::mt19937 rng(99);
  int compared = 0;
  for (int round = 0; round < 200; ++round) {
    const std::string in = RandomBytes(rng, 1 + rng() % 400);
    const int count = static_cast<int>(rng() % (2 * in.size() + 1));
    const TReference ref = ReferenceDecode(in, count, true);
    if (ref.overran) continue;
    ++compared;
    EXPECT_EQ(LhaDecode(in, static_cast<size_t>(count)), ref.out.substr(0, static_cast<size_t>(count)))
        << round;
  }
  EXPECT_GT(compared, 100);
}
#else
TEST(LzhWithLhasa, Skipped) {
  GTEST_SKIP() << "the LHA library is not part of this build; its comparison runs natively";
}
#endif
