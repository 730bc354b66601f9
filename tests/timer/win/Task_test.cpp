// The task's timing, the warning count and the power-off, apart from the windows.
#include <gtest/gtest.h>

#include "FakePower.h"
#include "TimerPower.h"
#include "TimerTask.h"

namespace {

using pellwick::TTimerTask;

constexpr int64_t kDay = 86400000;
int64_t At(int64_t day, int h, int m, int s, int ms = 0) { return day * kDay + ((h * 60 + m) * 60 + s) * 1000 + ms; }

TEST(TimerTaskTest, CountOfSixFallsDueOnTheSeventhTick) {
  TTimerTask task;
  task.StartCountDown(6);
  for (int tick = 1; tick <= 6; ++tick) EXPECT_FALSE(task.CountDownTick()) << tick;
  EXPECT_TRUE(task.CountDownTick());
  EXPECT_EQ(task.State(), TTimerTask::TState::Due);
  EXPECT_FALSE(task.CountDownTick());  // once only
}

TEST(TimerTaskTest, ExactTimeFallsDueOnlyInItsSecondAndAMissedOneWaitsForTheNextDay) {
  TTimerTask task;
  task.StartExactTime(12, 0, 5);
  EXPECT_FALSE(task.ExactTimeTick(At(100, 12, 0, 4, 999)));
  EXPECT_EQ(task.MsUntilDue(At(100, 12, 0, 4, 999)), 1);
  EXPECT_TRUE(task.ExactTimeTick(At(100, 12, 0, 5, 999)));

  // The machine slept through the second: waking later that day powers nothing off.
  task.StartExactTime(12, 0, 5);
  EXPECT_FALSE(task.ExactTimeTick(At(100, 12, 0, 4)));
  EXPECT_FALSE(task.ExactTimeTick(At(100, 12, 0, 6)));
  EXPECT_EQ(task.MsUntilDue(At(100, 12, 0, 6)), kDay - 1000);
  EXPECT_FALSE(task.ExactTimeTick(At(101, 12, 0, 4)));
  EXPECT_TRUE(task.ExactTimeTick(At(101, 12, 0, 5, 300)));

  // Waiting for 23:00 when the machine wakes at 23:40, or the clock is set forward past it.
  task.StartExactTime(23, 0, 0);
  EXPECT_FALSE(task.ExactTimeTick(At(100, 22, 59, 0)));
  EXPECT_FALSE(task.ExactTimeTick(At(100, 23, 40, 0)));
  EXPECT_EQ(task.State(), TTimerTask::TState::WaitingForTime);
  EXPECT_EQ(task.NextTargetLocalMs(At(100, 23, 40, 0)), At(101, 23, 0, 0));
  // A clock set back waits for the second as the clock shows it, not for a moment fixed at the start.
  EXPECT_EQ(task.MsUntilDue(At(99, 22, 59, 59, 500)), 500);
  EXPECT_TRUE(task.ExactTimeTick(At(99, 23, 0, 0)));
}

TEST(TimerTaskTest, ExactTimeCountsTheCurrentSecondAndOtherwiseWaitsForTomorrow) {
  TTimerTask task;
  task.StartExactTime(8, 30, 0);
  EXPECT_TRUE(task.ExactTimeTick(At(7, 8, 30, 0, 601)));

  task.StartExactTime(8, 29, 59);
  EXPECT_EQ(task.NextTargetLocalMs(At(7, 8, 30, 0)), At(8, 8, 29, 59));
  EXPECT_FALSE(task.ExactTimeTick(At(7, 23, 59, 59)));

  task.StartExactTime(23, 59, 59);
  EXPECT_EQ(task.NextTargetLocalMs(At(7, 0, 0, 1)), At(7, 23, 59, 59));
  task.Stop();
  EXPECT_FALSE(task.ExactTimeTick(At(7, 23, 59, 59)));
}

TEST(WarningCountTest, ShowsThirtyToOneThenPowersOff) {
  pellwick::TWarningCount warning;
  std::string caption;
  int progress = -1;
  for (int shown = 30; shown >= 1; --shown) {
    ASSERT_TRUE(warning.Tick(caption, progress));
    EXPECT_EQ(caption, "Turn off in " + std::to_string(shown) + " Seconds..");
    EXPECT_EQ(progress, 30 - shown);
  }
  EXPECT_EQ(progress, 29);
  EXPECT_FALSE(warning.Tick(caption, progress));
  warning.Reset();
  ASSERT_TRUE(warning.Tick(caption, progress));
  EXPECT_EQ(caption, "Turn off in 30 Seconds..");
  EXPECT_EQ(progress, 0);
}

TEST(ForcePowerOffTest, PowersOffWithShutdownForceAndPowerOff) {
  timertest::TFakePower power;
  hk::PowerCallsScope scope(power);
  EXPECT_TRUE(pellwick::ForcePowerOff());
  ASSERT_FALSE(power.openedAccess.empty());
  EXPECT_EQ(power.openedAccess.front(), 0xF00FFu);
  ASSERT_EQ(power.exits.size(), 1u);
  EXPECT_EQ(power.exits[0], 13u);
}

TEST(ForcePowerOffTest, APrivilegeThatCannotBeHadStillMakesTheCallAndOnlyARefusalFails) {
  timertest::TFakePower power;
  hk::PowerCallsScope scope(power);
  power.tokenOpens = false;
  EXPECT_TRUE(pellwick::ForcePowerOff());
  power.tokenOpens = true;
  power.adjustError = ERROR_NOT_ALL_ASSIGNED;
  EXPECT_TRUE(pellwick::ForcePowerOff());
  EXPECT_EQ(power.exits, (std::vector<UINT>{13, 13}));
  power.exitSucceeds = false;
  EXPECT_FALSE(pellwick::ForcePowerOff());
  EXPECT_EQ(power.exits.size(), 3u);
}

}  // namespace
