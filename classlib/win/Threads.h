// Worker threads and calls from them into the main (GUI) thread.
#pragma once
#include <windows.h>

#include <atomic>
#include <exception>
#include <functional>

#include "Classes.h"
#include "KernelHandle.h"

namespace cl {

CL_DECLARE_EXCEPTION(EThread, Exception)

// Makes the calling thread the main thread, the one that runs what other threads hand over with
// TThread::Synchronize and TThread::Queue; the application object calls it at start, and the first TThread
// made does so when nobody did. Later calls do nothing.
void InitMainThread();
// 0 until there is a main thread.
DWORD MainThreadID() noexcept;
bool IsMainThread() noexcept;
// Runs the calls other threads handed over. Every message loop of the main thread does this by itself
// (the requests arrive as a posted message to a hidden window); call it where the thread waits without
// dispatching messages. Returns whether anything ran; does nothing on any other thread.
bool CheckSynchronize();

// A thread running Execute. It is made with the object and starts with Start() (a derived class whose
// constructor comes last may call Start() at its end). A thread still running when its object is
// destroyed is told to terminate and waited for; a derived class whose Execute uses its own members
// must do that in its own destructor, before they go.
class TThread : public TObject {
  CL_PLAIN_CLASS(TThread, TObject)
  TThread();
  ~TThread() override;

  // EThread "Thread already started" when called twice, EOSError when the system refuses.
  void Start();
  // Asks Execute to end; Execute polls Terminated().
  void Terminate() noexcept { terminated_ = true; }
  bool Terminated() const noexcept { return terminated_; }
  bool Started() const noexcept { return static_cast<bool>(handle_); }
  bool Finished() const noexcept { return finished_; }

  // Waits until the thread has ended and returns ReturnValue. On the main thread it keeps serving
  // Synchronize and Queue calls and messages sent from other threads while it waits, so a thread that
  // synchronises does not deadlock it; it also runs what was queued before the thread ended.
  // EThread for a thread that was not started, that frees itself, or that waits for itself.
  int WaitFor();

  // The object deletes itself on its thread when Execute and OnTerminate are done; do not touch it after
  // Start() then.
  bool FreeOnTerminate() const noexcept { return freeOnTerminate_; }
  void SetFreeOnTerminate(bool value) noexcept { freeOnTerminate_ = value; }
  int ReturnValue() const noexcept { return returnValue_; }
  // What escaped Execute (or OnTerminate), if anything.
  std::exception_ptr FatalException() const { return fatal_; }
  DWORD ThreadID() const noexcept { return id_; }
  HANDLE Handle() const noexcept { return handle_.Get(); }

  // Raised on the main thread after Execute, before the thread ends.
  TNotifyEvent OnTerminate;

  // Runs fn on the main thread and waits until it has run; an exception fn throws is thrown here. On the
  // main thread fn just runs. EThread when there is no main thread.
  static void Synchronize(std::function<void()> fn);
  // Hands fn to the main thread without waiting; what fn throws goes to the application's handler.
  static void Queue(std::function<void()> fn);

 protected:
  virtual void Execute() = 0;
  void SetReturnValue(int value) noexcept { returnValue_ = value; }
  // Raises OnTerminate through Synchronize.
  virtual void DoTerminate();

 private:
  static DWORD WINAPI ThreadProc(void* self);

  TKernelHandle handle_;
  DWORD id_ = 0;
  std::atomic<bool> terminated_{false};
  std::atomic<bool> finished_{false};
  bool freeOnTerminate_ = false;
  int returnValue_ = 0;
  std::exception_ptr fatal_;
};

}  // namespace cl
