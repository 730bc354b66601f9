// Scope owners for device contexts and what is put into them: each gives back what it took when the
// scope ends, also when an exception leaves it. (Contexts the library creates and deletes are TDCHandle.)
#pragma once
#include <windows.h>

namespace cl {

// A window's context from the system's cache, released when the scope ends. The client area by default;
// the whole window, frame included, with dcWholeWindow. A null window gives the screen.
class TWindowDC {
 public:
  enum TArea { dcClient, dcWholeWindow };
  explicit TWindowDC(HWND wnd, TArea area = dcClient) noexcept
      : wnd_(wnd), dc_(area == dcWholeWindow ? GetWindowDC(wnd) : GetDC(wnd)) {}
  ~TWindowDC() {
    if (dc_) ReleaseDC(wnd_, dc_);
  }
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;

  HDC Get() const noexcept { return dc_; }
  explicit operator bool() const noexcept { return dc_ != nullptr; }

 private:
  HWND wnd_;
  HDC dc_;
};

// One WM_PAINT: BeginPaint now, EndPaint when the scope ends (also when BeginPaint gave no context, as
// the system expects a pair).
class TPaintDC {
 public:
  explicit TPaintDC(HWND wnd) noexcept : wnd_(wnd), dc_(BeginPaint(wnd, &ps_)) {}
  ~TPaintDC() { EndPaint(wnd_, &ps_); }
  TPaintDC(const TPaintDC&) = delete;
  TPaintDC& operator=(const TPaintDC&) = delete;

  HDC Get() const noexcept { return dc_; }
  explicit operator bool() const noexcept { return dc_ != nullptr; }
  const PAINTSTRUCT& PaintStruct() const noexcept { return ps_; }

 private:
  HWND wnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

// Selects a font, pen, brush or bitmap into a context and selects back the one it replaced, so the
// object can be freed afterwards. Not for regions: SelectObject gives no region back.
class TSelectedObject {
 public:
  TSelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc) {
    if (dc && object) {
      HGDIOBJ old = SelectObject(dc, object);
      if (old != HGDI_ERROR) old_ = old;
    }
  }
  ~TSelectedObject() {
    if (old_) SelectObject(dc_, old_);
  }
  TSelectedObject(const TSelectedObject&) = delete;
  TSelectedObject& operator=(const TSelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

// SaveDC now, RestoreDC when the scope ends: selections, colours, modes, origin and clipping set
// meanwhile are all undone.
class TSavedDC {
 public:
  explicit TSavedDC(HDC dc) noexcept : dc_(dc), saved_(dc ? SaveDC(dc) : 0) {}
  ~TSavedDC() {
    if (saved_) RestoreDC(dc_, saved_);
  }
  TSavedDC(const TSavedDC&) = delete;
  TSavedDC& operator=(const TSavedDC&) = delete;

 private:
  HDC dc_;
  int saved_;
};

}  // namespace cl
