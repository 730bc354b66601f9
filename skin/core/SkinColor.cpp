#include "SkinColor.h"

#include "QuickIni.h"

namespace skin {

cl::TColor ParseSkinColor(std::string_view text) {
  text = TQuickIni::Trim(text);
  unsigned numbers[3] = {0, 0, 0};
  int count = 0;
  bool inRun = false;
  unsigned run = 0;  // the run's value modulo 256: a run of any length stays a number of its own
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      run = (run * 10 + static_cast<unsigned>(c - '0')) & 0xFF;
      inRun = true;
    } else if (inRun) {
      if (count < 3) numbers[count++] = run;
      run = 0;
      inRun = false;
    }
  }
  if (inRun && count == 2) numbers[2] = run;
  return cl::RGBColor(static_cast<uint8_t>(numbers[0]), static_cast<uint8_t>(numbers[1]),
                      static_cast<uint8_t>(numbers[2]));
}

cl::TColor ReadSkinColor(std::string_view text, cl::TColor def) {
  return TQuickIni::Trim(text).empty() ? def : ParseSkinColor(text);
}

}  // namespace skin
