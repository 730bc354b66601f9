#include "Unit2.h"

namespace pellwick {

CL_BEGIN_CLASS(TForm2)
    .Method("FormCreate", &TForm2::FormCreate)
    .Method("Timer1Timer", &TForm2::Timer1Timer)
CL_END_CLASS

TForm2::TForm2(cl::TComponent* owner) : cl::TForm(owner) {
  LoadDescription();
}

void TForm2::FormCreate(cl::TObject*) {
  warning_.Reset();
  Panel1->SetCaption(TWarningCount::Caption(TWarningCount::Seconds));
}

void TForm2::ResetWarning() {
  warning_.Reset();
  ProgressBar1->SetPosition(0);
}

void TForm2::Timer1Timer(cl::TObject*) {
  std::string caption;
  int progress = 0;
  if (warning_.Tick(caption, progress)) {
    ProgressBar1->SetPosition(progress);
    Panel1->SetCaption(caption);
    return;
  }
  Timer1->SetEnabled(false);
  OnTimeUp(this);
}

}  // namespace pellwick
