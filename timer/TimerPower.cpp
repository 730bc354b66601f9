#include "TimerPower.h"

#include "hkPower.h"

namespace pellwick {

bool ForcePowerOff() {
  hk::PowerCalls& calls = hk::CurrentPowerCalls();
  // Checks that the privilege can be had at all before anything else; the token is never used unopened.
  HANDLE token = calls.OpenProcessToken(PowerOffTokenAccess);
  if (!token) return false;
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  DWORD error = 0;
  const bool adjusted = calls.LookupPrivilege(L"SeShutdownPrivilege", privileges.Privileges[0].Luid) &&
                        calls.AdjustTokenPrivileges(token, privileges, nullptr, 0, error) && error == 0;
  calls.CloseToken(token);
  if (!adjusted) return false;
  return hk::ExitWindowsWithPrivilege(PowerOffFlags);
}

}  // namespace pellwick
