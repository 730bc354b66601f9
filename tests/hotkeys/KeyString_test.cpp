#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <map>
#include <string>

#include "KeyString.h"
#include "TestSupport.h"

using namespace hk;
using testsupport::MessageOf;

namespace {

// Steps as text: "+11" key down, "-11" key up (virtual key in hex), "U+0101" a Unicode character,
// "D50" a pause of 50 ms.
std::string Render(const std::vector<KeyStep>& steps) {
  std::string out;
  char buf[16];
  for (const KeyStep& s : steps) {
    switch (s.kind) {
      case KeyStep::Kind::KeyDown: std::snprintf(buf, sizeof buf, "+%02X", s.vk); break;
      case KeyStep::Kind::KeyUp: std::snprintf(buf, sizeof buf, "-%02X", s.vk); break;
      case KeyStep::Kind::Char: std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(s.codePoint)); break;
      case KeyStep::Kind::Delay: std::snprintf(buf, sizeof buf, "D%u", static_cast<unsigned>(s.delayMs)); break;
    }
    if (!out.empty()) out += ' ';
    out += buf;
  }
  return out;
}

const UsKeyLayout kUs;

std::string Keys(std::string_view s, const KeyLayout& layout = kUs) { return Render(ParseKeyString(s, layout)); }

std::string ErrorOf(std::string_view s) {
  return MessageOf<EInvalidToken>([&] { ParseKeyString(s, kUs); });
}

// The steps a string with an error leaves to be typed, and the error after them.
std::string KeysBeforeError(std::string_view s) {
  std::vector<KeyStep> steps;
  const std::string error = MessageOf<EInvalidToken>([&] { ParseKeyString(s, kUs, steps); });
  return Render(steps) + " | " + error;
}

// A layout with keys that need several shift bits, as national layouts have (AltGr is Ctrl+Alt), and a
// code page in which few characters are single bytes.
class TestLayout final : public KeyLayout {
 public:
  std::optional<LayoutKey> KeyOf(char32_t ch) const override {
    if (ch == U'\u20AC') return LayoutKey{0x45, ksCtrl | ksAlt};            // euro sign: AltGr+E
    if (ch == U'@') return LayoutKey{0x51, ksCtrl | ksAlt};                 // AltGr+Q
    if (ch == U'\u00A7') return LayoutKey{0x33, ksShift | ksCtrl | ksAlt};  // all three bits
    if (ch == U'\u00B5') return LayoutKey{0x4D, ksAlt | 0x08};              // a bit beyond Shift, Ctrl, Alt
    return us_.KeyOf(ch);
  }
  std::uint16_t ScanCodeOf(std::uint8_t vk) const override { return us_.ScanCodeOf(vk); }
  unsigned AnsiCodePage() const override { return 1252; }

 private:
  UsKeyLayout us_;
};

}  // namespace

