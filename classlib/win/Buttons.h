// The speed button: a button without a window of its own, painted by its parent and fed its parent's
// mouse messages.
#pragma once
#include "Controls.h"

namespace cl {

// bsDown: held down by the mouse; bsExclusive: staying down (Down) between presses.
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

// Goes down while the left button is held over it and clicks when it is released there. With a
// GroupIndex above 0 a click leaves it Down, and the other buttons of its parent with that index go up;
// AllowAllUp lets a click raise the Down one again. It never takes the focus.
class TSpeedButton : public TGraphicControl {
  CL_CLASS(TSpeedButton, TGraphicControl)

  explicit TSpeedButton(TComponent* owner);

  TButtonState State() const noexcept { return state_; }
  bool Down() const noexcept { return down_; }
  void SetDown(bool value);
  int GroupIndex() const noexcept { return groupIndex_; }
  void SetGroupIndex(int value);
  bool AllowAllUp() const noexcept { return allowAllUp_; }
  void SetAllowAllUp(bool value) { allowAllUp_ = value; }

  void Dispatch(TMessage& message) override;

 protected:
  // A raised face, or a sunken one while down; the caption in the middle.
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  void SetState(TButtonState value);
  // The state when the mouse is not holding it.
  TButtonState RestingState() const noexcept;
  void RaiseGroupMembers();

  TButtonState state_ = bsUp;
  bool down_ = false;
  int groupIndex_ = 0;
  bool allowAllUp_ = false;
  bool tracking_ = false;  // the left button went down on it and is still held
};

}  // namespace cl
