// The shutdown timer's main window: count-down and time-of-day modes, the task and its timers, Stop
// Task, hiding into and restoring from the notification area, the menus and the about panel.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "ExtCtrls.h"
#include "Forms.h"
#include "IniFiles.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "ComCtrls.h"
#include "Spin.h"
#include "TimerTask.h"
#include "TimerTrayIcon.h"

namespace pellwick {

class TForm2;
class TForm3;

inline constexpr char AppTitle[] = "Calderine-Timer";
inline constexpr char TextNoTask[] = "No Task";
inline constexpr char TextExecuting[] = "Executing Task.....";

// The directory of the program file, without a trailing backslash.
std::string ProgramDir();

class TForm1 : public cl::TForm {
  CL_CLASS(TForm1, cl::TForm)

  // `appDir`: where "config.ini" is, the program's directory unless given.
  explicit TForm1(cl::TComponent* owner) : TForm1(owner, ProgramDir()) {}
  TForm1(cl::TComponent* owner, std::string appDir);
  ~TForm1() override;

  // The warning window and the settings window, made after this one.
  void Attach(TForm2* warning, TForm3* settings);

  const std::string& AppDir() const noexcept { return appDir_; }
  cl::TIniFile& ConfigIni() noexcept { return *configIni_; }
  void SetConfigIni(cl::TIniFile ini);
  TTimerTask& Task() noexcept { return task_; }

  // Shows an information box; tests replace it.
  std::function<void(const std::string&)> ShowInfo;

  // Published handlers.
  void FormCreate(cl::TObject* sender);
  void Button1Click(cl::TObject* sender);
  void Button2Click(cl::TObject* sender);
  void Timer1Timer(cl::TObject* sender);
  void Timer2Timer(cl::TObject* sender);
  void Timer3Timer(cl::TObject* sender);
  void Timer4Timer(cl::TObject* sender);
  void N9Click(cl::TObject* sender);
  void N3Click(cl::TObject* sender);
  void N13Click(cl::TObject* sender);
  void N5Click(cl::TObject* sender);
  void N10Click(cl::TObject* sender);
  void N2Click(cl::TObject* sender);
  void Panel1Click(cl::TObject* sender);
  void TimerTrayIcon1Click(cl::TObject* sender);
  void RadioButton1Click(cl::TObject* sender);
  void RadioButton2Click(cl::TObject* sender);
  void Edit1KeyPress(cl::TObject* sender, wchar_t& key);
  void FormKeyDown(cl::TObject* sender, uint16_t& key, cl::TShiftState shift);

  // The task fell due: the warning, or the power-off at once.
  void TaskDue();
  // Powers off; on failure says so and goes back to idle.
  void PowerOff();

  CL_FIELDS((cl::TRadioButton, RadioButton1),
            (cl::TRadioButton, RadioButton2),
            (cl::TEdit, Edit1),
            (cl::TSpinEdit, SpinEdit1),
            (cl::TSpinEdit, SpinEdit2),
            (cl::TSpinEdit, SpinEdit3),
            (cl::TCheckBox, CheckBox1),
            (cl::TButton, Button1),
            (cl::TButton, Button2),
            (cl::TStatusBar, StatusBar1),
            (TTimerTrayIcon, TimerTrayIcon1),
            (cl::TTimer, Timer1),
            (cl::TTimer, Timer2),
            (cl::TTimer, Timer3),
            (cl::TTimer, Timer4),
            (cl::TPanel, Panel1),
            (cl::TImage, Image1),
            (cl::TMenuItem, N10))

 private:
  // The steps both Stop Tasks share, up to hiding the warning window.
  void StopTimers();
  void EnableIdleControls();
  void ScheduleExactTimeTick(int64_t nowLocalMs);

  std::string appDir_;
  std::unique_ptr<cl::TIniFile> configIni_;
  TTimerTask task_;
  TForm2* form2_ = nullptr;
  TForm3* form3_ = nullptr;
};

}  // namespace pellwick
