#include "WinSkinMenu.h"

#include "DeviceContext.h"
#include "ImgUtil.h"
#include "NCFrameState.h"
#include "WinSkinData.h"
#include "WinSkinDlg.h"

namespace skin {

namespace {

// The menu window's message for the menu it shows.
constexpr UINT kMnGetHMenu = 0x01E1;

}  // namespace

void TWinSkinPopMenu::Attach(HWND wnd, TSkinData* data) {
  wnd_ = wnd;
  data_ = data;
  subclass_.Install(wnd, [this](HWND w, UINT msg, WPARAM wParam, LPARAM lParam) { return WndProc(w, msg, wParam, lParam); });
}

void TWinSkinPopMenu::Detach() noexcept {
  subclass_.Remove();
  frame_.reset();
}

HMENU TWinSkinPopMenu::Menu() const noexcept {
  return wnd_ && IsWindow(wnd_) ? reinterpret_cast<HMENU>(SendMessageW(wnd_, kMnGetHMenu, 0, 0)) : nullptr;
}

LRESULT TWinSkinPopMenu::WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kSkinMsgIsSkinned) return 1;
  if (!manager_.ManagerActive) return cl::TWindowSubclass::CallPrevious(wnd, msg, wParam, lParam);
  switch (msg) {
    case WM_DESTROY:
      Detach();
      return cl::TWindowSubclass::CallPrevious(wnd, msg, wParam, lParam);
    case WM_NCPAINT:
      if (BuildFrame()) return PaintFrame();
      break;
    case WM_PRINT:
      if (BuildFrame()) return PrintFrame(wnd, wParam, lParam);
      break;
    default:
      break;
  }
  return cl::TWindowSubclass::CallPrevious(wnd, msg, wParam, lParam);
}

bool TWinSkinPopMenu::BuildFrame() {
  if (!data_ || data_->NoSkin || !data_->MenuBackground) return false;
  TDataSkinObject& background = *data_->MenuBackground;
  cl::TBitmap* image = SkinImageBitmap(background.Image);
  RECT r{};
  if (!image || !GetWindowRect(wnd_, &r)) return false;
  frame_ = BuildNineSliceBitmap(cl::Rect(0, 0, r.right - r.left, r.bottom - r.top), *image, background.Margins,
                                false, background.Tile == 1, 1, 1);
  return frame_ != nullptr;
}

// The outer ring of the frame picture onto the window; the system's border is never drawn.
LRESULT TWinSkinPopMenu::PaintFrame() {
  const cl::TWindowDC dc(wnd_, cl::TWindowDC::dcWholeWindow);
  if (!dc) return 0;
  HDC src = frame_->Canvas()->Handle();
  const int w = frame_->Width(), h = frame_->Height(), b = kPopupMenuBorder;
  BitBlt(dc.Get(), 0, 0, w, b, src, 0, 0, SRCCOPY);
  BitBlt(dc.Get(), 0, h - b, w, b, src, 0, h - b, SRCCOPY);
  BitBlt(dc.Get(), 0, b, b, h - 2 * b, src, 0, b, SRCCOPY);
  BitBlt(dc.Get(), w - b, b, b, h - 2 * b, src, w - b, b, SRCCOPY);
  return 0;
}

// The whole frame picture, then the menu's own drawing clipped to the inside of the ring.
LRESULT TWinSkinPopMenu::PrintFrame(HWND wnd, WPARAM wParam, LPARAM lParam) {
  HDC dc = reinterpret_cast<HDC>(wParam);
  const int w = frame_->Width(), h = frame_->Height(), b = kPopupMenuBorder;
  BitBlt(dc, 0, 0, w, h, frame_->Canvas()->Handle(), 0, 0, SRCCOPY);
  const cl::TSavedDC saved(dc);
  SetBkMode(dc, TRANSPARENT);
  // Clip regions are in device coordinates: the DC's origin may lie elsewhere than its logical 0,0.
  POINT origin{0, 0};
  LPtoDP(dc, &origin, 1);
  const cl::TRegionHandle clip(CreateRectRgn(origin.x + b, origin.y + b, origin.x + w - b, origin.y + h - b));
  SelectClipRgn(dc, clip.Get());
  return cl::TWindowSubclass::CallPrevious(wnd, WM_PRINT, wParam, lParam);
}

}  // namespace skin
