// The tool window frame's drawing: docked (a thin frame with grips and a small close button) and
// floating (a raised frame, a small caption bar and a close button).
#include <string>

#include "DeviceContext.h"
#include "ToolCaptionText.h"
#include "ToolDockCommon.h"
#include "ToolDockGeometry.h"
#include "ToolWinFrame.h"
#include "WinString.h"

namespace toolkit {

namespace {

struct TWindowGeometry {
  RECT window;  // at (0, 0)
  RECT client;  // in window coordinates
};

TWindowGeometry GeometryOf(HWND wnd) {
  RECT screen{};
  GetWindowRect(wnd, &screen);
  RECT client{};
  GetClientRect(wnd, &client);
  POINT origin{0, 0};
  ClientToScreen(wnd, &origin);
  OffsetRect(&client, origin.x - screen.left, origin.y - screen.top);
  return {{0, 0, screen.right - screen.left, screen.bottom - screen.top}, client};
}

RECT Shrunk(RECT r, int by) noexcept {
  InflateRect(&r, -by, -by);
  return r;
}

void ExcludeClip(HDC dc, const RECT& r) { ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom); }

void DrawGrips(HDC dc, const TDockedFrameOptions& o, int b, int start, int end) {
  const int grips = o.dragHandleStyle == dhDouble ? 2 : o.dragHandleStyle == dhSingle ? 1 : 0;
  int e = FirstGripOffset(o.closeButtonWhenDocked, o.dragHandleStyle) + 2;
  const bool vertical = o.orientation == kDockVertical;
  for (int i = 0; i < grips; ++i, e += 3) {
    RECT grip = vertical ? RECT{start, e, end, e + 3} : RECT{e, start, e + 3, end};
    DrawEdge(dc, &grip, BDR_RAISEDINNER, BF_RECT | BF_MIDDLE);
    if (vertical)
      SetPixel(dc, b + 1, e, GetSysColor(COLOR_BTNHIGHLIGHT));
    else
      SetPixel(dc, e, b + 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    ExcludeClip(dc, grip);
  }
}

// The drag handle: grips, the close button and, without a background, the strip's fill around them.
void DrawHandle(HDC dc, const TDockedFrame& frame, const TWindowGeometry& g, HBRUSH brush) {
  const cl::TSavedDC saved(dc);
  const TDockedFrameOptions& o = frame.options;
  const bool vertical = o.orientation == kDockVertical;
  const int clientWidth = g.client.right - g.client.left;
  const int b = vertical ? clientWidth : g.client.bottom - g.client.top;
  const int c = b + 2;
  const int d = o.HandleSize();
  int start = 2, end = c;
  if (o.closeButtonWhenDocked) {
    if (vertical)
      end = b - d + 4;
    else
      start = d;
  }
  DrawGrips(dc, o, b, start, end);
  if (o.closeButtonWhenDocked) {
    RECT button = DockedCloseButtonRect(o.orientation, clientWidth);
    DrawFrameControl(dc, &button, DFC_CAPTION, DFCS_CAPTIONCLOSE | (frame.closePressed ? DFCS_PUSHED : 0));
    ExcludeClip(dc, button);
  }
  if (!frame.background) {
    const RECT strip = vertical ? RECT{2, 2, c, d + 2} : RECT{2, 2, d + 2, c};
    FillRect(dc, &strip, brush);
  }
}

bool GradientCaptionsOn() {
  BOOL on = FALSE;
  return SystemParametersInfoW(SPI_GETGRADIENTCAPTIONS, 0, &on, 0) && on;
}

// The system's own small caption, looked up where it is needed: a system without it gets ours.
bool DrawSystemCaption(HWND wnd, HDC dc, const RECT& r, UINT flags) {
  using TDrawCaption = BOOL(WINAPI*)(HWND, HDC, const RECT*, UINT);
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  auto draw =
      user32 ? reinterpret_cast<TDrawCaption>(reinterpret_cast<void*>(GetProcAddress(user32, "DrawCaption"))) : nullptr;
  if (!draw) return false;
  draw(wnd, dc, &r, flags);
  return true;
}

int CaptionBorderColor(bool gradient, bool inactive) {
  if (gradient) return inactive ? COLOR_GRADIENTINACTIVECAPTION : COLOR_GRADIENTACTIVECAPTION;
  return inactive ? COLOR_INACTIVECAPTION : COLOR_ACTIVECAPTION;
}

void DrawFramePart(HDC dc, const TWindowGeometry& g) {
  RECT r = g.window;
  DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
  const cl::TSavedDC saved(dc);
  ExcludeClip(dc, g.client);
  const RECT inner = Shrunk(g.window, 2);
  FillRect(dc, &inner, GetSysColorBrush(COLOR_BTNFACE));
}

void DrawCaptionBar(HWND wnd, HDC dc, const TFloatingFrame& frame, int clientWidth, bool gradient) {
  const TFloatingFrameOptions& o = frame.options;
  const RECT full = CaptionRect(o.resizable, clientWidth, false);
  const RECT bar = CaptionRect(o.resizable, clientWidth, o.closeButton);
  const UINT flags = DC_SMALLCAP | DC_TEXT | (o.captionInactive ? 0 : DC_ACTIVE) | (gradient ? DC_GRADIENT : 0);
  if (!DrawSystemCaption(wnd, dc, bar, flags)) DrawToolCaption(wnd, dc, bar, o.captionInactive);
  // The caption is a pixel lower than the space it has: the line left below it is the face's.
  const RECT line{full.left, full.bottom, full.right, full.bottom + 1};
  FillRect(dc, &line, GetSysColorBrush(COLOR_BTNFACE));
}

}  // namespace

void DrawDockedFrame(HWND wnd, HDC dc, const TDockedFrame& frame) {
  const TWindowGeometry g = GeometryOf(wnd);
  const cl::TBrushHandle brush(CreateSolidBrush(frame.color));
  RECT r = g.window;
  if (frame.borderStyle == cl::bsNone)
    FrameRect(dc, &r, brush.Get());
  else
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
  const RECT ring = Shrunk(r, 1);
  if (frame.background) {
    const cl::TSavedDC saved(dc);
    IntersectClipRect(dc, ring.left, ring.top, ring.right, ring.bottom);
    ExcludeClip(dc, g.client);
    frame.background(dc);
  } else {
    FrameRect(dc, &ring, brush.Get());
  }
  if (frame.options.allowDrag) DrawHandle(dc, frame, g, brush.Get());
}

void DrawFloatingFrame(HWND wnd, HDC dc, const TFloatingFrame& frame, unsigned parts) {
  const TWindowGeometry g = GeometryOf(wnd);
  const TFloatingFrameOptions& o = frame.options;
  const bool gradient = GradientCaptionsOn();
  if (parts & kFramePart) DrawFramePart(dc, g);
  if (!o.showCaption) return;
  const int clientWidth = g.client.right - g.client.left;
  const RECT button = FloatingCloseButtonRect(o.resizable, clientWidth);
  if (parts & kCaptionPart) {
    const cl::TSavedDC saved(dc);
    if ((parts & kCloseButtonPart) && o.closeButton) ExcludeClip(dc, button);
    DrawCaptionBar(wnd, dc, frame, clientWidth, gradient);
  }
  if (!o.closeButton) return;
  if (parts & kCloseButtonPart) {
    RECT face = Shrunk(button, 1);
    DrawFrameControl(dc, &face, DFC_CAPTION, DFCS_CAPTIONCLOSE | (frame.closePressed ? DFCS_PUSHED : 0));
  }
  if (parts & kCaptionPart) FrameRect(dc, &button, GetSysColorBrush(CaptionBorderColor(gradient, o.captionInactive)));
}

void PaintDockedFrame(HWND wnd, const TDockedFrame& frame, HRGN updateRegion) {
  TakeQueuedRedraws(wnd, kRedrawDockedFrame);
  if (!IsWindow(wnd)) return;
  const cl::TWindowDC dc(wnd, cl::TWindowDC::dcWholeWindow);
  if (!dc) return;
  ClipToUpdateRegion(wnd, dc.Get(), updateRegion);
  DrawDockedFrame(wnd, dc.Get(), frame);
}

void PaintFloatingFrame(HWND wnd, const TFloatingFrame& frame, unsigned parts, HRGN updateRegion) {
  parts |= TakeQueuedRedraws(wnd, kRedrawFloatingParts);
  if (!IsWindow(wnd)) return;
  const cl::TWindowDC dc(wnd, cl::TWindowDC::dcWholeWindow);
  if (!dc) return;
  ClipToUpdateRegion(wnd, dc.Get(), updateRegion);
  DrawFloatingFrame(wnd, dc.Get(), frame, parts);
}

void DrawToolCaption(HWND wnd, HDC dc, RECT captionRect, bool inactive) {
  const int back = inactive ? COLOR_INACTIVECAPTION : COLOR_ACTIVECAPTION;
  FillRect(dc, &captionRect, GetSysColorBrush(back));
  InflateRect(&captionRect, -1, 0);
  const cl::TSavedDC saved(dc);
  const cl::TFontHandle font(CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"MS Sans Serif"));
  const cl::TSelectedObject selected(dc, font.Get());
  const int length = GetWindowTextLengthW(wnd);
  std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
  wide.resize(static_cast<size_t>(GetWindowTextW(wnd, wide.data(), length + 1)));
  const std::string text =
      FitCaptionText(cl::FromWide(wide), captionRect.right - captionRect.left, [dc](const std::string& s) {
        const std::wstring w = cl::ToWide(s);
        SIZE size{};
        GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &size);
        return static_cast<int>(size.cx);
      });
  SetBkColor(dc, GetSysColor(back));
  SetTextColor(dc, GetSysColor(inactive ? COLOR_INACTIVECAPTIONTEXT : COLOR_CAPTIONTEXT));
  std::wstring out = cl::ToWide(text);
  DrawTextW(dc, out.data(), static_cast<int>(out.size()), &captionRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

}  // namespace toolkit
