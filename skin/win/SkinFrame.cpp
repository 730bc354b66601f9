#include "SkinFrame.h"

#include <algorithm>
#include <optional>

#include "Colors.h"
#include "DeviceContext.h"
#include "ImgUtil.h"
#include "SysButtons.h"

namespace skin {

namespace {

bool Skinned(const TNCFrameState& s) {
  return s.SkinState == kSkinStateSkinned || s.SkinState == kSkinStateRecolouring;
}

bool MDIChildNotNormal(const TNCFrameState& s) {
  return s.WindowKind == TWindowKind::MDIChild && s.WindowState != TWindowState::Normal;
}

TDataSkinBorder& Border(TSkinDescription& skin, int index) {
  switch (index) {
    case 1: return skin.BorderLeft;
    case 2: return skin.BorderRight;
    case 3: return skin.BorderTop;
    default: return skin.BorderBottom;
  }
}

SIZE WindowSize(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  return {r.right - r.left, r.bottom - r.top};
}

std::unique_ptr<cl::TBitmap> NewBitmap(int width, int height) {
  auto b = std::make_unique<cl::TBitmap>();
  b->SetPixelFormat(cl::pf24bit);
  b->SetSize(width, height);
  return b;
}

HFONT CaptionFontOf(const TNCFrameState& s) {
  return s.CaptionFont ? s.CaptionFont.Get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// Width of the window text in the caption font, measured on the window's DC.
int CaptionTextWidth(const TNCFrameState& s) {
  const std::wstring text = WindowCaption(s.Wnd);
  const cl::TWindowDC dc(s.Wnd);
  const cl::TSelectedObject font(dc.Get(), CaptionFontOf(s));
  SIZE size{};
  GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

// A message dialog as wide as its title needs; its controls move right by half the widening. Gives the
// new window width.
int WidenMessageDialog(const TNCFrameState& s, int width) {
  const TDataSkinTitle& title = s.Skin->Title;
  const int needed = title.Margins.Left + CaptionTextWidth(s) + title.Margins.Right;
  if (width >= needed) return width;
  const int shift = (needed - width) / 2;
  for (HWND child = GetWindow(s.Wnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, s.Wnd, reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(child, nullptr, r.left + shift, r.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSENDCHANGING | SWP_NOOWNERZORDER);
  }
  return needed;
}

// The region of a border's non-key pixels, the border painted at the part's size and placed at (x, y).
cl::TRegionHandle RegionFromBorder(const TNCFrameState& s, int index, int x, int y, int width, int height) {
  auto bitmap = NewBitmap(width, height);
  PaintBorder(s, index, RECT{0, 0, width, height}, bitmap->Canvas()->Handle());
  return RegionFromBitmap(*bitmap, x, y, 1, 1, 1, kSkinKeyColor);
}

// The top strip's region: from the title bitmap when it shows the window at this width (caption and
// buttons count), else from the top border painted fresh.
cl::TRegionHandle RegionFromTop(const TNCFrameState& s, int width) {
  const int stripWidth = width - s.Left - s.Right;
  cl::TBitmap* title = s.TitleBitmap.get();
  if (!title || title->Empty() || title->Width() != width || title->Height() != s.Top)
    return RegionFromBorder(s, 3, s.Left, 0, stripWidth, s.Top);
  auto strip = NewBitmap(stripWidth, s.Top);
  BitBlt(strip->Canvas()->Handle(), 0, 0, stripWidth, s.Top, title->Canvas()->Handle(), s.Left, 0, SRCCOPY);
  return RegionFromBitmap(*strip, s.Left, 0, 1, 1, 1, kSkinKeyColor);
}

cl::TRegionHandle RectRegion(int left, int top, int right, int bottom) {
  return cl::TRegionHandle(CreateRectRgn(left, top, right, bottom));
}

// a := a ∪ b (an absent part adds nothing).
void Unite(cl::TRegionHandle& a, const cl::TRegionHandle& b) {
  if (!b) return;
  if (!a) a = RectRegion(0, 0, 0, 0);
  CombineRgn(a.Get(), a.Get(), b.Get(), RGN_OR);
}

// The window's shape at w by h: the client area, and of each border its non-key pixels where the border
// is transparent, else its whole rectangle.
cl::TRegionHandle BuildShapedRegion(const TNCFrameState& s, int w, int h) {
  const TSkinDescription& skin = *s.Skin;
  cl::TRegionHandle region = RectRegion(s.Left, s.Top, w - s.Right, h - s.Bottom);
  if (s.BorderKind == TBorderKind::None) return region;

  cl::TRegionHandle left =
      skin.BorderLeft.Trans == 1 && h > 1 ? RegionFromBorder(s, 1, 0, 0, s.Left, h) : RectRegion(0, 0, s.Left, h);
  cl::TRegionHandle right = skin.BorderRight.Trans == 1 && h > 1 ? RegionFromBorder(s, 2, w - s.Right, 0, s.Right, h)
                                                                 : RectRegion(w - s.Right, 0, w, h);
  cl::TRegionHandle bottom = skin.BorderBottom.Trans == 1 && s.Bottom >= 2
                                 ? RegionFromBorder(s, 4, s.Left, h - s.Bottom, w - s.Left - s.Right, s.Bottom)
                                 : RectRegion(s.Left, h - s.Bottom, w - s.Right, h);
  const bool topFromPixels = skin.BorderTop.Trans == 1 && s.Top > 1 && w - s.Left - s.Right > 0;
  cl::TRegionHandle top = topFromPixels ? RegionFromTop(s, w) : RectRegion(s.Left, 0, w - s.Right, s.Top);

  Unite(left, right);
  Unite(top, bottom);
  Unite(left, top);
  Unite(region, left);
  return region;
}

}  // namespace

void ComputeFrameWidths(TNCFrameState& s) {
  if (s.BorderKind == TBorderKind::None) {
    s.Left = s.Top = s.Right = s.Bottom = 0;
    s.MenuBarHeight = 0;
    return;
  }
  const TSkinDescription& skin = *s.Skin;
  auto frames = [](const TDataSkinBorder& b) { return std::max(1, b.FrameCount); };
  s.Left = skin.BorderLeft.Image.Width / frames(skin.BorderLeft);
  s.Right = skin.BorderRight.Image.Width / frames(skin.BorderRight);
  s.Top = skin.BorderTop.Image.Height / frames(skin.BorderTop);
  s.Bottom = skin.BorderBottom.Image.Height / frames(skin.BorderBottom);
}

POINT ScreenToFrame(const TNCFrameState& s, POINT screen) {
  ScreenToClient(s.Wnd, &screen);
  if (s.WindowState != TWindowState::Minimized) {
    screen.x += s.Left;
    screen.y += s.Top + s.MenuBarHeight;
  }
  return screen;
}

LRESULT NCCalcSize(TNCFrameState& s, WPARAM wParam, LPARAM lParam, const std::function<LRESULT()>& callDefault) {
  if (!wParam) {
    callDefault();
    return 0;
  }
  auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
  // The proposed window rectangle, before the system's own frame is taken off it.
  const RECT proposed = params->rgrc[0];
  callDefault();
  if (MDIChildNotNormal(s) || s.BorderKind == TBorderKind::None) {
    params->rgrc[1] = params->rgrc[0];
    return WVR_REDRAW;
  }
  const RECT client{proposed.left + s.Left, proposed.top + s.Top + s.MenuBarHeight, proposed.right - s.Right,
                    proposed.bottom - s.Bottom};
  params->rgrc[0] = client;
  params->rgrc[1] = client;
  return WVR_REDRAW;
}

LRESULT NCHitTest(const TNCFrameState& s, POINT screen, LRESULT defaultResult) {
  if (defaultResult != HTNOWHERE && defaultResult != HTCAPTION) return defaultResult;
  const POINT p = ScreenToFrame(s, screen);
  if (p.y <= 3) return defaultResult;
  if (p.y < s.Top) return HTCAPTION;
  const SIZE size = WindowSize(s.Wnd);
  const bool left = p.x < s.Left, right = p.x >= size.cx - s.Right;
  // Sizing codes on the skin's border and HTMENU only over the bar: else a sizeable window could not be sized.
  if (p.y < s.Top + s.MenuBarHeight && !left && !right) return HTMENU;
  const bool bottom = p.y >= size.cy - s.Bottom;
  if (!left && !right && !bottom) return defaultResult;  // not in the skin frame
  if (s.BorderKind != TBorderKind::Sizeable || s.WindowState != TWindowState::Normal) return HTBORDER;
  if (bottom) return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
  return left ? HTLEFT : HTRIGHT;
}

TNCAnswer NCPaint(TNCFrameState& s, bool paintingOn) {
  if (!paintingOn) return TNCAnswer::Done;
  if (MDIChildNotNormal(s) || s.BorderKind == TBorderKind::None) return TNCAnswer::Default;
  PaintNonClient(s);
  return TNCAnswer::Done;
}

void PaintBorder(const TNCFrameState& s, int index, const RECT& rect, HDC dc) {
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width < 0 || height < 0) return;
  TDataSkinBorder& border = Border(*s.Skin, index);
  cl::TBitmap* image = SkinImageBitmap(border.Image);
  if (!image) return;
  const int frame = s.Active || border.FrameCount == 1 ? 1 : 2;
  auto built = BuildNineSliceBitmap(cl::TRect{0, 0, width, height}, *image, border.Margins, index >= 3,
                                    border.Tile != 1, border.FrameCount, frame);
  if (!built) return;
  BitBlt(dc, rect.left, rect.top, width, height, built->Canvas()->Handle(), 0, 0, SRCCOPY);
}

std::wstring WindowCaption(HWND wnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(wnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(wnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

void PaintCaption(TNCFrameState& s, cl::TCanvas& canvas, const RECT& area) {
  const TDataSkinTitle& title = s.Skin->Title;
  const int textShift = title.Margins.Left, textShiftVert = title.Margins.Top, rightClip = title.Margins.Right;
  const std::wstring text = s.CaptionPrefix + WindowCaption(s.Wnd) + s.CaptionSuffix;
  HDC dc = canvas.Handle();
  const cl::TSelectedObject font(dc, CaptionFontOf(s));
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, cl::ColorToRGB(s.Active ? s.Skin->Colors.TitleTextActive : s.Skin->Colors.TitleTextNoActive));

  RECT r = area;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_NOCLIP);
  r.right += title.TXTBackleft + title.TXTBackRight;
  const int tw = r.right - r.left, th = r.bottom - r.top;
  const int aw = area.right - area.left, ah = area.bottom - area.top;
  int dx = 0;
  if (s.RightToLeft || title.TextAlignment == 2)
    dx = aw - tw - rightClip;
  else if (title.TextAlignment == 0)
    dx = textShift;
  else if (title.TextAlignment == 1)
    dx = (aw - tw) / 2;
  const int dy = (ah - th) / 2 + textShiftVert / 2;
  OffsetRect(&r, dx, dy);

  if (s.InitialStyle & WS_POPUP) {
    if (s.ButtonClip > 5 && s.ButtonClip - 5 < r.right) r.right = s.ButtonClip - 5;
  } else {
    r.right = std::min<LONG>(r.right, area.right - rightClip);
  }
  if (s.BorderKind == TBorderKind::Dialog && title.TextAlignment == 0) r.left -= 16;
  s.CaptionRect = r;

  TSkinImage& back = s.Skin->Title.Image;
  if (cl::TBitmap* image = back.Empty() ? nullptr : SkinImageBitmap(back))
    DrawNineSliceCanvas(canvas, cl::TRect{r.left, area.top, r.right, area.bottom}, *image, false, true, 2,
                        s.Active ? 1 : 2, cl::TRect{title.TXTBackleft, 0, title.TXTBackRight, 0});

  r.left += title.TXTBackleft;
  r.right -= title.TXTBackRight;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
            DT_SINGLELINE | DT_END_ELLIPSIS | (s.RightToLeft ? DT_RIGHT : 0));
  SetBkMode(dc, oldMode);
}

void PaintTitleBar(TNCFrameState& s, HDC dc) {
  const int w = s.PaintedWidth;
  if (!s.TitleBitmap) s.TitleBitmap = NewBitmap(w, s.Top);
  cl::TBitmap& title = *s.TitleBitmap;
  if (title.Width() != w || title.Height() != s.Top) title.SetSize(w, s.Top);
  HDC t = title.Canvas()->Handle();
  // The corners the side borders drew stay under the top border's key pixels.
  BitBlt(t, 0, 0, w, s.Top, dc, 0, 0, SRCCOPY);
  const RECT strip{s.Left, 0, w - s.Right, s.Top};
  PaintBorder(s, 3, strip, t);
  PaintCaption(s, *title.Canvas(), strip);
  ArrangeSysButtons(s);
  PaintSysButtons(s, t);
  BitBlt(dc, 0, 0, w, s.Top, t, 0, 0, SRCCOPY);
  SetBkMode(dc, OPAQUE);
}

void PaintNonClient(TNCFrameState& s, HDC dc) {
  if (!Skinned(s) || s.BorderKind == TBorderKind::None || MDIChildNotNormal(s)) return;
  try {
    std::optional<cl::TWindowDC> own;
    if (!dc) dc = own.emplace(s.Wnd, cl::TWindowDC::dcWholeWindow).Get();
    if (!dc) return;
    RECT window{};
    GetWindowRect(s.Wnd, &window);
    const int w = window.right - window.left, h = window.bottom - window.top;
    s.PaintedWidth = w;
    s.PaintedHeight = h;
    PaintBorder(s, 1, RECT{0, 0, s.Left, h}, dc);
    PaintBorder(s, 2, RECT{w - s.Right, 0, w, h}, dc);
    PaintBorder(s, 4, RECT{s.Left, h - s.Bottom, w - s.Right, h}, dc);
    PaintTitleBar(s, dc);
    if (s.Host && s.MenuBarHeight > 0)
      s.Host->PaintMenuBar(dc, RECT{s.Left, s.Top, w - s.Right, s.Top + s.MenuBarHeight});
  } catch (...) {
    // A frame that cannot be painted now is painted by the next WM_NCPAINT.
  }
  s.HotObject = nullptr;
}

void RefreshFrame(HWND wnd) {
  SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void UpdateFrameSize(TNCFrameState& s, bool recalc) {
  if (s.WindowState == TWindowState::Maximized) {
    RefreshFrame(s.Wnd);
    return;
  }
  // Without recalc the client rectangle kept from before the skin frame is the one to keep; the
  // system's present frame metrics differ between sizeable and fixed frames.
  if (recalc) GetClientRect(s.Wnd, &s.ClientRect);
  int width = s.ClientRect.right - s.ClientRect.left + s.Left + s.Right;
  const int height = s.ClientRect.bottom - s.ClientRect.top + s.Top + s.Bottom + s.MenuBarHeight;
  if (s.MessageDialog && !recalc) width = WidenMessageDialog(s, width);
  SetWindowPos(s.Wnd, nullptr, 0, 0, width, height, SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

void UpdateWindowRegion(TNCFrameState& s) {
  if (s.SkinState == kSkinStateDestroyed || MDIChildNotNormal(s)) return;
  const SIZE size = WindowSize(s.Wnd);
  if (size.cx <= 0 || size.cy <= 0) return;
  if (size.cx == s.RegionWidth && size.cy == s.RegionHeight && s.WindowKind != TWindowKind::MDIChild &&
      s.SkinState != kSkinStateRecolouring)
    return;
  const TSkinDescription& skin = *s.Skin;
  const bool shaped =
      skin.BorderLeft.Trans || skin.BorderRight.Trans || skin.BorderTop.Trans || skin.BorderBottom.Trans;
  cl::TRegionHandle region = shaped ? BuildShapedRegion(s, size.cx, size.cy) : RectRegion(0, 0, size.cx, size.cy);
  s.RegionWidth = size.cx;
  s.RegionHeight = size.cy;
  // The system owns the region from here on and frees the one it replaces.
  if (SetWindowRgn(s.Wnd, region.Get(), TRUE)) region.Release();
  s.RegionHeld = true;
}

void ClearWindowRegion(TNCFrameState& s) {
  if (!s.RegionHeld) return;
  s.TitleBitmap.reset();
  SetWindowRgn(s.Wnd, nullptr, s.WindowKind == TWindowKind::MDIChild);
  s.RegionHeld = false;
  s.RegionWidth = s.RegionHeight = 0;
}

}  // namespace skin
