// Painters of the controls that show a value in a range: the track bar's thumb, the up-down's two
// buttons and the progress bar.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "SkinControl.h"

namespace cl {
class TBitmap;
}

namespace skin {

class TDataSkinBorder;
struct TSkinImage;

// Draws the thumb from frame 2 of the skin's thumb strip through the control's own custom-draw
// notifications; the channel and the ticks stay as the control draws them. Without a thumb image the
// thumb is a plain rectangle in the skin's shadow colour.
class TSkinTrackBar : public TSkinControl {
  CL_PLAIN_CLASS(TSkinTrackBar, TSkinControl)
  explicit TSkinTrackBar(cl::TComponent* owner) : TSkinControl(owner) {}

  // No colour of its own: the thumb is drawn again from the skin. The focus stays where it is.
  void ApplySkinColor() override;

 protected:
  bool BeforeMessage(cl::TMessage& m) override;

 private:
  // The answer to one custom-draw notification of the control.
  LRESULT CustomDraw(const NMCUSTOMDRAW& draw);
  void DrawThumb(const NMCUSTOMDRAW& draw);
  // The thumb strip for the bar's orientation; null when the skin has none.
  TSkinImage* ThumbImage() const;
};

// Paints both buttons of an up-down from the UpDown.Vert or UpDown.Horz element (eight frames: normal,
// pressed, disabled and hot of the first button, then of the second), or as plain boxes with arrows
// when the skin lacks the element.
class TSkinUpDown : public TSkinControl {
  CL_PLAIN_CLASS(TSkinUpDown, TSkinControl)
  explicit TSkinUpDown(cl::TComponent* owner) : TSkinControl(owner) {}

  // The up-down lies inside an edit, whose border takes the outermost pixel of it.
  void SetInsideEdit(bool value) noexcept { insideEdit_ = value; }
  bool InsideEdit() const noexcept { return insideEdit_; }

 protected:
  bool BeforeMessage(cl::TMessage& m) override;
  void DrawSkin(HDC dc, const RECT& rect) override;

 private:
  // Button states, as the element's frames within a button's group.
  enum TButtonState { bsNormal = 1, bsPressed = 2, bsDisabled = 3, bsHot = 4 };
  void EraseBackground(const cl::TMessage& m);
  // The state of the button whose half the cursor is over (or not).
  int ButtonState(bool enabled, bool underCursor) const;
  void DrawUpDownButton(HDC dc, const RECT& rect, int direction, int state, TDataSkinBorder& element);
  void DrawPlainButton(HDC dc, const RECT& rect, int direction, int state);
  bool insideEdit_ = false;
};

// Paints a progress bar from the Progress element: frame 1 of its image is the empty bar and frame 2,
// over the done part, the filled one; with Style 1 the done part is a row of chunks instead. A vertical
// bar fills from the bottom. Without the element the bar keeps its own look.
class TSkinProgress : public TSkinControl {
  CL_PLAIN_CLASS(TSkinProgress, TSkinControl)
  explicit TSkinProgress(cl::TComponent* owner) : TSkinControl(owner) {}

 protected:
  bool BeforeMessage(cl::TMessage& m) override;
  void DrawSkin(HDC dc, const RECT& rect) override;

 private:
  // The element when it has an image to draw, else null.
  TDataSkinBorder* Element() const;
  void DrawStretched(HDC dc, const RECT& rect, TDataSkinBorder& element, cl::TBitmap& image);
  void DrawChunks(HDC dc, const RECT& rect, TDataSkinBorder& element, cl::TBitmap& image);
  // The part of `length` pixels that the position has reached between the range's ends.
  int DoneLength(int length) const;
};

}  // namespace skin
