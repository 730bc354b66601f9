// Common dialogs: the system's file-open dialog as a component a form description can hold.
#pragma once
#include <string>

#include "Classes.h"

namespace cl {

// ofNoChangeDir: the process's current directory stays as it was; the others as their names say.
enum TOpenOption { ofHideReadOnly, ofNoChangeDir, ofPathMustExist, ofFileMustExist };
using TOpenOptions = TSet<TOpenOption>;

// Lets the user pick an existing file. Filter holds pairs "description|patterns|description|patterns...";
// FilterIndex counts those pairs from 1. The dialog is owned by the active window of the application.
class TOpenDialog : public TComponent {
  CL_CLASS(TOpenDialog, TComponent)

  explicit TOpenDialog(TComponent* owner);

  const std::string& Title() const noexcept { return title_; }
  void SetTitle(const std::string& value) { title_ = value; }
  const std::string& Filter() const noexcept { return filter_; }
  void SetFilter(const std::string& value) { filter_ = value; }
  int FilterIndex() const noexcept { return filterIndex_; }
  void SetFilterIndex(int value) { filterIndex_ = value; }
  // The chosen file; also the name the dialog starts with.
  const std::string& FileName() const noexcept { return fileName_; }
  void SetFileName(const std::string& value) { fileName_ = value; }
  const std::string& InitialDir() const noexcept { return initialDir_; }
  void SetInitialDir(const std::string& value) { initialDir_ = value; }
  TOpenOptions Options() const noexcept { return options_; }
  void SetOptions(TOpenOptions value) { options_ = value; }

  // Shows the dialog modally; true when the user chose a file (FileName and FilterIndex then hold the
  // choice), false when cancelled (nothing changes). Raises EOSError when the dialog cannot be shown.
  virtual bool Execute();

 private:
  std::string title_;
  std::string filter_;
  int filterIndex_ = 1;
  std::string fileName_;
  std::string initialDir_;
  TOpenOptions options_{};
};

// ----- printer setup

// The system's printer setup dialog for the application's printer (Printer()): the printer chosen and
// its settings are used by the next document.
class TPrinterSetupDialog : public TComponent {
  CL_PLAIN_CLASS(TPrinterSetupDialog, TComponent)

  explicit TPrinterSetupDialog(TComponent* owner);

  // True when the user confirmed a choice. With no printer installed it raises EPrinter "There is no
  // default printer currently selected" instead of showing anything.
  virtual bool Execute();
};

// ----- messages

// A plain message box with the application's title as its caption and an OK button, owned by the active
// window; returns when it is closed.
void ShowMessage(const std::string& text);

}  // namespace cl
