// Named colours of the class library and their conversion to plain RGB and to identifiers.
// A TColor (Types.h) is either an RGB value with red in the low byte, or clSystemColor plus a Win32
// COLOR_ index, which stands for whatever the user's colour scheme says at drawing time.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "Types.h"

namespace cl {

// "Default colour of the element" for properties that may inherit one; never drawn as such.
constexpr TColor clDefault = 0x20000000u;

// System colours (clSystemColor | COLOR_ index).
constexpr TColor clScrollBar = clSystemColor | 0;
constexpr TColor clBackground = clSystemColor | 1;
constexpr TColor clActiveCaption = clSystemColor | 2;
constexpr TColor clInactiveCaption = clSystemColor | 3;
constexpr TColor clMenu = clSystemColor | 4;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowFrame = clSystemColor | 6;
constexpr TColor clMenuText = clSystemColor | 7;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clCaptionText = clSystemColor | 9;
constexpr TColor clActiveBorder = clSystemColor | 10;
constexpr TColor clInactiveBorder = clSystemColor | 11;
constexpr TColor clAppWorkSpace = clSystemColor | 12;
constexpr TColor clHighlight = clSystemColor | 13;
constexpr TColor clHighlightText = clSystemColor | 14;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clGrayText = clSystemColor | 17;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clInactiveCaptionText = clSystemColor | 19;
constexpr TColor clBtnHighlight = clSystemColor | 20;
constexpr TColor cl3DDkShadow = clSystemColor | 21;
constexpr TColor cl3DLight = clSystemColor | 22;
constexpr TColor clInfoText = clSystemColor | 23;
constexpr TColor clInfoBk = clSystemColor | 24;
constexpr TColor clHotLight = clSystemColor | 26;
constexpr TColor clGradientActiveCaption = clSystemColor | 27;
constexpr TColor clGradientInactiveCaption = clSystemColor | 28;
constexpr TColor clMenuHighlight = clSystemColor | 29;
constexpr TColor clMenuBar = clSystemColor | 30;

// Fixed colours.
constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clLtGray = clSilver;
constexpr TColor clDkGray = clGray;

// The source of system colours: given a COLOR_ index, its RGB value (red in the low byte). On Windows it
// is GetSysColor; elsewhere a fixed table of the classic scheme. nullptr restores that default.
using TSysColorFunc = uint32_t (*)(int index);
void SetSysColorFunc(TSysColorFunc func) noexcept;

namespace detail {
// That default (Colors_win.cpp, Colors_posix.cpp).
uint32_t PlatformSysColor(int index);
}  // namespace detail

// The plain RGB value to draw with (0x00BBGGRR): system colours are looked up, the top byte of every other
// value (clNone, clDefault) is dropped, so the result is always a valid COLORREF.
TColor ColorToRGB(TColor color) noexcept;

// Colour identifiers as form descriptions write them ("clBtnFace"); matched without regard to case.
// IdentToColor returns false for an unknown identifier and leaves color as it was; ColorToIdent returns
// false for a value without a name (clLtGray and clDkGray come out as "clSilver" and "clGray").
bool IdentToColor(std::string_view ident, TColor& color) noexcept;
bool ColorToIdent(TColor color, std::string& ident);

}  // namespace cl
