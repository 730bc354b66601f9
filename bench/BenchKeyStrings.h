// The key strings of the benchmarks: text, prefixes, named keys, accented and other non-ASCII letters.
#pragma once
#include <cstddef>
#include <iterator>
#include <string>

namespace benchsupport {

inline std::string MakeKeyString(std::size_t bytes) {
  static const char* const pieces[] = {
      "Hello, World! ", "^c", "^v", "+{TAB}", "%{F4}", "#r", "{ENTER}", "~", "{LEFT}{LEFT}+{RIGHT}",
      "{+}{{}{}}", "Gr\xC3\xBC\xC3\x9F\x65 ", "caf\xC3\xA9 ", "\xC4\x81\xE4\xB8\xAD ", "{PGDN}{HOME}",
      "The quick brown fox jumps over the lazy dog 0123456789. ", "{UNKNOWN}",
  };
  std::string out = "{DELAY=10}";
  for (std::size_t i = 0; out.size() < bytes; ++i) out += pieces[(i * 7) % std::size(pieces)];
  return out;
}

}  // namespace benchsupport
