#include "hkPrint.h"

#include <cmath>
#include <memory>
#include <vector>

#include "DeviceContext.h"
#include "Dialogs.h"
#include "DisabledWindows.h"
#include "SysUtils.h"
#include "hkVersion.h"

namespace hk {

// ------------------------------------------------------------------------------------------ the settings

TfrmPrintSettings::TfrmPrintSettings(cl::TComponent* owner) : TForm(owner) {
  LoadDescription();
  FColumns = {chkDescription, chkID, chkAction, chkData, chkHotkey, chkActive};
}

PrintOptions TfrmPrintSettings::Options() const {
  PrintOptions options;
  for (int c = 0; c < PrintColumnCount; ++c) options.Columns[c] = FColumns[c]->Checked();
  options.PrintInactive = chkPrintInactive->Checked();
  return options;
}

void TfrmPrintSettings::chkSectionClick(cl::TObject*) {
  bool any = false;
  for (cl::TCheckBox* box : FColumns) any = any || box->Checked();
  cmdOk->SetEnabled(any);
}

void TfrmPrintSettings::FormKeyDown(cl::TObject*, uint16_t& key, cl::TShiftState) {
  if (key == VK_ESCAPE) SetModalResult(cl::mrCancel);
}

void TfrmPrintSettings::btnSetupClick(cl::TObject*) {
  cl::TPrinterSetupDialog dialog(nullptr);
  dialog.Execute();
}

CL_BEGIN_CLASS(TfrmPrintSettings)
    .Method("chkSectionClick", &TfrmPrintSettings::chkSectionClick)
    .Method("FormKeyDown", &TfrmPrintSettings::FormKeyDown)
    .Method("btnSetupClick", &TfrmPrintSettings::btnSetupClick)
CL_END_CLASS

// ------------------------------------------------------------------------------------------ the progress

TfrmPrintProgress::TfrmPrintProgress(cl::TComponent* owner) : TForm(owner) {
  LoadDescription();
}

void TfrmPrintProgress::SetFileName(const std::string& name) {
  lblFileName->SetCaption(name);
  pgbProgress->SetPosition(0);
}

void TfrmPrintProgress::SetPageCount(int count) {
  FPageCount = count;
  lblPage->SetCaption("Page 1 of " + std::to_string(count));
  lblPage->SetVisible(true);
}

void TfrmPrintProgress::SetPage(int page) {
  lblPage->SetCaption("Page " + std::to_string(page) + " of " + std::to_string(FPageCount));
}

void TfrmPrintProgress::SetProgress(int percent) { pgbProgress->SetPosition(percent); }

void TfrmPrintProgress::btnCancelClick(cl::TObject*) { Hide(); }

CL_BEGIN_CLASS(TfrmPrintProgress)
    .Method("btnCancelClick", &TfrmPrintProgress::btnCancelClick)
CL_END_CLASS

// -------------------------------------------------------------------------------------------- the device

int TGdiPrintCanvas::TextWidth(std::string_view text) { return printer_.Canvas()->TextWidth(text); }
int TGdiPrintCanvas::TextHeight(std::string_view text) { return printer_.Canvas()->TextHeight(text); }

void TGdiPrintCanvas::SetBold(bool bold) {
  printer_.Canvas()->Font()->SetStyle(bold ? cl::TFontStyles{cl::fsBold} : cl::TFontStyles{});
}

void TGdiPrintCanvas::TextAt(int x, int y, std::string_view text, int left, int top, int right, int bottom) {
  printer_.Canvas()->TextRect(cl::TRect{left, top, right, bottom}, x, y, text);
}

void TGdiPrintCanvas::Line(int x1, int y1, int x2, int y2, int width) {
  cl::TCanvas* canvas = printer_.Canvas();
  canvas->Pen()->SetWidth(width);
  canvas->MoveTo(x1, y1);
  canvas->LineTo(x2, y2);
}

void TGdiPrintCanvas::NewPage() { printer_.NewPage(); }

// ------------------------------------------------------------------------------------------------ the job

namespace {

void LetMessagesThrough() {
  if (cl::Application) {
    cl::Application->ProcessMessages();
    return;
  }
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Half the ratio of the main window's font height on the printer to its height on the screen.
int LineScale(cl::TPrinter& printer, const cl::TFont* screenFont) {
  const cl::TWindowDC screenDC(nullptr);
  cl::TCanvas screen;  // lets go of the context before the context is released
  screen.SetHandle(screenDC.Get());
  if (screenFont) {
    screen.Font()->Assign(screenFont);
    printer.Canvas()->Font()->Assign(screenFont);
  }
  const int onScreen = screen.TextHeight("Wg");
  const int onPrinter = printer.Canvas()->TextHeight("Wg");
  if (onScreen <= 0) return 0;
  return static_cast<int>(std::lround(static_cast<double>(onPrinter) / onScreen)) / 2;
}

}  // namespace

int PrintHotkeyTable(cl::TPrinter& printer, const PrintJob& job) {
  printer.SetTitle(job.FileName);
  printer.BeginDoc();
  try {
    PrintPage page;
    page.LineScale = LineScale(printer, job.ScreenFont);
    cl::TFont* font = printer.Canvas()->Font();
    font->SetName("Arial");
    font->SetSize(10);
    font->SetStyle({});
    page.Width = printer.PageWidth();
    page.Height = printer.PageHeight();
    page.FileName = job.FileName;
    page.DateTime = cl::LongDateTimeText();
    page.ProductLine = job.ProductLine;

    TGdiPrintCanvas canvas(printer);
    PrintLayout layout(canvas, job.Table, job.Options, page);
    layout.MeasureColumns();
    const int pageCount = layout.PrintPages(true, 0);

    std::unique_ptr<TfrmPrintProgress> progress(cl::NewForm<TfrmPrintProgress>(nullptr));
    progress->SetFileName(job.FileName);
    progress->SetPageCount(pageCount);
    progress->Show();
    // The other windows of this thread take no input while the job lets messages through, so the table
    // cannot be edited, reloaded or printed again meanwhile.
    const cl::TDisabledWindows block(progress->Handle());
    layout.PrintPages(false, pageCount, [&](int pageNumber, int percent) {
      progress->SetPage(pageNumber);
      progress->SetProgress(percent);
      LetMessagesThrough();
      if (!progress->Visible()) cl::Abort();
    });
    printer.EndDoc();
    return pageCount;
  } catch (...) {
    printer.Abort();
    throw;
  }
}

std::string PrintProductLine() {
  return GetAppVersionInfo("ProductName") + ", version " + GetAppVersionInfo("ProductVersion");
}

}  // namespace hk
