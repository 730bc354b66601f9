#include "hkLaunch.h"

#include <shellapi.h>
#include <shlobj.h>

#include <memory>

#include "Registry.h"
#include "WinString.h"

namespace hk {

namespace {

std::string EnvironmentValue(std::string_view name) {
  const std::wstring wide = cl::ToWide(std::string(name));
  DWORD size = GetEnvironmentVariableW(wide.c_str(), nullptr, 0);
  if (size == 0) return {};
  std::wstring value(size, L'\0');
  size = GetEnvironmentVariableW(wide.c_str(), value.data(), size);
  value.resize(size);
  return cl::FromWide(value);
}

struct ItemListDeleter {
  void operator()(ITEMIDLIST* list) const noexcept { CoTaskMemFree(list); }
};

std::string ShellFolderPath(int csidl) {
  ITEMIDLIST* raw = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &raw)) || !raw) return {};
  std::unique_ptr<ITEMIDLIST, ItemListDeleter> list(raw);
  wchar_t path[MAX_PATH] = {};
  // Virtual folders (the recycle bin, the printers, ...) have no file-system path: no text, as for an
  // unknown name.
  if (!SHGetPathFromIDListW(list.get(), path)) return {};
  return cl::FromWide(path);
}

std::string CurrentVersionValue(std::string_view name) {
  cl::TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  if (!registry.OpenKeyReadOnly("\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion")) return {};
  try {
    if (registry.ValueExists(std::string(name))) return registry.ReadString(std::string(name));
  } catch (const std::exception&) {
  }
  return {};
}

template <class F>
std::string DirectoryOf(F get) {
  wchar_t path[MAX_PATH] = {};
  const UINT n = get(path, MAX_PATH);
  return n && n < MAX_PATH ? cl::FromWide(std::wstring(path, n)) : std::string();
}

std::string FolderPath(const FolderMacro& folder) {
  switch (folder.source) {
    case FolderSource::Shell:
      return ShellFolderPath(folder.shellFolder);
    case FolderSource::CurrentVersion:
      return CurrentVersionValue(folder.valueName);
    case FolderSource::SystemDirectory:
      return DirectoryOf(GetSystemDirectoryW);
    case FolderSource::WindowsDirectory:
      return DirectoryOf(GetWindowsDirectoryW);
  }
  return {};
}

bool PathExists(const std::string& path) {
  return !path.empty() && GetFileAttributesW(cl::ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

const LaunchContext& SystemLaunchContext() {
  static const LaunchContext context{EnvironmentValue, FolderPath, PathExists};
  return context;
}

void ShellLaunch(HWND owner, const LaunchRequest& request) {
  const std::wstring program = cl::ToWide(request.program);
  const std::wstring parameters = cl::ToWide(request.parameters);
  const std::wstring directory = cl::ToWide(request.directory);
  ShellExecuteW(owner, nullptr, program.c_str(), parameters.c_str(), directory.c_str(), request.showCode);
}

void ShellOpen(HWND owner, const std::string& path) {
  ShellExecuteW(owner, L"open", cl::ToWide(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace hk
