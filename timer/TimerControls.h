// The controls the timer's windows need beyond the standard set: radio button, spin edit, status bar
// with simple text, progress bar.
#pragma once
#include "Controls.h"
#include "StdCtrls.h"

namespace pellwick {

// A radio button. Checking it unchecks the other radio buttons of its parent; OnClick follows only when
// it becomes checked (by the user or in code), never when it is unchecked.
class TRadioButton : public cl::TWinControl {
  CL_CLASS(TRadioButton, cl::TWinControl)

  explicit TRadioButton(cl::TComponent* owner);

  bool Checked() const noexcept { return checked_; }
  void SetChecked(bool value);

  void Dispatch(cl::TMessage& message) override;

 protected:
  void CreateParams(cl::TCreateParams& params) override;
  void CreateHandleDone() override;

 private:
  bool checked_ = false;
};

// An edit for a whole number between MinValue and MaxValue. Value is the text as a number (a text that is
// not a number reads as MinValue), brought into the range; leaving the field writes the clamped value
// back into it.
class TSpinEdit : public cl::TEdit {
  CL_CLASS(TSpinEdit, cl::TEdit)

  explicit TSpinEdit(cl::TComponent* owner);

  int MinValue() const noexcept { return minValue_; }
  void SetMinValue(int value) { minValue_ = value; }
  int MaxValue() const noexcept { return maxValue_; }
  void SetMaxValue(int value) { maxValue_ = value; }
  int Value() const;
  void SetValue(int value);
  // Writes Value back into the text.
  void Clamp() { SetValue(Value()); }

 protected:
  void DoExit() override;
  void KeyPress(wchar_t& key) override;

 private:
  int minValue_ = 0;
  int maxValue_ = 0;
};

// A status bar at the bottom of its form showing one text.
class TStatusBar : public cl::TWinControl {
  CL_CLASS(TStatusBar, cl::TWinControl)

  explicit TStatusBar(cl::TComponent* owner);

  bool SimplePanel() const noexcept { return simplePanel_; }
  void SetSimplePanel(bool value) { simplePanel_ = value; }
  const std::string& SimpleText() const noexcept { return simpleText_; }
  void SetSimpleText(const std::string& value);

 protected:
  void CreateParams(cl::TCreateParams& params) override;
  void CreateHandleDone() override;

 private:
  bool simplePanel_ = true;
  std::string simpleText_;
};

class TProgressBar : public cl::TWinControl {
  CL_CLASS(TProgressBar, cl::TWinControl)

  explicit TProgressBar(cl::TComponent* owner);

  int Min() const noexcept { return min_; }
  void SetMin(int value);
  int Max() const noexcept { return max_; }
  void SetMax(int value);
  int Position() const noexcept { return position_; }
  void SetPosition(int value);
  int Step() const noexcept { return step_; }
  void SetStep(int value) { step_ = value; }

 protected:
  void CreateParams(cl::TCreateParams& params) override;
  void CreateHandleDone() override;

 private:
  void Apply();
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  int step_ = 10;
};

// Registers the four for creation by name.
void RegisterTimerControls();

}  // namespace pellwick
