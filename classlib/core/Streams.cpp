#include "Streams.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>

#include "SysUtils.h"

#ifdef _WIN32
#include <windows.h>

#include "Unicode.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#endif

namespace cl {

namespace {
const char kReadError[] = "Stream read error";
const char kWriteError[] = "Stream write error";
const char kInvalidPosition[] = "Invalid stream position";

// Resolves a seek request against the current position and size; rejects targets before the start.
int64_t SeekTarget(int64_t offset, TSeekOrigin origin, int64_t current, int64_t size) {
  int64_t base = 0;
  switch (origin) {
    case soBeginning: base = 0; break;
    case soCurrent: base = current; break;
    case soEnd: base = size; break;
    default: throw EStreamError(kInvalidPosition);
  }
  if ((offset > 0 && base > std::numeric_limits<int64_t>::max() - offset) || base + offset < 0)
    throw EStreamError(kInvalidPosition);
  return base + offset;
}
}  // namespace

// ---------------------------------------------------------------------------------------------- TStream

int64_t TStream::Size() {
  const int64_t pos = Seek(0, soCurrent);
  const int64_t size = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return size;
}

void TStream::ReadBuffer(void* buffer, size_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError(kReadError);
}

void TStream::WriteBuffer(const void* buffer, size_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError(kWriteError);
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  if (count < 0) throw EReadError(kReadError);
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  constexpr size_t kChunk = 64 * 1024;
  std::vector<unsigned char> buffer(static_cast<size_t>(std::min<int64_t>(count, kChunk)));
  int64_t left = count;
  while (left > 0) {
    const size_t n = static_cast<size_t>(std::min<int64_t>(left, kChunk));
    source.ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    left -= static_cast<int64_t>(n);
  }
  return count;
}

// ---------------------------------------------------------------------------------- TCustomMemoryStream

void TCustomMemoryStream::SetPointer(const void* memory, size_t size) {
  memory_ = memory;
  size_ = size;
}

size_t TCustomMemoryStream::Read(void* buffer, size_t count) {
  if (pos_ >= size_ || count == 0) return 0;
  const size_t n = std::min(count, size_ - pos_);
  std::memcpy(buffer, static_cast<const unsigned char*>(memory_) + pos_, n);
  pos_ += n;
  return n;
}

int64_t TCustomMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  const int64_t target = SeekTarget(offset, origin, static_cast<int64_t>(pos_), static_cast<int64_t>(size_));
  if (static_cast<uint64_t>(target) > std::numeric_limits<size_t>::max()) throw EStreamError(kInvalidPosition);
  pos_ = static_cast<size_t>(target);
  return target;
}

void TCustomMemoryStream::SaveToStream(TStream& target) const { target.WriteBuffer(memory_, size_); }

void TCustomMemoryStream::SaveToFile(const std::string& fileName) const {
  TFileStream file(fileName, fmCreate);
  SaveToStream(file);
}

// ---------------------------------------------------------------------------------------- TMemoryStream

TMemoryStream::TMemoryStream(std::string_view bytes) : data_(bytes.begin(), bytes.end()) {
  SetPointer(data_.data(), data_.size());
}

size_t TMemoryStream::Write(const void* buffer, size_t count) {
  if (count == 0) return 0;
  if (count > data_.max_size() || pos_ > data_.max_size() - count) throw EWriteError(kWriteError);
  const size_t end = pos_ + count;
  if (end > data_.size()) {
    data_.resize(end);
    SetPointer(data_.data(), data_.size());
  }
  std::memcpy(data_.data() + pos_, buffer, count);
  pos_ = end;
  return count;
}

void TMemoryStream::SetSize(int64_t newSize) {
  if (newSize < 0 || static_cast<uint64_t>(newSize) > data_.max_size()) throw EStreamError(kInvalidPosition);
  data_.resize(static_cast<size_t>(newSize));
  SetPointer(data_.data(), data_.size());
  if (pos_ > data_.size()) pos_ = data_.size();
}

void TMemoryStream::Clear() {
  data_.clear();
  data_.shrink_to_fit();
  SetPointer(nullptr, 0);
  pos_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
  source.SetPosition(0);
  const int64_t size = source.Size();
  if (size < 0 || static_cast<uint64_t>(size) > data_.max_size()) throw EReadError(kReadError);
  std::vector<unsigned char> bytes(static_cast<size_t>(size));
  source.ReadBuffer(bytes.data(), bytes.size());
  data_ = std::move(bytes);
  SetPointer(data_.data(), data_.size());
  pos_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

// ------------------------------------------------------------------------------------------ TFileStream

#ifdef _WIN32
namespace {
std::wstring Wide(const std::string& s) {
  const std::u16string w = Utf8ToUtf16(s);
  return std::wstring(w.begin(), w.end());
}

std::string SystemMessage(DWORD code) {
  wchar_t text[512];
  DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                           static_cast<DWORD>(std::size(text)), nullptr);
  while (n > 0 && (text[n - 1] == L'\r' || text[n - 1] == L'\n' || text[n - 1] == L' ')) --n;
  if (n == 0) return Format("System error %lu", static_cast<unsigned long>(code));
  return Utf16ToUtf8(std::u16string(text, text + n));
}

// Win32 transfers take 32-bit counts; larger requests go in pieces.
constexpr size_t kMaxChunk = 0x40000000;
}  // namespace

