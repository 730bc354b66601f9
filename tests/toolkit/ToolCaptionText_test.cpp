// A caption text fitted into a width, measured here at 10 per character.
#include <gtest/gtest.h>

#include <string>

#include "ToolCaptionText.h"

namespace {

// 10 units a character; a character of several bytes counts once.
int Measure(const std::string& s) {
  int n = 0;
  for (char c : s)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) n += 10;
  return n;
}

TEST(ToolCaptionText, AFittingTextStaysWholeAndALongerOneEndsInAnEllipsis) {
  EXPECT_EQ(toolkit::FitCaptionText("Editor", 60, Measure), "Editor");
  EXPECT_EQ(toolkit::FitCaptionText("Calderine Editor", 100, Measure), "Calderi...");
  EXPECT_EQ(toolkit::FitCaptionText("Calderine Editor", 159, Measure), "Calderine Ed...");
}

TEST(ToolCaptionText, NeverShorterThanFourCharacters) {
  EXPECT_EQ(toolkit::FitCaptionText("Calderine Editor", 5, Measure), "C...");
  EXPECT_EQ(toolkit::FitCaptionText("Ab", 0, Measure), "A...");
  EXPECT_EQ(toolkit::FitCaptionText("", -1, Measure), "...");
}

TEST(ToolCaptionText, ACharacterOfSeveralBytesGoesWhole) {
  // The ö and ß are two bytes each in UTF-8.
  const char* text = "Gr\u00F6\u00DFere";
  EXPECT_EQ(toolkit::FitCaptionText(text, 40, Measure), "G...");
  EXPECT_EQ(toolkit::FitCaptionText(text, 55, Measure), "Gr...");
  EXPECT_EQ(toolkit::FitCaptionText(text, 65, Measure), "Gr\u00F6...");
}

}  // namespace
