#include "WindowSubclass.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "KeepAlive.h"
#include "SysUtils.h"
#include "WinString.h"
#include "WindowBinding.h"

namespace cl {

// One installation. It outlives its owner while its handler is running or its window's chain still
// lists it, so that a handler may free the object that installed it.
struct TWindowSubclass::Link : TKeepAlive {
  THandler handler;
  HWND wnd = nullptr;  // null once removed
  TObject* object = nullptr;
  bool binding = false;
};

namespace {

using Link = TWindowSubclass::Link;

// The installations of one window, oldest first, in front of the procedure the window had before. The
// chain is the window's procedure; it finds itself in a table of this process instead of a window
// property, which some systems look up through their window server at every message.
struct Chain {
  HWND wnd = nullptr;
  WNDPROC original = nullptr;
  std::vector<Link*> links;  // each held; removed ones stay until no message runs in the chain
  int running = 0;           // messages inside the chain, nested ones included
  bool removals = false;     // links were removed while messages ran: compacted when the last one leaves
  bool dissolved = false;    // the window is gone; freed when the last message leaves
};

// Guards the table and every chain's links: BoundObject may be asked from any thread.
std::mutex& Lock() {
  static auto* lock = new std::mutex;
  return *lock;
}
std::unordered_map<HWND, Chain*>& Chains() {
  static auto* chains = new std::unordered_map<HWND, Chain*>;
  return *chains;
}

Chain* FindChain(HWND wnd) {
  const auto it = Chains().find(wnd);
  return it == Chains().end() ? nullptr : it->second;
}

// Where each message of this thread stands in its chain: the links below `next` are still to come.
struct Frame {
  Chain* chain;
  size_t next;
};
thread_local std::vector<Frame> frames;

LRESULT CALLBACK ChainProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Calls the next live link below the frame's position, or the window's own procedure.
LRESULT CallOn(size_t frame, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  std::vector<Frame>& stack = frames;
  Chain* chain = stack[frame].chain;
  Link* link = nullptr;
  size_t at = stack[frame].next;
  {
    std::lock_guard<std::mutex> guard(Lock());
    // The window destroyed inside this message has ended every installation.
    at = std::min(at, chain->links.size());
    while (at > 0 && !link) {
      Link* candidate = chain->links[--at];
      if (candidate->wnd) link = candidate;
    }
  }
  if (!link) return CallWindowProcW(chain->original, wnd, msg, wParam, lParam);
  const size_t before = stack[frame].next;
  stack[frame].next = at;
  TKeepAlive::THold hold(*link);
  LRESULT result = 0;
  GuardMessage([&] { result = link->handler(wnd, msg, wParam, lParam); });
  stack[frame].next = before;  // a second CallPrevious of the same handler reaches the same link
  return result;
}

// Drops the removed links; an empty chain gives the window its procedure back, unless another procedure
// was put in front of the chain meanwhile (then the chain stays, passing everything on).
void Compact(Chain* chain) {
  std::vector<Link*> dropped;
  {
    std::lock_guard<std::mutex> guard(Lock());
    chain->removals = false;
    auto& links = chain->links;
    for (auto it = links.begin(); it != links.end();) {
      if ((*it)->wnd) {
        ++it;
      } else {
        dropped.push_back(*it);
        it = links.erase(it);
      }
    }
    if (links.empty() && reinterpret_cast<WNDPROC>(GetWindowLongPtrW(chain->wnd, GWLP_WNDPROC)) == ChainProc) {
      SetWindowLongPtrW(chain->wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(chain->original));
      Chains().erase(chain->wnd);
      chain->dissolved = true;
    }
  }
  for (Link* link : dropped) link->Drop();
  if (chain->dissolved) delete chain;
}

// After WM_NCDESTROY: every installation has ended; the chain goes once no message runs in it.
void Dissolve(Chain* chain) {
  std::vector<Link*> links;
  {
    std::lock_guard<std::mutex> guard(Lock());
    Chains().erase(chain->wnd);
    chain->dissolved = true;
    links.swap(chain->links);
    for (Link* link : links) link->wnd = nullptr;
  }
  for (Link* link : links) link->Drop();
}

LRESULT CALLBACK ChainProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Chain* chain = nullptr;
  {
    std::lock_guard<std::mutex> guard(Lock());
    chain = FindChain(wnd);
  }
  if (!chain) return DefWindowProcW(wnd, msg, wParam, lParam);
  std::vector<Frame>& stack = frames;
  ++chain->running;
  stack.push_back(Frame{chain, chain->links.size()});
  const LRESULT result = CallOn(stack.size() - 1, wnd, msg, wParam, lParam);
  stack.pop_back();
  if (msg == WM_NCDESTROY && !chain->dissolved) Dissolve(chain);
  if (--chain->running == 0) {
    if (chain->dissolved)
      delete chain;
    else if (chain->removals)
      Compact(chain);
  }
  return result;
}

}  // namespace

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
  link->binding = binding;
  link->Hold();  // the chain's
  {
    std::lock_guard<std::mutex> guard(Lock());
    Chain* chain = FindChain(wnd);
    if (!chain) {
      SetLastError(ERROR_SUCCESS);
      const auto original =
          reinterpret_cast<WNDPROC>(SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ChainProc)));
      if (!original) {
        const DWORD error = GetLastError();
        link->Drop();
        link->Release();
        RaiseOSError(error, "SetWindowLongPtr");
      }
      chain = new Chain{wnd, original};
      Chains().emplace(wnd, chain);
    }
    chain->links.push_back(link);
  }
  link_ = link;
}

void TWindowSubclass::Remove() noexcept {
  Link* link = link_;
  if (!link) return;
  link_ = nullptr;
  Chain* chain = nullptr;
  {
    std::lock_guard<std::mutex> guard(Lock());
    if (link->wnd) chain = FindChain(link->wnd);
    link->wnd = nullptr;
    if (chain) chain->removals = true;
  }
  if (chain && chain->running == 0) Compact(chain);
  link->Release();
}

HWND TWindowSubclass::Handle() const noexcept { return link_ ? link_->wnd : nullptr; }

LRESULT TWindowSubclass::CallPrevious(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const std::vector<Frame>& stack = frames;
  for (size_t i = stack.size(); i-- > 0;)
    if (stack[i].chain->wnd == wnd) return CallOn(i, wnd, msg, wParam, lParam);
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

TObject* TWindowSubclass::BoundObject(HWND wnd) noexcept {
  if (!wnd) return nullptr;
  std::lock_guard<std::mutex> guard(Lock());
  if (const Chain* chain = FindChain(wnd))
    for (const Link* link : chain->links)
      if (link->binding && link->wnd) return link->object;
  return nullptr;
}

}  // namespace cl