TEST(KeyString, KeyTokensAndExtendedKeys) {
  const std::map<std::string, int> expected = {
      {"BACKSPACE", 0x08}, {"BKSP", 0x08}, {"BS", 0x08}, {"CAPS", 0x14}, {"CAPSLOCK", 0x14}, {"CLEAR", 0x0C},
      {"DEL", 0x2E}, {"DELETE", 0x2E}, {"DOWN", 0x28}, {"END", 0x23}, {"ENTER", 0x0D}, {"ESC", 0x1B},
      {"ESCAPE", 0x1B}, {"HOME", 0x24}, {"INS", 0x2D}, {"INSERT", 0x2D}, {"LEFT", 0x25}, {"NUM", 0x90},
      {"NUMLOCK", 0x90}, {"PAGEDOWN", 0x22}, {"PGDN", 0x22}, {"PAGEUP", 0x21}, {"PGUP", 0x21},
      {"RIGHT", 0x27}, {"SCROLL", 0x91}, {"SCROLLLOCK", 0x91}, {"PRINTSCREEN", 0x2C}, {"PRTSC", 0x2C},
      {"TAB", 0x09}, {"UP", 0x26}, {"F1", 0x70}, {"F9", 0x78}, {"F10", 0x79}, {"F12", 0x7B},
      {"WIN", 0x5B}, {"APP", 0x5D}};
  for (const auto& [name, vk] : expected) {
    SCOPED_TRACE(name);
    EXPECT_EQ(LookupKeyToken(std::string_view(name)), vk);
    std::string lower = name;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(LookupKeyToken(std::string_view(lower)), vk);
  }
  EXPECT_EQ(KeyTokens.size(), 44u);
  for (const char* unknown : {"F13", "F0", "HELP", "SHIFT", "ENTER ", "", "\xC3\xA9"})
    EXPECT_FALSE(LookupKeyToken(std::string_view(unknown))) << unknown;

  // The flag goes with the navigation block and the keys beside it, never with the main block.
  for (int vk : {0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x2C, 0x2D, 0x2E, 0x5B, 0x5C, 0x5D, 0x6F, 0x90})
    EXPECT_TRUE(IsExtendedKey(static_cast<std::uint8_t>(vk))) << vk;
  for (int vk : {0x08, 0x09, 0x0D, 0x10, 0x11, 0x12, 0x14, 0x1B, 0x20, 0x41, 0x60, 0x69, 0x70, 0x91})
    EXPECT_FALSE(IsExtendedKey(static_cast<std::uint8_t>(vk))) << vk;
}

TEST(KeyString, PrefixesAndNamedKeys) {
  EXPECT_EQ(Keys("^c"), "+11 +43 -43 -11");          // Ctrl+C
  EXPECT_EQ(Keys("+{TAB}"), "+10 +09 -09 -10");      // Shift+Tab
  EXPECT_EQ(Keys("%{F4}"), "+12 +73 -73 -12");       // Alt+F4
  EXPECT_EQ(Keys("#r"), "+5B +52 -52 -5B");          // Win+R
  EXPECT_EQ(Keys("A"), "+10 +41 -41 -10");           // its shift state says Shift
  EXPECT_EQ(Keys("^A"), "+11 +10 +41 -41 -10 -11");  // Ctrl+Shift+A
  // Prefixes add up and are pressed Alt, Ctrl, Shift, Win, released the other way round.
  EXPECT_EQ(Keys("#+^%x"), "+12 +11 +10 +5B +58 -58 -5B -10 -11 -12");
  EXPECT_EQ(Keys("++a"), "+10 +41 -41 -10");
  // They go with the next key only.
  EXPECT_EQ(Keys("^ab"), "+11 +41 -41 -11 +42 -42");
  EXPECT_EQ(Keys("~"), "+0D -0D");
  EXPECT_EQ(Keys("^~"), "+11 +0D -0D -11");
  EXPECT_EQ(Keys("{enter}{Esc}"), "+0D -0D +1B -1B");
  EXPECT_EQ(Keys("a b"), "+41 -41 +20 -20 +42 -42");
  // Prefixes with no key after them press nothing.
  EXPECT_EQ(Keys("ab^"), "+41 -41 +42 -42");
  EXPECT_EQ(Keys(""), "");
}

