// Records the way out of Windows instead of taking it.
#pragma once
#include <vector>

#include "hkPower.h"

namespace timertest {

class TFakePower : public hk::PowerCalls {
 public:
  bool tokenOpens = true;
  DWORD adjustError = 0;
  bool exitSucceeds = true;
  std::vector<UINT> exits;
  std::vector<DWORD> openedAccess;

  HANDLE OpenProcessToken(DWORD access) override {
    openedAccess.push_back(access);
    return tokenOpens ? reinterpret_cast<HANDLE>(0x1234) : nullptr;
  }
  bool LookupPrivilege(const std::wstring&, LUID& luid) override {
    luid = LUID{19, 0};
    return true;
  }
  bool AdjustTokenPrivileges(HANDLE, TOKEN_PRIVILEGES&, TOKEN_PRIVILEGES*, DWORD, DWORD& error) override {
    error = adjustError;
    return true;
  }
  void CloseToken(HANDLE) override {}
  bool ExitWindowsEx(UINT flags, DWORD) override {
    exits.push_back(flags);
    return exitSucceeds;
  }
};

}  // namespace timertest
