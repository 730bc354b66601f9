// What the Windows benchmark programs share: the way out of a failed step, clocks, medians, the CPU time of another process, a scratch
// folder and path text.
#pragma once

#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Process.h"

namespace benchsupport {

// The way out when a step does not do what it should: the benchmark measured nothing worth a figure.
[[noreturn]] inline void Fail(const char* what) {
  std::printf("FAILED: %s\n", what);
  std::fflush(stdout);
  std::exit(1);
}

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

inline std::string ReadHostFile(const std::wstring& path) {
  std::string text;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return text;
  char buf[4096];
  DWORD n = 0;
  while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) text.append(buf, n);
  CloseHandle(h);
  return text;
}

// The host's process folder (on drive Z:, ending in a backslash) of the process whose command line holds
// `tag` (ASCII case ignored; a path only it runs from, say); empty when there is none.
inline std::wstring HostProcessFolder(const std::string& tag) {
  std::string want = tag;
  for (char& c : want) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  WIN32_FIND_DATAW fd;
  HANDLE find = FindFirstFileW(L"Z:\\proc\\*", &fd);
  if (find == INVALID_HANDLE_VALUE) return {};
  std::wstring found;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || fd.cFileName[0] < L'1' || fd.cFileName[0] > L'9') continue;
    const std::wstring dir = std::wstring(L"Z:\\proc\\") + fd.cFileName + L"\\";
    std::string command = ReadHostFile(dir + L"cmdline");
    for (char& c : command) c = c ? static_cast<char>(std::tolower(static_cast<unsigned char>(c))) : ' ';
    if (command.find(want) != std::string::npos) found = dir;
  } while (found.empty() && FindNextFileW(find, &fd));
  FindClose(find);
  return found;
}

// The CPU seconds (user plus kernel) of a whole process from the host kernel's own account, threads that
// ended included. The kernel counts run time to the nanosecond and rounds only the total to its 10 ms
// ticks, where the thread times Wine reports are each sampled in 10 ms ticks and lose the threads that
// ended. Negative when the process is not found (see HostProcessFolder).
inline double HostCpuSeconds(const std::string& tag) {
  const std::wstring dir = HostProcessFolder(tag);
  if (dir.empty()) return -1;
  // Fields after the command's name in parentheses: state is the first, utime the 12th, stime the 13th.
  const std::string stat = ReadHostFile(dir + L"stat");
  const size_t close = stat.rfind(')');
  if (close == std::string::npos) return -1;
  std::vector<std::string> fields;
  for (size_t at = close + 2; at < stat.size();) {
    const size_t end = std::min(stat.find(' ', at), stat.size());
    fields.push_back(stat.substr(at, end - at));
    at = end + 1;
  }
  if (fields.size() < 13) return -1;
  return (std::atof(fields[11].c_str()) + std::atof(fields[12].c_str())) / 100.0;  // USER_HZ
}

// How often the process's first thread (the one with its windows) has gone to sleep and been woken, from
// the host kernel's count; negative when the process is not found.
inline long HostWakeups(const std::string& tag) {
  const std::wstring dir = HostProcessFolder(tag);
  if (dir.empty()) return -1;
  const std::string status = ReadHostFile(dir + L"status");
  const char key[] = "voluntary_ctxt_switches:";
  const size_t at = status.find(key);
  return at == std::string::npos ? -1 : std::atol(status.c_str() + at + sizeof key - 1);
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
