#include "Unit3.h"

#include "FileUtil.h"
#include "TimerSettings.h"
#include "Unit1.h"

namespace pellwick {

CL_BEGIN_CLASS(TForm3)
    .Method("FormCreate", &TForm3::FormCreate)
    .Method("Button1Click", &TForm3::Button1Click)
CL_END_CLASS

TForm3::TForm3(cl::TComponent* owner) : cl::TForm(owner) {
  LoadDescription();
}

TForm1* TForm3::Main() const { return dynamic_cast<TForm1*>(Owner()); }

void TForm3::FormCreate(cl::TObject*) {
  TForm1* main = Main();
  if (!main || !cl::FileExists(main->AppDir() + "\\" + ConfigFileName)) return;
  const TOptions options = ReadOptions(main->ConfigIni());
  CheckBox1->SetChecked(options.autoStartup);
  CheckBox2->SetChecked(options.saveTime);
  CheckBox4->SetChecked(options.autoTask);
}

void TForm3::Button1Click(cl::TObject*) {
  TForm1* main = Main();
  if (!main) return;
  main->SetConfigIni(OpenConfig(main->AppDir()));
  cl::TIniFile& ini = main->ConfigIni();
  if (CheckBox2->Checked()) {
    TTimeSettings s;
    s.seconds = main->Edit1->Text();
    s.hour = main->SpinEdit1->Value();
    s.minute = main->SpinEdit2->Value();
    s.second = main->SpinEdit3->Value();
    s.countDown = main->RadioButton1->Checked();
    s.exactTime = main->RadioButton2->Checked();
    s.remind = main->CheckBox1->Checked();
    WriteTimeSettings(ini, s);
  } else {
    ini.WriteBool(SectionSystem, KeySaveTime, false);
    ini.WriteString(SectionTiming, KeySeconds, "0");
    ini.WriteInteger(SectionTiming, KeyHour, 0);
    ini.WriteInteger(SectionTiming, KeyMinute, 0);
    ini.WriteInteger(SectionTiming, KeySecond, 0);
    ini.WriteBool(SectionTiming, KeyCountDownMode, true);
    ini.WriteBool(SectionTiming, KeyExactTimeMode, false);
    ini.WriteBool(SectionTiming, KeyRemind, main->CheckBox1->Checked());  // the reset keeps "Remind"
  }
  const std::string title = cl::Application ? cl::Application->Title() : AppTitle;
  ini.WriteBool(SectionSystem, KeyAutoStartup, CheckBox1->Checked());
  if (CheckBox1->Checked()) AddAutorun(title, ProgramPath());
  else RemoveAutorun(title);
  ini.WriteBool(SectionSystem, KeyAutoTask, CheckBox4->Checked());
  ini.WriteBool(SectionStartup, KeyRunTaskAtStart, CheckBox4->Checked());
  Close();
}

}  // namespace pellwick
