#include "TimerPower.h"

#include "hkPower.h"

namespace pellwick {

namespace {

// Checks that the privilege can be had at all before anything else; the token is never used unopened
// and is closed before the way out is taken.
bool ShutdownPrivilegeAvailable(hk::PowerCalls& calls) {
  const hk::TTokenOwner token(calls, calls.OpenProcessToken(PowerOffTokenAccess));
  if (!token.Get()) return false;
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  DWORD error = 0;
  return calls.LookupPrivilege(L"SeShutdownPrivilege", privileges.Privileges[0].Luid) &&
         calls.AdjustTokenPrivileges(token.Get(), privileges, nullptr, 0, error) && error == 0;
}

}  // namespace

bool ForcePowerOff() {
  if (!ShutdownPrivilegeAvailable(hk::CurrentPowerCalls())) return false;
  return hk::ExitWindowsWithPrivilege(PowerOffFlags);
}

}  // namespace pellwick
