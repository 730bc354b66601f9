// Standard controls over the system's window classes: push button, check box, single-line edit.
#pragma once
#include "Controls.h"
#include "Forms.h"

namespace cl {

// A push button. Clicking it sets its form's ModalResult (when it has one) and raises OnClick. The default
// button also answers Enter, the cancel button Escape, anywhere on the form.
class TButton : public TWinControl {
  CL_CLASS(TButton, TWinControl)

  explicit TButton(TComponent* owner);

  bool Default() const noexcept { return default_; }
  void SetDefault(bool value);
  bool Cancel() const noexcept { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  TModalResult ModalResult() const noexcept { return modalResult_; }
  void SetModalResult(TModalResult value) { modalResult_ = value; }

  void Click() override;
  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  bool default_ = false;
  bool cancel_ = false;
  TModalResult modalResult_ = mrNone;
};

// A check box. Changing Checked, by the user or in code, raises OnClick.
class TCheckBox : public TWinControl {
  CL_CLASS(TCheckBox, TWinControl)

  explicit TCheckBox(TComponent* owner);

  bool Checked() const noexcept { return checked_; }
  void SetChecked(bool value);

  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;

 private:
  bool checked_ = false;
};

// A single-line edit. OnChange follows every change of the text.
class TEdit : public TWinControl {
  CL_CLASS(TEdit, TWinControl)

  explicit TEdit(TComponent* owner);

  // 0: no limit.
  int MaxLength() const noexcept { return maxLength_; }
  void SetMaxLength(int value);
  bool ReadOnly() const noexcept { return readOnly_; }
  void SetReadOnly(bool value);
  void SelectAll();

  TNotifyEvent OnChange;

  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;
  virtual void Change() { OnChange(this); }

 private:
  int maxLength_ = 0;
  bool readOnly_ = false;
};

}  // namespace cl
