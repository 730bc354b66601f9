// Drives the tool window's modal loops from inside: a thread timer runs one scripted step per tick (move
// the real cursor, post a button or key message) while a loop holds the mouse. And the check that a loop
// gave back all it took.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <utility>
#include <vector>

namespace modaltest {

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

inline bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

inline RECT Screen() {
  return {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
          GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
          GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

inline bool CursorFree() {
  RECT clip{};
  GetClipCursor(&clip);
  return SameRect(clip, Screen());
}

// Everything a loop took is given back: the capture, the cursor's freedom, the desktop's update lock
// (another lock, by wnd, can be had).
inline void ExpectReleased(HWND wnd) {
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_TRUE(CursorFree());
  EXPECT_TRUE(LockWindowUpdate(wnd));
  LockWindowUpdate(nullptr);
}

}  // namespace modaltest
