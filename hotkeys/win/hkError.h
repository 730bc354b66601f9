// The conflict dialog of the hotkey editor: another active entry already has the combination just chosen.
// OK ("Continue") keeps the new combination, anything else resets it.
#pragma once
#include <string>

#include "Forms.h"
#include "StdCtrls.h"

namespace hk {

class TfrmHotkeyError : public cl::TForm {
  CL_CLASS(TfrmHotkeyError, cl::TForm)

  explicit TfrmHotkeyError(cl::TComponent* owner);

  // The description of the entry that holds the combination.
  void SetEntry(const std::string& text);

 private:
  void FormKeyDown(cl::TObject* sender, uint16_t& key, cl::TShiftState shift);

  CL_FIELDS((cl::TLabel, lblEntry))
};

}  // namespace hk
