// Decoding with the system's LHA library, the independent decoder that the LZH tests and the benchmark
// compare ours with. Only where the library is installed (HK_HAVE_LHASA); never used by the programs.
#pragma once
#ifdef HK_HAVE_LHASA
#include <lha_decoder.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

namespace lhatest {

struct TLhaSource {
  std::string_view data;
  size_t pos = 0;
};

inline size_t ReadLhaSource(void* buf, size_t len, void* user) {
  auto* src = static_cast<TLhaSource*>(user);
  const size_t n = std::min(len, src->data.size() - src->pos);
  std::memcpy(buf, src->data.data() + src->pos, n);
  src->pos += n;
  return n;
}

// Decodes a raw "-lh1-" stream of `count` bytes; what comes out before the stream fails.
inline std::string LhaDecode(std::string_view stream, size_t count) {
  TLhaSource src{stream};
  char method[] = "-lh1-";
  LHADecoder* d = lha_decoder_new(lha_decoder_for_name(method), ReadLhaSource, &src, count);
  std::string out(count, '\0');
  size_t got = 0;
  while (got < count) {
    const size_t n = lha_decoder_read(d, reinterpret_cast<uint8_t*>(out.data()) + got, count - got);
    if (n == 0) break;
    got += n;
  }
  lha_decoder_free(d);
  out.resize(got);
  return out;
}

}  // namespace lhatest
#endif
