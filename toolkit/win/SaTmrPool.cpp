#include "SaTmrPool.h"

#include <algorithm>

#include "SysUtils.h"
#include "WinString.h"

namespace toolkit {

namespace {

uint64_t NowMs() {
  LARGE_INTEGER freq, now;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&now);
  return static_cast<uint64_t>(now.QuadPart) * 1000 / static_cast<uint64_t>(freq.QuadPart);
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// TSaTimingThread

TSaTimingWaits::TSaTimingWaits()
    : timer(CreateWaitableTimerW(nullptr, FALSE, nullptr)), wake(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
  if (!timer || !wake) cl::RaiseOSError(GetLastError(), "CreateWaitableTimer/CreateEvent");
}

TSaTimingThread::TSaTimingThread(TSaTimerPool* pool, int interval, std::unique_ptr<TSaTimingWaits> waits)
    : pool_(pool), interval_(interval), waits_(waits ? std::move(waits) : std::make_unique<TSaTimingWaits>()) {}

TSaTimingThread::~TSaTimingThread() { Join(); }

bool TSaTimingThread::Join() noexcept {
  Detach();
  if (!Started() || GetCurrentThreadId() == ThreadID()) return false;
  if (WaitForSingleObject(Handle(), 0) == WAIT_OBJECT_0) return true;
  try {
    WaitFor();
    return true;
  } catch (...) {
    cl::HandleException();
    return false;
  }
}

void TSaTimingThread::SetInterval(int interval) noexcept {
  if (interval_.exchange(interval) > interval) SetEvent(waits_->wake.Get());
}

void TSaTimingThread::Detach() noexcept {
  pool_ = nullptr;
  Terminate();
  if (waits_) SetEvent(waits_->wake.Get());
}

void TSaTimingThread::Execute() {
  const HANDLE waits[2] = {waits_->timer.Get(), waits_->wake.Get()};
  // Arms the timer for what is left of the interval since `start_`.
  auto arm = [this] {
    const int64_t left = int64_t(interval_.load()) - int64_t(NowMs() - start_);
    LARGE_INTEGER due;
    due.QuadPart = -(left < 0 ? 0 : left) * 10000;  // relative, in 100 ns units
    // Setting the timer also clears a firing the previous thread of these waits left unawaited.
    return SetWaitableTimer(waits_->timer.Get(), &due, 0, nullptr, nullptr, FALSE) != FALSE;
  };
  start_ = NowMs();
  while (!Terminated()) {
    if (!arm()) return;
    DWORD r;
    // Woken early: to stop, or for a shorter interval (or by a wake meant for the previous thread).
    while ((r = WaitForMultipleObjects(2, waits, FALSE, INFINITE)) == WAIT_OBJECT_0 + 1)
      if (Terminated() || !arm()) return;
    if (r != WAIT_OBJECT_0 || Terminated()) break;
    const uint64_t due = start_ + uint64_t(std::max(interval_.load(), 0));
    Synchronize([this] { DoTick(); });
    // The next interval runs from the time this tick was due, so the handlers' own time does not stretch
    // every interval; one that is already over starts now instead of firing a burst to catch up.
    const uint64_t now = NowMs();
    start_ = now >= due + uint64_t(std::max(interval_.load(), 0)) ? now : due;
  }
}

void TSaTimingThread::DoTick() {
  if (!pool_) return;
  TSaTimerPool* pool = pool_;
  pool->Tick(static_cast<uint32_t>(NowMs() - start_));
  // The handlers have said how long they can wait; this thread waits in Synchronize meanwhile, so the
  // next interval is in place before its next wait begins. A pool freed by a handler has detached us.
  if (pool_) interval_ = pool->NextInterval();
}

// ---------------------------------------------------------------------------------------------------------
// TSaTimerPool

TSaTimerPool::TSaTimerPool(cl::TComponent* owner) : cl::TComponent(owner) {}

TSaTimerPool::~TSaTimerPool() {
  *alive_ = false;
  while (!entries_.empty()) RemoveObject(entries_.front()->Obj);
  RetireThread();
  ReapThreads(true);
}

int TSaTimerPool::IndexOfObject(const cl::TObject* obj) const {
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i]->Obj == obj) return static_cast<int>(i);
  return -1;
}

const TObjectTimeInfo& TSaTimerPool::Entries(int index) const {
  if (index < 0 || index >= Count()) throw cl::EListError(cl::Format("List index out of bounds (%d)", index));
  return *entries_[static_cast<size_t>(index)];
}

void TSaTimerPool::SetObjectEnabled(cl::TObject* obj, bool enabled) {
  if (!obj) return;
  int i = IndexOfObject(obj);
  if (i < 0) {
    auto info = std::make_unique<TObjectTimeInfo>();
    info->Obj = obj;
    if (auto* c = dynamic_cast<cl::TComponent*>(obj)) FreeNotification(c);
    entries_.push_back(std::move(info));
    i = Count() - 1;
  }
  entries_[static_cast<size_t>(i)]->Enabled = enabled;
  entries_[static_cast<size_t>(i)]->Wait = 0;
  UpdateThread();
  if (thread_ && !ticking_) thread_->SetInterval(NextInterval());
}

