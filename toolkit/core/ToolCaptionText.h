// Fitting a caption's text into a width, for captions drawn by hand.
#pragma once
#include <functional>
#include <string>
#include <string_view>

namespace toolkit {

// The text as it is when it fits (measure gives the width of a UTF-8 text); else the text followed by
// "...", shortened a character at a time before the "..." while it is still too wide and more than four
// characters long.
std::string FitCaptionText(std::string_view text, int width, const std::function<int(const std::string&)>& measure);

}  // namespace toolkit
