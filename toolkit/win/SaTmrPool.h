// The timer pool: one timing thread that ticks every registered, enabled object at least every 5 ms, or
// less often while every enabled object has said how long it can wait (an animation needs no tick before
// its next frame is due). The tick arrives on the GUI thread as WM_POOLTICK through the object's own
// Dispatch (no window is involved).
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "Classes.h"
#include "KernelHandle.h"
#include "Threads.h"

namespace toolkit {

// The tick: WParam = milliseconds since the timing thread began the interval (low 16 bits),
// LParam = the entry's counter after incrementing.
constexpr uint32_t WM_POOLTICK = 2034;
inline uint16_t PoolTickElapsed(const cl::TMessage& m) { return static_cast<uint16_t>(m.WParam & 0xFFFF); }
inline int32_t PoolTickCounter(const cl::TMessage& m) { return static_cast<int32_t>(m.LParam); }

class TSaTimerPool;

// One registered object.
class TObjectTimeInfo : public cl::TObject {
  CL_PLAIN_CLASS(TObjectTimeInfo, cl::TObject)
  cl::TObject* Obj = nullptr;
  bool Enabled = false;
  int32_t Counter = 0;  // ticks sent since the entry was made
  uint32_t Wait = 0;    // ms the object needs no tick, from its last tick (0: every interval)
};

// What a timing thread waits on: its timer and the event that wakes it early (to stop, or to take a
// shorter interval). The pool keeps the pair between threads: a thread starts at every play of an
// animation, and making the kernel objects anew each time is needless work at every start and end.
struct TSaTimingWaits {
  TSaTimingWaits();
  cl::TKernelHandle timer;
  cl::TKernelHandle wake;  // auto-reset; one left set by the previous thread only wakes a thread once
};

// Waits one interval on a waitable timer (or until told to stop), then runs the pool's tick on the GUI
// thread through Synchronize. The pool owns it and joins it.
class TSaTimingThread : public cl::TThread {
  CL_PLAIN_CLASS(TSaTimingThread, cl::TThread)
  TSaTimingThread(TSaTimerPool* pool, int interval, std::unique_ptr<TSaTimingWaits> waits);
  ~TSaTimingThread() override;
  // GUI thread only: detaches and waits until the thread has ended; false when it cannot be known to have.
  bool Join() noexcept;
  // Once the thread has ended: its waits, for the next thread.
  std::unique_ptr<TSaTimingWaits> TakeWaits() noexcept { return std::move(waits_); }
  // GUI thread only: no tick reaches the pool after this; wakes the thread so that it ends.
  void Detach() noexcept;
  // The interval from the start of the current wait to the next tick; a shorter one takes effect at once.
  void SetInterval(int interval) noexcept;

 protected:
  void Execute() override;

 private:
  void DoTick();

  TSaTimerPool* pool_;  // read and cleared on the GUI thread only
  std::atomic<int> interval_;
  std::unique_ptr<TSaTimingWaits> waits_;
  uint64_t start_ = 0;  // written by this thread, read by DoTick while this thread waits in Synchronize
};

class TSaTimerPool : public cl::TComponent {
  CL_PLAIN_CLASS(TSaTimerPool, cl::TComponent)
  explicit TSaTimerPool(cl::TComponent* owner);
  // Stops and joins the timing thread before anything goes.
  ~TSaTimerPool() override;

  // Registers obj (once) and enables or disables its ticks. A component is removed by itself when freed;
  // any other object must call RemoveObject before it goes.
  void SetObjectEnabled(cl::TObject* obj, bool enabled);
  // A registered object needs no tick for `ms` from now (it is ticked every interval again once it
  // has been ticked, unless it says so anew). The pool sleeps until the earliest such time.
  void SetObjectWait(cl::TObject* obj, uint32_t ms);
  // The wait of the timing thread until its next tick: the earliest wait of the enabled entries, at
  // least 5 ms.
  int NextInterval() const;
  void RemoveObject(cl::TObject* obj);
  int IndexOfObject(const cl::TObject* obj) const;
  int Count() const noexcept { return static_cast<int>(entries_.size()); }
  const TObjectTimeInfo& Entries(int index) const;

  // Sends WM_POOLTICK to every entry enabled at that moment, in list order.
  void Tick(uint32_t elapsed);

  // The running timing thread's id, 0 when none runs (a thread is started while some entry is enabled).
  DWORD TimingThreadID() const noexcept;

 protected:
  void Notification(cl::TComponent* component, cl::TOperation operation) override;

 private:
  void UpdateThread();
  void RetireThread();
  void ReapThreads(bool wait);

  std::vector<std::unique_ptr<TObjectTimeInfo>> entries_;
  std::unique_ptr<TSaTimingThread> thread_;
  std::vector<std::unique_ptr<TSaTimingThread>> retired_;  // told to stop, not yet joined
  std::unique_ptr<TSaTimingWaits> spareWaits_;             // those of the last thread joined
  int ticking_ = 0;                                        // depth of Tick on the stack
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // a handler may free the pool
};

// The program's pool, made on first use.
TSaTimerPool& TimerPool();

}  // namespace toolkit
