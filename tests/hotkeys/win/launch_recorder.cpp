// Started by the Hotkeys tests in place of a real program: writes how it was started (command line,
// current folder, show state) into "launch-record.txt" beside itself, as UTF-8 lines, and ends.
#include <windows.h>

#include <string>

#include "KernelHandle.h"

namespace {

std::string Utf8(const std::wstring& w) {
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring record = self;
  record.erase(record.find_last_of(L'\\') + 1);
  record += L"launch-record.txt";

  wchar_t dir[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, dir);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  GetStartupInfoW(&si);
  const int show = (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : -1;

  const std::string text = Utf8(GetCommandLineW()) + "\n" + Utf8(dir) + "\n" + std::to_string(show) + "\n";
  // Written under a temporary name and then renamed, so a reader never sees half a record.
  const std::wstring partial = record + L".part";
  {
    const cl::TKernelHandle f(CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!f) return 1;
    DWORD written = 0;
    WriteFile(f.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  }
  return MoveFileExW(partial.c_str(), record.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
