#include "TimerPower.h"

#include "hkPower.h"

namespace pellwick {

namespace {

// Enables the shutdown privilege on this process's token, as far as the token allows.
void EnableShutdownPrivilege(hk::PowerCalls& calls) {
  const hk::TTokenOwner token(calls, calls.OpenProcessToken(PowerOffTokenAccess));
  if (!token.Get()) return;
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  DWORD error = 0;
  if (calls.LookupPrivilege(L"SeShutdownPrivilege", privileges.Privileges[0].Luid))
    calls.AdjustTokenPrivileges(token.Get(), privileges, nullptr, 0, error);
}

}  // namespace

bool ForcePowerOff() {
  hk::PowerCalls& calls = hk::CurrentPowerCalls();
  // A token or privilege that cannot be had does not stop the call: the system alone says whether the
  // machine may be powered off, and only its refusal is a failure.
  EnableShutdownPrivilege(calls);
  const bool enabled = hk::SetTokenPrivilege(hk::SHUTDOWN_PRIVILEGE, true);
  const bool done = calls.ExitWindowsEx(PowerOffFlags, 0);
  if (enabled) hk::SetTokenPrivilege(hk::SHUTDOWN_PRIVILEGE, false);
  return done;
}

}  // namespace pellwick
