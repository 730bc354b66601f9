#include "ExtCtrls.h"

#include <gtest/gtest.h>

#include "MessageLoop.h"

#include <string>

#include "TypInfo.h"

namespace {

using hktest::RunLoop;

// A form-like owner with a published handler, as form descriptions bind them.
class TTimerHost : public cl::TComponent {
  CL_CLASS(TTimerHost, cl::TComponent)
  explicit TTimerHost(cl::TComponent* owner) : TComponent(owner) {}
  void Timer1Timer(cl::TObject* sender) {
    if (++ticks == 2) PostQuitMessage(0);
  }
  int ticks = 0;
};

CL_BEGIN_CLASS(TTimerHost)
    .Method("Timer1Timer", &TTimerHost::Timer1Timer)
CL_END_CLASS

TEST(Timer, FiresRepeatedlyThroughTheMessageLoop) {
  cl::TTimer timer(nullptr);
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(timer.Interval(), 1000u);
  EXPECT_FALSE(timer.Running());  // no handler yet
  timer.SetInterval(10);
  int ticks = 0;
  cl::TObject* sender = nullptr;
  timer.SetOnTimer([&](cl::TObject* s) {
    sender = s;
    if (++ticks == 3) PostQuitMessage(0);
  });
  EXPECT_TRUE(timer.Running());
  const DWORD start = GetTickCount();
  EXPECT_TRUE(RunLoop(5000));
  EXPECT_EQ(ticks, 3);
  EXPECT_GE(GetTickCount() - start, 20u);
  EXPECT_EQ(sender, &timer);
}

TEST(Timer, NoTimerWhileDisabledWithoutIntervalOrHandler) {
  cl::TTimer timer(nullptr);
  int ticks = 0;
  timer.SetInterval(10);
  timer.SetEnabled(false);
  timer.SetOnTimer([&](cl::TObject*) { ++ticks; });
  EXPECT_FALSE(timer.Running());
  EXPECT_FALSE(RunLoop(150));
  EXPECT_EQ(ticks, 0);

  timer.SetEnabled(true);
  EXPECT_TRUE(timer.Running());
  timer.SetInterval(0);
  EXPECT_FALSE(timer.Running());
  timer.SetInterval(10);
  timer.SetOnTimer(nullptr);
  EXPECT_FALSE(timer.Running());
  EXPECT_FALSE(RunLoop(100));
  EXPECT_EQ(ticks, 0);

  timer.SetOnTimer([&](cl::TObject*) {
    ++ticks;
    PostQuitMessage(0);
  });
  EXPECT_TRUE(RunLoop(5000));
  EXPECT_EQ(ticks, 1);
}

TEST(Timer, LoadingWaitsForLoadedAndBindsPublishedHandlers) {
  TTimerHost host(nullptr);
  auto* timer = new cl::TTimer(&host);
  host.BeginLoading();
  cl::SetOrdProp(timer, "Interval", 15);
  cl::SetMethodProp(timer, cl::GetPropInfo(timer, "OnTimer"), host.MethodAddress("Timer1Timer"));
  EXPECT_FALSE(timer->Running());  // not while loading
  host.EndLoading();
  EXPECT_TRUE(timer->Running());
  EXPECT_EQ(cl::GetMethodProp(timer, "OnTimer"), host.MethodAddress("Timer1Timer"));
  EXPECT_TRUE(RunLoop(5000));
  EXPECT_EQ(host.ticks, 2);

  // Defaults are not stored.
  EXPECT_FALSE(cl::IsStoredProp(timer, cl::GetPropInfo(timer, "Enabled")));
  EXPECT_TRUE(cl::IsStoredProp(timer, cl::GetPropInfo(timer, "Interval")));
  cl::SetOrdProp(timer, "Interval", 1000);
  EXPECT_FALSE(cl::IsStoredProp(timer, cl::GetPropInfo(timer, "Interval")));
}

TEST(Timer, HandlerExceptionsGoToTheApplicationAndTheTimerMayFreeItself) {
  std::string handled;
  cl::SetExceptionHandler([&](const std::exception& e) { handled = e.what(); });
  auto* timer = new cl::TTimer(nullptr);
  timer->SetInterval(5);
  int ticks = 0;
  timer->SetOnTimer([&](cl::TObject*) {
    if (++ticks == 1) throw cl::EConvertError("tick failed");
    delete timer;  // from its own handler
    PostQuitMessage(0);
  });
  EXPECT_TRUE(RunLoop(5000));
  cl::SetExceptionHandler(nullptr);
  EXPECT_EQ(handled, "tick failed");
  EXPECT_EQ(ticks, 2);
  EXPECT_FALSE(RunLoop(50));  // and nothing fires any more
  EXPECT_EQ(ticks, 2);
}

}  // namespace
