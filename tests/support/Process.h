// Child processes for Win32 tests and benchmarks: start a program, find its windows, wait for its end.
// Every wait has a timeout and keeps this thread's messages flowing, so a child that sends messages to
// this thread's windows (broadcasts included) never deadlocks against the waiting test.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "KernelHandle.h"

namespace hktest {

inline std::wstring Widen(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

// One argument quoted so that the child's CommandLineToArgvW (and the C runtime) give it back unchanged.
inline std::wstring QuoteArgument(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
  std::wstring out = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are doubled, and the quote itself escaped.
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');  // ... and so are those before the closing quote
  out += L'"';
  return out;
}

// Waits for handle (or, with none, just for the time) while dispatching this thread's messages.
// True when the handle was signalled.
inline bool PumpWait(HANDLE handle, DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    const ULONGLONG now = GetTickCount64();
    const DWORD left = now >= end ? 0 : static_cast<DWORD>(end - now);
    const DWORD r = MsgWaitForMultipleObjects(handle ? 1 : 0, handle ? &handle : nullptr, FALSE, left,
                                              QS_ALLINPUT);
    if (handle && r == WAIT_OBJECT_0) return true;
    if (r == WAIT_TIMEOUT || r == WAIT_FAILED) return false;
  }
}

// A started program; a process still running when the owner goes is terminated.
class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess() { Close(); }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts exePath with args (UTF-8) in workDir (empty: this process's folder). False when it failed to
  // start (or one is already held).
  bool Start(const std::string& exePath, const std::vector<std::string>& args = {},
             const std::string& workDir = {}) {
    if (process_) return false;
    const std::wstring exe = Widen(exePath);
    std::wstring cmd = QuoteArgument(exe);
    for (const auto& a : args) cmd += L" " + QuoteArgument(Widen(a));
    const std::wstring dir = Widen(workDir);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        dir.empty() ? nullptr : dir.c_str(), &si, &pi))
      return false;
    cl::TKernelHandle thread(pi.hThread);  // not needed: closed at once
    process_.Reset(pi.hProcess);
    pid_ = pi.dwProcessId;
    return true;
  }

  DWORD Pid() const noexcept { return pid_; }
  HANDLE Handle() const noexcept { return process_.Get(); }

  bool Running() const { return process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT; }

  // The exit code once the process has ended within ms; nothing while it still runs (or none started).
  std::optional<DWORD> WaitExit(DWORD ms) {
    if (!process_ || !PumpWait(process_.Get(), ms)) return std::nullopt;
    DWORD code = 0;
    if (!GetExitCodeProcess(process_.Get(), &code)) return std::nullopt;
    return code;
  }

  // Ends a running process (exit code 1) and lets go of it.
  void Close() {
    if (!process_) return;
    if (Running()) {
      TerminateProcess(process_.Get(), 1);
      WaitForSingleObject(process_.Get(), 5000);
    }
    process_.Reset();
    pid_ = 0;
  }

 private:
  cl::TKernelHandle process_;
  DWORD pid_ = 0;
};

namespace detail {
struct WindowSearch {
  std::wstring cls;
  DWORD pid;
  HWND found;
};
inline BOOL CALLBACK FindWindowProc(HWND w, LPARAM p) {
  auto& s = *reinterpret_cast<WindowSearch*>(p);
  DWORD owner = 0;
  GetWindowThreadProcessId(w, &owner);
  if (s.pid && owner != s.pid) return TRUE;
  wchar_t buf[256];
  if (GetClassNameW(w, buf, 256) && s.cls == buf) {
    s.found = w;
    return FALSE;
  }
  return TRUE;
}
}  // namespace detail

// The first top-level window (shown or hidden) of class className, of process pid (any process for 0).
inline HWND FindProcessWindow(const std::string& className, DWORD pid) {
  detail::WindowSearch s{Widen(className), pid, nullptr};
  EnumWindows(detail::FindWindowProc, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

// Waits up to timeoutMs for that window to appear, looking again every few milliseconds (another
// process's window creation sends this thread nothing); nullptr when it did not.
inline HWND WaitForWindow(const std::string& className, DWORD pid, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    if (HWND w = FindProcessWindow(className, pid)) return w;
    if (GetTickCount64() >= end) return nullptr;
    PumpWait(nullptr, 5);
  }
}

// Copies the file src into the folder dstDir (replacing a file of that name); the copy's path, or an
// empty string when the copy failed.
inline std::string CopyFileTo(const std::string& src, const std::string& dstDir) {
  const size_t slash = src.find_last_of("\\/");
  std::string dst = dstDir;
  if (!dst.empty() && dst.back() != '\\' && dst.back() != '/') dst += '\\';
  dst += slash == std::string::npos ? src : src.substr(slash + 1);
  if (!CopyFileW(Widen(src).c_str(), Widen(dst).c_str(), FALSE)) return {};
  return dst;
}

}  // namespace hktest
