// Keyboard injection for Win32 tests. The keyboard state is shared by every process on the desktop, so a
// test holds KeyboardLock while it presses keys and waits for their effect: test programs run side by side.
#pragma once
#include "MessageLoop.h"
#include <windows.h>

#include <vector>

#include "KernelHandle.h"

namespace hktest {

class KeyboardLock {
 public:
  KeyboardLock() : mutex_(CreateMutexW(nullptr, FALSE, L"CalderineTests.KeyboardInput")) {
    if (mutex_) owned_ = WaitForSingleObject(mutex_.Get(), 60000) != WAIT_TIMEOUT;  // abandoned is ours too
  }
  ~KeyboardLock() {
    if (owned_) ReleaseMutex(mutex_.Get());
  }
  KeyboardLock(const KeyboardLock&) = delete;
  KeyboardLock& operator=(const KeyboardLock&) = delete;
  bool Owned() const { return owned_; }

 private:
  cl::TKernelHandle mutex_;
  bool owned_ = false;
};

// Presses and releases a combination: modifiers (MOD_ flags) down, key down and up, modifiers up.
// The events are injected one by one. A Wine program that handles a focus-in or pointer-enter event in
// between (as it does after a change of its active window) re-reads the key state from the X server, which
// never saw them, and releases the held modifiers: press a single key where that can happen.
inline bool PressCombination(UINT modFlags, UINT vk) {
  std::vector<WORD> mods;
  if (modFlags & MOD_CONTROL) mods.push_back(VK_CONTROL);
  if (modFlags & MOD_ALT) mods.push_back(VK_MENU);
  if (modFlags & MOD_SHIFT) mods.push_back(VK_SHIFT);
  if (modFlags & MOD_WIN) mods.push_back(VK_LWIN);
  std::vector<INPUT> in;
  auto add = [&](WORD key, DWORD flags) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = key;
    i.ki.dwFlags = flags;
    in.push_back(i);
  };
  for (WORD m : mods) add(m, 0);
  add(static_cast<WORD>(vk), 0);
  add(static_cast<WORD>(vk), KEYEVENTF_KEYUP);
  for (auto it = mods.rbegin(); it != mods.rend(); ++it) add(*it, KEYEVENTF_KEYUP);
  return SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT)) == in.size();
}

}  // namespace hktest
