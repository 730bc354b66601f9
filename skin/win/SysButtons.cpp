#include "SysButtons.h"

#include <algorithm>

#include "DeviceContext.h"
#include "ImgUtil.h"
#include "SkinFrame.h"

namespace skin {

// ---------------------------------------------------------------------------------------------------------
// Hot and pressed objects.

void TNCObject::MouseDown() {
  TNCFrameState& f = Form();
  if (f.HotObject && f.HotObject != this) f.HotObject->MouseLeave();
  if (!Visible) return;
  f.HotObject = this;
  State = kNCPressed;
  Paint();
}

void TNCObject::MouseUp() {
  if (!Visible) return;
  State = kNCHot;
  Paint();
}

void TNCObject::MouseEnter() {
  TNCFrameState& f = Form();
  if (f.HotObject == this) return;
  if (f.HotObject) f.HotObject->MouseLeave();
  if (!Visible) return;
  f.HotObject = this;
  State = kNCHot;
  Paint();
}

void TNCObject::MouseLeave() {
  TNCFrameState& f = Form();
  if (f.HotObject == this) f.HotObject = nullptr;
  if (!Visible) return;
  State = kNCNormal;
  Paint();
}

void TWinSysButton::Paint() { PaintSysButton(Form(), *this, State); }

namespace {

bool IsSysMenuAction(int action) { return action == 3 || action == 11; }

// An image that shows the window's icon bitmap from now on.
void HangIcon(TSkinImage& image, const cl::TBitmap& icon) {
  auto held = std::make_shared<TWinSkinBitmap>();
  held->Bitmap.Assign(&icon);
  image.Bitmap = held;
  image.Width = icon.Width();
  image.Height = icon.Height();
}

// The Visibility values both columns read alike; any other value shows nothing.
bool CommonRule(const TNCFrameState& s, int v) {
  switch (v) {
    case 1: return s.WindowState == TWindowState::Maximized;
    case 2: return s.WindowState != TWindowState::Maximized;
    case 3: return s.Active;
    case 4: return !s.Active;
    case 7: return !(s.StyleFlags & kStyleMaximizeBox);
    case 9: return !(s.StyleFlags & kStyleMinimizeBox);
    case 200: return s.BorderKind == TBorderKind::Dialog && !s.MessageDialog;
    default: return false;
  }
}

bool FirstRule(TNCFrameState& s, size_t i, const TDataSkinSysButton& d) {
  const int v = d.Visibility;
  const bool sysMenu = s.StyleFlags & kStyleSysMenu;
  switch (v) {
    case 0: return d.Action != 0 || sysMenu;
    case 6: return (s.StyleFlags & kStyleMaximizeBox) && sysMenu;
    case 8: return (s.StyleFlags & kStyleMinimizeBox) && sysMenu;
    case 100: return s.Host && s.Host->IsMDIChildMaximized() && s.MenuBarHeight > 0;
    default: break;
  }
  if (v >= 201 && v <= 999) return true;
  if (v >= 1000 && v <= 2000) return SendMessageW(s.Wnd, kMsgSkinButtonVisible, i, 0) > 0;
  return CommonRule(s, v);
}

bool SecondRule(const TNCFrameState& s, const TDataSkinSysButton& d, bool first) {
  const int v = d.Visibility1;
  switch (v) {
    case 0: return true;
    case 6: return s.StyleFlags & kStyleMaximizeBox;
    case 8: return s.StyleFlags & kStyleMinimizeBox;
    case 100: return first;
    default: break;
  }
  if (v >= 201 && v <= 2000) return true;
  return CommonRule(s, v);
}

bool ActionAllows(const TNCFrameState& s, int action) {
  if (action == 1) return s.StyleFlags & kStyleMaximizeBox;
  if (action == 2) return s.StyleFlags & kStyleMinimizeBox;
  if (action == 3 || action == 11 || action == 12) return s.BorderKind != TBorderKind::Dialog;
  return true;
}

// The object under a frame point: a title-bar button, else a menu-bar button.
TNCObject* ObjectAt(TNCFrameState& s, POINT p) {
  if (TNCObject* button = SysButtonAt(s, p)) return button;
  return s.Host ? s.Host->MenuButtonAt(p) : nullptr;
}

void PostSysCommand(const TNCFrameState& s, WPARAM command) { PostMessageW(s.Wnd, WM_SYSCOMMAND, command, 0); }

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// The button array.

void CreateSysButtons(TNCFrameState& s) {
  if (!s.Skin || s.Skin->NoSkin) return;
  ComputeFrameWidths(s);
  ClearSysButtons(s);
  for (auto& data : s.Skin->SysButtons) {
    s.SysButtons.push_back(std::make_unique<TWinSysButton>(s, *data));
    if (!IsSysMenuAction(data->Action)) continue;
    if (data->Image.Empty() && !s.IconBitmap.Empty()) HangIcon(data->Image, s.IconBitmap);
    if (s.SharedIcon && s.SharedIcon->Empty() && !s.IconBitmap.Empty()) s.SharedIcon->Assign(&s.IconBitmap);
    data->FrameCount = 1;
  }
}

void ClearSysButtons(TNCFrameState& s) {
  // The hot or pressed object may be one of these; the timer must not reach it afterwards.
  s.HotObject = nullptr;
  s.PressedObject = nullptr;
  s.SysButtons.clear();
}

bool IsSysButtonVisible(TNCFrameState& s, size_t i) {
  TWinSysButton& button = *s.SysButtons[i];
  const TDataSkinSysButton& d = *button.Data;
  const bool first = FirstRule(s, i, d);
  const bool visible = first && SecondRule(s, d, first) && ActionAllows(s, d.Action);
  button.Visible = visible;
  return visible;
}

void ArrangeSysButtons(TNCFrameState& s) {
  const int width = s.PaintedWidth;
  int clip = 0;
  for (size_t i = 0; i < s.SysButtons.size(); ++i) {
    if (!IsSysButtonVisible(s, i)) continue;
    TWinSysButton& button = *s.SysButtons[i];
    const TDataSkinSysButton& d = *button.Data;
    if (d.Image.Empty()) continue;
    const int w = d.Image.Width / std::max(1, d.FrameCount), h = d.Image.Height;
    POINT at{0, 0};
    switch (d.Align) {
      case 0: at = {d.Xcoord, d.Ycoord}; break;
      case 1:
        at = {width - d.Xcoord, d.Ycoord};
        clip = std::max(clip, static_cast<int>(at.x));
        break;
      case 2:
      case 8: at = {s.CaptionRect.left - w - d.Xcoord, d.Ycoord}; break;
      case 3:
      case 9: at = {s.CaptionRect.right + d.Xcoord, d.Ycoord}; break;
      case 100: {
        const int leftWidth = s.Skin->MenuBar ? s.Skin->MenuBar->Margins.Left : 0;
        at.y = (s.MenuBarHeight - h) / 2 + s.Top;
        at.x = s.RightToLeft ? d.Xcoord + leftWidth + s.Left : width - d.Xcoord - s.Right - leftWidth;
        break;
      }
      default: break;
    }
    button.Rect = RECT{at.x, at.y, at.x + w, at.y + h};
  }
  if (clip > 0) s.ButtonClip = clip;
}

void PaintSysButtons(TNCFrameState& s, HDC dc) {
  for (size_t i = 0; i < s.SysButtons.size(); ++i) {
    if (!IsSysButtonVisible(s, i)) continue;
    TWinSysButton& button = *s.SysButtons[i];
    TDataSkinSysButton& d = *button.Data;
    if (d.Image.Empty() || d.Visibility == 100) continue;
    if (IsSysMenuAction(d.Action)) {
      DrawFormIcon(s, dc, button.Rect.left, button.Rect.top);
      continue;
    }
    cl::TBitmap* image = SkinImageBitmap(d.Image);
    if (!image) continue;
    const int frame = s.Active || d.FrameCount < 4 ? 1 : 4;
    DrawSkinFrame(dc, cl::TRect{button.Rect.left, button.Rect.top, button.Rect.right, button.Rect.bottom}, *image, true,
                  d.FrameCount, frame);
  }
}

void PaintSysButton(TNCFrameState& s, TWinSysButton& button, int state) {
  TDataSkinSysButton& d = *button.Data;
  const int frame = d.Visibility == 100 && state == kNCHot ? 4 : state;
  const cl::TWindowDC dc(s.Wnd, cl::TWindowDC::dcWholeWindow);
  if (!dc) return;
  if (IsSysMenuAction(d.Action)) {
    DrawFormIcon(s, dc.Get(), button.Rect.left, button.Rect.top);
    return;
  }
  if (cl::TBitmap* image = SkinImageBitmap(d.Image))
    DrawSkinFrame(dc.Get(), cl::TRect{button.Rect.left, button.Rect.top, button.Rect.right, button.Rect.bottom}, *image,
                  true, d.FrameCount, frame);
}

TWinSysButton* SysButtonAt(TNCFrameState& s, POINT p) {
  for (auto& button : s.SysButtons)
    if (button->Visible && button->Data->Action >= 0 && PtInRect(&button->Rect, p)) return button.get();
  return nullptr;
}

// ---------------------------------------------------------------------------------------------------------
// Actions.

void SysButtonClick(TNCFrameState& s, int x, int y) {
  auto* button = dynamic_cast<TWinSysButton*>(s.HotObject);
  if (!button) return;
  const int action = button->Data->Action;
  switch (action) {
    case 0:
      if (s.Host) s.Host->SetTimerEnabled(false);
      PostSysCommand(s, SC_CLOSE);
      break;
    case 1:
    case 22: Maximize(s); break;
    case 2:
    case 23: Minimize(s); break;
    case 3:
    case 11:
    case 12:
      if (s.Host) s.Host->ShowSysMenu(x + 1, y + 1);
      break;
    case 7:
    case 60:
      if (s.Host) s.Host->MDIChildCommand(SC_MINIMIZE);
      break;
    case 8:
    case 61:
      if (s.Host) s.Host->MDIChildCommand(SC_RESTORE);
      break;
    case 9:
    case 62:
      if (s.Host) s.Host->MDIChildCommand(SC_CLOSE);
      break;
    default: PostMessageW(s.Wnd, kMsgSkinAction, static_cast<WPARAM>(action), 0); break;
  }
}

void Maximize(TNCFrameState& s) {
  if (s.WindowState == TWindowState::Maximized) {
    Restore(s);
    return;
  }
  if (s.WindowKind == TWindowKind::MDIChild && s.Host) s.Host->SetMDIChildrenMaximized();
  s.WindowState = TWindowState::Maximized;
  PostSysCommand(s, SC_MAXIMIZE);
  s.HotObject = nullptr;
}

void Restore(TNCFrameState& s) {
  s.WindowState = TWindowState::Normal;
  PostSysCommand(s, SC_RESTORE);
}

void Minimize(TNCFrameState& s) {
  if (s.WindowState == TWindowState::Minimized) {
    Restore(s);
    return;
  }
  s.WindowState = TWindowState::Minimized;
  PostSysCommand(s, SC_MINIMIZE);
}

// ---------------------------------------------------------------------------------------------------------
// The window icon.

cl::TIconHandle CopyIconAtSize(HICON icon, int width, int height, TCopyImage copyImage) {
  HANDLE copy = copyImage(icon, IMAGE_ICON, width, height, LR_COPYFROMRESOURCE);
  if (!copy) copy = copyImage(icon, IMAGE_ICON, width, height, 0);
  if (!copy) copy = CopyIcon(icon);
  return cl::TIconHandle(static_cast<HICON>(copy));
}

void GetFormIcon(TNCFrameState& s, const cl::TBitmap* fallback) {
  s.IconSize = GetSystemMetrics(SM_CXSMICON);
  auto icon = reinterpret_cast<HICON>(SendMessageW(s.Wnd, WM_GETICON, ICON_SMALL, 0));
  if (!icon) icon = reinterpret_cast<HICON>(SendMessageW(s.Wnd, WM_GETICON, ICON_BIG, 0));
  s.WindowIcon = icon;
  if (icon) {
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    const cl::TIconHandle copy = CopyIconAtSize(icon, cx, cy);
    s.IconBitmap.SetPixelFormat(cl::pf24bit);
    s.IconBitmap.SetSize(cx, cy);
    DrawIconEx(s.IconBitmap.Canvas()->Handle(), 0, 0, copy.Get(), cx, cy, 0, nullptr, DI_NORMAL);
  } else if (s.SharedIcon && !s.SharedIcon->Empty()) {
    s.IconBitmap.Assign(s.SharedIcon);
  } else if (fallback && !fallback->Empty()) {
    s.IconBitmap.Assign(fallback);
  }
}

void DrawFormIcon(const TNCFrameState& s, HDC dc, int x, int y, TCopyImage copyImage) {
  if (!s.WindowIcon) return;
  const cl::TIconHandle copy = CopyIconAtSize(s.WindowIcon, s.IconSize, s.IconSize, copyImage);
  if (copy) DrawIconEx(dc, x, y, copy.Get(), s.IconSize, s.IconSize, 0, nullptr, DI_NORMAL);
}

// ---------------------------------------------------------------------------------------------------------
// The non-client mouse.

TNCAnswer NCMouseMove(TNCFrameState& s, POINT screen) {
  if (!s.Active) return TNCAnswer::Done;
  if (TNCObject* object = ObjectAt(s, ScreenToFrame(s, screen))) {
    object->MouseEnter();
    return TNCAnswer::Done;
  }
  if (s.HotObject) s.HotObject->MouseLeave();
  return TNCAnswer::Default;
}

TNCAnswer NCLButtonDown(TNCFrameState& s, WPARAM& hitTest, POINT screen) {
  TNCObject* object = ObjectAt(s, ScreenToFrame(s, screen));
  s.PressedObject = object;
  if (!object) {
    if (s.WindowState == TWindowState::Maximized && s.Active && hitTest == HTCAPTION) hitTest = HTMENU;
    return TNCAnswer::Default;
  }
  if (!s.Active) SetForegroundWindow(s.Wnd);
  object->MouseDown();
  if (!dynamic_cast<TWinSysButton*>(object) && s.Host) s.Host->TrackMenuButton(*object);
  return TNCAnswer::Done;
}

TNCAnswer NCLButtonUp(TNCFrameState& s, POINT screen) {
  TNCObject* object = ObjectAt(s, ScreenToFrame(s, screen));
  TNCObject* pressed = s.PressedObject;
  s.PressedObject = nullptr;
  if (!object) return TNCAnswer::Default;
  // A button runs only when released over the one it was pressed on.
  if (dynamic_cast<TWinSysButton*>(object) && object == s.HotObject && object == pressed) {
    object->MouseUp();
    SysButtonClick(s, screen.x, screen.y);
  }
  return TNCAnswer::Done;
}

TNCAnswer NCLButtonDblClk(TNCFrameState& s, WPARAM hitTest, POINT screen) {
  if (hitTest != HTCAPTION) return TNCAnswer::Default;
  // Only the caption toggles maximise: the second click of a double click on a button presses it again.
  if (SysButtonAt(s, ScreenToFrame(s, screen))) return NCLButtonDown(s, hitTest, screen);
  if (s.WindowState != TWindowState::Normal)
    Restore(s);
  else if (s.StyleFlags & kStyleMaximizeBox)
    Maximize(s);
  return TNCAnswer::Done;
}

TNCAnswer NCRButtonDown(TNCFrameState& s, WPARAM hitTest, POINT screen) {
  if (hitTest != HTCAPTION || s.WindowKind == TWindowKind::MDIChild) return TNCAnswer::Default;
  if (s.Host) s.Host->ShowSysMenu(screen.x, screen.y);
  return TNCAnswer::Done;
}

void TimerTick(TNCFrameState& s, POINT cursor) {
  if (s.Host && s.Host->MenuTracking()) return;
  if (s.HotObject) {
    const POINT p = ScreenToFrame(s, cursor);
    if (!PtInRect(&s.HotObject->Rect, p)) s.HotObject->MouseLeave();
  }
  if (s.Host) s.Host->CheckHotPainter(cursor);
}

}  // namespace skin
