// The painter of every control of every window of Pellwick, wearing the program's own skin, against the
// table below: a change in which painter a control gets shows as a diff of the table.
#include <gtest/gtest.h>

#include <string>

#include "DialogDriver.h"
#include "FakePower.h"
#include "FormsTestSupport.h"
#include "PainterReport.h"
#include "StdClasses.h"
#include "TestSupport.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "WinSkinData.h"

namespace {

class PellwickPainterReport : public formstest::AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    cl::RegisterStandardClasses();
    pellwick::RegisterTimerTrayIcon();
    skin::RegisterSkinComponents();
    app_->SetTitle(pellwick::AppTitle);
    form1 = new pellwick::TForm1(app_.get(), dir.path.string());
    form1->AfterConstruction();
    form2 = cl::NewForm<pellwick::TForm2>(form1);
    form3 = cl::NewForm<pellwick::TForm3>(form1);
    form1->Attach(form2, form3);
  }

  std::string Shown(cl::TCustomForm* form) {
    form->Show();
    if (!reporttest::SkinnedWindow(form->Handle())) return form->Name() + ": not skinned\n";
    return reporttest::FormReport(form);
  }

  testsupport::TempDir dir;
  timertest::TFakePower power;
  hk::PowerCallsScope scope{power};
  pellwick::TForm1* form1 = nullptr;
  pellwick::TForm2* form2 = nullptr;
  pellwick::TForm3* form3 = nullptr;
};

// Window/control -> painter class; "none" for a control left as it is. The warning and settings windows
// are the main window's (it owns them) but windows of their own: their own skins paint their controls.
// The message box, as Wine makes it, lists its child windows by class and control ID.
constexpr const char* kExpected = R"(
Form1/RadioButton1: TSkinRadioButton
Form1/GroupBox1: TSkinGroupBox
Form1/Label1: none
Form1/Edit1: TSkinEdit
Form1/RadioButton2: TSkinRadioButton
Form1/GroupBox2: TSkinGroupBox
Form1/Label2: none
Form1/Label3: none
Form1/Label4: none
Form1/SpinEdit1: TSkinEdit
Form1/SpinEdit2: TSkinEdit
Form1/SpinEdit3: TSkinEdit
Form1/CheckBox1: TSkinCheckBox
Form1/Button1: TSkinButton
Form1/Button2: TSkinButton
Form1/StatusBar1: TSkinStatusBar
Form1/Panel1: TSkinBox
Form1/Image1: none
Form1/Label9: none
Form1/Label10: none
Form1/Label6: none
Form1/Label7: none
Form1/Label8: none
Form1/Label11: none
Form1/Label12: none
Form1/Form2: none
Form1/Form3: none
Form1/SpinEdit1.msctls_updown32: TSkinUpDown
Form1/SpinEdit2.msctls_updown32: TSkinUpDown
Form1/SpinEdit3.msctls_updown32: TSkinUpDown
Form2/Panel1: TSkinBox
Form2/ProgressBar1: TSkinProgress
Form3/CheckBox2: TSkinCheckBox
Form3/CheckBox1: TSkinCheckBox
Form3/CheckBox4: TSkinCheckBox
Form3/Button1: TSkinButton
MessageBox/Static#1088: none
MessageBox/Button#1: TSkinButton
MessageBox/Static#65535: none
)";

TEST_F(PellwickPainterReport, EveryControlOfEveryWindowHasItsPainter) {
  std::string report = "\n";
  report += Shown(form1);
  report += Shown(form2);
  form2->Hide();
  report += Shown(form3);
  form3->Hide();
  // The program's message box, as its main window shows it.
  dialogtest::WhenDialog(timers_, "", [&](HWND dialog) {
    report += reporttest::SkinnedWindow(dialog) ? reporttest::BareReport("MessageBox", dialog)
                                                : std::string("MessageBox: not skinned\n");
    dialogtest::PressButton(dialog, IDOK);
  });
  form1->ShowInfo("Seconds must >5 ");
  EXPECT_EQ(report, kExpected);
}

}  // namespace