TEST(KeyString, BracedSpecialCharactersAndUnknownNames) {
  EXPECT_EQ(Keys("{+}"), "+10 +BB -BB -10");
  EXPECT_EQ(Keys("{^}"), "+10 +36 -36 -10");
  EXPECT_EQ(Keys("{%}"), "+10 +35 -35 -10");
  EXPECT_EQ(Keys("{#}"), "+10 +33 -33 -10");
  EXPECT_EQ(Keys("{~}"), "+10 +C0 -C0 -10");
  EXPECT_EQ(Keys("{{}"), "+10 +DB -DB -10");
  EXPECT_EQ(Keys("{}}x"), "+10 +DD -DD -10 +58 -58");
  EXPECT_EQ(Keys("{}}"), "+10 +DD -DD -10");  // at the end the second brace is typed as itself
  EXPECT_EQ(Keys("^{+}"), "+11 +10 +BB -BB -10 -11");
  EXPECT_EQ(Keys("}"), "+10 +DD -DD -10");
  // One-character names other than those seven are names: "a" is none.
  EXPECT_EQ(Keys("{a}b"), "+42 -42");
  EXPECT_EQ(Keys("{HELP}x"), "+58 -58");
  EXPECT_EQ(Keys("{}x"), "+58 -58");
  // A "}" after a longer name joins it, making it unknown.
  EXPECT_EQ(Keys("{TAB}}x"), "+58 -58");
  // Prefixes before an unknown name wait for the next key.
  EXPECT_EQ(Keys("^{NOPE}v"), "+11 +56 -56 -11");
  // Names take any character up to twelve; the spaces and digits of a would-be repeat count make an
  // unknown name, so no count can multiply the output.
  EXPECT_EQ(Keys("{TAB 3}"), "");
  EXPECT_EQ(Keys("{TAB 99999999}"), "");
  EXPECT_EQ(Keys("{{{}"), "");
}

TEST(KeyString, StepsCarryScanCodesAndExtendedFlags) {
  const std::vector<KeyStep> steps = ParseKeyString("+{LEFT}", kUs);
  ASSERT_EQ(steps.size(), 4u);
  EXPECT_EQ(steps[0], (KeyStep{KeyStep::Kind::KeyDown, 0x10, false, 0x2A, 0, 0}));
  EXPECT_EQ(steps[1], (KeyStep{KeyStep::Kind::KeyDown, 0x25, true, 0x4B, 0, 0}));
  EXPECT_EQ(steps[2], (KeyStep{KeyStep::Kind::KeyUp, 0x25, true, 0x4B, 0, 0}));
  EXPECT_EQ(steps[3], (KeyStep{KeyStep::Kind::KeyUp, 0x10, false, 0x2A, 0, 0}));
  const std::vector<KeyStep> win = ParseKeyString("#{DEL}z", kUs);
  ASSERT_EQ(win.size(), 6u);
  EXPECT_EQ(win[0], (KeyStep{KeyStep::Kind::KeyDown, 0x5B, true, 0x5B, 0, 0}));
  EXPECT_EQ(win[1], (KeyStep{KeyStep::Kind::KeyDown, 0x2E, true, 0x53, 0, 0}));
  EXPECT_EQ(win[4], (KeyStep{KeyStep::Kind::KeyDown, 0x5A, false, 0x2C, 0, 0}));
}

TEST(KeyString, DelayToken) {
  const std::string twoKeysAt50 = "+41 -41 D50 +42 -42 D50";
  EXPECT_EQ(Keys("{delay=50}ab"), twoKeysAt50);
  EXPECT_EQ(Keys("{DELAY50}ab"), twoKeysAt50);
  EXPECT_EQ(Keys("{Delay= 50}ab"), twoKeysAt50);
  // Found anywhere, it applies to the keys before it as well.
  EXPECT_EQ(Keys("a{DELAY=50}b"), twoKeysAt50);
  // Only the first counts; a later one is an unknown name.
  EXPECT_EQ(Keys("{DELAY=50}a{DELAY=9}b"), twoKeysAt50);
  // A pause follows each key, modifiers and all.
  EXPECT_EQ(Keys("{DELAY=7}^c~"), "+11 +43 -43 -11 D7 +0D -0D D7");
  EXPECT_EQ(Keys("{DELAY=50}"), "");
  EXPECT_EQ(Keys("{DELAY=0}ab"), "+41 -41 +42 -42");
  EXPECT_EQ(Keys("{DELAY=-0}a"), "+41 -41");
  // Text that is no number means no pause.
  EXPECT_EQ(Keys("{DELAY=fast}a"), "+41 -41");
  EXPECT_EQ(Keys("{DELAY=5 }a"), "+41 -41");
  EXPECT_EQ(Keys("{DELAYED}a"), "+41 -41");
  EXPECT_EQ(Keys("{DELAY=60000}a"), "+41 -41 D60000");

  EXPECT_EQ(ErrorOf("{DELAY}a"), IncorrectDelaySyntax);
  EXPECT_EQ(ErrorOf("a{delay"), IncorrectDelaySyntax);
  EXPECT_EQ(ErrorOf("a{DELAY=50"), IncorrectDelaySyntax);
  EXPECT_EQ(ErrorOf("{DELAY=}a"), InvalidDelayValue);
  EXPECT_EQ(ErrorOf("{DELAY=-5}a"), InvalidDelayValue);  // would never end
  EXPECT_EQ(ErrorOf("{DELAY-1}a"), InvalidDelayValue);
  EXPECT_EQ(ErrorOf("{DELAY=60001}a"), InvalidDelayValue);
  EXPECT_EQ(ErrorOf("{DELAY=4294967296}a"), InvalidDelayValue);
  EXPECT_EQ(ErrorOf("{DELAY=99999999999999999999999999999}a"), InvalidDelayValue);
  EXPECT_EQ(ErrorOf("{DELAY=-99999999999999999999999999999}a"), InvalidDelayValue);
}

