// What the Windows benchmark programs share: clocks, medians, the CPU time of another process, a scratch
// folder and path text.
#pragma once

#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Process.h"

namespace benchsupport {

inline std::string Narrow(const std::wstring& w) {
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr, nullptr);
  return out;
}

inline LONGLONG Now() {
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  return c.QuadPart;
}

inline double Seconds(LONGLONG ticks) {
  static const LONGLONG freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f.QuadPart;
  }();
  return static_cast<double>(ticks) / static_cast<double>(freq);
}

inline double Ms(LONGLONG ticks) { return 1000.0 * Seconds(ticks); }

inline double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// User plus kernel time of the threads of process pid, in seconds, from the system's process list.
// GetProcessTimes would be the direct way, but under Wine it reports the caller's own times for another
// process; the thread times of the list are right on both. (Threads that ended are not in the list: an
// idle program keeps its threads.) Needs ntdll.
struct ThreadTimes {  // the system's per-thread record that follows each process record
  LARGE_INTEGER kernelTime, userTime, createTime;
  ULONG waitTime;
  PVOID startAddress;
  CLIENT_ID clientId;
  LONG priority, basePriority;
  ULONG contextSwitches, threadState, waitReason;
};

inline double CpuSeconds(DWORD pid) {
  static std::vector<char> buffer(1 << 20);
  for (;;) {
    ULONG needed = 0;
    const NTSTATUS status = NtQuerySystemInformation(SystemProcessInformation, buffer.data(),
                                                     static_cast<ULONG>(buffer.size()), &needed);
    if (status == static_cast<NTSTATUS>(0xC0000004L) && buffer.size() < (64u << 20)) {  // length mismatch
      buffer.resize(buffer.size() * 2);
      continue;
    }
    if (status != 0) return 0;
    break;
  }
  for (size_t at = 0;;) {
    const auto* entry = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + at);
    if (static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(entry->UniqueProcessId)) == pid) {
      const auto* threads = reinterpret_cast<const ThreadTimes*>(entry + 1);
      LONGLONG sum = 0;
      for (ULONG i = 0; i < entry->NumberOfThreads; ++i)
        sum += threads[i].kernelTime.QuadPart + threads[i].userTime.QuadPart;
      return static_cast<double>(sum) / 1e7;
    }
    if (!entry->NextEntryOffset) return 0;
    at += entry->NextEntryOffset;
  }
}

// A folder of its own under the temporary folder, emptied and removed at the end.
struct Scratch {
  std::string path;
  explicit Scratch(const std::string& name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    path = Narrow(temp) + name + "-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryW(hktest::Widen(path).c_str(), nullptr);
  }
  ~Scratch() {
    WIN32_FIND_DATAW fd;
    const std::wstring dir = hktest::Widen(path) + L"\\";
    HANDLE h = FindFirstFileW((dir + L"*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((dir + fd.cFileName).c_str());
      } while (FindNextFileW(h, &fd));
      FindClose(h);
    }
    RemoveDirectoryW(hktest::Widen(path).c_str());
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
};

inline std::string FullPath(const char* path) {
  wchar_t buf[MAX_PATH];
  const DWORD n = GetFullPathNameW(hktest::Widen(path).c_str(), MAX_PATH, buf, nullptr);
  return n && n < MAX_PATH ? Narrow(buf) : path;
}

}  // namespace benchsupport
