#include "SkinBoxes.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "ComCtrls.h"
#include "DeviceContext.h"
#include "Graphics.h"
#include "ImgUtil.h"
#include "SkinDraw.h"
#include "SkinFrame.h"
#include "WinSkinData.h"
#include "WinString.h"

namespace skin {

namespace {

bool WindowDisabled(HWND wnd) { return (GetWindowLongW(wnd, GWL_STYLE) & WS_DISABLED) != 0; }

void FillStrip(HDC dc, int left, int top, int right, int bottom, HBRUSH brush) {
  const RECT r{left, top, right, bottom};
  FillRect(dc, &r, brush);
}

cl::TRect ToRect(const RECT& r) { return cl::TRect{r.left, r.top, r.right, r.bottom}; }

// What one panel shows.
struct TPanelLook {
  std::wstring Text;
  UINT Align = DT_LEFT;
  int Edge = kStatusEdgeLowered;
  bool OwnerDraw = false;
};

UINT AlignFlag(cl::TAlignment alignment) {
  switch (alignment) {
    case cl::taRightJustify:
      return DT_RIGHT;
    case cl::taCenter:
      return DT_CENTER;
    default:
      return DT_LEFT;
  }
}

TPanelLook LookOf(const cl::TStatusPanel& panel) {
  TPanelLook look;
  look.Text = cl::ToWide(panel.Text());
  cl::TAlignment alignment = panel.Alignment();
  // Right to left: what is left for the panel lies at its right.
  if (panel.UseRightToLeftAlignment() && alignment != cl::taCenter)
    alignment = alignment == cl::taLeftJustify ? cl::taRightJustify : cl::taLeftJustify;
  look.Align = AlignFlag(alignment);
  look.Edge = panel.Bevel() == cl::pbRaised  ? kStatusEdgeRaised
              : panel.Bevel() == cl::pbNone ? kStatusEdgeFlat
                                             : kStatusEdgeLowered;
  look.OwnerDraw = panel.Style() == cl::psOwnerDraw;
  return look;
}

// A status bar window of no class-library control: its part's text and kind, as the window keeps them.
TPanelLook LookOf(HWND wnd, int index) {
  TPanelLook look;
  const LRESULT info = SendMessageW(wnd, SB_GETTEXTLENGTHW, static_cast<WPARAM>(index), 0);
  const UINT kind = HIWORD(info);
  look.Edge = (kind & SBT_POPOUT) ? kStatusEdgeRaised : (kind & SBT_NOBORDERS) ? kStatusEdgeFlat : kStatusEdgeLowered;
  look.OwnerDraw = (kind & SBT_OWNERDRAW) != 0;
  if (!look.OwnerDraw) {
    std::wstring text(LOWORD(info) + 1u, L'\0');
    SendMessageW(wnd, SB_GETTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    look.Text = text.c_str();
  }
  return look;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// Status bars.

void TSkinStatusBar::DrawStatusEdge(HDC dc, const RECT& rect, int frame) {
  TSkinData* data = Data();
  if (!data || !data->StatusBarEdges || rect.right < rect.left || rect.bottom < rect.top) return;
  TDataSkinObject& edges = *data->StatusBarEdges;
  cl::TBitmap* image = SkinImageBitmap(edges.Image);
  if (!image) return;
  DrawNineSlice(dc, ToRect(rect), *image, false, edges.Tile == 1, false, edges.FrameCount, frame, edges.Margins);
}

void TSkinStatusBar::DrawStatusBevel(HDC dc, const RECT& rect, int frame) {
  if (frame != kStatusEdgeLowered && frame != kStatusEdgeRaised) return;
  const cl::TBrushHandle shadow(CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW)));
  const cl::TBrushHandle highlight(CreateSolidBrush(GetSysColor(COLOR_BTNHIGHLIGHT)));
  HBRUSH topLeft = frame == kStatusEdgeLowered ? shadow.Get() : highlight.Get();
  HBRUSH bottomRight = frame == kStatusEdgeLowered ? highlight.Get() : shadow.Get();
  const RECT& r = rect;
  FillStrip(dc, r.left, r.top, r.right - 1, r.top + 1, topLeft);
  FillStrip(dc, r.left, r.top, r.left + 1, r.bottom - 1, topLeft);
  FillStrip(dc, r.left, r.bottom - 1, r.right, r.bottom, bottomRight);
  FillStrip(dc, r.right - 1, r.top, r.right, r.bottom, bottomRight);
}

void TSkinStatusBar::DrawEdge(HDC dc, const RECT& rect, int frame) {
  TSkinData* data = Data();
  if (data && data->StatusBarEdges && !data->StatusBarEdges->Image.Empty())
    DrawStatusEdge(dc, rect, frame);
  else
    DrawStatusBevel(dc, rect, frame);
}

void TSkinStatusBar::DrawSkin(HDC dc, const RECT& rect) {
  TSkinData* data = Data();
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (!data || width <= 0 || height <= 0) return;
  cl::TBitmap& work = data->WorkBitmap();
  work.SetSize(width, height);
  HDC workDc = work.Canvas()->Handle();
  const RECT local{0, 0, width, height};
  FillSkinColor(workDc, local);

  // The bar's font, plain; the text colour of the skin's edges when it has them.
  cl::TFont font;
  if (Control()) {
    font.Assign(Control()->Font());
  } else if (auto wndFont = reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0))) {
    LOGFONTW log{};
    if (GetObjectW(wndFont, sizeof log, &log)) font.SetHandle(CreateFontIndirectW(&log));
  }
  font.SetStyle({});
  if (data->StatusBarEdges) font.SetColor(data->StatusBarEdges->NormalColour2);
  {
    const cl::TSelectedObject selected(workDc, font.Handle());
    const COLORREF oldText = SetTextColor(workDc, cl::ColorToRGB(font.Color()));
    DrawPanels(workDc, local);
    SetTextColor(workDc, oldText);
  }
  DrawSizeGrip(workDc, local);
  BitBlt(dc, rect.left, rect.top, width, height, workDc, 0, 0, SRCCOPY);
  DrawOwnerPanels(dc);
}

