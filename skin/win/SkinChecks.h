// (being built)
#pragma once
#include "SkinControl.h"

namespace skin {

class TSkinCheckBox : public TSkinControl {
  CL_PLAIN_CLASS(TSkinCheckBox, TSkinControl)
  explicit TSkinCheckBox(cl::TComponent* owner) : TSkinControl(owner) {}
};

class TSkinRadioButton : public TSkinControl {
  CL_PLAIN_CLASS(TSkinRadioButton, TSkinControl)
  explicit TSkinRadioButton(cl::TComponent* owner) : TSkinControl(owner) {}
};

}  // namespace skin
