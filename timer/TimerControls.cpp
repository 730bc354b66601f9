#include "TimerControls.h"

#include <commctrl.h>

#include <algorithm>
#include <charconv>

#include "WinString.h"

namespace pellwick {

// ------------------------------------------------------------------------------------------ TRadioButton

CL_BEGIN_CLASS(TRadioButton)
    .Str("Caption", &TRadioButton::Caption, &TRadioButton::SetCaption)
    .Bool("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked, false)
    .Bool("TabStop", &TRadioButton::TabStop, &TRadioButton::SetTabStop, true)
CL_END_CLASS

TRadioButton::TRadioButton(cl::TComponent* owner) : cl::TWinControl(owner) {
  StoreBounds(0, 0, 113, 17);
  SetTabStop(true);
}

void TRadioButton::CreateParams(cl::TCreateParams& params) {
  inherited::CreateParams(params);
  CreateSubClass(params, L"BUTTON");
  // Not automatic: the state is this object's, so that code and user changes go the same way.
  params.Style |= BS_RADIOBUTTON;
}

void TRadioButton::CreateHandleDone() {
  SendMessageW(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  if (HandleAllocated()) SendMessageW(Handle(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
  if (!value) return;
  if (cl::TWinControl* parent = Parent()) {
    for (int i = 0; i < parent->ControlCount(); ++i)
      if (auto* other = dynamic_cast<TRadioButton*>(parent->Controls(i)); other && other != this)
        other->SetChecked(false);
  }
  if (!ComponentState().Contains(cl::csLoading)) Click();
}

void TRadioButton::Dispatch(cl::TMessage& m) {
  if (m.Msg == cl::CN_COMMAND) {
    if (HIWORD(m.WParam) == BN_CLICKED) SetChecked(true);
    return;
  }
  if (m.Msg == cl::CM_DIALOGCHAR && CanFocus() && cl::IsAccel(static_cast<wchar_t>(m.WParam), Caption())) {
    SetFocus();
    SetChecked(true);
    m.Result = 1;
    return;
  }
  inherited::Dispatch(m);
}

// ------------------------------------------------------------------------------------------ TSpinEdit

CL_BEGIN_CLASS(TSpinEdit)
    .Int("MinValue", &TSpinEdit::MinValue, &TSpinEdit::SetMinValue, 0)
    .Int("MaxValue", &TSpinEdit::MaxValue, &TSpinEdit::SetMaxValue, 0)
    .Int("Value", &TSpinEdit::Value, &TSpinEdit::SetValue)
CL_END_CLASS

TSpinEdit::TSpinEdit(cl::TComponent* owner) : cl::TEdit(owner) { SetText("0"); }

int TSpinEdit::Value() const {
  const std::string text = Text();
  int value = minValue_;
  const char* begin = text.data();
  const char* end = begin + text.size();
  while (begin != end && *begin == ' ') ++begin;
  auto [ptr, ec] = std::from_chars(begin, end, value);
  if (ec != std::errc() || ptr != end || begin == end) value = minValue_;
  // A range of 0..0 is no range.
  if (maxValue_ != 0 || minValue_ != 0) value = std::clamp(value, minValue_, std::max(minValue_, maxValue_));
  return value;
}

void TSpinEdit::SetValue(int value) {
  if (maxValue_ != 0 || minValue_ != 0) value = std::clamp(value, minValue_, std::max(minValue_, maxValue_));
  const std::string text = std::to_string(value);
  if (Text() != text) SetText(text);
}

void TSpinEdit::DoExit() {
  Clamp();
  inherited::DoExit();
}

void TSpinEdit::KeyPress(wchar_t& key) {
  inherited::KeyPress(key);
  // Digits, a leading minus and editing keys only.
  if (key >= 32 && !(key >= L'0' && key <= L'9') && key != L'-') key = 0;
}

// ------------------------------------------------------------------------------------------ TStatusBar

CL_BEGIN_CLASS(TStatusBar)
    .Bool("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel, true)
    .Str("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText)
CL_END_CLASS

TStatusBar::TStatusBar(cl::TComponent* owner) : cl::TWinControl(owner) {
  StoreBounds(0, 0, 200, 19);
  SetAlign(cl::alBottom);
}

void TStatusBar::CreateParams(cl::TCreateParams& params) {
  inherited::CreateParams(params);
  CreateSubClass(params, STATUSCLASSNAMEW);
  // The layout places it; the control must not move itself.
  params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE;
}

void TStatusBar::CreateHandleDone() {
  SendMessageW(Handle(), SB_SIMPLE, TRUE, 0);
  SendMessageW(Handle(), SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(cl::ToWide(simpleText_).c_str()));
}

void TStatusBar::SetSimpleText(const std::string& value) {
  simpleText_ = value;
  if (HandleAllocated())
    SendMessageW(Handle(), SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(cl::ToWide(value).c_str()));
}

// ------------------------------------------------------------------------------------------ TProgressBar

CL_BEGIN_CLASS(TProgressBar)
    .Int("Min", &TProgressBar::Min, &TProgressBar::SetMin, 0)
    .Int("Max", &TProgressBar::Max, &TProgressBar::SetMax, 100)
    .Int("Position", &TProgressBar::Position, &TProgressBar::SetPosition, 0)
    .Int("Step", &TProgressBar::Step, &TProgressBar::SetStep, 10)
CL_END_CLASS

TProgressBar::TProgressBar(cl::TComponent* owner) : cl::TWinControl(owner) { StoreBounds(0, 0, 150, 16); }

void TProgressBar::CreateParams(cl::TCreateParams& params) {
  inherited::CreateParams(params);
  CreateSubClass(params, PROGRESS_CLASSW);
}

void TProgressBar::CreateHandleDone() { Apply(); }

void TProgressBar::Apply() {
  if (!HandleAllocated()) return;
  SendMessageW(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
  SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::SetMin(int value) {
  min_ = value;
  position_ = std::max(position_, min_);
  Apply();
}

void TProgressBar::SetMax(int value) {
  max_ = value;
  position_ = std::min(position_, max_);
  Apply();
}

void TProgressBar::SetPosition(int value) {
  position_ = std::clamp(value, min_, std::max(min_, max_));
  Apply();
}

void RegisterTimerControls() {
  cl::RegisterComponentClass(TRadioButton::StaticClass());
  cl::RegisterComponentClass(TSpinEdit::StaticClass());
  cl::RegisterComponentClass(TStatusBar::StaticClass());
  cl::RegisterComponentClass(TProgressBar::StaticClass());
}

}  // namespace pellwick