TEST(KeyString, DelayDoesNotCarryOverToTheNextString) {
  EXPECT_EQ(Keys("{DELAY=40}a"), "+41 -41 D40");
  EXPECT_EQ(Keys("a"), "+41 -41");
  // Nor does a rejected string leave anything behind.
  EXPECT_EQ(ErrorOf("{DELAY=40}a{TAB"), NoClosingBrace);
  EXPECT_EQ(Keys("a"), "+41 -41");
}

TEST(KeyString, UnterminatedAndOverlongBracesStopTheStringAfterTheKeysBeforeThem) {
  EXPECT_EQ(ErrorOf("abc{TAB"), NoClosingBrace);
  EXPECT_EQ(ErrorOf("{TABX"), NoClosingBrace);
  EXPECT_EQ(ErrorOf("abc{"), NoClosingBrace);
  EXPECT_EQ(ErrorOf("{"), NoClosingBrace);
  EXPECT_EQ(ErrorOf("{{"), NoClosingBrace);
  // Twelve characters fit, a thirteenth is "No closing brace" even when a "}" follows later.
  EXPECT_EQ(Keys("{ABCDEFGHIJKL}x"), "+58 -58");
  EXPECT_EQ(ErrorOf("ab{ABCDEFGHIJKLM}x"), NoClosingBrace);
  EXPECT_EQ(ErrorOf(std::string(5000, '{')), NoClosingBrace);
  EXPECT_EQ(ErrorOf("{" + std::string(100000, 'A') + "}"), NoClosingBrace);
  // Twelve characters are counted as characters, not bytes.
  EXPECT_EQ(Keys("{\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9}"), "");
  // A second delay token is a brace name too, and a long one is too long.
  EXPECT_EQ(ErrorOf("{DELAY=1}a{DELAY=1234567}"), NoClosingBrace);
  // The error comes however much valid text precedes it.
  EXPECT_EQ(ErrorOf(std::string(10000, 'a') + "{TAB"), NoClosingBrace);

  // The keys before the error are typed, with their delay; a prefix waiting for its key presses nothing.
  EXPECT_EQ(KeysBeforeError("ab{ABCDEFGHIJKLM}x"), "+41 -41 +42 -42 | No closing brace");
  EXPECT_EQ(KeysBeforeError("{DELAY=40}^a+{TAB"), "+11 +41 -41 -11 D40 | No closing brace");
  // A bad delay token is read before any key: nothing is typed.
  EXPECT_EQ(KeysBeforeError("abc{DELAY=}"), " | Invalid value for Delay");
  EXPECT_EQ(KeysBeforeError("abc{DELAY}"), " | Incorrect delay syntax");
}