TFileStream::TFileStream(const std::string& fileName, unsigned mode) : fileName_(fileName) {
  const bool create = (mode & 0xFF00) == fmCreate;
  DWORD access = GENERIC_READ | GENERIC_WRITE;
  if (!create) {
    switch (mode & 0x3) {
      case fmOpenRead: access = GENERIC_READ; break;
      case fmOpenWrite: access = GENERIC_WRITE; break;
      default: access = GENERIC_READ | GENERIC_WRITE; break;
    }
  }
  DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  switch (mode & 0xF0) {
    case fmShareExclusive: share = 0; break;
    case fmShareDenyWrite: share = FILE_SHARE_READ; break;
    case fmShareDenyRead: share = FILE_SHARE_WRITE; break;
    default: break;
  }
  HANDLE h = CreateFileW(Wide(fileName).c_str(), access, share, nullptr, create ? CREATE_ALWAYS : OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const std::string reason = SystemMessage(GetLastError());
    if (create) throw EFCreateError(Format("Cannot create file \"%s\". %s", fileName.c_str(), reason.c_str()));
    throw EFOpenError(Format("Cannot open file \"%s\". %s", fileName.c_str(), reason.c_str()));
  }
  handle_ = h;
}

TFileStream::~TFileStream() { CloseHandle(static_cast<HANDLE>(handle_)); }

size_t TFileStream::Read(void* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min(count - done, kMaxChunk));
    if (!ReadFile(static_cast<HANDLE>(handle_), static_cast<char*>(buffer) + done, want, &got, nullptr) || got == 0)
      break;
    done += got;
  }
  return done;
}

size_t TFileStream::Write(const void* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    DWORD put = 0;
    const DWORD want = static_cast<DWORD>(std::min(count - done, kMaxChunk));
    if (!WriteFile(static_cast<HANDLE>(handle_), static_cast<const char*>(buffer) + done, want, &put, nullptr) ||
        put == 0)
      break;
    done += put;
  }
  return done;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  DWORD method = FILE_BEGIN;
  if (origin == soCurrent) method = FILE_CURRENT;
  else if (origin == soEnd) method = FILE_END;
  else if (origin != soBeginning) throw EStreamError(kInvalidPosition);
  LARGE_INTEGER dist, result;
  dist.QuadPart = offset;
  if (!SetFilePointerEx(static_cast<HANDLE>(handle_), dist, &result, method)) throw EStreamError(kInvalidPosition);
  return result.QuadPart;
}

int64_t TFileStream::Size() {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(static_cast<HANDLE>(handle_), &size)) throw EReadError(kReadError);
  return size.QuadPart;
}

void TFileStream::SetSize(int64_t newSize) {
  if (newSize < 0) throw EStreamError(kInvalidPosition);
  const int64_t pos = Position();
  Seek(newSize, soBeginning);
  const bool ok = SetEndOfFile(static_cast<HANDLE>(handle_));
  Seek(pos, soBeginning);
  if (!ok) throw EWriteError(kWriteError);
}
#else
namespace {
std::string SystemMessage(int code) { return std::strerror(code); }
}  // namespace

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
  fd_ = ::open(fileName.c_str(), flags, 0666);
  int err = errno;
  if (fd_ >= 0) {
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || S_ISDIR(st.st_mode)) {
      err = S_ISDIR(st.st_mode) ? EISDIR : errno;
      ::close(fd_);
      fd_ = -1;
    }
  }
  if (fd_ < 0) {
    const std::string reason = SystemMessage(err);
    if (create) throw EFCreateError(Format("Cannot create file \"%s\". %s", fileName.c_str(), reason.c_str()));
    throw EFOpenError(Format("Cannot open file \"%s\". %s", fileName.c_str(), reason.c_str()));
  }
}

TFileStream::~TFileStream() { ::close(fd_); }

size_t TFileStream::Read(void* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    const ssize_t got = ::read(fd_, static_cast<char*>(buffer) + done, count - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

size_t TFileStream::Write(const void* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    const ssize_t put = ::write(fd_, static_cast<const char*>(buffer) + done, count - done);
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
  else if (origin != soBeginning) throw EStreamError(kInvalidPosition);
  const off_t result = ::lseek(fd_, static_cast<off_t>(offset), whence);
  if (result < 0) throw EStreamError(kInvalidPosition);
  return result;
}

int64_t TFileStream::Size() {
  struct stat st {};
  if (::fstat(fd_, &st) != 0) throw EReadError(kReadError);
  return st.st_size;
}

void TFileStream::SetSize(int64_t newSize) {
  if (newSize < 0) throw EStreamError(kInvalidPosition);
  if (::ftruncate(fd_, static_cast<off_t>(newSize)) != 0) throw EWriteError(kWriteError);
}
#endif

}  // namespace cl
