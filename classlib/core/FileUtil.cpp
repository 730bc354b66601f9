#include "FileUtil.h"

#include "SysUtils.h"

namespace cl {

std::string TemporaryFileOf(const std::string& path) { return path + ".tmp~"; }

void RemoveLeftoverTemporaryFile(const std::string& path) {
  const std::string tmp = TemporaryFileOf(path);
  if (FileExists(tmp)) RemoveFile(tmp);
}

void WriteFileAtomic(const std::string& path, std::string_view bytes) {
  // Also when the save is refused: what an earlier save left must not stay for ever.
  RemoveLeftoverTemporaryFile(path);
  // Replacing a read-only file is refused everywhere, whatever the system's rename would do.
  if (IsReadOnlyFile(path))
    throw EFCreateError(Format("Cannot create file \"%s\". The file is read-only.", path.c_str()));
  detail::ReplaceFileContents(path, bytes);
}

std::string ExtractFileName(std::string_view path) {
  const size_t p = path.find_last_of("\\/:");
  return std::string(p == std::string_view::npos ? path : path.substr(p + 1));
}

std::string ExtractFilePath(std::string_view path) {
  const size_t p = path.find_last_of("\\/:");
  return p == std::string_view::npos ? std::string() : std::string(path.substr(0, p + 1));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
  const size_t sep = path.find_last_of("\\/:");
  const size_t dot = path.rfind('.');
  const bool hasExt = dot != std::string_view::npos && (sep == std::string_view::npos || dot > sep);
  return std::string(hasExt ? path.substr(0, dot) : path) + std::string(ext);
}

}  // namespace cl
