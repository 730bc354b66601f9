// The settings window: save the time settings, start with Windows, run the task at start.
#pragma once
#include "Forms.h"
#include "StdCtrls.h"

namespace pellwick {

class TForm1;

class TForm3 : public cl::TForm {
  CL_CLASS(TForm3, cl::TForm)

  // The owner is the main window, whose settings file and controls the dialog reads and writes.
  explicit TForm3(cl::TComponent* owner);

  void FormCreate(cl::TObject* sender);
  void Button1Click(cl::TObject* sender);

  CL_FIELDS((cl::TCheckBox, CheckBox1),
            (cl::TCheckBox, CheckBox2),
            (cl::TCheckBox, CheckBox4),
            (cl::TButton, Button1))

 private:
  TForm1* Main() const;
};

}  // namespace pellwick
