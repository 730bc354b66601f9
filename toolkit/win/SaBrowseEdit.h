// A single-line edit with a small browse button inside its right end. The button runs the attached
// open-file dialog and puts the chosen file into the text, or, without a dialog, raises OnButtonClick.
#pragma once
#include <windows.h>

#include "Buttons.h"
#include "Controls.h"
#include "Dialogs.h"
#include "StdCtrls.h"

namespace toolkit {

class TSaBrowseEdit;

// The button of a TSaBrowseEdit: a speed button drawn inside the edit's right end, 16 pixels wide and the
// edit's full client height, with three dots that follow the edit's enabled state. It has no window: the
// edit paints it and hands it the mouse over its area. Pressing it focuses the edit; a quick second press
// is a second click, not a double click.
class TSaBrowseButton : public cl::TSpeedButton {
  CL_PLAIN_CLASS(TSaBrowseButton, cl::TSpeedButton)

  TSaBrowseButton(cl::TComponent* owner, TSaBrowseEdit* edit);

  TSaBrowseEdit* Edit() const noexcept { return edit_; }

  void Click() override;

 protected:
  void Paint() override;
  void MouseDown(cl::TMouseButton button, cl::TShiftState shift, int x, int y) override;

 private:
  TSaBrowseEdit* edit_;
};

class TSaBrowseEdit : public cl::TEdit {
  CL_CLASS(TSaBrowseEdit, cl::TEdit)

  static constexpr int ButtonWidth = 16;

  explicit TSaBrowseEdit(cl::TComponent* owner);
  ~TSaBrowseEdit() override;

  // Run by the button; not owned (forgotten when that dialog is destroyed).
  cl::TOpenDialog* Dialog() const noexcept { return dialog_; }
  void SetDialog(cl::TOpenDialog* value);
  // The whole text is selected when the edit is entered from the keyboard, and after the dialog has put
  // a file name into it.
  bool AutoSelect() const noexcept { return autoSelect_; }
  void SetAutoSelect(bool value) { autoSelect_ = value; }
  TSaBrowseButton* Button() const noexcept { return button_; }

  // What a click of the button does: with Dialog, run it and on success take its FileName (selected when
  // AutoSelect); without, raise OnButtonClick.
  void ButtonClick();

  cl::TNotifyEvent OnButtonClick;

  void Dispatch(cl::TMessage& message) override;

 protected:
  void CreateParams(cl::TCreateParams& params) override;
  void CreateHandleDone() override;
  void Notification(cl::TComponent* component, cl::TOperation operation) override;
  void DoEnter() override;

 private:
  // Places the button at the right end and keeps the text left of it.
  void SetEditRect();
  void PasteFirstLine();
  TSaBrowseButton* button_ = nullptr;
  cl::TOpenDialog* dialog_ = nullptr;
  bool autoSelect_ = true;
  bool pressingText_ = false;  // the mouse goes down on the text: the caret goes where it points
};

}  // namespace toolkit
