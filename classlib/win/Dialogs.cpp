#include "Dialogs.h"

#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "Forms.h"
#include "Printers.h"
#include "SysUtils.h"
#include "WinString.h"

namespace cl {

CL_BEGIN_CLASS(TOpenDialog)
    .Str("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName)
    .Str("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter)
    .Int("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex, 1)
    .Str("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir)
    .Set("Options", &TOpenDialog::Options, &TOpenDialog::SetOptions,
         {"ofHideReadOnly", "ofNoChangeDir", "ofPathMustExist", "ofFileMustExist"}, TOpenOptions{})
    .Str("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle)
CL_END_CLASS

TOpenDialog::TOpenDialog(TComponent* owner) : TComponent(owner) {}

namespace {

// "a|b|c|d" as the dialog wants it: "a\0b\0c\0d\0\0". An odd last part (a description without patterns)
// is dropped: the dialog would read past the end of the list otherwise.
std::wstring FilterList(const std::string& filter) {
  std::vector<std::wstring> parts;
  std::wstring part;
  for (wchar_t ch : ToWide(filter)) {
    if (ch == L'|') {
      parts.push_back(part);
      part.clear();
    } else {
      part += ch;
    }
  }
  if (!filter.empty()) parts.push_back(part);
  if (parts.size() % 2 != 0) parts.pop_back();
  std::wstring list;
  for (const auto& p : parts) {
    list += p;
    list += L'\0';
  }
  list += L'\0';
  return list;
}

HWND DialogOwner() {
  // The active form, which stays disabled while the dialog is open; else the application's window.
  if (HWND active = GetActiveWindow()) return active;
  return Application ? Application->Handle() : nullptr;
}

}  // namespace

bool TOpenDialog::Execute() {
  // Long enough for any path the file system takes.
  constexpr DWORD kBufferChars = 32768;
  std::wstring buffer(kBufferChars, L'\0');
  const std::wstring name = ToWide(fileName_);
  if (name.size() < kBufferChars) std::copy(name.begin(), name.end(), buffer.begin());
  const std::wstring filter = FilterList(filter_);
  const std::wstring title = ToWide(title_);
  const std::wstring initialDir = ToWide(initialDir_);

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = DialogOwner();
  ofn.lpstrFilter = filter.size() > 1 ? filter.c_str() : nullptr;
  ofn.nFilterIndex = filterIndex_ > 0 ? static_cast<DWORD>(filterIndex_) : 1;
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = kBufferChars;
  ofn.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_ENABLESIZING;
  if (options_.Contains(ofHideReadOnly)) ofn.Flags |= OFN_HIDEREADONLY;
  if (options_.Contains(ofNoChangeDir)) ofn.Flags |= OFN_NOCHANGEDIR;
  if (options_.Contains(ofPathMustExist)) ofn.Flags |= OFN_PATHMUSTEXIST;
  if (options_.Contains(ofFileMustExist)) ofn.Flags |= OFN_FILEMUSTEXIST;

  if (!GetOpenFileNameW(&ofn)) {
    // Zero: cancelled; anything else: the dialog could not run.
    if (const DWORD error = CommDlgExtendedError())
      throw EOSError(Format("The file dialog failed (error %u)", static_cast<unsigned>(error)));
    return false;
  }
  fileName_ = FromWide(buffer.c_str());
  filterIndex_ = static_cast<int>(ofn.nFilterIndex);
  return true;
}

// ----- printer setup

TPrinterSetupDialog::TPrinterSetupDialog(TComponent* owner) : TComponent(owner) {}

bool TPrinterSetupDialog::Execute() {
  TPrinter& printer = Printer();
  PRINTDLGW pd{};
  pd.lStructSize = sizeof pd;
  pd.hwndOwner = GetActiveWindow();
  if (!pd.hwndOwner && Application) pd.hwndOwner = Application->Handle();
  pd.hDevMode = printer.DevMode();  // raises when there is no printer at all
  pd.hDevNames = printer.DevNames();
  pd.Flags = PD_PRINTSETUP | PD_NOWARNING;
  // The dialog may replace the blocks it is given (freeing them); the printer owns what comes back.
  printer.ReleaseDevice();
  const BOOL ok = PrintDlgW(&pd);
  printer.SetDevice(pd.hDevMode, pd.hDevNames);
  if (!ok && CommDlgExtendedError() != 0) throw EPrinter("The printer setup dialog could not be shown");
  return ok != FALSE;
}

// ---------------------------------------------------------------------------------------------------------
// ShowMessage.

void ShowMessage(const std::string& text) {
  HWND owner = GetActiveWindow();
  if (!owner && Application) owner = Application->Handle();
  const std::string title = Application ? Application->Title() : std::string();
  MessageBoxW(owner, ToWide(text).c_str(), ToWide(title).c_str(), MB_OK);
}

}  // namespace cl
