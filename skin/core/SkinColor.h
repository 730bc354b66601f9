// How the skin description writes a colour: three decimal numbers for red, green and blue, separated by
// anything that is not a digit ("255 128 0", "255,128,0" and "rgb(255;128;0)" are the same colour).
#pragma once
#include <string_view>

#include "Types.h"

namespace skin {

// The text is trimmed and its runs of digits are taken as red, green and blue, each modulo 256; numbers
// not given are 0 and numbers after the third are ignored. A run still open at the end of the text
// counts only as the third number (blue): "10 20" is red 10, green 0, and a lone number is black. A run
// above 2147483647 is not a number: it and every digit after it are dropped ("255 3000000000 7" is red
// 255 alone).
cl::TColor ParseSkinColor(std::string_view text);
// `def` for a text that is empty after trimming, else ParseSkinColor.
cl::TColor ReadSkinColor(std::string_view text, cl::TColor def);

}  // namespace skin
