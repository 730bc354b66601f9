#include "WindowBinding.h"

#include "KeepAlive.h"
#include "WindowSubclass.h"

namespace cl {

namespace {

// One window's binding, in its slot 0.
struct TBinding : TKeepAlive {
  TObject* object = nullptr;
  TWndMethod method;
};

thread_local TBindOnCreate* pendingBind = nullptr;

TBinding* SlotBinding(HWND wnd) noexcept { return reinterpret_cast<TBinding*>(GetWindowLongPtrW(wnd, 0)); }

}  // namespace

LRESULT CALLBACK BoundWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TBinding* binding = SlotBinding(wnd);
  if (!binding && pendingBind && !pendingBind->taken_) {
    pendingBind->taken_ = true;
    GuardMessage([&] { pendingBind->bind_(wnd); });
    binding = SlotBinding(wnd);
  }
  if (!binding) return DefWindowProcW(wnd, msg, wParam, lParam);
  TMessage message{msg, wParam, static_cast<intptr_t>(lParam), 0};
  TKeepAlive::THold hold(*binding);
  GuardMessage([&] { binding->method(message); });
  // The window's end ends its binding, unless the method did that already.
  if (msg == WM_NCDESTROY && SlotBinding(wnd) == binding) UnbindWindow(wnd);
  return message.Result;
}

ATOM RegisterBoundClass(WNDCLASSEXW wc) {
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = BoundWndProc;
  wc.cbWndExtra = sizeof(TBinding*);
  return RegisterClassExW(&wc);
}

WNDPROC BoundWindowProc() noexcept { return BoundWndProc; }

bool IsBoundWindow(HWND wnd) noexcept {
  return reinterpret_cast<WNDPROC>(GetClassLongPtrW(wnd, GCLP_WNDPROC)) == BoundWndProc;
}

void BindWindow(HWND wnd, TObject* object, TWndMethod method) {
  if (!IsBoundWindow(wnd)) throw EOSError("The window is not of a class that binds its object");
  if (SlotBinding(wnd)) throw EOSError("The window is bound already");
  auto* binding = new TBinding;
  binding->object = object;
  binding->method = std::move(method);
  SetWindowLongPtrW(wnd, 0, reinterpret_cast<LONG_PTR>(binding));
}

void UnbindWindow(HWND wnd) noexcept {
  if (!IsBoundWindow(wnd)) return;
  TBinding* binding = SlotBinding(wnd);
  if (!binding) return;
  SetWindowLongPtrW(wnd, 0, 0);
  binding->Release();
}

TObject* BoundObject(HWND wnd) noexcept {
  if (!wnd) return nullptr;
  DWORD pid = 0;
  // Another process's slot or subclass data would be a pointer into that process.
  if (GetWindowThreadProcessId(wnd, &pid) == 0 || pid != GetCurrentProcessId()) return nullptr;
  if (IsBoundWindow(wnd)) {
    const TBinding* binding = SlotBinding(wnd);
    return binding ? binding->object : nullptr;
  }
  return TWindowSubclass::BoundObject(wnd);
}

TBindOnCreate::TBindOnCreate(TBind bind) : bind_(std::move(bind)), outer_(pendingBind) { pendingBind = this; }

TBindOnCreate::~TBindOnCreate() { pendingBind = outer_; }

}  // namespace cl
