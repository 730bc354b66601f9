// TFileStream on POSIX systems: a file descriptor.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "FileStreamSystem.h"
#include "Streams.h"
#include "SysUtils.h"

namespace cl {

using detail::kInvalidStreamPosition;
using detail::kStreamReadError;
using detail::kStreamWriteError;

struct TFileStream::TFile {
  explicit TFile(int descriptor) : fd(descriptor) {}
  ~TFile() { ::close(fd); }
  TFile(const TFile&) = delete;
  TFile& operator=(const TFile&) = delete;
  const int fd;
};

TFileStream::TFileStream(const std::string& fileName, unsigned mode) : fileName_(fileName) {
  // Share modes have no POSIX counterpart and are not enforced here.
  const bool create = (mode & 0xFF00) == fmCreate;
  int flags = O_CLOEXEC;
  if (create) {
    flags |= O_RDWR | O_CREAT | O_TRUNC;
  } else {
    switch (mode & 0x3) {
      case fmOpenRead: flags |= O_RDONLY; break;
      case fmOpenWrite: flags |= O_WRONLY; break;
      default: flags |= O_RDWR; break;
    }
  }
  const int fd = ::open(fileName.c_str(), flags, 0666);
  if (fd < 0) detail::FileOpenFailed(fileName, create, std::strerror(errno));
  file_ = std::make_unique<TFile>(fd);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    const int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
    file_.reset();
    detail::FileOpenFailed(fileName, create, std::strerror(err));
  }
}

TFileStream::~TFileStream() = default;

size_t TFileStream::Read(void* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    const ssize_t got = ::read(file_->fd, static_cast<char*>(buffer) + done, count - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

size_t TFileStream::Write(const void* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    const ssize_t put = ::write(file_->fd, static_cast<const char*>(buffer) + done, count - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) break;
    done += static_cast<size_t>(put);
  }
  return done;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  int whence = SEEK_SET;
  if (origin == soCurrent) whence = SEEK_CUR;
  else if (origin == soEnd) whence = SEEK_END;
  else if (origin != soBeginning) throw EStreamError(kInvalidStreamPosition);
  const off_t result = ::lseek(file_->fd, static_cast<off_t>(offset), whence);
  if (result < 0) throw EStreamError(kInvalidStreamPosition);
  return result;
}

int64_t TFileStream::Size() {
  struct stat st {};
  if (::fstat(file_->fd, &st) != 0) throw EReadError(kStreamReadError);
  return st.st_size;
}

void TFileStream::SetSize(int64_t newSize) {
  if (newSize < 0) throw EStreamError(kInvalidStreamPosition);
  if (::ftruncate(file_->fd, static_cast<off_t>(newSize)) != 0) throw EWriteError(kStreamWriteError);
}

}  // namespace cl
