#include "SysUtils.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace cl {

std::string Format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    out.resize(static_cast<size_t>(n) + 1);
    std::vsnprintf(out.data(), out.size(), fmt, args);
    out.resize(static_cast<size_t>(n));
  }
  va_end(args);
  return out;
}

namespace {
ExceptionHandler& Handler() {
  static ExceptionHandler handler;
  return handler;
}
}  // namespace

void SetExceptionHandler(ExceptionHandler handler) { Handler() = std::move(handler); }

void HandleException(std::exception_ptr e) noexcept {
  if (!e) return;
  try {
    std::rethrow_exception(e);
  } catch (const std::exception& ex) {
    try {
      if (Handler()) {
        Handler()(ex);
        return;
      }
    } catch (...) {
      // A failing handler must not take the program down with it.
    }
    std::fprintf(stderr, "%s\n", ex.what());
  } catch (...) {
    std::fprintf(stderr, "unknown exception\n");
  }
}

}  // namespace cl
