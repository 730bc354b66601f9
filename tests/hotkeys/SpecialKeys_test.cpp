#include <gtest/gtest.h>

#include <set>
#include <string>

#include "SpecialKeys.h"
#include "TestSupport.h"

using namespace hk;

TEST(SpecialKeys, RowsHaveALabelAndACode) {
  std::set<std::string> labels;
  for (std::string_view row : SpecialKeyRows) {
    const std::string label = GetField(row, 1, '|');
    const std::string code = GetField(row, 2, '|');
    EXPECT_FALSE(label.empty()) << row;
    EXPECT_FALSE(code.empty()) << row;
    EXPECT_EQ(label + "|" + code, row);
    EXPECT_TRUE(labels.insert(label).second) << row;
  }
  EXPECT_EQ(GetField(SpecialKeyRows[0], 1, '|'), "% sign");
  EXPECT_EQ(GetField(SpecialKeyRows[43], 2, '|'), "{Enter}");
}

TEST(SpecialKeys, GetField) {
  EXPECT_EQ(GetField("a|b|c", 3, '|'), "c");
  EXPECT_EQ(GetField("a|b|c", 4, '|'), "");
  EXPECT_EQ(GetField("a||c", 2, '|'), "");
  EXPECT_EQ(GetField("abc", 1, '|'), "abc");
  EXPECT_EQ(GetField("abc", 0, '|'), "");
}

TEST(SpecialKeys, TextConversion) {
  EXPECT_EQ(KeysToText("Dear Sir~~Yours{ENTER}X{enter}"), "Dear Sir\r\n\r\nYours\r\nX{enter}");
  EXPECT_EQ(TextToKeys("Dear Sir\r\n\r\nYours\r\nX{enter}"), "Dear Sir~~Yours~X{enter}");
  // A tilde in braces stays, a plain one becomes a line break and comes back as a tilde.
  EXPECT_EQ(KeysToText("a{~}b~c"), "a{~}b\r\nc");
  EXPECT_EQ(TextToKeys(KeysToText("a{~}b~c")), "a{~}b~c");
  EXPECT_EQ(TextToKeys(KeysToText("{{~}")), "{{~}");
  // Character 255 is an ordinary character, not a placeholder.
  const std::string y = testsupport::Utf8(u8"ÿ");
  EXPECT_EQ(TextToKeys(KeysToText(y + "{~}" + y)), y + "{~}" + y);
  EXPECT_EQ(TextToKeys(KeysToText("\xFF{~}")), "\xFF{~}");
  // A lone CR or LF is no line break of the edit.
  EXPECT_EQ(TextToKeys("a\rb\nc"), "a\rb\nc");
}

TEST(SpecialKeys, EveryRowSurvivesARoundTrip) {
  for (std::string_view row : SpecialKeyRows) {
    const std::string code = GetField(row, 2, '|');
    EXPECT_EQ(TextToKeys(KeysToText(code)), code) << row;
    EXPECT_EQ(TextToKeys(KeysToText("x" + code + "~" + code)), "x" + code + "~" + code) << row;
  }
}
