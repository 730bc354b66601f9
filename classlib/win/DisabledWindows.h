// Takes input away from this thread's other windows while something modal runs (a modal form, a print
// job that lets messages through) and gives it back afterwards.
#pragma once
#include <windows.h>

#include <vector>

namespace cl {

// Disables the visible, enabled top-level windows of the calling thread except `keep`, and enables them
// again when it goes. Windows that were disabled already, or hidden, are left as they are; a window
// destroyed meanwhile is skipped.
class TDisabledWindows {
 public:
  explicit TDisabledWindows(HWND keep);
  ~TDisabledWindows();
  TDisabledWindows(const TDisabledWindows&) = delete;
  TDisabledWindows& operator=(const TDisabledWindows&) = delete;

 private:
  static BOOL CALLBACK Collect(HWND wnd, LPARAM self);

  HWND keep_;
  std::vector<HWND> windows_;
};

}  // namespace cl
