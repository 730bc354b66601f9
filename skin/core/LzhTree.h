// The parameters of the skin package's LZHUF code and the adaptive Huffman tree that both the decoder and
// the encoder drive: after every symbol each side calls Update with it, so the two trees stay equal.
#pragma once
#include <array>
#include <cstdint>

namespace skin::lzh {

inline constexpr int N = 4096;                      // ring buffer size: 12-bit positions
inline constexpr int F = 60;                        // longest match
inline constexpr int THRESHOLD = 2;                 // shorter matches than THRESHOLD + 1 are literals
inline constexpr int N_CHAR = 256 - THRESHOLD + F;  // 314 symbols: bytes, then lengths 3..60
inline constexpr int T = N_CHAR * 2 - 1;            // tree nodes
inline constexpr int R = T - 1;                     // the root
inline constexpr unsigned MAX_FREQ = 0x8000;        // root frequency that triggers a rebuild
inline constexpr int kRingSpaces = N - F;           // ring bytes that start as spaces; r starts here

// Length symbols: symbol = length + 253.
inline constexpr int kFirstLengthSymbol = 256;
inline constexpr int kLengthBias = 256 - THRESHOLD - 1;  // 253

// The fixed code of a position's upper 6 bits, indexed by the next 8 input bits: the upper value and the
// code length. Symbol 0 has a 3-bit code, 1-3 4-bit codes, 4-11 5-bit, 12-23 6-bit, 24-47 7-bit and 48-63
// 8-bit codes; a code of length n fills 2^(8-n) consecutive indexes.
struct TPositionCode {
  std::array<uint8_t, 256> d_code{};
  std::array<uint8_t, 256> d_len{};
  // The other direction, for the encoder: code bits (right-aligned) and length of each upper value.
  std::array<uint8_t, 64> p_code{};
  std::array<uint8_t, 64> p_len{};
};

constexpr TPositionCode MakePositionCode() {
  TPositionCode t;
  struct Group {
    int symbols, length;
  };
  constexpr Group groups[] = {{1, 3}, {3, 4}, {8, 5}, {12, 6}, {24, 7}, {16, 8}};
  int index = 0, upper = 0;
  for (const Group& g : groups) {
    for (int s = 0; s < g.symbols; ++s, ++upper) {
      t.p_code[upper] = static_cast<uint8_t>(index >> (8 - g.length));
      t.p_len[upper] = static_cast<uint8_t>(g.length);
      for (int k = 0; k < (1 << (8 - g.length)); ++k, ++index) {
        t.d_code[index] = static_cast<uint8_t>(upper);
        t.d_len[index] = static_cast<uint8_t>(g.length);
      }
    }
  }
  return t;
}

inline constexpr TPositionCode kPositionCode = MakePositionCode();
static_assert(kPositionCode.d_code[31] == 0 && kPositionCode.d_code[32] == 1 &&
              kPositionCode.d_code[255] == 63);
static_assert(kPositionCode.d_len[0] == 3 && kPositionCode.d_len[79] == 4 && kPositionCode.d_len[80] == 5 &&
              kPositionCode.d_len[255] == 8);

// The adaptive Huffman tree. Nodes 0..T-1 are kept in order of non-decreasing frequency (the root, R, is
// last); son[n] is the first of a node's two children (they sit at son[n] and son[n] + 1, and son[n] is
// always even), or T + symbol for a leaf; prnt[T + symbol] is a leaf's node.
class THuffTree {
 public:
  THuffTree() { StartHuff(); }

  void StartHuff();
  // Counts one occurrence of symbol c and restores the order, rebuilding the tree when the root's
  // frequency has reached MAX_FREQ.
  void Update(unsigned c);

  std::array<uint16_t, T + 1> freq;  // freq[T] is a sentinel above every real frequency
  std::array<uint16_t, T + N_CHAR> prnt;
  std::array<uint16_t, T> son;

 private:
  void Reconst();
  // The last node at or after `from` whose frequency is below k (freq[from] < k is known).
  unsigned LastBelow(unsigned from, unsigned k) const;
};

// Inline: the decoder calls it once per symbol.
inline void THuffTree::Update(unsigned c) {
  if (freq[R] == MAX_FREQ) Reconst();
  c = prnt[c + T];
  do {
    const unsigned k = ++freq[c];
    if (k > freq[c + 1]) {
      // c now outranks its successors of the old frequency: it trades places with the last of them,
      // taking its subtree along.
      const unsigned l = LastBelow(c + 1, k);
      freq[c] = freq[l];
      freq[l] = static_cast<uint16_t>(k);
      const unsigned i = son[c];
      prnt[i] = static_cast<uint16_t>(l);
      if (i < T) prnt[i + 1] = static_cast<uint16_t>(l);
      const unsigned j = son[l];
      son[l] = static_cast<uint16_t>(i);
      prnt[j] = static_cast<uint16_t>(c);
      if (j < T) prnt[j + 1] = static_cast<uint16_t>(c);
      son[c] = static_cast<uint16_t>(j);
      c = l;
    }
    c = prnt[c];
  } while (c != 0);  // prnt[R] is 0, and no other node has node 0 (always a leaf) as parent
}

inline unsigned THuffTree::LastBelow(unsigned from, unsigned k) const {
  // Runs of equal frequencies can be long (all leaves start at 1), so gallop, then halve. freq[T] is
  // above every k, which ends the search inside the array.
  unsigned lo = from, hi = from, step = 1;
  for (;;) {
    hi = lo + step > T ? T : lo + step;
    if (freq[hi] >= k) break;
    lo = hi;
    step <<= 1;
  }
  while (hi - lo > 1) {
    const unsigned mid = (lo + hi) / 2;
    if (freq[mid] < k)
      lo = mid;
    else
      hi = mid;
  }
  return lo;
}

}  // namespace skin::lzh
