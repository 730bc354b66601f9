// The text form of a hotkey combination ("Ctrl+Alt+Delete") and its conversions to the file form
// (four Booleans and a key-name position) and to the registration form (modifier set and key index).
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "SaHotKeyTable.h"

namespace hk {

inline constexpr int HotkeyKeyNameCount = 107;

// The key names by position; the position is what the definitions file stores.
extern const std::array<std::string_view, HotkeyKeyNameCount> HotkeyKeyNames;

// Appends "+" when `text` is not empty, then `part`. Builders call it once per modifier present, in the
// order Ctrl, Alt, Shift, Win, and last once with the key name.
void AppendKeyPart(std::string& text, std::string_view part);

// The modifier bits of the words "Ctrl", "Alt", "Shift", "Win" found anywhere in the text (case-sensitive).
toolkit::TSaHotKeyModifiers ModifiersFromText(std::string_view text);

// The key name of a text: what follows the last "+", or "Num +" when nothing does.
std::string_view KeyNameFromText(std::string_view text);

// Position of a key name in HotkeyKeyNames, matched as a whole name without regard to (ASCII) case;
// -1 when it is not in the list.
int KeyPositionFromName(std::string_view name);

// Position of the key of a text (key-name rule, then the look-up above); -1 when it names no key.
int KeyPositionFromText(std::string_view text);

// Index into SaHotKeyVirtualKeys of a key-name position; 0 (no key) for a position outside 0..106.
std::uint8_t KeyIndexFromPosition(int position);

// Index into SaHotKeyVirtualKeys of the text's key; 0 when the text names no key.
std::uint8_t KeyCodeFromText(std::string_view text);

// The file form of a combination.
struct HotkeyFileForm {
  bool ctrl = false;
  bool alt = false;
  bool shift = false;
  bool win = false;
  std::int32_t keyPosition = -1;  // position in HotkeyKeyNames; -1 when the text names no key

  friend bool operator==(const HotkeyFileForm&, const HotkeyFileForm&) = default;
};

HotkeyFileForm HotkeyFileFormFromText(std::string_view text);

// A position outside 0..106 gives an empty key name, so the text ends in "+" (or is empty): "Num +".
std::string HotkeyTextFromFileForm(const HotkeyFileForm& form);

}  // namespace hk
