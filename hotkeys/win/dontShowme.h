// The notice shown when the tray icon is switched off: without it only the hot key opens the editor.
// Its check box records at once whether the notice is wanted again.
#pragma once
#include <string>

#include "Forms.h"
#include "StdCtrls.h"

namespace hk {

class TForm1 : public cl::TForm {
  CL_CLASS(TForm1, cl::TForm)

  explicit TForm1(cl::TComponent* owner);

  // The settings file that holds [Settings] Showme.
  void SetIniFileName(const std::string& name) { FIniFileName = name; }
  cl::TCheckBox* DontShowAgain() const noexcept { return CheckBox1; }

 private:
  void CheckBox1Click(cl::TObject* sender);
  void Button1Click(cl::TObject* sender);

  CL_FIELDS((cl::TCheckBox, CheckBox1))
  std::string FIniFileName;
};

}  // namespace hk
