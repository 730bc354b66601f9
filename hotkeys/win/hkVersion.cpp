#include "hkVersion.h"

#include <windows.h>

#include <vector>

#include "WinString.h"

namespace hk {

std::string GetVersionInfoString(const std::string& fileName, const std::string& key) {
  try {
    const std::wstring file = cl::ToWide(fileName);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<unsigned char> block(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, block.data())) return {};
    // Language 1033 and code page 1252, as four hex digits each.
    const std::wstring sub = L"\\StringFileInfo\\040904E4\\" + cl::ToWide(key);
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), sub.c_str(), &value, &length) || !value || length == 0) return {};
    // The length counts characters and may include the terminating NUL; the value ends at the first NUL
    // and never beyond the block.
    const auto* text = static_cast<const wchar_t*>(value);
    const auto* end = reinterpret_cast<const wchar_t*>(block.data() + block.size());
    std::wstring result;
    for (UINT i = 0; i < length && text + i < end && text[i] != L'\0'; ++i) result += text[i];
    return cl::FromWide(result);
  } catch (...) {
    return {};
  }
}

std::string GetAppVersionInfo(const std::string& key) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  return GetVersionInfoString(cl::FromWide(path), key);
}

}  // namespace hk
