#include "ToolCaptionText.h"

namespace toolkit {

namespace {

constexpr std::string_view kEllipsis = "...";

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

size_t CharacterCount(std::string_view s) {
  size_t n = 0;
  for (char c : s)
    if (!IsContinuationByte(c)) ++n;
  return n;
}

// The start of the last character of a non-empty text: a character of several bytes goes whole.
size_t LastCharacterStart(std::string_view s) {
  size_t i = s.size() - 1;
  while (i > 0 && IsContinuationByte(s[i])) --i;
  return i;
}

}  // namespace

std::string FitCaptionText(std::string_view text, int width, const std::function<int(const std::string&)>& measure) {
  std::string result(text);
  if (measure(result) <= width) return result;
  std::string body(text);
  result = body + std::string(kEllipsis);
  while (!body.empty() && measure(result) > width && CharacterCount(result) > 4) {
    body.erase(LastCharacterStart(body));
    result = body + std::string(kEllipsis);
  }
  return result;
}

}  // namespace toolkit
