#include "ToolDockCommon.h"

#include <array>
#include <memory>
#include <utility>
#include <vector>

#include "DeviceContext.h"
#include "Graphics.h"
#include "HiddenWindow.h"
#include "ListSort.h"

namespace toolkit {

namespace {

constexpr int kSlots = 3;
constexpr std::array<int, kSlots> kHookIds{WH_CALLWNDPROC, WH_CBT, WH_GETMESSAGE};
// The slot each event needs.
constexpr std::array<int, 4> kEventSlot{0, 0, 1, 2};

LRESULT CALLBACK CallWndProcHook(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam);
constexpr std::array<HOOKPROC, kSlots> kHookProcs{CallWndProcHook, CbtHook, GetMessageHook};

constexpr UINT kSettleMenu = WM_APP + 0x17B;

// The registry exists while anything is registered. Hooks receive no context, so the one registry of
// the program is reached from their procedures through this owner.
//
// Some systems pay a round trip to their window server for every message sent while a thread hook on sent
// messages exists. A popup menu opening sends one WM_MEASUREITEM per owner-drawn item, all at once, so a
// menu of thousands of entries froze the program for seconds. Nothing the hook reports can happen between
// those messages: from the first item measured after WM_INITMENUPOPUP, the hook steps aside until the
// thread takes a message from its queue again (one posted when the menu began to open), which the menu's
// own loop does before it waits for the user.
class TRegistry {
 public:
  struct TEntry {
    THookCallback callback;
    THookEvents events;  // those of the first registration
    // Per registration, the slots it raised: a removal lowers exactly these.
    std::vector<std::array<bool, kSlots>> raised;
  };

  ~TRegistry() {
    for (int slot = 0; slot < kSlots; ++slot) Unhook(slot);
  }

  // WM_INITMENUPOPUP: a popup is about to be measured.
  void MenuOpening() {
    if (menu_ != TMenuPhase::none) return;
    if (!settler_) settler_ = cl::THiddenWindow([this](cl::TMessage& m) {
      if (m.Msg == kSettleMenu)
        Settle();
      else
        m.Result = DefWindowProcW(settler_.Handle(), m.Msg, m.WParam, m.LParam);
    });
    PostMessageW(settler_.Handle(), kSettleMenu, 0, 0);
    menu_ = TMenuPhase::opening;
  }
  // WM_MEASUREITEM of a menu item: whether the hook on sent messages is to step aside once it has passed
  // this message on.
  bool MeasuringMenu() const noexcept { return menu_ == TMenuPhase::opening; }
  void StepAside() {
    Unhook(0);
    menu_ = TMenuPhase::measuring;
  }
  // The thread is back in a message loop.
  void Settle() {
    const bool back = menu_ == TMenuPhase::measuring;
    menu_ = TMenuPhase::none;
    if (back && uses_[0] > 0) Hook(0);
  }

  void Add(THookCallback callback, THookEvents events, bool noHooks) {
    TEntry* entry = Find(callback);
    if (!entry) {
      entries_.push_back(TEntry{callback, events, {}});
      entry = &entries_.back();
    }
    std::array<bool, kSlots> raised{};
    if (!noHooks)
      for (int e = heActivateApp; e <= heMouseMove; ++e)
        if (events.Contains(static_cast<THookEvent>(e))) raised[static_cast<size_t>(kEventSlot[static_cast<size_t>(e)])] = true;
    for (int slot = 0; slot < kSlots; ++slot)
      if (raised[static_cast<size_t>(slot)]) Raise(slot);
    entry->raised.push_back(raised);
  }

  // False when the last registration went.
  bool Remove(THookCallback callback) {
    TEntry* entry = Find(callback);
    if (!entry) return !entries_.empty();
    const std::array<bool, kSlots> raised = entry->raised.back();
    entry->raised.pop_back();
    if (entry->raised.empty()) entries_.erase(entries_.begin() + (entry - entries_.data()));
    for (int slot = 0; slot < kSlots; ++slot)
      if (raised[static_cast<size_t>(slot)]) Lower(slot);
    return !entries_.empty();
  }

