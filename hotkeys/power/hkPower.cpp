#include "hkPower.h"

#include <atomic>

#include "WinString.h"

namespace hk {

HANDLE PowerCalls::OpenProcessToken(DWORD access) {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(GetCurrentProcess(), access, &token)) return nullptr;
  return token;
}

bool PowerCalls::LookupPrivilege(const std::wstring& name, LUID& luid) {
  return ::LookupPrivilegeValueW(nullptr, name.c_str(), &luid) != FALSE;
}

bool PowerCalls::AdjustTokenPrivileges(HANDLE token, TOKEN_PRIVILEGES& state, TOKEN_PRIVILEGES* previous,
                                       DWORD previousSize, DWORD& error) {
  DWORD returned = 0;
  SetLastError(ERROR_SUCCESS);
  const BOOL ok = ::AdjustTokenPrivileges(token, FALSE, &state, previousSize, previous,
                                          previous ? &returned : nullptr);
  error = GetLastError();
  return ok != FALSE;
}

void PowerCalls::CloseToken(HANDLE token) { ::CloseHandle(token); }

namespace {

class TSystemPowerCalls final : public PowerCalls {
 public:
  bool ExitWindowsEx(UINT flags, DWORD reason) override { return ::ExitWindowsEx(flags, reason) != FALSE; }
};

// Stands in while nothing is installed: leaving Windows needs a deliberate installation.
class TUnwiredPowerCalls final : public PowerCalls {
 public:
  bool ExitWindowsEx(UINT, DWORD) override {
    SetLastError(ERROR_NOT_READY);
    return false;
  }
};

std::atomic<PowerCalls*> Installed{nullptr};

}  // namespace

PowerCalls& SystemPowerCalls() {
  static TSystemPowerCalls calls;
  return calls;
}

PowerCallsScope::PowerCallsScope(PowerCalls& calls) noexcept : FPrevious(Installed.exchange(&calls)) {}

PowerCallsScope::~PowerCallsScope() { Installed.store(FPrevious); }

PowerCalls& CurrentPowerCalls() noexcept {
  static TUnwiredPowerCalls unwired;
  PowerCalls* calls = Installed.load();
  return calls ? *calls : unwired;
}

bool SetTokenPrivilege(const std::string& name, bool enable) {
  PowerCalls& calls = CurrentPowerCalls();
  const TTokenOwner token(calls, calls.OpenProcessToken(TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY));
  if (!token.Get()) return false;
  TOKEN_PRIVILEGES state{};
  state.PrivilegeCount = 1;
  if (!calls.LookupPrivilege(cl::ToWide(name), state.Privileges[0].Luid)) return false;
  state.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
  TOKEN_PRIVILEGES previous{};
  DWORD error = ERROR_SUCCESS;
  if (!calls.AdjustTokenPrivileges(token.Get(), state, &previous, sizeof previous, error)) return false;
  // The call succeeds even when the token lacks the privilege; only this error code tells.
  return error != ERROR_NOT_ALL_ASSIGNED;
}

bool ExitWindowsWithPrivilege(UINT flags) {
  if (!SetTokenPrivilege(SHUTDOWN_PRIVILEGE, true)) return false;
  const bool result = CurrentPowerCalls().ExitWindowsEx(flags, 0);
  SetTokenPrivilege(SHUTDOWN_PRIVILEGE, false);
  return result;
}

bool RecordingPowerCalls::LookupPrivilege(const std::wstring&, LUID& luid) {
  luid = LUID{19, 0};
  return true;
}

bool RecordingPowerCalls::AdjustTokenPrivileges(HANDLE, TOKEN_PRIVILEGES&, TOKEN_PRIVILEGES*, DWORD, DWORD& error) {
  error = 0;
  return true;
}

bool RecordingPowerCalls::ExitWindowsEx(UINT flags, DWORD reason) {
  FRecord(flags, reason);
  return true;
}

}  // namespace hk
