#include "SkinEdits.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "DeviceContext.h"
#include "Graphics.h"
#include "SkinRanges.h"
#include "WinSkinData.h"
#include "WinSkinDlg.h"

namespace skin {

namespace {

bool IsUpDownClass(const std::string& name) {
  return name == "msctls_updown32" || name.find("spin") != std::string::npos ||
         name.find("updown") != std::string::npos;
}

void Frame(HDC dc, const RECT& rect, COLORREF color) {
  const cl::TBrushHandle brush(CreateSolidBrush(color));
  FrameRect(dc, &rect, brush.Get());
}

}  // namespace

bool TSkinEdit::BeforeMessage(cl::TMessage& m) {
  if (m.Msg != WM_PRINT || !m.WParam) return TSkinControl::BeforeMessage(m);
  // The field's own printing may leave its client clip in the caller's DC; the frame lies outside it.
  const HDC dc = reinterpret_cast<HDC>(m.WParam);
  const int saved = SaveDC(dc);
  CallDefault(m);
  if (saved) RestoreDC(dc, saved);
  PrintFrame(dc);
  return false;
}

void TSkinEdit::AfterMessage(cl::TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT:
      // A paint into a caller's DC covers the client area only: the frame lies outside it.
      if (!m.WParam) PaintFrame(nullptr);
      break;
    case WM_NCPAINT:
      // The system's border was drawn again over ours.
      PaintFrame(nullptr);
      break;
    case WM_PRINT:
      PrintFrame(nullptr);
      break;
    default:
      TSkinControl::AfterMessage(m);
      break;
  }
}

void TSkinEdit::FindUpDown() {
  for (HWND child = GetTopWindow(Handle()); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsUpDownClass(LowerWindowClassName(child))) continue;
    auto* painter = new TSkinUpDown(Owner());
    try {
      painter->AttachHandle(child, Data(), Form());
    } catch (const std::exception&) {
      delete painter;
      return;
    }
    painter->SetInsideEdit(true);
    upDown_ = painter;
    return;
  }
}

void TSkinEdit::DrawSkin(HDC dc, const RECT& rect) {
  if (!upDown_) FindUpDown();
  RECT client{};
  GetClientRect(Handle(), &client);
  if (client.right == rect.right - rect.left || client.bottom == rect.bottom - rect.top) return;
  Frame(dc, rect, cl::ColorToRGB(Data() ? Data()->Colors.ButtonShadow : cl::clBtnShadow));
  RECT inner = rect;
  InflateRect(&inner, -1, -1);
  Frame(dc, inner, RGB(255, 255, 255));
}

void TSkinEdit::PrintFrame(HDC dc) {
  RECT window{};
  if (!GetWindowRect(Handle(), &window)) return;
  const RECT r{0, 0, window.right - window.left, window.bottom - window.top};
  RECT client{};
  GetClientRect(Handle(), &client);
  if (client.right + 2 >= r.right || client.bottom + 2 >= r.bottom) return;
  const auto draw = [&](HDC target) {
    RECT inner = r;
    InflateRect(&inner, -1, -1);
    FrameRect(target, &inner, static_cast<HBRUSH>(GetCurrentObject(target, OBJ_BRUSH)));
    Frame(target, r, cl::ColorToRGB(Data() ? Data()->Colors.ButtonShadow : cl::clBtnShadow));
  };
  if (dc) {
    draw(dc);
  } else if (const cl::TWindowDC own(Handle(), cl::TWindowDC::dcWholeWindow); own) {
    draw(own.Get());
  }
}

}  // namespace skin
