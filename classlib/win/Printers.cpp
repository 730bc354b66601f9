#include "Printers.h"

#include <commdlg.h>

#include "WinString.h"

namespace cl {

namespace {

const char kNoPrinter[] = "There is no default printer currently selected";

// The device mode and names locked for reading.
template <class T>
class TLocked {
 public:
  explicit TLocked(HGLOBAL memory) : memory_(memory), p_(memory ? static_cast<T*>(GlobalLock(memory)) : nullptr) {}
  ~TLocked() {
    if (p_) GlobalUnlock(memory_);
  }
  TLocked(const TLocked&) = delete;
  TLocked& operator=(const TLocked&) = delete;
  T* get() const { return p_; }

 private:
  HGLOBAL memory_;
  T* p_;
};

}  // namespace

TPrinter::TPrinter() : canvas_(std::make_unique<TCanvas>()) {
  canvas_->Brush()->SetStyle(bsClear);
  screenHeight_ = fontHeight_ = canvas_->Font()->Height();
  canvas_->Font()->OnChange = [this](TObject*) { ScaleFont(); };
}

TPrinter::~TPrinter() {
  canvas_->Font()->OnChange = nullptr;
  Abort();
}

// ----------------------------------------------------------------------------------------------- the device

void TPrinter::LoadDefaultPrinter() {
  if (devNames_) return;
  PRINTDLGW pd{};
  pd.lStructSize = sizeof pd;
  pd.Flags = PD_RETURNDEFAULT | PD_NOWARNING;
  if (!PrintDlgW(&pd) || !pd.hDevNames) {
    if (pd.hDevMode) GlobalFree(pd.hDevMode);
    if (pd.hDevNames) GlobalFree(pd.hDevNames);
    throw EPrinter(kNoPrinter);
  }
  devMode_.reset(pd.hDevMode);
  devNames_.reset(pd.hDevNames);
}

HGLOBAL TPrinter::DevMode() {
  LoadDefaultPrinter();
  return devMode_.get();
}

HGLOBAL TPrinter::DevNames() {
  LoadDefaultPrinter();
  return devNames_.get();
}

void TPrinter::SetDevice(HGLOBAL devMode, HGLOBAL devNames) {
  if (devMode && devMode != devMode_.get()) devMode_.reset(devMode);
  if (devNames && devNames != devNames_.get()) devNames_.reset(devNames);
}

HDC TPrinter::CreatePrinterDC(bool infoOnly) {
  LoadDefaultPrinter();
  TLocked<DEVNAMES> names(devNames_.get());
  TLocked<DEVMODEW> mode(devMode_.get());
  if (!names.get()) throw EPrinter(kNoPrinter);
  const auto* base = reinterpret_cast<const wchar_t*>(names.get());
  const wchar_t* driver = base + names.get()->wDriverOffset;
  const wchar_t* device = base + names.get()->wDeviceOffset;
  HDC dc = infoOnly ? CreateICW(driver, device, nullptr, mode.get()) : CreateDCW(driver, device, nullptr, mode.get());
  if (!dc) throw EPrinter("Printer selected is not valid");
  return dc;
}

HDC TPrinter::CreateInfoContext() { return CreatePrinterDC(true); }

HDC TPrinter::StartDocument() {
  TDCHandle dc(CreatePrinterDC(false));
  const std::wstring title = ToWide(title_);
  DOCINFOW info{};
  info.cbSize = sizeof info;
  info.lpszDocName = title.c_str();
  if (StartDocW(dc.Get(), &info) <= 0)
    throw EPrinter("The printer could not start the document: " + SysErrorMessage(GetLastError()));
  if (::StartPage(dc.Get()) <= 0) {
    ::AbortDoc(dc.Get());
    throw EPrinter("The printer could not start a page");
  }
  return dc.Release();
}

HDC TPrinter::NextPage(HDC dc) {
  if (::EndPage(dc) <= 0 || ::StartPage(dc) <= 0) throw EPrinter("The printer could not start a page");
  return dc;
}

void TPrinter::EndDocument(HDC dc) {
  const TDCHandle owned(dc);
  if (::EndPage(dc) <= 0 || ::EndDoc(dc) <= 0) throw EPrinter("The printer could not finish the document");
}

void TPrinter::AbortDocument(HDC dc) noexcept {
  const TDCHandle owned(dc);
  ::AbortDoc(dc);
}

// ---------------------------------------------------------------------------------------------- documents

void TPrinter::Bind(HDC dc) {
  canvas_->SetHandle(dc);
  dc_ = dc;
  if (dc) SetBkMode(dc, TRANSPARENT);
}

void TPrinter::BeginDoc() {
  if (dc_) throw EPrinter("Printing in progress");
  aborted_ = false;
  HDC dc = StartDocument();
  pageNumber_ = 1;
  Bind(dc);
  ScaleFont();
}

void TPrinter::EndDoc() {
  if (!dc_) throw EPrinter("Printer is not currently printing");
  HDC dc = dc_;
  Bind(nullptr);
  pageNumber_ = 0;
  ScaleFont();
  EndDocument(dc);
}

void TPrinter::Abort() {
  if (!dc_) return;
  HDC dc = dc_;
  Bind(nullptr);
  pageNumber_ = 0;
  aborted_ = true;
  ScaleFont();
  AbortDocument(dc);
}

void TPrinter::NewPage() {
  if (!dc_) throw EPrinter("Printer is not currently printing");
  HDC old = dc_;
  canvas_->SetHandle(nullptr);  // the font, pen and brush leave the page that ends
  dc_ = nullptr;
  HDC next = NextPage(old);
  Bind(next);
  ++pageNumber_;
}

int TPrinter::DeviceCaps(int index) {
  if (dc_) return GetDeviceCaps(dc_, index);
  const TDCHandle ic(CreateInfoContext());
  return GetDeviceCaps(ic.Get(), index);
}

int TPrinter::PageWidth() { return DeviceCaps(HORZRES); }
int TPrinter::PageHeight() { return DeviceCaps(VERTRES); }
int TPrinter::PixelsPerInch() { return DeviceCaps(LOGPIXELSY); }

void TPrinter::ScaleFont() {
  // Runs on every change of the canvas font. A height other than the one set here last is the caller's,
  // in screen terms; while a document is open the font gets it scaled to the printer.
  TFont* font = canvas_->Font();
  if (font->Height() != fontHeight_) screenHeight_ = font->Height();
  fontHeight_ = dc_ ? MulDiv(screenHeight_, DeviceCaps(LOGPIXELSY), TFont::PixelsPerInch()) : screenHeight_;
  font->SetHeight(fontHeight_);
}

// ------------------------------------------------------------------------------------ the application's

namespace {
TPrinter* g_printer = nullptr;
}

TPrinter& Printer() {
  static TPrinter standard;
  return g_printer ? *g_printer : standard;
}

TPrinter* SetPrinter(TPrinter* printer) {
  TPrinter* old = g_printer;
  g_printer = printer;
  return old;
}

}  // namespace cl
