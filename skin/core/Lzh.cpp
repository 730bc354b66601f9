#include "Lzh.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>
#include <vector>

#include "LzhTree.h"

namespace skin {

using namespace lzh;

void THuffTree::StartHuff() {
  for (int i = 0; i < N_CHAR; ++i) {
    freq[i] = 1;
    son[i] = static_cast<uint16_t>(i + T);
    prnt[i + T] = static_cast<uint16_t>(i);
  }
  for (int i = 0, j = N_CHAR; j <= R; i += 2, ++j) {
    freq[j] = static_cast<uint16_t>(freq[i] + freq[i + 1]);
    son[j] = static_cast<uint16_t>(i);
    prnt[i] = prnt[i + 1] = static_cast<uint16_t>(j);
  }
  freq[T] = 0xFFFF;
  prnt[R] = 0;
}

void THuffTree::Reconst() {
  // Leaves to the front, in order, with halved frequencies (never 0).
  int j = 0;
  for (int i = 0; i < T; ++i) {
    if (son[i] >= T) {
      freq[j] = static_cast<uint16_t>((freq[i] + 1) / 2);
      son[j] = son[i];
      ++j;
    }
  }
  // Join the pairs in order, each sum inserted after the last node not above it.
  for (int i = 0, n = N_CHAR; n < T; i += 2, ++n) {
    const unsigned f = freq[i] + freq[i + 1];
    int k = n - 1;
    while (f < freq[k]) --k;
    ++k;
    std::copy_backward(freq.begin() + k, freq.begin() + n, freq.begin() + n + 1);
    std::copy_backward(son.begin() + k, son.begin() + n, son.begin() + n + 1);
    freq[k] = static_cast<uint16_t>(f);
    son[k] = static_cast<uint16_t>(i);
  }
  for (int k = 0; k < T; ++k) {
    const unsigned s = son[k];
    prnt[s] = static_cast<uint16_t>(k);
    if (s < T) prnt[s + 1] = static_cast<uint16_t>(k);
  }
}

namespace {

// Bits most significant first from a block of memory. Bytes past the end read as 0, as the format
// has it; they are counted so that the caller can tell whether any of their bits were used.
class TBitInput {
 public:
  TBitInput(const unsigned char* data, size_t size) : p_(data), end_(data + size) {}

  // At least 57 valid bits afterwards.
  void Refill() {
    while (count_ <= 56) {
      unsigned byte = 0;
      if (p_ != end_)
        byte = *p_++;
      else
        ++overrun_;
      buf_ |= uint64_t{byte} << (56 - count_);
      count_ += 8;
    }
  }
  unsigned Bit() {
    if (count_ == 0) Refill();
    const unsigned b = static_cast<unsigned>(buf_ >> 63);
    buf_ <<= 1;
    --count_;
    return b;
  }
  // n in 1..32.
  unsigned Bits(int n) {
    if (count_ < n) Refill();
    const unsigned v = static_cast<unsigned>(buf_ >> (64 - n));
    buf_ <<= n;
    count_ -= n;
    return v;
  }
  // True when bits beyond the input were used.
  bool Overran() const { return overrun_ * 8 > static_cast<uint64_t>(count_); }

