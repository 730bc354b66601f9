// The edit painter: a flat two-pixel frame in the skin's colours around edit fields with a border, and a
// painter for the up-down button that sits inside a field (a spin edit's arrows).
#pragma once
#include "SkinControl.h"

namespace skin {

class TSkinUpDown;

class TSkinEdit : public TSkinControl {
  CL_PLAIN_CLASS(TSkinEdit, TSkinControl)
  explicit TSkinEdit(cl::TComponent* owner) : TSkinControl(owner) {}

  // The painter of the up-down inside the field, once found.
  TSkinUpDown* UpDown() const noexcept { return upDown_; }

 protected:
  bool BeforeMessage(cl::TMessage& m) override;
  void AfterMessage(cl::TMessage& m) override;
  void DrawSkin(HDC dc, const RECT& rect) override;

 private:
  // Gives the first up-down child of the field a painter (an up-down made later is found at a later paint).
  void FindUpDown();
  // WM_PRINT: the frame into the given DC.
  void PrintFrame(HDC dc);

  TSkinUpDown* upDown_ = nullptr;
};

}  // namespace skin
