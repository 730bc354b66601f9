#include "HiddenWindow.h"

#include "SysUtils.h"
#include "WinString.h"
#include "WindowBinding.h"

namespace cl {

namespace {

const wchar_t* HiddenWindowClass() {
  static const ATOM atom = [] {
    WNDCLASSEXW wc{};
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ClHiddenWindow";
    return RegisterBoundClass(wc);
  }();
  return atom ? MAKEINTATOM(atom) : L"ClHiddenWindow";
}

}  // namespace

HWND AllocateHWnd(TWndMethod method) {
  HWND wnd = CreateWindowExW(WS_EX_TOOLWINDOW, HiddenWindowClass(), L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  if (!wnd) RaiseOSError(GetLastError(), "CreateWindowEx (hidden window)");
  // Bound only now: the creation messages come before anyone could know the handle.
  try {
    BindWindow(wnd, nullptr, std::move(method));
  } catch (...) {
    DestroyWindow(wnd);
    throw;
  }
  return wnd;
}

// The window's end ends its binding; the method lives on while one of its messages runs.
void DeallocateHWnd(HWND wnd) noexcept {
  if (wnd) DestroyWindow(wnd);
}

THiddenWindow& THiddenWindow::operator=(THiddenWindow&& other) noexcept {
  if (this != &other) {
    Reset();
    wnd_ = other.wnd_;
    other.wnd_ = nullptr;
  }
  return *this;
}

void THiddenWindow::Reset() noexcept {
  if (!wnd_) return;
  DeallocateHWnd(wnd_);
  wnd_ = nullptr;
}

}  // namespace cl
