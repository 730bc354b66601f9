#include "SkinChecks.h"

#include <algorithm>
#include <array>
#include <string>

#include "SkinDraw.h"
#include "SysUtils.h"
#include "WinSkinData.h"

namespace skin {

namespace {

// Controls of other libraries post this when their mark changed without a message of the button's own.
constexpr UINT kMsgMarkChanged = 0xB0D0;
// The width the layout keeps for the mark, and the background the glyph covers at the right.
constexpr int kMarkBox = 14;
constexpr int kRightBackground = 18;
constexpr int kLeftBackground = 16;

// Messages after which the mark may look different.
bool ChangesMark(UINT msg) {
  switch (msg) {
    case BM_SETCHECK:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case cl::CM_EXIT:
    case kMsgMarkChanged:
      return true;
    default:
      return false;
  }
}

bool WindowDisabled(HWND wnd) { return (GetWindowLongW(wnd, GWL_STYLE) & WS_DISABLED) != 0; }
bool TextAtLeft(HWND wnd) { return (GetWindowLongW(wnd, GWL_STYLE) & BS_LEFTTEXT) != 0; }

// Picks the entry of a {enabled, disabled} pair, the enabled one when the disabled one lies past the
// strip, and keeps it within the strip.
int PickFrame(const std::array<int, 2>& pair, bool disabled, int frameCount) {
  int frame = disabled && pair[1] <= frameCount ? pair[1] : pair[0];
  return std::clamp(frame, 1, std::max(frameCount, 1));
}

// The glyph's rectangle, centred down in rect; across as the two painters place it.
RECT GlyphRect(const RECT& rect, int left, int width, int height) {
  const int top = rect.top + ((rect.bottom - rect.top) - height) / 2;
  return RECT{left, top, left + width, top + height};
}

}  // namespace

int CheckBoxFrame(TCheckMark mark, bool disabled, int frameCount) {
  static constexpr std::array<std::array<int, 2>, 3> kFour{{{1, 3}, {2, 4}, {4, 4}}};
  static constexpr std::array<std::array<int, 2>, 3> kTwelve{{{1, 4}, {5, 8}, {9, 12}}};
  const auto& table = frameCount == 12 ? kTwelve : kFour;
  return PickFrame(table[static_cast<size_t>(mark)], disabled, frameCount);
}

int RadioButtonFrame(bool checked, bool disabled, int frameCount) {
  static constexpr std::array<std::array<int, 2>, 2> kFour{{{1, 3}, {2, 4}}};
  static constexpr std::array<std::array<int, 2>, 2> kEight{{{1, 4}, {5, 8}}};
  const auto& table = frameCount == 8 ? kEight : kFour;
  return PickFrame(table[checked ? 1 : 0], disabled, frameCount);
}

// ---------------------------------------------------------------------------------------------------------
// Check boxes.

void TSkinCheckBox::AfterMessage(cl::TMessage& m) {
  if (ChangesMark(m.Msg)) {
    Redraw();
    return;
  }
  TSkinControl::AfterMessage(m);
}

namespace {

// The mark a check box shows: its window's state, unless the control publishes its own (State of a
// three-state box, else Checked); an indeterminate window state wins over both.
TCheckMark CheckMarkOf(HWND wnd, const cl::TWinControl* control) {
  const LRESULT state = SendMessageW(wnd, BM_GETSTATE, 0, 0);
  if (state & BST_INDETERMINATE) return TCheckMark::Grayed;
  TCheckMark mark = (state & BST_CHECKED) ? TCheckMark::Checked : TCheckMark::Unchecked;
  if (!control) return mark;
  const std::string stateName = cl::LowerCase(GetEnumPropByName(control, "State"));
  if (!stateName.empty()) {
    if (stateName.find("uncheck") != std::string::npos) return TCheckMark::Unchecked;
    if (stateName.find("check") != std::string::npos) return TCheckMark::Checked;
    if (stateName.find("gray") != std::string::npos) return TCheckMark::Grayed;
    return mark;
  }
  const std::string checked = cl::LowerCase(GetEnumPropByName(control, "Checked"));
  if (!checked.empty()) return checked == "true" ? TCheckMark::Checked : TCheckMark::Unchecked;
  return mark;
}

}  // namespace

void TSkinCheckBox::DrawSkin(HDC dc, const RECT& rect) {
  TSkinData* data = Data();
  if (!data || data->Buttons.CheckButtonImage.Empty()) return;
  TSkinImage& image = data->Buttons.CheckButtonImage;
  const int n = std::max(data->Buttons.CheckButtonFrame, 1);
  const int w = image.Width / n, h = image.Height;
  const int frame = CheckBoxFrame(CheckMarkOf(Handle(), Control()), WindowDisabled(Handle()), n);

  RECT glyph{}, background{};
  if (TextAtLeft(Handle())) {
    const int right = w > kMarkBox + 1 ? rect.right - 1 : rect.right - (kMarkBox + 1 - w) / 2;
    glyph = GlyphRect(rect, right - w, w, h);
    background = RECT{rect.right - kRightBackground, rect.top, rect.right, rect.bottom};
  } else {
    const int left = w > kMarkBox ? rect.left + 2 : rect.left + (kMarkBox - w) / 2 + 1;
    glyph = GlyphRect(rect, left, w, h);
    background = RECT{rect.left, rect.top, rect.left + kLeftBackground, rect.bottom};
  }
  FillParentColor(dc, background);
  DrawFrameKeyed(dc, glyph, n, frame, image);
}

// ---------------------------------------------------------------------------------------------------------
// Radio buttons.

void TSkinRadioButton::AfterMessage(cl::TMessage& m) {
  if (ChangesMark(m.Msg)) {
    Redraw();
    return;
  }
  TSkinControl::AfterMessage(m);
}

void TSkinRadioButton::DrawSkin(HDC dc, const RECT& rect) {
  TSkinData* data = Data();
  if (!data || data->Buttons.RadioButtonImage.Empty()) return;
  TSkinImage& image = data->Buttons.RadioButtonImage;
  const int n = std::max(data->Buttons.RadioButtonFrame, 1);
  const int w = image.Width / n, h = image.Height;
  bool checked = (SendMessageW(Handle(), BM_GETCHECK, 0, 0) & BST_CHECKED) != 0;
  if (Control()) {
    const std::string property = cl::LowerCase(GetEnumPropByName(Control(), "Checked"));
    if (!property.empty()) checked = property == "true";
  }
  const int frame = RadioButtonFrame(checked, WindowDisabled(Handle()), n);

  RECT glyph{}, background{};
  if (TextAtLeft(Handle())) {
    const int right = w > kMarkBox ? rect.right - 1 : rect.right - (kMarkBox - w) / 2;
    glyph = GlyphRect(rect, right - w, w, h);
    background = RECT{rect.right - kRightBackground, rect.top, rect.right, rect.bottom};
  } else {
    const int left = w > kMarkBox ? rect.left : rect.left + (kMarkBox - w) / 2;
    glyph = GlyphRect(rect, left, w, h);
    background = RECT{rect.left, rect.top, rect.left + kLeftBackground, rect.bottom};
  }
  FillParentColor(dc, background);
  DrawFrameKeyed(dc, glyph, n, frame, image);
}

}  // namespace skin
