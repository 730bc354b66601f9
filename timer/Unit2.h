// The warning window: on top of everything, it counts 30 seconds down with a progress bar, then asks
// for the power-off.
#pragma once
#include "ExtCtrls.h"
#include "Forms.h"
#include "ComCtrls.h"
#include "TimerTask.h"

namespace pellwick {

class TForm2 : public cl::TForm {
  CL_CLASS(TForm2, cl::TForm)

  explicit TForm2(cl::TComponent* owner);

  void FormCreate(cl::TObject* sender);
  void Timer1Timer(cl::TObject* sender);

  // Counter back to 30, progress bar to 0.
  void ResetWarning();
  TWarningCount& Warning() noexcept { return warning_; }

  // Raised by the tick after the one that showed 1: time to power off.
  cl::TNotifyEvent OnTimeUp;

  CL_FIELDS((cl::TPanel, Panel1),
            (cl::TProgressBar, ProgressBar1),
            (cl::TTimer, Timer1))

 private:
  TWarningCount warning_;
};

}  // namespace pellwick
