// Arbitrary bytes as a key string: the parser gives steps that a sender can replay safely, also the steps
// before an error (which is one of its three messages): every key that goes down comes up again later,
// no key comes up that is not down, pauses stay within the limit and characters are real code points.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "KeyString.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view keys(reinterpret_cast<const char*>(data), size);
  static const hk::UsKeyLayout layout;
  std::vector<hk::KeyStep> steps;
  try {
    hk::ParseKeyString(keys, layout, steps);
  } catch (const hk::EInvalidToken& e) {
    if (e.Message() != hk::IncorrectDelaySyntax && e.Message() != hk::InvalidDelayValue &&
        e.Message() != hk::NoClosingBrace)
      __builtin_trap();
  }
  std::array<int, 256> down{};
  for (const hk::KeyStep& s : steps) {
    switch (s.kind) {
      case hk::KeyStep::Kind::KeyDown:
        ++down[s.vk];
        if (s.vk == 0 || s.extended != hk::IsExtendedKey(s.vk) || s.scan != layout.ScanCodeOf(s.vk)) __builtin_trap();
        break;
      case hk::KeyStep::Kind::KeyUp:
        if (--down[s.vk] < 0) __builtin_trap();
        break;
      case hk::KeyStep::Kind::Char:
        if (s.codePoint > 0x10FFFF || (s.codePoint >= 0xD800 && s.codePoint <= 0xDFFF)) __builtin_trap();
        break;
      case hk::KeyStep::Kind::Delay:
        if (s.delayMs == 0 || s.delayMs > hk::MaxKeyDelay) __builtin_trap();
        break;
    }
  }
  for (const int n : down)
    if (n != 0) __builtin_trap();
  // Output grows with the input, never faster: at most an Alt code (4 digits with pauses) per character.
  if (steps.size() > 16 * size + 16) __builtin_trap();
  return 0;
}
