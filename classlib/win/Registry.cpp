#include "Registry.h"

#include <vector>

#include "WinString.h"

namespace cl {

namespace {

[[noreturn]] void RaiseRegistry(const char* fmt, const std::string& name) {
  throw ERegistryException(Format(fmt, name.c_str()));
}

constexpr const char* kGetFailed = "Failed to get data for '%s'";
constexpr const char* kSetFailed = "Failed to set data for '%s'";
constexpr const char* kBadType = "Invalid data type for '%s'";

}  // namespace

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY root) {
  if (root == root_) return;
  CloseKey();
  root_ = root;
}

void TRegistry::CloseKey() {
  if (current_) RegCloseKey(current_);
  current_ = nullptr;
  currentPath_.clear();
}

HKEY TRegistry::BaseFor(const std::string& key, std::string& relative) const {
  size_t first = 0;
  while (first < key.size() && key[first] == '\\') ++first;
  size_t last = key.size();
  while (last > first && key[last - 1] == '\\') --last;
  relative = key.substr(first, last - first);
  if (first > 0 || !current_) return root_;
  return current_;
}

bool TRegistry::Open(const std::string& key, bool canCreate, REGSAM access) {
  std::string relative;
  const HKEY base = BaseFor(key, relative);
  const std::wstring wide = ToWide(relative);
  HKEY opened = nullptr;
  const LONG rc = canCreate ? RegCreateKeyExW(base, wide.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                              &opened, nullptr)
                            : RegOpenKeyExW(base, wide.c_str(), 0, access, &opened);
  if (rc != ERROR_SUCCESS) return false;
  std::string path = relative;
  if (base == current_ && !currentPath_.empty())
    path = relative.empty() ? currentPath_ : currentPath_ + "\\" + relative;
  CloseKey();
  current_ = opened;
  currentPath_ = std::move(path);
  return true;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) { return Open(key, canCreate, KEY_ALL_ACCESS); }

bool TRegistry::OpenKeyReadOnly(const std::string& key) { return Open(key, false, KEY_READ); }

bool TRegistry::KeyExists(const std::string& key) const {
  std::string relative;
  const HKEY base = BaseFor(key, relative);
  HKEY opened = nullptr;
  const LONG rc = RegOpenKeyExW(base, ToWide(relative).c_str(), 0, KEY_READ, &opened);
  if (rc == ERROR_SUCCESS) RegCloseKey(opened);
  // A key we may not read still exists.
  return rc == ERROR_SUCCESS || rc == ERROR_ACCESS_DENIED;
}

bool TRegistry::ValueExists(const std::string& name) const {
  if (!current_) return false;
  return RegQueryValueExW(current_, ToWide(name).c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::string TRegistry::ReadString(const std::string& name) const {
  const std::wstring wname = ToWide(name);
  std::vector<wchar_t> buf;
  for (;;) {
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(buf.size() * sizeof(wchar_t));
    const LONG rc = RegQueryValueExW(current_, wname.c_str(), nullptr, &type,
                                     buf.empty() ? nullptr : reinterpret_cast<BYTE*>(buf.data()), &size);
    if (rc == ERROR_FILE_NOT_FOUND && current_) return std::string();
    if (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) {
      if (type != REG_SZ && type != REG_EXPAND_SZ) RaiseRegistry(kBadType, name);
      // The size is asked first; a value that grew in between is asked again.
      if (rc == ERROR_MORE_DATA || buf.empty() || size > buf.size() * sizeof(wchar_t)) {
        if (size == 0) return std::string();
        buf.assign((size + sizeof(wchar_t) - 1) / sizeof(wchar_t) + 1, L'\0');
        continue;
      }
      // Stored data need not end in a terminator, nor have an even length: stop at the first zero or the end.
      const size_t count = size / sizeof(wchar_t);
      size_t len = 0;
      while (len < count && buf[len] != L'\0') ++len;
      return FromWide(std::wstring_view(buf.data(), len));
    }
    RaiseRegistry(kGetFailed, name);
  }
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
  const std::wstring wvalue = ToWide(value);
  const LONG rc = RegSetValueExW(current_, ToWide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wvalue.c_str()),
                                 static_cast<DWORD>((wvalue.size() + 1) * sizeof(wchar_t)));
  if (rc != ERROR_SUCCESS) RaiseRegistry(kSetFailed, name);
}

int TRegistry::ReadInteger(const std::string& name) const {
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof(value);
  const LONG rc = RegQueryValueExW(current_, ToWide(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  if (rc == ERROR_MORE_DATA || (rc == ERROR_SUCCESS && (type != REG_DWORD || size != sizeof(value))))
    RaiseRegistry(kBadType, name);
  if (rc != ERROR_SUCCESS) RaiseRegistry(kGetFailed, name);
  return static_cast<int>(value);
}

void TRegistry::WriteInteger(const std::string& name, int value) {
  const DWORD data = static_cast<DWORD>(value);
  const LONG rc = RegSetValueExW(current_, ToWide(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                                 sizeof(data));
  if (rc != ERROR_SUCCESS) RaiseRegistry(kSetFailed, name);
}

bool TRegistry::DeleteValue(const std::string& name) {
  return current_ && RegDeleteValueW(current_, ToWide(name).c_str()) == ERROR_SUCCESS;
}

}  // namespace cl
