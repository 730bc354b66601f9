#include "WindowSubclass.h"

#include <commctrl.h>

#include "SysUtils.h"
#include "WinString.h"

namespace cl {

// One installation. It outlives its owner while its handler is running, so that a handler may free the
// object that installed it.
struct TWindowSubclass::Link {
  THandler handler;
  HWND wnd = nullptr;
  int calls = 0;
  bool released = false;
};

LRESULT CALLBACK TWindowSubclass::Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR ref) {
  auto* link = reinterpret_cast<Link*>(ref);
  LRESULT result = 0;
  ++link->calls;
  try {
    result = link->handler(wnd, msg, wParam, lParam);
  } catch (...) {
    HandleException();
    result = 0;
  }
  if (msg == WM_NCDESTROY && link->wnd) {
    RemoveWindowSubclass(wnd, Proc, id);
    link->wnd = nullptr;
  }
  if (--link->calls == 0 && link->released) delete link;
  return result;
}

void TWindowSubclass::Install(HWND wnd, THandler handler) {
  Remove();
  if (!IsWindow(wnd)) throw EOSError("Invalid window handle");
  if (GetWindowThreadProcessId(wnd, nullptr) != GetCurrentThreadId())
    throw EOSError("Cannot subclass a window of another thread");
  auto* link = new Link;
  link->handler = std::move(handler);
  link->wnd = wnd;
  // The link's address is the installation's id: unique while it lives.
  if (!SetWindowSubclass(wnd, Proc, reinterpret_cast<UINT_PTR>(link), reinterpret_cast<DWORD_PTR>(link))) {
    // It sets no error of its own: what GetLastError holds belongs to an earlier call.
    delete link;
    RaiseOSError(0, "SetWindowSubclass");
  }
  link_ = link;
}

void TWindowSubclass::Remove() noexcept {
  Link* link = link_;
  if (!link) return;
  link_ = nullptr;
  if (link->wnd) {
    RemoveWindowSubclass(link->wnd, Proc, reinterpret_cast<UINT_PTR>(link));
    link->wnd = nullptr;
  }
  if (link->calls == 0)
    delete link;
  else
    link->released = true;
}

HWND TWindowSubclass::Handle() const noexcept { return link_ ? link_->wnd : nullptr; }

LRESULT TWindowSubclass::CallPrevious(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefSubclassProc(wnd, msg, wParam, lParam);
}

}  // namespace cl
