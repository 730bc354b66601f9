// Key strings of "Send Keystrokes": plain characters, the modifier prefixes "+" (Shift), "^" (Ctrl),
// "%" (Alt) and "#" (Win), "~" for Enter, key names in braces and one delay token. ParseKeyString turns
// a whole string into the key events that type it, so the sender only replays them: modifier presses and
// releases are explicit, scan codes and extended-key flags are filled in, delays are steps of their own.
// A string with a syntax error still types the keys before the error; no key is ever left held.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "SysUtils.h"

namespace hk {

using cl::Exception;
CL_DECLARE_EXCEPTION(ESendKeyError, Exception)
CL_DECLARE_EXCEPTION(EInvalidToken, ESendKeyError)

inline constexpr std::string_view IncorrectDelaySyntax = "Incorrect delay syntax";
inline constexpr std::string_view InvalidDelayValue = "Invalid value for Delay";
inline constexpr std::string_view NoClosingBrace = "No closing brace";

// The longest name that fits between braces; a longer one is "No closing brace".
inline constexpr std::size_t MaxKeyNameLength = 12;
// The longest pause after each key. The sender waits on the GUI thread, so a longer (or negative) value
// would freeze the program for days; such a delay token is "Invalid value for Delay".
inline constexpr std::uint32_t MaxKeyDelay = 60000;

// Virtual keys that the parser itself presses.
inline constexpr std::uint8_t VkShift = 0x10;
inline constexpr std::uint8_t VkControl = 0x11;
inline constexpr std::uint8_t VkAlt = 0x12;
inline constexpr std::uint8_t VkReturn = 0x0D;
inline constexpr std::uint8_t VkLeftWin = 0x5B;
inline constexpr std::uint8_t VkNumpad0 = 0x60;

// The key names allowed between braces, in look-up order (the first equal name counts).
struct KeyToken {
  std::string_view name;
  std::uint8_t vk;
};
extern const std::array<KeyToken, 44> KeyTokens;

// The virtual key of a brace name, compared without regard to (ASCII) case; nullopt for an unknown name.
std::optional<std::uint8_t> LookupKeyToken(std::u32string_view name);
std::optional<std::uint8_t> LookupKeyToken(std::string_view name);

// True for the keys whose events carry the extended-key flag (navigation block, Num Lock, Print Screen,
// the Windows and application keys, keypad divide, right Ctrl and Alt, Break). Without it an arrow
// with Num Lock on arrives as a keypad digit and Shift+arrow selects nothing.
bool IsExtendedKey(std::uint8_t vk) noexcept;

// Shift-state bits of a key on a keyboard layout (the high byte of the system's character-to-key
// look-up); other bits are ignored.
enum KeyShiftState : std::uint8_t { ksShift = 1, ksCtrl = 2, ksAlt = 4 };

struct LayoutKey {
  std::uint8_t vk = 0;
  std::uint8_t shift = 0;  // KeyShiftState bits held while the key is pressed

  friend bool operator==(const LayoutKey&, const LayoutKey&) = default;
};

// The keyboard layout that plain characters are typed on.
class KeyLayout {
 public:
  virtual ~KeyLayout() = default;
  // The key and shift state that type the character; nullopt when the layout has none.
  virtual std::optional<LayoutKey> KeyOf(char32_t ch) const = 0;
  // The scan code of a virtual key on this layout (0 when there is none).
  virtual std::uint16_t ScanCodeOf(std::uint8_t vk) const = 0;
  // The code page whose single-byte characters can be typed as Alt codes ("0" and the code on the keypad).
  virtual unsigned AnsiCodePage() const = 0;
};

// The US English layout, with code page 1252: a fixed layout for tests, tools and fuzzing.
class UsKeyLayout final : public KeyLayout {
 public:
  std::optional<LayoutKey> KeyOf(char32_t ch) const override;
  std::uint16_t ScanCodeOf(std::uint8_t vk) const override;
  unsigned AnsiCodePage() const override { return 1252; }
};

struct KeyStep {
  enum class Kind : std::uint8_t {
    KeyDown,  // vk, scan, extended
    KeyUp,    // vk, scan, extended
    Char,     // codePoint: type a character no key of the layout has (as Unicode input, down and up)
    Delay,    // delayMs: wait before the next step
  };
  Kind kind = Kind::KeyDown;
  std::uint8_t vk = 0;
  bool extended = false;
  std::uint16_t scan = 0;
  char32_t codePoint = 0;
  std::uint32_t delayMs = 0;

  friend bool operator==(const KeyStep&, const KeyStep&) = default;
};

// The steps that type a key string (UTF-8; malformed sequences stand for U+FFFD), appended to `steps`.
// Throws EInvalidToken with one of the three messages above; `steps` then holds the keys before the
// error (none for a bad delay token, which is read before any key).
//  - Characters the layout has are pressed with their shift state added to the pending prefixes.
//  - Characters it lacks are typed as an Alt code when the layout's code page holds them as one byte,
//    else as a Char step; prefixes pending before such a character are dropped (neither route can
//    carry them).
//  - The delay of the first delay token applies after every key of the string; a string without one
//    has no delay (nothing carries over from an earlier string).
// Every KeyDown has its KeyUp later in the list, also when the string stops at an error.
void ParseKeyString(std::string_view keys, const KeyLayout& layout, std::vector<KeyStep>& steps);
// The same into a list of its own, for a string known to be good: nothing of it on an error.
std::vector<KeyStep> ParseKeyString(std::string_view keys, const KeyLayout& layout);

}  // namespace hk
