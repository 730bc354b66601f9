// The timing of a shutdown task, apart from its windows: the count-down, the wait for a time of day and
// the 30-second warning. The windows drive it from their timers and act on what a tick answers.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

namespace pellwick {

// Local time in milliseconds on a continuous scale (days * 86400000 + millisecond of the day).
int64_t LocalMilliseconds(const SYSTEMTIME& localTime);
int64_t NowLocalMilliseconds();

class TTimerTask {
 public:
  enum class TState { Idle, CountingDown, WaitingForTime, Due };

  TState State() const noexcept { return state_; }

  // A count of N seconds falls due on the (N + 1)-th tick.
  void StartCountDown(int64_t seconds);
  // Waits for the time of day hour:minute:second. It falls due only while the clock shows that second
  // (the current one included); a second that went by unseen (the machine slept, the clock was set
  // forward) waits for the same time on the next day, so waking late never powers off at once.
  void StartExactTime(int hour, int minute, int second);
  // True when the task fell due with this tick (then the state is Due).
  bool CountDownTick();
  bool ExactTimeTick(int64_t nowLocalMs);
  // Milliseconds from now to the next time the clock shows the target second, 0 within it: lets the
  // tick wait exactly that long instead of polling.
  int64_t MsUntilDue(int64_t nowLocalMs) const noexcept;
  void Stop() noexcept { state_ = TState::Idle; }

  int64_t CountdownSeconds() const noexcept { return countdown_; }
  // The next start of the target second, seen from nowLocalMs (nowLocalMs itself within that second).
  int64_t NextTargetLocalMs(int64_t nowLocalMs) const noexcept;

 private:
  TState state_ = TState::Idle;
  int64_t countdown_ = 0;
  int64_t targetOfDay_ = 0;  // milliseconds after midnight
};

// The warning before the power-off: ticks show 30, 29, ... 1, and the 31st tick powers off.
class TWarningCount {
 public:
  static constexpr int Seconds = 30;

  // Back to 30 and progress 0.
  void Reset() noexcept { seconds_ = Seconds; }
  // One tick: false when the counter has run out (power off now); otherwise the caption and progress to
  // show are set and true is returned.
  bool Tick(std::string& caption, int& progress);
  int SecondsLeft() const noexcept { return seconds_; }

  static std::string Caption(int seconds);

 private:
  int seconds_ = Seconds;
};

}  // namespace pellwick
