// TFileStream on Windows: a file handle opened by wide path.
#include <windows.h>

#include <algorithm>
#include <iterator>

#include "FileStreamSystem.h"
#include "KernelHandle.h"
#include "Streams.h"
#include "SysUtils.h"
#include "Unicode.h"

namespace cl {

using detail::kInvalidStreamPosition;
using detail::kStreamReadError;
using detail::kStreamWriteError;

struct TFileStream::TFile {
  TKernelHandle handle;
};

namespace {
std::wstring Wide(const std::string& s) {
  const std::u16string w = Utf8ToUtf16(s);
  return std::wstring(w.begin(), w.end());
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
  TKernelHandle handle(CreateFileW(Wide(fileName).c_str(), access, share, nullptr,
                                   create ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) detail::FileOpenFailed(fileName, create, SystemErrorReason(GetLastError()));
  file_ = std::make_unique<TFile>(TFile{std::move(handle)});
}

TFileStream::~TFileStream() = default;

size_t TFileStream::Read(void* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min(count - done, kMaxChunk));
    if (!ReadFile(file_->handle.Get(), static_cast<char*>(buffer) + done, want, &got, nullptr) || got == 0) break;
    done += got;
  }
  return done;
}

size_t TFileStream::Write(const void* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    DWORD put = 0;
    const DWORD want = static_cast<DWORD>(std::min(count - done, kMaxChunk));
    if (!WriteFile(file_->handle.Get(), static_cast<const char*>(buffer) + done, want, &put, nullptr) || put == 0)
      break;
    done += put;
  }
  return done;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  DWORD method = FILE_BEGIN;
  if (origin == soCurrent) method = FILE_CURRENT;
  else if (origin == soEnd) method = FILE_END;
  else if (origin != soBeginning) throw EStreamError(kInvalidStreamPosition);
  LARGE_INTEGER dist, result;
  dist.QuadPart = offset;
  if (!SetFilePointerEx(file_->handle.Get(), dist, &result, method)) throw EStreamError(kInvalidStreamPosition);
  return result.QuadPart;
}

int64_t TFileStream::Size() {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file_->handle.Get(), &size)) throw EReadError(kStreamReadError);
  return size.QuadPart;
}

void TFileStream::SetSize(int64_t newSize) {
  if (newSize < 0) throw EStreamError(kInvalidStreamPosition);
  const int64_t pos = Position();
  Seek(newSize, soBeginning);
  const bool ok = SetEndOfFile(file_->handle.Get());
  Seek(pos, soBeginning);
  if (!ok) throw EWriteError(kStreamWriteError);
}

}  // namespace cl
