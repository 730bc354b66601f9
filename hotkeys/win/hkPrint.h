// Printing the hotkey table: the settings dialog, the progress window, and the print job that runs the
// table's layout over the printer's canvas (a measure pass that counts the pages, then the print pass).
#pragma once
#include <array>
#include <string>

#include "ComCtrls.h"
#include "Forms.h"
#include "Graphics.h"
#include "PrintLayout.h"
#include "Printers.h"
#include "SaPathLabel.h"
#include "StdCtrls.h"

namespace hk {

// Which columns to print and whether inactive entries are printed. OK is enabled only while a column
// is checked.
class TfrmPrintSettings : public cl::TForm {
  CL_CLASS(TfrmPrintSettings, cl::TForm)

  explicit TfrmPrintSettings(cl::TComponent* owner);

  PrintOptions Options() const;

 private:
  void chkSectionClick(cl::TObject* sender);
  void FormKeyDown(cl::TObject* sender, uint16_t& key, cl::TShiftState shift);
  void btnSetupClick(cl::TObject* sender);

  CL_FIELDS((cl::TCheckBox, chkDescription),
            (cl::TCheckBox, chkID),
            (cl::TCheckBox, chkAction),
            (cl::TCheckBox, chkData),
            (cl::TCheckBox, chkHotkey),
            (cl::TCheckBox, chkActive),
            (cl::TCheckBox, chkPrintInactive),
            (cl::TButton, cmdOk))
  std::array<cl::TCheckBox*, PrintColumnCount> FColumns{};  // the column boxes, in column order
};

// Shown while the pages are drawn; Cancel hides it, which the job takes as the signal to stop.
class TfrmPrintProgress : public cl::TForm {
  CL_CLASS(TfrmPrintProgress, cl::TForm)

  explicit TfrmPrintProgress(cl::TComponent* owner);

  // Shows the name (shortened in the middle when long) and puts the bar back to 0.
  void SetFileName(const std::string& name);
  // Shows "Page 1 of " and the count.
  void SetPageCount(int count);
  void SetPage(int page);
  void SetProgress(int percent);

 private:
  void btnCancelClick(cl::TObject* sender);

  CL_FIELDS((toolkit::TSaPathLabel, lblFileName),
            (cl::TLabel, lblPage),
            (cl::TProgressBar, pgbProgress))
  int FPageCount = 0;
};

// The layout's device: a class library canvas (the printer's).
class TGdiPrintCanvas : public PrintCanvas {
 public:
  explicit TGdiPrintCanvas(cl::TPrinter& printer) : printer_(printer) {}
  int TextWidth(std::string_view text) override;
  int TextHeight(std::string_view text) override;
  void SetBold(bool bold) override;
  void TextAt(int x, int y, std::string_view text, int left, int top, int right, int bottom) override;
  void Line(int x1, int y1, int x2, int y2, int width) override;
  void NewPage() override;

 private:
  cl::TPrinter& printer_;
};

// One job of the editor's print button, the settings chosen. The texts are copies, taken before the
// job starts.
struct PrintJob {
  PrintTable Table;
  PrintOptions Options;
  std::string FileName;     // the definitions file: title, page header, progress window
  std::string ProductLine;  // product name, ", version ", product version
  const cl::TFont* ScreenFont = nullptr;  // the main window's font (sets the grid's line scale)
};

// Prints the job on printer: the document is begun, measured, drawn with the progress window shown and
// ended. Any failure (the Cancel button's EAbort included) discards the document and passes on. While it
// runs, the application's other windows take no input. Returns the number of pages.
int PrintHotkeyTable(cl::TPrinter& printer, const PrintJob& job);

// "Hotkeys, version 1.61": the product line of the footer, from the program's version resource.
std::string PrintProductLine();

}  // namespace hk
