// Scripts for modal loops: steps run one per tick of a thread timer, inside the loop that the test
// starts, as a user's moves and presses would arrive.
#pragma once
#include <windows.h>

#include <functional>
#include <utility>
#include <vector>

namespace looptest {

// Steps run one per timer tick while a modal loop runs. A loop still running when the steps are done is
// ended by taking its capture away, and the script counts as overrun.
class TScript {
 public:
  explicit TScript(std::vector<std::function<void()>> steps) : steps_(std::move(steps)) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 20, Tick);
  }
  ~TScript() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  TScript(const TScript&) = delete;
  TScript& operator=(const TScript&) = delete;

  bool Finished() const { return next_ == steps_.size(); }
  bool Overran() const { return overran_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    TScript* s = current_;
    if (!s) return;
    if (s->next_ < s->steps_.size()) {
      s->steps_[s->next_++]();
    } else if (GetCapture()) {
      s->overran_ = true;
      ReleaseCapture();
    }
  }

  static inline TScript* current_ = nullptr;
  std::vector<std::function<void()>> steps_;
  size_t next_ = 0;
  bool overran_ = false;
  UINT_PTR timer_ = 0;
};

}  // namespace looptest
