// The shutdown privilege and the call that ends the session or powers the machine off. Shared by the
// hotkey manager's Exit Windows action and by the shutdown timer program.
//
// Every call that leaves Windows goes through the PowerCalls installed by a PowerCallsScope. Nothing is
// installed by default: until the program's entry installs SystemPowerCalls(), ExitWindowsEx fails
// (ERROR_NOT_READY) and nothing happens, so no test can end the session by forgetting a fake.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace hk {

// Exit flags of the Exit Windows parameters.
constexpr UINT EXIT_FLAGS_SHUTDOWN = EWX_SHUTDOWN | EWX_FORCE | EWX_POWEROFF;  // 13
constexpr UINT EXIT_FLAGS_LOGOFF = EWX_LOGOFF;                                // 0
constexpr UINT EXIT_FLAGS_RESTART = EWX_REBOOT | EWX_FORCE;                   // 6

inline constexpr char SHUTDOWN_PRIVILEGE[] = "SeShutdownPrivilege";

class PowerCalls {
 public:
  virtual ~PowerCalls() = default;

  // Access to this process's own token. The defaults are the system's: they touch nothing beyond the
  // process, so a test may keep them or replace them to simulate a refusal.
  virtual HANDLE OpenProcessToken(DWORD access);  // nullptr on failure
  virtual bool LookupPrivilege(const std::wstring& name, LUID& luid);
  // The system's result; error receives GetLastError() as the call left it (ERROR_NOT_ALL_ASSIGNED when
  // the token does not hold the privilege although the call "succeeded").
  virtual bool AdjustTokenPrivileges(HANDLE token, TOKEN_PRIVILEGES& state, TOKEN_PRIVILEGES* previous,
                                     DWORD previousSize, DWORD& error);
  virtual void CloseToken(HANDLE token);

  // Ends the session, restarts or powers off.
  virtual bool ExitWindowsEx(UINT flags, DWORD reason) = 0;
};

// Owns an open token: closed through the calls that opened it, so a replaced set of calls sees every
// token it handed out come back.
class TTokenOwner {
 public:
  TTokenOwner(PowerCalls& calls, HANDLE token) noexcept : FCalls(calls), FToken(token) {}
  ~TTokenOwner() {
    if (FToken) FCalls.CloseToken(FToken);
  }
  TTokenOwner(const TTokenOwner&) = delete;
  TTokenOwner& operator=(const TTokenOwner&) = delete;
  HANDLE Get() const noexcept { return FToken; }

 private:
  PowerCalls& FCalls;
  HANDLE FToken;
};

// For the recording builds that tests start: the token calls succeed on a token of their own, and
// ExitWindowsEx only hands its flags and reason to `record`.
class RecordingPowerCalls final : public PowerCalls {
 public:
  using Record = std::function<void(UINT flags, DWORD reason)>;
  explicit RecordingPowerCalls(Record record) : FRecord(std::move(record)) {}

  HANDLE OpenProcessToken(DWORD) override { return reinterpret_cast<HANDLE>(1); }
  bool LookupPrivilege(const std::wstring&, LUID& luid) override;
  bool AdjustTokenPrivileges(HANDLE, TOKEN_PRIVILEGES&, TOKEN_PRIVILEGES*, DWORD, DWORD& error) override;
  void CloseToken(HANDLE) override {}
  bool ExitWindowsEx(UINT flags, DWORD reason) override;

 private:
  Record FRecord;
};

// The system's calls, ExitWindowsEx included: for the programs' entries only.
PowerCalls& SystemPowerCalls();

// Installs calls for its lifetime and puts back the ones before it. GUI thread; nest strictly.
class PowerCallsScope {
 public:
  explicit PowerCallsScope(PowerCalls& calls) noexcept;
  ~PowerCallsScope();
  PowerCallsScope(const PowerCallsScope&) = delete;
  PowerCallsScope& operator=(const PowerCallsScope&) = delete;

 private:
  PowerCalls* FPrevious;
};

// The installed calls, or ones whose ExitWindowsEx always fails when none are installed.
PowerCalls& CurrentPowerCalls() noexcept;

// Enables or disables a privilege (e.g. "SeShutdownPrivilege") on this process's token. True only when
// the token holds the privilege and the change was made; the token is closed in every case.
bool SetTokenPrivilege(const std::string& name, bool enable);

// Enables the shutdown privilege, calls ExitWindowsEx(flags, 0) and disables the privilege again. False
// without an exit attempt when the privilege cannot be enabled; otherwise ExitWindowsEx's result.
bool ExitWindowsWithPrivilege(UINT flags);

}  // namespace hk
