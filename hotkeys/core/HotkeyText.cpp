#include "HotkeyText.h"

#include "SysUtils.h"

namespace hk {

const std::array<std::string_view, HotkeyKeyNameCount> HotkeyKeyNames = {
    "Backspace", "Tab", "Return", "Pause", "Capslock", "Escape", "Space", "PgUp", "PgDn", "Home", "End",
    "Left Arrow", "Up Arrow", "Right Arrow", "Down Arrow", "PrintScreen", "Insert", "Delete",
    "0", "1", "2", "3", "4", "5", "6", "7", "8", "9",
    "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M",
    "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z",
    "Num 0", "Num 1", "Num 2", "Num 3", "Num 4", "Num 5", "Num 6", "Num 7", "Num 8", "Num 9",
    "Num *", "Num +", "Num -", "Num .", "Num /",
    "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12",
    "F13", "F14", "F15", "F16", "F17", "F18", "F19", "F20", "F21", "F22", "F23", "F24",
    "Numlock", "Scrolllock", "Application",
    "Semicolon(;)", "Equal(=)", "Comma(,)", "Hyphen(-)", "Period(.)", "Slash(/)", "Tilde(~)",
    "Left Bracket([)", "Backslash(\\)", "Right Bracket(])", "Quotes(')",
};

namespace {
// Key indexes of positions 0..17; Home and End are crossed in the key table.
constexpr std::array<std::uint8_t, 18> kFirstIndexes = {2, 3, 5, 6, 7, 8, 9, 10, 11, 13, 12, 14, 15, 16, 17, 20, 21, 22};

}  // namespace

void AppendKeyPart(std::string& text, std::string_view part) {
  if (!text.empty()) text += '+';
  text += part;
}

toolkit::TSaHotKeyModifiers ModifiersFromText(std::string_view text) {
  toolkit::TSaHotKeyModifiers m = 0;
  if (text.find("Ctrl") != std::string_view::npos) m |= toolkit::hkCtrl;
  if (text.find("Alt") != std::string_view::npos) m |= toolkit::hkAlt;
  if (text.find("Shift") != std::string_view::npos) m |= toolkit::hkShift;
  if (text.find("Win") != std::string_view::npos) m |= toolkit::hkWin;
  return m;
}

std::string_view KeyNameFromText(std::string_view text) {
  const size_t plus = text.rfind('+');
  const std::string_view name = plus == std::string_view::npos ? text : text.substr(plus + 1);
  return name.empty() ? HotkeyKeyNames[65] : name;
}

int KeyPositionFromName(std::string_view name) {
  for (int i = 0; i < HotkeyKeyNameCount; ++i)
    if (cl::SameText(name, HotkeyKeyNames[i])) return i;
  return -1;
}

int KeyPositionFromText(std::string_view text) { return KeyPositionFromName(KeyNameFromText(text)); }

std::uint8_t KeyIndexFromPosition(int position) {
  if (position < 0 || position >= HotkeyKeyNameCount) return 0;
  if (position < 18) return kFirstIndexes[position];
  // Index 72 (the keypad separator) has no name, so the positions after "Num +" move up by one more.
  return static_cast<std::uint8_t>(position <= 65 ? position + 6 : position + 7);
}

std::uint8_t KeyCodeFromText(std::string_view text) { return KeyIndexFromPosition(KeyPositionFromText(text)); }

HotkeyFileForm HotkeyFileFormFromText(std::string_view text) {
  const toolkit::TSaHotKeyModifiers m = ModifiersFromText(text);
  HotkeyFileForm f;
  f.ctrl = (m & toolkit::hkCtrl) != 0;
  f.alt = (m & toolkit::hkAlt) != 0;
  f.shift = (m & toolkit::hkShift) != 0;
  f.win = (m & toolkit::hkWin) != 0;
  f.keyPosition = KeyPositionFromText(text);
  return f;
}

std::string HotkeyTextFromFileForm(const HotkeyFileForm& form) {
  std::string text;
  if (form.ctrl) AppendKeyPart(text, "Ctrl");
  if (form.alt) AppendKeyPart(text, "Alt");
  if (form.shift) AppendKeyPart(text, "Shift");
  if (form.win) AppendKeyPart(text, "Win");
  const bool named = form.keyPosition >= 0 && form.keyPosition < HotkeyKeyNameCount;
  AppendKeyPart(text, named ? HotkeyKeyNames[form.keyPosition] : std::string_view());
  return text;
}

}  // namespace hk
