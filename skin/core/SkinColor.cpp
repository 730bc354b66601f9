#include "SkinColor.h"

#include "QuickIni.h"

namespace skin {

cl::TColor ParseSkinColor(std::string_view text) {
  text = TQuickIni::Trim(text);
  unsigned numbers[3] = {0, 0, 0};
  int count = 0;
  bool inRun = false;
  // A run whose value passes the 32-bit signed range is never stored, and it is not ended by what
  // follows: later digits join it, so no later number is stored either.
  bool tooLarge = false;
  uint64_t run = 0;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      if (!tooLarge) {
        run = run * 10 + static_cast<unsigned>(c - '0');
        tooLarge = run > 0x7FFFFFFF;
      }
      inRun = true;
    } else if (inRun && !tooLarge) {
      if (count < 3) numbers[count++] = static_cast<unsigned>(run & 0xFF);
      run = 0;
      inRun = false;
    }
  }
  if (inRun && !tooLarge && count == 2) numbers[2] = static_cast<unsigned>(run & 0xFF);
  return cl::RGBColor(static_cast<uint8_t>(numbers[0]), static_cast<uint8_t>(numbers[1]),
                      static_cast<uint8_t>(numbers[2]));
}

cl::TColor ReadSkinColor(std::string_view text, cl::TColor def) {
  return TQuickIni::Trim(text).empty() ? def : ParseSkinColor(text);
}

}  // namespace skin
