// Check box and radio button painters: the glyph's frame for each check state and the enabled state,
// with strips of 2, 4, 8 and 12 frames, its place, and the repaint after a state change; class-library
// controls and bare button windows.
#include <gtest/gtest.h>
#include <windows.h>

#include "ChecksBoxesFixture.h"
#include "SkinChecks.h"
#include "StdCtrls.h"

namespace {

using painttest::kFormRGB;
using painttest::kFrames;
using painttest::PaintNow;
using painttest::WindowPixel;

// A three-state check box of another library: the painter reads its State property by name.
enum TProbeCheckState { cbUnchecked, cbChecked, cbGrayed };
class TProbeThreeState : public cl::TCheckBox {
  CL_CLASS(TProbeThreeState, cl::TCheckBox)
  explicit TProbeThreeState(cl::TComponent* owner) : TCheckBox(owner) {}
  TProbeCheckState State() const noexcept { return state_; }
  void SetState(TProbeCheckState value) { state_ = value; }

 private:
  TProbeCheckState state_ = cbUnchecked;
};
CL_BEGIN_CLASS(TProbeThreeState)
    .Enum("State", &TProbeThreeState::State, &TProbeThreeState::SetState, {"cbUnchecked", "cbChecked", "cbGrayed"},
          cbUnchecked)
CL_END_CLASS

// Glyphs 13 pixels square: in a 20-pixel-high box a check glyph covers x 1..13 and a radio glyph x 0..12,
// both y 3..15.
constexpr int kGlyph = 13, kBoxW = 120, kBoxH = 20;
constexpr int kCheckX = 7, kRadioX = 6, kGlyphY = 9;

std::string Description(int checkFrames, int radioFrames) {
  return "[Buttons]\r\nCheckButton=check.bmp\r\nCheckButtonFrame=" + std::to_string(checkFrames) +
         "\r\nRadioButton=radio.bmp\r\nRadioButtonFrame=" + std::to_string(radioFrames) + "\r\n";
}

class CheckPainters : public painttest::PainterTest {
 protected:
  void LoadStrips(int checkFrames, int radioFrames) {
    LoadSkin(Description(checkFrames, radioFrames),
             {{"check.bmp", painttest::FrameStrip(checkFrames, kGlyph, kGlyph)},
              {"radio.bmp", painttest::FrameStrip(radioFrames, kGlyph, kGlyph)}});
  }
  cl::TCheckBox* NewCheckBox() {
    auto* box = NewControl<cl::TCheckBox>(10, 10, kBoxW, kBoxH);
    box->SetCaption("Check");
    (new skin::TSkinCheckBox(box))->Attach(nullptr, data_, false);
    return box;
  }
  cl::TRadioButton* NewRadioButton() {
    auto* radio = NewControl<cl::TRadioButton>(10, 40, kBoxW, kBoxH);
    radio->SetCaption("Radio");
    (new skin::TSkinRadioButton(radio))->Attach(nullptr, data_, false);
    return radio;
  }
  // A bare button window of the style on the form, with a painter owned by the form.
  HWND NewBareButton(DWORD style, skin::TSkinControl*& painter, bool radio = false) {
    HWND wnd = CreateWindowExW(0, L"BUTTON", L"Bare", WS_CHILD | WS_VISIBLE | style, 10, 80, kBoxW, kBoxH,
                               form_->Handle(), nullptr, nullptr, nullptr);
    EXPECT_NE(wnd, nullptr);
    if (radio)
      painter = new skin::TSkinRadioButton(form_);
    else
      painter = new skin::TSkinCheckBox(form_);
    painter->AttachHandle(wnd, data_, nullptr);
    return wnd;
  }
  static void DestroyBare(HWND wnd, skin::TSkinControl* painter) {
    delete painter;
    DestroyWindow(wnd);
  }
  // The frame colour at the check glyph after a paint.
  static COLORREF CheckGlyph(HWND wnd) {
    PaintNow(wnd);
    return WindowPixel(wnd, kCheckX, kGlyphY);
  }
  static COLORREF RadioGlyph(HWND wnd) {
    PaintNow(wnd);
    return WindowPixel(wnd, kRadioX, kGlyphY);
  }
};

TEST(CheckFrames, EveryStateAndCountStaysWithinTheStrip) {
  using skin::TCheckMark;
  for (int n = 1; n <= 16; ++n) {
    for (TCheckMark mark : {TCheckMark::Unchecked, TCheckMark::Checked, TCheckMark::Grayed}) {
      for (bool disabled : {false, true}) {
        const int frame = skin::CheckBoxFrame(mark, disabled, n);
        EXPECT_GE(frame, 1) << n;
        EXPECT_LE(frame, n) << n;
      }
    }
    for (bool checked : {false, true}) {
      for (bool disabled : {false, true}) {
        const int frame = skin::RadioButtonFrame(checked, disabled, n);
        EXPECT_GE(frame, 1) << n;
        EXPECT_LE(frame, n) << n;
      }
    }
  }
  // Too short for the disabled frames: the enabled ones.
  EXPECT_EQ(skin::CheckBoxFrame(TCheckMark::Unchecked, true, 2), 1);
  EXPECT_EQ(skin::CheckBoxFrame(TCheckMark::Checked, true, 2), 2);
  EXPECT_EQ(skin::CheckBoxFrame(TCheckMark::Grayed, false, 2), 2);
  EXPECT_EQ(skin::RadioButtonFrame(true, true, 3), 2);
}

TEST_F(CheckPainters, FourFramesFollowCheckedAndEnabledAndTheGlyphSitsOnTheParentColour) {
  LoadStrips(4, 4);
  cl::TCheckBox* box = NewCheckBox();
  Show();
  HWND wnd = box->Handle();
  EXPECT_EQ(CheckGlyph(wnd), kFrames[0]);
  // Top-left of the glyph and the parent colour around it.
  EXPECT_EQ(WindowPixel(wnd, 1, 3), kFrames[0]);
  EXPECT_EQ(WindowPixel(wnd, 13, 15), kFrames[0]);
  EXPECT_EQ(WindowPixel(wnd, 0, kGlyphY), kFormRGB);
  EXPECT_EQ(WindowPixel(wnd, 14, kGlyphY), kFormRGB);
  EXPECT_EQ(WindowPixel(wnd, 7, 2), kFormRGB);

  box->SetChecked(true);
  EXPECT_TRUE(GetUpdateRect(wnd, nullptr, FALSE)) << "the new mark is painted";
  UpdateWindow(wnd);
  EXPECT_EQ(WindowPixel(wnd, kCheckX, kGlyphY), kFrames[1]);
  box->SetEnabled(false);
  EXPECT_EQ(CheckGlyph(wnd), kFrames[3]);
  box->SetChecked(false);
  EXPECT_EQ(CheckGlyph(wnd), kFrames[2]);
}

TEST_F(CheckPainters, TwelveFramesHaveTheirOwnPlaces) {
  LoadStrips(12, 4);
  cl::TCheckBox* box = NewCheckBox();
  Show();
  HWND wnd = box->Handle();
  EXPECT_EQ(CheckGlyph(wnd), kFrames[0]);
  box->SetChecked(true);
  EXPECT_EQ(CheckGlyph(wnd), kFrames[4]);
  box->SetEnabled(false);
  EXPECT_EQ(CheckGlyph(wnd), kFrames[7]);
  box->SetChecked(false);
  EXPECT_EQ(CheckGlyph(wnd), kFrames[3]);
}

TEST_F(CheckPainters, AGrayedBareBoxRepaintsAtOnceWithTheGrayedFrame) {
  for (int n : {4, 12}) {
    SCOPED_TRACE(n);
    LoadStrips(n, 4);
    Show();
    skin::TSkinControl* painter = nullptr;
    HWND wnd = NewBareButton(BS_AUTO3STATE, painter);
    EXPECT_EQ(CheckGlyph(wnd), kFrames[0]);
    // No paint asked for: the painter's own redraw has to show it.
    SendMessageW(wnd, BM_SETCHECK, BST_INDETERMINATE, 0);
    EXPECT_EQ(WindowPixel(wnd, kCheckX, kGlyphY), kFrames[n == 12 ? 8 : 3]);
    EnableWindow(wnd, FALSE);
    EXPECT_EQ(CheckGlyph(wnd), kFrames[n == 12 ? 11 : 3]);
    SendMessageW(wnd, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(WindowPixel(wnd, kCheckX, kGlyphY), kFrames[n == 12 ? 7 : 3]);
    DestroyBare(wnd, painter);
  }
}

TEST_F(CheckPainters, AStatePropertyOfAnotherLibraryDecidesTheMark) {
  cl::RegisterClasses({TProbeThreeState::StaticClass()});
  for (int n : {4, 12}) {
    SCOPED_TRACE(n);
    LoadStrips(n, 4);
    auto* box = NewControl<TProbeThreeState>(10, 10, kBoxW, kBoxH);
    (new skin::TSkinCheckBox(box))->Attach(nullptr, data_, false);
    Show();
    box->SetState(cbGrayed);
    EXPECT_EQ(CheckGlyph(box->Handle()), kFrames[n == 12 ? 8 : 3]);
    box->SetState(cbChecked);
    EXPECT_EQ(CheckGlyph(box->Handle()), kFrames[n == 12 ? 4 : 1]);
    delete box;
  }
}

TEST_F(CheckPainters, ABareCheckBoxPaintsItsGlyphAndFollowsItsState) {
  LoadStrips(4, 4);
  Show();
  skin::TSkinControl* painter = nullptr;
  HWND wnd = NewBareButton(BS_AUTOCHECKBOX, painter);
  EXPECT_EQ(CheckGlyph(wnd), kFrames[0]);
  SendMessageW(wnd, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(WindowPixel(wnd, kCheckX, kGlyphY), kFrames[1]);
  DestroyBare(wnd, painter);
}

TEST_F(CheckPainters, TextAtTheLeftPutsTheGlyphAtTheRightEdge) {
  LoadStrips(4, 4);
  Show();
  const COLORREF face = cl::ColorToRGB(data_->Colors.ButtonFace);
  for (const bool radio : {false, true}) {
    SCOPED_TRACE(radio ? "radio button" : "check box");
    skin::TSkinControl* painter = nullptr;
    HWND wnd = NewBareButton((radio ? BS_AUTORADIOBUTTON : BS_AUTOCHECKBOX) | BS_LEFTTEXT, painter, radio);
    SetWindowTextW(wnd, L"");  // no text where the glyph would sit at the left
    PaintNow(wnd);
    // Check glyph x 106..118, radio glyph x 107..119; from 102 to the right edge around it the face
    // colour (a bare window has no parent control to take a colour from), and the face at the left.
    const int first = radio ? 107 : 106;
    EXPECT_EQ(WindowPixel(wnd, first, kGlyphY), kFrames[0]);
    EXPECT_EQ(WindowPixel(wnd, first + 12, kGlyphY), kFrames[0]);
    EXPECT_EQ(WindowPixel(wnd, first - 1, kGlyphY), face);
    if (!radio) EXPECT_EQ(WindowPixel(wnd, 119, kGlyphY), face);
    EXPECT_EQ(WindowPixel(wnd, 103, kGlyphY), face);
    EXPECT_EQ(WindowPixel(wnd, kCheckX, kGlyphY), face);
    DestroyBare(wnd, painter);
  }
}

TEST_F(CheckPainters, RadioButtonsWithFourAndEightFrames) {
  for (int n : {4, 8}) {
    SCOPED_TRACE(n);
    LoadStrips(4, n);
    cl::TRadioButton* radio = NewRadioButton();
    Show();
    HWND wnd = radio->Handle();
    EXPECT_EQ(RadioGlyph(wnd), kFrames[0]);
    EXPECT_EQ(WindowPixel(wnd, 0, 3), kFrames[0]);
    EXPECT_EQ(WindowPixel(wnd, 13, kGlyphY), kFormRGB);
    radio->SetChecked(true);
    EXPECT_EQ(RadioGlyph(wnd), kFrames[n == 8 ? 4 : 1]);
    radio->SetEnabled(false);
    EXPECT_EQ(RadioGlyph(wnd), kFrames[n == 8 ? 7 : 3]);
    radio->SetChecked(false);
    EXPECT_EQ(RadioGlyph(wnd), kFrames[n == 8 ? 3 : 2]);
    delete radio;
  }
}

TEST_F(CheckPainters, ABareRadioButtonRepaintsAtOnceOnItsCheck) {
  LoadStrips(4, 4);
  Show();
  skin::TSkinControl* painter = nullptr;
  HWND wnd = NewBareButton(BS_AUTORADIOBUTTON, painter, true);
  EXPECT_EQ(RadioGlyph(wnd), kFrames[0]);
  SendMessageW(wnd, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(WindowPixel(wnd, kRadioX, kGlyphY), kFrames[1]);
  DestroyBare(wnd, painter);
}

// A strip of two frames has no disabled or grayed frames: those states show an enabled frame and
// nothing is read past the strip's end.
TEST_F(CheckPainters, TwoFrameStripsNeverReadPastTheirEnd) {
  LoadStrips(2, 2);
  cl::TCheckBox* box = NewCheckBox();
  cl::TRadioButton* radio = NewRadioButton();
  Show();
  box->SetEnabled(false);
  EXPECT_EQ(CheckGlyph(box->Handle()), kFrames[0]);
  box->SetChecked(true);
  EXPECT_EQ(CheckGlyph(box->Handle()), kFrames[1]);
  radio->SetChecked(true);
  radio->SetEnabled(false);
  EXPECT_EQ(RadioGlyph(radio->Handle()), kFrames[1]);

  skin::TSkinControl* painter = nullptr;
  HWND wnd = NewBareButton(BS_AUTO3STATE, painter);
  SendMessageW(wnd, BM_SETCHECK, BST_INDETERMINATE, 0);
  EXPECT_EQ(CheckGlyph(wnd), kFrames[1]);
  DestroyBare(wnd, painter);
}

TEST_F(CheckPainters, WithoutTheImagesTheControlKeepsItsOwnMark) {
  LoadSkin("[Colours]\r\nButtonFace=10 20 30\r\n", {});
  cl::TCheckBox* box = NewCheckBox();
  Show();
  // The system's own box: its window-coloured inside where the skin's glyph would be.
  EXPECT_EQ(CheckGlyph(box->Handle()), GetSysColor(COLOR_WINDOW));
}

}  // namespace
