// (being built)
#pragma once
#include "SkinControl.h"

namespace skin {

class TSkinTrackBar : public TSkinControl {
  CL_PLAIN_CLASS(TSkinTrackBar, TSkinControl)
  explicit TSkinTrackBar(cl::TComponent* owner) : TSkinControl(owner) {}
};

class TSkinUpDown : public TSkinControl {
  CL_PLAIN_CLASS(TSkinUpDown, TSkinControl)
  explicit TSkinUpDown(cl::TComponent* owner) : TSkinControl(owner) {}
  void SetInsideEdit(bool value) noexcept { insideEdit_ = value; }

 private:
  bool insideEdit_ = false;
};

class TSkinProgress : public TSkinControl {
  CL_PLAIN_CLASS(TSkinProgress, TSkinControl)
  explicit TSkinProgress(cl::TComponent* owner) : TSkinControl(owner) {}
};

}  // namespace skin