  // Calls, in registration order, every callback registered for the event; a callback may change the
  // registry meanwhile, so the calls go over a copy. What a callback raises goes no further.
  void Notify(THookEvent event, HWND wnd, WPARAM wParam, LPARAM lParam) const {
    std::vector<THookCallback> callbacks;
    for (const TEntry& e : entries_)
      if (e.events.Contains(event)) callbacks.push_back(e.callback);
    for (THookCallback callback : callbacks) {
      try {
        callback(event, wnd, wParam, lParam);
      } catch (...) {
      }
    }
  }

  const TEntry* Entry(THookCallback callback) const noexcept {
    for (const TEntry& e : entries_)
      if (e.callback == callback) return &e;
    return nullptr;
  }
  int UseCount(int slot) const noexcept { return uses_[static_cast<size_t>(slot)]; }
  bool Installed(int slot) const noexcept { return hooks_[static_cast<size_t>(slot)] != nullptr; }

 private:
  TEntry* Find(THookCallback callback) noexcept { return const_cast<TEntry*>(Entry(callback)); }
  void Raise(int slot) {
    const auto s = static_cast<size_t>(slot);
    ++uses_[s];
    // A failed hook is tried again at the next registration that needs it.
    Hook(slot);
  }
  void Hook(int slot) {
    const auto s = static_cast<size_t>(slot);
    if (!hooks_[s]) hooks_[s] = SetWindowsHookExW(kHookIds[s], kHookProcs[s], nullptr, GetCurrentThreadId());
  }
  void Lower(int slot) {
    const auto s = static_cast<size_t>(slot);
    if (uses_[s] > 0) --uses_[s];
    if (uses_[s] == 0) Unhook(slot);
  }
  void Unhook(int slot) {
    const auto s = static_cast<size_t>(slot);
    if (hooks_[s]) UnhookWindowsHookEx(hooks_[s]);
    hooks_[s] = nullptr;
  }

  enum class TMenuPhase { none, opening, measuring };

  std::vector<TEntry> entries_;
  std::array<HHOOK, kSlots> hooks_{};
  std::array<int, kSlots> uses_{};
  TMenuPhase menu_ = TMenuPhase::none;
  cl::THiddenWindow settler_;  // receives the message that ends a menu's phase
};

std::unique_ptr<TRegistry>& Registry() {
  static std::unique_ptr<TRegistry> registry;
  return registry;
}

void Notify(THookEvent event, HWND wnd, WPARAM wParam, LPARAM lParam) {
  if (const auto& registry = Registry()) registry->Notify(event, wnd, wParam, lParam);
}

// Each procedure passes the hook on, whatever it found: other hooks of the thread (the skin's) share it.
LRESULT CALLBACK CallWndProcHook(int code, WPARAM wParam, LPARAM lParam) {
  bool stepAside = false;
  if (code == HC_ACTION) {
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (m->message == WM_ACTIVATEAPP) {
      Notify(heActivateApp, m->hwnd, m->wParam, m->lParam);
    } else if (m->message == WM_WINDOWPOSCHANGED) {
      Notify(heWindowPosChanged, m->hwnd, m->wParam, m->lParam);
    } else if (const auto& registry = Registry()) {
      if (m->message == WM_INITMENUPOPUP)
        registry->MenuOpening();
      else if (m->message == WM_MEASUREITEM && registry->MeasuringMenu())
        stepAside = reinterpret_cast<const MEASUREITEMSTRUCT*>(m->lParam)->CtlType == ODT_MENU;
    }
  }
  const LRESULT result = CallNextHookEx(nullptr, code, wParam, lParam);
  // Only once the chain has been passed on: the next hook is found through this one.
  if (stepAside && Registry()) Registry()->StepAside();
  return result;
}

LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_DESTROYWND) Notify(hePreDestroyWindow, reinterpret_cast<HWND>(wParam), 0, 0);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto* m = reinterpret_cast<const MSG*>(lParam);
    if (m->message == WM_MOUSEMOVE) Notify(heMouseMove, m->hwnd, m->wParam, m->lParam);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Prints one window into dc at its place in parent's client area.
void PrintChild(HWND parent, HWND child, HDC dc, LPARAM flags) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  const cl::TSavedDC saved(dc);
  POINT origin{};
  OffsetViewportOrgEx(dc, r.left, r.top, &origin);
  IntersectClipRect(dc, 0, 0, r.right - r.left, r.bottom - r.top);
  SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc), flags);
}

struct TPrintRun {
  HWND parent;
  HDC dc;
  LPARAM flags;
};

