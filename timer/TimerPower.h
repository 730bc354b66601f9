// Powering the machine off: the shutdown privilege on this process's token, then the exit call with
// EWX_SHUTDOWN | EWX_FORCE | EWX_POWEROFF. Every system call goes through hk::CurrentPowerCalls().
#pragma once
#include <windows.h>

namespace pellwick {

// Token access wanted: STANDARD_RIGHTS_REQUIRED and the eight token rights 0x01..0x80.
constexpr DWORD PowerOffTokenAccess = 0xF00FF;
constexpr UINT PowerOffFlags = EWX_SHUTDOWN | EWX_FORCE | EWX_POWEROFF;  // 13

// True when the exit call was made and accepted. False when the token cannot be opened, the privilege
// cannot be enabled, or the exit call fails: the caller reports it and goes back to idle.
bool ForcePowerOff();

}  // namespace pellwick
