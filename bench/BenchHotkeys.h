// Hot key texts for the benchmarks' generated definitions files.
#pragma once
#include <string>

#include "Definitions.h"
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

// A definitions file of one inactive row: what the editor benchmarks open before their own files.
inline void WriteOneRowDefinitions(const std::string& path) {
  hk::Definitions defs;
  hk::HotkeyEntry e;
  e.description = "Editor";
  e.data = "notepad.exe";
  e.hotkey = "Ctrl+Alt+Shift+F8";
  e.active = "False";
  defs.entries.push_back(e);
  hk::SaveDefinitions(path, defs);
}

}  // namespace benchsupport
