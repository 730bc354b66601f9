#include "hkSpecial.h"

#include "FileUtil.h"
#include "SpecialKeys.h"

namespace hk {

TfrmSpecialChars::TfrmSpecialChars(cl::TComponent* owner) : TForm(owner) {
  LoadDescription();
}

void TfrmSpecialChars::FormCreate(cl::TObject*) {
  cl::TStringList* items = cboSpecialChar->Items();
  items->BeginUpdate();
  for (std::string_view row : SpecialKeyRows) items->Add(std::string(row));
  items->EndUpdate();
  cboSpecialChar->SetItemIndex(0);
}

void TfrmSpecialChars::SetKeys(const std::string& keys) { mmoText->SetText(KeysToText(keys)); }

std::string TfrmSpecialChars::GetKeys() const { return TextToKeys(mmoText->Text()); }

void TfrmSpecialChars::btnInsertClick(cl::TObject*) {
  const int index = cboSpecialChar->ItemIndex();
  if (index < 0) return;
  mmoText->SetSelText(GetField(cboSpecialChar->Items()->Get(index), 2, '|'));
  if (mmoText->CanFocus()) mmoText->SetFocus();
}

void TfrmSpecialChars::cboSpecialCharDrawItem(cl::TWinControl*, int index, cl::TRect rect, cl::TOwnerDrawState) {
  cl::TCanvas* canvas = cboSpecialChar->Canvas();
  canvas->FillRect(rect);
  if (index < 0 || index >= cboSpecialChar->Items()->Count()) return;
  const std::string label = GetField(cboSpecialChar->Items()->Get(index), 1, '|');
  const int y = rect.Top + (rect.Height() - canvas->TextHeight(label)) / 2;
  canvas->TextOut(rect.Left + 2, y, label);
}

void TfrmSpecialChars::mmoTextKeyDown(cl::TObject*, uint16_t& key, cl::TShiftState) {
  if (key != VK_F1) return;
  // The topic on writing special characters, rather than the dialog's own.
  cl::Application->HelpKeyword(SPECIAL_CHARS_HELP_TOPIC);
  key = 0;
}

void TfrmSpecialChars::FormKeyDown(cl::TObject*, uint16_t& key, cl::TShiftState) {
  if (key == VK_ESCAPE) SetModalResult(cl::mrCancel);
}

CL_BEGIN_CLASS(TfrmSpecialChars)
    .Method("FormCreate", &TfrmSpecialChars::FormCreate)
    .Method("FormKeyDown", &TfrmSpecialChars::FormKeyDown)
    .Method("btnInsertClick", &TfrmSpecialChars::btnInsertClick)
    .Method("cboSpecialCharDrawItem", &TfrmSpecialChars::cboSpecialCharDrawItem)
    .Method("mmoTextKeyDown", &TfrmSpecialChars::mmoTextKeyDown)
CL_END_CLASS

}  // namespace hk
