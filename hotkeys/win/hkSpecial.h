// The keystroke dialog: edits the key string of a "Send Keystrokes" entry as multi-line text (one line
// break for each Enter) and inserts key names and prefixes from a list.
#pragma once
#include <string>

#include "Forms.h"
#include "StdCtrls.h"

namespace hk {

// The help topic that F1 in the text asks for.
inline constexpr char SPECIAL_CHARS_HELP_TOPIC[] = "Sending special characters";

class TfrmSpecialChars : public cl::TForm {
  CL_CLASS(TfrmSpecialChars, cl::TForm)

  explicit TfrmSpecialChars(cl::TComponent* owner);

  void SetKeys(const std::string& keys);
  std::string GetKeys() const;

 private:
  void FormCreate(cl::TObject* sender);
  void FormKeyDown(cl::TObject* sender, uint16_t& key, cl::TShiftState shift);
  void btnInsertClick(cl::TObject* sender);
  void cboSpecialCharDrawItem(cl::TWinControl* control, int index, cl::TRect rect, cl::TOwnerDrawState state);
  void mmoTextKeyDown(cl::TObject* sender, uint16_t& key, cl::TShiftState shift);

  CL_FIELDS((cl::TMemo, mmoText),
            (cl::TComboBox, cboSpecialChar))
};

}  // namespace hk
