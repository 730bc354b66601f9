// Files on POSIX systems: stdio for reading, a descriptor, fsync and rename for replacing.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "FileUtil.h"
#include "SysUtils.h"

namespace cl {

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsReadOnlyFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

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

void detail::ReplaceFileContents(const std::string& path, std::string_view bytes) {
  const std::string tmp = TemporaryFileOf(path);
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

}  // namespace cl
