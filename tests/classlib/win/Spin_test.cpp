// The spin edit: reading the text as a number in its range, its arrows and keys, and writing back on exit.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "FormReader.h"
#include "FormsTestSupport.h"
#include "Spin.h"
#include "StdClasses.h"

namespace {

class SpinEditTest : public formstest::FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    LoadForm("object frmSpin: TForm\n"
             "  Width = 200\n"
             "  Height = 120\n"
             "  object spnHour: TSpinEdit\n"
             "    Left = 8\n"
             "    Top = 8\n"
             "    Width = 60\n"
             "    MaxLength = 2\n"
             "    MinValue = 0\n"
             "    MaxValue = 23\n"
             "    Value = 5\n"
             "  end\n"
             "  object edtOther: TEdit\n"
             "    Left = 8\n"
             "    Top = 40\n"
             "  end\n"
             "end\n");
    spin_ = cl::ComponentAs<cl::TSpinEdit>(form_, "spnHour");
    form_->Show();
  }
  // What the arrows send their parent when clicked: up (+1) or down (-1).
  LRESULT Arrow(int delta) {
    NMUPDOWN n{};
    n.hdr.hwndFrom = spin_->ArrowsHandle();
    n.hdr.idFrom = 0;
    n.hdr.code = UDN_DELTAPOS;
    n.iPos = 50;
    n.iDelta = delta;
    return SendMessageW(spin_->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&n));
  }
  cl::TSpinEdit* spin_ = nullptr;
};

TEST_F(SpinEditTest, ValueIsTheTextInRangeAndNonNumbersReadAsTheMinimum) {
  EXPECT_EQ(spin_->Text(), "5");
  EXPECT_EQ(spin_->Value(), 5);
  const std::pair<const char*, int> cases[] = {{"17", 17}, {"75", 23}, {"-4", 0},   {"", 0},
                                               {"x", 0},   {"1x", 0},  {" 9 ", 9}, {"99999999999999999999", 23}};
  for (const auto& [text, value] : cases) {
    spin_->SetText(text);
    EXPECT_EQ(spin_->Value(), value) << text;
  }
  spin_->SetValue(40);
  EXPECT_EQ(spin_->Text(), "23");
  spin_->SetMinValue(10);
  spin_->SetText("abc");
  EXPECT_EQ(spin_->Value(), 10);
  // 0..0 is no range at all.
  spin_->SetMinValue(0);
  spin_->SetMaxValue(0);
  spin_->SetValue(-1234);
  EXPECT_EQ(spin_->Value(), -1234);
}

TEST_F(SpinEditTest, LeavingTheFieldWritesTheClampedValueBack) {
  auto* other = cl::ComponentAs<cl::TEdit>(form_, "edtOther");
  spin_->SetFocus();
  spin_->SetText("88");
  other->SetFocus();
  Pump();
  EXPECT_EQ(spin_->Text(), "23");
  spin_->SetFocus();
  spin_->SetText("?");
  other->SetFocus();
  Pump();
  EXPECT_EQ(spin_->Text(), "0");
}

TEST_F(SpinEditTest, ArrowsAndKeysStepWithinTheRange) {
  ASSERT_NE(spin_->ArrowsHandle(), nullptr);
  EXPECT_EQ(GetParent(spin_->ArrowsHandle()), spin_->Handle());
  // The arrows sit inside the right edge of the field.
  RECT client{}, arrows{};
  GetClientRect(spin_->Handle(), &client);
  GetWindowRect(spin_->ArrowsHandle(), &arrows);
  MapWindowPoints(nullptr, spin_->Handle(), reinterpret_cast<POINT*>(&arrows), 2);
  EXPECT_EQ(arrows.right, client.right);
  EXPECT_GT(arrows.left, 0);

  EXPECT_EQ(Arrow(1), 1);  // handled: the arrows' own position stays
  EXPECT_EQ(spin_->Value(), 6);
  Arrow(-1);
  Arrow(-1);
  EXPECT_EQ(spin_->Text(), "4");
  spin_->SetValue(23);
  Arrow(1);
  EXPECT_EQ(spin_->Text(), "23");
  spin_->SetValue(0);
  Arrow(-1);
  EXPECT_EQ(spin_->Text(), "0");

  spin_->SetFocus();
  SendMessageW(spin_->Handle(), WM_KEYDOWN, VK_UP, 0);
  SendMessageW(spin_->Handle(), WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(spin_->Value(), 2);
  SendMessageW(spin_->Handle(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(spin_->Value(), 1);
  // A letter typed is dropped; a digit goes in.
  spin_->SelectAll();
  SendMessageW(spin_->Handle(), WM_CHAR, L'q', 0);
  EXPECT_EQ(spin_->Text(), "1");
  SendMessageW(spin_->Handle(), WM_CHAR, L'7', 0);
  EXPECT_EQ(spin_->Text(), "7");
}

}  // namespace
