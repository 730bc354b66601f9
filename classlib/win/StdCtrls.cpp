#include "StdCtrls.h"

namespace cl {

// ---------------------------------------------------------------------------------------------------------
// TButton.

CL_BEGIN_CLASS(TButton)
    .Bool("Cancel", &TButton::Cancel, &TButton::SetCancel, false)
    .Str("Caption", &TButton::Caption, &TButton::SetCaption)
    .Bool("Default", &TButton::Default, &TButton::SetDefault, false)
    .Int("ModalResult", &TButton::ModalResult, &TButton::SetModalResult, mrNone)
    .Bool("TabStop", &TButton::TabStop, &TButton::SetTabStop, true)
CL_END_CLASS

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  StoreBounds(0, 0, 75, 25);
  SetTabStop(true);
}

void TButton::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  CreateSubClass(params, L"BUTTON");
  params.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefault(bool value) {
  if (value == default_) return;
  default_ = value;
  if (HandleAllocated()) SendMessageW(Handle(), BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
  if (modalResult_ != mrNone)
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
  inherited::Click();
}

void TButton::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND:
      if (HIWORD(m.WParam) == BN_CLICKED) Click();
      return;
    case CM_DIALOGKEY:
      if (((m.WParam == VK_RETURN && default_) || (m.WParam == VK_ESCAPE && cancel_)) &&
          KeyDataToShiftState(m.LParam).Empty() && CanFocus()) {
        Click();
        m.Result = 1;
        return;
      }
      break;
  }
  inherited::Dispatch(m);
}

// ---------------------------------------------------------------------------------------------------------
// TCheckBox.

CL_BEGIN_CLASS(TCheckBox)
    .Str("Caption", &TCheckBox::Caption, &TCheckBox::SetCaption)
    .Bool("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked, false)
    .Bool("TabStop", &TCheckBox::TabStop, &TCheckBox::SetTabStop, true)
CL_END_CLASS

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
  StoreBounds(0, 0, 97, 17);
  SetTabStop(true);
}

void TCheckBox::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  CreateSubClass(params, L"BUTTON");
  // Not BS_AUTOCHECKBOX: the state is this object's, so that code and user changes go the same way.
  params.Style |= BS_CHECKBOX;
}

void TCheckBox::CreateHandleDone() { SendMessageW(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0); }

void TCheckBox::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  if (HandleAllocated()) SendMessageW(Handle(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
  if (!ComponentState().Contains(csLoading)) Click();
}

void TCheckBox::Dispatch(TMessage& m) {
  if (m.Msg == CN_COMMAND) {
    if (HIWORD(m.WParam) == BN_CLICKED) SetChecked(!checked_);
    return;
  }
  inherited::Dispatch(m);
}

// ---------------------------------------------------------------------------------------------------------
// TEdit.

CL_BEGIN_CLASS(TEdit)
    .Int("MaxLength", &TEdit::MaxLength, &TEdit::SetMaxLength, 0)
    .Bool("ReadOnly", &TEdit::ReadOnly, &TEdit::SetReadOnly, false)
    .Bool("TabStop", &TEdit::TabStop, &TEdit::SetTabStop, true)
    .Str("Text", &TEdit::Text, &TEdit::SetText)
    .Event("OnChange", &TEdit::OnChange)
CL_END_CLASS

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
  StoreBounds(0, 0, 121, 21);
  SetTabStop(true);
}

void TEdit::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  CreateSubClass(params, L"EDIT");
  params.Style |= ES_AUTOHSCROLL | ES_LEFT;
  if (readOnly_) params.Style |= ES_READONLY;
  params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TEdit::CreateHandleDone() { SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0); }

void TEdit::SetMaxLength(int value) {
  maxLength_ = value < 0 ? 0 : value;
  if (HandleAllocated()) SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TEdit::SetReadOnly(bool value) {
  readOnly_ = value;
  if (HandleAllocated()) SendMessageW(Handle(), EM_SETREADONLY, value, 0);
}

void TEdit::SelectAll() {
  if (HandleAllocated()) SendMessageW(Handle(), EM_SETSEL, 0, -1);
}

void TEdit::Dispatch(TMessage& m) {
  if (m.Msg == CN_COMMAND) {
    if (HIWORD(m.WParam) == EN_CHANGE) Change();
    return;
  }
  inherited::Dispatch(m);
}

}  // namespace cl
