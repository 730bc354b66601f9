// Standard controls over the system's window classes: push button, check box, single-line edit.
#pragma once
#include "Controls.h"
#include "Forms.h"
#include "Lists.h"
#include <vector>

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

// What check boxes and radio buttons share: a "BUTTON" window whose check mark shows this object's state
// (not an automatic style: code and user changes go the same way), clicks and Alt with the character that
// "&" marks in the caption.
class TButtonControl : public TWinControl {
  CL_PLAIN_CLASS(TButtonControl, TWinControl)

  bool Checked() const noexcept { return checked_; }
  virtual void SetChecked(bool value) = 0;

  void Dispatch(TMessage& message) override;

 protected:
  TButtonControl(TComponent* owner, int width, DWORD style);
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;
  // Sets the state and the mark; false when it was so already.
  bool StoreChecked(bool value);
  // The state a click or the accelerator asks for.
  virtual bool ClickedState() const = 0;

 private:
  DWORD style_;
  bool checked_ = false;
};

// A check box. Changing Checked, by the user or in code, raises OnClick. Alt and the character that "&"
// marks in the caption toggle it.
class TCheckBox : public TButtonControl {
  CL_CLASS(TCheckBox, TButtonControl)

  explicit TCheckBox(TComponent* owner) : TButtonControl(owner, 97, BS_CHECKBOX) {}

  void SetChecked(bool value) override;

 protected:
  bool ClickedState() const override { return !Checked(); }
};

// A radio button. Checking it, by the user or in code, unchecks the other radio buttons of its parent and
// raises OnClick; unchecking it, or checking it again, raises nothing.
class TRadioButton : public TButtonControl {
  CL_CLASS(TRadioButton, TButtonControl)

  explicit TRadioButton(TComponent* owner) : TButtonControl(owner, 113, BS_RADIOBUTTON) {}

  void SetChecked(bool value) override;

 protected:
  bool ClickedState() const override { return true; }
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

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// A multi-line edit. Its text separates lines with CR LF; Enter starts a new line, Tab and Escape go to
// the form (the next control, the cancel button). Selection positions count UTF-16 units.
class TMemo : public TEdit {
  CL_CLASS(TMemo, TEdit)

  explicit TMemo(TComponent* owner);

  TScrollStyle ScrollBars() const noexcept { return scrollBars_; }
  void SetScrollBars(TScrollStyle value);
  // Without a horizontal scroll bar, long lines wrap at the right edge.
  bool WordWrap() const noexcept { return wordWrap_; }
  void SetWordWrap(bool value);

  int SelStart();
  void SetSelStart(int value);
  int SelLength();
  void SetSelLength(int value);
  std::string SelText();
  // Replaces the selection (without one, inserts at the caret); the caret ends after the new text.
  void SetSelText(const std::string& value);

  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  TScrollStyle scrollBars_ = ssNone;
  bool wordWrap_ = true;
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
  // Breaks the text into lines at the label's width (AutoSize then only sets the height).
  bool WordWrap() const noexcept { return wordWrap_; }
  void SetWordWrap(bool value);

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
  bool wordWrap_ = false;
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

// csOwnerDrawFixed: a drop-down list whose items, all ItemHeight high, OnDrawItem paints.
enum TComboBoxStyle { csDropDown, csDropDownList, csOwnerDrawFixed };
enum TOwnerDrawStateFlag { odSelected, odDisabled, odFocused, odComboBoxEdit };
using TOwnerDrawState = TSet<TOwnerDrawStateFlag>;
// (Control, Index, Rect, State): paint item Index into Rect on the control's Canvas, which comes with the
// control's font and, for a selected item, the highlight colours.
using TDrawItemEvent = TEvent<TWinControl*, int, TRect, TOwnerDrawState>;

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
  // The height of an owner-drawn item.
  int ItemHeight() const noexcept { return itemHeight_; }
  void SetItemHeight(int value);
  // Bound to the item's device context only while OnDrawItem runs.
  TCanvas* Canvas() const noexcept { return canvas_.get(); }
  bool Sorted() const { return items_->Sorted(); }
  void SetSorted(bool value) { items_->SetSorted(value); }

  TNotifyEvent OnChange;
  TDrawItemEvent OnDrawItem;

  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;
  void Loaded() override;
  virtual void Change() { OnChange(this); }
  // Without OnDrawItem: the item's text on the background.
  virtual void DrawItem(int index, TRect rect, TOwnerDrawState state);

 private:
  void SyncItems();
  void CNDrawItem(TMessage& message);
  std::unique_ptr<TCanvas> canvas_;
  int itemHeight_ = 16;
  std::unique_ptr<TStringList> items_;
  std::vector<std::string> shownItems_;  // what the window's list holds now
  int itemIndex_ = -1;
  TComboBoxStyle style_ = csDropDown;
  int dropDownCount_ = 8;
};

}  // namespace cl

