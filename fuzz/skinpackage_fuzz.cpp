// The skin package reader on hostile packages: it loads, reports an older package, or refuses with an
// exception of its own, and whatever it loaded can be read entry by entry within bounds.
// Input: one mode byte, then either the package itself (even mode) or its unpacked contents (odd mode),
// which the fuzzer then packs, so that it reaches the layout without fighting the compression.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Lzh.h"
#include "SkinRead.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string package = rest;
  if (data[0] & 1) {
    const auto n = static_cast<uint32_t>(rest.size());
    package = std::string{static_cast<char>(n), static_cast<char>(n >> 8), static_cast<char>(n >> 16),
                          static_cast<char>(n >> 24)} +
              skin::LzhEncode(rest);
  }
  skin::TSkinReader reader;
  cl::TMemoryStream source(package);
  try {
    if (!reader.LoadFromStream(source)) return 0;
  } catch (const skin::ElzhException&) {
    return 0;
  } catch (const skin::ESkinPackageError&) {
    return 0;
  }
  for (int i = 0; i < reader.Count(); ++i) {
    cl::TMemoryStream target;
    const std::string name = reader.Names()[i];
    reader.ReadEntry(name, target);
    // A repeated name yields its first entry.
    if (target.Size() != reader.EntrySize(reader.Names().IndexOf(name))) {
      std::fprintf(stderr, "entry size mismatch\n");
      std::abort();
    }
  }
  cl::TMemoryStream target;
  std::string name;
  reader.FindEntry(".ini", target, name);
  return 0;
}
