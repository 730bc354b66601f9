#include "Threads.h"

#include <deque>
#include <future>
#include <memory>
#include <mutex>

#include "HiddenWindow.h"
#include "SysUtils.h"
#include "WinString.h"

namespace cl {

namespace {

constexpr UINT kSyncMessage = WM_APP + 1;

struct SyncRequest {
  std::function<void()> fn;
  bool waiting = false;     // Synchronize (the caller waits for done) or Queue
  std::promise<void> done;  // carries fn's exception to a waiting caller
};

// The hand-over point of the process: one main thread, its hidden window, the pending calls, and an event
// that WaitFor watches, since it dispatches no messages.
struct SyncState {
  std::mutex initLock;
  std::atomic<DWORD> mainThread{0};
  HWND window = nullptr;  // written before mainThread is published
  TKernelHandle pending{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
  std::mutex lock;
  std::deque<std::shared_ptr<SyncRequest>> queue;
};

SyncState& State() {
  // Lives as long as the process: threads may hand calls over until the very end.
  static SyncState* state = new SyncState;
  return *state;
}

void Post(std::shared_ptr<SyncRequest> request) {
  SyncState& s = State();
  {
    std::lock_guard<std::mutex> guard(s.lock);
    s.queue.push_back(std::move(request));
  }
  SetEvent(s.pending.Get());
  // Should the queue of the main thread be full, the request still runs with the next one handed over,
  // or in WaitFor.
  PostMessageW(s.window, kSyncMessage, 0, 0);
}

}  // namespace

void InitMainThread() {
  SyncState& s = State();
  std::lock_guard<std::mutex> guard(s.initLock);
  if (s.mainThread.load()) return;
  s.window = AllocateHWnd([](TMessage& m) {
    if (m.Msg == kSyncMessage)
      CheckSynchronize();
    else
      m.Result = DefWindowProcW(State().window, m.Msg, m.WParam, m.LParam);
  });
  s.mainThread.store(GetCurrentThreadId());
}

DWORD MainThreadID() noexcept { return State().mainThread.load(); }

bool IsMainThread() noexcept {
  const DWORD main = MainThreadID();
  return main != 0 && main == GetCurrentThreadId();
}

bool CheckSynchronize() {
  if (!IsMainThread()) return false;
  SyncState& s = State();
  bool ran = false;
  for (;;) {
    std::shared_ptr<SyncRequest> request;
    {
      std::lock_guard<std::mutex> guard(s.lock);
      if (s.queue.empty()) break;
      request = std::move(s.queue.front());
      s.queue.pop_front();
    }
    ran = true;
    if (request->waiting) {
      try {
        request->fn();
        request->done.set_value();
      } catch (...) {
        request->done.set_exception(std::current_exception());
      }
    } else {
      try {
        request->fn();
      } catch (...) {
        HandleException();
      }
    }
  }
  return ran;
}

void TThread::Synchronize(std::function<void()> fn) {
  const DWORD main = MainThreadID();
  if (!main) throw EThread("There is no main thread to synchronise with");
  if (main == GetCurrentThreadId()) {
    fn();
    return;
  }
  auto request = std::make_shared<SyncRequest>();
  request->fn = std::move(fn);
  request->waiting = true;
  std::future<void> done = request->done.get_future();
  Post(std::move(request));
  done.get();
}

void TThread::Queue(std::function<void()> fn) {
  const DWORD main = MainThreadID();
  if (!main) throw EThread("There is no main thread to synchronise with");
  if (main == GetCurrentThreadId()) {
    fn();
    return;
  }
  auto request = std::make_shared<SyncRequest>();
  request->fn = std::move(fn);
  Post(std::move(request));
}

TThread::TThread() { InitMainThread(); }

TThread::~TThread() {
  if (!handle_) return;
  if (GetCurrentThreadId() != id_ && WaitForSingleObject(handle_.Get(), 0) != WAIT_OBJECT_0) {
    Terminate();
    freeOnTerminate_ = false;
    try {
      WaitFor();
    } catch (...) {
      HandleException();
    }
  }
}

void TThread::Start() {
  if (handle_) throw EThread("Thread already started");
  // Suspended until the handle and id are stored: a thread that frees itself may be gone at once.
  DWORD id = 0;
  HANDLE h = CreateThread(nullptr, 0, &TThread::ThreadProc, this, CREATE_SUSPENDED, &id);
  if (!h) RaiseOSError(GetLastError(), "CreateThread");
  handle_.Reset(h);
  id_ = id;
  ResumeThread(h);
}

DWORD WINAPI TThread::ThreadProc(void* self) {
  auto* thread = static_cast<TThread*>(self);
  try {
    if (!thread->Terminated()) thread->Execute();
  } catch (...) {
    thread->fatal_ = std::current_exception();
  }
  try {
    thread->DoTerminate();
  } catch (...) {
    if (!thread->fatal_) thread->fatal_ = std::current_exception();
  }
  const bool freeSelf = thread->freeOnTerminate_;
  const DWORD result = static_cast<DWORD>(thread->returnValue_);
  thread->finished_ = true;
  if (freeSelf) delete thread;
  return result;
}

void TThread::DoTerminate() {
  if (OnTerminate) Synchronize([this] { OnTerminate(this); });
}

int TThread::WaitFor() {
  if (!handle_) throw EThread("Thread has not been started");
  if (GetCurrentThreadId() == id_) throw EThread("A thread cannot wait for itself");
  if (freeOnTerminate_) throw EThread("Cannot wait for a thread that frees itself");
  if (IsMainThread()) {
    HANDLE handles[2] = {handle_.Get(), State().pending.Get()};
    for (;;) {
      const DWORD r = MsgWaitForMultipleObjects(2, handles, FALSE, INFINITE, QS_SENDMESSAGE);
      if (r == WAIT_OBJECT_0) break;
      if (r == WAIT_OBJECT_0 + 1) {
        CheckSynchronize();
      } else if (r == WAIT_OBJECT_0 + 2) {
        MSG msg;  // delivers the messages other threads sent to this thread's windows
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
      } else {
        RaiseOSError(GetLastError(), "MsgWaitForMultipleObjects");
      }
    }
    CheckSynchronize();
  } else if (WaitForSingleObject(handle_.Get(), INFINITE) == WAIT_FAILED) {
    RaiseOSError(GetLastError(), "WaitForSingleObject");
  }
  return returnValue_;
}

}  // namespace cl
