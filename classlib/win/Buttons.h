// The speed button: a button without a window of its own, painted by its parent and fed its parent's
// mouse messages; and the push button with a glyph.
#pragma once
#include <memory>

#include "Controls.h"
#include "Graphics.h"
#include "StdCtrls.h"

namespace cl {

// bsDown: held down by the mouse; bsExclusive: staying down (Down) between presses.
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

// Where a button's glyph sits beside its caption.
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// What a button with a glyph keeps for whoever draws it: the glyph (NumGlyphs cells side by side:
// normal, disabled, pressed, down), its place, the margin from the edge (-1: centred) and the space
// between glyph and caption (-1: shared out evenly).
struct TButtonGlyph {
  std::unique_ptr<TBitmap> glyph = std::make_unique<TBitmap>();
  int numGlyphs = 1;
  TButtonLayout layout = blGlyphLeft;
  int margin = -1;
  int spacing = 4;
};

// The published glyph properties of a button class Self holding a TButtonGlyph glyph_; a change repaints.
#define CL_BUTTON_GLYPH_PROPERTIES                                                       \
  TBitmap* Glyph() const noexcept { return glyph_.glyph.get(); }                         \
  void SetGlyph(const TBitmap* value) {                                                  \
    glyph_.glyph->Assign(value);                                                         \
    Invalidate();                                                                        \
  }                                                                                      \
  int NumGlyphs() const noexcept { return glyph_.numGlyphs; }                            \
  void SetNumGlyphs(int value) {                                                         \
    glyph_.numGlyphs = value < 1 ? 1 : (value > 4 ? 4 : value);                          \
    Invalidate();                                                                        \
  }                                                                                      \
  TButtonLayout Layout() const noexcept { return glyph_.layout; }                        \
  void SetLayout(TButtonLayout value) {                                                  \
    glyph_.layout = value;                                                               \
    Invalidate();                                                                        \
  }                                                                                      \
  int Margin() const noexcept { return glyph_.margin; }                                  \
  void SetMargin(int value) {                                                            \
    glyph_.margin = value < -1 ? -1 : value;                                             \
    Invalidate();                                                                        \
  }                                                                                      \
  int Spacing() const noexcept { return glyph_.spacing; }                                \
  void SetSpacing(int value) {                                                           \
    glyph_.spacing = value;                                                              \
    Invalidate();                                                                        \
  }

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
  // Flat: no raised face of its own while the mouse is away (a skin draws the difference).
  bool Flat() const noexcept { return flat_; }
  void SetFlat(bool value);
  CL_BUTTON_GLYPH_PROPERTIES

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
  bool flat_ = false;
  TButtonGlyph glyph_;
};

// A push button that carries a glyph beside its caption. Unskinned it draws as a plain push button; the
// skin's painter draws the glyph.
class TBitBtn : public TButton {
  CL_CLASS(TBitBtn, TButton)

  explicit TBitBtn(TComponent* owner) : TButton(owner) {}

  CL_BUTTON_GLYPH_PROPERTIES

 private:
  TButtonGlyph glyph_;
};

}  // namespace cl