void TSaTimerPool::SetObjectWait(cl::TObject* obj, uint32_t ms) {
  const int i = IndexOfObject(obj);
  if (i < 0) return;
  entries_[static_cast<size_t>(i)]->Wait = ms;
  // Inside a tick the thread takes the new interval when the tick returns.
  if (thread_ && !ticking_) thread_->SetInterval(NextInterval());
}

int TSaTimerPool::NextInterval() const {
  constexpr uint32_t kMinimum = 5;
  uint32_t next = UINT32_MAX;
  for (const auto& e : entries_)
    if (e->Enabled) next = std::min(next, std::max(e->Wait, kMinimum));
  return next == UINT32_MAX ? int(kMinimum) : int(std::min<uint32_t>(next, 60000));
}

void TSaTimerPool::RemoveObject(cl::TObject* obj) {
  const int i = IndexOfObject(obj);
  if (i < 0) return;
  entries_.erase(entries_.begin() + i);
  if (auto* c = dynamic_cast<cl::TComponent*>(obj); c && !c->ComponentState().Contains(cl::csDestroying))
    RemoveFreeNotification(c);
  UpdateThread();
}

void TSaTimerPool::Notification(cl::TComponent* component, cl::TOperation operation) {
  if (operation == cl::opRemove) RemoveObject(component);
  inherited::Notification(component, operation);
}

void TSaTimerPool::Tick(uint32_t elapsed) {
  // A handler may enable, disable, remove or free entries (its own or others'): walk a snapshot and look
  // each object up again before it is ticked, so a removed one is never reached.
  std::vector<cl::TObject*> objects;
  for (const auto& e : entries_)
    if (e->Enabled) objects.push_back(e->Obj);
  const std::shared_ptr<bool> alive = alive_;
  ++ticking_;
  struct Leave {
    TSaTimerPool* pool;
    const std::shared_ptr<bool>& alive;
    ~Leave() {
      if (*alive) --pool->ticking_;
    }
  } leave{this, alive};
  for (cl::TObject* obj : objects) {
    const int i = IndexOfObject(obj);
    if (i < 0 || !entries_[static_cast<size_t>(i)]->Enabled) continue;
    TObjectTimeInfo& e = *entries_[static_cast<size_t>(i)];
    ++e.Counter;
    e.Wait = 0;  // ticked: every interval again unless the object says otherwise now
    cl::TMessage m{WM_POOLTICK, elapsed & 0xFFFF, static_cast<intptr_t>(e.Counter), 0};
    obj->Dispatch(m);
    if (!*alive) return;  // freed by the handler
  }
}

DWORD TSaTimerPool::TimingThreadID() const noexcept { return thread_ ? thread_->ThreadID() : 0; }

void TSaTimerPool::UpdateThread() {
  const bool any = std::any_of(entries_.begin(), entries_.end(), [](const auto& e) { return e->Enabled; });
  if (any && !thread_) {
    ReapThreads(false);
    thread_ = std::make_unique<TSaTimingThread>(this, 5, std::move(spareWaits_));
    thread_->Start();
  } else if (!any && thread_) {
    RetireThread();
  }
}

void TSaTimerPool::RetireThread() {
  if (!thread_) return;
  thread_->Detach();
  retired_.push_back(std::move(thread_));
  // Inside a tick the thread is blocked in Synchronize until the tick returns, so it cannot be joined here.
  if (!ticking_) ReapThreads(true);
}

namespace {

// Threads of pools freed from inside their own tick: they end by themselves once the tick returns, and
// are joined by the next pool that looks.
std::vector<std::unique_ptr<TSaTimingThread>>& Orphans() {
  static auto* orphans = new std::vector<std::unique_ptr<TSaTimingThread>>;
  return *orphans;
}

// Joins the finished threads; the waits of one go to `spare` when given, for the next thread.
void ReapFinished(std::vector<std::unique_ptr<TSaTimingThread>>& threads,
                  std::unique_ptr<TSaTimingWaits>* spare = nullptr) {
  for (auto it = threads.begin(); it != threads.end();) {
    if ((*it)->Finished()) {
      // A finished thread is past its last wait and its last Synchronize; the destructor joins.
      if (spare && !*spare) *spare = (*it)->TakeWaits();
      it = threads.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace

void TSaTimerPool::ReapThreads(bool wait) {
  ReapFinished(Orphans());
  if (wait && ticking_) {
    // The synchronising thread waits for this very tick, so it cannot be joined now.
    for (auto& t : retired_) Orphans().push_back(std::move(t));
    retired_.clear();
  } else if (wait) {
    for (auto& t : retired_)
      if (t->Join() && !spareWaits_) spareWaits_ = t->TakeWaits();
    retired_.clear();
  } else {
    ReapFinished(retired_, &spareWaits_);
  }
}

TSaTimerPool& TimerPool() {
  static TSaTimerPool pool(nullptr);
  return pool;
}

}  // namespace toolkit
