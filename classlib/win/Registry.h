// Registry access through one open key at a time: autorun values and the system's folder settings.
#pragma once
#include <windows.h>

#include <string>

#include "SysUtils.h"

namespace cl {

CL_DECLARE_EXCEPTION(ERegistryException, Exception)

class TRegistry {
 public:
  TRegistry() = default;
  ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  // The root of every absolute path (default HKEY_CURRENT_USER). Changing it closes the open key.
  HKEY RootKey() const { return root_; }
  void SetRootKey(HKEY root);

  // The key that the value operations work on; nullptr while none is open.
  HKEY CurrentKey() const { return current_; }
  // The path of the open key below the root, without leading or trailing backslash.
  const std::string& CurrentPath() const { return currentPath_; }

  // A key with a leading backslash is taken from the root, else relative to the open key (or the root
  // when none is open); trailing backslashes are ignored. On success the key becomes the open key.
  bool OpenKey(const std::string& key, bool canCreate);
  bool OpenKeyReadOnly(const std::string& key);
  void CloseKey();
  bool KeyExists(const std::string& key) const;

  // Value operations on the open key; the name "" is the key's default value.
  bool ValueExists(const std::string& name) const;
  // A missing value reads as ""; a value of another type raises ERegistryException.
  std::string ReadString(const std::string& name) const;
  void WriteString(const std::string& name, const std::string& value);
  // A missing value or one of another type raises ERegistryException.
  int ReadInteger(const std::string& name) const;
  void WriteInteger(const std::string& name, int value);
  // False when the value did not exist (or could not be deleted).
  bool DeleteValue(const std::string& name);

 private:
  bool Open(const std::string& key, bool canCreate, REGSAM access);
  HKEY BaseFor(const std::string& key, std::string& relative) const;

  HKEY root_ = HKEY_CURRENT_USER;
  HKEY current_ = nullptr;
  std::string currentPath_;
};

}  // namespace cl
