#include "WindowSubclass.h"

#include <commctrl.h>

#include "KeepAlive.h"
#include "SysUtils.h"
#include "WinString.h"
#include "WindowBinding.h"

namespace cl {

namespace {

// The installation that binds a window to its object has this id: one per window, found without knowing
// the installation. Others use their link's address, which is never this.
constexpr UINT_PTR kBindingId = 1;

using TGetWindowSubclass = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR*);

// Exported by number only, and missing from the import library.
TGetWindowSubclass GetWindowSubclassProc() noexcept {
  static const auto proc = reinterpret_cast<TGetWindowSubclass>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"comctl32.dll"), MAKEINTRESOURCEA(411))));
  return proc;
}

}  // namespace

// One installation. It outlives its owner while its handler is running, so that a handler may free the
// object that installed it.
struct TWindowSubclass::Link : TKeepAlive {
  THandler handler;
  HWND wnd = nullptr;
  UINT_PTR id = 0;
  TObject* object = nullptr;
};

LRESULT CALLBACK TWindowSubclass::Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR ref) {
  auto* link = reinterpret_cast<Link*>(ref);
  TKeepAlive::THold hold(*link);
  LRESULT result = 0;
  GuardMessage([&] { result = link->handler(wnd, msg, wParam, lParam); });
  if (msg == WM_NCDESTROY && link->wnd) {
    RemoveWindowSubclass(wnd, Proc, id);
    link->wnd = nullptr;
  }
  return result;
}

void TWindowSubclass::Install(HWND wnd, THandler handler) { Install(wnd, std::move(handler), nullptr, false); }

void TWindowSubclass::Bind(HWND wnd, TObject* object, THandler handler) {
  Install(wnd, std::move(handler), object, true);
}

void TWindowSubclass::Install(HWND wnd, THandler handler, TObject* object, bool binding) {
  Remove();
  if (!IsWindow(wnd)) throw EOSError("Invalid window handle");
  if (GetWindowThreadProcessId(wnd, nullptr) != GetCurrentThreadId())
    throw EOSError("Cannot subclass a window of another thread");
  if (binding && BoundObject(wnd)) throw EOSError("The window is bound already");
  auto* link = new Link;
  link->handler = std::move(handler);
  link->wnd = wnd;
  link->object = object;
  link->id = binding ? kBindingId : reinterpret_cast<UINT_PTR>(link);
  if (!SetWindowSubclass(wnd, Proc, link->id, reinterpret_cast<DWORD_PTR>(link))) {
    // It sets no error of its own: what GetLastError holds belongs to an earlier call.
    link->Release();
    RaiseOSError(0, "SetWindowSubclass");
  }
  link_ = link;
}

void TWindowSubclass::Remove() noexcept {
  Link* link = link_;
  if (!link) return;
  link_ = nullptr;
  if (link->wnd) {
    RemoveWindowSubclass(link->wnd, Proc, link->id);
    link->wnd = nullptr;
  }
  link->Release();
}

HWND TWindowSubclass::Handle() const noexcept { return link_ ? link_->wnd : nullptr; }

LRESULT TWindowSubclass::CallPrevious(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefSubclassProc(wnd, msg, wParam, lParam);
}

TObject* TWindowSubclass::BoundObject(HWND wnd) noexcept {
  const TGetWindowSubclass get = GetWindowSubclassProc();
  DWORD pid = 0;
  // Another process's data would be a pointer into that process.
  if (!get || !wnd || GetWindowThreadProcessId(wnd, &pid) == 0 || pid != GetCurrentProcessId()) return nullptr;
  DWORD_PTR ref = 0;
  if (!get(wnd, Proc, kBindingId, &ref) || !ref) return nullptr;
  const auto* link = reinterpret_cast<const Link*>(ref);
  return link->wnd ? link->object : nullptr;
}

}  // namespace cl
