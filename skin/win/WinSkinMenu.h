// The skin of one popup menu window ("#32768"): the skin manager makes one for each menu window created
// while skinning is on, and it draws the window's three-pixel border from the skin's MenuBackground. The
// menu it shows is asked of the window itself (MN_GETHMENU), so item drawing finds the frame by menu.
#pragma once
#include <windows.h>

#include <memory>

#include "Graphics.h"
#include "WindowSubclass.h"

namespace skin {

class TSkinData;
class TSkinManage;

// The border width that the skin draws around a popup menu.
inline constexpr int kPopupMenuBorder = 3;

class TWinSkinPopMenu {
 public:
  explicit TWinSkinPopMenu(const TSkinManage& manager) : manager_(manager) {}
  TWinSkinPopMenu(const TWinSkinPopMenu&) = delete;
  TWinSkinPopMenu& operator=(const TWinSkinPopMenu&) = delete;

  // Subclasses the menu window; raises EOSError when it cannot.
  void Attach(HWND wnd, TSkinData* data);
  void Detach() noexcept;
  HWND Handle() const noexcept { return wnd_; }
  // The menu the window shows; null before the system has given it one.
  HMENU Menu() const noexcept;
  // The border picture made at the last frame paint, window-sized; null before.
  cl::TBitmap* FrameBitmap() const noexcept { return frame_.get(); }

 private:
  LRESULT WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // Makes the frame picture at the window's size; false when the skin has none to give.
  bool BuildFrame();
  LRESULT PaintFrame();
  LRESULT PrintFrame(HWND wnd, WPARAM wParam, LPARAM lParam);

  const TSkinManage& manager_;
  cl::TWindowSubclass subclass_;
  HWND wnd_ = nullptr;
  TSkinData* data_ = nullptr;
  std::unique_ptr<cl::TBitmap> frame_;
};

}  // namespace skin
