// The speed button, a control without a window: its parent paints it and hands it the mouse, also when the
// parent is a window of a system class (an edit).
#include "Buttons.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "DeviceContext.h"
#include "Forms.h"
#include "FormsTestSupport.h"
#include "StdCtrls.h"

namespace {

using formstest::AppTest;

class SpeedButtonTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    form_ = cl::NewForm<cl::TForm>(app_.get());
    form_->SetBounds(60, 60, 400, 200);
    edit_ = new cl::TEdit(form_);
    edit_->SetParent(form_);
    edit_->SetBounds(10, 10, 200, 24);
    button_ = new cl::TSpeedButton(form_);
    button_->SetParent(edit_);
    button_->OnClick = [this](cl::TObject* sender) {
      EXPECT_EQ(sender, button_);
      // The mouse is free again: a modal window the click opens can have it.
      EXPECT_EQ(GetCapture(), nullptr);
      // The button is up again when its click runs (a dialog it opens shows it so).
      states_.push_back(button_->State());
    };
    form_->Show();
    Pump();
    button_->SetBounds(edit_->ClientWidth() - 20, 0, 20, edit_->ClientHeight());
  }
  // A mouse message to the edit's window at a point of the edit's client area.
  void Mouse(UINT msg, int x, int y) { SendMessageW(edit_->Handle(), msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y)); }
  int InsideX() const { return button_->Left() + 5; }

  cl::TForm* form_ = nullptr;
  cl::TEdit* edit_ = nullptr;
  cl::TSpeedButton* button_ = nullptr;
  std::vector<cl::TButtonState> states_;  // at each click
};

TEST_F(SpeedButtonTest, TheEditHandsItsMouseOverTheButtonToTheButton) {
  EXPECT_FALSE(dynamic_cast<cl::TWinControl*>(static_cast<cl::TControl*>(button_)));
  Mouse(WM_LBUTTONDOWN, InsideX(), 5);
  EXPECT_EQ(button_->State(), cl::bsDown);
  // The edit's window holds the mouse for the button: moving out raises it, back in presses it again.
  EXPECT_EQ(GetCapture(), edit_->Handle());
  Mouse(WM_MOUSEMOVE, 2, 5);
  EXPECT_EQ(button_->State(), cl::bsUp);
  Mouse(WM_MOUSEMOVE, InsideX(), 5);
  EXPECT_EQ(button_->State(), cl::bsDown);
  Mouse(WM_LBUTTONUP, InsideX(), 5);
  EXPECT_EQ(states_, std::vector<cl::TButtonState>{cl::bsUp});
  EXPECT_NE(GetCapture(), edit_->Handle());

  // Released outside: no click, even far outside the edit.
  Mouse(WM_LBUTTONDOWN, InsideX(), 5);
  Mouse(WM_LBUTTONUP, 500, 5);
  EXPECT_EQ(states_.size(), 1u);
  EXPECT_EQ(button_->State(), cl::bsUp);

  // The text area stays the edit's.
  int presses = 0;
  button_->OnMouseDown = [&](cl::TObject*, cl::TMouseButton, cl::TShiftState, int, int) { ++presses; };
  Mouse(WM_LBUTTONDOWN, 3, 5);
  Mouse(WM_LBUTTONUP, 3, 5);
  EXPECT_EQ(presses, 0);
  EXPECT_EQ(states_.size(), 1u);
  EXPECT_TRUE(errors_.empty());
}

TEST_F(SpeedButtonTest, LosingTheMouseEndsThePressWithoutAClick) {
  Mouse(WM_LBUTTONDOWN, InsideX(), 5);
  ASSERT_EQ(button_->State(), cl::bsDown);
  ReleaseCapture();  // a menu or a dialog takes the mouse
  EXPECT_EQ(button_->State(), cl::bsUp);
  Mouse(WM_LBUTTONUP, InsideX(), 5);
  EXPECT_TRUE(states_.empty());
}

TEST_F(SpeedButtonTest, DoubleClicksAreTwoClicksWithoutTheirStyle) {
  int doubles = 0;
  button_->OnDblClick = [&](cl::TObject*) { ++doubles; };
  auto pair = [&] {
    Mouse(WM_LBUTTONDOWN, InsideX(), 5);
    Mouse(WM_LBUTTONUP, InsideX(), 5);
    Mouse(WM_LBUTTONDBLCLK, InsideX(), 5);
    Mouse(WM_LBUTTONUP, InsideX(), 5);
  };
  pair();
  EXPECT_EQ(doubles, 1);
  EXPECT_EQ(states_.size(), 2u);
  // Without the style the second press is only a press.
  button_->SetControlStyle(button_->ControlStyle().Exclude(cl::csDoubleClicks));
  pair();
  EXPECT_EQ(doubles, 1);
  EXPECT_EQ(states_.size(), 4u);
}

TEST_F(SpeedButtonTest, AGroupKeepsOneButtonDown) {
  auto* other = new cl::TSpeedButton(form_);
  other->SetParent(edit_);
  other->SetCaption("A");
  other->SetBounds(button_->Left() - 20, 0, 20, edit_->ClientHeight());
  button_->SetDown(true);  // without a group it never stays down
  EXPECT_FALSE(button_->Down());
  button_->SetGroupIndex(1);
  other->SetGroupIndex(1);
  Mouse(WM_LBUTTONDOWN, InsideX(), 5);
  Mouse(WM_LBUTTONUP, InsideX(), 5);
  EXPECT_TRUE(button_->Down());
  EXPECT_EQ(button_->State(), cl::bsExclusive);
  EXPECT_EQ(states_, std::vector<cl::TButtonState>{cl::bsExclusive});
  // Clicking it again keeps it down: one of the group is always down.
  Mouse(WM_LBUTTONDOWN, InsideX(), 5);
  Mouse(WM_LBUTTONUP, InsideX(), 5);
  EXPECT_TRUE(button_->Down());
  other->SetDown(true);
  EXPECT_FALSE(button_->Down());
  EXPECT_EQ(button_->State(), cl::bsUp);
  other->SetAllowAllUp(true);
  other->SetDown(false);
  EXPECT_FALSE(other->Down());
  button_->SetEnabled(false);
  EXPECT_EQ(button_->State(), cl::bsDisabled);
}

// The colour of a pixel of the edit's client area as the edit's window draws itself.
COLORREF Printed(cl::TWinControl* control, int x, int y) { return formstest::PrintedRow(control, y).at(x); }

TEST_F(SpeedButtonTest, TheEditPaintsTheButtonOverItsText) {
  edit_->SetText(std::string(60, 'W'));
  const int right = button_->Left() + button_->Width() - 1;
  // Raised: light top-left, dark bottom-right; inside the face.
  EXPECT_EQ(Printed(edit_, button_->Left() + 1, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(Printed(edit_, right, button_->Height() - 1), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(Printed(edit_, button_->Left() + 10, 12), GetSysColor(COLOR_BTNFACE));
  // On the screen too: the window's own painting draws it.
  RedrawWindow(edit_->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_EQ(GetPixel(cl::TWindowDC(edit_->Handle()).Get(), button_->Left() + 10, 12), GetSysColor(COLOR_BTNFACE));
  // Held down it is sunken: dark top-left.
  Mouse(WM_LBUTTONDOWN, InsideX(), 5);
  EXPECT_EQ(Printed(edit_, button_->Left(), 0), GetSysColor(COLOR_BTNSHADOW));
  Mouse(WM_LBUTTONUP, InsideX(), 5);
}

}  // namespace
