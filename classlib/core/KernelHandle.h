// Owns one kernel object handle (file, event, thread, waitable timer, token) and closes it.
// Windows only: the portable halves of the library never see a HANDLE.
#pragma once
#ifdef _WIN32
#include <windows.h>

namespace cl {

class TKernelHandle {
 public:
  TKernelHandle() = default;
  // Both null and INVALID_HANDLE_VALUE mean "nothing held": the API returns either on failure.
  explicit TKernelHandle(HANDLE handle) noexcept : h_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
  ~TKernelHandle() { Reset(); }
  TKernelHandle(TKernelHandle&& other) noexcept : h_(other.Release()) {}
  TKernelHandle& operator=(TKernelHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  TKernelHandle(const TKernelHandle&) = delete;
  TKernelHandle& operator=(const TKernelHandle&) = delete;

  HANDLE Get() const noexcept { return h_; }
  explicit operator bool() const noexcept { return h_ != nullptr; }
  // Closes what is held, then holds `handle`.
  void Reset(HANDLE handle = nullptr) noexcept {
    if (h_) CloseHandle(h_);
    h_ = handle == INVALID_HANDLE_VALUE ? nullptr : handle;
  }
  HANDLE Release() noexcept {
    HANDLE h = h_;
    h_ = nullptr;
    return h;
  }

 private:
  HANDLE h_ = nullptr;
};

}  // namespace cl
#endif
