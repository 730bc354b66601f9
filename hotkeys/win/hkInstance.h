// One start of the program at a time for each logged-on user. A start holds a named mutex from before it
// looks for a running instance until its own main window exists, so a second start that comes while the
// first is still starting waits for the window it then hands over to, instead of making a second one.
#pragma once
#include <windows.h>

#include <string>

#include "KernelHandle.h"

namespace hk {

// The mutex's name: in the session's namespace, with the user's security id ("Local\Calderine.Hotkeys.S-1-5-...").
std::wstring StartLockName();

class TStartLock {
 public:
  // How long a start waits for one before it: longer than any start takes, short enough that a start
  // that hangs before its window exists does not keep the next one waiting for ever.
  static constexpr DWORD kWaitMs = 30000;

  // Takes the mutex, waiting for a start that holds it (one that ended without letting go counts as gone).
  // When the wait runs out, or the mutex cannot be made, the start goes on without it.
  TStartLock();
  // Lets go if it still holds it.
  ~TStartLock();
  TStartLock(const TStartLock&) = delete;
  TStartLock& operator=(const TStartLock&) = delete;

  // Lets go: the main window exists now, and the next start finds it.
  void Release() noexcept;

 private:
  cl::TKernelHandle mutex_;
  bool held_ = false;
};

}  // namespace hk
