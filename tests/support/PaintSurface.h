// A memory context with a screen-compatible bitmap selected into it, for painting a window or control
// into and reading its pixels back.
#pragma once
#include <windows.h>

#include "DeviceContext.h"
#include "Graphics.h"

namespace hktest {

class PaintSurface {
 public:
  PaintSurface(int width, int height)
      : dc_(CreateCompatibleDC(nullptr)), bitmap_(ScreenBitmap(width, height)), selected_(dc_.Get(), bitmap_.Get()) {}

  HDC DC() const noexcept { return dc_.Get(); }
  COLORREF Pixel(int x, int y) const { return GetPixel(dc_.Get(), x, y); }

 private:
  static HBITMAP ScreenBitmap(int width, int height) {
    const cl::TWindowDC screen(nullptr);
    return CreateCompatibleBitmap(screen.Get(), width, height);
  }

  cl::TDCHandle dc_;
  cl::TBitmapHandle bitmap_;
  cl::TSelectedObject selected_;  // declared last: the bitmap leaves the context before either is freed
};

}  // namespace hktest
