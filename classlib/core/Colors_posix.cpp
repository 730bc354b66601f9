// System colours elsewhere: a fixed table.
#include <iterator>

#include "Colors.h"

namespace cl {

namespace {

// The classic grey scheme, by COLOR_ index.
constexpr TColor kClassicScheme[] = {
    RGBColor(212, 208, 200), RGBColor(58, 110, 165),  RGBColor(10, 36, 106),   RGBColor(128, 128, 128),
    RGBColor(212, 208, 200), RGBColor(255, 255, 255), RGBColor(0, 0, 0),       RGBColor(0, 0, 0),
    RGBColor(0, 0, 0),       RGBColor(255, 255, 255), RGBColor(212, 208, 200), RGBColor(212, 208, 200),
    RGBColor(128, 128, 128), RGBColor(10, 36, 106),   RGBColor(255, 255, 255), RGBColor(212, 208, 200),
    RGBColor(128, 128, 128), RGBColor(128, 128, 128), RGBColor(0, 0, 0),       RGBColor(212, 208, 200),
    RGBColor(255, 255, 255), RGBColor(64, 64, 64),    RGBColor(212, 208, 200), RGBColor(0, 0, 0),
    RGBColor(255, 255, 225), RGBColor(192, 192, 192), RGBColor(0, 0, 128),     RGBColor(166, 202, 240),
    RGBColor(192, 192, 192), RGBColor(10, 36, 106),   RGBColor(212, 208, 200),
};
}  // namespace

uint32_t detail::PlatformSysColor(int index) {
  return index >= 0 && index < static_cast<int>(std::size(kClassicScheme)) ? kClassicScheme[index] : 0;
}

}  // namespace cl
