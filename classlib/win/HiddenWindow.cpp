#include "HiddenWindow.h"

#include <memory>

#include "SysUtils.h"
#include "WinString.h"

namespace cl {

namespace {

// The method of one window. A handler may free its own window; the method then lives until it returns.
struct Binding {
  TWndMethod method;
  int calls = 0;
  bool released = false;
};

LRESULT CALLBACK HiddenWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* binding = reinterpret_cast<Binding*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
  if (!binding) return DefWindowProcW(wnd, msg, wParam, lParam);
  TMessage message{};
  message.Msg = msg;
  message.WParam = wParam;
  message.LParam = lParam;
  ++binding->calls;
  try {
    binding->method(message);
  } catch (...) {
    HandleException();
  }
  if (--binding->calls == 0 && binding->released) delete binding;
  return message.Result;
}

const wchar_t* HiddenWindowClass() {
  static const ATOM atom = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = HiddenWndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ClHiddenWindow";
    return RegisterClassExW(&wc);
  }();
  return atom ? MAKEINTATOM(atom) : L"ClHiddenWindow";
}

}  // namespace

HWND AllocateHWnd(TWndMethod method) {
  auto binding = std::make_unique<Binding>();
  binding->method = std::move(method);
  HWND wnd = CreateWindowExW(WS_EX_TOOLWINDOW, HiddenWindowClass(), L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  if (!wnd) RaiseOSError(GetLastError(), "CreateWindowEx (hidden window)");
  // Bound only now: the creation messages come before anyone could know the handle.
  SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(binding.release()));
  return wnd;
}

void DeallocateHWnd(HWND wnd) noexcept {
  if (!wnd) return;
  auto* binding = reinterpret_cast<Binding*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
  DestroyWindow(wnd);
  if (!binding) return;
  if (binding->calls == 0)
    delete binding;
  else
    binding->released = true;
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
