// (being built)
#pragma once
#include "SkinControl.h"

namespace skin {

class TSkinButton : public TSkinControl {
  CL_PLAIN_CLASS(TSkinButton, TSkinControl)
  explicit TSkinButton(cl::TComponent* owner) : TSkinControl(owner) {}
};

class TSkinBitButton : public TSkinButton {
  CL_PLAIN_CLASS(TSkinBitButton, TSkinButton)
  explicit TSkinBitButton(cl::TComponent* owner) : TSkinButton(owner) {}
};

class TSkinSpeedButton : public TSkinBitButton {
  CL_PLAIN_CLASS(TSkinSpeedButton, TSkinBitButton)
  explicit TSkinSpeedButton(cl::TComponent* owner) : TSkinBitButton(owner) {}
};

}  // namespace skin