BOOL CALLBACK PrintIfMine(HWND wnd, LPARAM p) {
  const auto& run = *reinterpret_cast<const TPrintRun*>(p);
  if (reinterpret_cast<HWND>(GetWindowLongPtrW(wnd, GWLP_HWNDPARENT)) == run.parent &&
      (GetWindowLongPtrW(wnd, GWL_STYLE) & WS_VISIBLE))
    PrintChild(run.parent, wnd, run.dc, run.flags);
  return TRUE;
}

}  // namespace

void AddHookCallback(THookCallback callback, THookEvents events, bool noHooks) {
  auto& registry = Registry();
  if (!registry) registry = std::make_unique<TRegistry>();
  registry->Add(callback, events, noHooks);
}

void RemoveHookCallback(THookCallback callback) {
  auto& registry = Registry();
  if (registry && !registry->Remove(callback)) registry.reset();
}

bool HookCallbacksRegistered() noexcept { return Registry() != nullptr; }

int HookCallbackCount(THookCallback callback) noexcept {
  const auto& registry = Registry();
  const TRegistry::TEntry* entry = registry ? registry->Entry(callback) : nullptr;
  return entry ? static_cast<int>(entry->raised.size()) : 0;
}

int HookUseCount(int slot) noexcept { return Registry() ? Registry()->UseCount(slot) : 0; }

bool HookInstalled(int slot) noexcept { return Registry() && Registry()->Installed(slot); }

bool IsAppActive() { return GetActiveWindow() != nullptr; }

void SortList(cl::TList& list, const TListCompare& compare, intptr_t extraData) {
  QuickSortItems(
      list.Count(), [&list](int i) { return list.Items(i); }, [&list](int i, int j) { list.Exchange(i, j); },
      [&](void* item1, void* item2) { return compare(item1, item2, extraData); });
}

void ClipToUpdateRegion(HWND wnd, HDC dc, HRGN region) {
  if (reinterpret_cast<uintptr_t>(region) <= 1) return;
  RECT r{};
  GetWindowRect(wnd, &r);
  if (SelectClipRgn(dc, region) == ERROR) {
    const cl::TRegionHandle whole(CreateRectRgnIndirect(&r));
    SelectClipRgn(dc, whole.Get());
  }
  OffsetClipRgn(dc, -r.left, -r.top);
}

void PrintWindowToDC(HWND wnd, cl::TMessage& message, const TDrawNonClient& drawNonClient) {
  message.Result = 1;
  const auto flags = static_cast<LPARAM>(message.LParam);
  if ((flags & PRF_CHECKVISIBLE) && !IsWindowVisible(wnd)) return;
  HDC dc = reinterpret_cast<HDC>(message.WParam);
  const cl::TSavedDC whole(dc);
  if ((flags & PRF_NONCLIENT) && drawNonClient) {
    const cl::TSavedDC saved(dc);
    drawNonClient(wnd, dc);
  }
  RECT window{};
  GetWindowRect(wnd, &window);
  POINT offset{0, 0};
  ClientToScreen(wnd, &offset);
  offset.x -= window.left;
  offset.y -= window.top;
  if (!(flags & PRF_CLIENT)) return;
  const auto shifted = [&](UINT msg) {
    const cl::TSavedDC saved(dc);
    if (flags & PRF_NONCLIENT) OffsetViewportOrgEx(dc, offset.x, offset.y, nullptr);
    SendMessageW(wnd, msg, reinterpret_cast<WPARAM>(dc), 0);
  };
  if (flags & PRF_ERASEBKGND) shifted(WM_ERASEBKGND);
  shifted(WM_PRINTCLIENT);
  OffsetViewportOrgEx(dc, offset.x, offset.y, nullptr);
  if (flags & PRF_CHILDREN) {
    TPrintRun run{wnd, dc, PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN};
    EnumChildWindows(wnd, PrintIfMine, reinterpret_cast<LPARAM>(&run));
  }
  if (flags & PRF_OWNED) {
    TPrintRun run{wnd, dc, flags};
    EnumWindows(PrintIfMine, reinterpret_cast<LPARAM>(&run));
  }
}

void PaintControlToDC(cl::TWinControl& control, cl::TMessage& message) {
  const cl::TSavedDC saved(reinterpret_cast<HDC>(message.WParam));
  control.Perform(WM_PAINT, message.WParam, 0);
}

}  // namespace toolkit
