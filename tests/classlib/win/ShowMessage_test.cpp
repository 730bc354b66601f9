// ShowMessage: a plain box with the application's title, text as given, closed by OK.
#include <gtest/gtest.h>

#include "DialogDriver.h"
#include "Dialogs.h"
#include "FormsTestSupport.h"

namespace {

using ShowMessageTest = formstest::AppTest;

TEST_F(ShowMessageTest, ShowsTheTextUnderTheApplicationTitleUntilOk) {
  app_->SetTitle("Calderine-Timer");
  std::string seen;
  dialogtest::WhenDialog(timers_, "Calderine-Timer", [&](HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      const std::string text = dialogtest::WindowText(child);
      if (text.find("Seconds") != std::string::npos) seen = text;
    }
    dialogtest::PressButton(dialog, IDOK);
  });
  timers_.Timeout();
  cl::ShowMessage("Seconds must >5 ");
  EXPECT_EQ(seen, "Seconds must >5 ");
}

}  // namespace
