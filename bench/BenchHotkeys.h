// Hot key texts for the benchmarks' generated definitions files.
#pragma once
#include <string>

#include "HotkeyText.h"

namespace benchsupport {

// Combination n of the 107 keys with the modifier sets 1..15 (n / 107 + 1; n below 107 * 15).
inline std::string CombinationText(int n) {
  const int modifiers = 1 + n / 107;
  std::string text;
  if (modifiers & 1) hk::AppendKeyPart(text, "Ctrl");
  if (modifiers & 2) hk::AppendKeyPart(text, "Alt");
  if (modifiers & 4) hk::AppendKeyPart(text, "Shift");
  if (modifiers & 8) hk::AppendKeyPart(text, "Win");
  hk::AppendKeyPart(text, hk::HotkeyKeyNames[static_cast<size_t>(n % 107)]);
  return text;
}

}  // namespace benchsupport
