#include "Unit1.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <limits>

#include "FileUtil.h"
#include "TimerPower.h"
#include "TimerSettings.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Dialogs.h"
#include "WinString.h"

namespace pellwick {

CL_BEGIN_CLASS(TForm1)
    .Method("FormCreate", &TForm1::FormCreate)
    .Method("Button1Click", &TForm1::Button1Click)
    .Method("Button2Click", &TForm1::Button2Click)
    .Method("Timer1Timer", &TForm1::Timer1Timer)
    .Method("Timer2Timer", &TForm1::Timer2Timer)
    .Method("Timer3Timer", &TForm1::Timer3Timer)
    .Method("Timer4Timer", &TForm1::Timer4Timer)
    .Method("N9Click", &TForm1::N9Click)
    .Method("N3Click", &TForm1::N3Click)
    .Method("N13Click", &TForm1::N13Click)
    .Method("N11Click", &TForm1::N13Click)
    .Method("N5Click", &TForm1::N5Click)
    .Method("N12Click", &TForm1::N5Click)
    .Method("N10Click", &TForm1::N10Click)
    .Method("N2Click", &TForm1::N2Click)
    .Method("Panel1Click", &TForm1::Panel1Click)
    .Method("Image1Click", &TForm1::Panel1Click)
    .Method("Label6Click", &TForm1::Panel1Click)
    .Method("Label7Click", &TForm1::Panel1Click)
    .Method("Label8Click", &TForm1::Panel1Click)
    .Method("Label9Click", &TForm1::Panel1Click)
    .Method("Label10Click", &TForm1::Panel1Click)
    .Method("Label11Click", &TForm1::Panel1Click)
    .Method("Label12Click", &TForm1::Panel1Click)
    .Method("TimerTrayIcon1Click", &TForm1::TimerTrayIcon1Click)
    .Method("RadioButton1Click", &TForm1::RadioButton1Click)
    .Method("RadioButton2Click", &TForm1::RadioButton2Click)
    .Method("Edit1KeyPress", &TForm1::Edit1KeyPress)
    .Method("FormKeyDown", &TForm1::FormKeyDown)
    .Method("Edit1KeyDown", &TForm1::FormKeyDown)
    .Method("SpinEdit1KeyDown", &TForm1::FormKeyDown)
    .Method("SpinEdit2KeyDown", &TForm1::FormKeyDown)
    .Method("SpinEdit3KeyDown", &TForm1::FormKeyDown)
    .Method("RadioButton1KeyDown", &TForm1::FormKeyDown)
    .Method("RadioButton2KeyDown", &TForm1::FormKeyDown)
    .Method("Button1KeyDown", &TForm1::FormKeyDown)
CL_END_CLASS

std::string ProgramDir() {
  std::string dir = cl::ExtractFilePath(ProgramPath());
  while (!dir.empty() && (dir.back() == '\\' || dir.back() == '/')) dir.pop_back();
  return dir;
}

TForm1::TForm1(cl::TComponent* owner, std::string appDir) : cl::TForm(owner), appDir_(std::move(appDir)) {
  ShowInfo = [](const std::string& text) { cl::ShowMessage(text); };
  LoadDescription();
  // The program's icon: small in the notification area, large on the about panel.
  try {
    cl::TIcon icon;
    icon.SetSize(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
    icon.LoadFromResourceName(GetModuleHandleW(nullptr), "MAINICON");
    TimerTrayIcon1->SetIcon(&icon);
    cl::TIcon picture;
    picture.SetSize(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    picture.LoadFromResourceName(GetModuleHandleW(nullptr), "MAINICON");
    Image1->Picture()->SetGraphic(&picture);
  } catch (const std::exception&) {
    // A host without the program's resources shows both without a picture.
  }
}

TForm1::~TForm1() = default;

void TForm1::Attach(TForm2* warning, TForm3* settings) {
  form2_ = warning;
  form3_ = settings;
  if (form2_) form2_->OnTimeUp = cl::TNotifyEvent([this](cl::TObject*) { PowerOff(); });
}

void TForm1::SetConfigIni(cl::TIniFile ini) { configIni_ = std::make_unique<cl::TIniFile>(std::move(ini)); }

void TForm1::FormCreate(cl::TObject*) {
  configIni_ = std::make_unique<cl::TIniFile>(OpenConfig(appDir_));
  TimerTrayIcon1->SetIconVisible(false);
  task_.Stop();
  StatusBar1->SetSimpleText(TextNoTask);
  if (cl::FileExists(appDir_ + "\\" + ConfigFileName)) {
    const TTimeSettings s = ReadTimeSettings(*configIni_);
    Edit1->SetText(s.seconds);
    SpinEdit1->SetValue(s.hour);
    SpinEdit2->SetValue(s.minute);
    SpinEdit3->SetValue(s.second);
    RadioButton1->SetChecked(s.countDown);
    RadioButton2->SetChecked(s.exactTime);
    CheckBox1->SetChecked(s.remind);
    Timer4->SetEnabled(ReadRunTaskAtStart(*configIni_));
  }
  Timer3->SetEnabled(false);
}

void TForm1::Button1Click(cl::TObject*) {
  if (RadioButton1->Checked()) {
    const std::optional<int64_t> seconds = ParseSecondsText(Edit1->Text());
    if (!seconds) {
      // The automatic start must not come back with the same text: it stops here as before the message.
      Timer4->SetEnabled(false);
      Edit1->SetText("0");
    } else if (*seconds < 6) {
      Timer4->SetEnabled(false);
      ShowInfo("Seconds must >5 ");
    } else if (*seconds > std::numeric_limits<int32_t>::max()) {
      // Only a hand-edited file can hold such a count (the field takes 9 digits): it is refused with the
      // 32-bit conversion's own message, the automatic start stopped first as before any refusal.
      Timer4->SetEnabled(false);
      try {
        cl::StrToInt(Edit1->Text());
      } catch (const cl::EConvertError&) {
        cl::HandleException();
      }
    } else {
      task_.StartCountDown(*seconds);
      Timer1->SetEnabled(true);
      SpinEdit1->SetValue(0);
      SpinEdit2->SetValue(0);
      SpinEdit3->SetValue(0);
      StatusBar1->SetSimpleText(TextExecuting);
      TimerTrayIcon1->HideAppWindows();
      TimerTrayIcon1->SetIconVisible(true);
      TimerTrayIcon1->SetHint("Executing Task");
      Button1->SetEnabled(false);
    }
  }
  if (RadioButton2->Checked()) {
    // Values typed but not yet confirmed by leaving the field are brought into range here too.
    SpinEdit1->Clamp();
    SpinEdit2->Clamp();
    SpinEdit3->Clamp();
    task_.StartExactTime(SpinEdit1->Value(), SpinEdit2->Value(), SpinEdit3->Value());
    ScheduleExactTimeTick(NowLocalMilliseconds());
    Timer2->SetEnabled(true);
    Edit1->SetText("0");
    StatusBar1->SetSimpleText(TextExecuting);
    TimerTrayIcon1->HideAppWindows();
    TimerTrayIcon1->SetIconVisible(true);
    TimerTrayIcon1->SetHint("Executing Task");
    Button1->SetEnabled(false);
  }
}

void TForm1::Button2Click(cl::TObject*) {
  TimerTrayIcon1->SetIconVisible(true);
  TimerTrayIcon1->HideAppWindows();
  TimerTrayIcon1->SetHint(cl::Application ? cl::Application->Title() : AppTitle);
  Hide();
}

void TForm1::Timer1Timer(cl::TObject*) {
  if (task_.CountDownTick()) {
    Timer1->SetEnabled(false);
    TaskDue();
  }
}

void TForm1::Timer2Timer(cl::TObject*) {
  const int64_t now = NowLocalMilliseconds();
  if (task_.ExactTimeTick(now)) {
    Timer2->SetEnabled(false);
    TaskDue();
    return;
  }
  ScheduleExactTimeTick(now);
}

void TForm1::ScheduleExactTimeTick(int64_t now) {
  // Wakes at the target moment (or once a second, to follow a changed clock) instead of every millisecond.
  Timer2->SetInterval(static_cast<uint32_t>(std::clamp<int64_t>(task_.MsUntilDue(now), 1, 1000)));
}

void TForm1::Timer3Timer(cl::TObject*) {
  Button2->Click();
  Timer3->SetEnabled(false);
}

void TForm1::Timer4Timer(cl::TObject*) {
  Timer4->SetEnabled(false);
  Button1->Click();
}

void TForm1::TaskDue() {
  if (CheckBox1->Checked() && form2_) {
    TimerTrayIcon1->RestoreAppWindows();
    form2_->Timer1->SetEnabled(true);
    form2_->Show();
    Hide();
    Button2->SetEnabled(false);
    N10->SetEnabled(false);
  } else {
    PowerOff();
  }
}

void TForm1::PowerOff() {
  if (ForcePowerOff()) return;
  // Nothing is running any more: say so and be idle again rather than show a task that is not there.
  StopTimers();
  StatusBar1->SetSimpleText(TextNoTask);
  TimerTrayIcon1->SetHint(TextNoTask);
  EnableIdleControls();
  ShowInfo("The computer could not be powered off.");
}

void TForm1::StopTimers() {
  Timer1->SetEnabled(false);
  Timer2->SetEnabled(false);
  task_.Stop();
  if (form2_) {
    form2_->Timer1->SetEnabled(false);
    form2_->ResetWarning();
    form2_->Close();
  }
}

void TForm1::EnableIdleControls() {
  Button1->SetEnabled(true);
  Button2->SetEnabled(true);
  N10->SetEnabled(true);
}

void TForm1::N9Click(cl::TObject*) {
  StopTimers();
  StatusBar1->SetSimpleText(TextNoTask);
  EnableIdleControls();
}

void TForm1::N3Click(cl::TObject*) {
  StopTimers();
  TimerTrayIcon1->HideAppWindows();
  StatusBar1->SetSimpleText(TextNoTask);
  TimerTrayIcon1->SetHint(TextNoTask);
  EnableIdleControls();
}

void TForm1::N13Click(cl::TObject*) {
  if (form3_) form3_->ShowModal();
}

void TForm1::N5Click(cl::TObject*) {
  if (form3_ && form3_->CheckBox2->Checked()) {
    TTimeSettings s;
    s.seconds = Edit1->Text();
    s.hour = SpinEdit1->Value();
    s.minute = SpinEdit2->Value();
    s.second = SpinEdit3->Value();
    s.countDown = RadioButton1->Checked();
    s.exactTime = RadioButton2->Checked();
    s.remind = CheckBox1->Checked();
    try {
      WriteTimeSettings(*configIni_, s);
    } catch (const cl::EIniFileException&) {
      // The user asked to end: a settings file that cannot be written is said, and must not keep the
      // program running with no way out.
      cl::HandleException();
    }
  }
  if (cl::Application) cl::Application->Terminate();
}

void TForm1::N10Click(cl::TObject*) {
  Show();
  TimerTrayIcon1->RestoreAppWindows();
  TimerTrayIcon1->SetIconVisible(false);
}

void TForm1::N2Click(cl::TObject*) {
  Panel1->SetAlign(cl::alClient);
  Panel1->Show();
  Panel1->BringToFront();
}

void TForm1::Panel1Click(cl::TObject*) { Panel1->Hide(); }

void TForm1::TimerTrayIcon1Click(cl::TObject*) {
  if (Timer1->Enabled()) {
    TimerTrayIcon1->RestoreAppWindows();
    TimerTrayIcon1->SetIconVisible(false);
    Button1->SetEnabled(false);
  } else if (form2_ && form2_->Timer1->Enabled()) {
    // The warning is running: only Stop Task ends it.
  } else {
    TimerTrayIcon1->RestoreAppWindows();
    TimerTrayIcon1->SetIconVisible(false);
  }
}

void TForm1::RadioButton1Click(cl::TObject*) {
  Edit1->SetEnabled(true);
  for (cl::TSpinEdit* spin : {SpinEdit1, SpinEdit2, SpinEdit3}) {
    spin->SetValue(0);
    spin->SetEnabled(false);
  }
}

void TForm1::RadioButton2Click(cl::TObject*) {
  for (cl::TSpinEdit* spin : {SpinEdit1, SpinEdit2, SpinEdit3}) spin->SetEnabled(true);
  Edit1->SetText("0");
  Edit1->SetEnabled(false);
}

void TForm1::Edit1KeyPress(cl::TObject*, wchar_t& key) {
  if (!(key >= L'0' && key <= L'9') && key != 8) key = 0;
}

void TForm1::FormKeyDown(cl::TObject*, uint16_t& key, cl::TShiftState) {
  if (key == VK_ESCAPE) Button2->Click();
}

}  // namespace pellwick
