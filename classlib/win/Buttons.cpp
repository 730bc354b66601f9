#include "Buttons.h"

#include "DeviceContext.h"
#include "WinString.h"

namespace cl {

CL_BEGIN_CLASS(TSpeedButton)
    .Bool("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp, false)
    .Str("Caption", &TSpeedButton::Caption, &TSpeedButton::SetCaption)
    .Bool("Down", &TSpeedButton::Down, &TSpeedButton::SetDown, false)
    .Bool("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat, false)
    .Object("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph)
    .Int("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex, 0)
    .Enum("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout,
          {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}, blGlyphLeft)
    .Int("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin, -1)
    .Int("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs, 1)
    .Int("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing, 4)
CL_END_CLASS

CL_BEGIN_CLASS(TBitBtn)
    .Object("Glyph", &TBitBtn::Glyph, &TBitBtn::SetGlyph)
    .Enum("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout,
          {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}, blGlyphLeft)
    .Int("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin, -1)
    .Int("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs, 1)
    .Int("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing, 4)
CL_END_CLASS

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner) {
  // It clicks itself on the release, after it has gone up.
  SetControlStyle({csCaptureMouse, csDoubleClicks});
  StoreBounds(0, 0, 23, 22);
}

TButtonState TSpeedButton::RestingState() const noexcept {
  if (!Enabled()) return bsDisabled;
  return down_ ? bsExclusive : bsUp;
}

void TSpeedButton::SetState(TButtonState value) {
  if (value == state_) return;
  state_ = value;
  Invalidate();
}

void TSpeedButton::SetDown(bool value) {
  // Only a button of a group stays down; the last one down of a group stays so unless all may be up.
  if (groupIndex_ == 0) value = false;
  if (value == down_) return;
  if (down_ && !allowAllUp_) return;
  down_ = value;
  if (down_) RaiseGroupMembers();
  SetState(RestingState());
}

void TSpeedButton::SetFlat(bool value) {
  if (value == flat_) return;
  flat_ = value;
  Invalidate();
}

void TSpeedButton::SetGroupIndex(int value) {
  if (value == groupIndex_) return;
  groupIndex_ = value;
  if (groupIndex_ == 0 && down_) {
    down_ = false;
    SetState(RestingState());
  }
}

void TSpeedButton::RaiseGroupMembers() {
  if (!Parent()) return;
  for (int i = 0; i < Parent()->ControlCount(); ++i) {
    auto* other = dynamic_cast<TSpeedButton*>(Parent()->Controls(i));
    if (!other || other == this || other->groupIndex_ != groupIndex_ || !other->down_) continue;
    other->down_ = false;
    other->SetState(other->RestingState());
  }
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  inherited::MouseDown(button, shift, x, y);
  if (button != mbLeft || !Enabled()) return;
  tracking_ = true;
  if (!down_) SetState(bsDown);
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
  inherited::MouseMove(shift, x, y);
  if (!tracking_) return;
  // Held, it looks pressed only while the mouse is over it.
  const bool over = ClientRect().Contains(Point(x, y));
  SetState(over && !down_ ? bsDown : RestingState());
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  const bool click = button == mbLeft && tracking_ && ClientRect().Contains(Point(x, y));
  if (button == mbLeft) tracking_ = false;
  if (click && groupIndex_ != 0) SetDown(!down_);
  SetState(RestingState());
  if (click) Click();
  inherited::MouseUp(button, shift, x, y);
}

void TSpeedButton::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_CAPTURECHANGED:
      // The mouse was taken away (a menu, a dialog): no click comes.
      tracking_ = false;
      clicking_ = false;
      SetState(RestingState());
      return;
    case CM_ENABLEDCHANGED:
      tracking_ = false;
      SetState(RestingState());
      Invalidate();
      break;
    case CM_TEXTCHANGED:
      Invalidate();
      break;
  }
  inherited::Dispatch(m);
}

void TSpeedButton::Paint() {
  HDC dc = Canvas()->Handle();
  RECT r{0, 0, Width(), Height()};
  const bool pressed = state_ == bsDown || state_ == bsExclusive;
  DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  const std::string caption = Caption();
  if (caption.empty()) return;
  if (pressed) OffsetRect(&r, 1, 1);
  const TSavedDC saved(dc);
  SelectObject(dc, Font()->Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(Enabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  const std::wstring text = ToWide(caption);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

}  // namespace cl
