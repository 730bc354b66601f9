// Holds one system hotkey in a process of its own, for tests of a combination that another program owns.
// Usage: hotkey_holder <MOD_ flags> <virtual key> <ready event> <quit event> <parent process id>
// Registers the combination, sets the ready event, and keeps the combination until the quit event is set
// or the parent process ends. Exit code 0, 1 for bad arguments, 2 when the registration fails.
#include <windows.h>
#include <shellapi.h>

#include <cwchar>

#include "KernelHandle.h"

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc != 6) return 1;
  const UINT flags = static_cast<UINT>(std::wcstoul(argv[1], nullptr, 0));
  const UINT vk = static_cast<UINT>(std::wcstoul(argv[2], nullptr, 0));
  const cl::TKernelHandle ready(OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[3]));
  const cl::TKernelHandle quit(OpenEventW(SYNCHRONIZE, FALSE, argv[4]));
  const cl::TKernelHandle parent(OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(std::wcstoul(argv[5], nullptr, 0))));
  LocalFree(argv);
  if (!ready || !quit || !parent) return 1;
  if (!RegisterHotKey(nullptr, 1, flags, vk)) return 2;
  SetEvent(ready.Get());
  const HANDLE waits[] = {quit.Get(), parent.Get()};
  WaitForMultipleObjects(2, waits, FALSE, 120000);
  UnregisterHotKey(nullptr, 1);
  return 0;
}
