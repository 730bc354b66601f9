#include "KeyString.h"

#include <unordered_map>

#include "Unicode.h"

namespace hk {

const std::array<KeyToken, 44> KeyTokens = {{
    {"BACKSPACE", 0x08}, {"BKSP", 0x08},       {"BS", 0x08},         {"CAPS", 0x14},
    {"CAPSLOCK", 0x14},  {"CLEAR", 0x0C},      {"DEL", 0x2E},        {"DELETE", 0x2E},
    {"DOWN", 0x28},      {"END", 0x23},        {"ENTER", 0x0D},      {"ESC", 0x1B},
    {"ESCAPE", 0x1B},    {"HOME", 0x24},       {"INS", 0x2D},        {"INSERT", 0x2D},
    {"LEFT", 0x25},      {"NUM", 0x90},        {"NUMLOCK", 0x90},    {"PAGEDOWN", 0x22},
    {"PGDN", 0x22},      {"PAGEUP", 0x21},     {"PGUP", 0x21},       {"RIGHT", 0x27},
    {"SCROLL", 0x91},    {"SCROLLLOCK", 0x91}, {"PRINTSCREEN", 0x2C}, {"PRTSC", 0x2C},
    {"TAB", 0x09},       {"UP", 0x26},         {"F1", 0x70},         {"F2", 0x71},
    {"F3", 0x72},        {"F4", 0x73},         {"F5", 0x74},         {"F6", 0x75},
    {"F7", 0x76},        {"F8", 0x77},         {"F9", 0x78},         {"F10", 0x79},
    {"F11", 0x7A},       {"F12", 0x7B},        {"WIN", 0x5B},        {"APP", 0x5D},
}};

namespace {

char32_t UpperAscii(char32_t c) { return c >= U'a' && c <= U'z' ? c - (U'a' - U'A') : c; }

}  // namespace

std::optional<std::uint8_t> LookupKeyToken(std::u32string_view name) {
  for (const KeyToken& t : KeyTokens) {
    if (t.name.size() != name.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < name.size() && same; ++i)
      same = UpperAscii(name[i]) == static_cast<char32_t>(t.name[i]);
    if (same) return t.vk;
  }
  return std::nullopt;
}

std::optional<std::uint8_t> LookupKeyToken(std::string_view name) {
  // Every token is ASCII, so comparing bytes as characters cannot match a multi-byte name by accident.
  return LookupKeyToken(std::u32string(name.begin(), name.end()));
}

bool IsExtendedKey(std::uint8_t vk) noexcept {
  switch (vk) {
    case 0x03:  // Break
    case 0x21: case 0x22: case 0x23: case 0x24:  // Page Up, Page Down, End, Home
    case 0x25: case 0x26: case 0x27: case 0x28:  // arrows
    case 0x2C: case 0x2D: case 0x2E:             // Print Screen, Insert, Delete
    case 0x5B: case 0x5C: case 0x5D:             // Windows keys, application key
    case 0x6F:                                   // keypad divide
    case 0x90:                                   // Num Lock
    case 0xA3: case 0xA5:                        // right Ctrl, right Alt
      return true;
    default:
      return false;
  }
}

// ---- US layout ------------------------------------------------------------------------------------------

std::optional<LayoutKey> UsKeyLayout::KeyOf(char32_t ch) const {
  auto key = [](std::uint8_t vk, std::uint8_t shift = 0) { return std::optional<LayoutKey>(LayoutKey{vk, shift}); };
  if (ch >= U'a' && ch <= U'z') return key(static_cast<std::uint8_t>(0x41 + (ch - U'a')));
  if (ch >= U'A' && ch <= U'Z') return key(static_cast<std::uint8_t>(0x41 + (ch - U'A')), ksShift);
  if (ch >= U'0' && ch <= U'9') return key(static_cast<std::uint8_t>(ch));
  switch (ch) {
    case U')': return key(0x30, ksShift);
    case U'!': return key(0x31, ksShift);
    case U'@': return key(0x32, ksShift);
    case U'#': return key(0x33, ksShift);
    case U'$': return key(0x34, ksShift);
    case U'%': return key(0x35, ksShift);
    case U'^': return key(0x36, ksShift);
    case U'&': return key(0x37, ksShift);
    case U'*': return key(0x38, ksShift);
    case U'(': return key(0x39, ksShift);
    case U' ': return key(0x20);
    case U';': return key(0xBA);
    case U':': return key(0xBA, ksShift);
    case U'=': return key(0xBB);
    case U'+': return key(0xBB, ksShift);
    case U',': return key(0xBC);
    case U'<': return key(0xBC, ksShift);
    case U'-': return key(0xBD);
    case U'_': return key(0xBD, ksShift);
    case U'.': return key(0xBE);
    case U'>': return key(0xBE, ksShift);
    case U'/': return key(0xBF);
    case U'?': return key(0xBF, ksShift);
    case U'`': return key(0xC0);
    case U'~': return key(0xC0, ksShift);
    case U'[': return key(0xDB);
    case U'{': return key(0xDB, ksShift);
    case U'\\': return key(0xDC);
    case U'|': return key(0xDC, ksShift);
    case U']': return key(0xDD);
    case U'}': return key(0xDD, ksShift);
    case U'\'': return key(0xDE);
    case U'"': return key(0xDE, ksShift);
    case 0x08: return key(0x08);
    case 0x09: return key(0x09);
    case 0x0D: return key(0x0D);
    case 0x0A: return key(0x0D, ksCtrl);
    case 0x1B: return key(0x1B);
    case 0x1C: return key(0xDC, ksCtrl);
    case 0x1D: return key(0xDD, ksCtrl);
    case 0x1E: return key(0x36, ksShift | ksCtrl);
    case 0x1F: return key(0xBD, ksShift | ksCtrl);
    case 0x7F: return key(0x08, ksCtrl);
    default: break;
  }
  if (ch >= 0x01 && ch <= 0x1A) return key(static_cast<std::uint8_t>(0x40 + ch), ksCtrl);
  return std::nullopt;
}

std::uint16_t UsKeyLayout::ScanCodeOf(std::uint8_t vk) const {
  static constexpr std::uint8_t letters[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                               0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                               0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
  static constexpr std::uint8_t keypad[10] = {0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};
  if (vk >= 0x41 && vk <= 0x5A) return letters[vk - 0x41];
  if (vk >= 0x31 && vk <= 0x39) return static_cast<std::uint16_t>(0x02 + (vk - 0x31));
  if (vk >= 0x60 && vk <= 0x69) return keypad[vk - 0x60];
  if (vk >= 0x70 && vk <= 0x79) return static_cast<std::uint16_t>(0x3B + (vk - 0x70));
  switch (vk) {
    case 0x08: return 0x0E;
    case 0x09: return 0x0F;
    case 0x0C: return 0x4C;
    case 0x0D: return 0x1C;
    case 0x10: return 0x2A;
    case 0x11: return 0x1D;
    case 0x12: return 0x38;
    case 0x13: return 0x45;
    case 0x14: return 0x3A;
    case 0x1B: return 0x01;
    case 0x20: return 0x39;
    case 0x21: return 0x49;
    case 0x22: return 0x51;
    case 0x23: return 0x4F;
    case 0x24: return 0x47;
    case 0x25: return 0x4B;
    case 0x26: return 0x48;
    case 0x27: return 0x4D;
    case 0x28: return 0x50;
    case 0x2C: return 0x54;
    case 0x2D: return 0x52;
    case 0x2E: return 0x53;
    case 0x30: return 0x0B;
    case 0x5B: return 0x5B;
    case 0x5C: return 0x5C;
    case 0x5D: return 0x5D;
    case 0x6A: return 0x37;
    case 0x6B: return 0x4E;
    case 0x6D: return 0x4A;
    case 0x6E: return 0x53;
    case 0x6F: return 0x35;
    case 0x7A: return 0x57;
    case 0x7B: return 0x58;
    case 0x90: return 0x45;
    case 0x91: return 0x46;
    case 0xBA: return 0x27;
    case 0xBB: return 0x0D;
    case 0xBC: return 0x33;
    case 0xBD: return 0x0C;
    case 0xBE: return 0x34;
    case 0xBF: return 0x35;
    case 0xC0: return 0x29;
    case 0xDB: return 0x1A;
    case 0xDC: return 0x2B;
    case 0xDD: return 0x1B;
    case 0xDE: return 0x28;
    default: return 0;
  }
}

// ---- Parsing ---------------------------------------------------------------------------------------------

namespace {

constexpr char32_t kReplacement = 0xFFFD;

std::u32string DecodeUtf8(std::string_view s) {
  const std::u16string wide = cl::Utf8ToUtf16(s);  // malformed sequences are U+FFFD already
  std::u32string out;
  out.reserve(wide.size());
  for (std::size_t i = 0; i < wide.size(); ++i) {
    const char16_t u = wide[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
      out += static_cast<char32_t>(0x10000 + ((u - 0xD800) << 10) + (wide[i + 1] - 0xDC00));
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      out += kReplacement;
    } else {
      out += u;
    }
  }
  return out;
}

[[noreturn]] void Reject(std::string_view message) { throw EInvalidToken(std::string(message)); }

// The number of a delay token: leading blanks, an optional sign, decimal digits. Text that is no number
// means no delay; a negative number or one above MaxKeyDelay is rejected.
std::uint32_t DelayValue(std::u32string_view v) {
  std::size_t i = 0;
  while (i < v.size() && v[i] == U' ') ++i;
  bool negative = false;
  if (i < v.size() && (v[i] == U'+' || v[i] == U'-')) negative = v[i++] == U'-';
  if (i == v.size()) return 0;
  std::uint64_t value = 0;
  for (; i < v.size(); ++i) {
    if (v[i] < U'0' || v[i] > U'9') return 0;
    value = value * 10 + (v[i] - U'0');
    if (value > MaxKeyDelay) value = MaxKeyDelay + 1;  // keeps the sum small; still too big
  }
  if ((negative && value != 0) || value > MaxKeyDelay) Reject(InvalidDelayValue);
  return static_cast<std::uint32_t>(value);
}

// Finds the first delay token anywhere in s, removes it and returns its value (0 without a token).
std::uint32_t ExtractDelay(std::u32string& s) {
  static constexpr std::u32string_view tag = U"{DELAY";
  std::size_t p = std::u32string::npos;
  for (std::size_t i = 0; i + tag.size() <= s.size() && p == std::u32string::npos; ++i) {
    std::size_t k = 0;
    while (k < tag.size() && UpperAscii(s[i + k]) == tag[k]) ++k;
    if (k == tag.size()) p = i;
  }
  if (p == std::u32string::npos) return 0;
  const std::size_t valueStart = p + tag.size();
  const std::size_t close = s.find(U'}', valueStart);
  if (close == std::u32string::npos || close == valueStart) Reject(IncorrectDelaySyntax);
  std::u32string_view v(s.data() + valueStart, close - valueStart);
  if (v.front() == U'=') v.remove_prefix(1);
  if (v.empty()) Reject(InvalidDelayValue);
  const std::uint32_t delay = DelayValue(v);
  s.erase(p, close + 1 - p);
  return delay;
}

class StepWriter {
 public:
  StepWriter(const KeyLayout& layout, std::uint32_t delay, std::vector<KeyStep>& steps)
      : layout_(layout), delay_(delay), steps_(steps) {}

  void AddPending(std::uint8_t shiftBits) { pending_ |= shiftBits & (ksShift | ksCtrl | ksAlt); }
  void AddPendingWin() { pendingWin_ = true; }

  // The pending modifiers around one key, then the pause after it.
  void PressKey(std::uint8_t vk) {
    if (pending_ & ksAlt) Event(VkAlt, true);
    if (pending_ & ksCtrl) Event(VkControl, true);
    if (pending_ & ksShift) Event(VkShift, true);
    if (pendingWin_) Event(VkLeftWin, true);
    Event(vk, true);
    Event(vk, false);
    if (pendingWin_) Event(VkLeftWin, false);
    if (pending_ & ksShift) Event(VkShift, false);
    if (pending_ & ksCtrl) Event(VkControl, false);
    if (pending_ & ksAlt) Event(VkAlt, false);
    ClearPending();
    Pause();
  }

  void SendChar(char32_t ch) {
    if (const auto key = layout_.KeyOf(ch); key && key->vk != 0 && key->vk != 0xFF) {
      AddPending(key->shift);
      PressKey(key->vk);
      return;
    }
    ClearPending();
    if (const auto code = AltCodeOf(ch)) {
      // Alt held while "0" and the decimal code are typed on the keypad selects the code page's character.
      Event(VkAlt, true);
      const int value = *code;
      PressDigit(0);
      if (value >= 100) PressDigit(value / 100);
      if (value >= 10) PressDigit(value / 10 % 10);
      PressDigit(value % 10);
      Event(VkAlt, false);
      return;
    }
    KeyStep step;
    step.kind = KeyStep::Kind::Char;
    step.codePoint = ch;
    steps_.push_back(step);
    Pause();
  }

 private:
  void PressDigit(int digit) { PressKey(static_cast<std::uint8_t>(VkNumpad0 + digit)); }

  void ClearPending() {
    pending_ = 0;
    pendingWin_ = false;
  }

  void Event(std::uint8_t vk, bool down) {
    KeyStep step;
    step.kind = down ? KeyStep::Kind::KeyDown : KeyStep::Kind::KeyUp;
    step.vk = vk;
    step.scan = layout_.ScanCodeOf(vk);
    step.extended = IsExtendedKey(vk);
    steps_.push_back(step);
  }

  void Pause() {
    if (delay_ == 0) return;
    KeyStep step;
    step.kind = KeyStep::Kind::Delay;
    step.delayMs = delay_;
    steps_.push_back(step);
  }

  // The single byte of the layout's code page that stands for ch, when one does. The byte is checked by
  // converting it back: a "best fit" substitute (a plain "a" for an "a" with macron) is not the character.
  std::optional<std::uint8_t> AltCodeOf(char32_t ch) {
    if (ch == kReplacement || ch == 0) return std::nullopt;
    if (const auto it = altCodes_.find(ch); it != altCodes_.end()) return it->second;
    std::optional<std::uint8_t> result;
    std::u16string wide;
    if (ch < 0x10000) {
      wide += static_cast<char16_t>(ch);
    } else {
      wide += static_cast<char16_t>(0xD800 + ((ch - 0x10000) >> 10));
      wide += static_cast<char16_t>(0xDC00 + ((ch - 0x10000) & 0x3FF));
    }
    const std::string utf8 = cl::Utf16ToUtf8(wide);
    const unsigned cp = layout_.AnsiCodePage();
    bool lossy = false;
    const std::string bytes = cl::Utf8ToCodePage(utf8, cp, &lossy);
    if (!lossy && bytes.size() == 1 && cl::CodePageToUtf8(bytes, cp) == utf8)
      result = static_cast<std::uint8_t>(bytes[0]);
    altCodes_.emplace(ch, result);
    return result;
  }

  const KeyLayout& layout_;
  const std::uint32_t delay_;
  std::vector<KeyStep>& steps_;
  std::uint8_t pending_ = 0;  // KeyShiftState bits
  bool pendingWin_ = false;
  std::unordered_map<char32_t, std::optional<std::uint8_t>> altCodes_;
};

bool IsBraceCharacter(char32_t c) { return std::u32string_view(U"{}~%^+#").find(c) != std::u32string_view::npos; }

}  // namespace

std::vector<KeyStep> ParseKeyString(std::string_view keys, const KeyLayout& layout) {
  std::vector<KeyStep> steps;
  ParseKeyString(keys, layout, steps);
  return steps;
}

void ParseKeyString(std::string_view keys, const KeyLayout& layout, std::vector<KeyStep>& steps) {
  std::u32string s = DecodeUtf8(keys);
  const std::uint32_t delay = ExtractDelay(s);
  steps.reserve(steps.size() + s.size() * 2);
  StepWriter out(layout, delay, steps);
  const std::size_t n = s.size();
  for (std::size_t i = 0; i < n; ++i) {
    switch (const char32_t c = s[i]) {
      case U'#': out.AddPendingWin(); break;
      case U'%': out.AddPending(ksAlt); break;
      case U'+': out.AddPending(ksShift); break;
      case U'^': out.AddPending(ksCtrl); break;
      case U'~': out.PressKey(VkReturn); break;
      case U'{': {
        std::size_t j = i + 1;
        while (j < n && s[j] != U'}') {
          if (j - (i + 1) == MaxKeyNameLength) Reject(NoClosingBrace);
          ++j;
        }
        if (j == n) Reject(NoClosingBrace);
        std::u32string name = s.substr(i + 1, j - (i + 1));
        // "{}}" names the closing brace: a "}" right after the closing one joins the name, unless it
        // ends the string (then it is typed as itself).
        if (j + 2 < n && s[j + 1] == U'}') {
          name += U'}';
          ++j;
        }
        i = j;
        if (name.size() == 1 && IsBraceCharacter(name[0])) {
          out.SendChar(name[0]);
        } else if (const auto vk = LookupKeyToken(std::u32string_view(name))) {
          out.PressKey(*vk);
        }
        break;  // an unknown name sends nothing
      }
      default: out.SendChar(c); break;
    }
  }
}

}  // namespace hk
