// Hidden windows for objects that must receive window messages without being controls.
#pragma once
#include <windows.h>

#include "Classes.h"
#include "MessageChain.h"

namespace cl {

// Creates an invisible top-level window (so it also gets broadcasts) whose messages go to method from the
// end of its creation on (the handler sets Message.Result); creation messages get the default handling. An
// exception that escapes the method is handed to HandleException. Raises EOSError when the window cannot be
// made.
HWND AllocateHWnd(TWndMethod method);
// Destroys a window made by AllocateHWnd; its WM_DESTROY and WM_NCDESTROY still reach the method.
void DeallocateHWnd(HWND wnd) noexcept;

// Owns one hidden window. The handle stays valid while the window is being destroyed, so a handler of
// WM_DESTROY can still use it.
class THiddenWindow {
 public:
  THiddenWindow() = default;
  explicit THiddenWindow(TWndMethod method) : wnd_(AllocateHWnd(std::move(method))) {}
  ~THiddenWindow() { Reset(); }
  THiddenWindow(THiddenWindow&& other) noexcept : wnd_(other.wnd_) { other.wnd_ = nullptr; }
  THiddenWindow& operator=(THiddenWindow&& other) noexcept;
  THiddenWindow(const THiddenWindow&) = delete;
  THiddenWindow& operator=(const THiddenWindow&) = delete;

  HWND Handle() const { return wnd_; }
  explicit operator bool() const { return wnd_ != nullptr; }
  void Reset() noexcept;

 private:
  HWND wnd_ = nullptr;
};

}  // namespace cl
