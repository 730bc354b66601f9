// The printer: documents of pages drawn on a canvas in the printer's own pixels.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "Graphics.h"
#include "SysUtils.h"

namespace cl {

CL_DECLARE_EXCEPTION(EPrinter, Exception)

// Owns a global memory block (the printer's device mode and names).
inline void FreeGlobal(HGLOBAL memory) noexcept { GlobalFree(memory); }
using TGlobalHandle = std::unique_ptr<void, decltype(&FreeGlobal)>;

class TPrinter {
 public:
  TPrinter();
  // A document still open is aborted.
  virtual ~TPrinter();
  TPrinter(const TPrinter&) = delete;
  TPrinter& operator=(const TPrinter&) = delete;

  // The name the document has in the print queue.
  const std::string& Title() const noexcept { return title_; }
  void SetTitle(const std::string& value) { title_ = value; }

  // Starts a document on page 1. EPrinter when a document is open already or the printer cannot start
  // one ("There is no default printer currently selected" when there is no printer at all).
  void BeginDoc();
  // Ends the last page and hands the document to the printer.
  void EndDoc();
  // Discards the document; nothing of it is printed. Nothing happens without an open document.
  void Abort();
  // Ends the page and starts the next one.
  void NewPage();
  bool Printing() const noexcept { return dc_ != nullptr; }
  bool Aborted() const noexcept { return aborted_; }
  // The page being drawn, from 1.
  int PageNumber() const noexcept { return pageNumber_; }
  // The printable area in the printer's pixels, and its resolution (pixels per inch).
  int PageWidth();
  int PageHeight();
  int PixelsPerInch();

  // Draws on the page; only while a document is open. Font heights and sizes set on it are taken in the
  // screen's terms and scaled to the printer's resolution, so a font looks as large on paper as on screen.
  TCanvas* Canvas() { return canvas_.get(); }

  // The printer chosen and its settings (the setup dialog changes them): the system's default printer
  // until then. EPrinter when there is none.
  HGLOBAL DevMode();
  HGLOBAL DevNames();
  // Takes ownership of new settings (null keeps the one held).
  void SetDevice(HGLOBAL devMode, HGLOBAL devNames);
  // Gives the settings held up to the caller (for a dialog that may free or replace them).
  void ReleaseDevice() noexcept {
    devMode_.release();
    devNames_.release();
  }

 protected:
  // The device the pages go to. The spooler by default; tests and previews may draw elsewhere.
  // StartDocument opens the document and its first page and returns the context to draw on; NextPage ends
  // the page and returns the context of the next (possibly another one); EndDocument and AbortDocument
  // end it and free the context.
  virtual HDC StartDocument();
  virtual HDC NextPage(HDC dc);
  virtual void EndDocument(HDC dc);
  virtual void AbortDocument(HDC dc) noexcept;
  // An information context of the printer, for its sizes while no document is open.
  virtual HDC CreateInfoContext();
  // GetDeviceCaps of the page's context (or of an information context while no document is open).
  virtual int DeviceCaps(int index);

 private:
  void LoadDefaultPrinter();
  HDC CreatePrinterDC(bool infoOnly);
  void Bind(HDC dc);
  void ScaleFont();

  std::string title_;
  HDC dc_ = nullptr;
  bool aborted_ = false;
  int pageNumber_ = 0;
  int screenHeight_ = 0;  // the canvas font's height as the caller set it
  int fontHeight_ = 0;    // the height the font was given for the device
  TGlobalHandle devMode_{nullptr, &FreeGlobal};
  TGlobalHandle devNames_{nullptr, &FreeGlobal};
  std::unique_ptr<TCanvas> canvas_;
};

// The application's printer. SetPrinter puts another one in its place (null: back to the default one)
// and returns the one it replaces; the caller keeps ownership of the printers it sets.
TPrinter& Printer();
TPrinter* SetPrinter(TPrinter* printer);

}  // namespace cl
