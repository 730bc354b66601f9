// (being built)
#pragma once
#include "SkinControl.h"

namespace skin {

class TSkinStatusBar : public TSkinControl {
  CL_PLAIN_CLASS(TSkinStatusBar, TSkinControl)
  explicit TSkinStatusBar(cl::TComponent* owner) : TSkinControl(owner) {}
};

class TSkinGroupBox : public TSkinControl {
  CL_PLAIN_CLASS(TSkinGroupBox, TSkinControl)
  explicit TSkinGroupBox(cl::TComponent* owner) : TSkinControl(owner) {}
};

class TSkinBox : public TSkinControl {
  CL_PLAIN_CLASS(TSkinBox, TSkinControl)
  explicit TSkinBox(cl::TComponent* owner) : TSkinControl(owner) {}
};

}  // namespace skin
