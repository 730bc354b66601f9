// Powering the machine off: the shutdown privilege on this process's token, then the exit call with
// EWX_SHUTDOWN | EWX_FORCE | EWX_POWEROFF. Every system call goes through hk::CurrentPowerCalls().
#pragma once
#include <windows.h>

namespace pellwick {

// Token access wanted: STANDARD_RIGHTS_REQUIRED and the eight token rights 0x01..0x80.
constexpr DWORD PowerOffTokenAccess = 0xF00FF;
constexpr UINT PowerOffFlags = EWX_SHUTDOWN | EWX_FORCE | EWX_POWEROFF;  // 13

// Enables the shutdown privilege where the token allows it, then makes the exit call in every case. True
// when the system accepted the call; false only when it refused it: the caller reports that and goes back
// to idle.
bool ForcePowerOff();

}  // namespace pellwick