 private:
  const unsigned char* p_;
  const unsigned char* end_;
  uint64_t buf_ = 0;
  int count_ = 0;
  uint64_t overrun_ = 0;
};

// The byte that a position before the first output byte holds: the ring starts with N - F spaces before
// the write position; the F bytes after it are zero until written.
inline unsigned char InitialRingByte(int64_t linear) { return linear >= -kRingSpaces ? ' ' : 0; }

void DecodeInto(const unsigned char* in, size_t inSize, unsigned char* out, size_t count) {
  THuffTree tree;
  TBitInput bits(in, inSize);
  const auto& pc = kPositionCode;
  size_t w = 0;
  while (w < count) {
    bits.Refill();
    unsigned c = tree.son[R];
    while (c < T) c = tree.son[c + bits.Bit()];
    c -= T;
    tree.Update(c);
    if (c < kFirstLengthSymbol) {
      out[w++] = static_cast<unsigned char>(c);
      continue;
    }
    // Position: a fixed code for the upper 6 bits, read through an 8-bit window, then the lower 6 bits.
    unsigned i = bits.Bits(8);
    const unsigned upper = unsigned{pc.d_code[i]} << 6;
    const int more = pc.d_len[i] - 2;
    i = (i << more) | bits.Bits(more);
    const size_t distance = (upper | (i & 63)) + 1;
    // A match never runs past the declared length.
    const size_t length = std::min<size_t>(c - kLengthBias, count - w);
    unsigned char* dst = out + w;
    if (distance > w) {
      // Reaches back into the ring's initial contents: only in the first N bytes.
      for (size_t k = 0; k < length; ++k) {
        const int64_t from = static_cast<int64_t>(w + k) - static_cast<int64_t>(distance);
        dst[k] = from >= 0 ? out[from] : InitialRingByte(from);
      }
    } else if (distance >= length) {
      std::memcpy(dst, dst - distance, length);
    } else {
      // Overlapping: each byte may be one this match has just written.
      const unsigned char* src = dst - distance;
      for (size_t k = 0; k < length; ++k) dst[k] = src[k];
    }
    w += length;
  }
  if (bits.Overran()) throw ElzhException("LZH : Packed data ends before the unpacked length is reached");
}

void CheckCount(int64_t count, size_t inSize) {
  if (count < 0)
    throw ElzhException(cl::Format("LZH : Invalid unpacked length %lld", static_cast<long long>(count)));
  if (count > kLzhMaxUnpacked)
    throw ElzhException(cl::Format("LZH : Unpacked length %lld exceeds the limit of %lld bytes",
                                   static_cast<long long>(count), static_cast<long long>(kLzhMaxUnpacked)));
  if (count > kLzhMaxExpansion * static_cast<int64_t>(inSize))
    throw ElzhException(cl::Format("LZH : Unpacked length %lld is more than %llu packed bytes can hold",
                                   static_cast<long long>(count), static_cast<unsigned long long>(inSize)));
}

// ---------------------------------------------------------------------------------------------------------
// Encoder.

class TBitOutput {
 public:
  // value's low `length` bits, length in 0..56.
  void Put(uint64_t value, int length) {
    buf_ = (buf_ << length) | value;
    count_ += length;
    while (count_ >= 8) {
      count_ -= 8;
      out_.push_back(static_cast<char>(buf_ >> count_));
    }
  }
  // Pads the last byte with zero bits.
  std::string Finish() {
    if (count_ > 0) Put(0, 8 - count_);
    return std::move(out_);
  }

 private:
  std::string out_;
  uint64_t buf_ = 0;
  int count_ = 0;
};

// Finds the longest match (the nearest of equal length) through hash chains of 3-byte prefixes.
// Positions are indexes into a buffer that starts with the ring's spaces.
class TMatchFinder {
 public:
  explicit TMatchFinder(std::string_view buffer) : buf_(buffer), head_(kHashSize, -1), prev_(N, -1) {}

  void Insert(int64_t pos) {
    if (pos + 3 > static_cast<int64_t>(buf_.size())) return;
    const unsigned h = Hash(pos);
    prev_[pos & (N - 1)] = head_[h];
    head_[h] = static_cast<int32_t>(pos);
  }

  // Length (0 when below THRESHOLD + 1) and distance of the best match for pos.
  int Find(int64_t pos, int64_t& distance) const {
    const int64_t size = static_cast<int64_t>(buf_.size());
    const int maxLength = static_cast<int>(std::min<int64_t>(F, size - pos));
    if (maxLength <= THRESHOLD) return 0;
    const unsigned char* cur = reinterpret_cast<const unsigned char*>(buf_.data()) + pos;
    int best = THRESHOLD;
    int chain = kMaxChain;
    for (int64_t cand = head_[Hash(pos)]; cand >= 0 && pos - cand <= N && chain-- > 0;
         cand = prev_[cand & (N - 1)]) {
      const unsigned char* old = reinterpret_cast<const unsigned char*>(buf_.data()) + cand;
      if (old[best] != cur[best]) continue;
      int len = 0;
      while (len < maxLength && old[len] == cur[len]) ++len;
      if (len > best) {
        best = len;
        distance = pos - cand;
        if (len == maxLength) break;
      }
    }
    return best > THRESHOLD ? best : 0;
  }

 private:
  static constexpr int kHashBits = 13;  // the window holds only 4096 positions
  static constexpr size_t kHashSize = size_t{1} << kHashBits;
  static constexpr int kMaxChain = 256;

