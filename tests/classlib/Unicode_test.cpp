#include <gtest/gtest.h>

#include "Unicode.h"

using namespace cl;

TEST(Unicode, RoundTripsAllPlanes) {
  const std::string s = "A\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80";  // A, e-acute, a CJK ideograph, an emoji
  const std::u16string w = Utf8ToUtf16(s);
  EXPECT_EQ(w.size(), 5u);
  EXPECT_EQ(Utf16ToUtf8(w), s);
}

TEST(Unicode, MalformedInputBecomesReplacementCharacter) {
  EXPECT_EQ(Utf8ToUtf16("\xC3"), u"\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xE0\x80\x80"), u"\uFFFD\uFFFD\uFFFD");  // overlong
  EXPECT_EQ(Utf16ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");             // lone surrogate
}

TEST(CodePage, Cp936RoundTripIndependentOfSystemCodePage) {
  const std::string utf8 = "\xE8\xAE\xBE\xE7\xBD\xAE";  // two CJK ideographs
  const std::string gbk = Utf8ToCodePage(utf8, 936);
  EXPECT_EQ(gbk, "\xC9\xE8\xD6\xC3");
  EXPECT_EQ(CodePageToUtf8(gbk, 936), utf8);
}

TEST(CodePage, UnmappableCharacterIsReportedLossy) {
  bool lossy = false;
  EXPECT_EQ(Utf8ToCodePage("a\xE4\xB8\xAD", 1252, &lossy), "a?");
  EXPECT_TRUE(lossy);
  EXPECT_EQ(CodePageToUtf8("\xE9", 1252), "\xC3\xA9");
}
