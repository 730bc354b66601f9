// Standard controls over the system's window classes: push button, check box, single-line edit.
#pragma once
#include "Controls.h"
#include "Forms.h"
#include "Lists.h"

namespace cl {

// A push button. Clicking it sets its form's ModalResult (when it has one) and raises OnClick. The default
// button also answers Enter, the cancel button Escape, anywhere on the form; Alt and the character that
// "&" marks in the caption press it.
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

// A check box. Changing Checked, by the user or in code, raises OnClick. Alt and the character that "&"
// marks in the caption toggle it.
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

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };

// A text drawn on its parent. With AutoSize the control takes the size of its text (a right-justified
// label keeps its right edge). "&" marks the following character as the accelerator shown underlined;
// Alt and that character move the focus to FocusControl.
class TLabel : public TGraphicControl {
  CL_CLASS(TLabel, TGraphicControl)

  explicit TLabel(TComponent* owner);

  bool AutoSize() const noexcept { return autoSize_; }
  void SetAutoSize(bool value);
  TAlignment Alignment() const noexcept { return alignment_; }
  void SetAlignment(TAlignment value);
  TTextLayout Layout() const noexcept { return layout_; }
  void SetLayout(TTextLayout value);
  // Without Transparent the label fills its area with its Color first.
  bool Transparent() const noexcept { return transparent_; }
  void SetTransparent(bool value);
  TWinControl* FocusControl() const noexcept { return focusControl_; }
  void SetFocusControl(TWinControl* value);

  void Dispatch(TMessage& message) override;

 protected:
  void Paint() override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void AdjustBounds();
  UINT TextFlags() const;
  bool autoSize_ = true;
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool transparent_ = false;
  TWinControl* focusControl_ = nullptr;
};

// Whether ch (any case) is the accelerator that "&" marks in caption ("&&" is a plain "&").
bool IsAccel(wchar_t ch, const std::string& caption);

// A frame with a caption around other controls.
class TGroupBox : public TWinControl {
  CL_CLASS(TGroupBox, TWinControl)

  explicit TGroupBox(TComponent* owner);
  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
};

enum TComboBoxStyle { csDropDown, csDropDownList };

// A drop-down list (with an edit field in csDropDown). Items is kept here and mirrored to the window.
// Choosing an item, by the user or by ItemIndex, raises OnClick then OnChange; typing in the edit field
// raises OnChange.
class TComboBox : public TWinControl {
  CL_CLASS(TComboBox, TWinControl)

  explicit TComboBox(TComponent* owner);

  TStringList* Items() const noexcept { return items_.get(); }
  void SetItems(TStringList* value) { items_->Assign(value); }
  // -1: none.
  int ItemIndex() const;
  void SetItemIndex(int value);
  TComboBoxStyle Style() const noexcept { return style_; }
  void SetStyle(TComboBoxStyle value);
  int DropDownCount() const noexcept { return dropDownCount_; }
  void SetDropDownCount(int value);
  bool Sorted() const { return items_->Sorted(); }
  void SetSorted(bool value) { items_->SetSorted(value); }

  TNotifyEvent OnChange;

  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;
  void Loaded() override;
  virtual void Change() { OnChange(this); }

 private:
  void SyncItems();
  std::unique_ptr<TStringList> items_;
  int itemIndex_ = -1;
  TComboBoxStyle style_ = csDropDown;
  int dropDownCount_ = 8;
};

}  // namespace cl

