#include "Threads.h"

#include <gtest/gtest.h>

#include "MessageLoop.h"

#include <atomic>
#include <string>
#include <vector>

#include "HiddenWindow.h"
#include "KernelHandle.h"
#include "TestSupport.h"

namespace {

using hktest::RunLoop;

class TLambdaThread : public cl::TThread {
 public:
  using Body = std::function<void(TLambdaThread&)>;
  explicit TLambdaThread(Body body) : body_(std::move(body)) {}
  ~TLambdaThread() override {
    // Execute uses body_: stop it before the member goes.
    if (Started() && !FreeOnTerminate() && GetCurrentThreadId() != ThreadID()) {
      Terminate();
      WaitFor();
    }
    if (onDestroy) onDestroy();
  }
  using cl::TThread::SetReturnValue;
  std::function<void()> onDestroy;

 protected:
  void Execute() override { body_(*this); }

 private:
  Body body_;
};

TEST(Thread, SynchronizeRunsInAPlainMessageLoop) {
  DWORD ranOn = 0;
  TLambdaThread thread([&](TLambdaThread&) {
    cl::TThread::Synchronize([&] {
      ranOn = GetCurrentThreadId();
      PostQuitMessage(0);
    });
  });
  EXPECT_EQ(cl::MainThreadID(), GetCurrentThreadId());  // the first thread object made it the main thread
  thread.Start();
  EXPECT_TRUE(RunLoop(10000));
  EXPECT_EQ(ranOn, GetCurrentThreadId());
  thread.WaitFor();
  EXPECT_TRUE(thread.Finished());
}

TEST(Thread, SynchronizeRunsInANestedModalLoop) {
  cl::InitMainThread();
  int depth = 0, depthSeen = -1;
  TLambdaThread thread([&](TLambdaThread&) {
    cl::TThread::Synchronize([&] {
      depthSeen = depth;
      PostQuitMessage(0);  // ends the nested loop
    });
  });
  cl::THiddenWindow window([&](cl::TMessage& m) {
    if (m.Msg != WM_APP) return;
    ++depth;
    thread.Start();
    RunLoop(10000);  // a modal loop of its own, as a dialog would run
    --depth;
    PostQuitMessage(0);  // ends the outer loop
  });
  PostMessageW(window.Handle(), WM_APP, 0, 0);
  EXPECT_TRUE(RunLoop(10000));
  EXPECT_EQ(depthSeen, 1);
}

TEST(Thread, WaitForServesSynchronizeAndRaisesOnTerminateOnTheMainThread) {
  std::vector<DWORD> ranOn;
  DWORD terminateOn = 0;
  TLambdaThread thread([&](TLambdaThread& self) {
    for (int i = 0; i < 3; ++i) cl::TThread::Synchronize([&] { ranOn.push_back(GetCurrentThreadId()); });
    self.SetReturnValue(42);
  });
  thread.OnTerminate = [&](cl::TObject* sender) {
    EXPECT_EQ(sender, &thread);
    terminateOn = GetCurrentThreadId();
  };
  thread.Start();
  EXPECT_EQ(thread.WaitFor(), 42);  // no message loop: WaitFor serves the calls itself
  EXPECT_EQ(ranOn, std::vector<DWORD>(3, GetCurrentThreadId()));
  EXPECT_EQ(terminateOn, GetCurrentThreadId());
  EXPECT_FALSE(thread.FatalException());
}

TEST(Thread, ExceptionsReachTheirThread) {
  std::string caught;
  TLambdaThread thread([&](TLambdaThread&) {
    try {
      cl::TThread::Synchronize([] { throw cl::EConvertError("bad value"); });
    } catch (const cl::EConvertError& e) {
      caught = e.Message();
    }
    throw cl::EInvalidOperation("worker failed");
  });
  thread.Start();
  thread.WaitFor();
  EXPECT_EQ(caught, "bad value");
  ASSERT_TRUE(thread.FatalException());
  EXPECT_EQ(testsupport::MessageOf<cl::EInvalidOperation>([&] { std::rethrow_exception(thread.FatalException()); }),
            "worker failed");

  // What a queued call throws goes to the application's handler.
  std::string handled;
  cl::SetExceptionHandler([&](const std::exception& e) { handled = e.what(); });
  DWORD queuedOn = 0;
  TLambdaThread queuer([&](TLambdaThread&) {
    cl::TThread::Queue([&] { queuedOn = GetCurrentThreadId(); });
    cl::TThread::Queue([] { throw cl::EConvertError("queued failure"); });
  });
  queuer.Start();
  queuer.WaitFor();  // runs what was queued before the thread ended
  cl::SetExceptionHandler(nullptr);
  EXPECT_EQ(queuedOn, GetCurrentThreadId());
  EXPECT_EQ(handled, "queued failure");
}

TEST(Thread, TerminateStopsARunningThreadAndFreeOnTerminateFreesIt) {
  std::atomic<int> syncs{0};
  const cl::TKernelHandle running(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  {
    TLambdaThread thread([&](TLambdaThread& self) {
      SetEvent(running.Get());
      do {
        cl::TThread::Synchronize([&] { ++syncs; });
      } while (!self.Terminated());
    });
    thread.Start();
    ASSERT_EQ(WaitForSingleObject(running.Get(), 10000), WAIT_OBJECT_0);
  }  // the destructor terminates it and serves its calls while waiting
  EXPECT_GT(syncs.load(), 0);

  const cl::TKernelHandle freed(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::atomic<DWORD> freedOn{0};
  auto* self = new TLambdaThread([](TLambdaThread&) {});
  self->SetFreeOnTerminate(true);
  self->onDestroy = [&] {
    freedOn = GetCurrentThreadId();
    SetEvent(freed.Get());
  };
  self->Start();
  EXPECT_EQ(WaitForSingleObject(freed.Get(), 10000), WAIT_OBJECT_0);
  EXPECT_NE(freedOn.load(), GetCurrentThreadId());
}

TEST(Thread, WaitForRefusesWhatCannotEnd) {
  TLambdaThread idle([](TLambdaThread&) {});
  EXPECT_EQ(testsupport::MessageOf<cl::EThread>([&] { idle.WaitFor(); }), "Thread has not been started");
  std::string message;
  TLambdaThread selfWaiter([&](TLambdaThread& self) {
    message = testsupport::MessageOf<cl::EThread>([&] { self.WaitFor(); });
  });
  selfWaiter.Start();
  EXPECT_EQ(testsupport::MessageOf<cl::EThread>([&] { selfWaiter.Start(); }), "Thread already started");
  selfWaiter.WaitFor();
  EXPECT_EQ(message, "A thread cannot wait for itself");
}

}  // namespace
