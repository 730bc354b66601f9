// Files on Windows: wide paths, handles, and a replacing move that writes through.
#include <windows.h>

#include <algorithm>

#include "FileUtil.h"
#include "KernelHandle.h"
#include "SysUtils.h"
#include "Unicode.h"

namespace cl {

namespace {
std::wstring W(const std::string& s) {
  const std::u16string w = Utf8ToUtf16(s);
  return std::wstring(w.begin(), w.end());
}

std::string LastError() { return SystemErrorReason(GetLastError()); }

// Writes all of bytes; false with the system's error set when a write fails.
bool WriteAll(HANDLE file, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD put = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
    if (!WriteFile(file, bytes.data() + done, want, &put, nullptr) || put == 0) return false;
    done += put;
  }
  return true;
}
}  // namespace

bool FileExists(const std::string& path) {
  const DWORD a = GetFileAttributesW(W(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsReadOnlyFile(const std::string& path) {
  const DWORD a = GetFileAttributesW(W(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY);
}

bool RemoveFile(const std::string& path) { return DeleteFileW(W(path).c_str()) != FALSE; }

std::string ReadFileBytes(const std::string& path) {
  const TKernelHandle f(CreateFileW(W(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f) throw EFOpenError(Format("Cannot open file \"%s\". %s", path.c_str(), LastError().c_str()));
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(f.Get(), &size) || size.QuadPart > 0x7FFFFFFF) throw EReadError("Stream read error");
  std::string data(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < data.size()) {
    DWORD got = 0;
    if (!ReadFile(f.Get(), data.data() + done, static_cast<DWORD>(data.size() - done), &got, nullptr))
      throw EReadError("Stream read error");
    if (got == 0) break;
    done += got;
  }
  data.resize(done);
  return data;
}

void detail::ReplaceFileContents(const std::string& path, std::string_view bytes) {
  const std::string tmp = TemporaryFileOf(path);
  const std::wstring wtmp = W(tmp);
  {
    TKernelHandle f(
        CreateFileW(wtmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) throw EFCreateError(Format("Cannot create file \"%s\". %s", path.c_str(), LastError().c_str()));
    if (!WriteAll(f.Get(), bytes) || !FlushFileBuffers(f.Get())) {
      const std::string err = LastError();
      f.Reset();  // closed before it can be deleted
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

}  // namespace cl
