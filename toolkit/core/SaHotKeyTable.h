// The hotkey combination in its registration form: a modifier set and an index into SaHotKeyVirtualKeys.
#pragma once
#include <array>
#include <cstdint>

namespace toolkit {

// TSaHotKeyModifiers: bit 0 Shift, bit 1 Ctrl, bit 2 Alt, bit 3 Win.
using TSaHotKeyModifiers = std::uint8_t;
inline constexpr TSaHotKeyModifiers hkShift = 1;
inline constexpr TSaHotKeyModifiers hkCtrl = 2;
inline constexpr TSaHotKeyModifiers hkAlt = 4;
inline constexpr TSaHotKeyModifiers hkWin = 8;

inline constexpr int SaHotKeyKeyCount = 114;

// Windows virtual-key codes by key index; index 0 stands for no key. The single source of the code.
extern const std::array<std::uint32_t, SaHotKeyKeyCount> SaHotKeyVirtualKeys;

// RegisterHotKey flags of a modifier set: Shift MOD_SHIFT (4), Ctrl MOD_CONTROL (2), Alt MOD_ALT (1), Win MOD_WIN (8).
constexpr unsigned ModifiersToFlags(TSaHotKeyModifiers m) {
  return ((m & hkShift) ? 4u : 0u) | ((m & hkCtrl) ? 2u : 0u) | ((m & hkAlt) ? 1u : 0u) | ((m & hkWin) ? 8u : 0u);
}

}  // namespace toolkit
