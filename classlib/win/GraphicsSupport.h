// What the drawing units of the library share (Graphics.cpp, GraphicsBitmap.cpp, GraphicsIcon.cpp).
#pragma once
#include <windows.h>

#include "DeviceContext.h"
#include "Graphics.h"

namespace cl::detail {

// EOutOfResources "Out of system resources": the system refused a handle.
[[noreturn]] void OutOfResources();

// A memory context for a moment: selects one bitmap and restores the context's own on the way out.
class TTempDC {
 public:
  explicit TTempDC(HBITMAP bitmap = nullptr) : dc_(CreateCompatibleDC(nullptr)), bitmap_(Checked(dc_), bitmap) {}
  TTempDC(const TTempDC&) = delete;
  TTempDC& operator=(const TTempDC&) = delete;
  HDC Get() const { return dc_.Get(); }

 private:
  static HDC Checked(const TDCHandle& dc) {
    if (!dc) OutOfResources();
    return dc.Get();
  }
  TDCHandle dc_;
  TSelectedObject bitmap_;
};

// Copies src onto dst except where mask (1 bit per pixel, white = leave out) is white. Three blits, so
// it works stretched too as long as all three sample the same pixels.
void MaskedBlt(HDC dst, const TRect& d, HDC src, HDC mask, int srcWidth, int srcHeight);

}  // namespace cl::detail
