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

void TTimerTask::StartExactTime(int hour, int minute, int second, int64_t now) {
  constexpr int64_t day = 86400000;
  const int64_t midnight = now - now % day;
  target_ = midnight + (hour * 3600 + minute * 60 + second) * int64_t{1000};
  // The current second still counts as today; one already past is tomorrow's.
  if (target_ + 1000 <= now) target_ += day;
  state_ = TState::WaitingForTime;
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
  if (state_ != TState::WaitingForTime || now < target_) return false;
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
