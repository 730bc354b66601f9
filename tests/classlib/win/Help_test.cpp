// Help: a form's HelpContext, read from its description, is what F1 in it asks the application for.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "Forms.h"
#include "FormsTestSupport.h"
#include "StdCtrls.h"

namespace {

class HelpTest : public formstest::FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    app_->OnHelp = [this](cl::TObject* sender, const cl::THelpRequest& request, bool& handled) {
      EXPECT_EQ(sender, app_.get());
      requests_.push_back(request.Command == HELP_CONTEXT ? std::to_string(request.Context) : request.Keyword);
      handled = true;
    };
  }
  // F1 through the message loop, as the keyboard gives it.
  void F1(HWND wnd) {
    PostMessageW(wnd, WM_KEYDOWN, VK_F1, 1);
    PostMessageW(wnd, WM_KEYUP, VK_F1, 0xC0000001);
    Pump();
  }
  std::vector<std::string> requests_;
};

TEST_F(HelpTest, F1AsksForTheFormsTopicUnlessAHandlerTakesIt) {
  LoadForm(
      "object frmHelp: TForm\n"
      "  HelpContext = 5\n"
      "  object edtOne: TEdit\n"
      "    Left = 8\n"
      "    Top = 8\n"
      "  end\n"
      "  object memTwo: TMemo\n"
      "    Left = 8\n"
      "    Top = 40\n"
      "  end\n"
      "end\n");
  EXPECT_EQ(form_->HelpContext(), 5);
  auto* edit = cl::ComponentAs<cl::TEdit>(form_, "edtOne");
  auto* memo = cl::ComponentAs<cl::TMemo>(form_, "memTwo");
  form_->Show();
  Pump();
  F1(edit->Handle());
  F1(form_->Handle());
  EXPECT_EQ(requests_, (std::vector<std::string>{"5", "5"}));

  // A control's handler that asks for a topic of its own and takes the key.
  memo->OnKeyDown = [](cl::TObject*, uint16_t& key, cl::TShiftState) {
    if (key != VK_F1) return;
    cl::Application->HelpKeyword("Writing lines");
    key = 0;
  };
  F1(memo->Handle());
  EXPECT_EQ(requests_.back(), "Writing lines");
  EXPECT_EQ(requests_.size(), 3u);

  // Shift+F1 is another key; a form without a topic leaves F1 to its controls.
  int edited = 0;
  edit->OnKeyDown = [&](cl::TObject*, uint16_t& key, cl::TShiftState) { edited += key == VK_F1; };
  form_->SetHelpContext(0);
  F1(edit->Handle());
  EXPECT_EQ(requests_.size(), 3u);
  EXPECT_EQ(edited, 1);
  EXPECT_TRUE(errors_.empty());
}

TEST_F(HelpTest, WithoutAHandlerTheProgramHasNoHelp) {
  app_->OnHelp = nullptr;
  EXPECT_FALSE(app_->HelpContext(4));
  EXPECT_FALSE(app_->HelpKeyword("Anything"));
  app_->OnHelp = [](cl::TObject*, const cl::THelpRequest& r, bool& handled) { handled = r.Context == 4; };
  EXPECT_TRUE(app_->HelpContext(4));
  EXPECT_FALSE(app_->HelpContext(3));
}

}  // namespace
