// An edit for a whole number with up and down arrows inside its right edge.
#pragma once
#include "StdCtrls.h"

namespace cl {

// Value is the text as a number, brought into MinValue..MaxValue (a range of 0..0 is no range); a text
// that is not a number reads as MinValue. The arrows and the Up and Down keys step Value by Increment;
// leaving the field writes the value back into the text.
class TSpinEdit : public TEdit {
  CL_CLASS(TSpinEdit, TEdit)

  explicit TSpinEdit(TComponent* owner);

  int MinValue() const noexcept { return minValue_; }
  void SetMinValue(int value) { minValue_ = value; }
  int MaxValue() const noexcept { return maxValue_; }
  void SetMaxValue(int value) { maxValue_ = value; }
  int Increment() const noexcept { return increment_; }
  void SetIncrement(int value) { increment_ = value; }
  int Value() const;
  void SetValue(int value);
  // Writes Value back into the text.
  void Clamp() { SetValue(Value()); }

  // The arrows' window, null without a window of the edit.
  HWND ArrowsHandle() const noexcept { return arrows_; }

  void Dispatch(TMessage& message) override;

 protected:
  void CreateHandleDone() override;
  void DoExit() override;
  void KeyDown(uint16_t& key, TShiftState shift) override;
  void KeyPress(wchar_t& key) override;

 private:
  int ClampToRange(int64_t value) const;
  void Step(int direction);
  void PlaceArrows();
  int minValue_ = 0;
  int maxValue_ = 0;
  int increment_ = 1;
  // A child of the edit's window: it goes with that window.
  HWND arrows_ = nullptr;
};

}  // namespace cl
