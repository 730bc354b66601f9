#include <gtest/gtest.h>

#include "HotkeyText.h"

using namespace hk;
using toolkit::SaHotKeyVirtualKeys;

namespace {
struct Case {
  const char* text;
  int modifiers;
  int index;
  std::uint32_t vk;
};
}  // namespace

TEST(HotkeyText, ModifiersAndKeyIndexOfTexts) {
  const Case cases[] = {
      {"Win+L", 8, 45, 0x4C},
      {"Ctrl+Num +", 2, 71, 0x6B},
      {"Ctrl+", 2, 71, 0x6B},  // nothing after the last "+": the key "Num +"
      {"", 0, 71, 0x6B},
      {"Num +", 0, 71, 0x6B},
      {"Shift+F14", 1, 89, 0x7D},
      {"F15", 0, 90, 0x7E},
      {"Ctrl+Alt+Shift+Win+Quotes(')", 15, 113, 0xDE},
      {"Ctrl+a", 2, 34, 0x41},      // key names match without regard to case
      {"ctrl+A", 0, 34, 0x41},      // modifier words do not
      {"Ctrl+Del", 2, 0, 0x00},     // no such key name
      {"Home", 0, 13, 0x24},        // Home and End are crossed in the key table
      {"End", 0, 12, 0x23},
      {"Ctrl+Alt+Delete", 6, 22, 0x2E},
      {"Escape", 0, 8, 0x1B},
      {"Num -", 0, 73, 0x6D},       // after the skipped keypad separator
      {"Backslash(\\)", 0, 111, 0xDC},
      {"Alt+Backspace", 4, 2, 0x08},
      {"Shift+Left Arrow", 1, 14, 0x25},
      {"Win+PrintScreen", 8, 20, 0x2C},
      {"Scrolllock", 0, 101, 0x91},
      {"Application", 0, 102, 0x5D},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ModifiersFromText(c.text), c.modifiers);
    EXPECT_EQ(KeyCodeFromText(c.text), c.index);
    EXPECT_EQ(SaHotKeyVirtualKeys[KeyCodeFromText(c.text)], c.vk);
  }
}

TEST(HotkeyText, EveryKeyNameMapsToItsVirtualKey) {
  // Independent statement of the key table: the virtual key of each named position.
  auto expectedVk = [](int p) -> std::uint32_t {
    static const std::uint32_t first[18] = {0x08, 0x09, 0x0D, 0x13, 0x14, 0x1B, 0x20, 0x21, 0x22,
                                            0x24, 0x23, 0x25, 0x26, 0x27, 0x28, 0x2C, 0x2D, 0x2E};
    if (p < 18) return first[p];
    if (p < 28) return 0x30 + (p - 18);
    if (p < 54) return 0x41 + (p - 28);
    if (p < 66) return 0x60 + (p - 54);
    if (p < 69) return 0x6D + (p - 66);
    if (p < 93) return 0x70 + (p - 69);
    if (p < 95) return 0x90 + (p - 93);
    if (p == 95) return 0x5D;
    if (p < 103) return 0xBA + (p - 96);
    return 0xDB + (p - 103);
  };
  ASSERT_EQ(HotkeyKeyNames.size(), 107u);
  for (int p = 0; p < HotkeyKeyNameCount; ++p) {
    SCOPED_TRACE(std::string(HotkeyKeyNames[p]));
    EXPECT_EQ(KeyPositionFromName(HotkeyKeyNames[p]), p);  // names are unique
    EXPECT_EQ(SaHotKeyVirtualKeys[KeyIndexFromPosition(p)], expectedVk(p));
    // No key name holds a modifier word, so a built text reads back exactly.
    std::string text = "Ctrl+Alt+Shift+Win";
    AppendKeyPart(text, HotkeyKeyNames[p]);
    EXPECT_EQ(ModifiersFromText(HotkeyKeyNames[p]), 0);
    EXPECT_EQ(HotkeyFileFormFromText(text), (HotkeyFileForm{true, true, true, true, p}));
  }
  EXPECT_EQ(KeyIndexFromPosition(-1), 0);
  EXPECT_EQ(KeyIndexFromPosition(107), 0);
  EXPECT_EQ(HotkeyKeyNames[39], "L");
}

TEST(HotkeyText, KeyNameRule) {
  EXPECT_EQ(KeyNameFromText("Ctrl+Alt+Delete"), "Delete");
  EXPECT_EQ(KeyNameFromText("a+b+"), "Num +");
  EXPECT_EQ(KeyNameFromText("+"), "Num +");
  EXPECT_EQ(KeyNameFromText("x"), "x");
  EXPECT_EQ(KeyPositionFromText("Ctrl+Bogus"), -1);
  EXPECT_EQ(KeyPositionFromName("quotes(')"), 106);
  EXPECT_EQ(KeyPositionFromName("Home "), -1);  // whole names only
}

TEST(HotkeyText, AppendKeyPartJoinsWithPlus) {
  std::string t;
  AppendKeyPart(t, "Ctrl");
  AppendKeyPart(t, "Alt");
  AppendKeyPart(t, "Delete");
  EXPECT_EQ(t, "Ctrl+Alt+Delete");
  std::string u;
  AppendKeyPart(u, "Escape");
  EXPECT_EQ(u, "Escape");
}

TEST(HotkeyText, FileFormConversions) {
  EXPECT_EQ(HotkeyTextFromFileForm({false, false, false, true, 39}), "Win+L");
  EXPECT_EQ(HotkeyTextFromFileForm({true, true, true, true, 0}), "Ctrl+Alt+Shift+Win+Backspace");
  EXPECT_EQ(HotkeyTextFromFileForm({false, false, false, false, 5}), "Escape");
  // A position without name leaves the text ending in "+" (or empty): it reads as "Num +".
  EXPECT_EQ(HotkeyTextFromFileForm({true, false, false, false, 107}), "Ctrl+");
  EXPECT_EQ(HotkeyTextFromFileForm({false, false, false, false, -1}), "");
  EXPECT_EQ(KeyCodeFromText(HotkeyTextFromFileForm({false, false, false, false, 500})), 71);

  EXPECT_EQ(HotkeyFileFormFromText("Shift+F14"), (HotkeyFileForm{false, false, true, false, 82}));
  EXPECT_EQ(HotkeyFileFormFromText(""), (HotkeyFileForm{false, false, false, false, 65}));
  EXPECT_EQ(HotkeyFileFormFromText("Ctrl+Del"), (HotkeyFileForm{true, false, false, false, -1}));
  // Word order does not matter to the conversion, only to the text comparison of combinations.
  EXPECT_EQ(HotkeyFileFormFromText("Alt+Ctrl+X"), HotkeyFileFormFromText("Ctrl+Alt+X"));
}
