#include "FileUtil.h"

#include <cstdio>

#include "SysUtils.h"

#ifdef _WIN32
#include <windows.h>

#include "Unicode.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#endif

namespace cl {

namespace {
// Replacing a read-only file is refused everywhere, whatever the system's rename would do.
void RefuseReadOnly(const std::string& path) {
  if (IsReadOnlyFile(path)) throw EFCreateError(Format("Cannot create file \"%s\". The file is read-only.", path.c_str()));
}
}  // namespace

#ifdef _WIN32
namespace {
std::wstring W(const std::string& s) {
  const std::u16string w = Utf8ToUtf16(s);
  return std::wstring(w.begin(), w.end());
}

// Closes a file handle when it goes out of scope.
struct Handle {
  HANDLE h;
  ~Handle() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};

std::string LastError() { return "system error " + std::to_string(GetLastError()); }
}  // namespace

bool FileExists(const std::string& path) {
  const DWORD a = GetFileAttributesW(W(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsReadOnlyFile(const std::string& path) {
  const DWORD a = GetFileAttributesW(W(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY);
}

std::string ReadFileBytes(const std::string& path) {
  Handle f{CreateFileW(W(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (f.h == INVALID_HANDLE_VALUE) throw EFOpenError(Format("Cannot open file \"%s\". %s", path.c_str(), LastError().c_str()));
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(f.h, &size) || size.QuadPart > 0x7FFFFFFF) throw EReadError("Stream read error");
  std::string data(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < data.size()) {
    DWORD got = 0;
    if (!ReadFile(f.h, data.data() + done, static_cast<DWORD>(data.size() - done), &got, nullptr)) throw EReadError("Stream read error");
    if (got == 0) break;
    done += got;
  }
  data.resize(done);
  return data;
}

void WriteFileAtomic(const std::string& path, std::string_view bytes) {
  RefuseReadOnly(path);
  const std::string tmp = path + ".tmp~";
  const std::wstring wtmp = W(tmp);
  {
    Handle f{CreateFileW(wtmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (f.h == INVALID_HANDLE_VALUE) throw EFCreateError(Format("Cannot create file \"%s\". %s", path.c_str(), LastError().c_str()));
    size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
      DWORD put = 0;
      ok = WriteFile(f.h, bytes.data() + done, static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20)), &put, nullptr) && put > 0;
      done += put;
    }
    ok = ok && FlushFileBuffers(f.h);
    if (!ok) {
      const std::string err = LastError();
      CloseHandle(f.h);
      f.h = INVALID_HANDLE_VALUE;
      DeleteFileW(wtmp.c_str());
      throw EWriteError(Format("Cannot write file \"%s\". %s", path.c_str(), err.c_str()));
    }
  }
  if (!MoveFileExW(wtmp.c_str(), W(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const std::string err = LastError();
    DeleteFileW(wtmp.c_str());
    throw EWriteError(Format("Cannot write file \"%s\". %s", path.c_str(), err.c_str()));
  }
}
#else
bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsReadOnlyFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

std::string ReadFileBytes(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) throw EFOpenError(Format("Cannot open file \"%s\". %s", path.c_str(), std::strerror(errno)));
  std::string data;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.append(buf, n);
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) throw EReadError("Stream read error");
  return data;
}

void WriteFileAtomic(const std::string& path, std::string_view bytes) {
  RefuseReadOnly(path);
  const std::string tmp = path + ".tmp~";
  const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) throw EFCreateError(Format("Cannot create file \"%s\". %s", path.c_str(), std::strerror(errno)));
  size_t done = 0;
  bool ok = true;
  while (ok && done < bytes.size()) {
    const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    ok = put > 0;
    if (ok) done += static_cast<size_t>(put);
  }
  ok = ok && ::fsync(fd) == 0;
  const int err = errno;
  ::close(fd);
  if (!ok || ::rename(tmp.c_str(), path.c_str()) != 0) {
    const int e = ok ? errno : err;
    ::unlink(tmp.c_str());
    throw EWriteError(Format("Cannot write file \"%s\". %s", path.c_str(), std::strerror(e)));
  }
}
#endif

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
