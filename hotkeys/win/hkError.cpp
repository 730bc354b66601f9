#include "hkError.h"

namespace hk {

TfrmHotkeyError::TfrmHotkeyError(cl::TComponent* owner) : TForm(owner) {
  LoadDescription();
}

void TfrmHotkeyError::SetEntry(const std::string& text) { lblEntry->SetCaption(text); }

void TfrmHotkeyError::FormKeyDown(cl::TObject*, uint16_t& key, cl::TShiftState) {
  if (key == VK_ESCAPE) SetModalResult(cl::mrCancel);
}

CL_BEGIN_CLASS(TfrmHotkeyError)
    .Method("FormKeyDown", &TfrmHotkeyError::FormKeyDown)
CL_END_CLASS

}  // namespace hk
