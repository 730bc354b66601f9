#include "hkInstance.h"

#include <sddl.h>

#include <vector>

namespace hk {

namespace {

// The security id of the user the process runs as, in its text form; empty when it cannot be read.
std::wstring UserSid() {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return {};
  const cl::TKernelHandle token(raw);
  DWORD size = 0;
  GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
  if (size == 0) return {};
  std::vector<BYTE> buffer(size);
  if (!GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size)) return {};
  wchar_t* text = nullptr;
  if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) return {};
  std::wstring sid(text);
  LocalFree(text);
  return sid;
}

}  // namespace

std::wstring StartLockName() {
  const std::wstring sid = UserSid();
  return L"Local\\Calderine.Hotkeys" + (sid.empty() ? std::wstring() : L"." + sid);
}

TStartLock::TStartLock() : mutex_(CreateMutexW(nullptr, FALSE, StartLockName().c_str())) {
  if (!mutex_) return;
  const DWORD wait = WaitForSingleObject(mutex_.Get(), kWaitMs);
  held_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
}

TStartLock::~TStartLock() { Release(); }

void TStartLock::Release() noexcept {
  if (!held_) return;
  ReleaseMutex(mutex_.Get());
  held_ = false;
}

}  // namespace hk
