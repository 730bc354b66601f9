// A one-line label for a path: a path too long for the label is shortened in the middle with an ellipsis,
// so that the start and the file name stay visible. "&" is drawn as it is.
#pragma once
#include "StdCtrls.h"

namespace toolkit {

class TSaPathLabel : public cl::TLabel {
  CL_PLAIN_CLASS(TSaPathLabel, cl::TLabel)

  // Starts with the current directory as its caption, fixed size.
  explicit TSaPathLabel(cl::TComponent* owner);

 protected:
  void Paint() override;
  // Draws the label's text into rect of the canvas with the given DrawText alignment flags.
  void DrawPathText(RECT rect, UINT flags);
};

}  // namespace toolkit