  unsigned Hash(int64_t pos) const {
    const auto* p = reinterpret_cast<const unsigned char*>(buf_.data()) + pos;
    const uint32_t v = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
    return (v * 2654435761u) >> (32 - kHashBits);
  }

  std::string_view buf_;
  std::vector<int32_t> head_;  // positions fit: the data is at most kLzhMaxUnpacked bytes
  std::vector<int32_t> prev_;  // by position mod N: older positions are out of reach anyway
};

class TEncoder {
 public:
  void Char(unsigned c) {
    // Climb from the leaf to the root; a node's bit is its side of its pair (pairs start at even nodes).
    uint64_t code = 0;
    int length = 0;
    unsigned node = tree_.prnt[c + T];
    do {
      code |= uint64_t{node & 1u} << length;
      ++length;
      node = tree_.prnt[node];
    } while (node != R);
    if (length > 56) throw std::logic_error("LZH tree too deep");  // the tree's balance keeps it near 24
    out_.Put(code, length);
    tree_.Update(c);
  }
  void Position(unsigned pos) {
    const unsigned upper = pos >> 6;
    out_.Put(kPositionCode.p_code[upper], kPositionCode.p_len[upper]);
    out_.Put(pos & 63, 6);
  }
  std::string Finish() { return out_.Finish(); }

 private:
  THuffTree tree_;
  TBitOutput out_;
};

}  // namespace

std::string LzhDecode(std::string_view stream, int32_t count) {
  CheckCount(count, stream.size());
  std::string out;
  try {
    out.resize(static_cast<size_t>(count));
  } catch (const std::bad_alloc&) {
    throw ElzhException(kLzhNoMemory);
  }
  DecodeInto(reinterpret_cast<const unsigned char*>(stream.data()), stream.size(),
             reinterpret_cast<unsigned char*>(out.data()), out.size());
  return out;
}

std::string LzhEncode(std::string_view data) {
  if (static_cast<int64_t>(data.size()) > kLzhMaxUnpacked)
    throw ElzhException(cl::Format("LZH : %llu bytes exceed the limit of %lld bytes",
                                   static_cast<unsigned long long>(data.size()),
                                   static_cast<long long>(kLzhMaxUnpacked)));
  // The spaces before the data are the ring's: matches may start there. The F zero bytes beyond them
  // are never referred to.
  std::string buffer(kRingSpaces, ' ');
  buffer.append(data);
  TMatchFinder finder(buffer);
  for (int64_t p = kRingSpaces - F; p < kRingSpaces; ++p) finder.Insert(p);

  TEncoder enc;
  const int64_t end = static_cast<int64_t>(buffer.size());
  int64_t pos = kRingSpaces;
  while (pos < end) {
    int64_t distance = 0;
    const int length = finder.Find(pos, distance);
    if (length == 0) {
      enc.Char(static_cast<unsigned char>(buffer[pos]));
      finder.Insert(pos++);
      continue;
    }
    enc.Char(static_cast<unsigned>(length + kLengthBias));
    enc.Position(static_cast<unsigned>(distance - 1));
    for (int k = 0; k < length; ++k) finder.Insert(pos++);
  }
  return enc.Finish();
}

// ---------------------------------------------------------------------------------------------------------

void TLZH::Unpack(int32_t count, const TWriteProc& writeProc, const TReadProc& readProc) {
  std::string input;
  std::vector<char> chunk(0xFFFF);
  for (;;) {
    const uint16_t got = readProc(chunk.data(), 0xFFFF);
    if (got == 0) break;
    input.append(chunk.data(), std::min<size_t>(got, chunk.size()));
  }
  const std::string output = LzhDecode(input, count);
  for (size_t done = 0; done < output.size();) {
    const auto n = static_cast<uint16_t>(std::min<size_t>(0xFFFF, output.size() - done));
    if (writeProc(output.data() + done, n) != n) throw cl::EWriteError("Stream write error");
    done += n;
  }
}

uint16_t TLZH::LZHReadFromStream(void* buffer, uint16_t wanted) {
  return static_cast<uint16_t>(source_->Read(buffer, wanted));
}

uint16_t TLZH::LZHWriteToStream(const void* buffer, uint16_t size) {
  target_->WriteBuffer(buffer, size);
  return size;
}

}  // namespace skin