void TSkinStatusBar::DrawPanels(HDC dc, const RECT& rect) {
  auto* bar = dynamic_cast<cl::TStatusBar*>(Control());
  const int count = bar ? bar->Panels()->Count() : static_cast<int>(SendMessageW(Handle(), SB_GETPARTS, 0, 0));
  const bool enabled = !WindowDisabled(Handle());
  if (count <= 0 || SendMessageW(Handle(), SB_ISSIMPLE, 0, 0)) {
    std::wstring text = bar ? cl::ToWide(GetStrPropByName(bar, "SimpleText")) : WindowCaption(Handle());
    DrawEdge(dc, rect, kStatusEdgeLowered);
    if (text.empty()) text = L" ";
    const RECT textRect{rect.left + 2, rect.top, rect.right - 2, rect.bottom};
    DrawCaptionText(dc, textRect, DT_LEFT, enabled, text);
    return;
  }
  for (int i = 0; i < count; ++i) {
    RECT r{};
    if (!SendMessageW(Handle(), SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r))) continue;
    r.right = i == count - 1 ? rect.right : r.right + 2;
    TPanelLook look = bar ? LookOf(*bar->Panels()->Items(i)) : LookOf(Handle(), i);
    DrawEdge(dc, r, look.Edge);
    if (look.OwnerDraw) continue;
    if (look.Text.empty()) look.Text = L" ";
    InflateRect(&r, -2, 0);
    DrawCaptionText(dc, r, look.Align, enabled, look.Text);
  }
}

void TSkinStatusBar::DrawSizeGrip(HDC dc, const RECT& rect) {
  TSkinData* data = Data();
  if (!(GetWindowLongW(Handle(), GWL_STYLE) & SBARS_SIZEGRIP) || !data->ExtraImages) return;
  TDataSkinObject& extra = *data->ExtraImages;
  if (extra.Image.Empty()) return;
  const int w = extra.Image.Width / std::max(extra.FrameCount, 1), h = extra.Image.Height;
  const RECT grip{rect.right - 1 - w, rect.bottom - 1 - h, rect.right - 1, rect.bottom - 1};
  DrawFrameKeyed(dc, grip, extra.FrameCount, kSizeGripFrame, extra.Image);
}

