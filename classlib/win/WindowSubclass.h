// Window subclassing that several owners can stack on one window and take away in any order.
#pragma once
#include <windows.h>

#include <functional>

namespace cl {

class TObject;

// Puts a handler in front of a window's procedure. Each handler passes what it does not swallow on with
// CallPrevious, which reaches the handlers installed before it and finally the window's own procedure.
// Any installation can be removed at any time, also while others installed later are still in front of
// it: the chain stays whole. The installation ends with the object, with Remove, or by itself when the
// window is destroyed (after WM_NCDESTROY has passed the handler). An exception escaping the handler is
// handed to HandleException and the message gets the result 0. The handler may destroy the window or
// this object; the handler itself stays alive until it returns.
//
// A window of a system class that stands for an object of this library (a control wrapping a BUTTON) is
// bound to it through one such installation (Bind); BoundObject finds the object from the window.
class TWindowSubclass {
 public:
  using THandler = std::function<LRESULT(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)>;

  TWindowSubclass() = default;
  // Raises EOSError when the window cannot be subclassed (no window, or one of another thread).
  TWindowSubclass(HWND wnd, THandler handler) { Install(wnd, std::move(handler)); }
  ~TWindowSubclass() { Remove(); }
  TWindowSubclass(const TWindowSubclass&) = delete;
  TWindowSubclass& operator=(const TWindowSubclass&) = delete;

  // Removes an earlier installation of this object first.
  void Install(HWND wnd, THandler handler);
  // Installs as the window's binding to object. Raises EOSError also when the window has one already.
  void Bind(HWND wnd, TObject* object, THandler handler);
  void Remove() noexcept;

  // The subclassed window; null while not installed.
  HWND Handle() const noexcept;
  bool Installed() const noexcept { return Handle() != nullptr; }

  // For use inside a handler: the rest of the chain behind the handler that is running.
  static LRESULT CallPrevious(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // The object a window of this process is bound to by its subclass; else null.
  static TObject* BoundObject(HWND wnd) noexcept;

  // One installation (the window's chain refers to it).
  struct Link;

 private:
  void Install(HWND wnd, THandler handler, TObject* object, bool binding);
  Link* link_ = nullptr;
};

}  // namespace cl
