#include "SaPathLabel.h"

#include <windows.h>

#include "Colors.h"
#include "WinString.h"

namespace toolkit {

namespace {

std::string CurrentDir() {
  const DWORD n = GetCurrentDirectoryW(0, nullptr);
  if (n == 0) return {};
  std::wstring dir(n, L'\0');
  dir.resize(GetCurrentDirectoryW(n, dir.data()));
  return cl::FromWide(dir);
}

}  // namespace

TSaPathLabel::TSaPathLabel(cl::TComponent* owner) : TLabel(owner) {
  SetAutoSize(false);
  SetWordWrap(false);
  SetCaption(CurrentDir());
}

void TSaPathLabel::Paint() {
  cl::TCanvas* canvas = Canvas();
  const cl::TRect client = ClientRect();
  if (!Transparent()) {
    canvas->Brush()->SetColor(Color());
    canvas->Brush()->SetStyle(cl::bsSolid);
    canvas->FillRect(client);
  }
  canvas->Brush()->SetStyle(cl::bsClear);
  UINT align = DT_LEFT;
  if (Alignment() == cl::taRightJustify) align = DT_RIGHT;
  if (Alignment() == cl::taCenter) align = DT_CENTER;
  DrawPathText(RECT{client.Left, client.Top, client.Right, client.Bottom}, align);
}

void TSaPathLabel::DrawPathText(RECT rect, UINT flags) {
  cl::TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  if (!Enabled()) canvas->Font()->SetColor(cl::clGrayText);
  HDC dc = canvas->Handle();
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, cl::ColorToRGB(canvas->Font()->Color()));
  std::wstring text = cl::ToWide(Caption());
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
            flags | DT_PATH_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE);
}

}  // namespace toolkit
