// The button painters: push buttons (class-library buttons and bare "button" windows), buttons with a
// glyph, and windowless speed buttons, each drawn from the skin's Buttons image.
//
// The Buttons image holds five frames: normal, pressed, disabled, hot (mouse over) or focused, and
// default. A skin without it leaves every button as the control draws it. At most one button of a
// skinned window shows the hot frame: the one that became hot last takes it from the one before.
#pragma once
#include <memory>
#include <string>

#include "Graphics.h"
#include "SkinControl.h"

namespace skin {

// Frames of the Buttons image.
inline constexpr int kButtonNormal = 1;
inline constexpr int kButtonPressed = 2;
inline constexpr int kButtonDisabled = 3;
inline constexpr int kButtonHot = 4;
inline constexpr int kButtonDefault = 5;

// A caption's line breaks: every "||" becomes CR LF; every other character stays as it is.
std::wstring CaptionLines(std::wstring text);

class TSkinButton : public TSkinControl {
  CL_PLAIN_CLASS(TSkinButton, TSkinControl)
  explicit TSkinButton(cl::TComponent* owner);
  ~TSkinButton() override;

 protected:
  // Paints the face itself and takes the left press from the control: the click comes from here.
  bool BeforeMessage(cl::TMessage& m) override;
  void AfterMessage(cl::TMessage& m) override;
  void DrawSkin(HDC dc, const RECT& rect) override;

  // The caption centred in rect (or spanning it), word-wrapped, "||" breaking the line, in the DC's font
  // and text colour.
  static void DrawCaption(HDC dc, const RECT& rect, UINT align, const std::wstring& text);

  // The skin has a Buttons image with pixels.
  bool HasButtonImage() const;
  // The work bitmap, sized to rect; compose on it, then copy it out.
  cl::TBitmap& WorkBitmap(const RECT& rect);
  // The skin's face colour over area, and frame `frame` of the Buttons image on it (none for 0).
  void DrawFace(HDC dc, const RECT& area, int frame);
  // The caption: the control's Caption property, or a bare window's text.
  std::wstring CaptionText() const;
  // The control's Font property, when it has one.
  cl::TFont* ControlFont() const;
  // The text colour of a class-library control's caption for a frame: the skin's text colours where it
  // gives them, the shadow colour when disabled, else the font's own colour.
  COLORREF ControlTextColour(int frame, bool enabled, cl::TColor fontColour) const;
  // The window (or a windowless control) is not disabled: read now, not remembered.
  bool IsEnabledNow() const;

  // Hot: shown and made the window's hot button. Through a mouse move it first takes the hot state from
  // the window's other hot button, and the window's hot button already is not redrawn.
  void BecomeHot(bool fromMouseMove);
  // Neither hot nor pressed any more, and no longer the window's hot button.
  void LeaveHot();

 private:
  // A bare window's text colour for a frame.
  COLORREF BareTextColour(int frame, bool enabled) const;
  // The release of a left press: the click of a class-library control, a bare window's notification.
  void Released();

  std::unique_ptr<cl::TBitmap> work_;
};

class TSkinBitButton : public TSkinButton {
  CL_PLAIN_CLASS(TSkinBitButton, TSkinButton)
  explicit TSkinBitButton(cl::TComponent* owner) : TSkinButton(owner) {}

  // Cell of a glyph strip: with four cells, cell `glyphIndex` (1 normal, 2 disabled, 3 pressed), else
  // the first; greyed for the disabled index; drawn at (x, y), its bottom-left pixel's colour left out.
  static void DrawGlyph(HDC dc, int x, int y, int numGlyphs, int glyphIndex, cl::TBitmap& glyph);

 protected:
  void DrawSkin(HDC dc, const RECT& rect) override;
};

class TSkinSpeedButton : public TSkinBitButton {
  CL_PLAIN_CLASS(TSkinSpeedButton, TSkinBitButton)
  explicit TSkinSpeedButton(cl::TComponent* owner) : TSkinBitButton(owner) {}

 protected:
  bool BeforeMessage(cl::TMessage& m) override;
  void AfterMessage(cl::TMessage& m) override;
  // Paints the button at once on its parent's window.
  void PaintFrame(HDC dc) override;
  // The whole button into dc at rect.
  void PaintButton(HDC dc, const RECT& rect);
};

}  // namespace skin
