#include "dontShowme.h"

#include "IniFiles.h"
#include "SysUtils.h"

namespace hk {

TForm1::TForm1(cl::TComponent* owner) : TForm(owner) {
  LoadDescription();
}

void TForm1::CheckBox1Click(cl::TObject*) {
  if (FIniFileName.empty()) return;
  try {
    cl::TIniFile(FIniFileName).WriteInteger("Settings", "Showme", CheckBox1->Checked() ? 0 : 1);
  } catch (const cl::Exception&) {
    // Not written: the notice simply comes again next time.
  }
}

void TForm1::Button1Click(cl::TObject*) { Close(); }

CL_BEGIN_CLASS(TForm1)
    .Method("CheckBox1Click", &TForm1::CheckBox1Click)
    .Method("Button1Click", &TForm1::Button1Click)
CL_END_CLASS

}  // namespace hk
