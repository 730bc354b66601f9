#include "Colors.h"

#include <atomic>

#include "SysUtils.h"

namespace cl {

namespace {

std::atomic<TSysColorFunc> sysColorFunc{&detail::PlatformSysColor};

struct ColorName {
  TColor value;
  const char* name;
};

// Fixed colours first, so a value with two names (clSilver / clLtGray) is written by its first name.
constexpr ColorName kColorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clLtGray, "clLtGray"},
    {clDkGray, "clDkGray"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clHotLight, "clHotLight"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuBar, "clMenuBar"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
};

}  // namespace

void SetSysColorFunc(TSysColorFunc func) noexcept { sysColorFunc = func ? func : &detail::PlatformSysColor; }

TColor ColorToRGB(TColor color) noexcept {
  if ((color & 0xFF000000u) == clSystemColor) return sysColorFunc.load()(static_cast<int>(color & 0xFF)) & 0xFFFFFFu;
  return color & 0xFFFFFFu;
}

bool IdentToColor(std::string_view ident, TColor& color) noexcept {
  for (const ColorName& entry : kColorNames) {
    if (SameText(ident, entry.name)) {
      color = entry.value;
      return true;
    }
  }
  return false;
}

bool ColorToIdent(TColor color, std::string& ident) {
  for (const ColorName& entry : kColorNames) {
    if (entry.value == color) {
      ident = entry.name;
      return true;
    }
  }
  return false;
}

}  // namespace cl
