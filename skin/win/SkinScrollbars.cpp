#include "SkinScrollbars.h"

#include <algorithm>
#include <initializer_list>
#include <string>

#include "DeviceContext.h"
#include "Graphics.h"
#include "ImgUtil.h"
#include "SkinDraw.h"
#include "WinSkinData.h"

namespace skin {

namespace {

constexpr int kScrollArrowFrames = 23;
constexpr int kTrackFrames = 4;
// Frames of the arrow strip: normal, and pressed one after.
constexpr int kLeftArrow = 1, kRightArrow = 5, kUpArrow = 9, kDownArrow = 13;
constexpr int kTrackEnabled = 1, kTrackDisabled = 3;

int RectW(const RECT& r) { return r.right - r.left; }
int RectH(const RECT& r) { return r.bottom - r.top; }

void FillColor(HDC dc, const RECT& rect, cl::TColor color) {
  const cl::TBrushHandle brush(CreateSolidBrush(cl::ColorToRGB(color)));
  FillRect(dc, &rect, brush.Get());
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// The overlay.

TWScrollbar::TWScrollbar(TSkinControl* painter)
    : TCustomControl(nullptr), painter_(painter), arrowSize_(GetSystemMetrics(SM_CXHSCROLL)) {}

TWScrollbar::~TWScrollbar() { *alive_ = false; }

void TWScrollbar::AttachToControl(cl::TWinControl* control, int kind) { Attach(control->Handle(), kind); }

void TWScrollbar::AttachToHandle(HWND wnd, int kind) { Attach(wnd, kind); }

void TWScrollbar::Attach(HWND wnd, int kind) {
  target_ = wnd;
  kind_ = kind;
  HandleNeeded();
  Reposition(wnd);
}

void TWScrollbar::CreateParams(cl::TCreateParams& params) {
  inherited::CreateParams(params);
  // A sibling of the target, in its parent's window, shown only over a visible bar.
  params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  params.WndParent = GetParent(target_);
  params.Background = nullptr;
}

bool TWScrollbar::BarInfo(SCROLLBARINFO& info) const {
  info = SCROLLBARINFO{};
  info.cbSize = sizeof(info);
  return target_ && GetScrollBarInfo(target_, kind_ == kHorzBar ? OBJID_HSCROLL : OBJID_VSCROLL, &info);
}

void TWScrollbar::HideBar() {
  if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
  visible_ = false;
}

void TWScrollbar::Reposition(HWND wnd) {
  target_ = wnd;
  SCROLLBARINFO info;
  visible_ = BarInfo(info);
  if (!visible_ || !HandleAllocated()) return;
  if (info.rgstate[0] & STATE_SYSTEM_INVISIBLE) {
    HideBar();
    return;
  }
  const RECT screen = info.rcScrollBar;
  POINT topLeft{screen.left, screen.top}, bottomRight{screen.right, screen.bottom};
  ::ScreenToClient(target_, &topLeft);
  ::ScreenToClient(target_, &bottomRight);
  barRect_ = RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
  barOrigin_ = POINT{screen.left, screen.top};
  POINT pos = barOrigin_;
  const HWND self = Handle();
  ::ScreenToClient(GetParent(self), &pos);
  barLength_ = kind_ == kVertBar ? RectH(screen) : RectW(screen);
  visible_ = true;
  // Directly above the target: after the window in front of it, unless that is this overlay already.
  const HWND before = GetWindow(target_, GW_HWNDPREV);
  UINT flags = SWP_NOREDRAW | SWP_NOACTIVATE | SWP_SHOWWINDOW;
  if (before == self) flags |= SWP_NOZORDER;
  SetWindowPos(self, before ? before : HWND_TOP, pos.x, pos.y, RectW(screen), RectH(screen), flags);
  MoveWindow(self, pos.x, pos.y, RectW(screen), RectH(screen), TRUE);
}

POINT TWScrollbar::ScreenPoint(const cl::TMessage& m) const {
  const auto lParam = static_cast<LPARAM>(m.LParam);
  return POINT{static_cast<short>(LOWORD(lParam)) + barOrigin_.x, static_cast<short>(HIWORD(lParam)) + barOrigin_.y};
}

void TWScrollbar::PressBar(const cl::TMessage& m) {
  const POINT p = ScreenPoint(m);
  pressCursor_ = p;
  SCROLLBARINFO info;
  if (BarInfo(info)) pressThumb_ = info.xyThumbTop;
  pressed_ = true;
  ReleaseCapture();
  // The system's own tracking loop runs on the real bar; the target hears its scroll requests.
  const auto alive = alive_;
  SendMessageW(target_, WM_NCLBUTTONDOWN, kind_ == kHorzBar ? HTHSCROLL : HTVSCROLL, MAKELPARAM(p.x, p.y));
  if (!*alive) return;
  pressed_ = false;
  ReleaseCapture();
  Invalidate();
}

void TWScrollbar::ReleaseBar(const cl::TMessage& m) {
  const POINT p = ScreenPoint(m);
  pressed_ = false;
  ReleaseCapture();
  PostMessageW(target_, WM_NCLBUTTONUP, kind_ == kHorzBar ? HTHSCROLL : HTVSCROLL, MAKELPARAM(p.x, p.y));
}

void TWScrollbar::WndProc(cl::TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND:
      m.Result = 1;  // the paint covers all of it
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const auto alive = alive_;
      inherited::WndProc(m);
      if (*alive && target_) PressBar(m);
      return;
    }
    case WM_LBUTTONUP: {
      const auto alive = alive_;
      inherited::WndProc(m);
      if (*alive && target_) ReleaseBar(m);
      return;
    }
    default:
      inherited::WndProc(m);
  }
}

void TWScrollbar::UpdateThumb(const SCROLLBARINFO& info) {
  if (scrollPart_ != kScrollThumbTrack) {
    thumbStart_ = info.xyThumbTop;
    thumbEnd_ = info.xyThumbBottom;
    return;
  }
  // Dragged: the thumb follows the cursor between the arrows while the system tracks the real one.
  POINT cursor{};
  GetCursorPos(&cursor);
  const int moved = kind_ == kVertBar ? cursor.y - pressCursor_.y : cursor.x - pressCursor_.x;
  const int size = thumbEnd_ - thumbStart_;
  const int start = std::max(arrowSize_, std::min(pressThumb_ + moved, barLength_ - arrowSize_ - size));
  thumbStart_ = start;
  thumbEnd_ = start + size;
}

void TWScrollbar::Paint() {
  TSkinData* data = painter_ ? painter_->Data() : nullptr;
  if (!data || !data->Scrollbar || !SkinImageBitmap(data->Scrollbar->Image)) return;
  SCROLLBARINFO info;
  if (!BarInfo(info) || (info.rgstate[0] & STATE_SYSTEM_INVISIBLE)) return;
  const bool enabled = (info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) == 0;
  RECT bar = info.rcScrollBar;
  OffsetRect(&bar, -bar.left, -bar.top);
  barLength_ = kind_ == kVertBar ? bar.bottom : bar.right;
  UpdateThumb(info);
  cl::TBitmap work;
  work.SetSize(bar.right, bar.bottom);
  const HDC dc = work.Canvas()->Handle();
  SetStretchBltMode(dc, COLORONCOLOR);
  FillColor(dc, bar, data->Colors.ButtonFace);
  DrawBar(dc, bar, enabled);
  BitBlt(Canvas()->Handle(), 0, 0, bar.right, bar.bottom, dc, 0, 0, SRCCOPY);
}

void TWScrollbar::DrawBar(HDC dc, const RECT& bar, bool enabled) {
  TSkinData& data = *painter_->Data();
  const bool vertical = kind_ == kVertBar;
  int thickness = SkinImageBitmap(data.Scrollbar->Image)->Height();
  if (thickness + 3 < arrowSize_) thickness = arrowSize_;
  // Along the axis (a) and across it (t): a rectangle of the band.
  const auto band = [&](int from, int to) {
    return vertical ? RECT{0, from, thickness, to} : RECT{from, 0, to, thickness};
  };
  const int length = barLength_;
  if (TDataSkinObject* track = vertical ? data.VertScroll.get() : data.HorzScroll.get())
    DrawSkinElement(dc, band(arrowSize_, length - arrowSize_), kTrackFrames,
                    enabled ? kTrackEnabled : kTrackDisabled, *track);
  const int arrow = length < 2 * arrowSize_ ? length / 2 : arrowSize_;
  const bool pressedFirst = pressed_ && scrollPart_ == kScrollLineUp;
  const bool pressedSecond = pressed_ && scrollPart_ == kScrollLineDown;
  const int first = (vertical ? kUpArrow : kLeftArrow) + (pressedFirst ? 1 : 0);
  const int second = (vertical ? kDownArrow : kRightArrow) + (pressedSecond ? 1 : 0);
  DrawFrameKeyed(dc, band(0, arrow), kScrollArrowFrames, first, data.Scrollbar->Image);
  DrawFrameKeyed(dc, band(length - arrow, length), kScrollArrowFrames, second, data.Scrollbar->Image);
  if (!enabled || thumbEnd_ <= thumbStart_) return;
  TDataSkinObject* thumb = vertical ? data.VertScrollThumb.get() : data.HorzScrollThumb.get();
  cl::TBitmap* image = thumb ? SkinImageBitmap(thumb->Image) : nullptr;
  if (!image) return;
  const RECT r = band(thumbStart_, thumbEnd_);
  const int frame = pressed_ && scrollPart_ == kScrollThumbTrack ? 2 : 1;
  DrawNineSlice(dc, cl::TRect{r.left, r.top, r.right, r.bottom}, *image, false, false, thumb->Trans == 1,
                thumb->FrameCount, frame, thumb->Margins);
}

// ---------------------------------------------------------------------------------------------------------
// The pair of overlays.

void TScrollbarPair::Create(TSkinControl* painter, cl::TWinControl* control) {
  horz_ = std::make_unique<TWScrollbar>(painter);
  horz_->AttachToControl(control, kHorzBar);
  vert_ = std::make_unique<TWScrollbar>(painter);
  vert_->AttachToControl(control, kVertBar);
}

void TScrollbarPair::Create(TSkinControl* painter, HWND wnd) {
  horz_ = std::make_unique<TWScrollbar>(painter);
  horz_->AttachToHandle(wnd, kHorzBar);
  vert_ = std::make_unique<TWScrollbar>(painter);
  vert_->AttachToHandle(wnd, kVertBar);
}

void TScrollbarPair::Free() noexcept {
  horz_.reset();
  vert_.reset();
}

void TScrollbarPair::Reposition(HWND wnd) {
  if (horz_) horz_->Reposition(wnd);
  if (vert_) vert_->Reposition(wnd);
}

void TScrollbarPair::Hide() {
  if (horz_) horz_->HideBar();
  if (vert_) vert_->HideBar();
}

void TScrollbarPair::InvalidateVisible() {
  for (TWScrollbar* bar : {horz_.get(), vert_.get()})
    if (bar && bar->BarVisible()) bar->Invalidate();
}

void TScrollbarPair::FillCorner(HWND target, cl::TColor color) {
  if (!horz_ || !vert_ || !horz_->BarVisible() || !vert_->BarVisible()) return;
  // The square lies in the frame, outside the client area: drawn on the window's own context.
  RECT window{};
  POINT origin{0, 0};
  if (!GetWindowRect(target, &window) || !ClientToScreen(target, &origin)) return;
  RECT corner{vert_->BarRect().left, horz_->BarRect().top, vert_->BarRect().right, horz_->BarRect().bottom};
  OffsetRect(&corner, origin.x - window.left, origin.y - window.top);
  const cl::TWindowDC dc(target, cl::TWindowDC::dcWholeWindow);
  if (dc) FillColor(dc.Get(), corner, color);
}

// ---------------------------------------------------------------------------------------------------------
// Painters with overlays.

TSkinScrollbar::~TSkinScrollbar() { bars_.Free(); }

void TSkinScrollbar::AttachScrollbars(cl::TWinControl* control, TSkinData* data, TWinSkinForm* form) {
  if (!control || control != Owner() || State() != kPainterNew) return;
  AttachUnbuffered(form, data, false);
  bars_.Create(this, control);
  if (!control->Visible()) bars_.Hide();
}

void TSkinScrollbar::RestoreColor() {
  TSkinControl::RestoreColor();
  if (State() != kPainterDestroyed) bars_.Free();
}

void TSkinScrollbar::RepositionBars() {
  if (Control() && Control()->HandleAllocated()) bars_.Reposition(Control()->Handle());
}

void TSkinScrollbar::AfterMessage(cl::TMessage& m) {
  switch (m.Msg) {
    case WM_SIZE:
      Redraw();
      break;
    case WM_NCPAINT:
      RepositionBars();
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (TWScrollbar* bar = bars_.ForMessage(m.Msg)) {
        bar->SetScrollPart(LOWORD(m.WParam));
        bar->Invalidate();
      }
      break;
    case WM_MOUSEWHEEL:
      bars_.InvalidateVisible();
      break;
    case cl::CM_VISIBLECHANGED:
      if (m.WParam == 0) bars_.Hide();
      break;
    default:
      TSkinControl::AfterMessage(m);
      break;
  }
}

void TSkinScrollbar::DrawSkin(HDC, const RECT&) {
  bars_.InvalidateVisible();
  if (Control() && Control()->HandleAllocated()) bars_.FillCorner(Control()->Handle(), FaceColor());
}

TSkinScrollbarH::~TSkinScrollbarH() { bars_.Free(); }

void TSkinScrollbarH::AttachHandle(HWND wnd, TSkinData* data, TWinSkinForm* form) {
  if (State() != kPainterNew) return;
  TSkinControl::AttachHandle(wnd, data, form);
  bars_.Create(this, wnd);
}

void TSkinScrollbarH::RestoreColor() {
  TSkinControl::RestoreColor();
  if (State() != kPainterDestroyed) bars_.Free();
}

void TSkinScrollbarH::RepositionBars() {
  if (Handle()) bars_.Reposition(Handle());
}

void TSkinScrollbarH::AfterMessage(cl::TMessage& m) {
  if (!IsWindowVisible(Handle()) && VertBar()) VertBar()->HideBar();
  switch (m.Msg) {
    case WM_SIZE:
    case WM_NCPAINT:
      RepositionBars();
      Redraw();
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (TWScrollbar* bar = bars_.ForMessage(m.Msg)) {
        bar->SetScrollPart(LOWORD(m.WParam));
        bar->Invalidate();
      }
      break;
    default:
      TSkinControl::AfterMessage(m);
      break;
  }
}

void TSkinScrollbarH::DrawSkin(HDC, const RECT&) {
  bars_.InvalidateVisible();
  if (Handle()) bars_.FillCorner(Handle(), FaceColor());
}

// ---------------------------------------------------------------------------------------------------------
// Size grips, dialog pages.

bool TSkinSizer::IsSizeGrip(HWND wnd) {
  return (GetWindowLongW(wnd, GWL_STYLE) & (SBS_SIZEGRIP | SBS_SIZEBOX)) != 0;
}

void TSkinSizer::DrawSkin(HDC dc, const RECT& rect) {
  if (IsSizeGrip(Handle())) FillColor(dc, rect, FaceColor());
}

bool TSkinBoxH::BeforeMessage(cl::TMessage& m) {
  if (m.Msg != WM_ERASEBKGND) return TSkinControl::BeforeMessage(m);
  RECT r{};
  GetWindowRect(Handle(), &r);
  OffsetRect(&r, -r.left, -r.top);
  FillColor(reinterpret_cast<HDC>(m.WParam), r, FaceColor());
  m.Result = 0;
  return false;
}

// ---------------------------------------------------------------------------------------------------------
// Glyphs for another vendor's check box.

// The control draws itself from the glyphs it is given: the painter only registers, hears none of its
// messages and leaves its colour alone.
void TSkinObjImage::Attach(TWinSkinForm* form, TSkinData* data, bool) {
  if (State() != kPainterNew || !BindOwner(false)) return;
  Register(form, data);
  if (checkGlyphs_) BuildGlyphs();
  MarkAttached();
}

void TSkinObjImage::ApplySkinColor() {
  if (checkGlyphs_) BuildGlyphs();
}

void TSkinObjImage::RestoreColor() {
  if (checkGlyphs_) SetPropByName(Control(), "UseCustomGlyphs", "false");
}

void TSkinObjImage::BuildGlyphs() {
  TSkinData* data = Data();
  cl::TBitmap* image = data ? SkinImageBitmap(data->Buttons.CheckButtonImage) : nullptr;
  const int frames = data ? data->Buttons.CheckButtonFrame : 0;
  if (!image || frames < 1) return;
  const int w = image->Width() / frames, h = image->Height();
  if (w < 1 || h < 1) return;
  // The check box's nine cells: unchecked, checked, grayed, each normal, then hot, then down.
  cl::TBitmap strip;
  strip.SetSize(9 * w, h);
  const HDC to = strip.Canvas()->Handle();
  const HDC from = image->Canvas()->Handle();
  const auto copy = [&](int source, std::initializer_list<int> cells) {
    if (source > frames) return;
    for (int cell : cells) BitBlt(to, (cell - 1) * w, 0, w, h, from, (source - 1) * w, 0, SRCCOPY);
  };
  copy(1, {1, 4});
  copy(2, {2, 5});
  copy(3, {7});
  copy(4, {8});
  if (frames == 5) copy(5, {3, 6, 9});
  auto* glyphs = dynamic_cast<cl::TBitmap*>(GetObjectPropByName(Control(), "CustomGlyphs", cl::TBitmap::StaticClass()));
  if (!glyphs) return;
  glyphs->Assign(&strip);
  SetPropByName(Control(), "transparentcolor", std::to_string(kSkinKeyColor));
  // Off and on again: the control reloads its glyphs.
  SetPropByName(Control(), "UseCustomGlyphs", "false");
  SetPropByName(Control(), "UseCustomGlyphs", "true");
}

}  // namespace skin