TEST(KeyString, ShiftStatesWithSeveralBits) {
  const TestLayout layout;
  EXPECT_EQ(Keys("\xE2\x82\xAC", layout), "+12 +11 +45 -45 -11 -12");  // Ctrl+Alt+E
  EXPECT_EQ(Keys("@", layout), "+12 +11 +51 -51 -11 -12");
  EXPECT_EQ(Keys("\xC2\xA7", layout), "+12 +11 +10 +33 -33 -10 -11 -12");
  EXPECT_EQ(Keys("\xC2\xB5", layout), "+12 +4D -4D -12");  // unknown bits are ignored
  // A prefix merges with the character's own state instead of pressing a modifier twice.
  EXPECT_EQ(Keys("%\xE2\x82\xAC", layout), "+12 +11 +45 -45 -11 -12");
  EXPECT_EQ(Keys("+\xE2\x82\xAC", layout), "+12 +11 +10 +45 -45 -10 -11 -12");
  // Control characters of the US layout: line feed is Ctrl+Enter, 0x1E is Ctrl+Shift+6.
  EXPECT_EQ(Keys("\n\x1E"), "+11 +0D -0D -11 +11 +10 +36 -36 -10 -11");
}

TEST(KeyString, CharactersWithoutAKey) {
  // In the layout's code page: Alt held, "0" and the code on the keypad, a pause after each digit.
  EXPECT_EQ(Keys("\xC3\xA9"), "+12 +60 -60 +62 -62 +63 -63 +63 -63 -12");            // 233
  EXPECT_EQ(Keys("\xE2\x82\xAC"), "+12 +60 -60 +61 -61 +62 -62 +68 -68 -12");        // 128 in 1252
  EXPECT_EQ(Keys("{DELAY=5}\xC3\xA9"), "+12 +60 -60 D5 +62 -62 D5 +63 -63 D5 +63 -63 D5 -12");
  // Outside it: a Unicode character, never a look-alike of the code page ("a" for an "a" with macron).
  EXPECT_EQ(Keys("\xC4\x81"), "U+0101");
  EXPECT_EQ(Keys("\xE4\xB8\xAD\xF0\x9F\x98\x80"), "U+4E2D U+1F600");
  EXPECT_EQ(Keys("{DELAY=5}\xC4\x81x"), "U+0101 D5 +58 -58 D5");
  // Prefixes cannot go with such a character; they are dropped, not left for the next key.
  EXPECT_EQ(Keys("^\xC4\x81x"), "U+0101 +58 -58");
  EXPECT_EQ(Keys("%\xC3\xA9"), "+12 +60 -60 +62 -62 +63 -63 +63 -63 -12");
  // In braces it is a one-character name, and an unknown one.
  EXPECT_EQ(Keys("{\xC4\x81}"), "");
}

TEST(KeyString, MalformedUtf8TypesReplacementCharacters) {
  EXPECT_EQ(Keys("a\xFF" "b"), "+41 -41 U+FFFD +42 -42");
  EXPECT_EQ(Keys("\xC3"), "U+FFFD");
  EXPECT_EQ(Keys("\xED\xA0\x80"), "U+FFFD U+FFFD U+FFFD");  // an encoded surrogate
  EXPECT_EQ(Keys("\xC0\xAF"), "U+FFFD U+FFFD");             // an overlong "/"
  EXPECT_EQ(Keys(std::string_view("a\0b", 3)), "+41 -41 U+0000 +42 -42");
  EXPECT_EQ(ErrorOf("{\xFF"), NoClosingBrace);
}

TEST(KeyString, LongStringsStayLinear) {
  std::string keys;
  for (int i = 0; i < 20000; ++i) keys += "^+%#{LEFT}";
  const std::vector<KeyStep> steps = ParseKeyString(keys, kUs);
  EXPECT_EQ(steps.size(), 20000u * 10);
  const std::vector<KeyStep> many = ParseKeyString("{DELAY=1}" + std::string(100000, '~'), kUs);
  EXPECT_EQ(many.size(), 300000u);
}
