// The LZHUF codec of skin packages: LZSS over a 4096-byte ring with an adaptive Huffman code for bytes and
// match lengths and a fixed code for match positions, bits taken most significant first.
//
// Decoding is bounded by the input: a stream cannot claim more output than its bits can carry, nor more
// than kLzhMaxUnpacked, and a stream that runs out before the declared length is refused.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "Classes.h"
#include "Streams.h"
#include "SysUtils.h"

namespace skin {

using cl::Exception;  // CL_DECLARE_EXCEPTION names its base unqualified

// Raised when the decoder cannot get its memory, and for streams it refuses.
CL_DECLARE_EXCEPTION(ElzhException, Exception)

inline constexpr const char* kLzhNoMemory = "LZH : Cannot get memory for dictionary tables";

// The shortest match code is 10 bits (a 1-bit length symbol and a 9-bit position) for at most 60 bytes,
// so one input byte never yields more than 48 output bytes.
inline constexpr int64_t kLzhMaxExpansion = 48;
// No skin comes near this; it keeps a damaged length from claiming gigabytes.
inline constexpr int64_t kLzhMaxUnpacked = int64_t{64} << 20;

// Decodes `stream` to exactly `count` bytes. Throws ElzhException for a negative count, a count beyond
// kLzhMaxUnpacked or kLzhMaxExpansion times the stream's size, and a stream that ends early.
std::string LzhDecode(std::string_view stream, int32_t count);

// Encodes `data` (at most kLzhMaxUnpacked bytes, else ElzhException) into a stream that LzhDecode turns
// back into it. The output depends on the data only.
std::string LzhEncode(std::string_view data);

// The decoder for one unpacking between two streams, through read and write procedures.
class TLZH : public cl::TObject {
  CL_PLAIN_CLASS(TLZH, cl::TObject)

  // Reads up to `wanted` bytes into buffer and returns how many it got (0 at the end).
  using TReadProc = std::function<uint16_t(void* buffer, uint16_t wanted)>;
  // Writes `size` bytes and returns how many it wrote.
  using TWriteProc = std::function<uint16_t(const void* buffer, uint16_t size)>;

  // The streams serve LZHReadFromStream and LZHWriteToStream; either may be null when unused.
  explicit TLZH(cl::TStream* source = nullptr, cl::TStream* target = nullptr)
      : source_(source), target_(target) {}

  // Reads the whole stream through readProc, decodes `count` bytes and hands them to writeProc. Errors as
  // for LzhDecode; a short write throws cl::EWriteError.
  void Unpack(int32_t count, const TWriteProc& writeProc, const TReadProc& readProc);

  // min(wanted, bytes left in the source).
  uint16_t LZHReadFromStream(void* buffer, uint16_t wanted);
  // Writes all bytes to the target (stream errors propagate).
  uint16_t LZHWriteToStream(const void* buffer, uint16_t size);

 private:
  cl::TStream* source_;
  cl::TStream* target_;
};

}  // namespace skin
