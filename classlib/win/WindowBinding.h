// How a window finds its object. Windows of this library's own classes (controls, the application window,
// hidden windows) share one window procedure, which finds the object's binding in the window's extra
// bytes (slot 0); windows of system classes are found through their subclass (TWindowSubclass::Bind).
#pragma once
#include <windows.h>

#include "Classes.h"
#include "MessageChain.h"
#include "SysUtils.h"

namespace cl {

// Runs the handling of one message. An exception that escapes it goes to the application's handler
// (HandleException) instead of unwinding through the system's code, which cannot take it.
template <class F>
void GuardMessage(F&& handling) noexcept {
  try {
    handling();
  } catch (...) {
    HandleException();
  }
}

// Registers a window class whose windows are bound to objects: `wc` as for RegisterClassEx, with the
// procedure and the extra bytes left to this function. Returns the atom, or 0 (with GetLastError).
ATOM RegisterBoundClass(WNDCLASSEXW wc);
// The procedure of such classes (to tell them from others of the same name).
WNDPROC BoundWindowProc() noexcept;
// A window of such a class.
bool IsBoundWindow(HWND wnd) noexcept;

// Binds a window of a bound class: from now on its messages go to method, each with the result 0 until the
// method sets one, exceptions handed to HandleException; `object` is what BoundObject finds. The binding ends
// with UnbindWindow, or by itself once WM_NCDESTROY has passed the method; the method stays alive until it
// returns, so it may destroy its window and free its object. Raises EOSError when the window is not of a
// bound class or is bound already.
void BindWindow(HWND wnd, TObject* object, TWndMethod method);
// Unbound, the window's messages get the default processing.
void UnbindWindow(HWND wnd) noexcept;

// The object a window of this process is bound to (a window of a bound class, or of a system class bound
// through its subclass); null for other windows and for bindings without an object.
TObject* BoundObject(HWND wnd) noexcept;

// While it lives, the first window of a bound class that gets a message on this thread without being bound
// is handed to `bind` first (which binds it): the messages of a window's creation come before CreateWindowEx
// returns its handle. Scopes nest.
class TBindOnCreate {
 public:
  using TBind = std::function<void(HWND)>;
  explicit TBindOnCreate(TBind bind);
  ~TBindOnCreate();
  TBindOnCreate(const TBindOnCreate&) = delete;
  TBindOnCreate& operator=(const TBindOnCreate&) = delete;

 private:
  friend LRESULT CALLBACK BoundWndProc(HWND, UINT, WPARAM, LPARAM);
  TBind bind_;
  TBindOnCreate* outer_;
  bool taken_ = false;
};

}  // namespace cl
