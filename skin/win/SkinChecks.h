// Painters of check boxes and radio buttons: after the control has drawn itself they cover its mark
// with a glyph of the skin's CheckButton or RadioButton strip; the caption stays the control's own.
#pragma once
#include "SkinControl.h"

namespace skin {

class TSkinCheckBox : public TSkinControl {
  CL_PLAIN_CLASS(TSkinCheckBox, TSkinControl)
  explicit TSkinCheckBox(cl::TComponent* owner) : TSkinControl(owner) {}

 protected:
  void AfterMessage(cl::TMessage& m) override;
  void DrawSkin(HDC dc, const RECT& rect) override;
};

class TSkinRadioButton : public TSkinControl {
  CL_PLAIN_CLASS(TSkinRadioButton, TSkinControl)
  explicit TSkinRadioButton(cl::TComponent* owner) : TSkinControl(owner) {}

 protected:
  void AfterMessage(cl::TMessage& m) override;
  void DrawSkin(HDC dc, const RECT& rect) override;
};

// What a check mark shows.
enum class TCheckMark { Unchecked, Checked, Grayed };

// The frame of a check box glyph: a strip of twelve frames has its own places (1 unchecked, 4 unchecked
// disabled, 5 checked, 8 checked disabled, 9 grayed, 12 grayed disabled), any other count the places
// of four (1 unchecked, 2 checked, 3 unchecked disabled, 4 checked disabled and grayed). A strip too
// short for a disabled frame shows the enabled one; the result never passes frameCount.
int CheckBoxFrame(TCheckMark mark, bool disabled, int frameCount);
// The same for radio buttons: eight frames (1, 4 disabled; 5 checked, 8 checked disabled), else four
// (1, 2 checked, 3 disabled, 4 checked disabled).
int RadioButtonFrame(bool checked, bool disabled, int frameCount);

}  // namespace skin