void TSkinStatusBar::DrawOwnerPanels(HDC dc) {
  auto* bar = dynamic_cast<cl::TStatusBar*>(Control());
  if (!bar || !bar->OnDrawPanel) return;
  for (int i = 0; i < bar->Panels()->Count(); ++i) {
    RECT r{};
    if (!SendMessageW(Handle(), SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r))) continue;
    bar->DrawPanel(dc, bar->Panels()->Items(i), cl::TRect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1});
  }
}

// ---------------------------------------------------------------------------------------------------------
// Group boxes.

int TSkinGroupBox::TextHeight(HDC dc, const std::wstring& text) {
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cy;
}

std::wstring TSkinGroupBox::Caption() const {
  std::wstring caption = WindowCaption(Handle());
  if (caption.empty() && Control()) caption = cl::ToWide(GetStrPropByName(Control(), "Caption"));
  return caption;
}

HFONT TSkinGroupBox::CaptionFont() const {
  if (Control()) return Control()->Font()->Handle();
  if (auto font = reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0))) return font;
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// The font's colour, greyed when disabled: a caption in one fixed colour ignored both.
COLORREF TSkinGroupBox::CaptionColor(HDC dc) const {
  if (WindowDisabled(Handle())) return cl::ColorToRGB(cl::clBtnShadow);
  return Control() ? cl::ColorToRGB(Control()->Font()->Color()) : GetTextColor(dc);
}

void TSkinGroupBox::DrawSkin(HDC dc, const RECT& rect) {
  const cl::TSelectedObject font(dc, CaptionFont());
  const int y = TextHeight(dc, L"0") / 2 - 1;

  // The system's frame goes under two rings of the face colour.
  cl::TBrushHandle ownFace;
  HBRUSH face = Data() ? Data()->FaceBrush() : nullptr;
  if (!face) {
    ownFace = cl::TBrushHandle(CreateSolidBrush(cl::ColorToRGB(FaceColor())));
    face = ownFace.Get();
  }
  RECT ring{rect.left, rect.top + y, rect.right, rect.bottom};
  FrameRect(dc, &ring, face);
  InflateRect(&ring, -1, -1);
  FrameRect(dc, &ring, face);

  const cl::TColor shadow = Data() ? Data()->Colors.ButtonShadow : cl::clBtnShadow;
  const cl::TPenHandle pen(CreatePen(PS_SOLID, 1, cl::ColorToRGB(shadow)));
  {
    const cl::TSelectedObject penSelected(dc, pen.Get());
    const cl::TSelectedObject brushSelected(dc, GetStockObject(NULL_BRUSH));
    RoundRect(dc, rect.left + 1, rect.top + y, rect.right - 1, rect.bottom - 1, 5, 5);
  }

  const std::wstring caption = Caption();
  if (caption.empty()) return;
  const COLORREF oldBack = SetBkColor(dc, cl::ColorToRGB(FaceColor()));
  const COLORREF oldText = SetTextColor(dc, CaptionColor(dc));
  RECT textRect{rect.left + 9, rect.top, rect.right, rect.bottom};
  DrawTextWide(dc, caption, textRect, DT_EXPANDTABS);
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBack);
}

// ---------------------------------------------------------------------------------------------------------
// Panels.

void TSkinBox::Attach(TWinSkinForm* form, TSkinData* data, bool useColor) {
  // Bound already: a second colour taken would keep the skin's as the panel's own.
  if (Control()) return;
  if (!BindOwner(useColor)) return;
  Register(form, data);
  TakeFaceColor();
}

void TSkinBox::RestoreColor() {
  TSkinControl::RestoreColor();
  SetState(kPainterColorBack);
}

}  // namespace skin
