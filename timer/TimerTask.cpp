#include "TimerTask.h"

namespace pellwick {

int64_t LocalMilliseconds(const SYSTEMTIME& t) {
  FILETIME ft{};
  SystemTimeToFileTime(&t, &ft);
  const int64_t ticks = (static_cast<int64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  return ticks / 10000;
}

int64_t NowLocalMilliseconds() {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  return LocalMilliseconds(t);
}

void TTimerTask::StartCountDown(int64_t seconds) {
  countdown_ = seconds;
  state_ = TState::CountingDown;
}

namespace {
constexpr int64_t kDayMs = 86400000;
}

void TTimerTask::StartExactTime(int hour, int minute, int second) {
  targetOfDay_ = (hour * 3600 + minute * 60 + second) * int64_t{1000};
  state_ = TState::WaitingForTime;
}

int64_t TTimerTask::NextTargetLocalMs(int64_t now) const noexcept {
  const int64_t target = now - now % kDayMs + targetOfDay_;
  // The current second still counts as today's; one already past is tomorrow's.
  return target + 1000 <= now ? target + kDayMs : target;
}

int64_t TTimerTask::MsUntilDue(int64_t now) const noexcept {
  const int64_t target = NextTargetLocalMs(now);
  return target > now ? target - now : 0;
}

bool TTimerTask::CountDownTick() {
  if (state_ != TState::CountingDown) return false;
  const bool due = countdown_ <= 0;
  if (due) {
    state_ = TState::Due;
    countdown_ = 0;
  }
  --countdown_;
  return due;
}

bool TTimerTask::ExactTimeTick(int64_t now) {
  // Only the clock's own second counts: no date is kept, so whatever the clock did meanwhile, the next
  // time it shows the target second is the moment.
  if (state_ != TState::WaitingForTime || MsUntilDue(now) != 0) return false;
  state_ = TState::Due;
  return true;
}

std::string TWarningCount::Caption(int seconds) { return "Turn off in " + std::to_string(seconds) + " Seconds.."; }

bool TWarningCount::Tick(std::string& caption, int& progress) {
  if (seconds_ == 0) return false;
  progress = Seconds - seconds_;
  caption = Caption(seconds_);
  --seconds_;
  return true;
}

}  // namespace pellwick
